#pragma once
// What a sweep does with what each worker of its walk meets: the name
// pattern, the filters, deletion, the removal of emptied directories, the
// pauses and the texts. One per worker.

#include <optional>

#include "sweep/PatternMatcher.h"
#include "sweep/SweepJob.h"
#include "sweep/WalkVisitor.h"

class SweepJob::Visitor final : public WalkVisitor {
public:
    explicit Visitor(SweepJob& job) : job(job), matches(job.matcher) {}

    bool Parallel() const override;
    void Begin(const Folder& folder, const Executor& askAhead) override;
    bool Entry(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place) override;
    bool Enter(const Folder& folder, const WalkPlace& place) override;
    void Opened(const Folder& folder, const Folder& child, platform::OpenResult result) override;
    bool End(const Folder& folder) override;
    bool Finish(const Folder& folder) override;

private:
    // The tasks each window of names asked ahead is split into: one for each
    // worker that may be waiting, which a share at a few round trips' distance
    // keeps busy.
    static constexpr int AskAheadTasks = 4;
    enum class Verdict { Keep, Delete, Abandoned };

    bool VisitFile(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place);
    // `kept` says why a file whose name matched stays.
    Verdict Judge(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place,
                  std::optional<EntryOutcome>& kept);
    void AskAhead(const Folder& folder, uint32_t spared, bool age);
    bool Delete(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place);
    bool RemoveEmptied(const Folder& folder, const Folder& parent);
    bool DirectoryPause(int pause);

    SweepJob& job;
    NameMatch matches;
};
