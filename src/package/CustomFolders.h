#pragma once

#include "lib/LinkList.h"
#include "package/CustomFolder.h"

class BMessage;

// The custom folder definitions of a package or of the builder's preferences, in
// insertion order. The first definition of a name is the one that counts.
class CustomFolders : public LinkList<CustomFolder> {
public:
    CustomFolders();
    virtual ~CustomFolders();

    bool IsCustom(const char* name);
    CustomFolder* Find(const char* name);
    int32 CountCommonCustom();

    // The message form: one "custom_folder" message per definition, as the package
    // configuration's "custom_folder" container holds them.
    void Write(BMessage& container);
    // Replaces the list by the definitions of such a container.
    void Read(const BMessage& container);

    // The preference form of one set: the user's definitions (user true) or the
    // common ones, numbered from 0 in list order, with "custom_folder_qty".
    void WritePref(BMessage& message, bool user);
    // Reads a set written by WritePref. When the common set is read, a definition
    // already in the list under the same name gets " Renamed" appended first.
    void ReadPref(BMessage& message, bool user);

    void PrintToStream();
};
