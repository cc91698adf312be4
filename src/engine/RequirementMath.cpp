#include "engine/RequirementMath.h"

#include <cmath>

uint64 RequirementMath::DiskMinimum(double value) {
    if (!(value > 0))
        return 0;
    if (value >= 18446744073709551615.0)
        return UINT64_MAX;
    return static_cast<uint64>(std::trunc(value));
}

uint64 RequirementMath::AddSize(uint64 total, int64 size) {
    if (size <= 0)
        return total;
    uint64 add = static_cast<uint64>(size);
    return total > UINT64_MAX - add ? UINT64_MAX : total + add;
}

bool RequirementMath::Fits(int64 freeBytes, uint64 needed) {
    if (freeBytes < 0)
        return needed == 0;
    return static_cast<uint64>(freeBytes) >= needed;
}
