#include "sweep/ParallelWalk.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <utility>

#include "platform/Path.h"
#include "sweep/WorkQueue.h"
#include "sweep/WorkerDemand.h"

// What one worker keeps for itself while it walks.
struct ParallelWalk::Worker {
    WalkVisitor& visitor;
    WalkPlace place;
    WorkerDemand demand;
    int sinceMeasure = 0;
};

ParallelWalk::ParallelWalk(WalkThreads& threads, WalkBounds bounds)
    : threads(threads),
      bounds(bounds),
      queue(std::make_shared<WorkQueue>()),
      workers(bounds.workers),
      mostWorkers(bounds.workers),
      growing(bounds.maxWorkers > bounds.workers) {}

ParallelWalk::~ParallelWalk() = default;

bool ParallelWalk::Walk(const Folder& root, WalkVisitor& visitor) {
    ++openDirectories;
    Worker worker{visitor, {}, {}};
    return Search(worker, root) && Loop(worker);
}

bool ParallelWalk::Serve(WalkVisitor& visitor) {
    Worker worker{visitor, {}, {}};
    return Loop(worker);
}

// Waiting for work is done outside: a worker abandoned meanwhile never comes
// back in.
bool ParallelWalk::Loop(Worker& worker) {
    const std::shared_ptr<WorkQueue> shared = queue;
    for (;;) {
        std::optional<WalkWork> work;
        if (!threads.Outside([&] { work.emplace(shared->Take()); })) return false;
        if (work->task) {
            const FolderTask& task = *work->task;
            if (!threads.Outside([&] { task.Run(); })) return false;
        } else if (!work->folder) {
            return true;
        } else if (!Search(worker, work->folder)) {
            return false;
        }
    }
}

void ParallelWalk::Close() { queue->Close(); }

int ParallelWalk::Waiting() const { return queue->Waiting(); }

bool ParallelWalk::Search(Worker& worker, const Folder& folder) {
    worker.place.path = folder->path;
    worker.place.pathBytes = folder->pathBytes;
    worker.visitor.Begin(folder, worker.visitor.Parallel() ? AskAhead(folder) : Executor());
    Measure(worker);
    WalkFolder& listed = *folder;
    if (!List(worker, folder) || !threads.Outside([&] { FolderTask::AwaitAll(listed); }) ||
        !worker.visitor.End(folder))
        return false;
    return Complete(worker, folder);
}

Executor ParallelWalk::AskAhead(const Folder& folder) const {
    return [shared = queue, weak = std::weak_ptr<WalkFolder>(folder)](std::function<void()> task) {
        if (Folder held = weak.lock()) shared->Offer(FolderTask(std::move(held), std::move(task)));
    };
}

// The run's flag is tested after every fetch: a stop leaves the entry just
// fetched alone.
bool ParallelWalk::List(Worker& worker, const Folder& folder) {
    WalkPlace& place = worker.place;
    const size_t length = place.path.size();
    const size_t bytes = place.pathBytes;
    const bool separated = place.path.back() == platform::PathSeparator;
    platform::Directory& dir = folder->dir;
    platform::DirEntry entry;
    for (;;) {
        bool fetched = false;
        if (!threads.Outside([&] { fetched = dir.Next(entry); })) return false;
        if (!fetched || !threads.Going()) break;
        place.path.resize(length);
        if (!separated) place.path += platform::PathSeparator;
        place.path += entry.name;
        place.pathBytes = bytes + (separated ? 0 : 1) + std::strlen(entry.matchName);
        const bool going = entry.kind == platform::EntryKind::Directory ? VisitSubdirectory(worker, folder, entry.name)
                                                                         : worker.visitor.Entry(folder, entry, place);
        if (!going) return false;
        // A task asked ahead found no worker free: one more takes the next.
        if (worker.place.callsBlock && worker.visitor.Parallel() && queue->TakeUnmet()) Grow(worker);
        if (++worker.sinceMeasure == EntriesPerMeasure) Measure(worker);
    }
    place.path.resize(length);
    place.pathBytes = bytes;
    return true;
}

// A subdirectory that is open but cannot be listed is finished at once: there
// is nothing in it to search.
bool ParallelWalk::VisitSubdirectory(Worker& worker, const Folder& folder, const char* name) {
    if (!worker.visitor.Enter(folder, worker.place)) return true;
    Folder child = std::make_shared<WalkFolder>(folder, worker.place.path, worker.place.pathBytes);
    platform::OpenResult opened;
    platform::Directory& dir = child->dir;
    if (!threads.Outside([&] { opened = dir.Open(folder->dir, name); })) return false;
    worker.visitor.Opened(folder, child, opened);
    if (opened == platform::OpenResult::NotEntered || opened == platform::OpenResult::Refused) return true;
    ++openDirectories;
    ++folder->pending;
    if (opened != platform::OpenResult::Listed) return Complete(worker, child);
    return HandOver(worker, child) || Search(worker, child);
}

// Only while the visitor allows it, to a worker that waits or to one started
// for it, and only while the directories held open leave room for every
// worker to go as deep as the path limit lets it.
bool ParallelWalk::HandOver(Worker& worker, const Folder& child) {
    if (!worker.visitor.Parallel() || !Room(workers.load())) return false;
    if (!queue->Wanted()) {
        // Before its first whole period a worker cannot tell whether its
        // calls block: the one that lists the root would search a folder of
        // it to the end itself before handing any over.
        if (!worker.demand.Judged()) Measure(worker);
        if (!Grow(worker)) return false;
    }
    queue->Push(child);
    return true;
}

bool ParallelWalk::Room(int count) const {
    return openDirectories.load() + count * bounds.maxLevels < bounds.directoryBudget;
}

// One more worker, counted before it exists so that two workers growing at
// once never pass the bounds.
bool ParallelWalk::Grow(const Worker& worker) {
    if (!growing.load(std::memory_order_relaxed)) return false;
    int count = workers.load();
    do {
        if (count >= bounds.maxWorkers || !Room(count + 1) || !worker.demand.WantsMore(count, bounds.processors))
            return false;
    } while (!workers.compare_exchange_weak(count, count + 1));
    if (!threads.AddWorker()) {
        --workers;
        growing = false;
        return false;
    }
    int most = mostWorkers.load();
    while (most < count + 1 && !mostWorkers.compare_exchange_weak(most, count + 1)) {
    }
    return true;
}

// Only where the walk may grow: elsewhere the times are never read.
void ParallelWalk::Measure(Worker& worker) {
    worker.sinceMeasure = 0;
    if (!growing.load(std::memory_order_relaxed)) return;
    worker.demand.Measure(threads.Times());
    worker.place.callsBlock = worker.demand.Blocked();
}

bool ParallelWalk::Complete(Worker& worker, const Folder& folder) {
    if (folder->pending.fetch_sub(1, std::memory_order_acq_rel) > 1) return true;
    return Finish(worker, folder);
}

bool ParallelWalk::Finish(Worker& worker, const Folder& folder) {
    --openDirectories;
    if (!worker.visitor.Finish(folder)) return false;
    if (!folder->parent) {
        Close();
        return true;
    }
    return Complete(worker, folder->parent);
}
