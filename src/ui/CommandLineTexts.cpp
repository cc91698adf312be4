#include "ui/CommandLineTexts.h"

#include <cstdlib>
#include <cstring>

#include "locale/Catalogue.h"
#include "locale/xLocalize.h"
#include "platform/storage/Node.h"
#include "platform/support/TypeConstants.h"

namespace {

bool IsCatalogueLanguage(const std::string& code) {
    for (const char* known : catalogue::kLanguages)
        if (code == known)
            return true;
    return false;
}

// "de_AT.UTF-8@euro" -> "de"; Norwegian Bokmål and Nynorsk are the catalogue's "no".
std::string LanguageOfLocale(const std::string& locale) {
    std::string code = locale.substr(0, locale.find_first_of("_.@"));
    for (char& c : code)
        c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (code == "nb" || code == "nn")
        code = "no";
    return IsCatalogueLanguage(code) ? code : std::string();
}

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value != nullptr ? value : "";
}

std::string StoredLanguage(const char* executable) {
    if (executable == nullptr || *executable == '\0')
        return "";
    BNode node(executable);
    if (node.InitCheck() != B_OK)
        return "";
    char buffer[16];
    ssize_t length = node.ReadAttr("language", B_STRING_TYPE, 0, buffer, sizeof buffer);
    if (length <= 0)
        return "";
    std::string code(buffer, strnlen(buffer, size_t(length)));
    return IsCatalogueLanguage(code) ? code : std::string();
}

} // namespace

std::string EnvironmentLanguage() {
    // The first of these that is set names the locale of messages.
    std::string locale;
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        locale = Variable(name);
        if (!locale.empty())
            break;
    }
    if (locale == "C" || locale == "POSIX" || locale.rfind("C.", 0) == 0)
        return "";
    // LANGUAGE lists languages by preference; it counts only under a real locale.
    std::string preferences = Variable("LANGUAGE");
    size_t start = 0;
    while (!locale.empty() && start < preferences.size()) {
        size_t end = preferences.find(':', start);
        if (end == std::string::npos)
            end = preferences.size();
        std::string language = LanguageOfLocale(preferences.substr(start, end - start));
        if (!language.empty())
            return language;
        start = end + 1;
    }
    return LanguageOfLocale(locale);
}

std::string CommandLineLanguage(const std::optional<std::string>& chosen, const char* executable) {
    if (chosen && IsCatalogueLanguage(*chosen))
        return *chosen;
    if (std::string language = EnvironmentLanguage(); !language.empty())
        return language;
    if (std::string language = StoredLanguage(executable); !language.empty())
        return language;
    return "en";
}

std::string RunLanguage(const std::optional<std::string>& chosen, const char* executable) {
    std::string asked = chosen && IsCatalogueLanguage(*chosen) ? *chosen : EnvironmentLanguage();
    if (!asked.empty()) {
        xLocalize::UseLanguageFor(executable, asked.c_str());
        return asked;
    }
    return CommandLineLanguage(chosen, executable);
}

std::string FillText(const std::string& format, const std::vector<std::string>& values) {
    std::string result;
    size_t next = 0;
    for (size_t at = 0; at < format.size(); ++at) {
        if (format[at] != '%' || at + 1 >= format.size()) {
            result += format[at];
            continue;
        }
        char conversion = format[at + 1];
        if (conversion == '%') {
            result += '%';
            ++at;
        } else if ((conversion == 's' || conversion == 'd') && next < values.size()) {
            result += values[next++];
            ++at;
        } else {
            result += format[at];
        }
    }
    return result;
}

std::string CommandLineText(const std::string& language, int32 id,
                            const std::vector<std::string>& values) {
    const char* english = catalogue::BuiltinText("en", id);
    const char* text = catalogue::BuiltinText(language, id);
    std::string format = english != nullptr ? english : "";
    // A translation that would take other values than the English text is not used.
    if (text != nullptr && *text != '\0' &&
        catalogue::Conversions(text) == catalogue::Conversions(format))
        format = text;
    return FillText(format, values);
}
