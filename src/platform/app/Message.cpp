#include "platform/app/Message.h"

#include <algorithm>
#include <atomic>
#include <bit>
#include <cctype>
#include <cinttypes>
#include <cstring>
#include <limits>
#include <new>

#include "platform/app/MessageReader.h"
#include "platform/app/Messenger.h"
#include "platform/interface/Point.h"
#include "platform/interface/Rect.h"

// Values are kept in the machine's byte order and flattened as they are, which is the
// little-endian order the flattened form promises.
static_assert(std::endian::native == std::endian::little,
              "the flattened message form assumes a little-endian machine");

namespace {

// The byte size every value of a type must have; 0 for types of any size.
size_t FixedSizeOf(type_code type) {
    switch (type) {
    case B_BOOL_TYPE:
    case B_INT8_TYPE:
        return 1;
    case B_INT16_TYPE:
        return 2;
    case B_INT32_TYPE:
    case B_FLOAT_TYPE:
        return 4;
    case B_INT64_TYPE:
    case B_DOUBLE_TYPE:
        return 8;
    case B_RECT_TYPE:
        return 16;
    case B_POINT_TYPE:
        return 8;
    case B_POINTER_TYPE:
        return sizeof(void*);
    case B_MESSENGER_TYPE:
        return 8;
    default:
        return 0;
    }
}

bool TypeMatches(type_code fieldType, type_code requested) {
    return requested == B_ANY_TYPE || fieldType == B_ANY_TYPE || fieldType == requested;
}

} // namespace
namespace {

std::atomic<uint64> sLastChangeStamp{0};

uint64 NextChangeStamp() {
    return sLastChangeStamp.fetch_add(1, std::memory_order_relaxed) + 1;
}

} // namespace

BMessage::BMessage() : what(0), fChangeStamp(NextChangeStamp()) {}

BMessage::BMessage(uint32 command) : what(command), fChangeStamp(NextChangeStamp()) {}

BMessage::BMessage(const BMessage& other) : what(other.what), fChangeStamp(NextChangeStamp()) {
    *this = other;
}

BMessage::BMessage(BMessage&& other) noexcept
    : what(other.what), fFields(std::move(other.fFields)), fIndex(std::move(other.fIndex)),
      fChangeStamp(NextChangeStamp()) {
    other.fFields.clear();
    other.fIndex.clear();
    other.Changed();
}

BMessage::~BMessage() = default;

BMessage& BMessage::operator=(const BMessage& other) {
    if (this == &other)
        return *this;
    what = other.what;
    std::vector<Field> fields;
    fields.reserve(other.fFields.size());
    for (const Field& field : other.fFields) {
        Field copy;
        copy.name = field.name;
        copy.type = field.type;
        copy.fixedSize = field.fixedSize;
        copy.values.reserve(field.values.size());
        for (const Value& value : field.values)
            copy.values.push_back(MakeValue(value.bytes.get(), value.size, value.levels));
        fields.push_back(std::move(copy));
    }
    fFields = std::move(fields);
    fIndex = other.fIndex;
    Changed();
    return *this;
}

BMessage& BMessage::operator=(BMessage&& other) noexcept {
    if (this == &other)
        return *this;
    what = other.what;
    fFields = std::move(other.fFields);
    fIndex = std::move(other.fIndex);
    other.fFields.clear();
    other.fIndex.clear();
    Changed();
    other.Changed();
    return *this;
}

BMessage::Value BMessage::MakeValue(const void* data, size_t size, uint8 levels) {
    Value value;
    value.levels = levels;
    value.bytes.reset(new char[size > 0 ? size : 1]);
    if (size > 0)
        std::memcpy(value.bytes.get(), data, size);
    value.size = size;
    return value;
}

// Fields.

BMessage::Field* BMessage::FindField(const char* name) {
    if (name == nullptr)
        return nullptr;
    if (fIndex.empty()) {
        // A small message: comparing its few names costs less than hashing one.
        const size_t length = std::strlen(name);
        for (Field& field : fFields) {
            if (field.name.size() == length && std::memcmp(field.name.data(), name, length) == 0)
                return &field;
        }
        return nullptr;
    }
    auto found = fIndex.find(name);
    return found == fIndex.end() ? nullptr : &fFields[found->second];
}

const BMessage::Field* BMessage::FindField(const char* name) const {
    return const_cast<BMessage*>(this)->FindField(name);
}

