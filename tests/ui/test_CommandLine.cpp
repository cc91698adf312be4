#include <gtest/gtest.h>

#include "ui/CommandLine.h"
#include "ui/InstallerOptions.h"

namespace {

bool Parse(InstallerCommandLine& line, std::vector<const char*> words) {
    words.insert(words.begin(), "Installer");
    return line.Parse(int(words.size()), words.data());
}

} // namespace

TEST(CommandLine, ValuesComeSeparateOrAfterAnEqualsSignAndTheLastWins) {
    CommandLine line({{"target", true}, {"yes", false}});
    const char* argv[] = {"p", "--target", "/a", "--yes", "--target=/b c", nullptr};
    ASSERT_TRUE(line.Parse(5, argv)) << line.Error();
    EXPECT_EQ(line.Value("target"), "/b c");
    EXPECT_TRUE(line.Has("yes"));
    EXPECT_EQ(line.Value("missing"), std::nullopt);
    // A value that looks like an option is still the value.
    const char* dashed[] = {"p", "--target", "--yes"};
    ASSERT_TRUE(line.Parse(3, dashed));
    EXPECT_EQ(line.Value("target"), "--yes");
    EXPECT_FALSE(line.Has("yes"));
}

TEST(CommandLine, EveryProblemIsNamed) {
    CommandLine line({{"target", true}, {"yes", false}});
    const std::vector<std::pair<std::vector<const char*>, std::string>> cases = {
        {{"p", "--tagret"}, "unknown option '--tagret'; did you mean '--target'?"},
        {{"p", "--target"}, "option '--target' needs a value"},
        {{"p", "--target="}, "option '--target' needs a value"},
        {{"p", "--yes=no"}, "option '--yes' takes no value"},
        {{"p", "-y"}, "unexpected argument '-y'"},
        {{"p", "--"}, "unexpected argument '--'"},
        {{"p", "file"}, "unexpected argument 'file'"},
    };
    for (const auto& [argv, message] : cases) {
        EXPECT_FALSE(line.Parse(int(argv.size()), argv.data())) << argv[1];
        EXPECT_EQ(line.Error(), message);
    }
}

TEST(InstallerCommandLine, NoOptionsMeansTheUsualInstallation) {
    InstallerCommandLine line;
    ASSERT_TRUE(Parse(line, {}));
    const InstallerOptions& options = line.Options();
    EXPECT_EQ(options.action, InstallerAction::Install);
    EXPECT_FALSE(options.target || options.group || options.language || options.frontend ||
                 options.answers || options.transcript || options.acceptLicense);
}

TEST(InstallerCommandLine, HelpAndVersionWinAndOtherQuestionsExcludeEachOther) {
    InstallerCommandLine line;
    ASSERT_TRUE(Parse(line, {"--check", "--version", "--help"}));
    EXPECT_EQ(line.Options().action, InstallerAction::Help);
    ASSERT_TRUE(Parse(line, {"--list", "--version"}));
    EXPECT_EQ(line.Options().action, InstallerAction::Version);
    ASSERT_TRUE(Parse(line, {"--check", "--frontend=console"}));
    EXPECT_EQ(line.Options().action, InstallerAction::Check);
    EXPECT_FALSE(Parse(line, {"--check", "--info"}));
    EXPECT_NE(line.Error().find("cannot be given together"), std::string::npos);
}

TEST(InstallerCommandLine, ChoicesAreCheckedAndKept) {
    InstallerCommandLine line;
    ASSERT_TRUE(
        Parse(line, {"--target=/opt", "--accept-license", "--group", "Full", "--lang=fr",
                     "--answers", "a.txt", "--transcript=t.json", "--frontend", "unattended"}))
        << line.Error();
    const InstallerOptions& options = line.Options();
    EXPECT_EQ(options.target, "/opt");
    EXPECT_TRUE(options.acceptLicense);
    EXPECT_EQ(options.group, "Full");
    EXPECT_EQ(options.language, "fr");
    EXPECT_EQ(options.AnswersPath(), "a.txt");
    EXPECT_EQ(options.TranscriptPath(), "t.json");
    EXPECT_STREQ(options.RequestedFrontend(), "unattended");

    EXPECT_FALSE(Parse(line, {"--lang", "klingon"}));
    EXPECT_NE(line.Error().find("'--lang'"), std::string::npos);
    EXPECT_FALSE(Parse(line, {"--frontend=tui"}));
    EXPECT_NE(line.Error().find("'--frontend'"), std::string::npos);
}
