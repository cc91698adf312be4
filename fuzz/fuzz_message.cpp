// Unflattens arbitrary bytes as a message. A message that is accepted must flatten back
// to exactly the bytes it was read from, print, and survive copying.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/app/Message.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BMessage message;
    const char* bytes = reinterpret_cast<const char*>(data);
    if (message.Unflatten(bytes, size) != B_OK) {
        if (!message.IsEmpty())
            std::abort();
        return 0;
    }
    ssize_t stated = BMessage::FlattenedSizeOf(bytes, size);
    std::string again;
    if (stated < 0 || message.Flatten(&again) != B_OK ||
        again.size() != static_cast<size_t>(stated) ||
        std::memcmp(again.data(), bytes, again.size()) != 0)
        std::abort();

    static FILE* sink = std::fopen("/dev/null", "w");
    message.PrintToStream(sink);

    // Walk every field with the typed readers, nested messages included.
    char* name;
    type_code type;
    int32 count;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; ++i) {
        for (int32 j = 0; j < count; ++j) {
            const void* value;
            ssize_t length;
            if (message.FindData(name, type, j, &value, &length) != B_OK)
                std::abort();
            const char* text;
            message.FindString(name, j, &text);
            BMessage nested;
            if (type == B_MESSAGE_TYPE && message.FindMessage(name, j, &nested) != B_OK)
                std::abort();
            // A nested message read out goes back in as the very bytes it came from.
            BMessage holder;
            const void* stored;
            ssize_t storedLength;
            if (type == B_MESSAGE_TYPE &&
                (holder.AddMessage("m", &nested) != B_OK ||
                 holder.FindData("m", B_MESSAGE_TYPE, &stored, &storedLength) != B_OK ||
                 storedLength != length || std::memcmp(stored, value, size_t(length)) != 0))
                std::abort();
        }
    }
    BMessage copy(message);
    if (copy != message)
        std::abort();
    return 0;
}