void BMessage::RebuildIndex() {
    fIndex.clear();
    if (fFields.size() <= kUnindexedFields)
        return;
    for (size_t i = 0; i < fFields.size(); ++i)
        fIndex.emplace(fFields[i].name, i);
}

void BMessage::IndexLastField() {
    if (fFields.size() <= kUnindexedFields)
        return;
    if (fIndex.empty())
        RebuildIndex();
    else
        fIndex.emplace(fFields.back().name, fFields.size() - 1);
}

void BMessage::Changed() {
    fChangeStamp = NextChangeStamp();
}

status_t BMessage::GetInfo(type_code typeRequested, int32 index, char** nameFound,
                           type_code* typeFound, int32* countFound) const {
    const char* name = nullptr;
    status_t status = GetInfo(typeRequested, index, &name, typeFound, countFound);
    if (status == B_OK && nameFound != nullptr)
        *nameFound = const_cast<char*>(name);
    return status;
}

status_t BMessage::GetInfo(type_code typeRequested, int32 index, const char** nameFound,
                           type_code* typeFound, int32* countFound) const {
    if (index < 0)
        return B_BAD_INDEX;
    int32 seen = 0;
    for (const Field& field : fFields) {
        if (typeRequested != B_ANY_TYPE && field.type != typeRequested)
            continue;
        if (seen++ != index)
            continue;
        if (nameFound != nullptr)
            *nameFound = field.name.c_str();
        if (typeFound != nullptr)
            *typeFound = field.type;
        if (countFound != nullptr)
            *countFound = static_cast<int32>(field.values.size());
        return B_OK;
    }
    return seen == 0 ? B_BAD_TYPE : B_BAD_INDEX;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, int32* countFound) const {
    const Field* field = FindField(name);
    if (field == nullptr)
        return name == nullptr ? B_BAD_VALUE : B_NAME_NOT_FOUND;
    if (typeFound != nullptr)
        *typeFound = field->type;
    if (countFound != nullptr)
        *countFound = static_cast<int32>(field->values.size());
    return B_OK;
}

status_t BMessage::GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const {
    const Field* field = FindField(name);
    if (field == nullptr)
        return name == nullptr ? B_BAD_VALUE : B_NAME_NOT_FOUND;
    if (typeFound != nullptr)
        *typeFound = field->type;
    if (fixedSize != nullptr)
        *fixedSize = field->fixedSize;
    return B_OK;
}

int32 BMessage::CountNames(type_code type) const {
    int32 count = 0;
    for (const Field& field : fFields)
        if (type == B_ANY_TYPE || field.type == type)
            ++count;
    return count;
}

int32 BMessage::CountValues(const char* name, type_code type) const {
    const Field* field = FindField(name);
    if (field == nullptr || !TypeMatches(field->type, type))
        return 0;
    return static_cast<int32>(field->values.size());
}

bool BMessage::IsEmpty() const {
    return fFields.empty();
}

status_t BMessage::MakeEmpty() {
    fFields.clear();
    fIndex.clear();
    Changed();
    return B_OK;
}

status_t BMessage::Rename(const char* oldName, const char* newName) {
    if (oldName == nullptr || newName == nullptr || std::strlen(newName) > B_FIELD_NAME_LENGTH)
        return B_BAD_VALUE;
    Field* field = FindField(oldName);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (std::strcmp(oldName, newName) == 0)
        return B_OK;
    if (FindField(newName) != nullptr)
        return B_NAME_IN_USE;
    field->name = newName;
    RebuildIndex();
    Changed();
    return B_OK;
}

// Checking values.

status_t BMessage::CheckValue(type_code type, const void* data, size_t size, int32 depth,
                              uint8* levels) {
    if (levels != nullptr)
        *levels = 0;
    size_t fixed = FixedSizeOf(type);
    if (fixed != 0 && size != fixed)
        return B_BAD_VALUE;
    if (type == B_STRING_TYPE && (size == 0 || static_cast<const char*>(data)[size - 1] != '\0'))
        return B_BAD_VALUE;
    if (type == B_MESSAGE_TYPE) {
        if (depth + 1 > B_MESSAGE_MAX_DEPTH)
            return B_BAD_VALUE;
        ssize_t stated = FlattenedSizeOf(static_cast<const char*>(data), size);
        if (stated < 0 || static_cast<size_t>(stated) != size)
            return B_BAD_VALUE;
        Reader reader(static_cast<const char*>(data), size);
        BMessage scratch;
        uint8 height = 0;
        if (scratch.Parse(reader, depth + 1, false, &height) != B_OK)
            return B_BAD_VALUE;
        if (levels != nullptr)
            *levels = uint8(height + 1);
    }
    return B_OK;
}

