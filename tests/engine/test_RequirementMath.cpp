#include "engine/RequirementMath.h"
#include "lib/ByteText.h"

#include <cmath>
#include <gtest/gtest.h>

TEST(RequirementMath, DiskMinimumKeepsSixtyFourBits) {
    EXPECT_EQ(RequirementMath::DiskMinimum(5.0 * 1024 * 1024 * 1024 + 0.9), 5368709120ull);
    EXPECT_EQ(RequirementMath::DiskMinimum(1023.99), 1023u);
    EXPECT_EQ(RequirementMath::DiskMinimum(-5), 0u);
    EXPECT_EQ(RequirementMath::DiskMinimum(std::nan("")), 0u);
    EXPECT_EQ(RequirementMath::DiskMinimum(1e30), UINT64_MAX);
}

TEST(RequirementMath, FitsComparesWithoutWrapping) {
    const uint64 fiveGiB = 5ull << 30;
    // A 32-bit minimum would have wrapped 5 GiB to 1 GiB and passed on 2 GiB free.
    EXPECT_FALSE(RequirementMath::Fits(int64(2) << 30, fiveGiB));
    EXPECT_TRUE(RequirementMath::Fits(int64(6) << 30, fiveGiB));
    EXPECT_TRUE(RequirementMath::Fits(100, 100));
    EXPECT_FALSE(RequirementMath::Fits(99, 100));
    EXPECT_FALSE(RequirementMath::Fits(-1, 1));
    EXPECT_TRUE(RequirementMath::Fits(-1, 0));
}

TEST(RequirementMath, SumsIgnoreDamagedSizesAndSaturate) {
    uint64 total = 0;
    total = RequirementMath::AddSize(total, INT32_MAX);
    total = RequirementMath::AddSize(total, INT32_MAX);
    EXPECT_EQ(total, 2ull * INT32_MAX);
    EXPECT_EQ(RequirementMath::AddSize(total, -20), total);
    EXPECT_EQ(RequirementMath::AddSize(UINT64_MAX - 1, 5), UINT64_MAX);
    EXPECT_TRUE(RequirementMath::MemoryMet(512, 512));
    EXPECT_FALSE(RequirementMath::MemoryMet(513, 512));
}

TEST(ByteText, UnitsAndTheFullRange) {
    EXPECT_EQ(ByteText(1024, 0), "1024 bytes");
    EXPECT_EQ(ByteText(1048576), "1024.0 KB");
    EXPECT_EQ(ByteText(1536 * 1024), "1.5 MB");
    EXPECT_EQ(ByteText(10ull << 30), "10240.0 MB");
    EXPECT_EQ(ByteText(0), "0.0 bytes");
}
