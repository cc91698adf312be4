// The installer window driven in the test process: its layout, its three states, groups and
// files with their total, the button's enabling, the language menu, the folder panel's
// question, the worker's messages, tips and quitting.
#include "platform/interface/gui/GuiTestSupport.h"

#include <condition_variable>
#include <filesystem>
#include <memory>
#include <thread>

#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Box.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/FileIcons.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/TextView.h"
#include "support/Process.h"
#include "support/Sandbox.h"
#include "test_InstallerWinSupport.h"
#include "ui/gui/FileChoiceList.h"
#include "ui/gui/InstallListRow.h"
#include "ui/gui/InstallerWin.h"
#include "ui/gui/LibFilePanel.h"
#include "ui/gui/LibMenuField.h"
#include "ui/gui/LibStringView.h"
#include "ui/gui/ProgressStringView.h"

namespace fs = std::filesystem;
using tarnw::test::Sandbox;
using window_test::Package;
using window_test::RecordingLooper;
using window_test::ScriptedFrontend;

namespace {

constexpr const char* kLicense = "Use it well.\nDo not sell it.";

Package ThreeGroups(const char* license = kLicense) {
    Package package;
    if (license != nullptr)
        package.config.AddString("license", license);
    package.AddGroup("Typical", "The program and its script");
    package.AddGroup("Documents", "");
    package.AddGroup("Full", "Everything");
    package.AddRecord({"tool", 2048, "Typical;Full;", {}});
    package.AddRecord({"manual.pdf", 30000, "Documents;Full;", {}});
    package.AddRecord({"tool.sh", 100, "Typical;Full;", {}});
    package.AddRecord({"extras", 5000, "", {}});
    return package;
}

// A window showing `installer`, loaded, shown and settled, with the looper standing in for
// the application.
struct OpenWindow {
    explicit OpenWindow(const fs::path& installer) {
        window = new InstallerWin(installer.c_str());
        window->SetApplicationTarget(BMessenger(application));
        loaded = window->LoadResources();
        window->Show();
        Settle();
    }
    ~OpenWindow() {
        window->AllowClose();
        CloseWindow(window);
        application->Lock();
        application->Quit();
    }

    template <typename T> T* View(const char* name) {
        return dynamic_cast<T*>(window->FindView(name));
    }
    const char* Text(const char* name) { return View<BStringView>(name)->Text(); }
    BButton* Button() { return View<BButton>("button"); }
    BListView* Files() { return View<BListView>("custom_list"); }
    BListView* Groups() { return View<BListView>("install_type"); }
    std::vector<int32> SelectedFiles() {
        std::vector<int32> rows;
        for (int32 i = 0; i < Files()->CountItems(); i++)
            if (Files()->IsItemSelected(i))
                rows.push_back(i);
        return rows;
    }
    void Post(BMessage message) {
        window->PostMessage(&message);
        Settle();
    }

    RecordingLooper* application = new RecordingLooper();
    InstallerWin* window = nullptr;
    bool loaded = false;
};

// Picks a language as a click in the menu does: the item is marked, then invoked.
void Choose(LibMenuField* menu, int32 index) {
    menu->Window()->Lock();
    for (int32 i = 0; i < menu->CountItems(); i++)
        menu->ItemAt(i)->SetMarked(i == index);
    menu->ItemAt(index)->Invoke();
    menu->Window()->Unlock();
    Settle();
}

BRect FrameIn(BView* view) {
    return view != nullptr ? view->Frame() : BRect();
}

} // namespace

