// Progress in bytes and failure details as the terminal front-ends and the transcript
// show them.
#include <gtest/gtest.h>

#include <cstdio>
#include <nlohmann/json.hpp>
#include <sstream>

#include "support/Sandbox.h"
#include "ui/ConsoleFrontend.h"
#include "ui/Transcript.h"
#include "ui/UnattendedFrontend.h"

using tarnw::test::ReadFile;
using tarnw::test::Sandbox;

namespace {

std::string Captured(FILE* file) {
    std::fflush(file);
    std::rewind(file);
    std::string text;
    char buffer[256];
    size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0)
        text.append(buffer, got);
    return text;
}

} // namespace

TEST(Progress, TheConsoleLineShowsPercentageAndSizesBesideTheStatus) {
    EXPECT_EQ(ConsoleFrontend::ProgressText(0, 2048), "0% 0.0 bytes / 2.0 KB");
    EXPECT_EQ(ConsoleFrontend::ProgressText(3 * 1048576 / 2, 3 * 1048576), "50% 1.5 MB / 3.0 MB");
    // Sizes beyond 4 GiB are shown as they are.
    EXPECT_EQ(ConsoleFrontend::ProgressText(int64(6) << 30, int64(6) << 30),
              "100% 6144.0 MB / 6144.0 MB");
    EXPECT_EQ(ConsoleFrontend::ProgressText(0, 0), "100% 0.0 bytes / 0.0 bytes");

    FILE* out = std::tmpfile();
    ConsoleFrontend console(stdin, out);
    console.Status("Installing 1 of 2 (tool)");
    console.Progress(1024, 4096);
    console.Status("Installing 2 of 2 (manual)");
    std::string text = Captured(out);
    EXPECT_NE(text.find("\r\033[KInstalling 1 of 2 (tool)  25% 1024.0 bytes / 4.0 KB"),
              std::string::npos)
        << text;
    // A new status keeps the progress beside it.
    EXPECT_NE(text.find("\r\033[KInstalling 2 of 2 (manual)  25% "), std::string::npos) << text;
    std::fclose(out);
}

TEST(Progress, AnUnattendedRunPrintsALineAtEveryTenth) {
    FILE* out = std::tmpfile();
    AnswersFile answers;
    UnattendedFrontend unattended(answers, out);
    for (int64 done : {0, 5, 10, 11, 19, 20, 55, 100})
        unattended.Progress(done, 100);
    std::string text = Captured(out);
    EXPECT_EQ(text, "Progress: 0% 0.0 bytes / 100.0 bytes\n"
                    "Progress: 10% 10.0 bytes / 100.0 bytes\n"
                    "Progress: 20% 20.0 bytes / 100.0 bytes\n"
                    "Progress: 55% 55.0 bytes / 100.0 bytes\n"
                    "Progress: 100% 100.0 bytes / 100.0 bytes\n");
    std::fclose(out);
}

TEST(Progress, TheTranscriptRecordsProgressAndFailureDetails) {
    std::string path = (Sandbox::MakeFolder("transcript") / "t.json").string();
    Transcript transcript(path);
    class Quiet : public Frontend {
    public:
        FrontendAnswer Ask(const FrontendRequest&) override { return {}; }
        int64 done = -1;
        std::string error;
        void Progress(int64 d, int64) override { done = d; }
        void Error(const char* detail) override { error = detail; }
    } inner;
    RecordingFrontend recorder(inner, transcript);
    recorder.Progress(int64(5) << 30, int64(6) << 30);
    recorder.Error("Unable to create installation folder '/ro/bc': Read-only file system");
    EXPECT_EQ(inner.done, int64(5) << 30);
    EXPECT_EQ(inner.error, "Unable to create installation folder '/ro/bc': Read-only file system");

    std::istringstream lines(ReadFile(path));
    std::string line;
    std::getline(lines, line);
    EXPECT_EQ(nlohmann::json::parse(line),
              nlohmann::json(
                  {{"event", "progress"}, {"done", int64(5) << 30}, {"total", int64(6) << 30}}));
    std::getline(lines, line);
    EXPECT_EQ(nlohmann::json::parse(line),
              nlohmann::json({{"event", "error"},
                              {"text", "Unable to create installation folder '/ro/bc': "
                                       "Read-only file system"}}));
}
