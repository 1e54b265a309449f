#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "SweepFixture.h"
#include "sweep/OutcomeTally.h"
#include "sweep/SweepProgress.h"

namespace {

using namespace sweeptest;

TEST_F(SweepFixture, DefaultPatternSparesDotlessNamesButCountsThem) {
    for (const char* name : {"a.txt", "archive.tar.gz", "README"}) tree.Write(name, "x");
    const Texts texts = Sweep();
    ASSERT_EQ(texts.size(), 4u);
    EXPECT_EQ(texts[0], "正在运行...");
    EXPECT_EQ(texts[1], "搜索目录 " + Root());
    EXPECT_TRUE(texts[2] == "删除" + Root() + Sep + "a.txt" || texts[2] == "删除" + Root() + Sep + "archive.tar.gz");
    EXPECT_EQ(texts[3], Summary(true, 3, 2));
    EXPECT_TRUE(Exists("README"));
    EXPECT_FALSE(Exists("a.txt") || Exists("archive.tar.gz"));
    EXPECT_EQ(settings.matchPattern, "^\\C*\\.\\C*$");
}

TEST_F(SweepFixture, WildcardAndRegexModesMatchCaseSensitively) {
    const struct {
        bool regex;
        const char* pattern;
        std::set<std::string> deleted;
    } modes[] = {
        {false, "*.log", {"app.log"}},
        {true, "log", {"app.log", "catalog.txt"}},
        {false, "?.txt", {"b.txt"}},
        {true, "^b", {"b.txt"}},
    };
    const std::set<std::string> names = {"app.log", "catalog.txt", "x.LOG", "b.txt"};
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.pattern);
        for (const std::string& name : names) tree.Write(name, "x");
        settings.regex = mode.regex;
        settings.filename = mode.pattern;
        EXPECT_EQ(Sweep().back(), Summary(true, 4, static_cast<int>(mode.deleted.size())));
        for (const std::string& name : names) EXPECT_EQ(Exists(name), !mode.deleted.count(name)) << name;
    }
}

TEST_F(SweepFixture, PatternThatDoesNotCompileEndsWithItsErrorOnly) {
    const struct {
        bool regex;
        const char* pattern;
        const char* error;
    } modes[] = {
        {false, "data(1.txt", "无效文件名"},
        {true, "*.*", "无效正则表达式"},
        {true, "[一-龥]", "无效正则表达式: 字符类“[一-龥]”以多字节字符为范围的一端：范围按字节比较，不是字符的次序，请逐个列出字符"},
    };
    tree.Write("data(1.txt", "x");
    for (const auto& mode : modes) {
        SCOPED_TRACE(mode.pattern);
        settings.regex = mode.regex;
        settings.filename = mode.pattern;
        const std::vector<StatusRecord> records = SweepRecords();
        EXPECT_EQ(TextsOf(records), (Texts{"正在运行...", mode.error}));
        EXPECT_EQ(records.back().kind, StatusKind::Error);
        EXPECT_EQ(job.LastRunEnd(), SweepJob::RunEnd::InvalidPattern);
        EXPECT_EQ(job.FinalText(), mode.error);
        EXPECT_TRUE(Exists("data(1.txt"));
    }
}

TEST_F(SweepFixture, WithoutSubdirOnlyTheRootsFilesAreConsidered) {
    tree.Write("a.log", "x");
    tree.Write("sub/b.log", "x");
    fs::create_directories(tree / "empty");
    settings.subdir = false;
    EXPECT_EQ(Sweep(),
              (Texts{"正在运行...", "搜索目录 " + Root(), "删除" + Root() + Sep + "a.log", Summary(true, 1, 1)}));
    EXPECT_TRUE(Exists("sub/b.log") && Exists("empty"));
}

