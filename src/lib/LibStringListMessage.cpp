// The string list's exchange with messages: one string field, index 0 upwards.

#include "lib/LibStringList.h"

#include "platform/app/Message.h"

void LibStringList::Append(const BMessage& message, const char* field) {
    if (field == nullptr)
        return;
    const char* text = nullptr;
    for (int32 index = 0; message.FindString(field, index, &text) == B_OK; index++)
        Add(text);
}

void LibStringList::SetTo(const BMessage& message, const char* field) {
    const char* text = nullptr;
    if (field == nullptr || message.FindString(field, 0, &text) != B_OK)
        return;
    Clear();
    Append(message, field);
}

void LibStringList::GetFrom(BMessage& message, const char* field) {
    if (field == nullptr)
        return;
    for (LibString* string : *this) {
        if (string != nullptr)
            message.AddString(field, static_cast<const char*>(*string) != nullptr
                                         ? static_cast<const char*>(*string)
                                         : "");
    }
}
