// What only a POSIX system can make happen to vorn.ini: a write the kernel
// refuses half-way.

#include "config/SweepSettings.h"

#include <gtest/gtest.h>

#include <csignal>
#include <string>
#include <sys/resource.h>

#include "SweepSettingsFixture.h"

namespace {

using namespace settingstest;

// A write that fails half-way (a full disk) must leave the old file whole.
// The file-size limit makes the kernel refuse the write for real.
TEST_F(SweepSettingsTest, FailedWriteKeepsTheOldFile) {
    const std::string old = DefaultFile;
    dir.Write(SweepSettings::FileName, old);
    settings.filepath = "/" + std::string(180, 'p');
    settings.filename = std::string(180, 'f');

    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 200;
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool saved200 = settings.Save(dir.Dir());
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(saved200);
    EXPECT_EQ(TempDir::Read(IniPath()), old);
    EXPECT_TRUE(OnlyIniInDir());
}

}  // namespace
