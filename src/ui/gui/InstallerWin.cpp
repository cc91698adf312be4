#include "ui/gui/InstallerWin.h"

#include <cmath>
#include <cstring>
#include <unistd.h>

#include "engine/SignerRecord.h"
#include "frontend/LibAlert.h"
#include "lib/ByteText.h"
#include "lib/LibString.h"
#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/Frontend.h"
#include "platform/interface/InterfaceDefs.h"
#include "platform/interface/gui/Alert.h"
#include "platform/interface/gui/Box.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/MenuItem.h"
#include "platform/interface/gui/ScrollBar.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/TextView.h"
#include "platform/kernel/OS.h"
#include "platform/storage/Entry.h"
#include "platform/storage/NodeMonitor.h"
#include "platform/storage/Path.h"
#include "ui/ExitStatus.h"
#include "ui/InstallerStartUp.h"
#include "ui/VolumeHome.h"
#include "ui/gui/BackgroundView.h"
#include "ui/gui/FileChoiceList.h"
#include "ui/gui/FolderButtonArt.h"
#include "ui/gui/GuiFrontend.h"
#include "ui/gui/InstallImage.h"
#include "ui/gui/InstallListRow.h"
#include "ui/gui/LibFilePanel.h"
#include "ui/gui/LibListView.h"
#include "ui/gui/LibMenuField.h"
#include "ui/gui/LibPictureButton.h"
#include "ui/gui/LibStringView.h"
#include "ui/gui/LibVolumeMenu.h"
#include "ui/gui/ProgressStringView.h"

namespace {

const BRect kWindowFrame(0, 0, 455, 257);
const uint32 kFollowLeftTop = B_FOLLOW_LEFT | B_FOLLOW_TOP;

// The title is the installer file's name, so renaming the file renames the window.
std::string WindowTitle(const char* installerPath) {
    std::string path;
    if (installerPath != nullptr && *installerPath != '\0') {
        path = installerPath;
    } else {
        char buffer[4096];
        ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
        if (length > 0)
            path.assign(buffer, size_t(length));
    }
    size_t slash = path.rfind('/');
    std::string leaf = slash == std::string::npos ? path : path.substr(slash + 1);
    return leaf.empty() ? "Tarnwhistle" : leaf;
}

std::string BytesText(int64 bytes) {
    return ByteText(uint64(bytes < 0 ? 0 : bytes));
}

BFont SizedPlainFont(float size) {
    BFont font(be_plain_font);
    font.SetSize(size);
    return font;
}

} // namespace

InstallerWin::InstallerWin(const char* installerPath)
    : LibWindow(kWindowFrame, WindowTitle(installerPath).c_str(), B_TITLED_WINDOW_LOOK,
                B_NORMAL_WINDOW_FEEL, B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE),
      fInstallerPath(installerPath != nullptr ? installerPath : ""),
      fLocalize(installerPath != nullptr && *installerPath != '\0' ? xLocalize(installerPath)
                                                                   : xLocalize()) {
    SetName("InstallerWin");
    // Until the package names its product, alerts carry the window's own title.
    GuiFrontend::SetProductName(Title());
    fLocalize.ObtainLanguage();

    Lock();
    BuildViews();
    Unlock();

    // Mounting or unmounting a volume rebuilds the volume menu.
    watch_node(nullptr, B_WATCH_MOUNT, BMessenger(this));

    GetVolumes();
    GetHomeDirectory();
    RemoveShortcut('W', B_COMMAND_KEY);
    // Ctrl+Q ends the installer as closing the window does; a run is stopped first.
    AddShortcut('Q', B_COMMAND_KEY, new BMessage(B_QUIT_REQUESTED));
    SetLanguage();
}

InstallerWin::~InstallerWin() {
    stop_watching(BMessenger(this));
    CloseFolderPanel();
}

void InstallerWin::AllowClose() {
    fCloseAllowed = true;
    CloseFolderPanel();
}

void InstallerWin::CloseFolderPanel() {
    delete fFolderPanel;
    fFolderPanel = nullptr;
}

