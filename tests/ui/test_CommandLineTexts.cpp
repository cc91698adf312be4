// The language of the command line and its texts.
#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include <cstring>
#include <filesystem>

#include "locale/xLocalize.h"
#include "platform/storage/Node.h"
#include "platform/support/TypeConstants.h"
#include "support/Sandbox.h"
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

TEST(CommandLineLanguage, TheRunsLanguageReachesEveryCatalogueAndOnlyTheMenuStoresOne) {
    namespace fs = std::filesystem;
    fs::path dir = tarnw::test::Sandbox::MakeFolder("run-language");
    auto program = [&](const char* name, const char* stored) {
        fs::path file = dir / name;
        tarnw::test::WriteFile(file, "#!/bin/sh\n");
        if (stored != nullptr) {
            EXPECT_EQ(BNode(file.c_str())
                          .WriteAttr("language", B_STRING_TYPE, 0, stored, std::strlen(stored)),
                      ssize_t(std::strlen(stored)));
        }
        return file.string();
    };
    auto storedOn = [](const std::string& file) {
        char buffer[16] = "";
        ssize_t length = BNode(file.c_str()).ReadAttr("language", B_STRING_TYPE, 0, buffer, 15);
        return length > 0 ? std::string(buffer, size_t(length)) : std::string();
    };

    // The locale comes before the language kept on the file, and stores nothing.
    LocaleVariables variables(std::map<std::string, std::string>{{"LANG", "de_DE.UTF-8"}});
    std::string kept = program("kept", "pt");
    EXPECT_EQ(RunLanguage(std::nullopt, kept.c_str()), "de");
    EXPECT_STREQ(xLocalize(kept.c_str()).Language(), "de");
    EXPECT_EQ(storedOn(kept), "pt");
    // --lang before the locale; a file without a language is not given one.
    std::string fresh = program("fresh", nullptr);
    EXPECT_EQ(RunLanguage(std::string("sv"), fresh.c_str()), "sv");
    xLocalize window(fresh.c_str());
    EXPECT_STREQ(window.Language(), "sv");
    EXPECT_EQ(storedOn(fresh), "");
    // The language menu stores its choice, which every later text follows.
    EXPECT_TRUE(window.SetLanguage("fr"));
    EXPECT_EQ(storedOn(fresh), "fr");
    EXPECT_STREQ(xLocalize(fresh.c_str()).Language(), "fr");

    // Without --lang and a locale, the file's language, else English.
    setenv("LANG", "C", 1);
    std::string other = program("other", "it");
    EXPECT_EQ(RunLanguage(std::nullopt, other.c_str()), "it");
    EXPECT_STREQ(xLocalize(other.c_str()).Language(), "it");
    EXPECT_EQ(RunLanguage(std::nullopt, program("plain", nullptr).c_str()), "en");
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
