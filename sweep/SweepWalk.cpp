// The walk of a sweep, as every worker does it: list a directory, judge and
// delete its files, search its subdirectories here or hand them to an idle
// worker, and finish each directory once everything under it is finished.

#include "sweep/SweepWalk.h"

#include <cstring>
#include <utility>

#include "config/SweepSettings.h"
#include "platform/DosAttributes.h"
#include "platform/Path.h"
#include "sweep/DirNode.h"
#include "sweep/SweepFilters.h"
#include "sweep/SweepProgress.h"
#include "sweep/WorkQueue.h"

namespace {

constexpr const char* SearchingFormat = "搜索目录 %s";
constexpr const char* DeletingFormat = "删除%s";

// The most directories one worker may hold open down one path: every level
// adds a separator and at least one byte of name to the path's limit.
constexpr int MaxLevels = SweepJob::MaxPathBytes / 2 + 1;

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

// Waiting for work is done outside: a worker abandoned meanwhile never comes
// back in.
bool SweepJob::WorkLoop(Walk& walk) {
    const std::shared_ptr<WorkQueue> work = queue;
    for (;;) {
        Node node;
        if (!Outside([&] { node = work->Take(); })) return false;
        if (!node) return true;
        if (!Search(walk, node)) return false;
    }
}

bool SweepJob::Search(Walk& walk, const Node& node) {
    walk.path = node->path;
    walk.pathBytes = node->pathBytes;
    if (progress) progress->Began(node->path);
    const int pause = settings.PauseMillis();
    if (!SearchEntries(walk, node, pause) || !DirectoryPause(pause)) return false;
    return Complete(walk, node);
}

// The running flag is tested after every fetch: a stop leaves the entry just
// fetched alone. A link to a directory is neither entered nor counted, but
// it keeps its directory.
bool SweepJob::SearchEntries(Walk& walk, const Node& node, int pause) {
    const size_t length = walk.path.size();
    const size_t bytes = walk.pathBytes;
    const bool separated = walk.path.back() == platform::PathSeparator;
    const size_t separator = separated ? 0 : 1;
    platform::Directory& dir = node->dir;
    platform::DirEntry entry;
    for (;;) {
        bool fetched = false;
        if (!Outside([&] { fetched = dir.Next(entry); })) return false;
        if (!fetched || !Going()) break;
        walk.path.resize(length);
        if (!separated) walk.path += platform::PathSeparator;
        walk.path += entry.name;
        walk.pathBytes = bytes + separator + std::strlen(entry.matchName);
        bool going = true;
        if (entry.kind == platform::EntryKind::DirectoryLink) {
            node->kept = true;
        } else if (entry.kind == platform::EntryKind::Directory) {
            going = VisitSubdirectory(walk, node, entry.name);
        } else {
            ++node->found;
            if (progress) progress->FileSeen();
            going = VisitFile(walk, node, entry, pause);
        }
        if (!going) return false;
    }
    walk.path.resize(length);
    walk.pathBytes = bytes;
    return true;
}

// A subdirectory not searched stays, and so does whatever holds it. The one
// that is gets its text and its count as soon as it is open.
bool SweepJob::VisitSubdirectory(Walk& walk, const Node& node, const char* name) {
    if (!settings.subdir) {
        node->kept = true;
        return true;
    }
    if (walk.pathBytes > MaxPathBytes) {
        CountShortfall(Outcome::Overlong);
        ReportEntry(EntryOutcome::Overlong, walk.path, true);
        node->kept = true;
        return true;
    }
    Node child = std::make_shared<DirNode>(node, walk.path, walk.pathBytes);
    SubdirectoryListed(walk.path);
    platform::OpenResult opened;
    platform::Directory& dir = child->dir;
    if (!Outside([&] { opened = dir.Open(node->dir, name); })) return false;
    if (opened == platform::OpenResult::NotEntered || opened == platform::OpenResult::Refused) {
        node->kept = true;
        return true;
    }
    ReportPath(SearchingFormat, walk.path);
    ++dirCount;
    ++openDirectories;
    ++node->pending;
    return Hand(walk, std::move(child), opened);
}

// Nothing was searched in a directory that cannot be listed, so there is
// nothing to pause after; it may hold anything, so it stays. Where the limit
// on open files kept it closed, the line says so.
bool SweepJob::Hand(Walk& walk, Node child, platform::OpenResult opened) {
    if (opened != platform::OpenResult::Listed) {
        CountShortfall(Outcome::Unreadable);
        const bool noRoom = opened == platform::OpenResult::NoRoom;
        ReportEntry(noRoom ? EntryOutcome::NoRoom : EntryOutcome::Unreadable, walk.path, true);
        child->kept = true;
        return Complete(walk, child);
    }
    return HandOver(child) || Search(walk, child);
}

// Only at full speed, only to a worker that waits, and only while the
// directories held open leave room for every worker to go as deep as the
// path limit lets it.
bool SweepJob::HandOver(const Node& child) {
    if (workers == 1 || settings.PauseMillis() != 0 || !queue->Wanted()) return false;
    if (openDirectories.load() + workers * MaxLevels >= directoryBudget) return false;
    queue->Push(child);
    return true;
}

bool SweepJob::Complete(Walk& walk, const Node& node) {
    if (node->pending.fetch_sub(1, std::memory_order_acq_rel) > 1) return true;
    return Finish(walk, node);
}

// Everything under `node` is finished: its counts go to its parent, and it
// is removed when the sweep emptied it (every file found in it deleted,
// which includes a subtree without files). The root is never removed; its
// finish ends the run's walk.
bool SweepJob::Finish(Walk& walk, const Node& node) {
    const Node& parent = node->parent;
    --openDirectories;
    if (!parent) {
        queue->Close();
        return true;
    }
    parent->found += node->found;
    parent->deleted += node->deleted;
    const bool emptied = static_cast<uint32_t>(node->deleted) == node->found;
    if (!emptied || !settings.dirtree) {
        parent->kept = true;
    } else if (!RemoveEmptied(node, parent)) {
        return false;
    }
    return Complete(walk, parent);
}

// A directory in which anything stays (or may stay: one that could not be
// listed) is not tried, so that a list-only run, which removes nothing,
// names exactly what a real run removes.
bool SweepJob::RemoveEmptied(const Node& node, const Node& parent) {
    if (node->kept) {
        parent->kept = true;
        return true;
    }
    if (listOnly) {
        ReportEntry(EntryOutcome::Removed, node->path, true);
        return true;
    }
    platform::RemoveResult result;
    if (!Outside([&] { result = parent->dir.RemoveSubdirectory(node->dir); })) return false;
    CountShortfall(result, counts.unremovedDirectories);
    if (result != platform::RemoveResult::Removed) parent->kept = true;
    if (result != platform::RemoveResult::NotEmpty) ReportEntry(OutcomeOf(result, true), node->path, true);
    return true;
}

// Deleting a live FIFO or socket would break whoever uses it: such files are
// only counted.
bool SweepJob::VisitFile(Walk& walk, const Node& node, const platform::DirEntry& entry, int pause) {
    std::optional<EntryOutcome> kept;
    Verdict verdict = Verdict::Keep;
    if (entry.kind != platform::EntryKind::Special) verdict = Judge(walk, node->dir, entry, kept);
    else if (entryReport && walk.matches(entry.matchName) == NameMatchResult::Match) kept = EntryOutcome::Special;
    if (verdict == Verdict::Delete) return Delete(walk, node, entry, pause);
    node->kept = true;
    if (kept) ReportEntry(*kept, walk.path, false);
    return verdict == Verdict::Keep;
}

// Cheapest first: the name needs no system call, the attributes and the age
// one, and only for names that matched.
SweepJob::Verdict SweepJob::Judge(Walk& walk, const platform::Directory& dir, const platform::DirEntry& entry,
                                   std::optional<EntryOutcome>& kept) {
    const NameMatchResult match = walk.matches(entry.matchName);
    if (match == NameMatchResult::Failed) {
        ++counts.unmatchedNames;
        kept = EntryOutcome::Unmatched;
    }
    if (match != NameMatchResult::Match) return Verdict::Keep;
    const SweepFilters filters = SweepFilters::Read(settings);
    const uint32_t spared = filters.SparedAttributes();
    const bool age = filters.expiredays != 0;
    if (!spared && !age) return Verdict::Delete;
    platform::EntryInfo info;
    bool present = false;
    if (!Outside([&] { present = dir.ReadInfo(entry, spared, age, info); })) return Verdict::Abandoned;
    kept = !present ? EntryOutcome::Gone : info.attributes & spared ? SparedBy(info.attributes & spared)
                                                                     : EntryOutcome::TooRecent;
    if (!present || (info.attributes & spared)) return Verdict::Keep;
    return filters.OldEnough(info.lastWrite, startTime) ? Verdict::Delete : Verdict::Keep;
}

// The report and the pause follow every attempt while the count stands at 1
// or a multiple of ten, failed attempts included. A list-only run counts the
// file as a real run would once it is deleted.
bool SweepJob::Delete(Walk& walk, const Node& node, const platform::DirEntry& entry, int pause) {
    platform::RemoveResult result = platform::RemoveResult::Removed;
    const platform::Directory& dir = node->dir;
    uint64_t bytes = 0;
    if (!listOnly && !Outside([&] {
            bytes = countBytes ? SizeOf(dir, entry) : 0;
            result = dir.DeleteEntry(entry);
        }))
        return false;
    const bool deleted = result == platform::RemoveResult::Removed;
    if (deleted) CountDeletion(node, bytes);
    else node->kept = true;
    const int count = deleted ? ++deletedCount : deletedCount.load();
    CountShortfall(result, counts.undeletedFiles);
    ReportEntry(OutcomeOf(result, false), walk.path, false);
    if (count != 1 && count % DeletionsPerReport != 0) return true;
    ReportPath(DeletingFormat, walk.path);
    return pause <= 0 || Pause(pause);
}

void SweepJob::CountDeletion(const Node& node, uint64_t bytes) {
    ++node->deleted;
    deletedBytes.fetch_add(bytes, std::memory_order_relaxed);
    if (progress) progress->FileDeleted();
}

// Made on the way out after a stop as well; the count then no longer moves.
bool SweepJob::DirectoryPause(int pause) {
    if (pause <= 0) return true;
    const int count = dirCount.load();
    if (count % DirectoriesPerPause == 0 && !Pause(pause)) return false;
    return count % DirectoriesPerDoublePause != 0 || Pause(pause);
}

void SweepJob::CountShortfall(Outcome subdirectory) {
    if (subdirectory == Outcome::Unreadable) ++counts.unreadableDirectories;
    if (subdirectory == Outcome::Overlong) ++counts.overlongDirectories;
}

void SweepJob::CountShortfall(platform::RemoveResult result, std::atomic<int>& counter) {
    if (IsFailure(result)) ++counter;
}