void InstallerWin::BuildViews() {
    auto* background = new BackgroundView(Bounds());
    AddChild(background);

    fImage = new InstallImage(BPoint(10, 16), false);
    background->AddChild(fImage);

    // The licence page.
    fLicenseBox = new BBox(BRect(165, 10, 445, 216), "license_box");
    background->AddChild(fLicenseBox);
    BRect textFrame(10, 15, 255, 196);
    BRect textRect = textFrame.OffsetToCopy(0, 0).InsetByCopy(2, 2);
    fLicenseText = new BTextView(textFrame, "license_text", textRect, kFollowLeftTop, B_WILL_DRAW);
    fLicenseText->MakeEditable(false);
    fLicenseText->MakeSelectable(false);
    BFont licenseFont = SizedPlainFont(10);
    fLicenseText->SetFontAndColor(&licenseFont);
    fLicenseBox->AddChild(
        new BScrollView("license_view", fLicenseText, kFollowLeftTop, 0, false, true));

    // The installation page, in the same place.
    fInstallBox = new BBox(BRect(165, 10, 445, 216), "install_box");
    background->AddChild(fInstallBox);

    fGroupLabel = new BStringView(BRect(10, 15, 80, 30), "install_type_label", "Groups");
    fGroupLabel->SetFont(be_bold_font);
    fInstallBox->AddChild(fGroupLabel);
    // The lists leave a line below them for the chosen install type's description.
    fGroupList = new LibListView(BRect(10, 33, 80, 127), "install_type");
    fGroupList->SetResizingMode(B_FOLLOW_ALL);
    auto* groupScroll =
        new BScrollView("install_type_scroll", fGroupList, kFollowLeftTop, 0, false, true);
    fInstallBox->AddChild(groupScroll);

    fFileLabel = new BStringView(BRect(102, 15, 162, 30), "file_label", "Files");
    fFileLabel->SetFont(be_bold_font);
    fInstallBox->AddChild(fFileLabel);
    // A list of check boxes: a click adds or removes one file.
    fFileList = new FileChoiceList(BRect(102, 33, 255, 127), "custom_list");
    fFileScroll = new BScrollView("custom_scroll_view", fFileList, kFollowLeftTop, 0, false, true);
    fInstallBox->AddChild(fFileScroll);

    fGroupDescription = new LibStringView(BRect(10, 131, 271, 144), "install_type_description", "");
    fGroupDescription->SetFontSize(10);
    fInstallBox->AddChild(fGroupDescription);

    fInstallSize = new BStringView(BRect(201, 15, 271, 30), "install_size", "0 bytes");
    fInstallSize->SetAlignment(B_ALIGN_RIGHT);
    fInstallBox->AddChild(fInstallSize);

    // The free-space text shares the volume row; it lies behind the volume menu (added
    // before it) so that the menu draws over it and gets the clicks, and the text shows
    // at the row's right end.
    fFreeSpace = new BStringView(BRect(33, 146, 271, 167), "volume_size", "0 bytes");
    fFreeSpace->SetAlignment(B_ALIGN_RIGHT);
    fInstallBox->AddChild(fFreeSpace);
    fVolumeMenu = new LibVolumeMenu(BPoint(10, 146), "volume", kVolumeChosen, 70);
    fVolumeMenu->SetLabel("Disk");
    fInstallBox->AddChild(fVolumeMenu);

    fFolderButton =
        new LibPictureButton(BPoint(10, 175), FolderButtonArt::kSize, FolderButtonArt::kSize,
                             "folder", FolderButtonArt::Normal(), FolderButtonArt::Pressed(),
                             kFolderButton, FolderButtonArt::Disabled());
    fInstallBox->AddChild(fFolderButton);

    fDestination = new LibStringView(BRect(35, 180, 275, 195), "destination", "");
    fInstallBox->AddChild(fDestination);

    // The status line and the buttons below.
    fStatusBox = new BBox(BRect(10, 225, 320, 250), "inst_box");
    background->AddChild(fStatusBox);
    fStatusLine = new ProgressStringView(BRect(5, 6, 305, 21), "instruction", "");
    fStatusLine->SetFontSize(10);
    fStatusBox->AddChild(fStatusLine);

    fButton = new BButton(BRect(330, 223, 425, 243), "button", "", new BMessage(kButtonPressed));
    fButton->SetFontSize(10);
    background->AddChild(fButton);

    fLanguageMenu = new LibMenuField(BRect(429, 225, 449, 245), "options", 10, true);
    background->AddChild(fLanguageMenu);

    fInstallBox->Hide();

    fGroupList->SetSelectionMessage(new BMessage(kGroupSelected));
    fGroupList->SetHoverCommand(kGroupHovered);
    fGroupScrollBar = groupScroll->ScrollBar(B_VERTICAL);
    fFileList->SetSelectionMessage(new BMessage(kFilesSelected));
    fFolderButton->AddTip(kTipRequest, "Change destination folder");
    SetDefaultButton(fButton);
}

