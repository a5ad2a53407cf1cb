// Runs a block in a newly started copy of the test program, for state that the library keeps
// once per process (cached settings, the first-draw flag of Rnd): a forked child would inherit
// what earlier tests of the same process left behind. The test body up to the block runs again
// in the new process, so files it writes before the block are there; the block must use EXPECT
// (not ASSERT) checks, whose failures come back through the exit status.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

#include "harness/harness.h"

#define BRTL_IN_FRESH_PROCESS(...)                                                                 \
    do {                                                                                           \
        const std::string brtl_saved_style = GTEST_FLAG_GET(death_test_style);                     \
        GTEST_FLAG_SET(death_test_style, "threadsafe");                                            \
        EXPECT_EXIT(                                                                               \
            {                                                                                      \
                __VA_ARGS__;                                                                       \
                ::brtl_test::remove_fresh_scratch();                                               \
                std::exit(::testing::Test::HasFailure() ? 1 : 0);                                  \
            },                                                                                     \
            ::testing::ExitedWithCode(0), "");                                                     \
        GTEST_FLAG_SET(death_test_style, brtl_saved_style);                                        \
    } while (0)

namespace brtl_test {

// The new process made a scratch directory of its own, which nothing else would remove.
inline void remove_fresh_scratch() {
    std::error_code ignored;
    std::filesystem::current_path(std::filesystem::temp_directory_path(), ignored);
    std::filesystem::remove_all(scratch_dir(), ignored);
}

} // namespace brtl_test
