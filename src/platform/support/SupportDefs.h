#pragma once

// Integer types, status codes and small helpers of the platform layer. The old platform's
// `long` was 32 bits wide; the code keeps that width through int32/uint32.

#include <cstddef>
#include <cstdint>
#include <sys/types.h>

#include "platform/support/Errors.h"
#include "platform/support/TypeConstants.h"

typedef int8_t int8;
typedef uint8_t uint8;
typedef int16_t int16;
typedef uint16_t uint16;
typedef int32_t int32;
typedef uint32_t uint32;
typedef int64_t int64;
typedef uint64_t uint64;

typedef volatile int8 vint8;
typedef volatile uint8 vuint8;
typedef volatile int16 vint16;
typedef volatile uint16 vuint16;
typedef volatile int32 vint32;
typedef volatile uint32 vuint32;
typedef volatile int64 vint64;
typedef volatile uint64 vuint64;

typedef int32 status_t;
typedef int64 bigtime_t;
typedef uint32 type_code;
typedef uint32 perform_code;

typedef int32 thread_id;
typedef int32 team_id;
typedef int32 sem_id;
typedef int32 port_id;
typedef int32 area_id;
typedef int32 image_id;

typedef unsigned char uchar;

// off_t, ssize_t, dev_t and ino_t are the system's 64-bit types.

#define B_INFINITE_TIMEOUT (INT64_MAX)

#define B_FILE_NAME_LENGTH 256
#define B_PATH_NAME_LENGTH 1024
#define B_ATTR_NAME_LENGTH (B_FILE_NAME_LENGTH - 1)
#define B_MIME_TYPE_LENGTH (B_ATTR_NAME_LENGTH - 15)
#define B_OS_NAME_LENGTH 32
#define B_PAGE_SIZE 4096

#ifndef min_c
#define min_c(a, b) ((a) > (b) ? (b) : (a))
#endif
#ifndef max_c
#define max_c(a, b) ((a) > (b) ? (a) : (b))
#endif

// Microseconds since the epoch, from the system's real-time clock.
bigtime_t real_time_clock_usecs();
// Seconds since the epoch.
uint32 real_time_clock();
// Microseconds since an arbitrary fixed point (monotonic).
bigtime_t system_time();
// Sleeps for the given number of microseconds.
status_t snooze(bigtime_t microseconds);
