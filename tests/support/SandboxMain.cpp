#include "support/Sandbox.h"

#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Test discovery only lists names; it needs no sandbox.
    if (testing::GTEST_FLAG(list_tests))
        return RUN_ALL_TESTS();
    tarnw::test::Sandbox::Enter();
    int result = RUN_ALL_TESTS();
    tarnw::test::Sandbox::Leave();
    return result;
}
