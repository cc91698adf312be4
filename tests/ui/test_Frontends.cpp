#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/Sandbox.h"
#include "ui/AnswersFile.h"
#include "ui/ConsoleFrontend.h"
#include "ui/FrontendChoice.h"
#include "ui/ReplaceTexts.h"
#include "ui/Transcript.h"
#include "ui/UnattendedFrontend.h"

using tarnw::test::ReadFile;
using tarnw::test::Sandbox;

namespace {

std::vector<nlohmann::json> Lines(const std::filesystem::path& path) {
    std::vector<nlohmann::json> lines;
    std::istringstream in(ReadFile(path));
    std::string line;
    while (std::getline(in, line))
        lines.push_back(nlohmann::json::parse(line));
    return lines;
}

FrontendRequest Question(std::vector<std::string> buttons) {
    FrontendRequest request;
    request.text = "Question?";
    request.buttons = std::move(buttons);
    request.icon = FrontendIcon::Warning;
    return request;
}

FrontendKind Choose(const char* requested, bool guiBuilt, bool display, bool terminals) {
    FrontendKind kind = FrontendKind::Gui;
    FrontendEnvironment environment{requested, guiBuilt, display, terminals};
    EXPECT_TRUE(ChooseFrontend(environment, kind));
    return kind;
}

} // namespace

TEST(FrontendChoice, FollowsTheEnvironmentThenTheDisplayThenTheTerminal) {
    EXPECT_EQ(Choose("console", true, true, false), FrontendKind::Console);
    EXPECT_EQ(Choose("unattended", true, true, true), FrontendKind::Unattended);
    EXPECT_EQ(Choose("gui", true, true, false), FrontendKind::Gui);
    EXPECT_EQ(Choose(nullptr, true, true, false), FrontendKind::Gui);
    EXPECT_EQ(Choose(nullptr, true, false, true), FrontendKind::Console);
    EXPECT_EQ(Choose("", false, true, false), FrontendKind::Unattended);
    // A window that cannot open falls back like no choice at all.
    EXPECT_EQ(Choose("gui", true, false, true), FrontendKind::Console);
    FrontendKind kind = FrontendKind::Console;
    EXPECT_FALSE(ChooseFrontend({"window", true, true, true}, kind));
    EXPECT_EQ(kind, FrontendKind::Console);
}

TEST(UnattendedFrontend, AnswersInOrderDefaultsToButtonZeroAndLetsNoticesPass) {
    AnswersFile answers;
    ASSERT_TRUE(answers.Parse("answer: Replace +all\nanswer: Nonsense\nanswer: OK\n",
                              AnswersFile::InstallerKeys(), nullptr));
    FILE* sink = std::fopen("/dev/null", "w");
    UnattendedFrontend frontend(answers, sink);

    // A single-button notice does not eat an answer meant for a question.
    FrontendAnswer notice = frontend.Ask(Question({"OK"}));
    EXPECT_EQ(notice.button, 0);

    FrontendRequest replace = Question({"Don't Replace", "Replace"});
    replace.hasBox = true;
    FrontendAnswer first = frontend.Ask(replace);
    EXPECT_EQ(first.button, 1);
    EXPECT_TRUE(first.boxChecked);

    FrontendAnswer unknown = frontend.Ask(Question({"Cancel", "Replace"}));
    EXPECT_EQ(unknown.button, 0);

    FrontendAnswer named = frontend.Ask(Question({"OK"}));
    EXPECT_EQ(named.button, 0);
    EXPECT_EQ(answers.PeekAnswer(), nullptr);

    FrontendAnswer none = frontend.Ask(Question({"Later", "Run"}));
    EXPECT_EQ(none.button, 0);
    std::fclose(sink);
}

