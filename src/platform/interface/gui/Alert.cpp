#include "platform/interface/gui/Alert.h"

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>

#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/GuiHost.h"
#include "platform/interface/gui/Screen.h"
#include "platform/interface/gui/TextView.h"
#include "platform/kernel/OS.h"

namespace {

const uint32 kButtonPressed = 'ALbp';
const float kWidth = 310;
const float kTextLeftWithIcon = 55;
const float kMargin = 10;
const float kButtonGap = 9;
const float kMinButtonWidth = 75;

// The stripe at the alert's left, with the icon standing out of it.
class AlertIconView : public BView {
public:
    AlertIconView(BRect frame, alert_type type)
        : BView(frame, "icon", B_FOLLOW_LEFT | B_FOLLOW_TOP_BOTTOM, B_WILL_DRAW), fType(type) {
        SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    }
    void Draw(BRect) override {
        BRect stripe = Bounds();
        stripe.right = 29;
        SetHighColor(tint_color(ui_color(B_PANEL_BACKGROUND_COLOR), B_DARKEN_1_TINT));
        FillRect(stripe);
        if (fType != B_EMPTY_ALERT)
            BAlert::DrawIcon(this, fType, BPoint(18, 6));
    }

private:
    alert_type fType;
};

} // namespace

struct AlertPendingAnswer {
    std::mutex lock;
    std::condition_variable changed;
    bool answered = false;
    int32 index = -1;

    void Set(int32 which) {
        std::lock_guard<std::mutex> guard(lock);
        if (answered)
            return;
        answered = true;
        index = which;
        changed.notify_all();
    }
};

BAlert::BAlert(const char* title, const char* text, const char* button0, const char* button1,
               const char* button2, button_width width, alert_type type)
    : BWindow(BRect(0, 0, kWidth - 1, 80), title, B_MODAL_WINDOW_LOOK, B_MODAL_APP_WINDOW_FEEL,
              B_NOT_RESIZABLE | B_NOT_ZOOMABLE | B_NOT_MINIMIZABLE | B_NOT_CLOSABLE |
                  B_ASYNCHRONOUS_CONTROLS),
      fType(type), fButtonWidth(width), fAnswer(std::make_shared<AlertPendingAnswer>()) {
    Lock();
    BRect bounds = Bounds();
    float textLeft = kMargin;
    if (type != B_EMPTY_ALERT) {
        fIconView = new AlertIconView(BRect(0, 0, 49, bounds.bottom), type);
        AddChild(fIconView);
        textLeft = kTextLeftWithIcon;
    }
    BRect textFrame(textLeft, 6, bounds.right - kMargin, 20);
    fTextView = new BTextView(textFrame, "_tv_", textFrame.OffsetToCopy(0, 0), B_FOLLOW_ALL_SIDES,
                              B_WILL_DRAW);
    fTextView->SetViewColor(ui_color(B_PANEL_BACKGROUND_COLOR));
    fTextView->MakeEditable(false);
    fTextView->MakeSelectable(false);
    fTextView->SetWordWrap(true);
    fTextView->SetText(text ? text : "");
    AddChild(fTextView);
    const char* labels[3] = {button0, button1, button2};
    for (int32 i = 0; i < 3; i++) {
        if (!labels[i])
            break;
        auto* message = new BMessage(kButtonPressed);
        message->AddInt32("which", i);
        fButtons[i] = new BButton(BRect(0, 0, kMinButtonWidth, 20), "_b_", labels[i], message,
                                  B_FOLLOW_RIGHT | B_FOLLOW_BOTTOM);
        fButtons[i]->SetTarget(this);
        AddChild(fButtons[i]);
        fButtonCount++;
    }
    if (fButtonCount > 0)
        fButtons[fButtonCount - 1]->MakeDefault(true);
    Layout();
    Unlock();
}

BAlert::~BAlert() {
    // An alert that goes away unanswered releases whoever waits for it.
    fAnswer->Set(-1);
}