TEST(InstallerWin, ViewsSitWhereTheLayoutPutsThem) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build("Tool Setup"));
    InstallerWin* window = open.window;
    EXPECT_EQ(window->Bounds(), BRect(0, 0, 455, 257));
    EXPECT_STREQ(window->Title(), "Tool Setup");
    EXPECT_STREQ(window->Name(), "InstallerWin");
    EXPECT_TRUE(window->Flags() & B_NOT_RESIZABLE);
    EXPECT_TRUE(window->Flags() & B_NOT_ZOOMABLE);
    EXPECT_TRUE(window->Flags() & B_NOT_MINIMIZABLE);
    EXPECT_FALSE(window->HasShortcut('W', B_COMMAND_KEY));

    struct Expected {
        const char* name;
        const char* parent;
        BRect frame;
    } expected[] = {
        {"bgview", nullptr, BRect(0, 0, 455, 257)},
        {"InstallImage", "bgview", BRect(10, 16, 160, 216)},
        {"license_box", "bgview", BRect(165, 10, 445, 216)},
        {"license_view", "license_box", BRect(8, 13, 271, 198)},
        {"license_text", "license_view", BRect(2, 2, 247, 183)},
        {"install_box", "bgview", BRect(165, 10, 445, 216)},
        {"install_type_label", "install_box", BRect(10, 15, 80, 30)},
        {"install_type_scroll", "install_box", BRect(8, 31, 96, 129)},
        {"install_type", "install_type_scroll", BRect(2, 2, 72, 96)},
        {"file_label", "install_box", BRect(102, 15, 162, 30)},
        {"custom_scroll_view", "install_box", BRect(100, 31, 271, 129)},
        {"custom_list", "custom_scroll_view", BRect(2, 2, 155, 96)},
        {"install_type_description", "install_box", BRect(10, 131, 271, 144)},
        {"install_size", "install_box", BRect(201, 15, 271, 30)},
        {"volume", "install_box", BRect(10, 146, 210, 171)},
        {"folder", "install_box", BRect(10, 175, 33, 198)},
        {"volume_size", "install_box", BRect(33, 146, 271, 167)},
        {"destination", "install_box", BRect(35, 180, 275, 195)},
        {"inst_box", "bgview", BRect(10, 225, 320, 250)},
        {"instruction", "inst_box", BRect(5, 6, 305, 21)},
        {"button", "bgview", BRect(330, 223, 425, 243)},
        {"options", "bgview", BRect(429, 225, 449, 245)},
    };
    for (const Expected& view : expected) {
        BView* found = window->FindView(view.name);
        ASSERT_NE(found, nullptr) << view.name;
        EXPECT_EQ(FrameIn(found), view.frame) << view.name;
        if (view.parent == nullptr)
            EXPECT_EQ(found->Parent(), window->TopView()) << view.name;
        else
            EXPECT_STREQ(found->Parent()->Name(), view.parent) << view.name;
    }
    // The free-space text shares the volume row but the menu is on top of it.
    open.Post(BMessage(InstallerWin::kButtonPressed));
    BView* volume = open.View<BView>("volume");
    for (BView* hit = window->FindView(BPoint(165 + 120, 10 + 158)); hit != volume;
         hit = hit->Parent())
        ASSERT_NE(hit, nullptr) << "the volume menu does not get the click";
    auto* license = open.View<BTextView>("license_text");
    EXPECT_EQ(license->TextRect(), BRect(2, 2, 243, 179));
    EXPECT_FALSE(license->IsEditable());
    EXPECT_FALSE(license->IsSelectable());
    BFont font;
    license->GetFont(&font);
    EXPECT_EQ(font.Size(), 10);
    open.View<BView>("install_type_label")->GetFont(&font);
    EXPECT_EQ(font.Face() & B_BOLD_FACE, B_BOLD_FACE);
    EXPECT_EQ(open.View<BStringView>("install_size")->Alignment(), B_ALIGN_RIGHT);
    EXPECT_EQ(window->DefaultButton(), open.Button());
}

TEST(InstallerWin, TheLicenceComesFirstAndAgreeLeadsToTheInstallation) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build());
    EXPECT_EQ(open.window->WindowState(), InstallerWin::kLicenseState);
    EXPECT_STREQ(open.View<BTextView>("license_text")->Text(), kLicense);
    EXPECT_FALSE(open.View<BView>("license_box")->IsHidden());
    EXPECT_TRUE(open.View<BView>("install_box")->IsHidden());
    EXPECT_STREQ(open.Button()->Label(), "Agree");
    EXPECT_STREQ(open.Text("instruction"), "Read license and select the Agree button");
    EXPECT_STREQ(open.View<BBox>("license_box")->Label(), "License");

    open.Post(BMessage(InstallerWin::kButtonPressed));
    EXPECT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
    EXPECT_TRUE(open.View<BView>("license_box")->IsHidden());
    EXPECT_FALSE(open.View<BView>("install_box")->IsHidden());
    EXPECT_STREQ(open.Button()->Label(), "Install");
    EXPECT_STREQ(open.Text("instruction"), "Select destination folder and press Install");
    // The installation folder is not there yet: nothing to tell.
    EXPECT_TRUE(frontend.Requests().empty());
}

TEST(InstallerWin, WithoutALicenceTheWindowOpensReadyToInstall) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    for (const char* license : {(const char*)nullptr, ""}) {
        OpenWindow open(ThreeGroups(license).Build());
        EXPECT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
        EXPECT_TRUE(open.View<BView>("license_box")->IsHidden());
        EXPECT_FALSE(open.View<BView>("install_box")->IsHidden());
        EXPECT_STREQ(open.Button()->Label(), "Install");
        EXPECT_STREQ(open.Text("instruction"), "Select destination folder and press Install");
    }
}

TEST(InstallerWin, TheCommandLineChoosesLanguageGroupDestinationAndAcceptsTheLicence) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build());
    fs::path destination = Sandbox::MakeFolder("chosen");
    open.window->ApplyCommandLine("de", "Documents", destination.c_str(), true);
    Settle();
    EXPECT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
    EXPECT_EQ(open.Groups()->CurrentSelection(), 1);
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{1}));
    EXPECT_EQ(open.window->Session().DestinationPath(), destination.string());
    EXPECT_STREQ(open.Button()->Label(), "Installieren");

    // Without choices the window is as it opens.
    OpenWindow plain(ThreeGroups().Build());
    plain.window->ApplyCommandLine(nullptr, nullptr, nullptr, false);
    Settle();
    EXPECT_EQ(plain.window->WindowState(), InstallerWin::kLicenseState);
    EXPECT_EQ(plain.Groups()->CurrentSelection(), 0);
}