uint8 BMessage::Height() const {
    uint8 height = 0;
    for (const Field& field : fFields) {
        if (field.type != B_MESSAGE_TYPE)
            continue;
        for (const Value& value : field.values)
            height = std::max(height, value.levels);
    }
    return height;
}

uint8 BMessage::LevelsAsValue() const {
    uint8 height = Height();
    return height < B_MESSAGE_MAX_DEPTH ? uint8(height + 1) : 0;
}

// Adding, replacing, removing.

status_t BMessage::AddValue(const char* name, type_code type, const void* data, size_t size,
                            bool fixedSize, uint8 levels) {
    if (name == nullptr || std::strlen(name) > B_FIELD_NAME_LENGTH)
        return B_BAD_VALUE;
    if (size > std::numeric_limits<uint32>::max() - 64)
        return B_NO_MEMORY;
    if (type != B_MESSAGE_TYPE || levels == 0) {
        status_t status = CheckValue(type, data, size, 0, &levels);
        if (status != B_OK)
            return status;
    }
    Field* field = FindField(name);
    if (field != nullptr) {
        if (field->type != type)
            return B_BAD_TYPE;
        if (field->fixedSize && !field->values.empty() && field->values.front().size != size)
            return B_BAD_VALUE;
    } else {
        Field created;
        created.name = name;
        created.type = type;
        created.fixedSize = fixedSize;
        fFields.push_back(std::move(created));
        IndexLastField();
        field = &fFields.back();
    }
    try {
        field->values.push_back(MakeValue(data, size, levels));
    } catch (const std::bad_alloc&) {
        if (field->values.empty()) {
            fFields.pop_back();
            RebuildIndex();
        }
        return B_NO_MEMORY;
    }
    Changed();
    return B_OK;
}

status_t BMessage::ReplaceValue(const char* name, type_code type, int32 index, const void* data,
                                size_t size, uint8 levels) {
    if (name == nullptr)
        return B_BAD_VALUE;
    Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (!TypeMatches(field->type, type))
        return B_BAD_TYPE;
    if (index < 0 || static_cast<size_t>(index) >= field->values.size())
        return B_BAD_INDEX;
    if (field->fixedSize && field->values.size() > 1 && field->values.front().size != size)
        return B_BAD_VALUE;
    if (field->type != B_MESSAGE_TYPE || levels == 0) {
        status_t status = CheckValue(field->type, data, size, 0, &levels);
        if (status != B_OK)
            return status;
    }
    field->values[index] = MakeValue(data, size, levels);
    Changed();
    return B_OK;
}

status_t BMessage::AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                           bool isFixedSize, int32 numItems) {
    (void)numItems;
    if (numBytes < 0 || (data == nullptr && numBytes > 0))
        return B_BAD_VALUE;
    size_t size = static_cast<size_t>(numBytes);
    if (type == B_STRING_TYPE && (size == 0 || static_cast<const char*>(data)[size - 1] != '\0')) {
        // Text given without its terminating NUL is stored with one.
        std::string text(static_cast<const char*>(data), size);
        return AddValue(name, type, text.c_str(), size + 1, false);
    }
    if (type == B_STRING_TYPE)
        isFixedSize = false;
    return AddValue(name, type, data, size, isFixedSize);
}

status_t BMessage::AddRect(const char* name, BRect rect) {
    float values[4] = {rect.left, rect.top, rect.right, rect.bottom};
    return AddValue(name, B_RECT_TYPE, values, sizeof(values), true);
}

status_t BMessage::AddPoint(const char* name, BPoint point) {
    float values[2] = {point.x, point.y};
    return AddValue(name, B_POINT_TYPE, values, sizeof(values), true);
}

status_t BMessage::AddString(const char* name, const char* string) {
    // A missing text (an unset string object) is stored as an empty one rather than
    // leaving the field out.
    if (string == nullptr)
        string = "";
    return AddValue(name, B_STRING_TYPE, string, std::strlen(string) + 1, false);
}

status_t BMessage::AddString(const char* name, const std::string& string) {
    return AddValue(name, B_STRING_TYPE, string.c_str(), string.size() + 1, false);
}

