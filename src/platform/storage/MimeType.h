#pragma once

// MIME type strings, the sniffer, and a small type database of our own under
// $XDG_DATA_HOME/tarnwhistle/mime (preferred application and descriptions of a type);
// the desktop's own settings are never touched.

#include <string>

#include "platform/storage/Mime.h"

struct entry_ref;

class BMimeType {
public:
    BMimeType();
    BMimeType(const char* type);
    ~BMimeType();

    status_t SetTo(const char* type);
    void Unset();
    status_t InitCheck() const;

    const char* Type() const; // null when unset
    bool IsValid() const;
    bool IsSupertypeOnly() const;
    status_t GetSupertype(BMimeType* supertype) const;
    bool Contains(const BMimeType* type) const;
    bool operator==(const BMimeType& other) const; // case-insensitive, as MIME types are
    bool operator==(const char* other) const;

    // The type database.
    bool IsInstalled() const;
    status_t Install();
    status_t Delete();
    status_t GetPreferredApp(char* signature, app_verb verb = B_OPEN) const;
    status_t SetPreferredApp(const char* signature, app_verb verb = B_OPEN);
    // Buffers hold B_MIME_TYPE_LENGTH bytes. Known types have built-in descriptions.
    status_t GetShortDescription(char* description) const;
    status_t SetShortDescription(const char* description);
    status_t GetLongDescription(char* description) const;
    status_t SetLongDescription(const char* description);

    static bool IsValid(const char* type);

    // The file that records the type in the user's type database ("" for an invalid type).
    std::string DatabaseFile() const;

    // The sniffer: by content first, then by name.
    static status_t GuessMimeType(const entry_ref* file, BMimeType* type);
    static status_t GuessMimeType(const void* buffer, int32 length, BMimeType* type);
    static status_t GuessMimeType(const char* filename, BMimeType* type);

private:
    status_t ReadField(const char* key, std::string* value) const;
    status_t WriteField(const char* key, const char* value);

    std::string fType;
    status_t fStatus;
};
