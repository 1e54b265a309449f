// Which Windows directory texts name one place whatever the program's
// current drive and directory are.

#include "platform/Path.h"

#include <gtest/gtest.h>

namespace {

TEST(PathRule, OnlyADrivesRootOrAShareIsAbsolute) {
    const struct {
        const char* path;
        bool absolute;
    } cases[] = {
        {"D:\\", true},
        {"D:\\logs", true},
        {"d:/logs", true},
        {"\\\\server\\share", true},
        {"\\\\server\\share\\logs", true},
        {"C:", false},
        {"D:logs", false},
        {"\\logs", false},
        {"\\\\server", false},
        {"\\\\server\\", false},
        {"ab:\\logs", false},
        {"1:\\logs", false},
    };
    for (const auto& c : cases) EXPECT_EQ(platform::IsAbsoluteDirectory(c.path), c.absolute) << c.path;
}

}  // namespace