TEST_F(SweepFixture, AgeLimitCountsWholeDaysFromTheRunsStart) {
    settings.filename = "*.log";
    for (const int64_t start : {Year2024, int64_t{4102444800}}) {  // 2024 and 2100
        SCOPED_TRACE(start);
        now = start;
        SetLastWrite(tree.Write("almost.log", "x"), start - SweepFilters::SecondsPerDay + 1);
        SetLastWrite(tree.Write("day.log", "x"), start - SweepFilters::SecondsPerDay);
        SetLastWrite(tree.Write("future.log", "x"), start + 3600);
        settings.expiredays = 1;
        EXPECT_EQ(Sweep().back(), Summary(true, 3, 1));
        EXPECT_TRUE(Exists("almost.log") && Exists("future.log"));
        EXPECT_FALSE(Exists("day.log"));
        settings.expiredays = 0;
        EXPECT_EQ(Sweep().back(), Summary(true, 2, 2));
    }
}

TEST_F(SweepFixture, EmptiedSubtreesAreRemovedBottomUpButNeverTheRoot) {
    const struct {
        bool keepFile;
        bool dirtree;
        std::set<std::string> remaining;
    } modes[] = {
        {false, true, {}},
        {true, true, {"logs", "logs/keep.txt"}},
        {false, false, {"logs", "logs/old", "logs/tmp"}},
    };
    settings.filename = "*.log";
    for (const auto& mode : modes) {
        tree.Write("logs/old/x.log", "x");
        fs::create_directories(tree / "logs/tmp");
        if (mode.keepFile) tree.Write("logs/keep.txt", "x");
        settings.dirtree = mode.dirtree;
        Sweep();
        std::set<std::string> remaining;
        for (const auto& entry : fs::recursive_directory_iterator(tree.Path()))
            remaining.insert(fs::relative(entry.path(), tree.Path()).generic_string());
        EXPECT_EQ(remaining, mode.remaining);
        EXPECT_TRUE(fs::is_directory(tree.Path()));
        fs::remove_all(tree / "logs");
    }
}

TEST_F(SweepFixture, RootKeepsItsOwnSpellingAndPathsGetOneSeparator) {
    settings.filename = "*.log";
    for (const std::string& root : {Root(), Root() + Sep}) {
        tree.Write("sub/a.log", "x");
        settings.filepath = root;
        EXPECT_EQ(Sweep(), (Texts{"正在运行...", "搜索目录 " + root, "搜索目录 " + Root() + Sep + "sub",
                                  "删除" + Root() + Sep + "sub" + Sep + "a.log", Summary(true, 1, 1)}));
    }
}

// A root that is missing, no directory or too long to search ends the run
// with an error, never with a summary a monitor would take for a clean run.
// An empty path and an empty directory give the empty summary.
TEST_F(SweepFixture, RootThatCannotBeOpenedEndsWithAnErrorInsteadOfTheSummary) {
    fs::create_directories(tree / "empty");
    tree.Write("file", "x");
    const std::string tooLong = Root() + Sep + std::string(SweepJob::MaxPathBytes, 'x');
    const struct {
        std::string root;
        bool searched;
        std::string error;  // empty: the run completes
    } roots[] = {
        {"", false, ""},
        {tooLong, false, "处理目录的路径超过260字节，无法处理: " + tooLong},
        {Root() + Sep + "empty", true, ""},
        {Root() + Sep + "missing", true, "无法打开处理目录 " + Root() + Sep + "missing"},
        {Root() + Sep + "file", true, "无法打开处理目录 " + Root() + Sep + "file"},
        {Root() + Sep + "file" + Sep, true, "无法打开处理目录 " + Root() + Sep + "file" + Sep},
    };
    for (const auto& root : roots) {
        SCOPED_TRACE(root.root);
        settings.filepath = root.root;
        Texts expected = {"正在运行..."};
        if (root.searched) expected.push_back("搜索目录 " + root.root);
        const bool opens = root.error.empty();
        expected.push_back(opens ? Summary(true, 0, 0) : root.error);
        const std::vector<StatusRecord> records = SweepRecords();
        EXPECT_EQ(TextsOf(records), expected);
        EXPECT_EQ(records.back().kind, opens ? StatusKind::Info : StatusKind::Error);
        EXPECT_EQ(job.LastRunEnd(), opens ? SweepJob::RunEnd::Completed : SweepJob::RunEnd::RootUnreadable);
        EXPECT_EQ(job.FinalText(), expected.back());
    }
}

