#include <gtest/gtest.h>

#include <algorithm>

#include "ui/AnswerLabels.h"
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

TEST(AnswersFile, AnUnknownKeyNamesTheKeyProbablyMeant) {
    AnswersFile answers;
    AnswersFileError error;
    EXPECT_FALSE(answers.Parse("# mine\nlicence: agree\n", AnswersFile::InstallerKeys(), &error));
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.message, "unknown key \"licence\"; did you mean \"license\"?");
    EXPECT_FALSE(answers.Parse("colour: blue\n", AnswersFile::InstallerKeys(), &error));
    EXPECT_EQ(error.message, "unknown key \"colour\"");
}

TEST(AnswersFile, AnswersMustNameAButtonOfSomeQuestionInTheLanguageOrEnglish) {
    std::vector<std::string> french = InstallerButtonLabels("fr");
    std::vector<std::string> english = InstallerButtonLabels("en");
    for (const char* label : {"OK", "Cancel", "Replace", "Don't Replace", "Continue", "Abort",
                              "Run", "Later", "Restart Now", "Restart Later"})
        EXPECT_NE(std::find(english.begin(), english.end(), label), english.end()) << label;
    // French adds its own labels and keeps the English ones.
    EXPECT_GT(french.size(), english.size());
    EXPECT_NE(std::find(french.begin(), french.end(), "Replacer"), french.end());
    EXPECT_NE(std::find(french.begin(), french.end(), "Replace"), french.end());

    EXPECT_EQ(Parsed("answer: replace +all\nanswer: 1\nanswer: Replacer\nanswer: OK\n")
                  .CheckAnswerLabels(french),
              "");
    std::string refusal =
        Parsed("answer: Replace\n\nanswer: Replce +all\n").CheckAnswerLabels(english);
    EXPECT_EQ(refusal.rfind("line 3: answer \"Replce\" names no button of any question; did you "
                            "mean \"Replace\"? The buttons are: \"OK\", ",
                            0),
              0u)
        << refusal;
    EXPECT_NE(refusal.find("\"Don't Replace\""), std::string::npos);
    EXPECT_NE(Parsed("answer: Replacer\n").CheckAnswerLabels(english), "");
}
