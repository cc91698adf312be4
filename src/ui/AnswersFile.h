#pragma once

// The answers of an unattended run: one "key: value" a line, "#" starts a comment.
// Keys the installer reads: license, language, group, files, destination, volume, and
// any number of answer lines consumed in order by the questions of the run.

#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct AnswersFileError {
    int line = 0;
    std::string message;
};

struct FileToggle {
    bool select = true; // "+LEAF" selects, "-LEAF" deselects
    std::string leaf;
};

struct AlertAnswer {
    std::string choice; // a button label or a button index
    bool applyToAll = false;
    int line = 0; // where the answers file gave it
};

class AnswersFile {
public:
    // Parses text; keys outside `allowed` are reported as errors. Returns false and fills
    // `error` on the first problem.
    bool Parse(const std::string& text, const std::set<std::string>& allowed,
               AnswersFileError* error);
    // Reads and parses a file.
    bool Load(const std::string& path, const std::set<std::string>& allowed,
              AnswersFileError* error);

    // Sets a key as if the file had given it last (the command line wins over the file).
    void Set(const std::string& key, const std::string& value) { fValues[key] = value; }

    // The last value given for a key (answers are kept apart, see NextAnswer).
    std::optional<std::string> Value(const std::string& key) const;
    bool Is(const std::string& key, const std::string& expected) const;

    // The "files:" lines, in order.
    const std::vector<FileToggle>& FileToggles() const { return fToggles; }

    // The next unused "answer:" line, if any.
    std::optional<AlertAnswer> NextAnswer();
    // The next unused answer without using it; null when none is left.
    const AlertAnswer* PeekAnswer() const;

    // Picks the button an answer names: its index or its label (exact, then ignoring
    // case); -1 when it names none of them.
    static int ButtonFor(const AlertAnswer& answer, const std::vector<std::string>& buttons);

    static const std::set<std::string>& InstallerKeys();

    // Every "answer:" line must give a button index or name one of `labels` (ignoring
    // case). Empty when all do; otherwise why the first that does not was refused, with
    // the label probably meant and every label the questions have.
    std::string CheckAnswerLabels(const std::vector<std::string>& labels) const;

private:
    std::map<std::string, std::string> fValues;
    std::vector<FileToggle> fToggles;
    std::deque<AlertAnswer> fAnswers;
};

// "the package has no install type "Ful"; did you mean "Full"?": a refusal of a name
// that names none of `valid`, with the nearest valid one when one is close.
std::string UnknownNameMessage(const std::string& what, const std::string& given,
                               const std::vector<std::string>& valid);

// Splits the value of a "files:" line into toggles. A name runs until the next blank
// followed by "+" or "-", so leaf names may contain spaces; a name may also be quoted.
std::vector<FileToggle> ParseFileToggles(const std::string& value);
