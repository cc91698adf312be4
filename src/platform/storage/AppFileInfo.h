#pragma once

// Application information of an executable: signature, flags, supported types and
// version records. Everything is kept in attributes of the file, never in its data, so
// a running program can record its own version without rewriting itself.

#include "platform/storage/NodeInfo.h"

class BFile;
class BMessage;
class BMimeType;

enum version_kind { B_APP_VERSION_KIND = 0, B_SYSTEM_VERSION_KIND = 1 };

struct version_info {
    uint32 major;
    uint32 middle;
    uint32 minor;
    uint32 variety;
    uint32 internal;
    char short_info[64];
    char long_info[256];
};

// Attribute names (see docs/platform.md). The signature is a NUL-free string attribute
// so that other programs (and `getfattr`) can read it.
inline constexpr const char* B_APP_SIGNATURE_ATTR = "app_signature";
inline constexpr const char* B_APP_FLAGS_ATTR = "app_flags";
inline constexpr const char* B_APP_VERSION_ATTR = "app_version";
inline constexpr const char* B_APP_SUPPORTED_TYPES_ATTR = "supported_types";

class BAppFileInfo : public BNodeInfo {
public:
    BAppFileInfo();
    BAppFileInfo(BFile* file);
    ~BAppFileInfo() override;

    status_t SetTo(BFile* file);

    status_t GetSignature(char* signature) const; // B_MIME_TYPE_LENGTH bytes
    status_t SetSignature(const char* signature);
    status_t GetAppFlags(uint32* flags) const;
    status_t SetAppFlags(uint32 flags);

    // The supported types as a message with the strings under "types".
    status_t GetSupportedTypes(BMessage* types) const;
    status_t SetSupportedTypes(const BMessage* types, bool syncAll = false);
    bool IsSupportedType(const char* type) const;
    bool Supports(BMimeType* type) const;

    // Both kinds are stored together, little-endian, 340 bytes each.
    status_t GetVersionInfo(version_info* info, version_kind kind) const;
    status_t SetVersionInfo(const version_info* info, version_kind kind);

private:
    BFile* fFile;
};
