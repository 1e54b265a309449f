#include "app/MetricsFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;

long OpenDescriptors() {
    return std::distance(fs::directory_iterator("/proc/self/fd"), fs::directory_iterator());
}

// A failed run reads the last run's file for its time of success, and must
// close it: the sweep needs every descriptor it may have.
TEST(MetricsFilePosixTest, ReadingTheLastFileLeavesNothingOpen) {
    TempDir temp;
    fs::create_directories(temp / "prom");
    const std::string folder = (temp / "prom").string();
    const std::string settings = (temp / "vorn.ini").string();
    RunRecord run;
    ASSERT_EQ(PublishRunMetrics(folder, settings, run), "");
    run.status = 5;  // a failed run keeps the last one's time of success: it reads it
    const long before = OpenDescriptors();
    ASSERT_EQ(PublishRunMetrics(folder, settings, run), "");
    EXPECT_EQ(OpenDescriptors(), before);
}

}  // namespace