TEST(InstallerWin, GroupsSelectTheirFilesAndTheTotalFollows) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    BListView* groups = open.Groups();
    ASSERT_EQ(groups->CountItems(), 3);
    EXPECT_STREQ(static_cast<BStringItem*>(groups->ItemAt(0))->Text(), "Typical");
    EXPECT_STREQ(static_cast<BStringItem*>(groups->ItemAt(2))->Text(), "Full");
    EXPECT_EQ(groups->CurrentSelection(), 0);
    ASSERT_EQ(open.Files()->CountItems(), 4);

    // Typical: rows 0 and 2; the deinstaller counts too (1000 + 2048 + 100 bytes).
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 2}));
    EXPECT_STREQ(open.Text("install_size"), "3.1 KB");

    // Whatever was selected by hand, a group selects exactly its own files.
    open.window->Lock();
    open.Files()->Select(1, true);
    open.Files()->Select(3, true);
    open.window->Unlock();
    Settle();
    EXPECT_STREQ(open.Text("install_size"), "37.3 KB");
    open.window->Lock();
    groups->Select(1);
    open.window->Unlock();
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{1}));
    EXPECT_STREQ(open.Text("install_size"), "30.3 KB");
    open.window->Lock();
    groups->Select(2);
    open.window->Unlock();
    Settle();
    // A file of no group stays out.
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 1, 2}));
}

TEST(InstallerWin, TwelveFilesGiveTwelveRowsInOrder) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    Package package;
    for (int i = 0; i < 12; i++)
        package.AddRecord({"file" + std::to_string(i), 1024 * (i + 1), "", {}});
    OpenWindow open(package.Build());
    ASSERT_EQ(open.Files()->CountItems(), 12);
    for (int i = 0; i < 12; i++) {
        auto* row = dynamic_cast<InstallListRow*>(open.Files()->ItemAt(i));
        ASSERT_NE(row, nullptr) << i;
        EXPECT_STREQ(row->Item().DisplayText(), ("file" + std::to_string(i)).c_str());
        EXPECT_EQ(row->Item().Size(), 1024 * (i + 1));
    }
    // Without groups nothing is selected, so there is nothing to install yet.
    EXPECT_TRUE(open.SelectedFiles().empty());
    EXPECT_FALSE(open.Button()->IsEnabled());
    EXPECT_STREQ(open.Text("install_size"), "1000.0 bytes");
}

TEST(InstallerWin, TheButtonIsEnabledExactlyWhileAFileIsSelected) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    {
        OpenWindow open(ThreeGroups(nullptr).Build());
        EXPECT_TRUE(open.Button()->IsEnabled());
        open.window->Lock();
        open.Files()->DeselectAll();
        open.window->Unlock();
        Settle();
        EXPECT_FALSE(open.Button()->IsEnabled());
        open.window->Lock();
        open.Files()->Select(3);
        open.window->Unlock();
        Settle();
        EXPECT_TRUE(open.Button()->IsEnabled());
    }
    // A first group without files leaves even Agree disabled.
    Package empty;
    empty.config.AddString("license", kLicense);
    empty.AddGroup("Nothing");
    empty.AddGroup("All");
    empty.AddRecord({"tool", 10, "All;", {}});
    OpenWindow open(empty.Build());
    EXPECT_EQ(open.window->WindowState(), InstallerWin::kLicenseState);
    EXPECT_FALSE(open.Button()->IsEnabled());
}

TEST(InstallerWin, TheLanguageMenuSwitchesEveryTextAndBack) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build());
    auto* menu = open.View<LibMenuField>("options");
    ASSERT_EQ(menu->CountItems(), 10);
    EXPECT_STREQ(menu->ItemAt(3)->Label(), "German");
    EXPECT_TRUE(menu->ItemAt(0)->IsMarked());

    Choose(menu, 3);
    EXPECT_STREQ(open.window->Localize().Language(), "de");
    EXPECT_STREQ(open.Button()->Label(), "Zustimmen");
    EXPECT_STREQ(open.Text("instruction"), "Lesen Sie die Lizenz und drücken Sie Zustimmen");
    EXPECT_STREQ(open.View<BBox>("license_box")->Label(), "Lizenz");
    EXPECT_STREQ(open.Text("install_type_label"), "Gruppe");
    EXPECT_STREQ(open.Text("file_label"), "Dateien");
    ASSERT_EQ(menu->CountItems(), 10);
    EXPECT_STREQ(menu->ItemAt(3)->Label(), "Deutsch");
    EXPECT_TRUE(menu->ItemAt(3)->IsMarked());
    EXPECT_FALSE(menu->ItemAt(0)->IsMarked());

    open.Post(BMessage(InstallerWin::kButtonPressed));
    EXPECT_STREQ(open.Button()->Label(), "Installieren");

    Choose(menu, 0);
    EXPECT_STREQ(open.window->Localize().Language(), "en");
    EXPECT_STREQ(open.Button()->Label(), "Install");
    EXPECT_STREQ(open.Text("instruction"), "Select destination folder and press Install");
    EXPECT_STREQ(menu->ItemAt(3)->Label(), "German");
}

