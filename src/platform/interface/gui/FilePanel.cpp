#include "platform/interface/gui/FilePanel.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <strings.h>

#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/FileIcons.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/MenuBar.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/Window.h"
#include "platform/interface/gui/WindowState.h"
#include "platform/storage/MimeType.h"
#include "platform/storage/Node.h"
#include "platform/storage/NodeInfo.h"

namespace {

const uint32 kOpenPressed = 'FPop';
const uint32 kCancelPressed = 'FPcn';
const uint32 kParentPressed = 'FPpa';
const uint32 kRowInvoked = 'FPiv';
const uint32 kPathEntered = 'FPpe';
const uint32 kNewFolderPressed = 'FPnf';
const uint32 kCreatePressed = 'FPcr';
const uint32 kCreateCancelled = 'FPcc';

std::string ParentOf(const std::string& path) {
    if (path.empty() || path == "/")
        return "/";
    size_t slash = path.find_last_of('/');
    if (slash == std::string::npos || slash == 0)
        return "/";
    return path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
    return folder == "/" ? "/" + name : folder + "/" + name;
}

bool IsFolder(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
    struct stat st;
    return lstat(path.c_str(), &st) == 0;
}

// The text with each "%s" replaced by the next value, in order (texts come from the
// application's catalogue, so they are never used as a printf format).
std::string Filled(const std::string& text, const std::vector<std::string>& values) {
    std::string out;
    size_t next = 0;
    for (size_t i = 0; i < text.size(); i++) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] == 's' && next < values.size()) {
            out += values[next++];
            i++;
        } else {
            out += text[i];
        }
    }
    return out;
}

// A typed path as the folder it names: "~" is the home folder, a relative path starts at
// `shown`; "." and ".." are resolved by name, and trailing slashes go.
std::string ResolveTyped(const std::string& typed, const std::string& shown) {
    std::string path = typed;
    const char* home = getenv("HOME");
    if (home && *home && (path == "~" || path.rfind("~/", 0) == 0))
        path = std::string(home) + path.substr(1);
    if (path.empty() || path[0] != '/')
        path = Join(shown, path);
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos)
            end = path.size();
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty())
                parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string resolved;
    for (const std::string& part : parts)
        resolved += "/" + part;
    return resolved.empty() ? "/" : resolved;
}

// The one-line field at the top of the panel, in which a path is shown and may be typed.
class PathField : public BView {
public:
    explicit PathField(BRect frame)
        : BView(frame, "path", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE) {
        SetViewColor(255, 255, 255);
    }

    void SetText(const std::string& text) {
        fText = text;
        fCaret = fText.size();
        fAllSelected = false;
        Invalidate();
    }
    // The whole text selected: the next key typed replaces it.
    void SelectAll() {
        fAllSelected = !fText.empty();
        fCaret = fText.size();
        Invalidate();
    }
    const std::string& Text() const { return fText; }

    void Draw(BRect) override {
        BRect b = Bounds();
        font_height fh;
        GetFontHeight(&fh);
        float base = std::floor((b.Height() + 1 - (fh.ascent + fh.descent)) / 2 + fh.ascent);
        // A path longer than the field moves left, so that the caret stays in view.
        float caretX = StringWidth(fText.c_str(), (int32)fCaret);
        float room = b.Width() - 8;
        float shift = caretX > room ? caretX - room : 0;
        rgb_color paper = {255, 255, 255, 255};
        if (fAllSelected) {
            paper = tint_color(paper, B_HIGHLIGHT_BACKGROUND_TINT);
            SetHighColor(paper);
            FillRect(BRect(4 - shift, 3, 4 - shift + caretX, b.bottom - 3));
        }
        SetHighColor(0, 0, 0);
        SetLowColor(paper);
        MovePenTo(BPoint(4 - shift, base));
        DrawString(fText.c_str());
        SetLowColor(255, 255, 255);
        if (IsFocus())
            StrokeLine(BPoint(4 - shift + caretX, 3), BPoint(4 - shift + caretX, b.bottom - 3));
        SetHighColor(IsFocus() ? rgb_color{0, 0, 229, 255} : rgb_color{152, 152, 152, 255});
        StrokeRect(b);
    }

