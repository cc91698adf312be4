#pragma once

// Reading one field of a package record: absent and present-but-false read alike.

#include <string>

#include "platform/app/Message.h"

inline bool IsTrue(const BMessage& message, const char* key) {
    bool value = false;
    return message.FindBool(key, &value) == B_OK && value;
}

// The field's text; "" when it is absent.
inline std::string StringOf(const BMessage& message, const char* key) {
    const char* value = nullptr;
    if (message.FindString(key, &value) != B_OK || value == nullptr)
        return "";
    return value;
}
