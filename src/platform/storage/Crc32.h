#pragma once

// CRC-32 (the polynomial of zlib, ZIP and PNG).

#include <cstddef>

#include "platform/support/SupportDefs.h"

// Continues a CRC: start with crc = 0.
uint32 crc32_update(uint32 crc, const void* data, size_t length);