status_t BMessage::AddInt8(const char* name, int8 value) {
    return AddValue(name, B_INT8_TYPE, &value, sizeof(value), true);
}

status_t BMessage::AddInt16(const char* name, int16 value) {
    return AddValue(name, B_INT16_TYPE, &value, sizeof(value), true);
}

status_t BMessage::AddInt32(const char* name, int32 value) {
    return AddValue(name, B_INT32_TYPE, &value, sizeof(value), true);
}

status_t BMessage::AddInt64(const char* name, int64 value) {
    return AddValue(name, B_INT64_TYPE, &value, sizeof(value), true);
}

status_t BMessage::AddBool(const char* name, bool value) {
    uint8 byte = value ? 1 : 0;
    return AddValue(name, B_BOOL_TYPE, &byte, 1, true);
}

status_t BMessage::AddFloat(const char* name, float value) {
    return AddValue(name, B_FLOAT_TYPE, &value, sizeof(value), true);
}

status_t BMessage::AddDouble(const char* name, double value) {
    return AddValue(name, B_DOUBLE_TYPE, &value, sizeof(value), true);
}

status_t BMessage::AddPointer(const char* name, const void* pointer) {
    return AddValue(name, B_POINTER_TYPE, &pointer, sizeof(pointer), true);
}

status_t BMessage::AddMessenger(const char* name, const BMessenger& messenger) {
    int32 tokens[2] = {messenger.LooperToken(), messenger.HandlerToken()};
    return AddValue(name, B_MESSENGER_TYPE, tokens, sizeof(tokens), true);
}

status_t BMessage::AddMessage(const char* name, const BMessage* message) {
    if (message == nullptr)
        return B_BAD_VALUE;
    std::string flat;
    status_t status = message->Flatten(&flat);
    if (status != B_OK)
        return status;
    return AddValue(name, B_MESSAGE_TYPE, flat.data(), flat.size(), false,
                    message->LevelsAsValue());
}

status_t BMessage::RemoveData(const char* name, int32 index) {
    if (name == nullptr)
        return B_BAD_VALUE;
    Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (index < 0 || static_cast<size_t>(index) >= field->values.size())
        return B_BAD_INDEX;
    field->values.erase(field->values.begin() + index);
    Changed();
    if (field->values.empty())
        return RemoveName(name);
    return B_OK;
}

status_t BMessage::RemoveName(const char* name) {
    if (name == nullptr)
        return B_BAD_VALUE;
    Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    fFields.erase(fFields.begin() + (field - fFields.data()));
    RebuildIndex();
    Changed();
    return B_OK;
}

// Finding.

status_t BMessage::FindValue(const char* name, type_code type, int32 index,
                             const Value** value) const {
    if (name == nullptr)
        return B_BAD_VALUE;
    const Field* field = FindField(name);
    if (field == nullptr)
        return B_NAME_NOT_FOUND;
    if (!TypeMatches(field->type, type))
        return B_BAD_TYPE;
    if (index < 0 || static_cast<size_t>(index) >= field->values.size())
        return B_BAD_INDEX;
    *value = &field->values[index];
    return B_OK;
}

status_t BMessage::FindTyped(const char* name, type_code type, int32 index, void* out,
                             size_t size) const {
    const Value* value = nullptr;
    status_t status = FindValue(name, type, index, &value);
    if (status != B_OK)
        return status;
    // A B_ANY_TYPE field may hold anything; only a value of the right size is read.
    if (value->size != size)
        return B_BAD_TYPE;
    if (out != nullptr)
        std::memcpy(out, value->bytes.get(), size);
    return B_OK;
}

status_t BMessage::FindData(const char* name, type_code type, const void** data,
                            ssize_t* numBytes) const {
    return FindData(name, type, 0, data, numBytes);
}

status_t BMessage::FindData(const char* name, type_code type, int32 index, const void** data,
                            ssize_t* numBytes) const {
    const Value* value = nullptr;
    status_t status = FindValue(name, type, index, &value);
    if (status != B_OK)
        return status;
    if (data != nullptr)
        *data = value->bytes.get();
    if (numBytes != nullptr)
        *numBytes = static_cast<ssize_t>(value->size);
    return B_OK;
}

status_t BMessage::FindRect(const char* name, BRect* rect) const {
    return FindRect(name, 0, rect);
}

