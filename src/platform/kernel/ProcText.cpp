#include "platform/kernel/ProcText.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

std::string Trim(const std::string& text) {
    size_t begin = text.find_first_not_of(" \t\r\n");
    if (begin == std::string::npos)
        return std::string();
    size_t end = text.find_last_not_of(" \t\r\n");
    return text.substr(begin, end - begin + 1);
}

const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                               "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

bool IsMonth(const std::string& word) {
    for (const char* month : kMonths)
        if (word == month)
            return true;
    return false;
}

bool IsTimeOfDay(const std::string& word) {
    int h, m, s;
    char rest;
    return word.size() == 8 && std::sscanf(word.c_str(), "%2d:%2d:%2d%c", &h, &m, &s, &rest) == 3;
}

bool AllDigits(const std::string& word) {
    if (word.empty())
        return false;
    for (char c : word)
        if (c < '0' || c > '9')
            return false;
    return true;
}

} // namespace

void copy_cut_utf8(char* buffer, size_t size, const char* text) {
    if (size == 0)
        return;
    if (text == nullptr)
        text = "";
    size_t length = std::strlen(text);
    if (length >= size) {
        length = size - 1;
        // Step back over continuation bytes so that no character is cut in half.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
            --length;
    }
    std::memcpy(buffer, text, length);
    buffer[length] = '\0';
}

cpu_type cpu_type_for_x86(const char* vendor, int32 family, int32 model) {
    int32 base = B_CPU_X86;
    if (vendor != nullptr) {
        if (std::strcmp(vendor, "GenuineIntel") == 0)
            base = B_CPU_INTEL_X86;
        else if (std::strcmp(vendor, "AuthenticAMD") == 0)
            base = B_CPU_AMD_X86;
        else if (std::strcmp(vendor, "CyrixInstead") == 0)
            base = B_CPU_CYRIX_X86;
        else if (std::strcmp(vendor, "CentaurHauls") == 0)
            base = B_CPU_IDT_X86;
        else if (std::strcmp(vendor, "RiseRiseRise") == 0)
            base = B_CPU_RISE_X86;
    }
    if (base == B_CPU_X86)
        return B_CPU_X86;
    // The old numbering has one nibble each for family and model.
    if (family >= 0 && family < 16 && model >= 0 && model < 16)
        return static_cast<cpu_type>(base + (family << 4) + model);
    return static_cast<cpu_type>(base);
}

