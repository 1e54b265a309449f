#include "sweep/SweepVisitor.h"

#include "config/SweepSettings.h"
#include "platform/DosAttributes.h"
#include "sweep/SweepFilters.h"
#include "sweep/SweepProgress.h"

namespace {

constexpr const char* SearchingFormat = "搜索目录 %s";
constexpr const char* DeletingFormat = "删除%s";

// Failures of the sweep's own making; "gone" and "not empty" are the tree
// changing or holding what the sweep left on purpose.
bool IsFailure(platform::RemoveResult result) {
    return result == platform::RemoveResult::Denied || result == platform::RemoveResult::InUse ||
           result == platform::RemoveResult::Failed;
}

EntryOutcome OutcomeOf(platform::RemoveResult result, bool directory) {
    switch (result) {
    case platform::RemoveResult::Removed: return directory ? EntryOutcome::Removed : EntryOutcome::Deleted;
    case platform::RemoveResult::Gone: return EntryOutcome::Gone;
    case platform::RemoveResult::Denied: return EntryOutcome::Denied;
    case platform::RemoveResult::InUse: return EntryOutcome::InUse;
    case platform::RemoveResult::NotEmpty:
    case platform::RemoveResult::Failed: break;
    }
    return EntryOutcome::Failed;
}

// What the file held just before its deletion; 0 when it is already gone.
uint64_t SizeOf(const platform::Directory& dir, const platform::DirEntry& entry) {
    platform::EntryInfo info;
    return dir.ReadInfo(entry, 0, true, info) ? info.size : 0;
}

// The first attribute that spares a file, in the order the filters test them.
EntryOutcome SparedBy(uint32_t attributes) {
    if (attributes & platform::AttributeSystem) return EntryOutcome::SparedSystem;
    return attributes & platform::AttributeReadOnly ? EntryOutcome::SparedReadOnly : EntryOutcome::SparedHidden;
}

}  // namespace

bool SweepJob::Visitor::Parallel() const { return job.settings.PauseMillis() == 0; }

// The speed is asked once per directory: a speed saved meanwhile applies
// from the next one.
void SweepJob::Visitor::Begin(const Folder& folder, const Executor& askAhead) {
    if (job.progress) job.progress->Began(folder->path);
    folder->tally.pause = job.settings.PauseMillis();
    folder->tally.askAhead = askAhead;
}

// A link to a directory is neither entered nor counted, but it keeps its
// directory.
bool SweepJob::Visitor::Entry(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place) {
    if (entry.kind == platform::EntryKind::DirectoryLink) {
        folder->tally.kept = true;
        return true;
    }
    ++folder->tally.found;
    if (job.progress) job.progress->FileSeen();
    return VisitFile(folder, entry, place);
}

// A subdirectory not searched stays, and so does whatever holds it.
bool SweepJob::Visitor::Enter(const Folder& folder, const WalkPlace& place) {
    if (!job.settings.subdir) {
        folder->tally.kept = true;
        return false;
    }
    if (place.pathBytes > MaxPathBytes) {
        job.CountShortfall(Outcome::Overlong);
        job.ReportEntry(EntryOutcome::Overlong, place.path, true);
        folder->tally.kept = true;
        return false;
    }
    job.SubdirectoryListed(place.path);
    return true;
}

// The one that is searched gets its text and its count as soon as it is
// open. Nothing was searched in one that cannot be listed, so there is
// nothing to pause after; it may hold anything, so it stays. Where the limit
// on open files kept it closed, the line says so.
void SweepJob::Visitor::Opened(const Folder& folder, const Folder& child, platform::OpenResult result) {
    if (result == platform::OpenResult::NotEntered || result == platform::OpenResult::Refused) {
        folder->tally.kept = true;
        return;
    }
    job.ReportPath(SearchingFormat, child->path);
    ++job.dirCount;
    if (result == platform::OpenResult::Listed) return;
    job.CountShortfall(Outcome::Unreadable);
    const bool noRoom = result == platform::OpenResult::NoRoom;
    job.ReportEntry(noRoom ? EntryOutcome::NoRoom : EntryOutcome::Unreadable, child->path, true);
    child->tally.kept = true;
}

bool SweepJob::Visitor::End(const Folder& folder) { return DirectoryPause(folder->tally.pause); }

// Its counts go to its parent, and it is removed when the sweep emptied it
// (every file found in it deleted, which includes a subtree without files).
// The root is never removed.
bool SweepJob::Visitor::Finish(const Folder& folder) {
    const Folder& parent = folder->parent;
    if (!parent) return true;
    const FolderTally& tally = folder->tally;
    parent->tally.found += tally.found;
    parent->tally.deleted += tally.deleted;
    const bool emptied = static_cast<uint32_t>(tally.deleted) == tally.found;
    if (!emptied || !job.settings.dirtree) {
        parent->tally.kept = true;
        return true;
    }
    return RemoveEmptied(folder, parent);
}