TEST(InstallerWin, TheFolderPanelAsksBeforeTakingAFolderWithTheInstallation) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    std::string before = open.window->Session().DestinationPath();
    fs::path chosen = Sandbox::MakeFolder("apps");
    fs::create_directory(chosen / "Tool");

    open.Post(BMessage(InstallerWin::kFolderButton));
    LibFilePanel* panel = open.window->FolderPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->IsShowing());

    // Cancel: the destination stays and the panel stays open for another choice.
    frontend.Answer(0);
    panel->SetPanelDirectory(chosen.parent_path().c_str());
    panel->SelectEntry(chosen.filename().c_str());
    panel->Confirm();
    ASSERT_TRUE(Pump([&] { return frontend.Requests().size() == 1; }));
    Settle();
    FrontendRequest question = frontend.Requests()[0];
    EXPECT_EQ(question.text, "The folder 'Tool' already exists in the destination folder.\n"
                             "Do you wish to replace?");
    EXPECT_EQ(question.buttons, (std::vector<std::string>{"Cancel", "Replace"}));
    EXPECT_EQ(open.window->Session().DestinationPath(), before);
    EXPECT_TRUE(panel->IsShowing());

    // Replace: the folder is taken and the panel goes away.
    frontend.Answer(1);
    panel->Confirm();
    ASSERT_TRUE(Pump([&] { return frontend.Requests().size() == 2; }));
    Settle();
    EXPECT_EQ(open.window->Session().DestinationPath(), chosen.string());
    EXPECT_FALSE(panel->IsShowing());
    EXPECT_NE(std::string(open.Text("destination")).find("apps"), std::string::npos);
}

TEST(InstallerWin, TheFolderPanelOpensOverTheWindowInItsLanguage) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    open.window->Lock();
    open.window->MoveTo(300, 200);
    open.window->Unlock();
    Choose(open.View<LibMenuField>("options"), 3); // German
    open.Post(BMessage(InstallerWin::kFolderButton));
    LibFilePanel* panel = open.window->FolderPanel();
    ASSERT_NE(panel, nullptr);
    BWindow* panelWindow = panel->Window();
    BRect over = open.window->Frame(), frame = panelWindow->Frame();
    EXPECT_NEAR((frame.left + frame.right) / 2, (over.left + over.right) / 2, 1);
    EXPECT_NEAR((frame.top + frame.bottom) / 2, (over.top + over.bottom) / 2, 1);

    auto label = [&](const char* name) {
        panelWindow->Lock();
        auto* button = dynamic_cast<BButton*>(panelWindow->FindView(name));
        std::string text = button != nullptr ? button->Label() : "";
        panelWindow->Unlock();
        return text;
    };
    EXPECT_STREQ(panelWindow->Title(), "Ordner auswählen");
    EXPECT_EQ(label("default button"), "Auswählen");
    EXPECT_EQ(label("cancel button"), "Abbrechen");
    EXPECT_EQ(label("parent"), "Übergeordneter Ordner");
    EXPECT_EQ(label("new folder"), "Neuer Ordner");
    fs::path shown = Sandbox::MakeFolder("panel-de");
    panel->SetPanelDirectory(shown.c_str());
    panel->MakeNewFolder();
    EXPECT_EQ(panel->SuggestedFolderName(), "Neuer Ordner");
    panelWindow->Lock();
    auto* prompt = dynamic_cast<BStringView*>(panelWindow->FindView("name prompt"));
    std::string question = prompt != nullptr ? prompt->Text() : "";
    panelWindow->Unlock();
    EXPECT_EQ(question, "Name des neuen Ordners:");
    EXPECT_EQ(label("create folder"), "Anlegen");
    EXPECT_EQ(label("cancel new folder"), "Abbrechen");
    panel->NameNewFolder("Spiele");
    EXPECT_TRUE(fs::is_directory(shown / "Spiele"));
    panel->EnterPath((shown / "nowhere").c_str());
    EXPECT_EQ(panel->Notice(), "Es gibt keinen Ordner „" + (shown / "nowhere").string() + "“.");

    // A later change of language reaches the open panel too.
    Choose(open.View<LibMenuField>("options"), 0);
    EXPECT_STREQ(panelWindow->Title(), "Choose a folder");
    EXPECT_EQ(label("new folder"), "New Folder");
}

TEST(InstallerWin, FileRowsWithoutAnIconShowTheIconOfTheirKind) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    Package package;
    package.AddGroup("Typical");
    package.AddRecord({"readme", 10, "Typical;", {}, 0});
    package.AddRecord({"tool", 10, "Typical;", {}, 1});
    package.AddRecord({"docs", 10, "Typical;", {}, 2});
    package.AddRecord({"link", 10, "Typical;", {}, 3});
    package.AddRecord({"odd", 10, "Typical;", {}, 9}); // a kind from a later builder
    OpenWindow open(package.Build());
    ASSERT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
    std::vector<uint32> pixels;
    int32 width = 0, height = 0;
    ASSERT_TRUE(GuiHost::CaptureWindow(open.window, &pixels, &width, &height));

    const file_icon_kind kinds[] = {B_TEXT_FILE_ICON, B_APPLICATION_FILE_ICON, B_FOLDER_FILE_ICON,
                                    B_SYMLINK_FILE_ICON, B_TEXT_FILE_ICON};
    BListView* list = open.Files();
    for (int32 row = 0; row < 5; row++) {
        BBitmap expected(BRect(0, 0, 15, 15), B_RGBA32);
        ASSERT_EQ(FileIcons::Draw(kinds[row], &expected, B_MINI_ICON), B_OK);
        open.window->Lock();
        BPoint at = list->ConvertToWindow(list->ItemFrame(row).LeftTop()) +
                    BPoint(FileListItem::kPlainLeft - 1 + InstallListRow::kMarkWidth,
                           FileListItem::kIconTopInset);
        open.window->Unlock();
        int32 opaque = 0, same = 0;
        const uint8* bits = (const uint8*)expected.Bits();
        for (int32 y = 0; y < 16; y++)
            for (int32 x = 0; x < 16; x++) {
                const uint8* p = bits + y * expected.BytesPerRow() + x * 4; // B, G, R, A
                if (p[3] != 255)
                    continue;
                opaque++;
                uint32 shown = pixels[(size_t)((int32)at.y + y) * width + (int32)at.x + x];
                uint32 want = ((uint32)p[2] << 16) | ((uint32)p[1] << 8) | p[0];
                same += (shown & 0xffffff) == want ? 1 : 0;
            }
        EXPECT_GT(opaque, 20) << row;
        EXPECT_EQ(same, opaque) << "row " << row;
    }
}

