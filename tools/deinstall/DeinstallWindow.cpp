#include "DeinstallWindow.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

#include "deinstall/DeinstallFlow.h"
#include "deinstall/DeinstallTexts.h"
#include "deinstall/Deinstaller.h"
#include "platform/app/Application.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/Bitmap.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/ListItem.h"
#include "platform/interface/gui/ListView.h"
#include "platform/interface/gui/ScrollView.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/View.h"
#include "platform/interface/gui/Window.h"
#include "ui/Transcript.h"
#include "ui/gui/GuiFrontend.h"

namespace {

enum {
    kRemovePressed = 'dRem',
    kCancelPressed = 'dCan',
    kProgressText = 'dPrg',
    kRemovalDone = 'dEnd',
};

const char* kSignature = "application/x-vnd.Kestrelwood.TarnDeinstall";

// Questions as alerts; progress texts to the window's status line.
class WindowFrontend : public Frontend {
public:
    explicit WindowFrontend(BWindow* window) : fWindow(window) {}

    FrontendAnswer Ask(const FrontendRequest& request) override { return fAlerts.Ask(request); }
    void Status(const char* text) override {
        BMessage message(kProgressText);
        message.AddString("text", text);
        fWindow->PostMessage(&message);
    }

private:
    GuiFrontend fAlerts;
    BWindow* fWindow;
};

class AboutImageView : public BView {
public:
    AboutImageView(BRect frame, BBitmap* bitmap)
        : BView(frame, "about", B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW), fBitmap(bitmap) {}

    void Draw(BRect) override {
        if (fBitmap)
            DrawBitmap(fBitmap.get(), Bounds().LeftTop());
    }

private:
    std::unique_ptr<BBitmap> fBitmap;
};

class DeinstallerWin : public BWindow {
public:
    DeinstallerWin(Deinstaller& deinstaller, const DeinstallTexts& texts, Transcript& transcript,
                   int* status);
    ~DeinstallerWin() override;

    void MessageReceived(BMessage* message) override;
    bool QuitRequested() override;

private:
    void StartRemoval();

