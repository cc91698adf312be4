#include "Inspector.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <vector>

#include "InstallerBuilder.h"
#include "package/PackageConfig.h"
#include "platform/app/Message.h"
#include "platform/interface/Point.h"
#include "platform/interface/Rect.h"
#include "platform/storage/File.h"
#include "platform/storage/Resources.h"

namespace fs = std::filesystem;

namespace tarnw::pack {

namespace {

// Opens the resources of a file read-only; false with a reason when it has none.
bool OpenResources(const fs::path& path, BFile& file, BResources& resources, std::string& error) {
    if (file.SetTo(path.c_str(), B_READ_ONLY) != B_OK) {
        error = "cannot open " + path.string();
        return false;
    }
    status_t status = resources.SetTo(&file);
    if (status != B_OK) {
        error = path.string() + ": no readable resources (" + strerror_status(status) + ")";
        return false;
    }
    return true;
}

std::string Indent(int depth) {
    return std::string(size_t(depth) * 2, ' ');
}

std::string Quote(const char* text) {
    std::ostringstream out;
    out << '"';
    for (const char* p = text; *p != '\0'; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        if (c == '"' || c == '\\')
            out << '\\' << *p;
        else if (c == '\n')
            out << "\\n";
        else if (c == '\t')
            out << "\\t";
        else if (c < 0x20)
            out << "\\x" << std::hex << std::setw(2) << std::setfill('0') << int(c) << std::dec;
        else
            out << *p;
    }
    out << '"';
    return out.str();
}

void PrintMessage(const BMessage& message, std::ostream& out, int depth);

// A fixed-size number field, read from its raw bytes; int8 prints as a number.
template <typename T>
void PrintNumber(const BMessage& message, const char* name, type_code type, int32 index,
                 std::ostream& out) {
    const void* data = nullptr;
    ssize_t size = 0;
    T value = 0;
    if (message.FindData(name, type, index, &data, &size) == B_OK && size == ssize_t(sizeof(T)))
        std::memcpy(&value, data, sizeof(T));
    if constexpr (sizeof(T) == 1)
        out << int(value);
    else
        out << value;
}

void PrintValue(const BMessage& message, const char* name, type_code type, int32 index,
                std::ostream& out, int depth) {
    switch (type) {
    case B_STRING_TYPE: {
        const char* text = nullptr;
        if (message.FindString(name, index, &text) == B_OK && text != nullptr)
            out << Quote(text);
        break;
    }
    case B_BOOL_TYPE: {
        bool value = false;
        message.FindBool(name, index, &value);
        out << (value ? "true" : "false");
        break;
    }
    case B_INT8_TYPE:
        PrintNumber<int8>(message, name, type, index, out);
        break;
    case B_INT16_TYPE:
        PrintNumber<int16>(message, name, type, index, out);
        break;
    case B_INT32_TYPE:
        PrintNumber<int32>(message, name, type, index, out);
        break;
    case B_INT64_TYPE:
        PrintNumber<int64>(message, name, type, index, out);
        break;
    case B_FLOAT_TYPE:
        PrintNumber<float>(message, name, type, index, out);
        break;
    case B_DOUBLE_TYPE:
        out << std::setprecision(15);
        PrintNumber<double>(message, name, type, index, out);
        break;
    case B_RECT_TYPE: {
        BRect rect;
        message.FindRect(name, index, &rect);
        out << "(" << rect.left << ", " << rect.top << ", " << rect.right << ", " << rect.bottom
            << ")";
        break;
    }
    case B_POINT_TYPE: {
        BPoint point;
        message.FindPoint(name, index, &point);
        out << "(" << point.x << ", " << point.y << ")";
        break;
    }
    case B_MESSAGE_TYPE: {
        BMessage nested;
        if (message.FindMessage(name, index, &nested) == B_OK) {
            out << "{\n";
            PrintMessage(nested, out, depth + 1);
            out << Indent(depth) << "}";
        }
        break;
    }
    default: {
        const void* data = nullptr;
        ssize_t size = 0;
        message.FindData(name, type, index, &data, &size);
        out << "<" << size << " bytes>";
        break;
    }
    }
}

void PrintMessage(const BMessage& message, std::ostream& out, int depth) {
    char* name = nullptr;
    type_code type = 0;
    int32 count = 0;
    for (int32 i = 0; message.GetInfo(B_ANY_TYPE, i, &name, &type, &count) == B_OK; ++i) {
        for (int32 index = 0; index < count; ++index) {
            out << Indent(depth) << name;
            if (count > 1)
                out << "[" << index << "]";
            out << " (" << TypeCodeText(type) << ") = ";
            PrintValue(message, name, type, index, out, depth);
            out << "\n";
        }
    }
}

} // namespace

std::string TypeCodeText(uint32_t type) {
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((type >> shift) & 0xff);
        if (c < 0x20 || c > 0x7e) {
            char number[16];
            std::snprintf(number, sizeof number, "0x%08" PRIx32, type);
            return number;
        }
        text.push_back(c);
    }
    return text;
}