TEST(InstallerWin, AgreeingTellsOfAnInstallationFolderThatIsThere) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    Package package = ThreeGroups();
    fs::path destination = Sandbox::MakeFolder("dest");
    fs::create_directory(destination / "Tool");
    package.config.AddString("opt_default_folder", "Current");
    fs::path installer = package.Build();
    fs::path previous = fs::current_path();
    fs::current_path(destination);
    OpenWindow open(installer);
    fs::current_path(previous);
    EXPECT_EQ(open.window->Session().DestinationPath(), destination.string());

    open.Post(BMessage(InstallerWin::kButtonPressed));
    ASSERT_EQ(frontend.Requests().size(), 1u);
    EXPECT_EQ(frontend.Requests()[0].buttons, (std::vector<std::string>{"OK"}));
    EXPECT_EQ(frontend.Requests()[0].text,
              "The folder 'Tool' already exists in the destination folder.");
    // The user was only told; the window goes on to the installation page.
    EXPECT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
}

TEST(InstallerWin, WorkerMessagesDriveTheStatusLineAndTheState) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build());

    // A status text replaces the line in any state, and is recorded.
    BMessage status(kInstallStatusMessage);
    status.AddString("message", "Installing 1 of 2 (tool)");
    open.Post(status);
    EXPECT_STREQ(open.Text("instruction"), "Installing 1 of 2 (tool)");
    EXPECT_EQ(frontend.Statuses(), (std::vector<std::string>{"Installing 1 of 2 (tool)"}));

    // The end of some other thread is none of the window's business.
    open.Post(BMessage(InstallerWin::kButtonPressed));
    BMessage other(LIB_THREAD_COMPLETE);
    other.AddString("name", "copy");
    other.AddInt32("status", 0);
    open.Post(other);
    EXPECT_TRUE(open.application->Received(B_QUIT_REQUESTED).empty());

    // A failed run returns to the installation page; the user may try again.
    for (int32 result : {1, 3}) {
        BMessage failed(LIB_THREAD_COMPLETE);
        failed.AddString("name", "install");
        failed.AddInt32("status", result);
        open.Post(failed);
        EXPECT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
        EXPECT_STREQ(open.Button()->Label(), "Install");
        EXPECT_STREQ(open.Text("instruction"), "Select destination folder and press Install");
        EXPECT_TRUE(open.View<BControl>("folder")->IsEnabled());
    }
    EXPECT_EQ(open.window->ExitStatus(), 3);

    // A finished run quits the application.
    BMessage done(LIB_THREAD_COMPLETE);
    done.AddString("name", "install");
    done.AddInt32("status", 0);
    open.Post(done);
    ASSERT_TRUE(Pump([&] { return open.application->Received(B_QUIT_REQUESTED).size() == 1; }));
}

TEST(InstallerWin, ProgressMessagesFillTheStatusLineBehindItsText) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build());
    BMessage status(kInstallStatusMessage);
    status.AddString("message", "Installing 1 of 2 (tool)");
    open.Post(status);

    auto progress = [&](int64 done, int64 total) {
        BMessage message(kInstallProgressMessage);
        message.AddInt64("done", done);
        message.AddInt64("total", total);
        open.Post(message);
    };
    ProgressStringView* line = open.window->StatusLine();
    progress(0, 8000);
    EXPECT_FLOAT_EQ(line->Fraction(), 0);
    progress(2000, 8000);
    EXPECT_FLOAT_EQ(line->Fraction(), 0.25f);
    progress(8000, 8000);
    EXPECT_FLOAT_EQ(line->Fraction(), 1);
    // The text stays; the fill is behind it.
    EXPECT_STREQ(open.Text("instruction"), "Installing 1 of 2 (tool)");

    // A run that ends and returns to the installation page empties the fill.
    BMessage failed(LIB_THREAD_COMPLETE);
    failed.AddString("name", "install");
    failed.AddInt32("status", 1);
    open.Post(failed);
    EXPECT_FLOAT_EQ(line->Fraction(), 0);
}

