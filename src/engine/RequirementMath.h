#pragma once

// Byte and megabyte arithmetic of the requirements check, all in 64 bits: sizes, sums and
// minimums above 4 GiB neither wrap around nor turn negative.

#include "platform/support/SupportDefs.h"

class RequirementMath {
public:
    // A disk-space minimum stored as a double: its fraction dropped; negative or not a
    // number counts as no minimum; beyond the 64-bit range it saturates.
    static uint64 DiskMinimum(double value);

    // Adds one item's recorded size to a running total; a negative size (a damaged
    // record) adds nothing, and the sum saturates instead of overflowing.
    static uint64 AddSize(uint64 total, int64 size);

    // Whether `freeBytes` (negative: unknown, counted as none) holds `needed`.
    static bool Fits(int64 freeBytes, uint64 needed);

    // Whether the memory minimum in megabytes is met by the physical memory in megabytes.
    static bool MemoryMet(int64 requiredMB, int64 physicalMB) { return requiredMB <= physicalMB; }
};
