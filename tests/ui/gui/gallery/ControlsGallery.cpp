#include "ControlsGallery.h"

#include <string>

#include "package/InstallListItem.h"
#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/ScrollView.h"
#include "ui/gui/FolderButtonArt.h"
#include "ui/gui/InstallImage.h"
#include "ui/gui/InstallListRow.h"
#include "ui/gui/LibListView.h"
#include "ui/gui/LibMenuField.h"
#include "ui/gui/LibPictureButton.h"
#include "ui/gui/LibStringView.h"
#include "ui/gui/LibVolumeMenu.h"

namespace {

const char* const kGroups[] = {"Typical", "Documents", "Everything"};
const char* const kDescriptions[] = {"The program and its help files.",
                                     "Only the manuals, in every language the package carries.",
                                     "The program, its manuals, the examples and the sources."};

} // namespace

ControlsGallery::ControlsGallery(BPoint where)
    : LibWindow(BRect(where, where + BPoint(619, 257)), "Controls", B_TITLED_WINDOW_LOOK,
                B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE) {
    BView* background = new BView(Bounds(), "bgview", B_FOLLOW_ALL, B_WILL_DRAW);
    background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    AddChild(background);

    fImage = new InstallImage(BPoint(10, 16), true);
    background->AddChild(fImage);
    fImage->SetAppName("Tarnwhistle Demo");
    fImage->SetVersion("Version 1.3.1");
    fImage->SetDate("7 December 2026");
    fImage->SetCompany("Kestrelwood");
    fImage->SetEmail("support@example.org");

    fVolumes = new LibVolumeMenu(BPoint(175, 10), "volume", 2004, 70);
    background->AddChild(fVolumes);
    fVolumes->Update();

    fLanguages = new LibMenuField(BRect(385, 12, 485, 32), "options", 10, true);
    background->AddChild(fLanguages);
    for (const char* language : {"English", "French", "Spanish", "German", "Italian", "Norwegian",
                                 "Swedish", "Danish", "Dutch", "Portuguese"})
        fLanguages->Add(language, new BMessage(2007));

    fGroups = new LibListView(BRect(177, 45, 267, 140), "install_type");
    fGroups->SetHoverCommand(kHover);
    background->AddChild(new BScrollView("install_type_scroll", fGroups,
                                         B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
    for (const char* group : kGroups)
        fGroups->AddItem(new BStringItem(group));
    fGroups->Select(0);

    fFiles = new BListView(BRect(300, 45, 600, 140), "custom_list", B_MULTIPLE_SELECTION_LIST);
    background->AddChild(new BScrollView("custom_scroll_view", fFiles, B_FOLLOW_LEFT | B_FOLLOW_TOP,
                                         0, false, true));
    const char* files[] = {"/boot/apps/Tarnwhistle Demo", "/boot/home/Documents/Manual.html",
                           "/boot/home/config/settings/demo_settings"};
    for (int i = 0; i < 3; i++) {
        auto* row = new InstallListRow(false);
        row->Item().SetPath(files[i]);
        row->Item().SetShowFullPath(i == 2);
        fFiles->AddItem(row);
    }
    fFiles->Select(0, 1);

    fFolder = new LibPictureButton(BPoint(177, 175), 24, 24, "folder", FolderButtonArt::Normal(),
                                   FolderButtonArt::Pressed(), 2003, FolderButtonArt::Disabled());
    fFolder->AddTip('stip', "Change destination folder");
    background->AddChild(fFolder);
    auto* disabled =
        new LibPictureButton(BPoint(207, 175), 24, 24, "disabled_folder", FolderButtonArt::Normal(),
                             FolderButtonArt::Pressed(), 0, FolderButtonArt::Disabled());
    disabled->SetEnabled(false);
    background->AddChild(disabled);
    auto* pressed = new LibPictureButton(BPoint(237, 175), 24, 24, "pressed_folder",
                                         FolderButtonArt::Pressed(), FolderButtonArt::Pressed(), 0);
    background->AddChild(pressed);

    fDestination = new LibStringView(BRect(270, 180, 510, 195), "destination", "");
    background->AddChild(fDestination);
    fDestination->SetTruncatedText("/boot/home/a/rather/deep/folder/for/the/installation/of/the/"
                                   "Tarnwhistle Demo",
                                   B_TRUNCATE_BEGINNING);
}

ControlsGallery::~ControlsGallery() {
    while (BListItem* item = fGroups->RemoveItem((int32)0))
        delete item;
    while (BListItem* item = fFiles->RemoveItem((int32)0))
        delete item;
}

void ControlsGallery::MessageReceived(BMessage* message) {
    if (message->what == kHover && be_app != nullptr) {
        // The group's description as a tip next to the hovered row, as the installer does.
        int32 row = message->GetInt32("item", -1);
        BMessage tip('stip');
        if (row >= 0 && row < 3) {
            std::string text = kDescriptions[row];
            BRect frame = fGroups->ItemFrame(row);
            tip.AddBool("show", true);
            tip.AddInt16("sdelay", 0);
            tip.AddInt16("edelay", (int16)((text.size() + 3) / 4));
            tip.AddPoint("loc", fGroups->ConvertToScreen(
                                    BPoint(fGroups->Bounds().right + 20, frame.top + 1)));
            tip.AddInt32("width", 160);
            tip.AddString("tip", text.c_str());
        } else {
            tip.AddBool("show", false);
        }
        be_app->PostMessage(&tip);
        return;
    }
    LibWindow::MessageReceived(message);
}

bool ControlsGallery::QuitRequested() {
    if (be_app != nullptr)
        be_app->PostMessage(B_QUIT_REQUESTED);
    return true;
}
