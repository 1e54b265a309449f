#pragma once
// What a parallel walk (ParallelWalk) is given: the threads it runs on, and
// for each worker the work it does with each folder and entry it meets.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>

#include "platform/Directory.h"
#include "sweep/WalkFolder.h"

// A call passed down without copying or allocating: valid only while the
// callable it was made from lives (the statement that makes it).
class CallRef {
public:
    template <class Call, class = std::enable_if_t<!std::is_same_v<std::decay_t<Call>, CallRef>>>
    CallRef(Call&& call)  // NOLINT: implicit, as a lambda is passed
        : object(const_cast<void*>(static_cast<const void*>(std::addressof(call)))),
          invoke([](void* callable) { (*static_cast<std::remove_reference_t<Call>*>(callable))(); }) {}
    void operator()() const { invoke(object); }

private:
    void* object;
    void (*invoke)(void*);
};

// How long a worker has been at work: the wall clock, its own time on a
// processor, and its time waiting for one (ready to run, not blocked), in
// nanoseconds, each from any fixed start.
struct WorkerTimes {
    int64_t wall = 0;
    int64_t processor = 0;
    int64_t waitingForProcessor = 0;
};

// The threads a walk runs on, and where they meet their controller.
class WalkThreads {
public:
    virtual ~WalkThreads() = default;
    // Runs `call`, which may block for long, where the worker can be paused
    // and abandoned. False once the workers are abandoned: the worker must
    // then return at once, touching nothing of the walk or its owner.
    virtual bool Outside(CallRef call) = 0;
    // No stop was asked and no worker failed: tested after every entry.
    virtual bool Going() const = 0;
    // Starts one more worker, which serves the walk (ParallelWalk::Serve)
    // until it ends; false when none could be made.
    virtual bool AddWorker() = 0;
    // The calling worker's times.
    virtual WorkerTimes Times() const = 0;
};

// The entry or folder a worker is at, as the texts show its path and as the
// path limit counts it (platform::NameBytes).
struct WalkPlace {
    std::string path;
    size_t pathBytes = 0;
    // The worker's calls blocked for most of its last period: worth asking ahead.
    bool callsBlock = false;
};

// Runs a small task on a worker that waits for work, at once, or on none
// (the task is then dropped, never run, and its asker does the work itself).
// A task must block on nothing but its own system call.
using Executor = platform::Executor;

// The work done with what a worker meets, one visitor per worker. Those
// returning bool return false once the workers are abandoned (the walk then
// returns at once); a visitor that throws ends its worker's walk.
class WalkVisitor {
public:
    using Folder = std::shared_ptr<WalkFolder>;

    virtual ~WalkVisitor() = default;
    // Whether a subdirectory may go to another worker now, and more workers
    // may join: asked at every subdirectory.
    virtual bool Parallel() const = 0;
    // The listing of `folder` begins on this worker. `askAhead` runs tasks
    // for it (empty where the walk is not Parallel); the folder is not ended
    // before every task given to it has run or been dropped.
    virtual void Begin(const Folder& folder, const Executor& askAhead) = 0;
    // A file, special file or link to a directory listed in `folder`.
    virtual bool Entry(const Folder& folder, const platform::DirEntry& entry, const WalkPlace& place) = 0;
    // A subdirectory listed in `folder`: whether to open and search it.
    virtual bool Enter(const Folder& folder, const WalkPlace& place) = 0;
    // How opening it went; `child` is searched (or finished at once, when it
    // is open but cannot be listed) after this.
    virtual void Opened(const Folder& folder, const Folder& child, platform::OpenResult result) = 0;
    // The listing of `folder` is over, at its end or at a stop.
    virtual bool End(const Folder& folder) = 0;
    // Everything under `folder` is finished, on whichever worker finished
    // last; its parent is not yet. The root's finish ends the walk.
    virtual bool Finish(const Folder& folder) = 0;
};
