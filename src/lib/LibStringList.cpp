#include "lib/LibStringList.h"

#include <new>

LibStringList::LibStringList() {}

LibStringList::LibStringList(const LibStringList& other) : LinkList<LibString>(other) {}

LibStringList::~LibStringList() {}

bool LibStringList::Add(const char* text) {
    LibString* string = new (std::nothrow) LibString(text != nullptr ? text : "");
    if (string == nullptr)
        return false;
    if (!Insert(string)) {
        delete string;
        return false;
    }
    return true;
}

bool LibStringList::InList(const char* text) {
    if (text == nullptr)
        return false;
    LibString key(text);
    return LinkList<LibString>::InList(&key);
}

LibString* LibStringList::Find(const char* text, const bool& ignoreCase, const int& count) {
    if (text == nullptr)
        return nullptr;
    for (LibString* string : *this) {
        if (string != nullptr && string->CompareSub(text, ignoreCase, count, 0) == 0)
            return string;
    }
    return nullptr;
}

bool LibStringList::Remove(const char* text) {
    if (text == nullptr)
        return false;
    LibString key(text);
    return LinkList<LibString>::Remove(&key, false);
}

bool LibStringList::Remove(const LibString& text) {
    LibString key(text);
    return LinkList<LibString>::Remove(&key, false);
}

void LibStringList::PrintToStream() {
    for (LibString* string : *this) {
        if (string != nullptr)
            string->PrintToStream();
    }
}

LibStringList& LibStringList::operator=(const LibStringList& other) {
    LinkList<LibString>::operator=(other);
    return *this;
}