// #pragma mark - loading and language

bool InstallerWin::LoadResources() {
    if (!fSession.Load(fInstallerPath.empty() ? nullptr : fInstallerPath.c_str())) {
        // The user has been told that the installer is damaged or was improperly built.
        PostToApplication(new BMessage(B_QUIT_REQUESTED));
        return false;
    }
    fSession.Engine().SetStartRecord(installer_start_up::PlannedTypeRecord,
                                     installer_start_up::RecordType);
    fLoaded = true;
    fStatusLine->SetTip(kTipRequest, SignerRecord::Notice(fLocalize, fSession.Signature()));
    InstallConfig& config = fSession.Engine();

    Lock();
    BMessage about;
    config.FindMessage("about_image", &about);
    fImage->SetImage(about);
    auto text = [&config](const char* key) -> const char* {
        const char* value = nullptr;
        return config.FindString(key, &value) == B_OK ? value : nullptr;
    };
    fImage->SetAppName(text("app_name"));
    if (const char* product = text("app_name"); product != nullptr && *product != '\0') {
        GuiFrontend::SetProductName(product);
        GuiHost::SetApplicationName(product);
    }
    ShowPackageIcon(config);
    fImage->SetVersion(text("version"));
    fImage->SetDate(text("release_date"));
    fImage->SetCompany(text("company"));
    fImage->SetEmail(text("support_email"));

    fLicenseText->SetText(config.StringValue("license"));
    if (fLicenseText->TextLength() == 0)
        ButtonPressed();

    for (int32 i = 0; i < fSession.CountGroups(); i++)
        AddGroup(fSession.GroupName(i).c_str());
    if (fGroupList->CountItems() > 0)
        fGroupList->Select(0, false);

    BMessage record;
    for (int32 i = 0; config.GetInstallFile(i, record); i++) {
        auto* row = new InstallListRow(false);
        row->Item().SetShowFullPath(false);
        row->Item().Read(record);
        fFileList->AddItem(row);
    }

    if (config.HasString("opt_default_folder"))
        fSession.SetDefaultDestination();

    fVolumeMenu->AllowRemovable(config.BoolValue("req_removable_vol_ok"));
    fVolumeMenu->AllowShared(config.BoolValue("req_shared_vol_ok"));
    fVolumeMenu->Update();

    InstallTypeSelected();
    SetDestinationPath();

    BMessage sound;
    if (config.FindMessage("audio_data", &sound) == B_OK) {
        sound.what = kPlaySound;
        PostToApplication(new BMessage(sound));
    }
    Unlock();
    return true;
}

void InstallerWin::ShowPackageIcon(const BMessage& config) {
    // The icon of the package's first menu entry that brings one: a PNG icon as it is, an
    // SVG one as the picture tarnw-pack drew of it.
    BMessage entries, entry;
    if (config.FindMessage("desktop_entries", &entries) != B_OK)
        return;
    for (int32 i = 0; entries.FindMessage("desktop_entry", i, &entry) == B_OK; i++) {
        const void* icon = nullptr;
        ssize_t size = 0;
        const char* type = nullptr;
        if (entry.FindString("entry_icon_type", &type) != B_OK || type == nullptr)
            continue;
        const char* field = std::strcmp(type, "png") == 0 ? "entry_icon" : "entry_icon_picture";
        if (entry.FindData(field, B_RAW_TYPE, &icon, &size) != B_OK || size <= 0)
            continue;
        if (GuiHost::SetApplicationIcon(icon, size_t(size)))
            return;
    }
}