void parse_cpuinfo(const std::string& text, const char* machine, system_info* info) {
    std::string vendor, modelName, hardware;
    int32 family = -1, model = -1, stepping = 0;
    double mhz = 0;
    std::istringstream lines(text);
    std::string line;
    bool seenProcessor = false;
    while (std::getline(lines, line)) {
        size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string key = Trim(line.substr(0, colon));
        std::string value = Trim(line.substr(colon + 1));
        if (key == "processor") {
            // Only the first processor's block counts.
            if (seenProcessor && (!vendor.empty() || !modelName.empty()))
                break;
            seenProcessor = true;
        } else if (key == "vendor_id" && vendor.empty()) {
            vendor = value;
        } else if (key == "cpu family" && family < 0) {
            family = std::atoi(value.c_str());
        } else if (key == "model" && model < 0 && AllDigits(value)) {
            model = std::atoi(value.c_str());
        } else if (key == "model name" && modelName.empty()) {
            modelName = value;
        } else if (key == "stepping") {
            stepping = std::atoi(value.c_str());
        } else if (key == "cpu MHz" && mhz == 0) {
            mhz = std::strtod(value.c_str(), nullptr);
        } else if ((key == "Hardware" || key == "Processor") && hardware.empty()) {
            hardware = value;
        }
    }

    std::string arch = machine ? machine : "";
    bool x86 = arch == "x86_64" || arch == "i386" || arch == "i486" || arch == "i586" ||
               arch == "i686" || !vendor.empty();
    if (x86) {
        info->cpu_type = cpu_type_for_x86(vendor.c_str(), family, model);
        info->cpu_revision = ((family & 0xFF) << 8) | ((model & 0xF) << 4) | (stepping & 0xF);
        if (family < 0)
            info->cpu_revision = 0;
    } else if (arch.rfind("arm", 0) == 0 || arch == "aarch64") {
        info->cpu_type = B_CPU_ARM;
    } else if (arch.rfind("mips", 0) == 0) {
        info->cpu_type = B_CPU_MIPS;
    } else if (arch.rfind("sparc", 0) == 0) {
        info->cpu_type = B_CPU_SPARC;
    } else if (arch.rfind("alpha", 0) == 0) {
        info->cpu_type = B_CPU_ALPHA;
    } else if (arch.rfind("sh", 0) == 0) {
        info->cpu_type = B_CPU_SH;
    } else if (arch.rfind("m68k", 0) == 0) {
        info->cpu_type = B_CPU_M68K;
    } else if (arch.rfind("parisc", 0) == 0) {
        info->cpu_type = B_CPU_HPPA;
    } else {
        // Anything the old tables do not know: a number they read as "Unknown".
        info->cpu_type = static_cast<cpu_type>(0);
    }
    if (mhz > 0)
        info->cpu_clock_speed = static_cast<int64>(mhz * 1000000.0 + 0.5);
    copy_cut_utf8(info->cpu_vendor, sizeof(info->cpu_vendor), vendor.c_str());
    copy_cut_utf8(info->cpu_model, sizeof(info->cpu_model),
                  modelName.empty() ? hardware.c_str() : modelName.c_str());
}

void parse_kernel_build(const char* version, char* date, char* time) {
    date[0] = '\0';
    time[0] = '\0';
    if (version == nullptr)
        return;
    std::istringstream words(version);
    std::string word;
    std::vector<std::string> list;
    while (words >> word)
        list.push_back(word);

    // "Mon Jan 18 12:34:56 UTC 2024": month, day, time, optional zone, year.
    for (size_t i = 0; i + 2 < list.size(); ++i) {
        if (!IsMonth(list[i]) || !AllDigits(list[i + 1]) || !IsTimeOfDay(list[i + 2]))
            continue;
        std::string year;
        for (size_t j = i + 3; j < list.size() && j <= i + 4; ++j)
            if (AllDigits(list[j]) && list[j].size() == 4)
                year = list[j];
        if (year.empty())
            continue;
        std::snprintf(date, B_OS_NAME_LENGTH, "%s %2d %s", list[i].c_str(),
                      std::atoi(list[i + 1].c_str()) % 100, year.c_str());
        copy_cut_utf8(time, B_OS_NAME_LENGTH, list[i + 2].c_str());
        return;
    }
    // "(2024-02-01)": the date alone.
    for (const std::string& item : list) {
        int y, m, d;
        char close;
        if (std::sscanf(item.c_str(), "(%4d-%2d-%2d%c", &y, &m, &d, &close) == 4 && close == ')' &&
            m >= 1 && m <= 12 && d >= 1 && d <= 31) {
            std::snprintf(date, B_OS_NAME_LENGTH, "%s %2d %04d", kMonths[m - 1], d, y);
            return;
        }
    }
}

int64 parse_kernel_version(const char* release) {
    if (release == nullptr)
        return 0;
    long parts[3] = {0, 0, 0};
    const char* p = release;
    for (int i = 0; i < 3; ++i) {
        char* end = nullptr;
        long value = std::strtol(p, &end, 10);
        if (end == p)
            break;
        parts[i] = value < 0 ? 0 : (value > 99 && i > 0 ? 99 : value);
        p = end;
        if (*p != '.')
            break;
        ++p;
    }
    return static_cast<int64>(parts[0]) * 10000 + parts[1] * 100 + parts[2];
}
