#pragma once

// Limits, open modes and node flavours shared by the Storage Kit classes.

#include <fcntl.h>

#include "platform/support/SupportDefs.h"

// Open modes of BFile; they combine with '|' like the system's own open flags.
enum {
    B_READ_ONLY = O_RDONLY,
    B_WRITE_ONLY = O_WRONLY,
    B_READ_WRITE = O_RDWR,
    B_FAIL_IF_EXISTS = O_EXCL,
    B_CREATE_FILE = O_CREAT,
    B_ERASE_FILE = O_TRUNC,
    B_OPEN_AT_END = O_APPEND
};

// Node flavours, used by BDirectory::Contains and friends.
enum node_flavor {
    B_FILE_NODE = 0x01,
    B_SYMLINK_NODE = 0x02,
    B_DIRECTORY_NODE = 0x04,
    B_ANY_NODE = 0x07
};

#define B_MAX_SYMLINKS 16