    void MouseDown(BPoint) override {
        MakeFocus(true);
        fCaret = fText.size();
        Invalidate();
    }

    void MakeFocus(bool focus) override {
        BView::MakeFocus(focus);
        Invalidate();
    }

    void KeyDown(const char* bytes, int32 numBytes) override {
        unsigned char key = (unsigned char)bytes[0];
        if (fAllSelected) {
            fAllSelected = false;
            // Typing or deleting replaces the selected text; moving the caret keeps it.
            if (numBytes > 1 || key >= 0x20 || key == B_BACKSPACE) {
                fText.clear();
                fCaret = 0;
                if (key == B_BACKSPACE || key == B_DELETE) {
                    Invalidate();
                    return;
                }
            }
        }
        if (numBytes == 1 && key < 0x20) {
            switch (key) {
            case B_BACKSPACE:
                if (fCaret > 0) {
                    size_t from = PreviousCharacter(fCaret);
                    fText.erase(from, fCaret - from);
                    fCaret = from;
                }
                break;
            case B_LEFT_ARROW:
                fCaret = PreviousCharacter(fCaret);
                break;
            case B_RIGHT_ARROW:
                fCaret = NextCharacter(fCaret);
                break;
            case B_HOME:
                fCaret = 0;
                break;
            case B_END:
                fCaret = fText.size();
                break;
            default:
                BView::KeyDown(bytes, numBytes);
                return;
            }
            Invalidate();
            return;
        }
        if (numBytes == 1 && key == B_DELETE) {
            size_t to = NextCharacter(fCaret);
            fText.erase(fCaret, to - fCaret);
            Invalidate();
            return;
        }
        fText.insert(fCaret, bytes, (size_t)numBytes);
        fCaret += (size_t)numBytes;
        Invalidate();
    }

private:
    // Caret moves step over whole UTF-8 characters.
    size_t PreviousCharacter(size_t at) const {
        if (at == 0)
            return 0;
        at--;
        while (at > 0 && ((unsigned char)fText[at] & 0xC0) == 0x80)
            at--;
        return at;
    }
    size_t NextCharacter(size_t at) const {
        if (at >= fText.size())
            return fText.size();
        at++;
        while (at < fText.size() && ((unsigned char)fText[at] & 0xC0) == 0x80)
            at++;
        return at;
    }

    std::string fText;
    size_t fCaret = 0;
    bool fAllSelected = false;
};

class EntryItem : public BListItem {
public:
    EntryItem(const std::string& name, const std::string& path, bool folder, bool enabled)
        : fName(name), fPath(path), fFolder(folder), fIcon(BRect(0, 0, 15, 15), B_RGBA32) {
        SetEnabled(enabled);
        file_icon_kind kind = B_PLAIN_FILE_ICON;
        if (FileIcons::KindForPath(path.c_str(), &kind) != B_OK)
            kind = B_PLAIN_FILE_ICON;
        FileIcons::Draw(kind, &fIcon, B_MINI_ICON);
    }
    void Update(BView* owner, const BFont* font) override {
        BListItem::Update(owner, font);
        SetHeight(std::max(Height() + 2, 18.0f));
    }
    void DrawItem(BView* owner, BRect frame, bool) override {
        rgb_color background = owner->ViewColor();
        rgb_color fill =
            IsSelected() ? tint_color(background, B_HIGHLIGHT_BACKGROUND_TINT) : background;
        owner->SetHighColor(fill);
        owner->FillRect(frame);
        owner->SetDrawingMode(B_OP_OVER);
        owner->DrawBitmap(&fIcon, BPoint(frame.left + 4, frame.top + 1));
        owner->SetDrawingMode(B_OP_COPY);
        font_height fh;
        owner->GetFontHeight(&fh);
        owner->SetHighColor(IsEnabled() ? rgb_color{0, 0, 0, 255}
                                        : tint_color(background, B_DISABLED_LABEL_TINT));
        owner->SetLowColor(fill);
        float base =
            std::floor(frame.top + (frame.Height() + 1 - (fh.ascent + fh.descent)) / 2 + fh.ascent);
        owner->DrawString(fName.c_str(), BPoint(frame.left + 26, base));
    }
    const std::string& Name() const { return fName; }
    const std::string& Path() const { return fPath; }
    bool IsFolder() const { return fFolder; }

private:
    std::string fName, fPath;
    bool fFolder;
    BBitmap fIcon;
};

} // namespace

