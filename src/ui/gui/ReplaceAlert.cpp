#include "ui/gui/ReplaceAlert.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "files/LibAppResource.h"
#include "files/LibFileOps.h"
#include "lib/ByteText.h"
#include "lib/LibDateTime.h"
#include "lib/LibLocaleDateTime.h"
#include "platform/app/Message.h"
#include "platform/interface/gui/CheckBox.h"
#include "platform/interface/gui/StringView.h"
#include "platform/interface/gui/TextView.h"
#include "platform/storage/Entry.h"
#include "platform/storage/Mime.h"
#include "platform/storage/Path.h"
#include "ui/ReplaceTexts.h"
#include "ui/gui/BitmapView.h"
#include "ui/gui/LibRect.h"
#include "ui/gui/LibStringView.h"

namespace {

constexpr float kRowHeight = 15;
constexpr float kLabelLeft = 40;
constexpr float kLabelWidth = 65;
constexpr float kValueLeft = 110;
constexpr float kValueWidth = 150;
constexpr float kPathWidth = 135;
constexpr float kFontSize = 10;

std::string SizeText(int64 bytes) {
    return ByteText(uint64(bytes < 0 ? 0 : bytes));
}

LibLocaleDate::LanguageType DateLanguage(const char* code) {
    if (code == nullptr)
        return LibLocaleDate::LIB_ENGLISH;
    if (std::strcmp(code, "fr") == 0)
        return LibLocaleDate::LIB_FRENCH;
    if (std::strcmp(code, "de") == 0)
        return LibLocaleDate::LIB_GERMAN;
    if (std::strcmp(code, "es") == 0)
        return LibLocaleDate::LIB_SPANISH;
    return LibLocaleDate::LIB_ENGLISH;
}

BStringView* AddText(BView* parent, BRect frame, const char* name, const char* text) {
    auto* view = new BStringView(frame, name, text, B_FOLLOW_LEFT | B_FOLLOW_TOP);
    view->SetFontSize(kFontSize);
    parent->AddChild(view);
    return view;
}

std::string DateText(const LibLocaleDateTime& formatter, time_t when) {
    if (when <= 0)
        return "";
    LibDateTime value;
    value.SetDateTime(int32(when), true);
    return formatter.Format(value).String();
}

} // namespace

ReplaceAlert::ReplaceAlert(const char* newPath, const char* existingPath, bool showApplyToAll,
                           const char* language, std::shared_ptr<bool> applyToAll)
    : BAlert("ReplaceAlert", ReplaceQuestion(existingPath, language).c_str(),
             ReplaceTextsFor(language).dontReplace, ReplaceTextsFor(language).replace, nullptr,
             B_WIDTH_FROM_WIDEST, B_WARNING_ALERT),
      fApplyToAll(applyToAll != nullptr ? std::move(applyToAll) : std::make_shared<bool>(false)),
      fTexts(&ReplaceTextsFor(language)) {
    *fApplyToAll = false;
    SetShortcut(0, 'd');
    SetShortcut(1, 'r');

    Lock();
    // Wider than a plain alert, so that the dates of the right-hand column are shown whole.
    float growth = showApplyToAll ? kGrowthWithBox : kGrowthWithoutBox;
    ResizeBy(kExtraWidth, growth);
    MoveBy(-kExtraWidth / 2, -std::floor(growth / 3));
    BView* parent = TextView();

    LibLocaleDateTime formatter;
    formatter.SetFormat("W, M D Y");
    formatter.SetLanguage(DateLanguage(language));
    formatter.SetSeperator(", ");
    formatter.SetShowSeconds(true);

    // The entry that is there, then the one that would replace it.
    parent->AddChild(new BitmapView(BPoint(0, 65), "to_image", existingPath));
    float bottom = AddFacts(parent, "to", existingPath, 35, kValueWidth, formatter);
    AddText(parent, LibRect(0, bottom, 50, kRowHeight), "with", fTexts->separator);
    float separatorBottom = bottom + kRowHeight;
    parent->AddChild(new BitmapView(BPoint(0, separatorBottom + 30), "from_image", newPath));
    bottom = AddFacts(parent, "from", newPath, separatorBottom, 220, formatter);

    if (showApplyToAll) {
        fBox = new BCheckBox(LibRect(0, bottom + 5, 300, kRowHeight), "future_collisions",
                             fTexts->applyToAll, new BMessage(kApplyToAllToggled),
                             B_FOLLOW_LEFT | B_FOLLOW_TOP, B_WILL_DRAW | B_NAVIGABLE);
        fBox->SetFontSize(kFontSize);
        fBox->SetTarget(this);
        parent->AddChild(fBox);
    }
    Unlock();
}

ReplaceAlert::~ReplaceAlert() = default;

float ReplaceAlert::AddFacts(BView* parent, const char* side, const char* path, float top,
                             float modifiedWidth, const LibLocaleDateTime& formatter) {
    // Links are described as themselves, not as what they point to.
    BEntry entry(path, false);
    time_t created = 0, modified = 0;
    entry.GetCreationTime(&created);
    entry.GetModificationTime(&modified);
    entry_ref ref;
    entry.GetRef(&ref);
    char kind[B_MIME_TYPE_LENGTH] = {};
    if (entry.Exists())
        LibGetMimeType(ref, kind, true);
    BPath folder(path);
    BPath parentFolder;
    std::string folderText;
    if (folder.InitCheck() == B_OK && folder.GetParent(&parentFolder) == B_OK)
        folderText = parentFolder.Path();
    std::string size = entry.Exists() ? SizeText(LibEntrySize(path, false)) : "";

    struct Row {
        const char* name;
        const char* label;
        std::string value;
        float width;
    } rows[] = {
        {"creation", fTexts->created, DateText(formatter, created), kValueWidth},
        {"modified", fTexts->modified, DateText(formatter, modified), modifiedWidth},
        {"size", fTexts->size, size, kValueWidth},
        {"kind", fTexts->kind, kind, kValueWidth},
        {"path", fTexts->path, folderText, kPathWidth},
        {"version", fTexts->version, LibGetAppVersion(path).String(), kValueWidth},
    };
    // A language whose labels are wider than their column moves the values to the right;
    // they keep their right ends.
    BFont font(be_plain_font);
    font.SetSize(kFontSize);
    float labelWidth = kLabelWidth;
    for (const Row& row : rows)
        labelWidth = std::max(labelWidth, std::ceil(font.StringWidth(row.label)) + 1);
    float shift = labelWidth - kLabelWidth;
    for (const Row& row : rows) {
        std::string name = std::string(side) + "_" + row.name;
        AddText(parent, LibRect(kLabelLeft, top, labelWidth, kRowHeight), (name + "_label").c_str(),
                row.label);
        BRect valueFrame = LibRect(kValueLeft + shift, top, row.width - shift, kRowHeight);
        if (std::strcmp(row.name, "path") == 0) {
            auto* value = new LibStringView(valueFrame, name.c_str(), "");
            value->SetFontSize(kFontSize);
            parent->AddChild(value);
            value->SetTruncatedText(row.value.c_str(), B_TRUNCATE_BEGINNING);
        } else {
            AddText(parent, valueFrame, name.c_str(), row.value.c_str());
        }
        top += kRowHeight;
    }
    return top;
}

void ReplaceAlert::MessageReceived(BMessage* message) {
    if (message->what == kApplyToAllToggled) {
        *fApplyToAll = fBox != nullptr && fBox->Value() == B_CONTROL_ON;
        return;
    }
    BAlert::MessageReceived(message);
}