void BAlert::Layout() {
    BRect bounds = Bounds();
    font_height fh;
    be_plain_font->GetHeight(&fh);
    float buttonHeight = std::ceil(fh.ascent + fh.descent) + 12;
    float widths[3] = {0, 0, 0};
    float widest = 0;
    for (int32 i = 0; i < fButtonCount; i++) {
        float label = std::ceil(be_plain_font->StringWidth(fButtons[i]->Label())) + 20;
        widths[i] = fButtonWidth == B_WIDTH_FROM_LABEL ? label : std::max(kMinButtonWidth, label);
        widest = std::max(widest, widths[i]);
    }
    if (fButtonWidth == B_WIDTH_FROM_WIDEST)
        for (int32 i = 0; i < fButtonCount; i++)
            widths[i] = widest;
    // The text decides the height: as many lines as it wraps into, at least the icon's.
    float textHeight = fTextView->TextHeight(0, fTextView->CountLines() - 1);
    float contentBottom = std::max(6 + textHeight, fType != B_EMPTY_ALERT ? 6.0f + 32 : 0.0f);
    float height = contentBottom + kMargin + buttonHeight + kMargin;
    float totalButtons = 0;
    for (int32 i = 0; i < fButtonCount; i++)
        totalButtons += widths[i] + (i ? kButtonGap : 0);
    float width = std::max(kWidth - 1, totalButtons + 2 * kMargin + (fIconView ? 30 : 0));
    ResizeTo(width, std::ceil(height) - 1);
    bounds = Bounds();
    float x = bounds.right - kMargin;
    float top = bounds.bottom - kMargin - buttonHeight + 1;
    for (int32 i = fButtonCount - 1; i >= 0; i--) {
        fButtons[i]->MoveTo(x - widths[i] + 1, top);
        fButtons[i]->ResizeTo(widths[i] - 1, buttonHeight - 1);
        x -= widths[i] + kButtonGap;
    }
    fTextView->ResizeTo(bounds.right - kMargin - fTextView->Frame().left,
                        std::max(textHeight, 14.0f));
    fTextView->SetTextRect(fTextView->Bounds().OffsetToCopy(0, 0));
    // Without a window to belong to, alerts sit centred, a little above the middle of the
    // screen.
    BRect screen = BScreen().Frame();
    MoveTo(std::floor(screen.left + (screen.Width() - bounds.Width()) / 2),
           std::floor(screen.top + (screen.Height() - bounds.Height()) / 3));
}

void BAlert::PlaceOverMainWindow() {
    BWindow* main = GuiHost::MainWindow(this);
    if (main == nullptr || main->LockWithTimeout(1000000) != B_OK)
        return;
    BRect over = main->Frame();
    main->Unlock();
    BRect bounds = Bounds();
    BRect screen = BScreen().Frame();
    float x = std::floor((over.left + over.right - bounds.Width()) / 2);
    float y = std::floor((over.top + over.bottom - bounds.Height()) / 2);
    x = std::clamp(x, screen.left, std::max(screen.left, screen.right - bounds.Width()));
    y = std::clamp(y, screen.top, std::max(screen.top, screen.bottom - bounds.Height()));
    Lock();
    MoveTo(x, y);
    Unlock();
}

void BAlert::FrameResized(float, float) {}

void BAlert::SetShortcut(int32 index, char key) {
    if (index >= 0 && index < fButtonCount)
        fShortcuts[index] = key;
}

char BAlert::Shortcut(int32 index) const {
    return index >= 0 && index < fButtonCount ? fShortcuts[index] : 0;
}

BButton* BAlert::ButtonAt(int32 index) const {
    return index >= 0 && index < fButtonCount ? fButtons[index] : nullptr;
}

void BAlert::DispatchMessage(BMessage* message, BHandler* handler) {
    if (message->what == B_KEY_DOWN) {
        const char* bytes = nullptr;
        int32 modifiers = message->GetInt32("modifiers");
        if (message->FindString("bytes", &bytes) == B_OK && bytes && bytes[0] && !bytes[1] &&
            !(modifiers & (B_COMMAND_KEY | B_CONTROL_KEY))) {
            for (int32 i = 0; i < fButtonCount; i++) {
                if (fShortcuts[i] && fShortcuts[i] == bytes[0] && fButtons[i]->IsEnabled()) {
                    fButtons[i]->Invoke();
                    return;
                }
            }
        }
    }
    BWindow::DispatchMessage(message, handler);
}

void BAlert::MessageReceived(BMessage* message) {
    if (message->what == kButtonPressed) {
        int32 which = message->GetInt32("which", -1);
        Answer(which);
        return;
    }
    BWindow::MessageReceived(message);
}

void BAlert::Answer(int32 index) {
    if (fAsync) {
        if (fInvoker) {
            BMessage copy(fInvoker->Message() ? *fInvoker->Message() : BMessage());
            copy.RemoveName("which");
            copy.AddInt32("which", index);
            fInvoker->Invoke(&copy);
        }
        fAnswer->Set(index);
        Quit();
        return;
    }
    fAnswer->Set(index);
    // A waiting thread that is not the window thread cannot close us: close here.
    if (!GuiHost::IsGuiThread() || !fAnswer)
        return;
    Hide();
}