status_t AddRefToMessage(BMessage* message, const char* name, const entry_ref& ref) {
    if (!message || !name)
        return B_BAD_VALUE;
    const char* path = ref.path();
    return message->AddData(name, B_REF_TYPE, path, (ssize_t)std::strlen(path) + 1, false);
}

status_t FindRefInMessage(const BMessage* message, const char* name, int32 index, entry_ref* ref) {
    if (!message || !name || !ref)
        return B_BAD_VALUE;
    const void* data = nullptr;
    ssize_t size = 0;
    status_t status = message->FindData(name, B_REF_TYPE, index, &data, &size);
    if (status != B_OK)
        return status;
    const char* path = (const char*)data;
    if (size <= 0 || path[size - 1] != '\0' || path[0] != '/')
        return B_BAD_DATA;
    return get_ref_for_path(path, ref);
}

class FilePanelWindow : public BWindow {
public:
    FilePanelWindow(BFilePanel* panel, const char* title)
        : BWindow(BRect(120, 120, 619, 469), title, B_TITLED_WINDOW, B_ASYNCHRONOUS_CONTROLS),
          fPanel(panel) {
        // The panel serves the window that opened it: the window manager keeps it with
        // that window, as a dialog.
        State()->dialog = true;
        SetSizeLimits(300, 4000, 200, 4000);
        BRect b = Bounds();
        // Everything sits on one background view, with an empty menu bar for callers that
        // look for one to add menus to.
        auto* background = new BView(b, "background", B_FOLLOW_ALL_SIDES, B_WILL_DRAW);
        background->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
        AddChild(background);
        auto* bar = new BMenuBar(BRect(0, 0, 10, 10), "MenuBar");
        background->AddChild(bar);
        bar->Hide();
        fParentButton = new BButton(BRect(b.right - 85, 8, b.right - 10, 28), "parent", "Parent",
                                    new BMessage(kParentPressed), B_FOLLOW_RIGHT | B_FOLLOW_TOP);
        background->AddChild(fParentButton);
        fPathView = new PathField(BRect(12, 8, b.right - 95, 28));
        background->AddChild(fPathView);
        fList = new BListView(
            BRect(12, 38, b.right - 12 - B_V_SCROLL_BAR_WIDTH, b.bottom - 68), "PoseView",
            panel->fMultiple ? B_MULTIPLE_SELECTION_LIST : B_SINGLE_SELECTION_LIST);
        fList->SetInvocationMessage(new BMessage(kRowInvoked));
        background->AddChild(new BScrollView("scroll", fList, B_FOLLOW_ALL_SIDES, 0, false, true));
        fCancel = new BButton(BRect(b.right - 180, b.bottom - 35, b.right - 100, b.bottom - 12),
                              "cancel button", "Cancel", new BMessage(kCancelPressed),
                              B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
        fOpen = new BButton(BRect(b.right - 90, b.bottom - 35, b.right - 10, b.bottom - 12),
                            "default button", panel->fMode == B_SAVE_PANEL ? "Save" : "Open",
                            new BMessage(kOpenPressed), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
        background->AddChild(fCancel);
        background->AddChild(fOpen);
        fNewFolder = new BButton(BRect(12, b.bottom - 35, 122, b.bottom - 12), "new folder",
                                 fTexts.newFolder.c_str(), new BMessage(kNewFolderPressed),
                                 B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
        background->AddChild(fNewFolder);
        // A line under the list for what went wrong with a typed path or a new folder.
        fNotice = new BStringView(BRect(12, b.bottom - 62, b.right - 12, b.bottom - 44), "notice",
                                  "", B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
        background->AddChild(fNotice);

        // New Folder asks for the name in the row of the buttons, which it takes over
        // until the folder is made or the question cancelled.
        fNamePrompt =
            new BStringView(BRect(12, b.bottom - 33, 12, b.bottom - 14), "name prompt",
                            fTexts.newFolderPrompt.c_str(), B_FOLLOW_LEFT | B_FOLLOW_BOTTOM);
        background->AddChild(fNamePrompt);
        fNameField = new PathField(BRect(12, b.bottom - 34, b.right - 190, b.bottom - 13));
        fNameField->SetResizingMode(B_FOLLOW_LEFT_RIGHT | B_FOLLOW_BOTTOM);
        background->AddChild(fNameField);
        fCreateCancel = new BButton(
            BRect(b.right - 180, b.bottom - 35, b.right - 100, b.bottom - 12), "cancel new folder",
            "Cancel", new BMessage(kCreateCancelled), B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
        fCreate = new BButton(BRect(b.right - 90, b.bottom - 35, b.right - 10, b.bottom - 12),
                              "create folder", fTexts.create.c_str(), new BMessage(kCreatePressed),
                              B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
        background->AddChild(fCreateCancel);
        background->AddChild(fCreate);
        ShowNamePrompt(false);
        fOpen->MakeDefault(true);
        fList->MakeFocus(true);
        FitButtons();
    }

    // Each button is at least as wide as laid out and wide enough for its label in the
    // panel's language; the path field gives up what the parent button needs, and the
    // two buttons at the bottom right keep their right ends.
    void FitButtons() {
        BRect b = Bounds();
        auto width = [](BButton* button, float laidOut) {
            return std::max(laidOut, std::ceil(button->StringWidth(button->Label())) + 24);
        };
        float parent = width(fParentButton, 75);
        fParentButton->MoveTo(b.right - 10 - parent, 8);
        fParentButton->ResizeTo(parent, 20);
        fPathView->ResizeTo(fParentButton->Frame().left - 10 - 12, 20);
        float open = width(fOpen, 80), cancel = width(fCancel, 80);
        fOpen->MoveTo(b.right - 10 - open, b.bottom - 35);
        fOpen->ResizeTo(open, 23);
        fCancel->MoveTo(fOpen->Frame().left - 10 - cancel, b.bottom - 35);
        fCancel->ResizeTo(cancel, 23);
        fNewFolder->ResizeTo(width(fNewFolder, 110), 23);
    }

    void DispatchMessage(BMessage* message, BHandler* handler) override {
        const char* bytes = nullptr;
        if (message->what == B_KEY_DOWN && message->FindString("bytes", &bytes) == B_OK &&
            bytes != nullptr) {
            // Escape cancels the name question, or else the panel.
            if (bytes[0] == B_ESCAPE && bytes[1] == '\0') {
                if (AsksForName())
                    ShowNamePrompt(false);
                else if (fPanel != nullptr)
                    fPanel->Cancel();
                return;
            }
            // Enter in the path field goes to that path, and in the name field makes the
            // folder, not the default button.
            if (bytes[0] == B_ENTER && CurrentFocus() == fPathView) {
                EnterTypedPath();
                return;
            }
            if (bytes[0] == B_ENTER && CurrentFocus() == fNameField) {
                MakeNamedFolder();
                return;
            }
        }
        BWindow::DispatchMessage(message, handler);
    }

    void ApplyTexts(const file_panel_texts& texts) {
        fTexts = texts;
        SetTitle(texts.title.c_str());
        fParentButton->SetLabel(texts.parent.c_str());
        fNewFolder->SetLabel(texts.newFolder.c_str());
        FitButtons();
        fNamePrompt->SetText(texts.newFolderPrompt.c_str());
        fCreate->SetLabel(texts.create.c_str());
        fCreateCancel->SetLabel(fCancel->Label());
        if (AsksForName())
            ShowNamePrompt(true);
    }

    bool AsksForName() const { return !fNameField->IsHiddenSelf(); }

    // Shows the name question in place of the buttons, with a name suggested (and selected,
    // so that typing replaces it), or puts the buttons back.
    void ShowNamePrompt(bool show) {
        const std::vector<BView*> asking = {fNamePrompt, fNameField, fCreate, fCreateCancel};
        const std::vector<BView*> buttons = {fNewFolder, fCancel, fOpen};
        for (BView* view : show ? buttons : asking)
            if (!view->IsHiddenSelf())
                view->Hide();
        for (BView* view : show ? asking : buttons)
            if (view->IsHiddenSelf())
                view->Show();
        if (!show) {
            fCreate->MakeDefault(false);
            fOpen->MakeDefault(true);
            fList->MakeFocus(true);
            return;
        }
        // The question's label takes the room it needs; the field the rest of the row.
        float labelWidth = std::ceil(fNamePrompt->StringWidth(fNamePrompt->Text()));
        BRect field = fNameField->Frame();
        fNamePrompt->ResizeTo(labelWidth, fNamePrompt->Bounds().Height());
        fNameField->MoveTo(fNamePrompt->Frame().right + 8, field.top);
        fNameField->ResizeTo(fCreateCancel->Frame().left - 10 - (fNamePrompt->Frame().right + 8),
                             field.Height());
        std::string suggested = fTexts.newFolderName;
        for (int32 n = 2; Exists(Join(fFolder, suggested)) && n < 1000; n++)
            suggested = fTexts.newFolderName + " " + std::to_string(n);
        fNameField->SetText(suggested);
        fNameField->SelectAll();
        fOpen->MakeDefault(false);
        fCreate->MakeDefault(true);
        fNameField->MakeFocus(true);
    }

    void SetName(const std::string& name) { fNameField->SetText(name); }

    void SetNotice(const std::string& text) { fNotice->SetText(text.c_str()); }

    void EnterTypedPath() {
        std::string path = ResolveTyped(fPathView->Text(), fFolder);
        if (IsFolder(path))
            SetFolder(path);
        else
            SetNotice(Filled(fTexts.noSuchFolder, {path}));
    }

    // Makes the folder named in the name field inside the folder shown, and shows it. A
    // name is one name: no slash, not "." or "..".
    void MakeNamedFolder() {
        std::string name = fNameField->Text();
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        while (!name.empty() && name.front() == ' ')
            name.erase(0, 1);
        if (name.empty())
            return;
        std::string target = Join(fFolder, name);
        int error = 0;
        if (name == "." || name == ".." || name.find('/') != std::string::npos)
            error = EINVAL;
        // Made as any folder the user makes: 0777 less the umask.
        else if (mkdir(target.c_str(), 0777) != 0)
            error = errno;
        if (error != 0) {
            SetNotice(Filled(fTexts.cannotCreate, {target, std::strerror(error)}));
            return;
        }
        ShowNamePrompt(false);
        SetFolder(target);
    }

    ~FilePanelWindow() override {
        // The list does not own its rows.
        Lock();
        while (BListItem* item = fList->RemoveItem((int32)0))
            delete item;
        Unlock();
        // The application may end its windows before the panel's owner deletes the panel:
        // from now on the panel does without a window.
        if (fPanel != nullptr)
            fPanel->fWindow = nullptr;
    }

    bool QuitRequested() override {
        // The close box cancels; the panel keeps its window until it is deleted.
        if (fPanel == nullptr)
            return true;
        fPanel->Cancel();
        return false;
    }

    void MessageReceived(BMessage* message) override {
        if (fPanel == nullptr) {
            BWindow::MessageReceived(message);
            return;
        }
        switch (message->what) {
        case kOpenPressed:
            fPanel->Confirm();
            break;
        case kCancelPressed:
            fPanel->Cancel();
            break;
        case kParentPressed:
            SetFolder(ParentOf(fFolder));
            break;
        case kNewFolderPressed:
            ShowNamePrompt(true);
            break;
        case kCreatePressed:
            MakeNamedFolder();
            break;
        case kCreateCancelled:
            ShowNamePrompt(false);
            break;
        case kRowInvoked: {
            auto* item = dynamic_cast<EntryItem*>(fList->ItemAt(fList->CurrentSelection()));
            if (item)
                fPanel->OpenEntry(item->Name().c_str());
            break;
        }
        default:
            BWindow::MessageReceived(message);
        }
    }

    void SetFolder(const std::string& folder) {
        fFolder = folder.empty() ? "/" : folder;
        fPathView->SetText(fFolder);
        fNotice->SetText("");
        Fill();
    }

    void Fill() {
        while (BListItem* item = fList->RemoveItem((int32)0))
            delete item;
        struct Row {
            std::string name;
            bool folder;
            bool enabled;
        };
        std::vector<Row> rows;
        if (fPanel == nullptr)
            return;
        if (DIR* dir = opendir(fFolder.c_str())) {
            while (dirent* entry = readdir(dir)) {
                std::string name = entry->d_name;
                if (name.empty() || name[0] == '.')
                    continue;
                std::string path = Join(fFolder, name);
                struct stat own;
                if (lstat(path.c_str(), &own) != 0)
                    continue;
                bool folder = IsFolder(path);
                if (!Accepts(path, &own))
                    continue;
                uint32 flavors = fPanel->fFlavors ? fPanel->fFlavors : (uint32)B_FILE_NODE;
                bool enabled = folder || (flavors & B_FILE_NODE) ||
                               (S_ISLNK(own.st_mode) && (flavors & B_SYMLINK_NODE));
                rows.push_back(Row{name, folder, enabled});
            }
            closedir(dir);
        }
        std::sort(rows.begin(), rows.end(), [](const Row& a, const Row& b) {
            if (a.folder != b.folder)
                return a.folder;
            return strcasecmp(a.name.c_str(), b.name.c_str()) < 0;
        });
        for (const Row& row : rows)
            fList->AddItem(
                new EntryItem(row.name, Join(fFolder, row.name), row.folder, row.enabled));
        fParentButton->SetEnabled(fFolder != "/");
    }

    bool Accepts(const std::string& path, struct stat* own) {
        if (fPanel == nullptr || !fPanel->fFilter)
            return true;
        entry_ref ref;
        if (get_ref_for_path(path.c_str(), &ref) != B_OK)
            return false;
        BNode node(path.c_str());
        char type[B_MIME_TYPE_LENGTH] = "";
        BNodeInfo info(&node);
        if (info.GetType(type) != B_OK) {
            if (S_ISLNK(own->st_mode))
                std::strcpy(type, B_SYMLINK_MIME_TYPE);
            else if (S_ISDIR(own->st_mode))
                std::strcpy(type, B_DIRECTORY_MIME_TYPE);
            else {
                BMimeType guessed;
                if (BMimeType::GuessMimeType(path.c_str(), &guessed) == B_OK && guessed.Type())
                    std::strncpy(type, guessed.Type(), sizeof type - 1);
            }
        }
        return fPanel->fFilter->Filter(&ref, &node, own, type);
    }

    BFilePanel* fPanel;
    file_panel_texts fTexts;
    std::string fFolder = "/";
    PathField* fPathView;
    BListView* fList;
    BButton* fParentButton;
    BButton* fOpen;
    BButton* fCancel;
    BButton* fNewFolder;
    BStringView* fNotice;
    BStringView* fNamePrompt;
    PathField* fNameField;
    BButton* fCreate;
    BButton* fCreateCancel;
};

BFilePanel::BFilePanel(file_panel_mode mode, BMessenger* target, const entry_ref* directory,
                       uint32 nodeFlavors, bool allowMultipleSelection, BMessage* message,
                       BRefFilter* filter, bool, bool hideWhenDone)
    : fMode(mode), fTarget(target ? *target : BMessenger()), fMessage(message), fFilter(filter),
      fFlavors(nodeFlavors), fMultiple(allowMultipleSelection), fHideWhenDone(hideWhenDone) {
    const char* title = mode == B_SAVE_PANEL               ? "Save"
                        : (nodeFlavors & B_DIRECTORY_NODE) ? "Choose a folder"
                                                           : "Open";
    fWindow = new FilePanelWindow(this, title);
    // The window lives hidden until Show(); its loop runs from the start.
    fWindow->Hide();
    fWindow->Show();
    std::string start;
    if (directory && directory->path()[0])
        start = directory->path();
    else if (const char* home = getenv("HOME"))
        start = home;
    else
        start = "/";
    fWindow->Lock();
    fWindow->SetFolder(start);
    fWindow->Unlock();
}

BFilePanel::~BFilePanel() {
    if (!LockWindow())
        return;
    // The window must not tell a panel that is gone that it goes too.
    fWindow->fPanel = nullptr;
    fWindow->Quit();
}

bool BFilePanel::LockWindow() const {
    return fWindow != nullptr && fWindow->Lock();
}

void BFilePanel::Show() {
    if (!LockWindow())
        return;
    if (fWindow->IsHidden())
        fWindow->Show();
    fWindow->Activate();
    fWindow->Unlock();
}

void BFilePanel::Hide() {
    if (!LockWindow())
        return;
    if (!fWindow->IsHidden())
        fWindow->Hide();
    fWindow->Unlock();
}

bool BFilePanel::IsShowing() const {
    return fWindow != nullptr && !fWindow->IsHidden();
}

BWindow* BFilePanel::Window() const {
    return fWindow;
}

void BFilePanel::SetTarget(BMessenger target) {
    fTarget = target;
}

void BFilePanel::SetMessage(BMessage* message) {
    fMessage.reset(message);
}

void BFilePanel::SetRefFilter(BRefFilter* filter) {
    fFilter = filter;
    Refresh();
}

void BFilePanel::SetButtonLabel(file_panel_button button, const char* label) {
    if (!LockWindow())
        return;
    (button == B_CANCEL_BUTTON ? fWindow->fCancel : fWindow->fOpen)->SetLabel(label);
    // The name question cancels with the panel's own word.
    if (button == B_CANCEL_BUTTON)
        fWindow->fCreateCancel->SetLabel(label);
    fWindow->FitButtons();
    fWindow->Unlock();
}

void BFilePanel::SetTexts(const file_panel_texts& texts) {
    if (!LockWindow())
        return;
    fWindow->ApplyTexts(texts);
    fWindow->Unlock();
}

void BFilePanel::EnterPath(const char* path) {
    if (!LockWindow())
        return;
    fWindow->fPathView->SetText(path ? path : "");
    fWindow->EnterTypedPath();
    fWindow->Unlock();
}

void BFilePanel::MakeNewFolder() {
    if (!LockWindow())
        return;
    fWindow->ShowNamePrompt(true);
    fWindow->Unlock();
}

bool BFilePanel::AsksForFolderName() const {
    if (!LockWindow())
        return false;
    bool asks = fWindow->AsksForName();
    fWindow->Unlock();
    return asks;
}

std::string BFilePanel::SuggestedFolderName() const {
    if (!LockWindow())
        return std::string();
    std::string name = fWindow->AsksForName() ? fWindow->fNameField->Text() : std::string();
    fWindow->Unlock();
    return name;
}

void BFilePanel::NameNewFolder(const char* name) {
    if (!LockWindow())
        return;
    if (fWindow->AsksForName()) {
        fWindow->SetName(name != nullptr ? name : "");
        fWindow->MakeNamedFolder();
    }
    fWindow->Unlock();
}

void BFilePanel::CancelNewFolder() {
    if (!LockWindow())
        return;
    fWindow->ShowNamePrompt(false);
    fWindow->Unlock();
}

std::string BFilePanel::ShownFolder() const {
    if (!LockWindow())
        return std::string();
    std::string folder = fWindow->fFolder;
    fWindow->Unlock();
    return folder;
}

std::string BFilePanel::TypedPath() const {
    if (!LockWindow())
        return std::string();
    std::string text = fWindow->fPathView->Text();
    fWindow->Unlock();
    return text;
}

std::string BFilePanel::Notice() const {
    if (!LockWindow())
        return std::string();
    std::string text = fWindow->fNotice->Text();
    fWindow->Unlock();
    return text;
}

void BFilePanel::SetPanelDirectory(const entry_ref* ref) {
    if (ref && ref->path()[0])
        SetPanelDirectory(ref->path());
}

void BFilePanel::SetPanelDirectory(const BEntry* entry) {
    if (entry && entry->Path()[0])
        SetPanelDirectory(entry->Path());
}

void BFilePanel::SetPanelDirectory(const char* path) {
    if (!path || !*path)
        return;
    std::string folder = path;
    // A file stands for the folder it is in.
    if (!IsFolder(folder))
        folder = ParentOf(folder);
    if (!IsFolder(folder) || !LockWindow())
        return;
    fWindow->SetFolder(folder);
    fWindow->Unlock();
}

void BFilePanel::GetPanelDirectory(entry_ref* ref) const {
    if (ref == nullptr || !LockWindow())
        return;
    std::string folder = fWindow->fFolder;
    fWindow->Unlock();
    get_ref_for_path(folder.c_str(), ref);
}

void BFilePanel::Refresh() {
    if (!LockWindow())
        return;
    fWindow->Fill();
    fWindow->Unlock();
}

status_t BFilePanel::GetNextSelectedRef(entry_ref* ref) {
    if (!ref || fNextSelected >= fSelected.size())
        return B_ENTRY_NOT_FOUND;
    *ref = fSelected[fNextSelected++];
    return B_OK;
}

std::vector<std::string> BFilePanel::ListedNames() const {
    std::vector<std::string> names;
    if (!LockWindow())
        return names;
    for (int32 i = 0; i < fWindow->fList->CountItems(); i++)
        if (auto* item = dynamic_cast<EntryItem*>(fWindow->fList->ItemAt(i)))
            names.push_back(item->Name());
    fWindow->Unlock();
    return names;
}

bool BFilePanel::SelectEntry(const char* name) {
    if (!LockWindow())
        return false;
    bool found = false;
    for (int32 i = 0; i < fWindow->fList->CountItems() && !found; i++) {
        auto* item = dynamic_cast<EntryItem*>(fWindow->fList->ItemAt(i));
        if (item && name && item->Name() == name && item->IsEnabled()) {
            fWindow->fList->Select(i);
            fWindow->fList->ScrollToSelection();
            found = true;
        }
    }
    fWindow->Unlock();
    return found;
}

void BFilePanel::OpenEntry(const char* name) {
    if (!name || !LockWindow())
        return;
    std::string path = Join(fWindow->fFolder, name);
    fWindow->Unlock();
    if (IsFolder(path) && !(fFlavors & B_DIRECTORY_NODE && fMode == B_SAVE_PANEL)) {
        if (!LockWindow())
            return;
        fWindow->SetFolder(path);
        fWindow->Unlock();
        return;
    }
    SelectEntry(name);
    Confirm();
}

void BFilePanel::Confirm() {
    if (!LockWindow())
        return;
    std::vector<std::string> paths;
    bool foldersWanted = fFlavors & B_DIRECTORY_NODE;
    for (int32 n = 0;; n++) {
        int32 index = fWindow->fList->CurrentSelection(n);
        if (index < 0)
            break;
        auto* item = dynamic_cast<EntryItem*>(fWindow->fList->ItemAt(index));
        if (!item || !item->IsEnabled())
            continue;
        // A folder is a choice only for a folder panel; otherwise it is entered.
        if (item->IsFolder() && !foldersWanted) {
            std::string path = item->Path();
            fWindow->SetFolder(path);
            fWindow->Unlock();
            return;
        }
        paths.push_back(item->Path());
    }
    if (paths.empty() && foldersWanted)
        paths.push_back(fWindow->fFolder);
    fWindow->Unlock();
    if (paths.empty())
        return;
    fSelected.clear();
    fNextSelected = 0;
    BMessage message(fMessage ? *fMessage : BMessage(B_REFS_RECEIVED));
    for (const std::string& path : paths) {
        entry_ref ref;
        if (get_ref_for_path(path.c_str(), &ref) != B_OK)
            continue;
        fSelected.push_back(ref);
        AddRefToMessage(&message, "refs", ref);
    }
    if (fSelected.empty())
        return;
    SendMessage(&fTarget, &message);
    if (fHideWhenDone)
        Hide();
}

void BFilePanel::Cancel() {
    BMessage message(B_CANCEL);
    message.AddInt32("old_what", (int32)(fMessage ? fMessage->what : (uint32)B_REFS_RECEIVED));
    if (fTarget.IsValid())
        fTarget.SendMessage(&message);
    Hide();
}

void BFilePanel::SendMessage(const BMessenger* target, BMessage* message) {
    if (target && target->IsValid())
        target->SendMessage(message);
}
