#include "engine/RunReport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "platform/interface/Frontend.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using tarnw::test::ReadFile;
using tarnw::test::Sandbox;

namespace {

// Records the failure details the run hands to the front-end (the transcript's "error").
class ErrorRecorder : public Frontend {
public:
    ErrorRecorder() { SetFrontend(this); }
    ~ErrorRecorder() override { SetFrontend(nullptr); }
    FrontendAnswer Ask(const FrontendRequest&) override { return {}; }
    void Error(const char* detail) override { errors.push_back(detail); }
    std::vector<std::string> errors;
};

} // namespace

TEST(RunReport, EachKindOfReportGoesWhereItBelongs) {
    fs::path log = Sandbox::MakeFolder("report") / "Log";
    ErrorRecorder frontend;
    RunReport report;
    report.OpenLog(log.c_str());
    ASSERT_TRUE(report.HasLog());

    testing::internal::CaptureStderr();
    report.Log("\t\tInstalling : %s\n", "a.txt");
    report.ItemFailed("a.txt", "it could not be extracted (No space left on device)");
    report.Detail("Unable to create installation folder '/x/Prod': Read-only file system");
    report.Notice("The folder /x/docs could not be replaced");
    report.Warning("the journal /x/.Prod.tarnw-journal is damaged; it is set aside");
    report.ListFailure("prod.conf: the journal could not be written");
    std::string said = testing::internal::GetCapturedStderr();
    report.CloseLog();
    EXPECT_FALSE(report.HasLog());

    EXPECT_EQ(ReadFile(log), "\t\tInstalling : a.txt\n"
                             "\t\t\tNot installed: it could not be extracted (No space left on "
                             "device)\n"
                             "\tUnable to create installation folder '/x/Prod': Read-only file "
                             "system\n"
                             "\t\t\tThe folder /x/docs could not be replaced\n");
    EXPECT_EQ(said, "a.txt was not installed: it could not be extracted (No space left on "
                    "device)\n"
                    "Unable to create installation folder '/x/Prod': Read-only file system\n"
                    "The folder /x/docs could not be replaced\n"
                    "the journal /x/.Prod.tarnw-journal is damaged; it is set aside\n");
    EXPECT_EQ(frontend.errors,
              (std::vector<std::string>{
                  "a.txt was not installed: it could not be extracted (No space left on device)",
                  "Unable to create installation folder '/x/Prod': Read-only file system"}));
    // Only failures make the run incomplete; notices and warnings do not.
    EXPECT_EQ(report.Failures(), (std::vector<std::string>{
                                     "a.txt: it could not be extracted (No space left on device)",
                                     "prod.conf: the journal could not be written"}));
    EXPECT_EQ(report.FailedLeaves(), std::vector<std::string>{"a.txt"});
}

TEST(RunReport, TheUserHearsOfEachFailedItemOnce) {
    RunReport report;
    testing::internal::CaptureStderr();
    report.ItemFailed("docs", "its link could not be placed in /x/bin");
    report.ItemFailed("tool", "it could not be moved to /x/bin");
    report.ItemFailed("docs", "its menu entry could not be written");
    testing::internal::GetCapturedStderr();
    EXPECT_EQ(report.Failures().size(), 3u);
    EXPECT_EQ(report.FailedLeaves(), (std::vector<std::string>{"docs", "tool"}));
}

TEST(RunReport, WithoutALogTheRestIsStillTold) {
    ErrorRecorder frontend;
    RunReport report;
    // A log that cannot be made is not kept; the run goes on.
    report.OpenLog((Sandbox::MakeFolder("report") / "missing" / "Log").c_str());
    EXPECT_FALSE(report.HasLog());
    report.OpenLog(nullptr);
    EXPECT_FALSE(report.HasLog());

    testing::internal::CaptureStderr();
    report.Log("%s\n", "nowhere");
    report.Detail("Not enough room on the volume holding /x");
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "Not enough room on the volume holding /x\n");
    EXPECT_EQ(frontend.errors,
              std::vector<std::string>{"Not enough room on the volume holding /x"});
    EXPECT_FALSE(report.HasFailures());
}
