#pragma once

// CRC-32 (the polynomial of zlib, ZIP and PNG).

#include <cstddef>

#include "platform/support/SupportDefs.h"

// Continues a CRC: start with crc = 0.
uint32 crc32_update(uint32 crc, const void* data, size_t length);

// The CRC of two pieces one after the other, from the CRC of each and the second's length.
uint32 crc32_combine_lengths(uint32 first, uint32 second, uint64 secondLength);
