#include <gtest/gtest.h>

#include <cstring>

#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/FileIcons.h"
#include "platform/interface/gui/Picture.h"
#include "platform/interface/gui/Screen.h"
#include "platform/interface/gui/View.h"

namespace {

// Draws a picture into a new bitmap of the same size, as LibBitmapToPicture's users do.
BBitmap Render(const BPicture& picture, BRect bounds, color_space space) {
    BBitmap target(bounds, space, true);
    auto* view = new BView(bounds, "", B_FOLLOW_NONE, B_WILL_DRAW);
    target.AddChild(view);
    target.Lock();
    view->DrawPicture(&picture, B_ORIGIN);
    target.Unlock();
    return BBitmap(target);
}

} // namespace

TEST(Bitmap, ArchiveRoundTripKeepsEveryPixel) {
    BBitmap bitmap(BRect(0, 0, 149, 199), B_RGB32);
    ASSERT_EQ(bitmap.InitCheck(), B_OK);
    EXPECT_EQ(bitmap.BytesPerRow(), 600);
    EXPECT_EQ(bitmap.BitsLength(), 600 * 200);
    for (int32 y = 0; y < 200; y += 7)
        for (int32 x = 0; x < 150; x += 3)
            bitmap.SetColorAt(x, y, rgb_color{(uint8)x, (uint8)y, 77, 255});
    BMessage archive;
    ASSERT_EQ(bitmap.Archive(&archive), B_OK);
    EXPECT_STREQ(archive.GetString("class"), "BBitmap");
    EXPECT_EQ(archive.GetInt32("_cspace"), 8);
    // Through the flattened form, as it is stored in the configuration.
    std::string flat = archive.Flatten();
    BMessage back;
    ASSERT_EQ(back.Unflatten(flat.data(), flat.size()), B_OK);
    BBitmap* copy = BBitmap::Instantiate(&back);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Bounds(), bitmap.Bounds());
    EXPECT_EQ(std::memcmp(copy->Bits(), bitmap.Bits(), bitmap.BitsLength()), 0);
    delete copy;
}

TEST(Bitmap, HostileArchivesAreRefused) {
    BBitmap good(BRect(0, 0, 9, 9), B_CMAP8);
    BMessage base;
    ASSERT_EQ(good.Archive(&base), B_OK);
    auto refused = [](BMessage archive) {
        BBitmap* bitmap = BBitmap::Instantiate(&archive);
        bool ok = bitmap == nullptr;
        delete bitmap;
        return ok;
    };
    BMessage shortData(base);
    char few[20] = {};
    shortData.ReplaceData("_data", B_RAW_TYPE, few, sizeof few);
    EXPECT_TRUE(refused(shortData));
    BMessage huge(base);
    huge.ReplaceRect("_frame", BRect(0, 0, 1e9f, 1e9f));
    EXPECT_TRUE(refused(huge));
    BMessage inverted(base);
    inverted.ReplaceRect("_frame", BRect(10, 10, 0, 0));
    EXPECT_TRUE(refused(inverted));
    BMessage rows(base);
    rows.ReplaceInt32("_rowbytes", 2);
    EXPECT_TRUE(refused(rows));
    BMessage space(base);
    space.ReplaceInt32("_cspace", 0x7777);
    EXPECT_TRUE(refused(space));
    BMessage other(base);
    other.ReplaceString("class", "BView");
    EXPECT_TRUE(refused(other));
    BMessage empty;
    EXPECT_TRUE(refused(empty));
    // Larger rows than needed (padding from another writer) are read row by row.
    BMessage padded(base);
    std::vector<char> wide(16 * 10, 3);
    padded.ReplaceInt32("_rowbytes", 16);
    padded.ReplaceData("_data", B_RAW_TYPE, wide.data(), (ssize_t)wide.size());
    BBitmap* bitmap = BBitmap::Instantiate(&padded);
    ASSERT_NE(bitmap, nullptr);
    EXPECT_EQ(((uint8*)bitmap->Bits())[bitmap->BytesPerRow() * 9 + 9], 3);
    delete bitmap;
}

TEST(Bitmap, PaletteImageBecomesAPictureThatDrawsTheSamePixels) {
    // A 24 x 24 palette image: 576 bytes, rows already a multiple of 4.
    std::vector<uint8> bits(576);
    for (size_t i = 0; i < bits.size(); i++)
        bits[i] = (uint8)((i * 7) % 255);
    bits[5] = B_TRANSPARENT_MAGIC_CMAP8;
    BBitmap source(BRect(0, 0, 23, 23), B_CMAP8);
    source.SetBits(bits.data(), (int32)bits.size(), 0, B_CMAP8);

    BBitmap offscreen(source.Bounds(), B_CMAP8, true);
    auto* view = new BView(source.Bounds(), "", B_FOLLOW_NONE, B_WILL_DRAW);
    offscreen.AddChild(view);
    offscreen.Lock();
    BPicture picture;
    view->BeginPicture(&picture);
    view->DrawBitmap(&source, B_ORIGIN);
    view->EndPicture();
    offscreen.Unlock();
    EXPECT_EQ(picture.CountOps(), 1);
    EXPECT_EQ(picture.Bounds(), source.Bounds());

    BBitmap drawn = Render(picture, source.Bounds(), B_CMAP8);
    EXPECT_EQ(std::memcmp(drawn.Bits(), bits.data(), bits.size()), 0);
}

