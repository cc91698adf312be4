#pragma once

// Node monitoring. Only the mount watch is supported: a target registered with
// B_WATCH_MOUNT receives a B_NODE_MONITOR message whenever a volume is mounted
// ("opcode" B_DEVICE_MOUNTED, int32 "new device", int32 "device" (the volume holding the
// mount point), int64 "directory" (inode of the folder holding the mount point), string
// "path" (the mount point)) or unmounted ("opcode" B_DEVICE_UNMOUNTED, int32 "device",
// string "path"). The mount table is polled on a background thread.

#include "platform/app/Message.h" // B_NODE_MONITOR
#include "platform/storage/Statable.h"

class BMessenger;

// Opcodes.
enum {
    B_ENTRY_CREATED = 1,
    B_ENTRY_REMOVED = 2,
    B_ENTRY_MOVED = 3,
    B_STAT_CHANGED = 4,
    B_ATTR_CHANGED = 5,
    B_DEVICE_MOUNTED = 6,
    B_DEVICE_UNMOUNTED = 7
};

// Flags.
enum {
    B_STOP_WATCHING = 0x0000,
    B_WATCH_NAME = 0x0001,
    B_WATCH_STAT = 0x0002,
    B_WATCH_ATTR = 0x0004,
    B_WATCH_DIRECTORY = 0x0008,
    B_WATCH_ALL = 0x000f,
    B_WATCH_MOUNT = 0x0010
};

// `node` may be null for B_WATCH_MOUNT. Flags other than B_WATCH_MOUNT and
// B_STOP_WATCHING answer B_NOT_SUPPORTED.
status_t watch_node(const node_ref* node, uint32 flags, BMessenger target);
status_t stop_watching(BMessenger target);

// How often the mount table is read for changes (microseconds); tests shorten it.
void set_mount_poll_interval(bigtime_t interval);