status_t BMessage::FindRect(const char* name, int32 index, BRect* rect) const {
    float values[4];
    status_t status = FindTyped(name, B_RECT_TYPE, index, values, sizeof(values));
    if (status == B_OK && rect != nullptr)
        rect->Set(values[0], values[1], values[2], values[3]);
    return status;
}

status_t BMessage::FindPoint(const char* name, BPoint* point) const {
    return FindPoint(name, 0, point);
}

status_t BMessage::FindPoint(const char* name, int32 index, BPoint* point) const {
    float values[2];
    status_t status = FindTyped(name, B_POINT_TYPE, index, values, sizeof(values));
    if (status == B_OK && point != nullptr)
        point->Set(values[0], values[1]);
    return status;
}

status_t BMessage::FindString(const char* name, const char** string) const {
    return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, const char** string) const {
    const Value* value = nullptr;
    status_t status = FindValue(name, B_STRING_TYPE, index, &value);
    if (status != B_OK)
        return status;
    // Only string fields are known to end with a NUL; others must show one.
    if (value->size == 0 || value->bytes[value->size - 1] != '\0')
        return B_BAD_TYPE;
    if (string != nullptr)
        *string = value->bytes.get();
    return B_OK;
}

status_t BMessage::FindString(const char* name, std::string* string) const {
    return FindString(name, 0, string);
}

status_t BMessage::FindString(const char* name, int32 index, std::string* string) const {
    const Value* value = nullptr;
    status_t status = FindValue(name, B_STRING_TYPE, index, &value);
    if (status != B_OK)
        return status;
    if (value->size == 0 || value->bytes[value->size - 1] != '\0')
        return B_BAD_TYPE;
    if (string != nullptr)
        string->assign(value->bytes.get(), value->size - 1);
    return B_OK;
}

#define TARNW_FIND_TYPED(Name, Type, Code)                                                         \
    status_t BMessage::Find##Name(const char* name, Type* value) const {                           \
        return FindTyped(name, Code, 0, value, sizeof(Type));                                      \
    }                                                                                              \
    status_t BMessage::Find##Name(const char* name, int32 index, Type* value) const {              \
        return FindTyped(name, Code, index, value, sizeof(Type));                                  \
    }

TARNW_FIND_TYPED(Int8, int8, B_INT8_TYPE)
TARNW_FIND_TYPED(Int16, int16, B_INT16_TYPE)
TARNW_FIND_TYPED(Int32, int32, B_INT32_TYPE)
TARNW_FIND_TYPED(Int64, int64, B_INT64_TYPE)
TARNW_FIND_TYPED(Float, float, B_FLOAT_TYPE)
TARNW_FIND_TYPED(Double, double, B_DOUBLE_TYPE)
TARNW_FIND_TYPED(Pointer, void*, B_POINTER_TYPE)
#undef TARNW_FIND_TYPED

status_t BMessage::FindBool(const char* name, bool* value) const {
    return FindBool(name, 0, value);
}

status_t BMessage::FindBool(const char* name, int32 index, bool* value) const {
    uint8 byte = 0;
    status_t status = FindTyped(name, B_BOOL_TYPE, index, &byte, 1);
    if (status == B_OK && value != nullptr)
        *value = byte != 0;
    return status;
}

status_t BMessage::FindMessenger(const char* name, BMessenger* messenger) const {
    return FindMessenger(name, 0, messenger);
}

status_t BMessage::FindMessenger(const char* name, int32 index, BMessenger* messenger) const {
    int32 tokens[2];
    status_t status = FindTyped(name, B_MESSENGER_TYPE, index, tokens, sizeof(tokens));
    if (status == B_OK && messenger != nullptr)
        *messenger = BMessenger::FromTokens(tokens[0], tokens[1]);
    return status;
}

status_t BMessage::FindMessage(const char* name, BMessage* message) const {
    return FindMessage(name, 0, message);
}

status_t BMessage::FindMessage(const char* name, int32 index, BMessage* message) const {
    const Value* value = nullptr;
    status_t status = FindValue(name, B_MESSAGE_TYPE, index, &value);
    if (status != B_OK)
        return status;
    if (message == nullptr)
        return B_OK;
    BMessage found;
    if (FindField(name)->type == B_MESSAGE_TYPE && value->levels > 0) {
        // Checked when it was stored: read without walking through its nested messages
        // again, which would make every level cost once per level above it.
        Reader reader(value->bytes.get(), value->size);
        status = found.Parse(reader, 0, true, nullptr, value->levels);
    } else {
        status = found.Unflatten(value->bytes.get(), value->size);
    }
    if (status != B_OK)
        return B_BAD_TYPE;
    *message = std::move(found);
    return B_OK;
}