void InstallerWin::SetLanguage() {
    Lock();
    fLanguageMenu->Clear();
    fLicenseBox->SetLabel(fLocalize.GetString(1001));
    fInstallBox->SetLabel(fLocalize.GetString(1002));
    fGroupLabel->SetText(fLocalize.GetString(1003));
    fFileLabel->SetText(fLocalize.GetString(1004));
    fFolderButton->AddTip(kTipRequest, fLocalize.GetString(1005));
    fVolumeMenu->SetLabel(fLocalize.GetString(1006));
    if (fLoaded)
        fStatusLine->SetTip(kTipRequest, SignerRecord::Notice(fLocalize, fSession.Signature()));
    if (fState == kLicenseState) {
        SetButtonLabel(1008);
        SetStatusText(fLocalize.GetString(1010));
    } else if (fState == kReadyState) {
        SetButtonLabel(1007);
        SetStatusText(fLocalize.GetString(1009));
    } else {
        // While installing the button stops the run and the status line shows its
        // progress; both only change language.
        SetButtonLabel(1012);
    }

    LibString names = fLocalize.GetString(1000);
    const char* start = names.String();
    while (start != nullptr) {
        const char* end = std::strchr(start, '\n');
        std::string name = end != nullptr ? std::string(start, size_t(end - start)) : start;
        fLanguageMenu->Add(name.c_str(), new BMessage(kLanguageChosen));
        start = end != nullptr ? end + 1 : nullptr;
    }
    int32 current = xLocalize::LanguageIndex(fLocalize.Language());
    for (int32 i = 0; i < fLanguageMenu->CountItems(); i++)
        fLanguageMenu->ItemAt(i)->SetMarked(i == current);
    Unlock();
    SetFolderPanelTexts();
}

void InstallerWin::ChangeLaunguage() {
    int32 marked = -1;
    for (int32 i = 0; i < fLanguageMenu->CountItems(); i++)
        if (fLanguageMenu->ItemAt(i)->IsMarked()) {
            marked = i;
            break;
        }
    fLocalize.SetLanguage(xLocalize::LanguageCode(marked));
    SetLanguage();
}

void InstallerWin::ApplyCommandLine(const char* language, const char* group, const char* target,
                                    bool acceptLicense) {
    // The command line's language holds for this run; only the language menu stores one.
    if (language != nullptr && fLocalize.UseLanguage(language))
        SetLanguage();
    if (group != nullptr) {
        for (int32 i = 0; i < fSession.CountGroups(); i++)
            if (fSession.GroupName(i) == group) {
                Lock();
                fGroupList->Select(i, false);
                Unlock();
                InstallTypeSelected();
            }
    }
    if (target != nullptr && fSession.SetDestination(target))
        SetDestinationPath();
    if (acceptLicense && fState == kLicenseState)
        ButtonPressed();
}

void InstallerWin::GetVolumes() {
    Lock();
    fVolumeMenu->Update();
    Unlock();
}

void InstallerWin::AddGroup(const char* name) {
    fGroupList->AddItem(new BStringItem(name != nullptr ? name : "", 0, true));
}

// #pragma mark - messages

void InstallerWin::MessageReceived(BMessage* message) {
    switch (message->what) {
    case kButtonPressed:
        ButtonPressed();
        break;
    case kGroupSelected:
        InstallTypeSelected();
        break;
    case kGroupHovered:
        ShowGroupDescription(message->GetInt32("item", -1));
        break;
    case kFolderButton:
        InitFolderPanel();
        break;
    case kVolumeChosen:
        SelectVolume();
        break;
    case kFolderChosen:
        SelectDestination();
        break;
    case kFilesSelected:
        CustomItemSelected();
        break;
    case kLanguageChosen:
        ChangeLaunguage();
        break;
    case LIB_THREAD_COMPLETE:
        ThreadChange(message);
        break;
    case B_NODE_MONITOR: {
        int32 opcode = 0;
        if (message->FindInt32("opcode", &opcode) == B_OK &&
            (opcode == B_DEVICE_MOUNTED || opcode == B_DEVICE_UNMOUNTED))
            GetVolumes();
        break;
    }
    case kInstallStatusMessage:
        RecordStatus(message);
        break;
    case kInstallProgressMessage:
        RecordProgress(message);
        break;
    default:
        LibWindow::MessageReceived(message);
    }
}

