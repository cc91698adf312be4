// Screenshots of the installer window in its states, in English and in German, compared
// with reviewed references (tests/ui/gui/reference/installer-*.png). The volume row and the
// destination path depend on the machine and are left out of the comparison.
//
// TARNW_UPDATE_REFERENCES=1 writes the references anew; look at them before keeping them.
#include "platform/interface/gui/GuiTestSupport.h"

#include <cstdlib>
#include <filesystem>

#include "platform/interface/gui/ImageCompare.cpp" // the comparer of the interface tests
#include "platform/interface/gui/MenuItem.h"
#include "support/Sandbox.h"
#include "test_InstallerWinSupport.h"
#include "ui/gui/InstallerWin.h"
#include "ui/gui/LibMenuField.h"

namespace fs = std::filesystem;
using window_test::Package;
using window_test::RecordingLooper;
using window_test::ScriptedFrontend;

namespace {

const fs::path kReferences = fs::path(TARNW_TEST_SOURCE_DIR) / "ui/gui/reference";

// Window areas that differ from machine to machine: the volume row (name and free space)
// and the destination path.
const BRect kMasks[] = {BRect(175, 156, 436, 181), BRect(200, 190, 440, 205)};

Package ScreenPackage() {
    Package package;
    package.config.AddString("license",
                             "TOOL LICENCE\n\nYou may install this tool on as many machines as "
                             "you like.\n\nIt comes without warranty of any kind.");
    package.AddGroup("Typical", "The tool and its script");
    package.AddGroup("Documents", "The manual only");
    package.AddGroup("Full", "Everything");
    package.AddRecord({"tool", 204800, "Typical;Full;", {}});
    package.AddRecord({"tool.sh", 1200, "Typical;Full;", {}});
    package.AddRecord({"Tool Manual", 80000, "Documents;Full;", {}});
    return package;
}

Image Capture(InstallerWin* window) {
    Image image;
    Settle();
    EXPECT_TRUE(GuiHost::CaptureWindow(window, &image.pixels, &image.width, &image.height));
    return image;
}

void Mask(Image& image) {
    for (BRect mask : kMasks)
        for (int32 y = int32(mask.top); y <= int32(mask.bottom) && y < image.height; y++)
            for (int32 x = int32(mask.left); x <= int32(mask.right) && x < image.width; x++)
                image.pixels[size_t(y) * image.width + x] = 0xff808080;
}

void CompareWithReference(Image image, const std::string& name) {
    fs::path reference = kReferences / ("installer-" + name + ".png");
    const char* update = std::getenv("TARNW_UPDATE_REFERENCES");
    if (update != nullptr && *update != '\0') {
        fs::create_directories(kReferences);
        ASSERT_TRUE(WritePng(reference.string(), image));
        return;
    }
    Image expected;
    ASSERT_TRUE(ReadPng(reference.string(), &expected)) << reference;
    // What this run saw, for a look when it differs.
    WritePng((tarnw::test::Sandbox::Temp() / ("installer-" + name + ".png")).string(), image);
    Mask(image);
    Mask(expected);
    ImageDifference difference = CompareImages(image, expected, 24);
    ASSERT_TRUE(difference.sameSize) << name;
    // Anti-aliased text may shift a little between font versions; the layout may not.
    EXPECT_LT(difference.differing, 300) << name << ": " << difference.differing
                                         << " pixels differ, the largest by " << difference.largest;
}

} // namespace

TEST(InstallerWinScreens, EveryStateLooksAsReviewed) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    auto* application = new RecordingLooper();
    auto* window = new InstallerWin(ScreenPackage().Build("ToolInstaller").c_str());
    window->SetApplicationTarget(BMessenger(application));
    ASSERT_TRUE(window->LoadResources());
    window->Show();
    Settle();

    CompareWithReference(Capture(window), "licence");
    BMessage agree(InstallerWin::kButtonPressed);
    window->PostMessage(&agree);
    Settle();
    CompareWithReference(Capture(window), "install");

    // German, chosen in the language menu.
    window->Lock();
    auto* menu = dynamic_cast<LibMenuField*>(window->FindView("options"));
    ASSERT_NE(menu, nullptr);
    for (int32 i = 0; i < menu->CountItems(); i++)
        menu->ItemAt(i)->SetMarked(i == 3);
    menu->ItemAt(3)->Invoke();
    window->Unlock();
    Settle();
    CompareWithReference(Capture(window), "install-de");

    window->AllowClose();
    CloseWindow(window);
    application->Lock();
    application->Quit();
}
