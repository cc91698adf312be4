// The language of the command line and its texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "ui/CommandLine.h"
#include "ui/CommandLineTexts.h"
#include "ui/InstallerOptions.h"

namespace {

// Sets the locale variables for one test and puts the old values back afterwards.
class LocaleVariables {
public:
    explicit LocaleVariables(const std::map<std::string, std::string>& values) {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            const char* old = std::getenv(name);
            if (old != nullptr)
                fSaved[name] = old;
            unsetenv(name);
        }
        for (const auto& [name, value] : values)
            setenv(name.c_str(), value.c_str(), 1);
    }
    ~LocaleVariables() {
        for (const char* name : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) {
            auto saved = fSaved.find(name);
            if (saved != fSaved.end())
                setenv(name, saved->second.c_str(), 1);
            else
                unsetenv(name);
        }
    }

private:
    std::map<std::string, std::string> fSaved;
};

std::string LanguageOf(const std::map<std::string, std::string>& values) {
    LocaleVariables variables(values);
    return EnvironmentLanguage();
}

} // namespace

TEST(CommandLineLanguage, TheEnvironmentIsReadAsGettextReadsIt) {
    EXPECT_EQ(LanguageOf({{"LANG", "de_DE.UTF-8"}}), "de");
    EXPECT_EQ(LanguageOf({{"LANG", "pt_BR"}}), "pt");
    EXPECT_EQ(LanguageOf({{"LANG", "nb_NO.UTF-8"}}), "no");
    EXPECT_EQ(LanguageOf({{"LANG", "FR_fr"}}), "fr");
    // LC_ALL before LC_MESSAGES before LANG.
    EXPECT_EQ(LanguageOf({{"LANG", "de_DE"}, {"LC_MESSAGES", "sv_SE"}}), "sv");
    EXPECT_EQ(LanguageOf({{"LANG", "de_DE"}, {"LC_MESSAGES", "sv_SE"}, {"LC_ALL", "it_IT"}}), "it");
    // LANGUAGE lists preferences; the first of the ten wins, but only under a real locale.
    EXPECT_EQ(LanguageOf({{"LANG", "de_DE"}, {"LANGUAGE", "ja:nl:fr"}}), "nl");
    EXPECT_EQ(LanguageOf({{"LANG", "de_DE"}, {"LANGUAGE", "ja"}}), "de");
    EXPECT_EQ(LanguageOf({{"LANG", "C.UTF-8"}, {"LANGUAGE", "fr"}}), "");
    // None of the ten, or no locale at all.
    EXPECT_EQ(LanguageOf({{"LANG", "ja_JP.UTF-8"}}), "");
    EXPECT_EQ(LanguageOf({{"LANG", "POSIX"}}), "");
    EXPECT_EQ(LanguageOf({}), "");
}

TEST(CommandLineLanguage, AnOptionWinsThenTheEnvironmentThenEnglish) {
    LocaleVariables variables(std::map<std::string, std::string>{{"LANG", "es_ES.UTF-8"}});
    EXPECT_EQ(CommandLineLanguage(std::string("da"), nullptr), "da");
    EXPECT_EQ(CommandLineLanguage(std::string("xx"), nullptr), "es");
    EXPECT_EQ(CommandLineLanguage(std::nullopt, nullptr), "es");
    setenv("LANG", "C", 1);
    EXPECT_EQ(CommandLineLanguage(std::nullopt, "/nonexistent/program"), "en");

    const char* asked[] = {"p", "--lang", "xx", "--lang=it", "--bogus"};
    EXPECT_EQ(InstallerCommandLine::LanguageAsked(5, asked), "it");
    const char* none[] = {"p", "--lang"};
    EXPECT_EQ(InstallerCommandLine::LanguageAsked(2, none), std::nullopt);
}

TEST(CommandLineTexts, ValuesFillTheConversionsInOrder) {
    EXPECT_EQ(FillText("%s: all %d resources, 100%%", {"a", "7"}), "a: all 7 resources, 100%");
    // A value that itself holds a conversion is not filled again.
    EXPECT_EQ(FillText("'%s' and '%s'", {"%s", "b"}), "'%s' and 'b'");
    EXPECT_EQ(FillText("%s and %s", {"one"}), "one and %s");
    EXPECT_EQ(FillText("50%", {}), "50%");
    // Every language has the help, with the program's name in it.
    for (const char* language : {"en", "fr", "es", "de", "it", "no", "sv", "da", "nl", "pt"}) {
        std::string help = InstallerCommandLine::Usage("./Setup", language);
        EXPECT_NE(help.find("./Setup"), std::string::npos) << language;
        EXPECT_NE(help.find("--accept-license"), std::string::npos) << language;
    }
    EXPECT_EQ(CommandLineText("xx", kCliUnknownOption, {"x"}), "unknown option '--x'");
}

TEST(CommandLine, RefusalsAreInTheLanguageOfTheLine) {
    CommandLine german({{"target", true}}, "de");
    const char* misspelt[] = {"p", "--tagret"};
    EXPECT_FALSE(german.Parse(2, misspelt));
    EXPECT_EQ(german.Error(), "unbekannte Option „--tagret“; meinten Sie „--target“?");
    CommandLine french({{"target", true}}, "fr");
    const char* missing[] = {"p", "--target"};
    EXPECT_FALSE(french.Parse(2, missing));
    EXPECT_EQ(french.Error(), "l'option « --target » demande une valeur");

    InstallerCommandLine installer("fr");
    const char* frontend[] = {"p", "--frontend=consle"};
    EXPECT_FALSE(installer.Parse(2, frontend));
    EXPECT_EQ(installer.Error(),
              "option « --frontend » : interface inconnue « consle » ; vouliez-vous dire "
              "« console » ?");
}