bool InstallerWin::QuitRequested() {
    if (fCloseAllowed)
        return true;
    // The application stops a running installation before anything goes away.
    PostToApplication(new BMessage(B_QUIT_REQUESTED));
    return false;
}

void InstallerWin::SetApplicationTarget(const BMessenger& target) {
    fApplication = target;
    fHasApplicationTarget = true;
}

void InstallerWin::PostToApplication(BMessage* message) {
    BMessenger target = fHasApplicationTarget ? fApplication : be_app_messenger;
    if (!fHasApplicationTarget && be_app != nullptr)
        target = BMessenger(be_app);
    target.SendMessage(message);
    delete message;
}

// #pragma mark - the button and the run

void InstallerWin::ButtonPressed() {
    Lock();
    switch (fState) {
    case kLicenseState:
        fLicenseBox->Hide();
        fInstallBox->Show();
        SetButtonLabel(1007);
        SetStatusText(fLocalize.GetString(1009));
        fState = kReadyState;
        // Only tells the user that the installation folder is there already.
        CheckDestinationFolder(false);
        break;
    case kReadyState:
        EnableDestinationControls(false);
        // The destination is fixed while the run uses it.
        if (fFolderPanel != nullptr)
            fFolderPanel->Hide();
        SetButtonLabel(1012);
        fState = kInstallingState;
        Install();
        break;
    default:
        QuitRequested();
        break;
    }
    Unlock();
}

void InstallerWin::Install() {
    Lock();
    for (int32 i = 0; i < fFileList->CountItems(); i++)
        fSession.SetSelected(i, fFileList->IsItemSelected(i));
    Unlock();
    fRunStarted = true;
    fRunCompleted = false;
    if (fSession.Install(BMessenger(this)) < B_OK) {
        // The worker could not start: nothing runs, so the user may try again.
        Lock();
        EnableDestinationControls(true);
        SetButtonLabel(1007);
        SetStatusText(fLocalize.GetString(1009));
        fState = kReadyState;
        Unlock();
    }
}

void InstallerWin::RecordStatus(BMessage* message) {
    const char* text = nullptr;
    if (message->FindString("message", &text) != B_OK || text == nullptr)
        return;
    fSession.HandleMessage(message);
    Lock();
    if (std::strcmp(text, fLocalize.GetString(1037).String()) == 0) {
        // Everything is in place: only the completion message is left, and a stop now
        // would call a complete installation stopped.
        fRunCompleted = true;
        fButton->SetEnabled(false);
    }
    SetStatusText(text);
    Unlock();
}

void InstallerWin::RecordProgress(BMessage* message) {
    fSession.HandleMessage(message);
    Lock();
    fStatusLine->SetProgress(message->GetInt64("done", 0), message->GetInt64("total", 0));
    Unlock();
}

void InstallerWin::ThreadChange(BMessage* message) {
    bool ended = false;
    bool quit = false;
    if (!fSession.HandleMessage(message, &ended, &quit) || !ended)
        return;
    fRunResult = message->GetInt32("status", 0);
    if (quit) {
        QuitRequested();
        return;
    }
    Lock();
    EnableDestinationControls(true);
    SetButtonLabel(1007);
    SetStatusText(fLocalize.GetString(1009));
    fStatusLine->SetProgress(0, 0);
    fState = kReadyState;
    Unlock();
}

void InstallerWin::QuitRunning() {
    if (!fSession.IsRunning())
        return;
    InstallConfig& engine = fSession.Engine();
    if (fRunCompleted) {
        // Closed while the completion message is up: the installation is complete and
        // stays so; the message is dismissed with its first button.
        engine.Kill();
        PumpAlertsWhileRunning();
        engine.KillAndWait();
        fRunResult = engine.LastResult();
        // A run that could not place every item still offers its choice.
        if (engine.HasUnsettledRun())
            engine.SettleRun(AskFrontend(engine.UndoOrKeepRequest()).button != 1);
        return;
    }
    fStopped = true;
    engine.Kill();
    PumpAlertsWhileRunning();
    LibError("%s", fLocalize.GetString(1027).String());
    engine.KillAndWait();
    // The worker left the choice to the window: undo the run (the first button) or keep
    // what it placed.
    if (engine.HasUnsettledRun())
        engine.SettleRun(AskFrontend(engine.UndoOrKeepRequest()).button != 1);
}

