#include "platform/storage/AppFileInfo.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

#include "platform/app/Message.h"
#include "platform/storage/File.h"
#include "platform/storage/MimeType.h"

namespace {

constexpr size_t kVersionRecordSize = 5 * 4 + 64 + 256;

void PutU32(uint8* p, uint32 v) {
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8>(v >> (8 * i));
}

uint32 GetU32(const uint8* p) {
    return uint32(p[0]) | uint32(p[1]) << 8 | uint32(p[2]) << 16 | uint32(p[3]) << 24;
}

void Encode(const version_info& info, uint8* out) {
    PutU32(out, info.major);
    PutU32(out + 4, info.middle);
    PutU32(out + 8, info.minor);
    PutU32(out + 12, info.variety);
    PutU32(out + 16, info.internal);
    memcpy(out + 20, info.short_info, 64);
    memcpy(out + 84, info.long_info, 256);
    out[20 + 63] = 0;
    out[84 + 255] = 0;
}

void Decode(const uint8* in, version_info* info) {
    info->major = GetU32(in);
    info->middle = GetU32(in + 4);
    info->minor = GetU32(in + 8);
    info->variety = GetU32(in + 12);
    info->internal = GetU32(in + 16);
    memcpy(info->short_info, in + 20, 64);
    memcpy(info->long_info, in + 84, 256);
    // Stored bytes are not trusted to be terminated.
    info->short_info[63] = '\0';
    info->long_info[255] = '\0';
}

status_t ReadAll(const BNode* node, const char* name, std::vector<uint8>* out) {
    attr_info info;
    status_t status = node->GetAttrInfo(name, &info);
    if (status != B_OK)
        return status;
    out->resize(static_cast<size_t>(info.size));
    ssize_t got = node->ReadAttr(name, info.type, 0, out->data(), out->size());
    if (got < 0)
        return static_cast<status_t>(got);
    out->resize(static_cast<size_t>(got));
    return B_OK;
}

status_t Write(BNode* node, const char* name, type_code type, const void* data, size_t size) {
    ssize_t written = node->WriteAttr(name, type, 0, data, size);
    return written < 0 ? static_cast<status_t>(written) : B_OK;
}

} // namespace

BAppFileInfo::BAppFileInfo() : fFile(nullptr) {}

BAppFileInfo::BAppFileInfo(BFile* file) : fFile(nullptr) {
    SetTo(file);
}

BAppFileInfo::~BAppFileInfo() = default;

status_t BAppFileInfo::SetTo(BFile* file) {
    status_t status = BNodeInfo::SetTo(file);
    fFile = status == B_OK ? file : nullptr;
    return status;
}

status_t BAppFileInfo::GetSignature(char* signature) const {
    if (fStatus != B_OK)
        return fStatus;
    if (signature == nullptr)
        return B_BAD_VALUE;
    std::vector<uint8> bytes;
    status_t status = ReadAll(fFile, B_APP_SIGNATURE_ATTR, &bytes);
    if (status != B_OK)
        return status;
    std::string text(bytes.begin(), bytes.end());
    text = text.substr(0, text.find('\0'));
    if (text.empty() || text.size() >= B_MIME_TYPE_LENGTH)
        return B_BAD_DATA;
    memcpy(signature, text.c_str(), text.size() + 1);
    return B_OK;
}

status_t BAppFileInfo::SetSignature(const char* signature) {
    if (fStatus != B_OK)
        return fStatus;
    if (signature == nullptr) {
        status_t status = fFile->RemoveAttr(B_APP_SIGNATURE_ATTR);
        return status == B_ENTRY_NOT_FOUND ? B_OK : status;
    }
    if (!BMimeType::IsValid(signature))
        return B_BAD_VALUE;
    return Write(fFile, B_APP_SIGNATURE_ATTR, B_MIME_STRING_TYPE, signature, strlen(signature));
}

status_t BAppFileInfo::GetAppFlags(uint32* flags) const {
    if (fStatus != B_OK)
        return fStatus;
    if (flags == nullptr)
        return B_BAD_VALUE;
    std::vector<uint8> bytes;
    status_t status = ReadAll(fFile, B_APP_FLAGS_ATTR, &bytes);
    if (status != B_OK)
        return status;
    if (bytes.size() != 4)
        return B_BAD_DATA;
    *flags = GetU32(bytes.data());
    return B_OK;
}

