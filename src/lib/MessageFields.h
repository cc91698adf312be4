#pragma once

// Reading the fields of a record (a package's, the journal's, the deinstaller's): an
// absent field reads like an empty or false one.

#include <string>
#include <vector>

#include "platform/app/Message.h"

inline bool IsTrue(const BMessage& message, const char* key) {
    bool value = false;
    return message.FindBool(key, &value) == B_OK && value;
}

// The field's text at `index`; "" when it is absent.
inline std::string StringOf(const BMessage& message, const char* key, int32 index = 0) {
    const char* value = nullptr;
    if (message.FindString(key, index, &value) != B_OK || value == nullptr)
        return "";
    return value;
}

// Every text the field holds, in order.
inline std::vector<std::string> StringsOf(const BMessage& message, const char* key) {
    std::vector<std::string> values;
    const char* value = nullptr;
    for (int32 i = 0; message.FindString(key, i, &value) == B_OK; i++)
        values.push_back(value != nullptr ? value : "");
    return values;
}
