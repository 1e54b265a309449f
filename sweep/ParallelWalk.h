#pragma once
// A walk of a folder tree on several workers: each lists a folder, gives
// what it meets to its visitor, and searches the subdirectories it opens
// itself or hands them, already open, to a worker that has nothing to do; a
// worker with nothing to do also runs the small tasks a folder's visitor
// asks ahead. A
// folder is finished once everything under it is, by whichever worker
// finishes last, and exactly once; the root's finish ends the walk.
//
// The walk owns no thread: the first worker calls Walk, the others Serve,
// each with a visitor of its own. It keeps within two bounds: the folders
// held open (each worker may need `maxLevels` more, down one path, on top of
// those open now) and, while the calls of the workers block, how many
// workers it adds through WalkThreads::AddWorker.

#include <atomic>
#include <memory>

#include "sweep/WalkFolder.h"
#include "sweep/WalkVisitor.h"

class WorkQueue;

struct WalkBounds {
    int workers = 1;          // those that serve the walk from its start
    int maxWorkers = 1;       // the most while calls block; `workers` or fewer: never more
    int maxLevels = 1;        // folders one worker may hold open down one path
    int directoryBudget = 0;  // folders the process may hold open at once
    int processors = 1;       // the processors the workers may run on
};

class ParallelWalk {
public:
    using Folder = std::shared_ptr<WalkFolder>;
    // A worker measures how much its calls block at each folder and after
    // this many entries.
    static constexpr int EntriesPerMeasure = 64;

    ParallelWalk(WalkThreads& threads, WalkBounds bounds);
    ~ParallelWalk();
    ParallelWalk(const ParallelWalk&) = delete;
    ParallelWalk& operator=(const ParallelWalk&) = delete;

    // The first worker: searches `root`, open and listable, then serves like
    // any worker until the walk ends. These two return false once the
    // workers are abandoned: the worker must then return at once.
    bool Walk(const Folder& root, WalkVisitor& visitor);
    bool Serve(WalkVisitor& visitor);
    // Ends the walk: waiting workers return, and what was handed over but not
    // yet taken is dropped. Safe from any thread.
    void Close();
    // Adds no worker from now on. Before Walk: where the calls cannot
    // overlap, more workers than processors would only compete.
    void KeepWorkers() { growing = false; }
    // Workers waiting for a folder.
    int Waiting() const;
    // The most workers the walk had at once.
    int MostWorkers() const { return mostWorkers.load(); }

private:
    struct Worker;

    // Takes what is handed over until the walk ends.
    bool Loop(Worker& worker);
    bool Search(Worker& worker, const Folder& folder);
    // Tasks for `folder` go to waiting workers. The executor holds the folder
    // weakly (its directory may keep the executor) and nothing of the walk,
    // so it may be called outside, by a worker abandoned meanwhile.
    Executor AskAhead(const Folder& folder) const;
    bool List(Worker& worker, const Folder& folder);
    bool VisitSubdirectory(Worker& worker, const Folder& folder, const char* name);
    bool HandOver(Worker& worker, const Folder& child);
    // Room for `count` workers to go as deep as they may.
    bool Room(int count) const;
    bool Grow(const Worker& worker);
    void Measure(Worker& worker);
    // After a folder's own listing, and after each of its subdirectories:
    // the last of these finishes it.
    bool Complete(Worker& worker, const Folder& folder);
    bool Finish(Worker& worker, const Folder& folder);

    WalkThreads& threads;
    const WalkBounds bounds;
    // Shared with every worker that waits in it: one abandoned there touches
    // nothing else of the walk.
    const std::shared_ptr<WorkQueue> queue;
    std::atomic<int> openDirectories{0};
    std::atomic<int> workers;
    std::atomic<int> mostWorkers;
    // Cleared when no more workers can be made.
    std::atomic<bool> growing;
};
