#include <gtest/gtest.h>

#include "ui/AnswersFile.h"

namespace {

AnswersFile Parsed(const std::string& text) {
    AnswersFile answers;
    AnswersFileError error;
    EXPECT_TRUE(answers.Parse(text, AnswersFile::InstallerKeys(), &error)) << error.message;
    return answers;
}

} // namespace

TEST(AnswersFile, ReadsKeysCommentsAnswersAndFileToggles) {
    AnswersFile answers = Parsed("# a scenario\n"
                                 "license: agree\r\n"
                                 "  group :  Full  \n"
                                 "files: +Demo Documentation -demo-hello +\"odd -name\"\n"
                                 "answer: Replace +all\n"
                                 "answer: 0\n"
                                 "destination: /tmp/some where\n");
    EXPECT_TRUE(answers.Is("license", "agree"));
    EXPECT_TRUE(answers.Is("license", "AGREE"));
    EXPECT_EQ(answers.Value("group").value_or(""), "Full");
    EXPECT_EQ(answers.Value("destination").value_or(""), "/tmp/some where");
    EXPECT_FALSE(answers.Value("volume").has_value());

    const auto& toggles = answers.FileToggles();
    ASSERT_EQ(toggles.size(), 3u);
    EXPECT_TRUE(toggles[0].select);
    EXPECT_EQ(toggles[0].leaf, "Demo Documentation");
    EXPECT_FALSE(toggles[1].select);
    EXPECT_EQ(toggles[1].leaf, "demo-hello");
    EXPECT_EQ(toggles[2].leaf, "odd -name");

    ASSERT_NE(answers.PeekAnswer(), nullptr);
    auto first = answers.NextAnswer();
    ASSERT_TRUE(first.has_value());
    EXPECT_EQ(first->choice, "Replace");
    EXPECT_TRUE(first->applyToAll);
    auto second = answers.NextAnswer();
    ASSERT_TRUE(second.has_value());
    EXPECT_EQ(second->choice, "0");
    EXPECT_FALSE(second->applyToAll);
    EXPECT_FALSE(answers.NextAnswer().has_value());
}

TEST(AnswersFile, ReportsTheLineOfUnknownKeysAndMalformedLines) {
    AnswersFile answers;
    AnswersFileError error;
    EXPECT_FALSE(
        answers.Parse("license: agree\nlicence: agree\n", AnswersFile::InstallerKeys(), &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_NE(error.message.find("licence"), std::string::npos);

    AnswersFile other;
    EXPECT_FALSE(other.Parse("\n\njust words\n", AnswersFile::InstallerKeys(), &error));
    EXPECT_EQ(error.line, 3);
    EXPECT_FALSE(other.Parse("answer: +all\n", AnswersFile::InstallerKeys(), &error));
}

TEST(AnswersFile, PicksButtonsByIndexThenLabelThenLabelIgnoringCase) {
    std::vector<std::string> buttons = {"Don't Replace", "Replace"};
    EXPECT_EQ(AnswersFile::ButtonFor({"1", false}, buttons), 1);
    EXPECT_EQ(AnswersFile::ButtonFor({"Replace", false}, buttons), 1);
    EXPECT_EQ(AnswersFile::ButtonFor({"don't replace", false}, buttons), 0);
    EXPECT_EQ(AnswersFile::ButtonFor({"2", false}, buttons), -1);
    EXPECT_EQ(AnswersFile::ButtonFor({"Maybe", false}, buttons), -1);
    EXPECT_EQ(AnswersFile::ButtonFor({"99999999999999", false}, buttons), -1);
}
