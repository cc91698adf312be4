#pragma once

// BMessage: a `what` code and named, typed fields; every field is an array of values read
// by index. Field order and value order are kept, also through Flatten/Unflatten.
//
// Values stay where they are in memory until they are replaced or removed, so pointers
// handed out by FindString/FindData remain valid while other values are added.
//
// Every stored value is well formed: values of the fixed-size types have their exact
// size, strings end with a NUL byte, nested messages are valid flattened messages no
// deeper than B_MESSAGE_MAX_DEPTH. A field of type B_ANY_TYPE is found by any type, and
// asking for B_ANY_TYPE finds a field of any type.
//
// The flattened form is little-endian and documented in docs/formats.md; the same
// message always flattens to the same bytes.

#include <cstdio>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/support/SupportDefs.h"

class BPoint;
class BRect;
class BMessenger;

// Codes of the platform's own messages.
enum {
    B_QUIT_REQUESTED = '_QRQ',
    B_READY_TO_RUN = '_RTR',
    B_PULSE = '_PUL',
    B_ABOUT_REQUESTED = '_ABR',
    B_ARGV_RECEIVED = '_ARG',
    B_REFS_RECEIVED = '_RRC',
    B_APP_ACTIVATED = '_ACT',
    B_NODE_MONITOR = 'NDMN',
    B_NO_REPLY = '_NRP',
    B_MESSAGE_NOT_UNDERSTOOD = '_MNU',
    B_SIMPLE_DATA = 'SMDT',
    B_CANCEL = '_CNC'
};

// Nested messages deeper than this are refused (on Add and on Unflatten).
#define B_MESSAGE_MAX_DEPTH 64
// Field names are at most this many bytes long.
#define B_FIELD_NAME_LENGTH 255

class BMessage {
public:
    uint32 what;

    BMessage();
    explicit BMessage(uint32 what);
    BMessage(const BMessage& other);
    BMessage(BMessage&& other) noexcept;
    virtual ~BMessage();
    BMessage& operator=(const BMessage& other);
    BMessage& operator=(BMessage&& other) noexcept;

    // Fields.
    // The index-th field of the given type (B_ANY_TYPE: of any type), in field order.
    // nameFound points into the message (valid until the field is removed).
    status_t GetInfo(type_code typeRequested, int32 index, char** nameFound, type_code* typeFound,
                     int32* countFound = nullptr) const;
    status_t GetInfo(type_code typeRequested, int32 index, const char** nameFound,
                     type_code* typeFound, int32* countFound = nullptr) const;
    status_t GetInfo(const char* name, type_code* typeFound, int32* countFound = nullptr) const;
    status_t GetInfo(const char* name, type_code* typeFound, bool* fixedSize) const;
    int32 CountNames(type_code type) const;
    bool IsEmpty() const;
    status_t MakeEmpty();
    status_t Rename(const char* oldName, const char* newName);
    // Number of values under the name whose type matches (0 when there is no such field).
    int32 CountValues(const char* name, type_code type = B_ANY_TYPE) const;

    // Writes the message, nested messages indented, to standard output (or to file).
    void PrintToStream() const;
    void PrintToStream(FILE* file) const;

    // Flattening.
    ssize_t FlattenedSize() const;
    // B_BAD_VALUE when size is too small; the first FlattenedSize() bytes are written.
    status_t Flatten(char* buffer, ssize_t size) const;
    status_t Flatten(std::string* out) const;
    std::string Flatten() const;
    // Reads a flattened message whose length is taken from its own header. Only for
    // bytes already known to be a whole message; bytes from a file or another process
    // go through the sized form.
    status_t Unflatten(const char* flatBuffer);
    // Reads a flattened message from the first size bytes (bytes after the message are
    // ignored). On failure the message is left empty and B_BAD_DATA, B_NOT_A_MESSAGE or
    // B_NO_MEMORY is answered; nothing outside the size bytes is read.
    status_t Unflatten(const char* data, size_t size);
    // The length a flattened message at data says it has, or an error code; 0 < size.
    static ssize_t FlattenedSizeOf(const char* data, size_t size);