TEST_F(SweepFixture, DirectoryPathsLongerThanTheLimitAreNotSearched) {
    const size_t room = SweepJob::MaxPathBytes - Root().size() - 1;
    const std::string fits(room, 'a');
    const std::string tooLong(room + 1, 'b');
    tree.Write(fits + "/in.log", "x");
    tree.Write(tooLong + "/out.log", "x");
    EXPECT_EQ(Sweep().back(), Summary(true, 1, 1));
    EXPECT_FALSE(Exists(fits));
    EXPECT_TRUE(Exists(tooLong + "/out.log"));
    EXPECT_EQ(job.LastShortfalls().overlongDirectories, 1);
}

TEST_F(SweepFixture, SilentModeQueuesNothingButKeepsTheFinalText) {
    tree.Write("a.log", "x");
    silent = true;
    EXPECT_EQ(Sweep(), Texts{});
    EXPECT_FALSE(Exists("a.log"));
    EXPECT_EQ(job.LastRunEnd(), SweepJob::RunEnd::Completed);
    EXPECT_EQ(job.FinalText(), Summary(true, 1, 1));
}

// The window may save while a run goes on: the root and the pattern stay as
// they were when the run began, the filters change for the rest of the run.
TEST_F(HookedSweepFixture, RunKeepsItsTextsButReadsFiltersAsItGoes) {
    tree.Write("sub/x.txt", "x");
    SetLastWrite(tree.Write("sub/old.log", "x"), now - 2 * SweepFilters::SecondsPerDay);
    tree.Write("sub/new.log", "x");
    settings.filename = "*.log";
    job.onSubdirectory = [this](const std::string&) {
        settings.filename = "*";
        settings.filepath = "/";
        settings.expiredays = 1;
    };
    EXPECT_EQ(Sweep().back(), Summary(true, 3, 1));
    EXPECT_TRUE(Exists("sub/x.txt") && Exists("sub/new.log"));
    EXPECT_FALSE(Exists("sub/old.log"));
}

// What a run counts for its metrics file and its progress line, at full
// speed (several workers) and at a paced one.
TEST_F(SweepFixture, RunCountsWhatItDidForItsWatchers) {
    settings.filename = "*.log";
    settings.expiredays = 1;
    settings.dirtree = true;
    for (const int speed : {3, 2}) {
        for (const bool countBytes : {true, false}) {
            SCOPED_TRACE(testing::Message() << "speed " << speed << ", bytes " << countBytes);
            settings.speed = speed;
            tree.Write("a.log", std::string(100, 'a'));
            tree.Write("b.txt", "b");
            tree.Write("one/c.log", std::string(20, 'c'));
            tree.Write("one/two/d.log", std::string(3, 'd'));
            SetLastWrite(tree.Write("keep/new.log", "n"), now);
            for (const char* old : {"a.log", "one/c.log", "one/two/d.log"}) SetLastWrite(tree / old, now - 3 * 86400);
            OutcomeTally tally;
            SweepProgress progress;
            job.ReportEntriesTo(&tally, false);
            job.Observe(&progress, countBytes);
            Sweep();
            const SweepCounts counts = job.LastCounts();
            EXPECT_EQ(counts.found, 5u);
            EXPECT_EQ(counts.deleted, 3u);
            EXPECT_EQ(counts.directoriesSearched, 4u);  // the root, one, one/two, keep
            EXPECT_EQ(counts.deletedBytes, countBytes ? 123u : 0u);
            EXPECT_EQ(tally.Count(EntryOutcome::Deleted), 3u);
            EXPECT_EQ(tally.Count(EntryOutcome::Removed), 2u);
            EXPECT_EQ(tally.Count(EntryOutcome::TooRecent), 1u);
            const SweepProgress::Snapshot seen = progress.Take();
            EXPECT_EQ(seen.files, 5u);
            EXPECT_EQ(seen.deleted, 3u);
            EXPECT_EQ(seen.folder.rfind(Root(), 0), 0u) << seen.folder;
            job.Observe(nullptr, false);
            job.ReportEntriesTo(nullptr, false);
            fs::remove_all(tree / "keep");
            fs::remove(tree / "b.txt");
        }
    }
}

}  // namespace
