#pragma once

// File-system information of a mounted volume.

#include "platform/storage/StorageDefs.h"

enum {
    B_FS_IS_READONLY = 0x00000001,
    B_FS_IS_REMOVABLE = 0x00000002,
    B_FS_IS_PERSISTENT = 0x00000004,
    B_FS_IS_SHARED = 0x00000008,
    B_FS_HAS_MIME = 0x00010000,
    B_FS_HAS_ATTR = 0x00020000,
    B_FS_HAS_QUERY = 0x00040000
};

struct fs_info {
    dev_t dev;
    ino_t root;
    uint32 flags;
    off_t block_size;
    off_t io_size;
    off_t total_blocks;
    off_t free_blocks;
    off_t total_nodes;
    off_t free_nodes;
    char device_name[128];
    char volume_name[B_FILE_NAME_LENGTH];
    char fsh_name[B_OS_NAME_LENGTH];
    // Linux extension: where the volume is mounted.
    char mount_point[B_PATH_NAME_LENGTH];
};

// 0 or an error code. Sizes are 0 when the mount point cannot be examined.
int fs_stat_dev(dev_t device, fs_info* info);
// The device of the volume holding `path`, or an error code (negative).
dev_t dev_for_path(const char* path);
// Iterates the devices of the volume list; `pos` starts at 0. Negative at the end.
dev_t next_dev(int32* pos);
