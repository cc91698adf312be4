#include "archive/SourceDate.h"

#include <cerrno>
#include <cstdlib>

std::optional<time_t> SourceDateEpoch() {
    static const std::optional<time_t> epoch = []() -> std::optional<time_t> {
        const char* value = std::getenv("SOURCE_DATE_EPOCH");
        if (value == nullptr || *value == '\0')
            return std::nullopt;
        char* end = nullptr;
        errno = 0;
        long long seconds = std::strtoll(value, &end, 10);
        if (*end != '\0' || errno != 0 || seconds < 0)
            return std::nullopt;
        return time_t(seconds);
    }();
    return epoch;
}

time_t ClampToSourceDate(time_t seconds) {
    std::optional<time_t> epoch = SourceDateEpoch();
    return epoch && seconds > *epoch ? *epoch : seconds;
}
