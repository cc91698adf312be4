#include <gtest/gtest.h>

#include <dlfcn.h>

#include <filesystem>
#include <fstream>

#include "DesktopEntrySource.h"
#include "ImageArchive.h"
#include "SvgPicture.h"
#include "support/Sandbox.h"

namespace fs = std::filesystem;
using namespace tarnw::pack;
using tarnw::test::Sandbox;

namespace {

bool HaveLibrsvg() {
    void* library = dlopen("librsvg-2.so.2", RTLD_NOW | RTLD_LOCAL);
    if (library != nullptr)
        dlclose(library);
    return library != nullptr;
}

// A red disc on a transparent ground, in a view box far smaller than the picture.
const char* kDisc = R"(<?xml version="1.0"?>
<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
  <circle cx="8" cy="8" r="6" fill="#ff0000" fill-opacity="0.5"/>
</svg>
)";

RgbaImage Decode(const std::string& png) {
    fs::path file = Sandbox::MakeFolder("picture") / "picture.png";
    std::ofstream(file, std::ios::binary) << png;
    return DecodeImage(file);
}

const uint8_t* Pixel(const RgbaImage& image, uint32_t x, uint32_t y) {
    return &image.pixels[(size_t(y) * image.width + x) * 4];
}

} // namespace

TEST(SvgPicture, DrawsTheImageScaledToTheWholePictureWithItsColoursWhole) {
    if (!HaveLibrsvg())
        GTEST_SKIP() << "librsvg-2.so.2 is not installed";
    SvgPicture picture = DrawSvgAsPng(kDisc, kIconPictureSide);
    ASSERT_FALSE(picture.png.empty()) << picture.reason;
    EXPECT_EQ(PngSide(picture.png), kIconPictureSide);

    RgbaImage image = Decode(picture.png);
    ASSERT_EQ(image.width, uint32_t(kIconPictureSide));
    // The middle is the disc's colour at its own opacity, not darkened by premultiplying.
    const uint8_t* middle = Pixel(image, 64, 64);
    EXPECT_EQ(middle[0], 255);
    EXPECT_EQ(middle[1], 0);
    EXPECT_EQ(middle[2], 0);
    EXPECT_NEAR(middle[3], 128, 1);
    // The disc reaches 8 pixels of the picture per unit: its edge at 16 pixels from the side.
    EXPECT_EQ(Pixel(image, 64, 10)[3], 0);
    EXPECT_GT(Pixel(image, 64, 22)[3], 100);
    EXPECT_EQ(Pixel(image, 2, 2)[3], 0);
}

TEST(SvgPicture, AnImageLibrsvgCannotReadGivesAReasonAndNoPicture) {
    if (!HaveLibrsvg())
        GTEST_SKIP() << "librsvg-2.so.2 is not installed";
    for (const char* broken : {"<svg", "<svg xmlns=\"http://www.w3.org/2000/svg\"><g></svg>", ""}) {
        SvgPicture picture = DrawSvgAsPng(broken, kIconPictureSide);
        EXPECT_TRUE(picture.png.empty()) << broken;
        EXPECT_FALSE(picture.reason.empty()) << broken;
    }
}
