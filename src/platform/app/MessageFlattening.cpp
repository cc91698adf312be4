// The flattened form of a message: writing it, and reading it back from bytes that may
// come from anywhere (every length checked against what is there).

#include <bit>
#include <cstring>
#include <limits>
#include <new>

#include "platform/app/Message.h"
#include "platform/app/MessageReader.h"

namespace {

constexpr char kMagic[4] = {'T', 'W', 'M', 'G'};
constexpr uint16 kVersion = 1;
constexpr size_t kHeaderSize = 20;
constexpr size_t kFieldHeaderSize = 12;
constexpr uint8 kFieldFixedSize = 0x01;

void PutU16(std::string& out, uint16 value) {
    out.append(reinterpret_cast<const char*>(&value), 2);
}

void PutU32(std::string& out, uint32 value) {
    out.append(reinterpret_cast<const char*>(&value), 4);
}

} // namespace

// Flattening.

ssize_t BMessage::FlattenedSize() const {
    uint64 size = kHeaderSize;
    for (const Field& field : fFields) {
        size += kFieldHeaderSize + field.name.size();
        for (const Value& value : field.values)
            size += 4 + static_cast<uint64>(value.size);
    }
    if (size > std::numeric_limits<uint32>::max())
        return B_NO_MEMORY;
    return static_cast<ssize_t>(size);
}

status_t BMessage::Flatten(std::string* out) const {
    if (out == nullptr)
        return B_BAD_VALUE;
    ssize_t size = FlattenedSize();
    if (size < 0)
        return static_cast<status_t>(size);
    std::string flat;
    try {
        flat.reserve(static_cast<size_t>(size));
    } catch (const std::bad_alloc&) {
        return B_NO_MEMORY;
    }
    flat.append(kMagic, 4);
    PutU16(flat, kVersion);
    PutU16(flat, 0);
    PutU32(flat, what);
    PutU32(flat, static_cast<uint32>(fFields.size()));
    PutU32(flat, static_cast<uint32>(size));
    for (const Field& field : fFields) {
        PutU32(flat, field.type);
        flat.push_back(static_cast<char>(field.fixedSize ? kFieldFixedSize : 0));
        flat.push_back('\0');
        PutU16(flat, static_cast<uint16>(field.name.size()));
        PutU32(flat, static_cast<uint32>(field.values.size()));
        flat.append(field.name);
        for (const Value& value : field.values) {
            PutU32(flat, static_cast<uint32>(value.size));
            flat.append(value.bytes.get(), value.size);
        }
    }
    *out = std::move(flat);
    return B_OK;
}

std::string BMessage::Flatten() const {
    std::string flat;
    Flatten(&flat);
    return flat;
}

status_t BMessage::Flatten(char* buffer, ssize_t size) const {
    if (buffer == nullptr)
        return B_BAD_VALUE;
    ssize_t needed = FlattenedSize();
    if (needed < 0)
        return static_cast<status_t>(needed);
    if (size < needed)
        return B_BAD_VALUE;
    std::string flat;
    status_t status = Flatten(&flat);
    if (status != B_OK)
        return status;
    std::memcpy(buffer, flat.data(), flat.size());
    return B_OK;
}

ssize_t BMessage::FlattenedSizeOf(const char* data, size_t size) {
    if (data == nullptr || size < kHeaderSize)
        return B_BAD_DATA;
    if (std::memcmp(data, kMagic, 4) != 0)
        return B_NOT_A_MESSAGE;
    uint16 version;
    std::memcpy(&version, data + 4, 2);
    if (version != kVersion)
        return B_NOT_A_MESSAGE;
    uint32 total;
    std::memcpy(&total, data + 16, 4);
    if (total < kHeaderSize)
        return B_BAD_DATA;
    return static_cast<ssize_t>(total);
}

status_t BMessage::Unflatten(const char* flatBuffer) {
    if (flatBuffer == nullptr)
        return B_BAD_VALUE;
    ssize_t total = FlattenedSizeOf(flatBuffer, kHeaderSize);
    if (total < 0) {
        MakeEmpty();
        return static_cast<status_t>(total);
    }
    return Unflatten(flatBuffer, static_cast<size_t>(total));
}

