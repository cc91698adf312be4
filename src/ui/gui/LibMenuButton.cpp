#include "ui/gui/LibMenuButton.h"

#include "platform/interface/gui/Menu.h"
#include "platform/interface/gui/MenuItem.h"
#include "ui/gui/LibRect.h"

namespace {

constexpr float kHeight = 25;
constexpr float kBottomInset = 3;
// The menu field starts under the colon's right end.
constexpr float kMenuOverlap = 3;

} // namespace

LibMenuButton::LibMenuButton(const BPoint& where, const char* name, const char* label,
                             const float& labelWidth, const float& menuWidth,
                             const uint32& resizingMode, const int& fontSize, const bool& radioMode)
    : LibLabelControl(LibRect(where.x, where.y, labelWidth + menuWidth, kHeight), labelWidth, name,
                      label, kBottomInset, ":", resizingMode) {
    fMenu = new LibMenuField(LibRect(labelWidth - kMenuOverlap, 0, menuWidth, kHeight), "menu",
                             fontSize, radioMode);
    AddChild(fMenu);
}

LibMenuButton::~LibMenuButton() {}

void LibMenuButton::LabelWidened(float delta) {
    fMenu->MoveBy(delta, 0);
    fMenu->ResizeBy(-delta, 0);
}

void LibMenuButton::MakeFocus(bool focus) {
    fMenu->MakeFocus(focus);
}

void LibMenuButton::SetEnabled(bool enabled) {
    LibLabelControl::SetEnabled(enabled);
    fMenu->SetEnabled(enabled);
}

xMenuItem* LibMenuButton::AddItem(const char* label, BMessage* message, const int32& index) {
    return fMenu->Add(label, message, index);
}

xMenuItem* LibMenuButton::AddItem(const LibString& label, BMessage* message, const int32& index) {
    return fMenu->Add(label.String(), message, index);
}

void LibMenuButton::AddSeparatorItem() {
    fMenu->AddSeparatorItem();
}

void LibMenuButton::Clear() {
    fMenu->Clear();
}

int32 LibMenuButton::CountItems() const {
    return fMenu->CountItems();
}

void LibMenuButton::SetItem(const int32& index) {
    fMenu->SetItem(index);
}

void LibMenuButton::SetText(const char* label) {
    fMenu->SetText(label);
}

void LibMenuButton::SetText(const LibString& label) {
    fMenu->SetText(label.String());
}

int32 LibMenuButton::IndexOf(const char* label) const {
    return fMenu->IndexOf(label);
}

LibString LibMenuButton::Text() const {
    return fMenu->Text();
}

int32 LibMenuButton::CurrentSelection() const {
    return fMenu->CurrentSelection();
}

std::unique_ptr<BMenuItem> LibMenuButton::RemoveItem(const int32& index) {
    return fMenu->RemoveItem(index);
}

std::unique_ptr<BMenuItem> LibMenuButton::RemoveItem(const char* label) {
    return fMenu->RemoveItem(label);
}

bool LibMenuButton::IsItemEnabled(const int32& index) const {
    return fMenu->IsItemEnabled(index);
}

bool LibMenuButton::IsItemEnabled(const char* label) const {
    return fMenu->IsItemEnabled(label);
}

void LibMenuButton::SetEnableItem(const int32& index, const bool& enabled) {
    fMenu->SetEnableItem(index, enabled);
}

void LibMenuButton::SetEnableItem(const char* label, const bool& enabled) {
    fMenu->SetEnableItem(label, enabled);
}

bool LibMenuButton::InMenu(const char* label) const {
    return fMenu->InMenu(label);
}

void LibMenuButton::ReplaceItem(const char* label, const char* newLabel) {
    fMenu->Replace(label, newLabel);
}

void LibMenuButton::SetTo(const BMessage& message, const char* field, const uint32& command) {
    fMenu->SetTo(message, field, command);
}

void LibMenuButton::AddStdFolders(const bool& withSystemFolders, const uint32& command) {
    fMenu->AddStdFolders(withSystemFolders, command);
}

void LibMenuButton::AddEncodingChoices(const uint32& command) {
    fMenu->AddEncodingChoices(command);
}

void LibMenuButton::SetEncodingSelection(const int& encoding) {
    fMenu->SetEncodingSelection(encoding);
}

int LibMenuButton::CurrentEncodingSelected() const {
    return fMenu->CurrentEncodingSelected();
}

void LibMenuButton::SetTarget(BHandler* handler) {
    fMenu->Menu()->SetTargetForItems(handler);
}