// A directory in which anything stays (or may stay: one that could not be
// listed) is not tried, so that a list-only run, which removes nothing,
// names exactly what a real run removes.
bool SweepJob::Visitor::RemoveEmptied(const Folder& folder, const Folder& parent) {
    if (folder->tally.kept) {
        parent->tally.kept = true;
        return true;
    }
    if (job.listOnly) {
        job.ReportEntry(EntryOutcome::Removed, folder->path, true);
        return true;
    }
    platform::RemoveResult result;
    if (!job.Outside([&] { result = parent->dir.RemoveSubdirectory(folder->dir); })) return false;
    job.CountShortfall(result, job.counts.unremovedDirectories);
    if (result != platform::RemoveResult::Removed) parent->tally.kept = true;
    if (result != platform::RemoveResult::NotEmpty) job.ReportEntry(OutcomeOf(result, true), folder->path, true);
    return true;
}

// Deleting a live FIFO or socket would break whoever uses it: such files are
// only counted.
bool SweepJob::Visitor::VisitFile(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place) {
    std::optional<EntryOutcome> kept;
    Verdict verdict = Verdict::Keep;
    if (entry.kind != platform::EntryKind::Special) verdict = Judge(folder, entry, place, kept);
    else if (job.entryReport && matches(entry.matchName) == NameMatchResult::Match) kept = EntryOutcome::Special;
    if (verdict == Verdict::Delete) return Delete(folder, entry, place);
    folder->tally.kept = true;
    if (kept) job.ReportEntry(*kept, place.path, false);
    return verdict == Verdict::Keep;
}

// Cheapest first: the name needs no system call, the attributes and the age
// one, and only for names that matched.
SweepJob::Visitor::Verdict SweepJob::Visitor::Judge(const Folder& folder, const platform::DirEntry& entry,
                                                    const WalkPlace& place, std::optional<EntryOutcome>& kept) {
    const NameMatchResult match = matches(entry.matchName);
    if (match == NameMatchResult::Failed) {
        ++job.counts.unmatchedNames;
        kept = EntryOutcome::Unmatched;
    }
    if (match != NameMatchResult::Match) return Verdict::Keep;
    const SweepFilters filters = SweepFilters::Read(job.settings);
    const uint32_t spared = filters.SparedAttributes();
    const bool age = filters.expiredays != 0;
    if (!spared && !age) return Verdict::Delete;
    if (place.callsBlock && folder->tally.askAhead) AskAhead(folder, spared, age);
    const platform::Directory& dir = folder->dir;
    platform::EntryInfo info;
    bool present = false;
    if (!job.Outside([&] { present = dir.ReadInfo(entry, spared, age, info); })) return Verdict::Abandoned;
    kept = !present ? EntryOutcome::Gone : info.attributes & spared ? SparedBy(info.attributes & spared)
                                                                     : EntryOutcome::TooRecent;
    if (!present || (info.attributes & spared)) return Verdict::Keep;
    return filters.OldEnough(info.lastWrite, job.startTime) ? Verdict::Delete : Verdict::Keep;
}

// Inside one folder the kernel holds the folder's lock across each unlink;
// the questions asked before it (the lookup, the attributes, the time) are
// what other workers can ask meanwhile, for the names after this one.
void SweepJob::Visitor::AskAhead(const Folder& folder, uint32_t spared, bool age) {
    folder->dir.AskAhead(
        spared, age, [this](const char* name) { return matches(name) == NameMatchResult::Match; },
        folder->tally.askAhead, AskAheadTasks);
}

// The report and the pause follow every attempt while the count stands at 1
// or a multiple of ten, failed attempts included. A list-only run counts the
// file as a real run would once it is deleted.
bool SweepJob::Visitor::Delete(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place) {
    platform::RemoveResult result = platform::RemoveResult::Removed;
    const platform::Directory& dir = folder->dir;
    uint64_t bytes = 0;
    const bool countBytes = job.countBytes;
    if (!job.listOnly && !job.Outside([&] {
            bytes = countBytes ? SizeOf(dir, entry) : 0;
            result = dir.DeleteEntry(entry);
        }))
        return false;
    const bool deleted = result == platform::RemoveResult::Removed;
    if (deleted) job.CountDeletion(folder, bytes);
    else folder->tally.kept = true;
    const int count = deleted ? ++job.deletedCount : job.deletedCount.load();
    job.CountShortfall(result, job.counts.undeletedFiles);
    job.ReportEntry(OutcomeOf(result, false), place.path, false);
    if (count != 1 && count % DeletionsPerReport != 0) return true;
    job.ReportPath(DeletingFormat, place.path);
    const int pause = folder->tally.pause;
    return pause <= 0 || job.Pause(pause);
}

// Made on the way out after a stop as well; the count then no longer moves.
bool SweepJob::Visitor::DirectoryPause(int pause) {
    if (pause <= 0) return true;
    const int count = job.dirCount.load();
    if (count % DirectoriesPerPause == 0 && !job.Pause(pause)) return false;
    return count % DirectoriesPerDoublePause != 0 || job.Pause(pause);
}

void SweepJob::CountDeletion(const Node& node, uint64_t bytes) {
    ++node->tally.deleted;
    deletedBytes.fetch_add(bytes, std::memory_order_relaxed);
    if (progress) progress->FileDeleted();
}

void SweepJob::CountShortfall(Outcome subdirectory) {
    if (subdirectory == Outcome::Unreadable) ++counts.unreadableDirectories;
    if (subdirectory == Outcome::Overlong) ++counts.overlongDirectories;
}

void SweepJob::CountShortfall(platform::RemoveResult result, std::atomic<int>& counter) {
    if (IsFailure(result)) ++counter;
}