bool ParseTypeCode(const std::string& text, uint32_t& type) {
    if (text.size() == 4) {
        type = 0;
        for (char c : text)
            type = (type << 8) | static_cast<unsigned char>(c);
        return true;
    }
    char* end = nullptr;
    unsigned long long value = std::strtoull(text.c_str(), &end, 0);
    if (end == text.c_str() || *end != '\0' || value > UINT32_MAX)
        return false;
    type = uint32_t(value);
    return true;
}

bool ListResources(const fs::path& installer, std::ostream& out, std::string& error) {
    BFile file;
    BResources resources;
    if (!OpenResources(installer, file, resources, error))
        return false;
    type_code type = 0;
    int32 id = 0;
    const char* name = nullptr;
    size_t length = 0;
    for (int32 index = 0; resources.GetResourceInfo(index, &type, &id, &name, &length); ++index) {
        off_t size = resources.ResourceSize(type, id);
        out << TypeCodeText(type) << "\t" << id << "\t"
            << (size >= 0 ? int64_t(size) : int64_t(length)) << "\t"
            << (name != nullptr ? name : "") << "\n";
    }
    return true;
}

bool PrintConfiguration(const fs::path& installer, std::ostream& out, std::string& error) {
    BFile file;
    BResources resources;
    if (!OpenResources(installer, file, resources, error))
        return false;
    PackageConfig config;
    if (!config.LoadConfiguration(resources)) {
        error = installer.string() + ": the configuration is missing or damaged";
        return false;
    }
    out << "configuration (what " << config.what << ")\n";
    PrintMessage(config, out, 1);
    return true;
}

bool ExtractResource(const fs::path& installer, uint32_t type, int32_t id, const fs::path& outFile,
                     std::string& error) {
    BFile file;
    BResources resources;
    if (!OpenResources(installer, file, resources, error))
        return false;
    if (!resources.HasResource(type, id)) {
        error = "no resource " + TypeCodeText(type) + " " + std::to_string(id);
        return false;
    }
    std::ofstream out(outFile, std::ios::binary | std::ios::trunc);
    if (!out) {
        error = "cannot write " + outFile.string();
        return false;
    }
    std::vector<char> buffer(1 << 20);
    off_t offset = 0;
    for (;;) {
        size_t got = 0;
        status_t status =
            resources.ReadResource(type, id, buffer.data(), offset, buffer.size(), &got);
        if (status != B_OK) {
            error = "cannot read the resource: " + std::string(strerror_status(status));
            return false;
        }
        if (got == 0)
            break;
        out.write(buffer.data(), std::streamsize(got));
        offset += off_t(got);
    }
    out.close();
    if (!out) {
        error = "cannot write " + outFile.string();
        return false;
    }
    return true;
}

bool VerifyInstaller(const fs::path& installer, std::string& error) {
    BFile file;
    BResources resources;
    if (!OpenResources(installer, file, resources, error))
        return false;
    type_code type = 0;
    int32 id = 0;
    const char* name = nullptr;
    size_t length = 0;
    for (int32 index = 0; resources.GetResourceInfo(index, &type, &id, &name, &length); ++index) {
        if (resources.VerifyResource(type, id) != B_OK) {
            error = "resource " + TypeCodeText(type) + " " + std::to_string(id) + " (" +
                    (name != nullptr ? name : "") + ") is damaged: its checksum does not match";
            return false;
        }
    }
    PackageConfig config;
    if (!config.LoadConfiguration(resources)) {
        error = "the configuration is missing or damaged";
        return false;
    }
    int32 count = config.CountInstallFiles();
    for (int32 i = 0; i < count; ++i) {
        if (!resources.HasResource(B_RAW_TYPE, kFirstPayloadId + i)) {
            error = "the payload of item " + std::to_string(i) + " (resource " +
                    std::to_string(kFirstPayloadId + i) + ") is missing";
            return false;
        }
    }
    if (config.IncludeDeinstaller() && !resources.HasResource(B_RAW_TYPE, kDeinstallerId)) {
        error = "the deinstaller (resource 2001) is missing";
        return false;
    }
    return true;
}

} // namespace tarnw::pack
