#include "ui/gui/GuiFrontend.h"

#include <memory>
#include <mutex>

#include "platform/interface/gui/Alert.h"
#include "platform/interface/gui/Button.h"
#include "platform/interface/gui/GuiHost.h"
#include "ui/gui/ReplaceAlert.h"

namespace {

std::mutex gProductNameLock;
std::string gProductName = "Tarnwhistle";

// An alert the design leaves untitled (and the replace question, whose title is only its
// name) is titled with the product's name; one that brings its own title keeps it.
void TitleWithProductName(BAlert* alert, const std::string& ownTitle = std::string()) {
    std::string title = ownTitle.empty() ? GuiFrontend::ProductName() : ownTitle;
    alert->Lock();
    alert->SetTitle(title.c_str());
    alert->Unlock();
}

alert_type AlertType(FrontendIcon icon) {
    switch (icon) {
    case FrontendIcon::Info:
        return B_INFO_ALERT;
    case FrontendIcon::Idea:
        return B_IDEA_ALERT;
    case FrontendIcon::Warning:
        return B_WARNING_ALERT;
    case FrontendIcon::Stop:
        return B_STOP_ALERT;
    case FrontendIcon::None:
        break;
    }
    return B_EMPTY_ALERT;
}

// A question of the installation worker floats above the window without blocking it, so
// that the user can still stop the run; one asked by the window itself keeps it modal.
void FloatUnlessAskedByTheWindow(BAlert* alert) {
    if (GuiHost::IsGuiThread())
        return;
    alert->Lock();
    alert->SetFeel(B_FLOATING_APP_WINDOW_FEEL);
    alert->Unlock();
}

} // namespace

void GuiFrontend::SetProductName(const std::string& name) {
    std::lock_guard<std::mutex> guard(gProductNameLock);
    gProductName = name;
}

std::string GuiFrontend::ProductName() {
    std::lock_guard<std::mutex> guard(gProductNameLock);
    return gProductName;
}

FrontendAnswer GuiFrontend::Ask(const FrontendRequest& request) {
    FrontendAnswer answer;
    if (request.isReplace) {
        auto applyToAll = std::make_shared<bool>(false);
        auto* alert = new ReplaceAlert(request.newPath.c_str(), request.existingPath.c_str(),
                                       request.hasBox, request.language.c_str(), applyToAll);
        TitleWithProductName(alert);
        FloatUnlessAskedByTheWindow(alert);
        answer.button = alert->Go();
        answer.boxChecked = request.hasBox && *applyToAll;
        return answer;
    }

    // An alert has room for three buttons; a question with none gets "OK".
    const char* labels[3] = {nullptr, nullptr, nullptr};
    size_t count = request.buttons.size() < 3 ? request.buttons.size() : 3;
    for (size_t i = 0; i < count; i++)
        labels[i] = request.buttons[i].c_str();
    if (labels[0] == nullptr)
        labels[0] = "OK";
    auto* alert = new BAlert(request.title.c_str(), request.text.c_str(), labels[0], labels[1],
                             labels[2], B_WIDTH_AS_USUAL, AlertType(request.icon));
    for (size_t i = 0; i < count && i < request.shortcuts.size(); i++)
        if (request.shortcuts[i] != 0)
            alert->SetShortcut(int32(i), request.shortcuts[i]);
    if (request.defaultButton >= 0 && size_t(request.defaultButton) < count) {
        alert->ButtonAt(int32(count) - 1)->MakeDefault(false);
        alert->ButtonAt(request.defaultButton)->MakeDefault(true);
    }
    TitleWithProductName(alert, request.title);
    FloatUnlessAskedByTheWindow(alert);
    if (!request.waits) {
        alert->Go(nullptr);
        return answer;
    }
    answer.button = alert->Go();
    if (answer.button < 0)
        answer.button = 0;
    return answer;
}