TEST(Bitmap, ConversionsAndOverMode) {
    BBitmap palette(BRect(0, 0, 3, 0), B_CMAP8);
    uint8 indexes[4] = {index_for_color(255, 0, 0), index_for_color(0, 0, 0),
                        B_TRANSPARENT_MAGIC_CMAP8, index_for_color(255, 255, 255)};
    palette.SetBits(indexes, 4, 0, B_CMAP8);
    BBitmap rgb(BRect(0, 0, 3, 0), B_RGB32);
    rgb.SetBits(palette.Bits(), palette.BitsLength(), 0, B_CMAP8);
    EXPECT_EQ(rgb.ColorAt(0, 0), make_color(255, 0, 0));
    EXPECT_EQ(rgb.ColorAt(2, 0).alpha, 0) << "transparent stays transparent";
    EXPECT_EQ(rgb.ColorAt(99, 0), B_TRANSPARENT_COLOR) << "outside";
    // SetBits never writes past the end, whatever length it is given.
    std::vector<uint8> lots(1000, 1);
    palette.SetBits(lots.data(), (int32)lots.size(), 2, B_CMAP8);
    EXPECT_EQ(((uint8*)palette.Bits())[1], indexes[1]);

    // Drawing over a green bitmap: transparent pixels leave it green.
    BBitmap target(BRect(0, 0, 3, 0), B_RGB32, true);
    for (int x = 0; x < 4; x++)
        target.SetColorAt(x, 0, make_color(0, 255, 0));
    auto* view = new BView(target.Bounds(), "", B_FOLLOW_NONE, 0);
    target.AddChild(view);
    target.Lock();
    view->SetDrawingMode(B_OP_OVER);
    view->DrawBitmap(&rgb, B_ORIGIN);
    view->SetDrawingMode(B_OP_COPY);
    view->SetHighColor(0, 0, 255);
    view->StrokeLine(BPoint(3, 0), BPoint(3, 0));
    target.Unlock();
    EXPECT_EQ(target.ColorAt(0, 0), make_color(255, 0, 0));
    EXPECT_EQ(target.ColorAt(2, 0), make_color(0, 255, 0));
    EXPECT_EQ(target.ColorAt(3, 0), make_color(0, 0, 255));
}

TEST(Bitmap, InvalidBoundsGiveAnInvalidBitmap) {
    BBitmap inverted(BRect(5, 5, 0, 0), B_RGB32);
    EXPECT_NE(inverted.InitCheck(), B_OK);
    EXPECT_EQ(inverted.BitsLength(), 0);
    BBitmap huge(BRect(0, 0, 100000, 10), B_RGB32);
    EXPECT_NE(huge.InitCheck(), B_OK);
    BBitmap unknown(BRect(0, 0, 1, 1), (color_space)0x4242);
    EXPECT_NE(unknown.InitCheck(), B_OK);
    EXPECT_EQ(unknown.ColorAt(0, 0), B_TRANSPARENT_COLOR);
}

TEST(Screen, PaletteLookups) {
    BScreen screen;
    EXPECT_EQ(screen.ColorForIndex(screen.IndexForColor(0, 0, 0)), make_color(0, 0, 0));
    rgb_color grey = screen.ColorForIndex(screen.IndexForColor(128, 128, 128));
    EXPECT_NEAR(grey.red, 128, 4);
    EXPECT_EQ(screen.IndexForColor(B_TRANSPARENT_32_BIT), B_TRANSPARENT_MAGIC_CMAP8);
    EXPECT_EQ(screen.ColorMap(), system_colors());
    EXPECT_TRUE(screen.Frame().IsValid());
}

TEST(FileIcons, KindsFromTypesAndNodes) {
    EXPECT_EQ(FileIcons::KindForType("application/x-vnd.Be-directory"), B_FOLDER_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType("application/x-vnd.Be-elfexecutable"),
              B_APPLICATION_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType("text/x-shellscript"), B_SCRIPT_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType("text/plain"), B_TEXT_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType("image/png"), B_IMAGE_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType("application/zip"), B_ARCHIVE_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType("application/x-vnd.Be-symlink"), B_SYMLINK_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForType(nullptr), B_PLAIN_FILE_ICON);
    file_icon_kind kind = B_TEXT_FILE_ICON;
    EXPECT_EQ(FileIcons::KindForPath("/no/such/entry", &kind), B_ENTRY_NOT_FOUND);
    EXPECT_EQ(kind, B_TEXT_FILE_ICON);
    EXPECT_EQ(FileIcons::KindForPath("/", &kind), B_OK);
    EXPECT_EQ(kind, B_FOLDER_FILE_ICON);
    // Icons have a transparent background and something drawn in the middle.
    BBitmap icon(BRect(0, 0, 31, 31), B_CMAP8);
    ASSERT_EQ(FileIcons::Draw(B_FOLDER_FILE_ICON, &icon, B_LARGE_ICON), B_OK);
    EXPECT_EQ(((uint8*)icon.Bits())[0], B_TRANSPARENT_MAGIC_CMAP8);
    EXPECT_NE(icon.ColorAt(16, 16).alpha, 0);
    BBitmap wrongSize(BRect(0, 0, 15, 15), B_CMAP8);
    EXPECT_EQ(FileIcons::Draw(B_FOLDER_FILE_ICON, &wrongSize, B_LARGE_ICON), B_BAD_VALUE);
}