    // Adding. A name that already holds values of another type answers B_BAD_TYPE.
    status_t AddRect(const char* name, BRect rect);
    status_t AddPoint(const char* name, BPoint point);
    // A null string is stored as an empty one.
    status_t AddString(const char* name, const char* string);
    status_t AddString(const char* name, const std::string& string);
    status_t AddInt8(const char* name, int8 value);
    status_t AddInt16(const char* name, int16 value);
    status_t AddInt32(const char* name, int32 value);
    status_t AddInt64(const char* name, int64 value);
    status_t AddBool(const char* name, bool value);
    status_t AddFloat(const char* name, float value);
    status_t AddDouble(const char* name, double value);
    // Pointers are meaningful only inside this process.
    status_t AddPointer(const char* name, const void* pointer);
    status_t AddMessenger(const char* name, const BMessenger& messenger);
    status_t AddMessage(const char* name, const BMessage* message);
    // A string (B_STRING_TYPE) without its terminating NUL gets one added; a message
    // (B_MESSAGE_TYPE) must be a valid flattened message.
    status_t AddData(const char* name, type_code type, const void* data, ssize_t numBytes,
                     bool isFixedSize = true, int32 numItems = 1);

    // Removing. Removing the last value of a field removes the field.
    status_t RemoveData(const char* name, int32 index = 0);
    status_t RemoveName(const char* name);

    // Finding. B_NAME_NOT_FOUND when there is no such field, B_BAD_TYPE when its type
    // differs, B_BAD_INDEX when the index is out of range. The out value is left alone
    // on failure.
    status_t FindRect(const char* name, BRect* rect) const;
    status_t FindRect(const char* name, int32 index, BRect* rect) const;
    status_t FindPoint(const char* name, BPoint* point) const;
    status_t FindPoint(const char* name, int32 index, BPoint* point) const;
    status_t FindString(const char* name, const char** string) const;
    status_t FindString(const char* name, int32 index, const char** string) const;
    status_t FindString(const char* name, std::string* string) const;
    status_t FindString(const char* name, int32 index, std::string* string) const;
    status_t FindInt8(const char* name, int8* value) const;
    status_t FindInt8(const char* name, int32 index, int8* value) const;
    status_t FindInt16(const char* name, int16* value) const;
    status_t FindInt16(const char* name, int32 index, int16* value) const;
    status_t FindInt32(const char* name, int32* value) const;
    status_t FindInt32(const char* name, int32 index, int32* value) const;
    status_t FindInt64(const char* name, int64* value) const;
    status_t FindInt64(const char* name, int32 index, int64* value) const;
    status_t FindBool(const char* name, bool* value) const;
    status_t FindBool(const char* name, int32 index, bool* value) const;
    status_t FindFloat(const char* name, float* value) const;
    status_t FindFloat(const char* name, int32 index, float* value) const;
    status_t FindDouble(const char* name, double* value) const;
    status_t FindDouble(const char* name, int32 index, double* value) const;
    status_t FindPointer(const char* name, void** pointer) const;
    status_t FindPointer(const char* name, int32 index, void** pointer) const;
    status_t FindMessenger(const char* name, BMessenger* messenger) const;
    status_t FindMessenger(const char* name, int32 index, BMessenger* messenger) const;
    status_t FindMessage(const char* name, BMessage* message) const;
    status_t FindMessage(const char* name, int32 index, BMessage* message) const;
    status_t FindData(const char* name, type_code type, const void** data, ssize_t* numBytes) const;
    status_t FindData(const char* name, type_code type, int32 index, const void** data,
                      ssize_t* numBytes) const;

    // Replacing a value that exists; B_BAD_INDEX otherwise.
    status_t ReplaceRect(const char* name, BRect rect);
    status_t ReplaceRect(const char* name, int32 index, BRect rect);
    status_t ReplacePoint(const char* name, BPoint point);
    status_t ReplacePoint(const char* name, int32 index, BPoint point);
    status_t ReplaceString(const char* name, const char* string);
    status_t ReplaceString(const char* name, int32 index, const char* string);
    status_t ReplaceString(const char* name, const std::string& string);
    status_t ReplaceString(const char* name, int32 index, const std::string& string);
    status_t ReplaceInt8(const char* name, int8 value);
    status_t ReplaceInt8(const char* name, int32 index, int8 value);
    status_t ReplaceInt16(const char* name, int16 value);
    status_t ReplaceInt16(const char* name, int32 index, int16 value);
    status_t ReplaceInt32(const char* name, int32 value);
    status_t ReplaceInt32(const char* name, int32 index, int32 value);
    status_t ReplaceInt64(const char* name, int64 value);
    status_t ReplaceInt64(const char* name, int32 index, int64 value);
    status_t ReplaceBool(const char* name, bool value);
    status_t ReplaceBool(const char* name, int32 index, bool value);
    status_t ReplaceFloat(const char* name, float value);
    status_t ReplaceFloat(const char* name, int32 index, float value);
    status_t ReplaceDouble(const char* name, double value);
    status_t ReplaceDouble(const char* name, int32 index, double value);
    status_t ReplacePointer(const char* name, const void* pointer);
    status_t ReplacePointer(const char* name, int32 index, const void* pointer);
    status_t ReplaceMessenger(const char* name, const BMessenger& messenger);
    status_t ReplaceMessenger(const char* name, int32 index, const BMessenger& messenger);
    status_t ReplaceMessage(const char* name, const BMessage* message);
    status_t ReplaceMessage(const char* name, int32 index, const BMessage* message);
    status_t ReplaceData(const char* name, type_code type, const void* data, ssize_t numBytes);
    status_t ReplaceData(const char* name, type_code type, int32 index, const void* data,
                         ssize_t numBytes);

