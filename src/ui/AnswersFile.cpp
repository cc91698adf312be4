#include "ui/AnswersFile.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <sstream>

#include "lib/LibNearestName.h"

namespace {

std::string Trim(const std::string& text) {
    size_t start = 0;
    size_t end = text.size();
    while (start < end && std::isspace(static_cast<unsigned char>(text[start])))
        ++start;
    while (end > start && std::isspace(static_cast<unsigned char>(text[end - 1])))
        --end;
    return text.substr(start, end - start);
}

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

} // namespace

const std::set<std::string>& AnswersFile::InstallerKeys() {
    static const std::set<std::string> keys = {"license", "language",    "group",
                                               "files",   "destination", "volume",
                                               "answer",  "on_failure",  "signer_change"};
    return keys;
}

std::string UnknownNameMessage(const std::string& what, const std::string& given,
                               const std::vector<std::string>& valid) {
    std::string message = what + " \"" + given + "\"";
    if (auto nearest = LibNearestName(given, valid))
        message += "; did you mean \"" + *nearest + "\"?";
    return message;
}

std::vector<FileToggle> ParseFileToggles(const std::string& value) {
    std::vector<FileToggle> toggles;
    size_t i = 0;
    const size_t n = value.size();
    while (i < n) {
        while (i < n && std::isspace(static_cast<unsigned char>(value[i])))
            ++i;
        if (i >= n)
            break;
        FileToggle toggle;
        if (value[i] == '+' || value[i] == '-') {
            toggle.select = value[i] == '+';
            ++i;
        }
        std::string name;
        if (i < n && value[i] == '"') {
            size_t close = value.find('"', i + 1);
            if (close == std::string::npos)
                close = n;
            name = value.substr(i + 1, close - i - 1);
            i = close < n ? close + 1 : n;
        } else {
            size_t start = i;
            while (i < n) {
                if (std::isspace(static_cast<unsigned char>(value[i]))) {
                    size_t next = i;
                    while (next < n && std::isspace(static_cast<unsigned char>(value[next])))
                        ++next;
                    if (next >= n || value[next] == '+' || value[next] == '-')
                        break;
                }
                ++i;
            }
            name = Trim(value.substr(start, i - start));
        }
        if (!name.empty()) {
            toggle.leaf = name;
            toggles.push_back(toggle);
        }
    }
    return toggles;
}

bool AnswersFile::Parse(const std::string& text, const std::set<std::string>& allowed,
                        AnswersFileError* error) {
    std::istringstream in(text);
    std::string line;
    int number = 0;
    auto fail = [&](const std::string& message) {
        if (error != nullptr) {
            error->line = number;
            error->message = message;
        }
        return false;
    };
    while (std::getline(in, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        std::string trimmed = Trim(line);
        if (trimmed.empty() || trimmed[0] == '#')
            continue;
        size_t colon = trimmed.find(':');
        if (colon == std::string::npos)
            return fail("expected \"key: value\"");
        std::string key = Trim(trimmed.substr(0, colon));
        std::string value = Trim(trimmed.substr(colon + 1));
        if (allowed.count(key) == 0)
            return fail(UnknownNameMessage(
                "unknown key", key, std::vector<std::string>(allowed.begin(), allowed.end())));
        if (key == "answer") {
            AlertAnswer answer;
            const std::string suffix = "+all";
            if (value.size() >= suffix.size() &&
                value.compare(value.size() - suffix.size(), suffix.size(), suffix) == 0 &&
                (value.size() == suffix.size() || std::isspace(static_cast<unsigned char>(
                                                      value[value.size() - suffix.size() - 1])))) {
                answer.applyToAll = true;
                value = Trim(value.substr(0, value.size() - suffix.size()));
            }
            if (value.empty())
                return fail("an answer needs a button label or index");
            answer.choice = value;
            answer.line = number;
            fAnswers.push_back(answer);
        } else if (key == "files") {
            for (auto& toggle : ParseFileToggles(value))
                fToggles.push_back(toggle);
        } else {
            fValues[key] = value;
        }
    }
    return true;
}

bool AnswersFile::Load(const std::string& path, const std::set<std::string>& allowed,
                       AnswersFileError* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error != nullptr) {
            error->line = 0;
            error->message = "cannot read the answers file " + path;
        }
        return false;
    }
    std::ostringstream text;
    text << in.rdbuf();
    return Parse(text.str(), allowed, error);
}

std::optional<std::string> AnswersFile::Value(const std::string& key) const {
    auto it = fValues.find(key);
    if (it == fValues.end())
        return std::nullopt;
    return it->second;
}

bool AnswersFile::Is(const std::string& key, const std::string& expected) const {
    auto value = Value(key);
    return value && EqualsIgnoringCase(*value, expected);
}

std::optional<AlertAnswer> AnswersFile::NextAnswer() {
    if (fAnswers.empty())
        return std::nullopt;
    AlertAnswer answer = fAnswers.front();
    fAnswers.pop_front();
    return answer;
}

const AlertAnswer* AnswersFile::PeekAnswer() const {
    return fAnswers.empty() ? nullptr : &fAnswers.front();
}

int AnswersFile::ButtonFor(const AlertAnswer& answer, const std::vector<std::string>& buttons) {
    const std::string& choice = answer.choice;
    if (!choice.empty() && std::all_of(choice.begin(), choice.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        })) {
        if (choice.size() < 4) {
            int index = std::stoi(choice);
            if (index >= 0 && index < int(buttons.size()))
                return index;
        }
    }
    for (size_t i = 0; i < buttons.size(); ++i)
        if (buttons[i] == choice)
            return int(i);
    for (size_t i = 0; i < buttons.size(); ++i)
        if (EqualsIgnoringCase(buttons[i], choice))
            return int(i);
    return -1;
}

std::string AnswersFile::CheckAnswerLabels(const std::vector<std::string>& labels) const {
    for (const AlertAnswer& answer : fAnswers) {
        const std::string& choice = answer.choice;
        bool index = std::all_of(choice.begin(), choice.end(), [](char c) {
            return std::isdigit(static_cast<unsigned char>(c));
        });
        if (index || std::any_of(labels.begin(), labels.end(), [&](const std::string& label) {
                return EqualsIgnoringCase(label, choice);
            }))
            continue;
        std::string message = "line " + std::to_string(answer.line) + ": answer \"" + choice +
                              "\" names no button of any question";
        if (auto nearest = LibNearestName(choice, labels))
            message += "; did you mean \"" + *nearest + "\"?";
        message += " The buttons are:";
        for (size_t i = 0; i < labels.size(); ++i)
            message += (i == 0 ? " \"" : ", \"") + labels[i] + "\"";
        return message + ".";
    }
    return "";
}
