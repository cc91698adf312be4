// A message as text, for PrintToStream.

#include <cctype>
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "platform/app/Message.h"
#include "platform/app/Messenger.h"
#include "platform/interface/Point.h"
#include "platform/interface/Rect.h"

namespace {

void PrintCode(FILE* file, uint32 code) {
    char chars[4] = {static_cast<char>(code >> 24), static_cast<char>(code >> 16),
                     static_cast<char>(code >> 8), static_cast<char>(code)};
    bool printable = true;
    for (char c : chars)
        if (!std::isprint(static_cast<unsigned char>(c)))
            printable = false;
    if (printable)
        std::fprintf(file, "'%.4s' (0x%08" PRIx32 ", or %" PRIu32 ")", chars, code, code);
    else
        std::fprintf(file, "0x%08" PRIx32 " (or %" PRIu32 ")", code, code);
}

void PrintTypeCode(FILE* file, type_code type) {
    char chars[4] = {static_cast<char>(type >> 24), static_cast<char>(type >> 16),
                     static_cast<char>(type >> 8), static_cast<char>(type)};
    bool printable = true;
    for (char c : chars)
        if (!std::isprint(static_cast<unsigned char>(c)))
            printable = false;
    if (printable)
        std::fprintf(file, "'%.4s'", chars);
    else
        std::fprintf(file, "0x%08" PRIx32, type);
}

void PrintQuoted(FILE* file, const char* text, size_t length) {
    std::fputc('"', file);
    for (size_t i = 0; i < length; ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == '"' || c == '\\')
            std::fprintf(file, "\\%c", c);
        else if (c == '\n')
            std::fputs("\\n", file);
        else if (c == '\t')
            std::fputs("\\t", file);
        else if (c < 0x20 || c == 0x7F)
            std::fprintf(file, "\\x%02x", c);
        else
            std::fputc(c, file);
    }
    std::fputc('"', file);
}

} // namespace

void BMessage::PrintToStream() const {
    PrintToStream(stdout);
}

void BMessage::PrintToStream(FILE* file) const {
    if (file == nullptr)
        return;
    PrintTo(file, 0);
}

void BMessage::PrintTo(FILE* file, int32 indent) const {
    std::fputs("BMessage: what = ", file);
    PrintCode(file, what);
    std::fputc('\n', file);
    std::string pad(static_cast<size_t>(indent + 1) * 4, ' ');
    for (const Field& field : fFields) {
        std::fprintf(file, "%sentry %s, type=", pad.c_str(), field.name.c_str());
        PrintTypeCode(file, field.type);
        std::fprintf(file, ", c=%zu\n", field.values.size());
        for (size_t i = 0; i < field.values.size(); ++i) {
            const Value& value = field.values[i];
            const char* bytes = value.bytes.get();
            std::fprintf(file, "%s    [%zu] ", pad.c_str(), i);
            auto read = [&](auto sample) {
                decltype(sample) result;
                std::memcpy(&result, bytes, sizeof(result));
                return result;
            };
            switch (field.type) {
            case B_STRING_TYPE:
                PrintQuoted(file, bytes, value.size - 1);
                break;
            case B_BOOL_TYPE:
                std::fputs(bytes[0] ? "true" : "false", file);
                break;
            case B_INT8_TYPE:
                std::fprintf(file, "%d", static_cast<int>(read(int8())));
                break;
            case B_INT16_TYPE:
                std::fprintf(file, "%d", static_cast<int>(read(int16())));
                break;
            case B_INT32_TYPE: {
                int32 v = read(int32());
                std::fprintf(file, "%" PRId32 " (0x%08" PRIx32 ")", v, static_cast<uint32>(v));
                break;
            }
            case B_INT64_TYPE:
                std::fprintf(file, "%" PRId64, read(int64()));
                break;
            case B_FLOAT_TYPE:
                std::fprintf(file, "%.9g", static_cast<double>(read(float())));
                break;
            case B_DOUBLE_TYPE:
                std::fprintf(file, "%.17g", read(double()));
                break;
            case B_RECT_TYPE: {
                float r[4];
                std::memcpy(r, bytes, sizeof(r));
                std::fprintf(file, "BRect(l:%.1f, t:%.1f, r:%.1f, b:%.1f)", r[0], r[1], r[2], r[3]);
                break;
            }
            case B_POINT_TYPE: {
                float p[2];
                std::memcpy(p, bytes, sizeof(p));
                std::fprintf(file, "BPoint(x:%.1f, y:%.1f)", p[0], p[1]);
                break;
            }
            case B_POINTER_TYPE:
                std::fprintf(file, "%p", read(static_cast<void*>(nullptr)));
                break;
            case B_MESSENGER_TYPE: {
                int32 tokens[2];
                std::memcpy(tokens, bytes, sizeof(tokens));
                std::fprintf(file, "BMessenger(looper %" PRId32 ", handler %" PRId32 ")", tokens[0],
                             tokens[1]);
                break;
            }
            case B_MESSAGE_TYPE: {
                BMessage nested;
                if (nested.Unflatten(bytes, value.size) == B_OK)
                    nested.PrintTo(file, indent + 2);
                else
                    std::fprintf(file, "<unreadable message, %zu bytes>\n", value.size);
                continue;
            }
            default: {
                std::fprintf(file, "%zu bytes:", value.size);
                size_t shown = value.size < 32 ? value.size : 32;
                for (size_t k = 0; k < shown; ++k)
                    std::fprintf(file, " %02x", static_cast<unsigned char>(bytes[k]));
                if (shown < value.size)
                    std::fputs(" ...", file);
                break;
            }
            }
            std::fputc('\n', file);
        }
    }
}
