#include "app/ProgressLine.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "app/RunEvents.h"

namespace {

SweepProgress::Snapshot At(const std::string& folder) { return {1200, 1000, folder}; }

TEST(ProgressLine, SaysCountsRateTimeAndFolder) {
    EXPECT_EQ(ProgressLine(At("/srv/a"), 20.4, 200),
              "已搜索1200个文件，已删除1000个，每秒删除49个，用时0:00:20，搜索目录 /srv/a");
    EXPECT_EQ(ProgressLine({0, 0, ""}, 0, 200), "已搜索0个文件，已删除0个，每秒删除0个，用时0:00:00");
    EXPECT_NE(ProgressLine(At("/x"), 3 * 3600 + 4 * 60 + 5, 200).find("用时3:04:05"), std::string::npos);
}

// Chinese characters take two columns each; the folder loses its start
// first, then the line its end; a line end inside a name would break the
// line, so names come as the list lines write them.
TEST(ProgressLine, FitsTheTerminal) {
    const std::string counts = "已搜索1200个文件，已删除1000个，每秒删除100个，用时0:00:10，搜索目录 ";
    const size_t countsWidth = TerminalWidth(counts);
    EXPECT_EQ(countsWidth, 69u);
    const struct {
        std::string folder;
        size_t columns;
        std::string line;
    } cases[] = {
        {"/srv/logs/app", countsWidth + 13, counts + "/srv/logs/app"},
        {"/srv/logs/app", countsWidth + 12, counts + "…rv/logs/app"},
        {"/srv/logs/app", countsWidth + 10, counts + "…/logs/app"},
        {"/srv/日志/app", countsWidth + 9, counts + "…日志/app"},
        {"/srv/日志/app", countsWidth + 8, counts + "…志/app"},
        {"/srv/日志/app", countsWidth + 6, counts + "…/app"},
        {"/srv/a\nb", countsWidth + 20, counts + "$'/srv/a\\nb'"},
        {"/srv", 10, "已搜索1200"},
        {"/srv", 11, "已搜索1200"},
        {"/srv", 1, ""},  // a terminal of two columns: no half of a wide character
    };
    for (const auto& c : cases) {
        const std::string line = ProgressLine({1200, 1000, c.folder}, 10, c.columns);
        EXPECT_EQ(line, c.line) << c.columns;
        EXPECT_LE(TerminalWidth(line), c.columns);
    }
}

// Each end of a run has its own event; the level follows what it asks of
// whoever reads the log.
TEST(RunEvents, EachEndHasItsOwnIdAndLevel) {
    using Level = platform::EventLevel;
    const struct {
        ExitStatus status;
        Level level;
    } cases[] = {
        {ExitStatus::Success, Level::Information},   {ExitStatus::Incomplete, Level::Warning},
        {ExitStatus::Stopped, Level::Warning},       {ExitStatus::AlreadyRunning, Level::Warning},
        {ExitStatus::NoWindow, Level::Error},        {ExitStatus::RootUnreadable, Level::Error},
        {ExitStatus::InvalidPattern, Level::Error},  {ExitStatus::SweepFailed, Level::Error},
        {ExitStatus::NoGuard, Level::Error},
    };
    std::set<uint32_t> ids;
    for (const auto& c : cases) {
        const RunEvent event = EventFor(c.status);
        EXPECT_EQ(event.level, c.level) << static_cast<int>(c.status);
        EXPECT_GE(event.id, FirstRunEventId);
        EXPECT_LE(event.id, LastRunEventId);
        ids.insert(event.id);
    }
    EXPECT_EQ(ids.size(), std::size(cases));
}

}  // namespace
