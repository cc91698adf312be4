// Windows drawn at a display scale: views fill their cells of device pixels, thin lines
// grow with the scale, text is measured as the toolkit draws it, small icons come from
// their large rendition and pictures are smoothed. Captures are in device pixels.
#include "GuiTestSupport.h"
#include "ImageCompare.h"

#include "platform/interface/DisplayScale.h"
#include "platform/interface/Font.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/FileIcons.h"

namespace {

const rgb_color kRed = {255, 0, 0, 255};
const rgb_color kBlue = {0, 0, 255, 255};
const uint32 kRedPixel = 0xffff0000, kBluePixel = 0xff0000ff;

// A grey window whose one view draws what the test gives it.
class CanvasView : public BView {
public:
    CanvasView(BRect frame, std::function<void(BView*)> draw)
        : BView(frame, "canvas", B_FOLLOW_NONE, B_WILL_DRAW), fDraw(std::move(draw)) {
        SetViewColor(rgb_color{200, 200, 200, 255});
    }
    void Draw(BRect) override { fDraw(this); }

private:
    std::function<void(BView*)> fDraw;
};

Image Drawn(float scale, BRect frame, std::function<void(BView*)> draw) {
    DisplayScale::SetFactor(scale);
    auto* window =
        new RecordingWindow(BRect(50, 50, 50 + frame.right + 10, 50 + frame.bottom + 10));
    window->Lock();
    window->AddChild(new CanvasView(frame, std::move(draw)));
    window->Unlock();
    window->Show();
    Settle();
    Image image;
    EXPECT_TRUE(GuiHost::CaptureWindow(window, &image.pixels, &image.width, &image.height));
    CloseWindow(window);
    return image;
}

// The device pixels of a colour, as the rectangle they span (invalid when none).
BRect SpanOf(const Image& image, uint32 colour) {
    BRect span(1e9, 1e9, -1e9, -1e9);
    for (int32 y = 0; y < image.height; y++)
        for (int32 x = 0; x < image.width; x++)
            if (image.At(x, y) == colour)
                span = BRect(std::min(span.left, (float)x), std::min(span.top, (float)y),
                             std::max(span.right, (float)x), std::max(span.bottom, (float)y));
    return span;
}

// Each test leaves the display at 1x.
class Scaling : public ::testing::Test {
protected:
    void TearDown() override { DisplayScale::SetFactor(1); }
};

} // namespace

TEST_F(Scaling, ViewsFillTheirCellsAndThinLinesGrow) {
    REQUIRE_DISPLAY();
    auto draw = [](BView* view) {
        view->SetHighColor(kRed);
        view->FillRect(BRect(10, 10, 19, 19));
        view->SetHighColor(kBlue);
        view->StrokeLine(BPoint(30, 5), BPoint(30, 24));
    };
    struct Case {
        float scale;
        BRect red, blue;
    } cases[] = {
        // The view starts at (5, 5) in the window.
        {1, BRect(15, 15, 24, 24), BRect(35, 10, 35, 29)},
        {2, BRect(30, 30, 49, 49), BRect(70, 20, 71, 59)},
        // Cells of 1.5 pixels: v covers round(1.5 v) .. round(1.5 (v + 1)) - 1.
        {1.5f, BRect(23, 23, 37, 37), BRect(53, 15, 53, 44)},
    };
    for (const Case& c : cases) {
        Image image = Drawn(c.scale, BRect(5, 5, 45, 35), draw);
        EXPECT_EQ(image.width, (int32)std::lround(56 * c.scale)) << c.scale;
        EXPECT_EQ(SpanOf(image, kRedPixel), c.red) << c.scale;
        EXPECT_EQ(SpanOf(image, kBluePixel), c.blue) << c.scale;
    }
}

TEST_F(Scaling, TextIsMeasuredAsTheToolkitDrawsItAtEveryScale) {
    REQUIRE_DISPLAY();
    if (!BFont::HasFontEngine())
        GTEST_SKIP() << "no font engine";
    const char* samples[] = {"Übergeordneter Ordner", "Installation Complete", "WWW iii ..."};
    for (float scale : {1.25f, 1.5f, 2.0f, 3.0f}) {
        DisplayScale::SetFactor(scale);
        for (float size : {10.0f, 12.0f}) {
            BFont font;
            font.SetSize(size);
            for (const char* text : samples)
                // Within a device pixel.
                EXPECT_NEAR(font.StringWidth(text), GuiHost::ToolkitStringWidth(font, text),
                            1.0f / scale)
                    << text << " at " << size << ", " << scale << "x";
        }
    }
}

TEST_F(Scaling, SmallIconsComeFromTheirLargeRendition) {
    REQUIRE_DISPLAY();
    BBitmap small(BRect(0, 0, 15, 15), B_RGBA32);
    ASSERT_EQ(FileIcons::Draw(B_FOLDER_FILE_ICON, &small, B_MINI_ICON), B_OK);
    ASSERT_NE(small.Detail(), nullptr);
    BBitmap large(BRect(0, 0, 31, 31), B_RGBA32);
    ASSERT_EQ(FileIcons::Draw(B_FOLDER_FILE_ICON, &large, B_LARGE_ICON), B_OK);
    Image image = Drawn(2, BRect(0, 0, 19, 19), [&](BView* view) {
        view->SetDrawingMode(B_OP_OVER);
        view->DrawBitmap(&small, BPoint(2, 2));
    });
    // At 2x the 16-pixel icon covers 32 device pixels: the large icon, pixel for pixel.
    int32 differing = 0;
    for (int32 y = 0; y < 32; y++)
        for (int32 x = 0; x < 32; x++) {
            rgb_color c = large.ColorAt(x, y);
            if (c.alpha == 0)
                continue;
            uint32 expected = 0xff000000u | (c.red << 16) | (c.green << 8) | c.blue;
            if (image.At(4 + x, 4 + y) != expected)
                differing++;
        }
    EXPECT_EQ(differing, 0);
}

TEST_F(Scaling, PicturesAreSmoothedWhenEnlargedAndCopiedAtOneX) {
    REQUIRE_DISPLAY();
    // Black and white side by side.
    BBitmap bitmap(BRect(0, 0, 1, 0), B_RGB32);
    bitmap.SetColorAt(0, 0, rgb_color{0, 0, 0, 255});
    bitmap.SetColorAt(1, 0, rgb_color{255, 255, 255, 255});
    auto draw = [&](BView* view) { view->DrawBitmap(&bitmap, BPoint(0, 0)); };

    Image one = Drawn(1, BRect(0, 0, 9, 9), draw);
    EXPECT_EQ(one.At(0, 0), 0xff000000u);
    EXPECT_EQ(one.At(1, 0), 0xffffffffu);

    // At 4x the eight device pixels run from black through greys to white.
    Image four = Drawn(4, BRect(0, 0, 9, 9), draw);
    std::vector<uint32> row;
    for (int32 x = 0; x < 8; x++)
        row.push_back(four.At(x, 0) & 0xff);
    EXPECT_EQ(row.front(), 0u);
    EXPECT_EQ(row.back(), 255u);
    for (size_t x = 1; x < row.size(); x++)
        EXPECT_LE(row[x - 1], row[x]) << x;
    EXPECT_GT(row[4], 0u);
    EXPECT_LT(row[3], 255u);
}
