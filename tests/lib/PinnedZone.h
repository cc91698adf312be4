#pragma once

// Date tests pin the time zone: UTC by default, or central European time with summer
// time from the last Sunday of March to the last Sunday of October.

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>

#include "platform/support/SupportDefs.h"

// Seconds since 1970 of a universal date and time.
inline int32 Utc(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    tm parts = {};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = hour;
    parts.tm_min = minute;
    parts.tm_sec = second;
    return static_cast<int32>(timegm(&parts));
}

class PinnedZoneTest : public ::testing::Test {
protected:
    void SetUp() override { Use("UTC0"); }
    void TearDown() override {
        unsetenv("TZ");
        tzset();
    }
    static void Use(const char* zone) {
        setenv("TZ", zone, 1);
        tzset();
    }
    static void UseBerlin() { Use("CET-1CEST,M3.5.0,M10.5.0/3"); }
};