TEST(Transcript, RecordsStatusAlertsCompletedReplaceQuestionsAndTheEnd) {
    auto path = Sandbox::MakeFolder("transcript") / "run.jsonl";
    auto existing = Sandbox::MakeFolder("existing") / "Tool";
    std::filesystem::create_directories(existing);
    Transcript transcript(path.string());
    AnswersFile answers;
    ASSERT_TRUE(answers.Parse("answer: r +all\n", AnswersFile::InstallerKeys(), nullptr));
    FILE* sink = std::fopen("/dev/null", "w");
    UnattendedFrontend asker(answers, sink);
    RecordingFrontend recorder(asker, transcript);

    recorder.Status("Installing 1 of 2 (Tool)");
    FrontendRequest collision;
    collision.isReplace = true;
    collision.existingPath = existing.string();
    collision.newPath = "/new/Tool";
    collision.language = "sv";
    collision.hasBox = true;
    FrontendAnswer answer = recorder.Ask(collision);
    // "r" is no label: it falls back to button 0 ("Icke gör det Ombytta").
    EXPECT_EQ(answer.button, 0);
    transcript.RecordEnd(4);
    std::fclose(sink);

    auto lines = Lines(path);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0]["event"], "status");
    EXPECT_EQ(lines[0]["text"], "Installing 1 of 2 (Tool)");
    EXPECT_EQ(lines[1]["event"], "alert");
    EXPECT_EQ(lines[1]["icon"], "warning");
    EXPECT_EQ(lines[1]["title"], "ReplaceAlert");
    EXPECT_EQ(lines[1]["text"], "broschyren 'Tool' redan existerar. Vill du önska till ombytta "
                                "existerande");
    EXPECT_EQ(lines[1]["buttons"], nlohmann::json({"Icke gör det Ombytta", "Ombytta"}));
    EXPECT_EQ(lines[1]["box"], "Hänvände sig till alla framtida sammanstöt");
    EXPECT_EQ(lines[1]["answer"], 0);
    EXPECT_EQ(lines[1]["checked"], true);
    EXPECT_EQ(lines[2], nlohmann::json({{"event", "end"}, {"status", 4}}));

    // No box shown: no "box" key and never checked.
    Transcript plain(path.string());
    FrontendAnswer given{1, true};
    plain.RecordAlert(Question({"A", "B"}), given);
    auto more = Lines(path);
    EXPECT_FALSE(more.back().contains("box"));
    EXPECT_EQ(more.back()["checked"], false);
}

TEST(ReplaceTexts, KindWordsLanguagesAndTheQuestionLimit) {
    auto folder = Sandbox::MakeFolder("kinds");
    std::filesystem::create_directories(folder / "dir");
    std::filesystem::create_directory_symlink(folder / "dir", folder / "link");
    tarnw::test::WriteFile(folder / "file", "x");
    const ReplaceTexts& english = ReplaceTextsFor("en");
    EXPECT_STREQ(ReplaceKindWord(english, (folder / "link").c_str()), "symbolic link");
    EXPECT_STREQ(ReplaceKindWord(english, (folder / "dir").c_str()), "folder");
    EXPECT_STREQ(ReplaceKindWord(english, (folder / "file").c_str()), "file");
    EXPECT_STREQ(ReplaceKindWord(english, (folder / "missing").c_str()), "file");
    EXPECT_STREQ(ReplaceTextsFor("xx").replace, "Replace");
    EXPECT_STREQ(ReplaceTextsFor("eng").replace, "Replace");
    EXPECT_STREQ(ReplaceTextsFor("de").dontReplace, "Ausführen nicht Ersetzen");
    EXPECT_EQ(ReplaceQuestion((folder / "file").c_str(), "en"),
              "The file 'file' already exists. Do you wish to replace existing");

    // A long name is cut to 99 bytes without splitting a character.
    std::string name = "x" + std::string(60, 'a') + "ö" + std::string(40, 'b');
    std::string question = ReplaceQuestion(("/nowhere/" + name).c_str(), "pt");
    EXPECT_LE(question.size(), 99u);
    EXPECT_EQ(question.rfind("O arquivo '", 0), 0u);
    EXPECT_TRUE(nlohmann::json(question)
                    .dump(-1, ' ', false, nlohmann::json::error_handler_t::strict)
                    .size() > 0);
}
