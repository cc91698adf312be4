#include "GalleryWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Alert.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Box.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/CheckBox.h"
#include "platform/interface/gui/FileIcons.h"
#include "platform/interface/gui/FilePanel.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/MenuField.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/Picture.h"
#include "platform/interface/gui/PictureButton.h"
#include "platform/interface/gui/PopUpMenu.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/TextView.h"

namespace {

const char kLicence[] =
    "Permission is granted to use this software on any number of machines you own. "
    "You may not sell it.\n\nThe software comes without any warranty; the authors are not "
    "liable for anything that happens when you use it.\n\nBy pressing Agree you accept these "
    "terms. Lines wrap at word boundaries and long words such as "
    "/boot/home/config/settings/Tarnwhistle are cut where they must be.";

// The credits banner: a picture-like bitmap and text running upwards.
class BannerView : public BView {
public:
    explicit BannerView(BRect frame)
        : BView(frame, "banner", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW),
          fImage(BRect(0, 0, 39, 39), B_RGB32) {
        SetViewColor(255, 255, 255);
        for (int32 y = 0; y < 40; y++)
            for (int32 x = 0; x < 40; x++)
                fImage.SetColorAt(x, y, rgb_color{(uint8)(x * 6), (uint8)(y * 6), 160, 255});
        // A transparent hole, which B_OP_OVER leaves undrawn.
        for (int32 y = 15; y < 25; y++)
            for (int32 x = 15; x < 25; x++)
                fImage.SetColorAt(x, y, B_TRANSPARENT_32_BIT);
    }
    void Draw(BRect) override {
        SetDrawingMode(B_OP_OVER);
        DrawBitmap(&fImage, BPoint(5, 5));
        SetDrawingMode(B_OP_COPY);
        BFont font;
        GetFont(&font);
        font.SetRotation(90);
        font.SetSize(18);
        SetFont(&font);
        SetHighColor(0, 0, 255);
        const char* name = "Tarnwhistle";
        float width = StringWidth(name);
        DrawString(name, BPoint(20, std::floor((Bounds().Height() - width) / 2 + width)));
        font.SetSize(14);
        SetFont(&font);
        SetHighColor(0, 0, 0);
        DrawString("V1.3.1", BPoint(45, Bounds().bottom - 10));
        font.SetRotation(0);
        font.SetSize(10);
        SetFont(&font);
    }

private:
    BBitmap fImage;
};

// Every built-in file icon at both sizes, and the alert icons.
class IconsView : public BView {
public:
    explicit IconsView(BRect frame)
        : BView(frame, "icons", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW) {
        SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        for (int kind = B_FOLDER_FILE_ICON; kind <= B_PLAIN_FILE_ICON; kind++) {
            fLarge.emplace_back(std::make_unique<BBitmap>(BRect(0, 0, 31, 31), B_CMAP8));
            fSmall.emplace_back(std::make_unique<BBitmap>(BRect(0, 0, 15, 15), B_RGBA32));
            FileIcons::Draw((file_icon_kind)kind, fLarge.back().get(), B_LARGE_ICON);
            FileIcons::Draw((file_icon_kind)kind, fSmall.back().get(), B_MINI_ICON);
        }
    }
    void Draw(BRect) override {
        SetDrawingMode(B_OP_OVER);
        for (size_t i = 0; i < fLarge.size(); i++) {
            DrawBitmap(fLarge[i].get(), BPoint(4 + i * 38, 2));
            DrawBitmap(fSmall[i].get(), BPoint(12 + i * 38, 38));
        }
        SetDrawingMode(B_OP_COPY);
        alert_type types[] = {B_INFO_ALERT, B_IDEA_ALERT, B_WARNING_ALERT, B_STOP_ALERT};
        for (int i = 0; i < 4; i++)
            BAlert::DrawIcon(this, types[i], BPoint(4 + i * 38, 58));
    }

private:
    std::vector<std::unique_ptr<BBitmap>> fLarge, fSmall;
};

class IconItem : public BListItem {
public:
    IconItem(const char* text, file_icon_kind kind)
        : fText(text), fIcon(BRect(0, 0, 15, 15), B_CMAP8) {
        FileIcons::Draw(kind, &fIcon, B_MINI_ICON);
    }
    void Update(BView* owner, const BFont* font) override {
        BListItem::Update(owner, font);
        SetHeight(18);
    }
    void DrawItem(BView* owner, BRect frame, bool) override {
        rgb_color fill = IsSelected() ? tint_color(owner->ViewColor(), B_HIGHLIGHT_BACKGROUND_TINT)
                                      : owner->ViewColor();
        owner->SetHighColor(fill);
        owner->FillRect(frame);
        owner->SetDrawingMode(B_OP_OVER);
        owner->DrawBitmap(&fIcon, BPoint(frame.left + 3, frame.top + 1));
        owner->SetDrawingMode(B_OP_COPY);
        owner->SetHighColor(128, 128, 128);
        owner->SetLowColor(fill);
        owner->DrawString("/boot/apps/", BPoint(frame.left + 24, frame.top + 13));
        owner->SetHighColor(0, 0, 0);
        owner->DrawString(
            fText, BPoint(frame.left + 24 + owner->StringWidth("/boot/apps/"), frame.top + 13));
    }

private:
    const char* fText;
    BBitmap fIcon;
};

BPicture* PictureFromBits(const uint8* bits, BWindow* window) {
    BBitmap bitmap(BRect(0, 0, 23, 23), B_CMAP8);
    bitmap.SetBits(bits, 24 * 24, 0, B_CMAP8);
    auto* picture = new BPicture();
    BView* view = window->TopView();
    view->BeginPicture(picture);
    view->DrawBitmap(&bitmap, B_ORIGIN);
    view->EndPicture();
    return picture;
}

} // namespace