// Replacing.

status_t BMessage::ReplaceRect(const char* name, BRect rect) {
    return ReplaceRect(name, 0, rect);
}

status_t BMessage::ReplaceRect(const char* name, int32 index, BRect rect) {
    float values[4] = {rect.left, rect.top, rect.right, rect.bottom};
    return ReplaceValue(name, B_RECT_TYPE, index, values, sizeof(values));
}

status_t BMessage::ReplacePoint(const char* name, BPoint point) {
    return ReplacePoint(name, 0, point);
}

status_t BMessage::ReplacePoint(const char* name, int32 index, BPoint point) {
    float values[2] = {point.x, point.y};
    return ReplaceValue(name, B_POINT_TYPE, index, values, sizeof(values));
}

status_t BMessage::ReplaceString(const char* name, const char* string) {
    return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const char* string) {
    if (string == nullptr)
        string = "";
    return ReplaceValue(name, B_STRING_TYPE, index, string, std::strlen(string) + 1);
}

status_t BMessage::ReplaceString(const char* name, const std::string& string) {
    return ReplaceString(name, 0, string);
}

status_t BMessage::ReplaceString(const char* name, int32 index, const std::string& string) {
    return ReplaceValue(name, B_STRING_TYPE, index, string.c_str(), string.size() + 1);
}

#define TARNW_REPLACE_TYPED(Name, Type, Code)                                                      \
    status_t BMessage::Replace##Name(const char* name, Type value) {                               \
        return ReplaceValue(name, Code, 0, &value, sizeof(Type));                                  \
    }                                                                                              \
    status_t BMessage::Replace##Name(const char* name, int32 index, Type value) {                  \
        return ReplaceValue(name, Code, index, &value, sizeof(Type));                              \
    }

TARNW_REPLACE_TYPED(Int8, int8, B_INT8_TYPE)
TARNW_REPLACE_TYPED(Int16, int16, B_INT16_TYPE)
TARNW_REPLACE_TYPED(Int32, int32, B_INT32_TYPE)
TARNW_REPLACE_TYPED(Int64, int64, B_INT64_TYPE)
TARNW_REPLACE_TYPED(Float, float, B_FLOAT_TYPE)
TARNW_REPLACE_TYPED(Double, double, B_DOUBLE_TYPE)
TARNW_REPLACE_TYPED(Pointer, const void*, B_POINTER_TYPE)
#undef TARNW_REPLACE_TYPED

status_t BMessage::ReplaceBool(const char* name, bool value) {
    return ReplaceBool(name, 0, value);
}

status_t BMessage::ReplaceBool(const char* name, int32 index, bool value) {
    uint8 byte = value ? 1 : 0;
    return ReplaceValue(name, B_BOOL_TYPE, index, &byte, 1);
}

status_t BMessage::ReplaceMessenger(const char* name, const BMessenger& messenger) {
    return ReplaceMessenger(name, 0, messenger);
}

status_t BMessage::ReplaceMessenger(const char* name, int32 index, const BMessenger& messenger) {
    int32 tokens[2] = {messenger.LooperToken(), messenger.HandlerToken()};
    return ReplaceValue(name, B_MESSENGER_TYPE, index, tokens, sizeof(tokens));
}

status_t BMessage::ReplaceMessage(const char* name, const BMessage* message) {
    return ReplaceMessage(name, 0, message);
}

status_t BMessage::ReplaceMessage(const char* name, int32 index, const BMessage* message) {
    if (message == nullptr)
        return B_BAD_VALUE;
    std::string flat;
    status_t status = message->Flatten(&flat);
    if (status != B_OK)
        return status;
    return ReplaceValue(name, B_MESSAGE_TYPE, index, flat.data(), flat.size(),
                        message->LevelsAsValue());
}

status_t BMessage::ReplaceData(const char* name, type_code type, const void* data,
                               ssize_t numBytes) {
    return ReplaceData(name, type, 0, data, numBytes);
}