TEST(InstallerWin, HoveringAGroupAsksForItsDescription) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    size_t before = open.application->Received(InstallerWin::kTipRequest).size();

    open.window->ShowGroupDescription(0);
    open.window->ShowGroupDescription(1);
    open.window->ShowGroupDescription(-1);
    open.window->ShowGroupDescription(7);
    ASSERT_TRUE(Pump([&] {
        return open.application->Received(InstallerWin::kTipRequest).size() >= before + 3;
    }));
    Settle();
    auto tips = open.application->Received(InstallerWin::kTipRequest);
    ASSERT_EQ(tips.size(), before + 3);
    const BMessage& shown = tips[before];
    EXPECT_TRUE(shown.GetBool("show", false));
    EXPECT_STREQ(shown.GetString("tip", ""), "The program and its script");
    EXPECT_EQ(shown.GetInt32("width", 0), 160);
    EXPECT_EQ(shown.GetInt16("sdelay", -1), 0);
    EXPECT_EQ(shown.GetInt16("edelay", -1), 7); // 26 bytes * 0.25, rounded up
    // Just right of the list, one pixel below the top of the row.
    BPoint loc;
    ASSERT_EQ(shown.FindPoint("loc", &loc), B_OK);
    BPoint where = open.window->ConvertFromScreen(loc);
    EXPECT_EQ(where, BPoint(249, 44));
    // An empty description asks with an empty message; leaving hides the tip.
    EXPECT_TRUE(tips[before + 1].IsEmpty());
    EXPECT_FALSE(tips[before + 2].GetBool("show", true));
}

TEST(InstallerWin, ClosingAsksTheApplicationFirst) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups().Build());
    open.Post(BMessage(B_QUIT_REQUESTED));
    ASSERT_TRUE(Pump([&] { return open.application->Received(B_QUIT_REQUESTED).size() == 1; }));
    // The window stays until the application has stopped whatever runs.
    EXPECT_FALSE(open.window->IsHidden());
    EXPECT_EQ(open.window->ExitStatus(), 6); // the licence was never accepted
    // Nothing runs: stopping tells nobody anything.
    open.window->QuitRunning();
    EXPECT_TRUE(frontend.Requests().empty());
}

TEST(InstallerWin, AnInstallationRunsToItsEndAndEndsTheWindow) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    fs::path source = Sandbox::MakeFolder("source") / "tool";
    tarnw::test::WriteFile(source, "#!/bin/sh\necho tool\n");
    Package package;
    package.AddGroup("Typical");
    package.AddRecord({"tool", 20, "Typical;", source});
    package.AddRecord({"unused", 20, "", {}});
    OpenWindow open(package.Build());
    fs::path destination = Sandbox::MakeFolder("dest");
    open.window->Session().SetDestination(destination.c_str());

    open.Post(BMessage(InstallerWin::kButtonPressed));
    EXPECT_EQ(open.window->WindowState(), InstallerWin::kInstallingState);
    EXPECT_STREQ(open.Button()->Label(), "Stop");
    EXPECT_FALSE(open.View<BControl>("folder")->IsEnabled());
    ASSERT_TRUE(
        Pump([&] { return !open.application->Received(B_QUIT_REQUESTED).empty(); }, 30000000));
    EXPECT_TRUE(fs::is_regular_file(destination / "Tool" / "tool"));
    EXPECT_FALSE(fs::exists(destination / "Tool" / "unused"));
    EXPECT_STREQ(open.Text("instruction"), "Installation Complete");
    EXPECT_EQ(open.window->ExitStatus(), 0);
    auto statuses = frontend.Statuses();
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.front(), "Checking System Resources...");
}

namespace {

// Holds the completion message open until released, as a user who has not read it yet.
class HeldCompletion : public Frontend {
public:
    HeldCompletion() { SetFrontend(this); }
    ~HeldCompletion() override { SetFrontend(nullptr); }

    FrontendAnswer Ask(const FrontendRequest& request) override {
        std::unique_lock<std::mutex> guard(fLock);
        fTexts.push_back(request.text);
        if (request.text == "Installation successfully completed.") {
            fShowing = true;
            fChanged.wait(guard, [&] { return fReleased; });
            fShowing = false;
        }
        return FrontendAnswer{};
    }
    bool Showing() {
        std::lock_guard<std::mutex> guard(fLock);
        return fShowing;
    }
    void Release() {
        std::lock_guard<std::mutex> guard(fLock);
        fReleased = true;
        fChanged.notify_all();
    }
    std::vector<std::string> Texts() {
        std::lock_guard<std::mutex> guard(fLock);
        return fTexts;
    }

private:
    std::mutex fLock;
    std::condition_variable fChanged;
    bool fShowing = false;
    bool fReleased = false;
    std::vector<std::string> fTexts;
};

struct CompletedRun {
    CompletedRun() {
        fs::path source = Sandbox::MakeFolder("source") / "tool";
        tarnw::test::WriteFile(source, "#!/bin/sh\necho tool\n");
        Package package;
        package.AddGroup("Typical");
        package.AddRecord({"tool", 20, "Typical;", source});
        open = std::make_unique<OpenWindow>(package.Build());
        destination = Sandbox::MakeFolder("dest");
        open->window->Session().SetDestination(destination.c_str());
        open->Post(BMessage(InstallerWin::kButtonPressed));
    }
    ~CompletedRun() {
        frontend.Release();
        open.reset();
    }

    HeldCompletion frontend;
    std::unique_ptr<OpenWindow> open;
    fs::path destination;
};

} // namespace

