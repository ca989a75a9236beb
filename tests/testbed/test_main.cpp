// The start-up every test program shares: GoogleTest's own, with faults and
// unhandled exceptions reported against the running test.
#include <gtest/gtest.h>

#include "tests/testbed/crash_report.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    InstallCrashReport();
    return RUN_ALL_TESTS();
}
