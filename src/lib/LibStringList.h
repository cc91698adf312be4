#pragma once

// A list of strings (MIME types, supported types, file lists). Strings compare exactly,
// case included.

#include "lib/LibString.h"
#include "lib/LinkList.h"

class BMessage;

class LibStringList : public LinkList<LibString> {
public:
    LibStringList();
    LibStringList(const LibStringList& other);
    ~LibStringList() override;

    using LinkList<LibString>::InList;
    using LinkList<LibString>::Remove;

    bool Add(const char* text);
    bool InList(const char* text);
    // The first string whose first count bytes (-1: all) equal text; owned by the list.
    LibString* Find(const char* text, const bool& ignoreCase = false, const int& count = -1);
    bool Remove(const char* text);
    bool Remove(const LibString& text);

    // Adds every string of the message's field, index 0 upwards.
    void Append(const BMessage& message, const char* field);
    // Replaces the list by the message's field when it holds at least one string.
    void SetTo(const BMessage& message, const char* field);
    // Adds every string of the list to the message's field, in order.
    void GetFrom(BMessage& message, const char* field);

    void PrintToStream();
    LibStringList& operator=(const LibStringList& other);
};
