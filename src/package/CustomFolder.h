#pragma once

#include "lib/LibString.h"
#include "platform/storage/FindDirectory.h"
#include "platform/support/SupportDefs.h"

class BMessage;

// A named destination that a package defines for itself: a folder below one of the
// platform's standard folders. Install records name it in "destination" and "link".
//
// Three serial forms:
//  - the message form stored in the configuration ("custom_folder_name",
//    "custom_root_dir", "custom_sub_dir", "custom_replace_existing");
//  - the preference form with numbered keys ("custom_folder_name_<i>", ...);
//  - the attribute form, one text "name;parent;sub;replace;".
class CustomFolder {
public:
    CustomFolder();
    explicit CustomFolder(const char* name);
    CustomFolder(const CustomFolder& other);
    virtual ~CustomFolder();

    CustomFolder& operator=(const CustomFolder& other);
    // Definitions are the same when their names are equal, letter case counting.
    bool operator==(const CustomFolder& other) const;
    bool operator>(const CustomFolder& other) const;

    void SetName(const char* name);
    void ParentFolder(const directory_which& which);
    void SubFolder(const char* path);
    void Replace(const bool& replace);
    void CommonDef(const bool& common);

    const char* Name() const { return fName; }
    // The parent as stored: a number that the configuration may fill with anything, so
    // resolvers check it before they treat it as a standard folder.
    int32 ParentFolderNumber() const { return fParent; }
    directory_which ParentFolder() const { return static_cast<directory_which>(fParent); }
    const char* SubFolder() const { return fSubFolder; }
    bool Replace() const { return fReplace; }
    bool CommonDef() const { return fCommon; }

    // "name;parent;sub;replace;" with the replace flag as 0 or 1.
    LibString AttrDescription() const;
    // Reads the attribute form back. Returns false, leaving the definition unchanged,
    // when the text does not hold the four fields or the parent is not a number.
    bool SetFromAttrDescription(const LibString& text);

    void Write(BMessage& message) const;
    // Index 0 of each key; missing keys read as empty text, 0 and false.
    void Read(const BMessage& message);

    void WritePref(const int32& index, BMessage& message) const;
    void ReadPref(const int32& index, BMessage& message);

    // "CustomFolder name (%s), sub (%s), replace %d, common %d" on standard error.
    void PrintToStream() const;

private:
    LibString fName;
    int32 fParent;
    LibString fSubFolder;
    bool fReplace;
    bool fCommon;
};