const uint8* GalleryFolderArtwork(bool pressed) {
    static uint8 normal[24 * 24], down[24 * 24];
    static bool made = false;
    if (!made) {
        made = true;
        const color_map* map = system_colors();
        auto index = [](uint8 r, uint8 g, uint8 b) { return index_for_color(r, g, b); };
        (void)map;
        uint8 face = index(216, 216, 216), light = index(255, 255, 255),
              dark = index(128, 128, 128);
        uint8 black = index(0, 0, 0), yellow = index(255, 203, 0), tab = index(204, 153, 0);
        for (int pass = 0; pass < 2; pass++) {
            uint8* p = pass ? down : normal;
            int shift = pass;
            for (int y = 0; y < 24; y++) {
                for (int x = 0; x < 24; x++) {
                    uint8 c = face;
                    bool topLeft = x == 0 || y == 0, bottomRight = x == 23 || y == 23;
                    if (topLeft)
                        c = pass ? dark : light;
                    if (bottomRight)
                        c = pass ? light : dark;
                    int fx = x - shift, fy = y - shift;
                    if (fx >= 4 && fx <= 19 && fy >= 8 && fy <= 18)
                        c = (fx == 4 || fx == 19 || fy == 8 || fy == 18) ? black : yellow;
                    if (fx >= 4 && fx <= 10 && fy >= 6 && fy <= 7)
                        c = (fy == 6 || fx == 4 || fx == 10) ? black : tab;
                    p[y * 24 + x] = c;
                }
            }
        }
    }
    return pressed ? down : normal;
}