status_t BMessage::Unflatten(const char* data, size_t size) {
    BMessage parsed;
    status_t status;
    if (data == nullptr) {
        status = B_BAD_VALUE;
    } else {
        ssize_t total = FlattenedSizeOf(data, size);
        if (total < 0) {
            status = static_cast<status_t>(total);
        } else if (static_cast<size_t>(total) > size) {
            status = B_BAD_DATA;
        } else {
            Reader reader(data, static_cast<size_t>(total));
            try {
                status = parsed.Parse(reader, 0, true);
            } catch (const std::bad_alloc&) {
                status = B_NO_MEMORY;
            }
        }
    }
    if (status != B_OK) {
        MakeEmpty();
        what = 0;
        return status;
    }
    *this = std::move(parsed);
    return B_OK;
}

// Reads one whole message that fills the reader exactly. Every count and length is
// checked against the bytes left before anything is allocated for it. Without
// keepValues only the names are kept: nested messages are checked that way, so that
// checking a deep message does not copy its bytes once per level.
status_t BMessage::Parse(Reader& reader, int32 depth, bool keepValues, uint8* height,
                         uint8 storedLevels) {
    if (depth > B_MESSAGE_MAX_DEPTH)
        return B_BAD_DATA;
    uint8 highest = 0;
    char magic[4];
    uint16 version, flags;
    uint32 command, fieldCount, total;
    if (!reader.Read(magic, 4) || !reader.ReadU16(&version) || !reader.ReadU16(&flags) ||
        !reader.ReadU32(&command) || !reader.ReadU32(&fieldCount) || !reader.ReadU32(&total))
        return B_BAD_DATA;
    if (std::memcmp(magic, kMagic, 4) != 0 || version != kVersion)
        return B_NOT_A_MESSAGE;
    if (flags != 0 || total != reader.Position() + reader.Remaining())
        return B_BAD_DATA;
    if (fieldCount > reader.Remaining() / kFieldHeaderSize)
        return B_BAD_DATA;

    what = command;
    fFields.reserve(fieldCount);
    for (uint32 i = 0; i < fieldCount; ++i) {
        uint32 type, count;
        uint8 fieldFlags, reserved;
        uint16 nameLength;
        if (!reader.ReadU32(&type) || !reader.ReadU8(&fieldFlags) || !reader.ReadU8(&reserved) ||
            !reader.ReadU16(&nameLength) || !reader.ReadU32(&count))
            return B_BAD_DATA;
        if ((fieldFlags & ~kFieldFixedSize) != 0 || reserved != 0 || count == 0 ||
            nameLength > B_FIELD_NAME_LENGTH || nameLength > reader.Remaining())
            return B_BAD_DATA;
        std::string name(reader.Current(), nameLength);
        reader.Skip(nameLength);
        if (name.find('\0') != std::string::npos || FindField(name.c_str()) != nullptr)
            return B_BAD_DATA;
        if (count > reader.Remaining() / 4)
            return B_BAD_DATA;

        Field field;
        field.name = std::move(name);
        field.type = type;
        field.fixedSize = (fieldFlags & kFieldFixedSize) != 0;
        if (keepValues)
            field.values.reserve(count);
        uint32 firstSize = 0;
        for (uint32 j = 0; j < count; ++j) {
            uint32 size;
            if (!reader.ReadU32(&size) || size > reader.Remaining())
                return B_BAD_DATA;
            const char* bytes = reader.Current();
            reader.Skip(size);
            if (j == 0)
                firstSize = size;
            else if (field.fixedSize && size != firstSize)
                return B_BAD_DATA;
            uint8 levels = 0;
            if (type == B_MESSAGE_TYPE && storedLevels > 1) {
                // Part of a stored message value, which was checked whole when stored.
                levels = uint8(storedLevels - 1);
            } else if (CheckValue(type, bytes, size, depth, &levels) != B_OK) {
                return B_BAD_DATA;
            }
            highest = std::max(highest, levels);
            if (keepValues)
                field.values.push_back(MakeValue(bytes, size, levels));
        }
        fFields.push_back(std::move(field));
        IndexLastField();
    }
    if (reader.Remaining() != 0)
        return B_BAD_DATA;
    if (height != nullptr)
        *height = highest;
    return B_OK;
}

// Printing.
