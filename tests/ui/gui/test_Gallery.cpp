// The controls gallery on screen: the folder button shows its pictures pixel for pixel and
// the credits are drawn in the about image.

#include "platform/interface/gui/GuiTestSupport.h"

#include "ControlsGallery.h"
#include "ui/gui/FolderButtonArt.h"
#include "ui/gui/InstallImage.h"
#include "ui/gui/LibPictureButton.h"

TEST(Gallery, FolderButtonAndCreditsOnScreen) {
    REQUIRE_DISPLAY();
    auto* window = new ControlsGallery(BPoint(50, 50));
    window->Show();
    Settle();
    std::vector<uint32> pixels;
    int32 width = 0, height = 0;
    ASSERT_TRUE(GuiHost::CaptureWindow(window, &pixels, &width, &height));
    auto at = [&](int32 x, int32 y) {
        uint32 p = pixels[(size_t)y * width + x];
        return make_color((p >> 16) & 0xff, (p >> 8) & 0xff, p & 0xff);
    };

    BPoint origin = window->Folder()->ConvertToWindow(B_ORIGIN);
    const uint8* art = FolderButtonArt::Normal();
    int32 same = 0;
    for (int32 y = 0; y < FolderButtonArt::kSize; y++)
        for (int32 x = 0; x < FolderButtonArt::kSize; x++) {
            rgb_color want = system_colors()->color_list[art[y * FolderButtonArt::kSize + x]];
            want.alpha = 255;
            same += at((int32)origin.x + x, (int32)origin.y + y) == want;
        }
    EXPECT_EQ(same, FolderButtonArt::kBytes);

    // The credits are shown (there is no picture): the blue product name is there.
    BRect image = window->Image()->Frame();
    int32 blue = 0;
    for (int32 y = (int32)image.top + 2; y < (int32)image.bottom - 2; y++)
        for (int32 x = (int32)image.left + 2; x < (int32)image.left + 30; x++) {
            rgb_color c = at(x, y);
            blue += c.blue > 200 && c.red < 60 && c.green < 60;
        }
    EXPECT_GT(blue, 50);
    CloseWindow(window);
}
