#include "frontend/LibAlert.h"

#include <gtest/gtest.h>
#include <vector>

#include "platform/interface/Frontend.h"

namespace {

class RecordingFrontend : public Frontend {
public:
    FrontendAnswer Ask(const FrontendRequest& request) override {
        requests.push_back(request);
        return FrontendAnswer{};
    }
    std::vector<FrontendRequest> requests;
};

class LibAlertTest : public testing::Test {
protected:
    void SetUp() override { SetFrontend(&frontend); }
    void TearDown() override { SetFrontend(nullptr); }
    RecordingFrontend frontend;
};

} // namespace

TEST_F(LibAlertTest, IconsButtonAndShortcut) {
    EXPECT_EQ(LibError("Disk %s has %d bytes", "Boot", 12), 0);
    LibInfo("info");
    LibWarning("warning");
    EXPECT_EQ(LibInfoNoWait("later"), B_OK);
    ASSERT_EQ(frontend.requests.size(), 4u);
    const FrontendRequest& error = frontend.requests[0];
    EXPECT_EQ(error.text, "Disk Boot has 12 bytes");
    EXPECT_EQ(error.title, "");
    EXPECT_EQ(error.icon, FrontendIcon::Stop);
    ASSERT_EQ(error.buttons.size(), 1u);
    EXPECT_EQ(error.buttons[0], "OK");
    ASSERT_EQ(error.shortcuts.size(), 1u);
    EXPECT_EQ(error.shortcuts[0], 'O');
    EXPECT_TRUE(error.waits);
    EXPECT_EQ(frontend.requests[1].icon, FrontendIcon::Info);
    EXPECT_EQ(frontend.requests[2].icon, FrontendIcon::Warning);
    EXPECT_EQ(frontend.requests[3].icon, FrontendIcon::Info);
    EXPECT_FALSE(frontend.requests[3].waits);
}

TEST_F(LibAlertTest, TextAtTheLimitIsWholeAndLongerTextIsCut) {
    std::string exact(1023, 'x');
    LibError("%s", exact.c_str());
    EXPECT_EQ(frontend.requests.back().text, exact);

    std::string longer(5000, 'y');
    LibInfo("%s", longer.c_str());
    EXPECT_EQ(frontend.requests.back().text, std::string(1023, 'y'));
}

TEST_F(LibAlertTest, CuttingNeverSplitsACharacter) {
    // 1022 bytes, then a two-byte character that would end one byte past the buffer.
    std::string text = std::string(1022, 'a') + "\xC3\xA9" + "tail";
    LibWarning("%s", text.c_str());
    EXPECT_EQ(frontend.requests.back().text, std::string(1022, 'a'));

    std::string fits = std::string(1021, 'a') + "\xC3\xA9" + "tail";
    LibWarning("%s", fits.c_str());
    EXPECT_EQ(frontend.requests.back().text, std::string(1021, 'a') + "\xC3\xA9");
}

TEST(LibAlert, WithoutFrontendAnswersZero) {
    SetFrontend(nullptr);
    EXPECT_EQ(LibError("%s", "nobody listens"), 0);
}