TEST(InstallerWin, OnceTheRunHasEndedItsCompletionCannotBeTurnedIntoAStop) {
    REQUIRE_DISPLAY();
    CompletedRun run;
    OpenWindow& open = *run.open;
    ASSERT_TRUE(Pump([&] { return run.frontend.Showing(); }, 30000000));
    Settle();
    EXPECT_STREQ(open.Text("instruction"), "Installation Complete");
    // The button still reads Stop, but nothing can press it any more: neither a click,
    // nor Enter, nor a change of the file selection re-enabling it.
    EXPECT_STREQ(open.Button()->Label(), "Stop");
    EXPECT_FALSE(open.Button()->IsEnabled());
    open.window->Lock();
    open.Files()->Select(0, false);
    open.window->Unlock();
    Settle();
    EXPECT_FALSE(open.Button()->IsEnabled());
    // The language menu relabels it, disabled still.
    Choose(open.View<LibMenuField>("options"), 3);
    EXPECT_FALSE(open.Button()->IsEnabled());
    Choose(open.View<LibMenuField>("options"), 0);

    run.frontend.Release();
    ASSERT_TRUE(
        Pump([&] { return !open.application->Received(B_QUIT_REQUESTED).empty(); }, 30000000));
    EXPECT_EQ(open.window->ExitStatus(), 0);
    EXPECT_TRUE(fs::is_regular_file(run.destination / "Tool" / "tool"));
}

TEST(InstallerWin, ClosingDuringTheCompletionMessageLeavesTheRunComplete) {
    REQUIRE_DISPLAY();
    CompletedRun run;
    OpenWindow& open = *run.open;
    ASSERT_TRUE(Pump([&] { return run.frontend.Showing(); }, 30000000));
    Settle();
    // The application quits: what was there to stop has already ended.
    std::thread release([&] {
        snooze(200000);
        run.frontend.Release();
    });
    open.window->QuitRunning();
    release.join();
    EXPECT_EQ(open.window->ExitStatus(), 0);
    for (const std::string& text : run.frontend.Texts())
        EXPECT_NE(text, "Installation was stopped before it could complete.");
    EXPECT_TRUE(fs::is_regular_file(run.destination / "Tool" / "tool"));
}

namespace {

// The middle of file row `row` in window coordinates: the list lies at (2,2) in its scroll
// view, at (100,31) in the install box, at (165,10) in the window.
BPoint FileRow(int32 row) {
    return BPoint(165 + 100 + 2 + 60, 10 + 31 + 2 + FileListItem::kRowHeight * row + 9);
}

// Whether the check box of file row `row` shows its cross, from the window's pixels.
bool MarkShown(OpenWindow& open, int32 row) {
    std::vector<uint32> pixels;
    int32 width = 0, height = 0;
    if (!GuiHost::CaptureWindow(open.window, &pixels, &width, &height))
        return false;
    BListView* list = open.Files();
    list->Window()->Lock();
    BRect box = InstallListRow::MarkFrame(list->ItemFrame(row));
    BPoint centre =
        list->ConvertToScreen(box.LeftTop() + BPoint(5, 5)) - open.window->Frame().LeftTop();
    list->Window()->Unlock();
    uint32 pixel = pixels[size_t(centre.y) * size_t(width) + size_t(centre.x)];
    return (pixel & 0xffffff) == 0;
}

} // namespace

TEST(InstallerWin, AClickInTheFileListAddsOrRemovesOneFile) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    ASSERT_EQ(open.window->WindowState(), InstallerWin::kReadyState);
    ASSERT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 2}));
    for (int32 i = 0; i < open.Files()->CountItems(); i++) {
        auto* row = dynamic_cast<InstallListRow*>(open.Files()->ItemAt(i));
        ASSERT_NE(row, nullptr);
        EXPECT_TRUE(row->ShowsMark()) << i;
    }
    EXPECT_TRUE(MarkShown(open, 0));
    EXPECT_FALSE(MarkShown(open, 1));

    // A plain click adds the manual to "Typical" and keeps the rest; another takes the
    // tool away. The total and the session follow.
    Click(open.window, FileRow(1));
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 1, 2}));
    EXPECT_TRUE(MarkShown(open, 1));
    EXPECT_TRUE(open.window->Session().IsSelected(1));
    std::string withManual = open.Text("install_size");
    Click(open.window, FileRow(0));
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{1, 2}));
    EXPECT_FALSE(open.window->Session().IsSelected(0));
    EXPECT_NE(open.Text("install_size"), withManual);
    EXPECT_TRUE(open.Button()->IsEnabled());

    // Ctrl-click turns one row on or off too; Shift-click chooses the rows from the last
    // one clicked, as in any list.
    Click(open.window, FileRow(3), B_PRIMARY_MOUSE_BUTTON, B_CONTROL_KEY | B_COMMAND_KEY);
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{1, 2, 3}));
    Click(open.window, FileRow(0), B_PRIMARY_MOUSE_BUTTON, B_SHIFT_KEY);
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 1, 2, 3}));

    // The arrow keys move the focus and change nothing; the space bar toggles the row.
    auto* list = dynamic_cast<FileChoiceList*>(open.Files());
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(list->FocusRow(), 0);
    PressKey(open.window, "\x1f"); // down
    Settle();
    EXPECT_EQ(list->FocusRow(), 1);
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 1, 2, 3}));
    PressKey(open.window, " ");
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 2, 3}));
    PressKey(open.window, " ");
    PressKey(open.window, "\x04"); // End
    PressKey(open.window, " ");
    Settle();
    EXPECT_EQ(list->FocusRow(), 3);
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{0, 1, 2}));

    // Taking every file away disables Install; choosing an install type sets the marks.
    for (int32 row : {0, 1, 2})
        Click(open.window, FileRow(row));
    Settle();
    EXPECT_TRUE(open.SelectedFiles().empty());
    EXPECT_FALSE(open.Button()->IsEnabled());
    open.Groups()->Select(1);
    Settle();
    EXPECT_EQ(open.SelectedFiles(), (std::vector<int32>{1}));
    EXPECT_TRUE(MarkShown(open, 1));
    EXPECT_FALSE(MarkShown(open, 0));
}