void InstallerWin::PumpAlertsWhileRunning() {
    // A question the worker waits for is answered with its first button (the safe one) as
    // soon as its alert gets to run; this thread is the one that runs alerts, so it lets
    // them run until the worker has reached its stop. What was installed stays.
    bigtime_t until = system_time() + 10000000;
    while (fSession.IsRunning() && system_time() < until) {
        bool pumped = false;
        for (BWindow* window : BWindow::AllWindows())
            if (auto* alert = dynamic_cast<BAlert*>(window); alert != nullptr) {
                GuiHost::RunNested(alert, 20000);
                pumped = true;
            }
        if (!pumped)
            snooze(20000);
    }
}

int InstallerWin::ExitStatus() const {
    if (!fLoaded)
        return fSession.Damaged() ? kExitDamaged : kExitBrokenInstaller;
    if (fStopped)
        return kExitStopped;
    if (fRunResult >= 0)
        return ExitStatusForResult(fRunResult, fRunCompleted);
    if (fState == kLicenseState)
        return kExitLicenseDeclined;
    return kExitCancelled;
}

// #pragma mark - destination

bool InstallerWin::CheckDestinationFolder(bool fromPanel) {
    return fSession.CheckDestinationFolder(fromPanel);
}

void InstallerWin::InitFolderPanel() {
    if (fFolderPanel == nullptr) {
        fFolderPanel = new LibFilePanel(B_OPEN_PANEL, static_cast<BLooper*>(this), kFolderChosen,
                                        B_DIRECTORY_NODE, false);
        fFolderPanel->Filter().AddType("application/x-vnd.Be-directory");
        fFolderPanel->Filter().AddType("application/x-vnd.Be-volume");
        SetFolderPanelTexts();
    }
    // The panel opens on the destination's parent with the destination selected, so that
    // Select at once keeps it; where it cannot be listed there, the panel shows the
    // destination itself.
    fFolderPanel->ShowFolderSelected(fSession.DestinationPath().c_str());
    if (!fFolderPanel->IsShowing()) {
        // It opens over this window, centred on it.
        BWindow* panel = fFolderPanel->Window();
        BRect over = Frame();
        panel->Lock();
        BRect size = panel->Bounds();
        panel->MoveTo(std::floor((over.left + over.right - size.Width()) / 2),
                      std::floor((over.top + over.bottom - size.Height()) / 2));
        panel->Unlock();
    }
    fFolderPanel->Show();
}

void InstallerWin::SetFolderPanelTexts() {
    if (fFolderPanel == nullptr)
        return;
    file_panel_texts texts;
    texts.title = fLocalize.GetString(1220).String();
    texts.parent = fLocalize.GetString(1222).String();
    texts.newFolder = fLocalize.GetString(1223).String();
    texts.newFolderName = texts.newFolder;
    texts.newFolderPrompt = fLocalize.GetString(1226).String();
    texts.create = fLocalize.GetString(1227).String();
    texts.noSuchFolder = fLocalize.GetString(1224).String();
    texts.cannotCreate = fLocalize.GetString(1225).String();
    fFolderPanel->SetTexts(texts);
    fFolderPanel->SetButtonLabel(B_DEFAULT_BUTTON, fLocalize.GetString(1221).String());
    fFolderPanel->SetButtonLabel(B_CANCEL_BUTTON, fLocalize.GetString(1015).String());
}

void InstallerWin::SelectDestination() {
    if (fFolderPanel == nullptr)
        return;
    std::string previous = fSession.DestinationPath();
    entry_ref ref;
    fFolderPanel->Rewind();
    BPath chosen;
    if (fFolderPanel->GetNextSelectedRef(&ref) != B_OK || BEntry(&ref).GetPath(&chosen) != B_OK) {
        fFolderPanel->Hide();
        return;
    }
    fSession.SetDestination(chosen.Path());
    if (CheckDestinationFolder(true)) {
        SetDestinationPath();
        fFolderPanel->Hide();
    } else {
        // The user may choose again; the destination stays what it was.
        fSession.SetDestination(previous.c_str());
    }
}

void InstallerWin::SelectVolume() {
    GetHomeDirectory();
    CheckDestinationFolder(false);
}

