#include "package/CustomFolder.h"

#include <cstdio>
#include <string>
#include <vector>

#include "platform/app/Message.h"

namespace {

constexpr const char* kName = "custom_folder_name";
constexpr const char* kRootDir = "custom_root_dir";
constexpr const char* kSubDir = "custom_sub_dir";
constexpr const char* kReplace = "custom_replace_existing";

std::string PrefKey(const char* base, int32 index) {
    char key[64];
    snprintf(key, sizeof(key), "%s_%ld", base, (long)index);
    return key;
}

// The ';'-terminated fields of an attribute text. A last field without its ';' still
// counts; nothing after the fourth field matters.
std::vector<std::string> SplitFields(const char* text) {
    std::vector<std::string> fields;
    std::string field;
    bool open = false;
    for (const char* c = text; *c != '\0'; ++c) {
        if (*c == ';') {
            fields.push_back(field);
            field.clear();
            open = false;
        } else {
            field += *c;
            open = true;
        }
    }
    if (open)
        fields.push_back(field);
    return fields;
}

} // namespace

CustomFolder::CustomFolder() : fParent(0), fReplace(true), fCommon(false) {}

CustomFolder::CustomFolder(const char* name)
    : fName(name != nullptr ? name : ""), fParent(0), fReplace(true), fCommon(false) {}

CustomFolder::CustomFolder(const CustomFolder& other)
    : fName(other.fName), fParent(other.fParent), fSubFolder(other.fSubFolder),
      fReplace(other.fReplace), fCommon(other.fCommon) {}

CustomFolder::~CustomFolder() {}

CustomFolder& CustomFolder::operator=(const CustomFolder& other) {
    if (this != &other) {
        fName = other.fName;
        fParent = other.fParent;
        fSubFolder = other.fSubFolder;
        fReplace = other.fReplace;
        fCommon = other.fCommon;
    }
    return *this;
}

bool CustomFolder::operator==(const CustomFolder& other) const {
    return fName.Compare(other.fName) == 0;
}

bool CustomFolder::operator>(const CustomFolder& other) const {
    return fName.Compare(other.fName) > 0;
}

void CustomFolder::SetName(const char* name) {
    fName = name != nullptr ? name : "";
}

void CustomFolder::ParentFolder(const directory_which& which) {
    fParent = which;
}

void CustomFolder::SubFolder(const char* path) {
    fSubFolder = path != nullptr ? path : "";
}

void CustomFolder::Replace(const bool& replace) {
    fReplace = replace;
}

void CustomFolder::CommonDef(const bool& common) {
    fCommon = common;
}

LibString CustomFolder::AttrDescription() const {
    std::string text = fName.String();
    text += ';';
    text += std::to_string(fParent);
    text += ';';
    text += fSubFolder.String();
    text += ';';
    text += fReplace ? '1' : '0';
    text += ';';
    return LibString(text.c_str());
}

bool CustomFolder::SetFromAttrDescription(const LibString& text) {
    const std::vector<std::string> fields = SplitFields(text.String());
    if (fields.size() < 4)
        return false;
    int32 parent = 0;
    int32 replace = 0;
    if (!LibString(fields[1].c_str()).GetInt32(parent) ||
        !LibString(fields[3].c_str()).GetInt32(replace))
        return false;
    fName = fields[0].c_str();
    fParent = parent;
    fSubFolder = fields[2].c_str();
    fReplace = replace != 0;
    return true;
}

void CustomFolder::Write(BMessage& message) const {
    message.AddString(kName, fName.String());
    message.AddInt32(kRootDir, fParent);
    message.AddString(kSubDir, fSubFolder.String());
    message.AddBool(kReplace, fReplace);
}

void CustomFolder::Read(const BMessage& message) {
    const char* text = nullptr;
    fName = message.FindString(kName, 0, &text) == B_OK ? text : "";
    int32 parent = 0;
    fParent = message.FindInt32(kRootDir, 0, &parent) == B_OK ? parent : 0;
    text = nullptr;
    fSubFolder = message.FindString(kSubDir, 0, &text) == B_OK ? text : "";
    bool replace = false;
    fReplace = message.FindBool(kReplace, 0, &replace) == B_OK && replace;
}

void CustomFolder::WritePref(const int32& index, BMessage& message) const {
    message.AddString(PrefKey("custom_folder_name", index).c_str(), fName.String());
    message.AddInt32(PrefKey("custom_folder_parent", index).c_str(), fParent);
    message.AddString(PrefKey("custom_folder_sub_dir", index).c_str(), fSubFolder.String());
    message.AddBool(PrefKey("custom_folder_replace", index).c_str(), fReplace);
}

void CustomFolder::ReadPref(const int32& index, BMessage& message) {
    const char* text = nullptr;
    fName =
        message.FindString(PrefKey("custom_folder_name", index).c_str(), &text) == B_OK ? text : "";
    int32 parent = 0;
    fParent = message.FindInt32(PrefKey("custom_folder_parent", index).c_str(), &parent) == B_OK
                  ? parent
                  : 0;
    text = nullptr;
    fSubFolder = message.FindString(PrefKey("custom_folder_sub_dir", index).c_str(), &text) == B_OK
                     ? text
                     : "";
    bool replace = false;
    fReplace =
        message.FindBool(PrefKey("custom_folder_replace", index).c_str(), &replace) == B_OK &&
        replace;
}

void CustomFolder::PrintToStream() const {
    fprintf(stderr, "CustomFolder name (%s), sub (%s), replace %d, common %d\n", fName.String(),
            fSubFolder.String(), fReplace ? 1 : 0, fCommon ? 1 : 0);
}
