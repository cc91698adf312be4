#include <gtest/gtest.h>

#include <fstream>

#include "ImageCompare.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/TranslationUtils.h"
#include "support/Sandbox.h"

TEST(Translation, ReadsPngPicturesAndRefusesEverythingElse) {
    auto folder = tarnw::test::Sandbox::MakeFolder("pictures");
    Image image;
    image.width = 150;
    image.height = 200;
    image.pixels.assign(150 * 200, 0xff336699u);
    image.pixels[0] = 0xffff0000u;
    std::string png = (folder / "about.png").string();
    ASSERT_TRUE(WritePng(png, image));

    BBitmap* bitmap = BTranslationUtils::GetBitmap(png.c_str());
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(bitmap->Bounds(), BRect(0, 0, 149, 199));
    EXPECT_EQ(bitmap->ColorAt(0, 0), make_color(255, 0, 0));
    EXPECT_EQ(bitmap->ColorAt(149, 199), make_color(0x33, 0x66, 0x99));
    delete bitmap;

    // A picture cut short, text with a picture's name, and nothing at all.
    std::string whole = tarnw::test::ReadFile(png);
    tarnw::test::WriteFile(folder / "cut.png", whole.substr(0, whole.size() / 3));
    tarnw::test::WriteFile(folder / "text.png", "not a picture");
    EXPECT_EQ(BTranslationUtils::GetBitmap((folder / "text.png").c_str()), nullptr);
    EXPECT_EQ(BTranslationUtils::GetBitmap((folder / "missing.png").c_str()), nullptr);
    EXPECT_EQ(BTranslationUtils::GetBitmap(nullptr), nullptr);
    BBitmap* cut = BTranslationUtils::GetBitmap((folder / "cut.png").c_str());
    // A damaged picture is either refused or read as far as it goes, never past its end.
    if (cut) {
        EXPECT_EQ(cut->Bounds(), BRect(0, 0, 149, 199));
    }
    delete cut;
}
