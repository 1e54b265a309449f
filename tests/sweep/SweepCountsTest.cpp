// What a run counts for its metrics file and its progress line, at full
// speed (several workers) and at a paced one.

#include <gtest/gtest.h>

#include "SweepFixture.h"
#include "sweep/OutcomeTally.h"
#include "sweep/SweepProgress.h"

namespace {

using namespace sweeptest;

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
