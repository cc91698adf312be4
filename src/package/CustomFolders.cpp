#include "package/CustomFolders.h"

#include <string>

#include "platform/app/Message.h"

namespace {

constexpr const char* kDefinition = "custom_folder";
constexpr const char* kQuantity = "custom_folder_qty";

} // namespace

CustomFolders::CustomFolders() {}

CustomFolders::~CustomFolders() {}

bool CustomFolders::IsCustom(const char* name) {
    return Find(name) != nullptr;
}

CustomFolder* CustomFolders::Find(const char* name) {
    if (name == nullptr)
        return nullptr;
    // Compared by value here: looked up through the list's Get, the key's own address could
    // seem to come back.
    const CustomFolder key(name);
    for (CustomFolder* folder : *this) {
        if (*folder == key)
            return folder;
    }
    return nullptr;
}

int32 CustomFolders::CountCommonCustom() {
    int32 count = 0;
    for (const CustomFolder* folder : *this) {
        if (folder->CommonDef())
            ++count;
    }
    return count;
}

void CustomFolders::Write(BMessage& container) {
    for (const CustomFolder* folder : *this) {
        BMessage definition;
        folder->Write(definition);
        container.AddMessage(kDefinition, &definition);
    }
}

void CustomFolders::Read(const BMessage& container) {
    Clear();
    BMessage definition;
    for (int32 i = 0; container.FindMessage(kDefinition, i, &definition) == B_OK; ++i) {
        CustomFolder* folder = new CustomFolder();
        folder->Read(definition);
        Insert(folder);
    }
}

void CustomFolders::WritePref(BMessage& message, bool user) {
    const int32 common = CountCommonCustom();
    message.AddInt32(kQuantity, user ? Size() - common : common);
    int32 index = 0;
    for (const CustomFolder* folder : *this) {
        if (folder->CommonDef() == user)
            continue;
        folder->WritePref(index, message);
        ++index;
    }
}

void CustomFolders::ReadPref(BMessage& message, bool user) {
    int32 quantity = 0;
    if (message.FindInt32(kQuantity, &quantity) != B_OK)
        return;
    for (int32 i = 0; i < quantity; ++i) {
        // The count comes from a file; a set ends where its definitions end.
        const std::string nameKey = "custom_folder_name_" + std::to_string(i);
        if (!message.HasString(nameKey.c_str()))
            break;
        CustomFolder* folder = new CustomFolder();
        folder->ReadPref(i, message);
        if (!user) {
            CustomFolder* existing = Find(folder->Name());
            if (existing != nullptr) {
                LibString renamed(existing->Name());
                renamed += " Renamed";
                existing->SetName(renamed);
            }
        }
        folder->CommonDef(!user);
        Insert(folder);
    }
}

void CustomFolders::PrintToStream() {
    for (const CustomFolder* folder : *this)
        folder->PrintToStream();
}