    // Presence.
    bool HasRect(const char* name, int32 index = 0) const;
    bool HasPoint(const char* name, int32 index = 0) const;
    bool HasString(const char* name, int32 index = 0) const;
    bool HasInt8(const char* name, int32 index = 0) const;
    bool HasInt16(const char* name, int32 index = 0) const;
    bool HasInt32(const char* name, int32 index = 0) const;
    bool HasInt64(const char* name, int32 index = 0) const;
    bool HasBool(const char* name, int32 index = 0) const;
    bool HasFloat(const char* name, int32 index = 0) const;
    bool HasDouble(const char* name, int32 index = 0) const;
    bool HasPointer(const char* name, int32 index = 0) const;
    bool HasMessenger(const char* name, int32 index = 0) const;
    bool HasMessage(const char* name, int32 index = 0) const;
    bool HasData(const char* name, type_code type, int32 index = 0) const;

    // Values with a default for a missing or mistyped field.
    bool GetBool(const char* name, bool defaultValue = false) const;
    int8 GetInt8(const char* name, int8 defaultValue = 0) const;
    int16 GetInt16(const char* name, int16 defaultValue = 0) const;
    int32 GetInt32(const char* name, int32 defaultValue = 0) const;
    int64 GetInt64(const char* name, int64 defaultValue = 0) const;
    float GetFloat(const char* name, float defaultValue = 0) const;
    double GetDouble(const char* name, double defaultValue = 0) const;
    const char* GetString(const char* name, const char* defaultValue = nullptr) const;

    // Equal `what`, equal fields in the same order, equal values.
    bool operator==(const BMessage& other) const;
    bool operator!=(const BMessage& other) const { return !(*this == other); }

    // A number that changes whenever a field or value is added, replaced, removed or
    // renamed, and that no other message in the process shares: a reader that keeps
    // something derived from the fields knows from it whether that is still current.
    uint64 ChangeStamp() const { return fChangeStamp; }

private:
    struct Value {
        std::unique_ptr<char[]> bytes;
        size_t size = 0;
        // For a nested message: how many levels of messages it holds, itself included, or
        // more (never fewer), so that storing it again needs no walk through its bytes.
        uint8 levels = 0;
    };
    struct Field {
        std::string name;
        type_code type = 0;
        bool fixedSize = true;
        std::vector<Value> values;
    };
    class Reader;

    Field* FindField(const char* name);
    const Field* FindField(const char* name) const;
    status_t FindValue(const char* name, type_code type, int32 index, const Value** value) const;
    status_t FindTyped(const char* name, type_code type, int32 index, void* out, size_t size) const;
    // A nested message with known `levels` (not 0) comes from a message object and is well
    // formed already: it is not walked through again.
    status_t AddValue(const char* name, type_code type, const void* data, size_t size,
                      bool fixedSize, uint8 levels = 0);
    status_t ReplaceValue(const char* name, type_code type, int32 index, const void* data,
                          size_t size, uint8 levels = 0);
    void RebuildIndex();
    // Indexes the field just added, once the message has more than a few.
    void IndexLastField();
    void Changed();
    status_t Parse(Reader& reader, int32 depth, bool keepValues, uint8* height = nullptr,
                   uint8 storedLevels = 0);
    // The most levels of messages any nested message holds (0 when none).
    uint8 Height() const;
    // The levels a message value made from this message would hold, or 0 when that is
    // more than a message may.
    uint8 LevelsAsValue() const;
    void PrintTo(FILE* file, int32 indent) const;

    static status_t CheckValue(type_code type, const void* data, size_t size, int32 depth,
                               uint8* levels = nullptr);
    static Value MakeValue(const void* data, size_t size, uint8 levels = 0);

    // Messages of up to this many fields are searched in order, without an index.
    static constexpr size_t kUnindexedFields = 12;

    std::vector<Field> fFields;
    std::unordered_map<std::string, size_t> fIndex; // empty for small messages
    uint64 fChangeStamp;
};