TEST(InstallerWin, TheChosenInstallTypeIsDescribedUnderTheLists) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    EXPECT_STREQ(open.Text("install_type_description"), "The program and its script");
    open.Groups()->Select(1);
    Settle();
    EXPECT_STREQ(open.Text("install_type_description"), "");
    open.Groups()->Select(2);
    Settle();
    EXPECT_STREQ(open.Text("install_type_description"), "Everything");
}

TEST(InstallerWin, TheFolderPanelOpensOnTheDestinationSoThatSelectKeepsIt) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    fs::path dir = Sandbox::MakeFolder("destinations");
    fs::create_directories(dir / "Applications");
    fs::create_directories(dir / ".hidden");
    OpenWindow open(ThreeGroups(nullptr).Build());
    InstallSession& session = open.window->Session();

    // The destination's folder is shown with the destination selected: Select keeps it.
    ASSERT_TRUE(session.SetDestination((dir / "Applications").c_str()));
    open.Post(BMessage(InstallerWin::kFolderButton));
    LibFilePanel* panel = open.window->FolderPanel();
    ASSERT_NE(panel, nullptr);
    EXPECT_TRUE(panel->IsShowing());
    EXPECT_EQ(panel->ShownFolder(), dir.string());
    panel->Confirm();
    Settle();
    EXPECT_EQ(session.DestinationPath(), (dir / "Applications").string());
    EXPECT_FALSE(panel->IsShowing());

    // Going into a folder selects nothing there: Select takes the folder shown.
    open.Post(BMessage(InstallerWin::kFolderButton));
    panel->OpenEntry("Applications");
    panel->Confirm();
    Settle();
    EXPECT_EQ(session.DestinationPath(), (dir / "Applications").string());

    // A destination the list leaves out (hidden) is shown as the folder itself.
    ASSERT_TRUE(session.SetDestination((dir / ".hidden").c_str()));
    open.Post(BMessage(InstallerWin::kFolderButton));
    EXPECT_EQ(panel->ShownFolder(), (dir / ".hidden").string());
    panel->Confirm();
    Settle();
    EXPECT_EQ(session.DestinationPath(), (dir / ".hidden").string());

    // Escape closes the panel and changes nothing.
    open.Post(BMessage(InstallerWin::kFolderButton));
    ASSERT_TRUE(panel->IsShowing());
    PressKey(panel->Window(), "\x1b");
    Settle();
    EXPECT_FALSE(panel->IsShowing());
    EXPECT_EQ(session.DestinationPath(), (dir / ".hidden").string());
}

TEST(InstallerWin, APanelWhoseWindowTheApplicationEndedFirstGoesQuietly) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    OpenWindow open(ThreeGroups(nullptr).Build());
    open.Post(BMessage(InstallerWin::kFolderButton));
    LibFilePanel* panel = open.window->FolderPanel();
    ASSERT_NE(panel, nullptr);
    // An ending application quits its newest windows first: the panel's before the
    // installer window that owns the panel.
    CloseWindow(panel->Window());
    EXPECT_EQ(panel->Window(), nullptr);
    EXPECT_FALSE(panel->IsShowing());
    panel->Show();
    panel->SetPanelDirectory(Sandbox::Home().c_str());
    EXPECT_TRUE(panel->ListedNames().empty());
    // The window then deletes the panel as it closes (~OpenWindow).
}

TEST(InstallerWin, TheStatusLinesTipSaysWhoSignedTheInstallerInTheWindowsLanguage) {
    REQUIRE_DISPLAY();
    ScriptedFrontend frontend;
    {
        OpenWindow plain(ThreeGroups().Build());
        EXPECT_EQ(plain.window->StatusLine()->Tip(),
                  "Not signed: nothing tells who made this installer.");
    }
    fs::path installer = ThreeGroups().Build("SignedToolInstaller");
    fs::path keys = Sandbox::MakeFolder("keys");
    const std::string pack = std::string(TARNW_TEST_PROGRAM_DIR) + "/tarnw-pack";
    auto made = tarnw::test::RunProgram({pack, "keygen", "-p", (keys / "tool.pub").string(), "-s",
                                         (keys / "tool.key").string(), "-c", "Tool Works"});
    ASSERT_EQ(made.status, 0) << made.output;
    auto signedIt = tarnw::test::RunProgram(
        {pack, "sign", installer.string(), "-s", (keys / "tool.key").string()});
    ASSERT_EQ(signedIt.status, 0) << signedIt.output;
    // The public key's comment is "untrusted comment: minisign public key " and the key id.
    std::string keyId = tarnw::test::ReadFile(keys / "tool.pub").substr(39, 16);

    OpenWindow open(installer);
    ASSERT_TRUE(open.loaded);
    EXPECT_EQ(open.window->StatusLine()->Tip(), "Signed by Tool Works (key " + keyId + ")");
    Choose(open.View<LibMenuField>("options"), 3);
    EXPECT_EQ(open.window->StatusLine()->Tip(), "Signiert von Tool Works (key " + keyId + ")");
}