    Deinstaller& fDeinstaller;
    const DeinstallTexts& fTexts;
    Transcript& fTranscript;
    int* fStatus;
    WindowFrontend fAsker;
    RecordingFrontend fRecorder;
    DeinstallFlow fFlow;
    BStringView* fStatusLine = nullptr;
    BButton* fRemove = nullptr;
    BButton* fCancel = nullptr;
    std::thread fWorker;
    std::atomic<bool> fRunning{false};
    bool fDone = false;
};

DeinstallerWin::DeinstallerWin(Deinstaller& deinstaller, const DeinstallTexts& texts,
                               Transcript& transcript, int* status)
    : BWindow(BRect(0, 0, 559, 379),
              texts.Format(kTextTitle, deinstaller.Record().ProductName()).c_str(), B_TITLED_WINDOW,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE),
      fDeinstaller(deinstaller), fTexts(texts), fTranscript(transcript), fStatus(status),
      fAsker(this), fRecorder(fAsker, transcript),
      fFlow(deinstaller, texts, fRecorder, transcript, nullptr) {
    BView* background = new BView(Bounds(), "background", B_FOLLOW_ALL, B_WILL_DRAW);
    background->SetViewColor(216, 216, 216);
    AddChild(background);

    const DeinstallRecord& record = deinstaller.Record();
    float textLeft = 10;
    if (record.hasAboutImage) {
        BMessage archive(record.aboutImage);
        BBitmap* bitmap = BBitmap::Instantiate(&archive);
        if (bitmap != nullptr && bitmap->IsValid()) {
            BRect bounds = bitmap->Bounds();
            // The about picture is at most 150 x 200; a larger one is not shown.
            if (bounds.Width() < 150 && bounds.Height() < 200) {
                background->AddChild(new AboutImageView(
                    BRect(10, 10, 10 + bounds.Width(), 10 + bounds.Height()), bitmap));
                textLeft = 170;
            } else {
                delete bitmap;
            }
        } else {
            delete bitmap;
        }
    }

    std::string identity = record.ProductName();
    if (!record.company.empty())
        identity += " - " + record.company;
    background->AddChild(
        new BStringView(BRect(textLeft, 10, 549, 28), "product", identity.c_str()));
    std::vector<std::string> lines = fFlow.RemovalLines();
    std::string heading = lines.empty() ? texts.Format(kTextNothingLeft, record.ProductName())
                                        : texts.Format(kTextWillRemove, record.ProductName());
    background->AddChild(new BStringView(BRect(textLeft, 34, 549, 52), "heading", heading.c_str()));

    BListView* list = new BListView(BRect(textLeft, 58, 549 - 14, 300), "removals",
                                    B_SINGLE_SELECTION_LIST, B_FOLLOW_LEFT | B_FOLLOW_TOP);
    for (const std::string& line : lines)
        list->AddItem(new BStringItem(line.c_str()));
    background->AddChild(
        new BScrollView("scroll", list, B_FOLLOW_LEFT | B_FOLLOW_TOP, 0, false, true));

    fStatusLine = new BStringView(BRect(10, 312, 549, 330), "status", "");
    background->AddChild(fStatusLine);
    fCancel = new BButton(BRect(370, 342, 454, 368), "cancel", texts.Get(kTextCancel).c_str(),
                          new BMessage(kCancelPressed));
    fRemove = new BButton(BRect(464, 342, 549, 368), "remove", texts.Get(kTextRemove).c_str(),
                          new BMessage(kRemovePressed));
    background->AddChild(fCancel);
    background->AddChild(fRemove);
    SetDefaultButton(fRemove);
    fTranscript.RecordEvent("plan", fFlow.PlanText());
}

DeinstallerWin::~DeinstallerWin() {
    if (fWorker.joinable())
        fWorker.join();
}

void DeinstallerWin::StartRemoval() {
    FrontendRequest consent = fFlow.ConsentRequest();
    FrontendAnswer yes;
    yes.button = 1;
    fTranscript.RecordAlert(consent, yes);
    fRemove->SetEnabled(false);
    fCancel->SetEnabled(false);
    fRunning = true;
    fWorker = std::thread([this] {
        int status = fFlow.Proceed();
        BMessage done(kRemovalDone);
        done.AddInt32("status", status);
        PostMessage(&done);
    });
}

void DeinstallerWin::MessageReceived(BMessage* message) {
    switch (message->what) {
    case kRemovePressed:
        if (fDone)
            be_app->PostMessage(B_QUIT_REQUESTED);
        else if (!fRunning)
            StartRemoval();
        break;
    case kCancelPressed: {
        FrontendRequest consent = fFlow.ConsentRequest();
        fTranscript.RecordAlert(consent, FrontendAnswer());
        *fStatus = kDeinstallCancelled;
        fDone = true;
        be_app->PostMessage(B_QUIT_REQUESTED);
        break;
    }
    case kProgressText: {
        const char* text = nullptr;
        if (message->FindString("text", &text) == B_OK && text != nullptr)
            fStatusLine->SetText(text);
        break;
    }
    case kRemovalDone: {
        if (fWorker.joinable())
            fWorker.join();
        fRunning = false;
        fDone = true;
        int32 status = kDeinstallIncomplete;
        message->FindInt32("status", &status);
        *fStatus = status;
        fStatusLine->SetText(
            status == kDeinstallCompleted
                ? fTexts.Format(kTextRemoved, fDeinstaller.Record().ProductName()).c_str()
                : fTexts.Format(kTextIncomplete, fDeinstaller.Record().ProductName()).c_str());
        fRemove->SetLabel(fTexts.Get(kTextOK).c_str());
        fRemove->SetEnabled(true);
        break;
    }
    default:
        BWindow::MessageReceived(message);
    }
}

bool DeinstallerWin::QuitRequested() {
    // A removal is not broken off half-way: it is short, and a half-done one helps no one.
    if (fRunning)
        return false;
    if (!fDone)
        *fStatus = kDeinstallCancelled;
    be_app->PostMessage(B_QUIT_REQUESTED);
    return true;
}

class DeinstallApp : public BApplication {
public:
    DeinstallApp() : BApplication(kSignature) {}
    void SetWindow(BWindow* window) { fWindow = window; }
    // Something to do on the toolkit loop once it runs instead of showing a window.
    void SetReadyAction(std::function<void()> action) { fAction = std::move(action); }

    void ReadyToRun() override {
        if (fWindow != nullptr) {
            fWindow->CenterOnScreen();
            fWindow->Show();
        }
        if (fAction) {
            fAction();
            PostMessage(B_QUIT_REQUESTED);
        }
    }

private:
    BWindow* fWindow = nullptr;
    std::function<void()> fAction;
};

} // namespace

bool DeinstallWindow::DisplayOpens() {
    return GuiHost::HasDisplay();
}

int DeinstallWindow::Run(Deinstaller& deinstaller, const DeinstallTexts& texts,
                         Transcript& transcript) {
    GuiHost::Install();
    int status = kDeinstallCancelled;
    auto* app = new DeinstallApp();
    app->SetWindow(new DeinstallerWin(deinstaller, texts, transcript, &status));
    app->Run();
    delete app;
    return status;
}

void DeinstallWindow::ShowDamaged(const DeinstallTexts& texts, Transcript& transcript) {
    GuiHost::Install();
    GuiFrontend alerts;
    RecordingFrontend recorder(alerts, transcript);
    FrontendRequest notice;
    notice.text = texts.Get(kTextDamaged);
    notice.buttons = {texts.Get(kTextOK)};
    notice.icon = FrontendIcon::Stop;
    // Alerts need the toolkit loop running.
    auto* app = new DeinstallApp();
    app->SetReadyAction([&] { recorder.Ask(notice); });
    app->Run();
    delete app;
}

int DeinstallWindow::RunWithAlerts(Transcript& transcript,
                                   const std::function<int(Frontend&)>& dialogue) {
    GuiHost::Install();
    GuiFrontend alerts;
    RecordingFrontend recorder(alerts, transcript);
    int status = kDeinstallIncomplete;
    auto* app = new DeinstallApp();
    app->SetReadyAction([&] { status = dialogue(recorder); });
    app->Run();
    delete app;
    return status;
}