int32 BAlert::Go() {
    std::shared_ptr<AlertPendingAnswer> answer = fAnswer;
    if (!GuiHost::HasDisplay()) {
        // Nobody can answer: report the text and take the first button.
        std::fprintf(stderr, "alert: %s\n", fTextView->Text());
        Lock();
        Quit();
        return 0;
    }
    PlaceOverMainWindow();
    if (GuiHost::IsGuiThread()) {
        Show();
        // Our own loop: only this alert's messages are dispatched meanwhile (the window
        // that asked is still inside its own dispatch); every window keeps drawing.
        while (true) {
            {
                std::lock_guard<std::mutex> guard(answer->lock);
                if (answer->answered)
                    break;
            }
            GuiHost::RunNested(this, 50000);
        }
        Lock();
        Quit();
        return answer->index < 0 ? 0 : answer->index;
    }
    BMessenger self(this);
    Show();
    set_thread_stop_callback([answer, self] {
        // Told to stop: the first button answers and the alert goes.
        BMessage pressed(kButtonPressed);
        pressed.AddInt32("which", 0);
        if (self.SendMessage(&pressed) != B_OK)
            answer->Set(0);
    });
    int32 result;
    {
        std::unique_lock<std::mutex> guard(answer->lock);
        answer->changed.wait(guard, [&] { return answer->answered; });
        result = answer->index < 0 ? 0 : answer->index;
    }
    set_thread_stop_callback(std::function<void()>());
    // The window thread closes the alert.
    BMessage quit(B_QUIT_REQUESTED);
    self.SendMessage(&quit);
    return result;
}

status_t BAlert::Go(BInvoker* invoker) {
    fInvoker.reset(invoker);
    fAsync = true;
    PlaceOverMainWindow();
    Show();
    return B_OK;
}

void BAlert::DrawIcon(BView* view, alert_type type, BPoint at) {
    rgb_color savedHigh = view->HighColor();
    drawing_mode savedMode = view->DrawingMode();
    BFont savedFont;
    view->GetFont(&savedFont);
    BRect box(at.x, at.y, at.x + 31, at.y + 31);
    BFont font(be_bold_font);
    font.SetSize(20);
    view->SetFont(&font);
    view->SetDrawingMode(B_OP_OVER);
    auto centred = [&](const char* mark, rgb_color color, float baseline) {
        view->SetHighColor(color);
        float w = font.StringWidth(mark);
        view->DrawString(mark, BPoint(std::floor(box.left + (32 - w) / 2), box.top + baseline));
    };
    switch (type) {
    case B_INFO_ALERT:
        view->SetHighColor(0, 0, 0);
        view->FillEllipse(box);
        view->SetHighColor(80, 120, 220);
        view->FillEllipse(box.InsetByCopy(1, 1));
        centred("i", rgb_color{255, 255, 255, 255}, 24);
        break;
    case B_IDEA_ALERT:
        view->SetHighColor(0, 0, 0);
        view->FillEllipse(BRect(box.left + 4, box.top, box.right - 4, box.bottom - 8));
        view->SetHighColor(255, 230, 60);
        view->FillEllipse(BRect(box.left + 5, box.top + 1, box.right - 5, box.bottom - 9));
        view->SetHighColor(120, 120, 120);
        view->FillRect(BRect(box.left + 11, box.bottom - 8, box.right - 11, box.bottom));
        view->SetHighColor(0, 0, 0);
        view->StrokeLine(BPoint(box.left + 11, box.bottom - 5),
                         BPoint(box.right - 11, box.bottom - 5));
        break;
    case B_WARNING_ALERT:
        view->SetHighColor(0, 0, 0);
        view->FillTriangle(BPoint(box.left + 15.5f, box.top), BPoint(box.left, box.bottom),
                           BPoint(box.right, box.bottom));
        view->SetHighColor(255, 210, 0);
        view->FillTriangle(BPoint(box.left + 15.5f, box.top + 3),
                           BPoint(box.left + 3, box.bottom - 1),
                           BPoint(box.right - 3, box.bottom - 1));
        centred("!", rgb_color{0, 0, 0, 255}, 28);
        break;
    case B_STOP_ALERT: {
        view->SetHighColor(0, 0, 0);
        view->FillEllipse(box);
        view->SetHighColor(210, 30, 30);
        view->FillEllipse(box.InsetByCopy(1, 1));
        view->SetHighColor(255, 255, 255);
        view->FillRect(BRect(box.left + 7, box.top + 13, box.right - 7, box.bottom - 13));
        break;
    }
    case B_EMPTY_ALERT:
        break;
    }
    view->SetFont(&savedFont);
    view->SetHighColor(savedHigh);
    view->SetDrawingMode(savedMode);
}
