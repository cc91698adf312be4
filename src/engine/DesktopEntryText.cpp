#include "engine/DesktopEntryText.h"

#include <cstring>

DesktopEntryText::DesktopEntryText() : fText("[Desktop Entry]\n") {}

void DesktopEntryText::Add(const std::string& key, const std::string& value) {
    fText += key + "=" + EscapeString(value) + "\n";
}

void DesktopEntryText::AddLocalized(const std::string& key, const std::string& language,
                                    const std::string& value) {
    Add(key + "[" + language + "]", value);
}

void DesktopEntryText::AddBool(const std::string& key, bool value) {
    fText += key + (value ? "=true\n" : "=false\n");
}

void DesktopEntryText::AddList(const std::string& key, const std::vector<std::string>& items) {
    std::string value;
    for (const std::string& item : items) {
        for (char c : EscapeString(item)) {
            if (c == ';')
                value += '\\';
            value += c;
        }
        value += ';';
    }
    fText += key + "=" + value + "\n";
}

void DesktopEntryText::AddExec(const std::string& program,
                               const std::vector<std::string>& arguments) {
    Add("Exec", CommandLine(program, arguments));
}

std::string DesktopEntryText::EscapeString(const std::string& value) {
    std::string escaped;
    for (size_t i = 0; i < value.size(); ++i) {
        char c = value[i];
        switch (c) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\n':
            escaped += "\\n";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case ' ':
            // Readers strip spaces after '='; a leading one must be written so.
            escaped += i == 0 ? "\\s" : " ";
            break;
        default:
            escaped += c;
        }
    }
    return escaped;
}

bool DesktopEntryText::IsFieldCode(const std::string& argument) {
    static const char* const kCodes[] = {"%f", "%F", "%u", "%U", "%i", "%c", "%k"};
    for (const char* code : kCodes)
        if (argument == code)
            return true;
    return false;
}

std::string DesktopEntryText::QuoteArgument(const std::string& argument) {
    static const char kReserved[] = " \t\n\"'\\><~|&;$*?#()`";
    bool quote = argument.empty() || argument.find_first_of(kReserved) != std::string::npos;
    std::string text = quote ? "\"" : "";
    for (char c : argument) {
        if (quote && (c == '"' || c == '`' || c == '$' || c == '\\'))
            text += '\\';
        // A literal '%' would start a field code.
        if (c == '%')
            text += '%';
        text += c;
    }
    if (quote)
        text += '"';
    return text;
}

std::string DesktopEntryText::CommandLine(const std::string& program,
                                          const std::vector<std::string>& arguments) {
    std::string line = QuoteArgument(program);
    for (const std::string& argument : arguments)
        line += " " + (IsFieldCode(argument) ? argument : QuoteArgument(argument));
    return line;
}