GalleryWindow::GalleryWindow(BPoint where, bool quitAppOnClose)
    : BWindow(BRect(where.x, where.y, where.x + 559, where.y + 399), "Gallery", B_TITLED_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_ASYNCHRONOUS_CONTROLS),
      fQuitAppOnClose(quitAppOnClose) {
    Lock();
    AddChild(new BannerView(BRect(10, 10, 79, 209)));

    auto* box = new BBox(BRect(90, 10, 300, 150), "controls");
    box->SetLabel("Controls");
    AddChild(box);
    auto* left = new BStringView(BRect(10, 18, 200, 32), "left", "Left aligned");
    auto* centred = new BStringView(BRect(10, 34, 200, 48), "centre", "Centred");
    centred->SetAlignment(B_ALIGN_CENTER);
    auto* right = new BStringView(BRect(10, 50, 200, 64), "right", "Right aligned");
    right->SetAlignment(B_ALIGN_RIGHT);
    box->AddChild(left);
    box->AddChild(centred);
    box->AddChild(right);
    auto* on = new BCheckBox(BRect(10, 68, 100, 84), "on", "Ticked", new BMessage(kGalleryCheck));
    on->SetValue(B_CONTROL_ON);
    auto* off =
        new BCheckBox(BRect(105, 68, 200, 84), "off", "Not ticked", new BMessage(kGalleryCheck));
    auto* disabled =
        new BCheckBox(BRect(10, 88, 200, 104), "disabled", "Disabled", new BMessage(kGalleryCheck));
    disabled->SetEnabled(false);
    box->AddChild(on);
    box->AddChild(off);
    box->AddChild(disabled);
    auto* plain =
        new BButton(BRect(10, 108, 70, 128), "button", "Button", new BMessage(kGalleryButton));
    auto* grey = new BButton(BRect(75, 108, 135, 128), "grey", "Off", new BMessage(kGalleryButton));
    grey->SetEnabled(false);
    auto* install =
        new BButton(BRect(140, 108, 200, 128), "install", "Install", new BMessage(kGalleryButton));
    box->AddChild(plain);
    box->AddChild(grey);
    box->AddChild(install);
    install->MakeDefault(true);

    auto* menu = new BPopUpMenu("language");
    const char* languages[] = {"English", "Deutsch", "Français", "Español"};
    for (const char* language : languages)
        menu->AddItem(new BMenuItem(language, new BMessage(kGalleryMenu)));
    menu->AddSeparatorItem();
    auto* other = new BMenuItem("Other", new BMessage(kGalleryMenu));
    other->SetEnabled(false);
    menu->AddItem(other);
    menu->ItemAt(0)->SetMarked(true);
    AddChild(new BMenuField(BRect(90, 160, 300, 182), "menu", "Language:", menu));

    auto* list = new BListView(BRect(312, 14, 530, 120), "list", B_MULTIPLE_SELECTION_LIST);
    list->SetSelectionMessage(new BMessage(kGalleryList));
    list->AddItem(new BStringItem("Typical"));
    list->AddItem(new BStringItem("Minimal"));
    list->AddItem(new BStringItem("Everything"));
    list->AddItem(new IconItem("Tarnwhistle", B_APPLICATION_FILE_ICON));
    list->AddItem(new IconItem("ReadMe", B_TEXT_FILE_ICON));
    list->AddItem(new IconItem("Docs", B_FOLDER_FILE_ICON));
    list->AddItem(new BStringItem("Sources"));
    list->AddItem(new BStringItem("Extras"));
    AddChild(new BScrollView("list_scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
    list->Select(1);
    list->Select(3, true);

    BRect textFrame(312, 140, 530, 250);
    auto* text = new BTextView(textFrame, "licence", textFrame.OffsetToCopy(0, 0).InsetByCopy(3, 3),
                               B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW);
    text->MakeEditable(false);
    text->MakeSelectable(false);
    AddChild(new BScrollView("text_scroll", text, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));
    text->SetText(kLicence);

    BPicture* offPicture = PictureFromBits(GalleryFolderArtwork(false), this);
    BPicture* onPicture = PictureFromBits(GalleryFolderArtwork(true), this);
    auto* folder = new BPictureButton(BRect(90, 195, 113, 218), "folder", offPicture, onPicture,
                                      new BMessage(kGalleryPicture));
    delete offPicture;
    delete onPicture;
    AddChild(folder);
    auto* destination = new BStringView(BRect(120, 199, 300, 214), "destination", "");
    destination->SetText(be_plain_font
                             ->TruncatedString("/boot/home/config/settings/Tarnwhistle/Installed",
                                               B_TRUNCATE_BEGINNING, 180)
                             .c_str());
    AddChild(destination);

    AddChild(new IconsView(BRect(10, 265, 320, 360)));
    AddChild(
        new BButton(BRect(340, 300, 430, 320), "alert", "Alert…", new BMessage(kGalleryShowAlert)));
    AddChild(new BButton(BRect(440, 300, 530, 320), "panel", "Folder…",
                         new BMessage(kGalleryShowPanel)));
    Unlock();
}

GalleryWindow::~GalleryWindow() {
    delete fPanel;
}

int32 GalleryWindow::CountCommands(uint32 what) const {
    return (int32)std::count(fCommands.begin(), fCommands.end(), what);
}

void GalleryWindow::MessageReceived(BMessage* message) {
    switch (message->what) {
    case kGalleryShowAlert: {
        auto* alert = new BAlert("Gallery",
                                 "The item \"ReadMe\" already exists in the destination. Do you "
                                 "want to replace it?",
                                 "Cancel", "Skip", "Replace", B_WIDTH_AS_USUAL, B_WARNING_ALERT);
        alert->SetShortcut(0, B_ESCAPE);
        alert->Go(new BInvoker(new BMessage(kGalleryAlertDone), this));
        break;
    }
    case kGalleryShowPanel:
        if (!fPanel) {
            BMessenger self(this);
            fPanel = new BFilePanel(B_OPEN_PANEL, &self, nullptr, B_DIRECTORY_NODE, false);
        }
        fPanel->Show();
        break;
    default:
        break;
    }
    fLastCommand = message->what;
    fCommands.push_back(message->what);
    BWindow::MessageReceived(message);
}

bool GalleryWindow::QuitRequested() {
    if (fQuitAppOnClose && be_app)
        be_app->PostMessage(B_QUIT_REQUESTED);
    return true;
}