status_t BAppFileInfo::SetAppFlags(uint32 flags) {
    if (fStatus != B_OK)
        return fStatus;
    uint8 bytes[4];
    PutU32(bytes, flags);
    return Write(fFile, B_APP_FLAGS_ATTR, B_APP_FLAGS_TYPE, bytes, sizeof bytes);
}

status_t BAppFileInfo::GetSupportedTypes(BMessage* types) const {
    if (fStatus != B_OK)
        return fStatus;
    if (types == nullptr)
        return B_BAD_VALUE;
    std::vector<uint8> bytes;
    status_t status = ReadAll(fFile, B_APP_SUPPORTED_TYPES_ATTR, &bytes);
    if (status != B_OK)
        return status;
    return types->Unflatten(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

status_t BAppFileInfo::SetSupportedTypes(const BMessage* types, bool) {
    if (fStatus != B_OK)
        return fStatus;
    if (types == nullptr) {
        status_t status = fFile->RemoveAttr(B_APP_SUPPORTED_TYPES_ATTR);
        return status == B_ENTRY_NOT_FOUND ? B_OK : status;
    }
    const char* type = nullptr;
    for (int32 i = 0; types->FindString("types", i, &type) == B_OK; ++i)
        if (!BMimeType::IsValid(type))
            return B_BAD_VALUE;
    std::string flat;
    status_t status = types->Flatten(&flat);
    if (status != B_OK)
        return status;
    return Write(fFile, B_APP_SUPPORTED_TYPES_ATTR, B_MESSAGE_TYPE, flat.data(), flat.size());
}

bool BAppFileInfo::IsSupportedType(const char* type) const {
    BMimeType wanted(type);
    if (wanted.InitCheck() != B_OK)
        return false;
    BMessage types;
    if (GetSupportedTypes(&types) != B_OK)
        return false;
    const char* supported = nullptr;
    for (int32 i = 0; types.FindString("types", i, &supported) == B_OK; ++i) {
        BMimeType candidate(supported);
        if (candidate.Contains(&wanted))
            return true;
    }
    return false;
}

bool BAppFileInfo::Supports(BMimeType* type) const {
    return type != nullptr && type->Type() != nullptr && IsSupportedType(type->Type());
}

status_t BAppFileInfo::GetVersionInfo(version_info* info, version_kind kind) const {
    if (fStatus != B_OK)
        return fStatus;
    if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
        return B_BAD_VALUE;
    std::vector<uint8> bytes;
    status_t status = ReadAll(fFile, B_APP_VERSION_ATTR, &bytes);
    if (status != B_OK)
        return status;
    size_t offset = kind == B_APP_VERSION_KIND ? 0 : kVersionRecordSize;
    if (bytes.size() < offset + kVersionRecordSize)
        return bytes.size() == kVersionRecordSize ? static_cast<status_t>(B_ENTRY_NOT_FOUND)
                                                  : static_cast<status_t>(B_BAD_DATA);
    Decode(bytes.data() + offset, info);
    return B_OK;
}

status_t BAppFileInfo::SetVersionInfo(const version_info* info, version_kind kind) {
    if (fStatus != B_OK)
        return fStatus;
    if (info == nullptr || (kind != B_APP_VERSION_KIND && kind != B_SYSTEM_VERSION_KIND))
        return B_BAD_VALUE;
    // Both records live in one attribute; the other kind is kept as it was.
    std::vector<uint8> bytes(2 * kVersionRecordSize, 0);
    std::vector<uint8> existing;
    if (ReadAll(fFile, B_APP_VERSION_ATTR, &existing) == B_OK)
        std::copy_n(existing.begin(), std::min(existing.size(), bytes.size()), bytes.begin());
    Encode(*info, bytes.data() + (kind == B_APP_VERSION_KIND ? 0 : kVersionRecordSize));
    return Write(fFile, B_APP_VERSION_ATTR, B_VERSION_INFO_TYPE, bytes.data(), bytes.size());
}