void InstallerWin::GetHomeDirectory() {
    VolumeChoice volume;
    if (!FindVolume(fVolumeMenu->Text().String(), volume))
        return;
    fSession.SetDestination(volume.homeFolder.c_str());
    SetDestinationPath();
    Lock();
    fFreeSpace->SetText(BytesText(volume.freeBytes).c_str());
    Unlock();
}

void InstallerWin::SetDestinationPath() {
    Lock();
    fDestination->SetTruncatedText(fSession.DestinationPath().c_str(), B_TRUNCATE_BEGINNING);
    Unlock();
}

// #pragma mark - groups and files

void InstallerWin::InstallTypeSelected() {
    ShowGroupDescription(-1);
    Lock();
    // Selecting rows here must not come back as selection messages.
    fFileList->SetSelectionMessage(nullptr);
    int32 group = fGroupList->CurrentSelection();
    ShowChosenGroupDescription(group);
    if (group >= 0) {
        for (int32 i = 0; i < fFileList->CountItems(); i++) {
            if (fSession.FileInGroup(i, group)) {
                if (!fFileList->IsItemSelected(i))
                    fFileList->Select(i, true);
            } else {
                fFileList->Deselect(i);
            }
        }
    } else if (fGroupList->CountItems() > 0) {
        fGroupList->Select(0, false);
    }
    fFileList->SetSelectionMessage(new BMessage(kFilesSelected));
    Unlock();
    CustomItemSelected();
}

void InstallerWin::CustomItemSelected() {
    Lock();
    int32 selected = 0;
    for (int32 i = 0; i < fFileList->CountItems(); i++) {
        bool on = fFileList->IsItemSelected(i);
        // The session keeps the selection only while no run uses it.
        if (fState != kInstallingState)
            fSession.SetSelected(i, on);
        selected += on ? 1 : 0;
    }
    int64 total = fSession.Engine().DeinstallerSize();
    for (int32 i = 0; i < fFileList->CountItems(); i++)
        if (fFileList->IsItemSelected(i) && fSession.FileSize(i) > 0)
            total += fSession.FileSize(i);
    fInstallSize->SetText(BytesText(total).c_str());
    fButton->SetEnabled(selected > 0 && !(fState == kInstallingState && fRunCompleted));
    Unlock();
}

void InstallerWin::ShowChosenGroupDescription(int32 group) {
    std::string description =
        group >= 0 && group < fSession.CountGroups() ? fSession.GroupDescription(group) : "";
    fGroupDescription->SetTruncatedText(description.c_str(), B_TRUNCATE_END);
}

void InstallerWin::ShowGroupDescription(const int32& index) {
    BMessage tip(kTipRequest);
    if (index < 0) {
        tip.AddBool("show", false);
        PostToApplication(new BMessage(tip));
        return;
    }
    if (index >= fSession.CountGroups())
        return;
    const std::string& description = fSession.GroupDescription(index);
    if (!description.empty()) {
        Lock();
        BView* scroll = fGroupList->Parent();
        BRect listFrame = fGroupList->Frame();
        float scrolled = fGroupScrollBar != nullptr ? fGroupScrollBar->Value() : 0;
        // Just right of the list, level with the top of the hovered row.
        BPoint where(scroll->Frame().left + 99 + fGroupList->Bounds().Width() + listFrame.right,
                     fGroupList->ItemFrame(index).top + 42 + listFrame.top - scrolled);
        where = ConvertToScreen(where);
        Unlock();
        tip.AddBool("show", true);
        tip.AddInt16("sdelay", 0);
        tip.AddInt16("edelay", int16(std::ceil(double(description.size()) * 0.25)));
        tip.AddPoint("loc", where);
        tip.AddInt32("width", 160);
        tip.AddString("tip", description.c_str());
    }
    PostToApplication(new BMessage(tip));
}

// #pragma mark - helpers

void InstallerWin::SetButtonLabel(int32 textId) {
    fButton->SetLabel(fLocalize.GetString(textId));
}

void InstallerWin::SetStatusText(const char* text) {
    fStatusLine->SetText(text != nullptr ? text : "");
}

void InstallerWin::EnableDestinationControls(bool enabled) {
    fFolderButton->SetEnabled(enabled);
    fVolumeMenu->SetEnabled(enabled);
}
