#pragma once

#include "lib/LibString.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"

class BMessage;

// The resources of the running program's own executable (or of a named file), read
// by name: catalogue texts and archived bitmaps.
class xResources : public BResources {
public:
    // Opens the running program's executable with the given open mode. When the file
    // cannot be opened the container stays unset and every look-up finds nothing.
    explicit xResources(const uint32& openMode);
    xResources(const char* path, const uint32& openMode);
    virtual ~xResources();

    bool IsOpen() const { return fOpen; }

    // The 'CSTR' resource of that name as text; empty when there is none.
    LibString GetString(const char* name);
    // The 'BBMP' resource of that name unflattened into an archived bitmap message;
    // false when there is none or its bytes are not a message. The window's controls
    // instantiate the bitmap from the archive.
    bool GetBitmapArchive(const char* name, BMessage& archive);

    void Close();

private:
    BFile fFile;
    bool fOpen;
};
