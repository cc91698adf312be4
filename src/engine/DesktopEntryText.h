#pragma once

// The text of a freedesktop desktop entry file: one "[Desktop Entry]" group of keys, with
// values escaped as that format wants (backslash escapes for strings, ';' between list
// items) and the Exec command line quoted so that a path with spaces or shell characters
// reaches the program as one argument.

#include <string>
#include <vector>

class DesktopEntryText {
public:
    DesktopEntryText();

    // A string value ("Name", "Comment", "Icon", "Type", ...).
    void Add(const std::string& key, const std::string& value);
    // A value for one language: "Name[fr]".
    void AddLocalized(const std::string& key, const std::string& language,
                      const std::string& value);
    void AddBool(const std::string& key, bool value);
    // A list value ("Categories"): every item followed by ';'.
    void AddList(const std::string& key, const std::vector<std::string>& items);
    // "Exec": the program, then its arguments. An argument that is exactly a field code
    // ("%f", "%U", ...) is kept for the desktop to expand; every other one is literal.
    void AddExec(const std::string& program, const std::vector<std::string>& arguments);

    const std::string& Text() const { return fText; }

    // A string value as the file holds it: backslash, newline, tab and carriage return
    // escaped, and a leading space as "\s".
    static std::string EscapeString(const std::string& value);
    // One argument of a command line: as it is when it holds no reserved character, else
    // in double quotes with '"', '`', '$' and '\' escaped; '%' doubled in both cases.
    static std::string QuoteArgument(const std::string& argument);
    // The Exec value before string escaping.
    static std::string CommandLine(const std::string& program,
                                   const std::vector<std::string>& arguments);
    static bool IsFieldCode(const std::string& argument);

private:
    std::string fText;
};