status_t BMessage::ReplaceData(const char* name, type_code type, int32 index, const void* data,
                               ssize_t numBytes) {
    if (numBytes < 0 || (data == nullptr && numBytes > 0))
        return B_BAD_VALUE;
    size_t size = static_cast<size_t>(numBytes);
    const Field* field = FindField(name);
    if (field != nullptr && field->type == B_STRING_TYPE &&
        (size == 0 || static_cast<const char*>(data)[size - 1] != '\0')) {
        std::string text(static_cast<const char*>(data), size);
        return ReplaceValue(name, type, index, text.c_str(), size + 1);
    }
    return ReplaceValue(name, type, index, data, size);
}

// Presence and defaults.

bool BMessage::HasData(const char* name, type_code type, int32 index) const {
    const Value* value = nullptr;
    return FindValue(name, type, index, &value) == B_OK;
}

bool BMessage::HasRect(const char* name, int32 index) const {
    return HasData(name, B_RECT_TYPE, index);
}
bool BMessage::HasPoint(const char* name, int32 index) const {
    return HasData(name, B_POINT_TYPE, index);
}
bool BMessage::HasString(const char* name, int32 index) const {
    return HasData(name, B_STRING_TYPE, index);
}
bool BMessage::HasInt8(const char* name, int32 index) const {
    return HasData(name, B_INT8_TYPE, index);
}
bool BMessage::HasInt16(const char* name, int32 index) const {
    return HasData(name, B_INT16_TYPE, index);
}
bool BMessage::HasInt32(const char* name, int32 index) const {
    return HasData(name, B_INT32_TYPE, index);
}
bool BMessage::HasInt64(const char* name, int32 index) const {
    return HasData(name, B_INT64_TYPE, index);
}
bool BMessage::HasBool(const char* name, int32 index) const {
    return HasData(name, B_BOOL_TYPE, index);
}
bool BMessage::HasFloat(const char* name, int32 index) const {
    return HasData(name, B_FLOAT_TYPE, index);
}
bool BMessage::HasDouble(const char* name, int32 index) const {
    return HasData(name, B_DOUBLE_TYPE, index);
}
bool BMessage::HasPointer(const char* name, int32 index) const {
    return HasData(name, B_POINTER_TYPE, index);
}
bool BMessage::HasMessenger(const char* name, int32 index) const {
    return HasData(name, B_MESSENGER_TYPE, index);
}
bool BMessage::HasMessage(const char* name, int32 index) const {
    return HasData(name, B_MESSAGE_TYPE, index);
}

bool BMessage::GetBool(const char* name, bool defaultValue) const {
    bool value;
    return FindBool(name, &value) == B_OK ? value : defaultValue;
}
int8 BMessage::GetInt8(const char* name, int8 defaultValue) const {
    int8 value;
    return FindInt8(name, &value) == B_OK ? value : defaultValue;
}
int16 BMessage::GetInt16(const char* name, int16 defaultValue) const {
    int16 value;
    return FindInt16(name, &value) == B_OK ? value : defaultValue;
}
int32 BMessage::GetInt32(const char* name, int32 defaultValue) const {
    int32 value;
    return FindInt32(name, &value) == B_OK ? value : defaultValue;
}
int64 BMessage::GetInt64(const char* name, int64 defaultValue) const {
    int64 value;
    return FindInt64(name, &value) == B_OK ? value : defaultValue;
}
float BMessage::GetFloat(const char* name, float defaultValue) const {
    float value;
    return FindFloat(name, &value) == B_OK ? value : defaultValue;
}
double BMessage::GetDouble(const char* name, double defaultValue) const {
    double value;
    return FindDouble(name, &value) == B_OK ? value : defaultValue;
}
const char* BMessage::GetString(const char* name, const char* defaultValue) const {
    const char* value;
    return FindString(name, &value) == B_OK ? value : defaultValue;
}

bool BMessage::operator==(const BMessage& other) const {
    if (what != other.what || fFields.size() != other.fFields.size())
        return false;
    for (size_t i = 0; i < fFields.size(); ++i) {
        const Field& a = fFields[i];
        const Field& b = other.fFields[i];
        if (a.name != b.name || a.type != b.type || a.fixedSize != b.fixedSize ||
            a.values.size() != b.values.size())
            return false;
        for (size_t j = 0; j < a.values.size(); ++j) {
            if (a.values[j].size != b.values[j].size ||
                std::memcmp(a.values[j].bytes.get(), b.values[j].bytes.get(), a.values[j].size) !=
                    0)
                return false;
        }
    }
    return true;
}
