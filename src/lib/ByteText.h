#pragma once

// Byte counts as text, the way sizes are shown everywhere ("%.*f %s" with "MB" above one
// mebibyte, "KB" above one kibibyte, "bytes" otherwise), for the full 64-bit range: free
// space and sums beyond 4 GiB are shown as they are.

#include <string>

#include "platform/support/SupportDefs.h"

std::string ByteText(uint64 bytes, int decimals = 1);
