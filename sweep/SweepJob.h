#pragma once
// One sweep of the configured root on worker threads: the name pattern, the
// attribute and age filters, deletion, removal of emptied subdirectories,
// the pauses for the chosen speed and the progress texts.
//
// The sweep never leaves the root: links are not followed (a link to a file
// is deleted as a link), other mounts are not entered, and every open and
// delete is made relative to the open parent directory. FIFOs, sockets and
// devices are counted but never deleted.
//
// The walk itself (ParallelWalk) is a unit apart; the job is its visitor on
// every worker (SweepJob::Visitor, sweep/SweepVisitor.h). At full speed a
// worker that meets a subdirectory while another worker has nothing to do
// hands it over, already open; while the calls block, the walk adds workers
// for that beyond the processors. A directory is removed when the sweep
// emptied it, once everything under it is finished. The paced speeds hand
// nothing over: one worker sweeps, with its pauses, as before; a speed saved
// during a run applies to the hand-overs that follow.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/Directory.h"
#include "sweep/EntryReport.h"
#include "sweep/PatternMatcher.h"
#include "sweep/StatusChannel.h"
#include "sweep/WalkVisitor.h"
#include "sweep/WorkerThread.h"

class ParallelWalk;
class SweepProgress;
class SweepSettings;

// What a run left undone that it should have done. Files spared by a filter
// and entries that were gone before their turn are none of these.
struct SweepShortfalls {
    int undeletedFiles = 0;         // matched, allowed by every filter, yet still there
    int unremovedDirectories = 0;   // emptied by the sweep, yet could not be removed
    int unreadableDirectories = 0;  // subdirectories that could not be listed
    int overlongDirectories = 0;    // subdirectories skipped for the path limit
    int unmatchedNames = 0;         // files whose match the library gave up on: kept, unjudged

    bool Any() const {
        return undeletedFiles || unremovedDirectories || unreadableDirectories || overlongDirectories ||
               unmatchedNames;
    }
    bool operator==(const SweepShortfalls&) const = default;
};

// What a run counted, for a metrics file.
struct SweepCounts {
    uint64_t found = 0;                // files whose directory was searched
    uint64_t deleted = 0;              // of which deleted
    uint64_t directoriesSearched = 0;  // the root included
    uint64_t deletedBytes = 0;         // held by the deleted files, when they were counted
    int workers = 0;                   // the most it had at once (at a paced speed one sweeps)
};

class SweepJob : public WorkerThread, private WalkThreads {
public:
    // The longest directory path that is searched, in bytes of the names as
    // they are matched (platform::NameBytes: the ANSI code page on Windows).
    static constexpr size_t MaxPathBytes = 260;
    // The first deletion and every tenth report their file and pause.
    static constexpr int DeletionsPerReport = 10;
    // Every tenth directory pauses on its way out, every hundredth twice.
    static constexpr int DirectoriesPerPause = 10;
    static constexpr int DirectoriesPerDoublePause = 100;
    // At full speed, never more workers than this to begin with, whatever
    // the machine.
    static constexpr int MaxWorkers = 8;
    // While calls block, as many workers as this. A share serves many calls
    // at once (an NFS client's slot table holds dozens of requests, an SMB
    // client as many as the server's credits allow, the benchmark's share
    // answers on 64 threads); each worker costs a thread's stack and may hold
    // MaxLevels directories open, and past a few dozen calls in flight a
    // server queues them rather than answering sooner.
    static constexpr int MaxWorkersOnBlockingCalls = 32;
    // The most directories one worker may hold open down one path: every
    // level adds a separator and at least one byte of name to the path.
    static constexpr int MaxLevels = MaxPathBytes / 2 + 1;

    using Clock = std::function<int64_t()>;  // seconds since 1970-01-01 UTC

    static int64_t SystemNow();
    // One worker for each processor the program may run on, at most MaxWorkers.
    static int DefaultWorkers();
    // How many workers a run that starts with `workers` may grow to while
    // its calls block: MaxWorkersOnBlockingCalls where the system lets
    // workers grow (platform::GrowWorkersOnBlockingCalls), else `workers`.
    static int MostWorkers(int workers);

    // `silentMode` is the process's flag: while it is set no text is queued.
    SweepJob(SweepSettings& settings, StatusChannel& channel, const std::atomic<bool>& silentMode,
             Clock now = SystemNow, Sleeper sleep = RealSleep, int workers = DefaultWorkers());
    ~SweepJob() override;

    // How the last run that reached its end ended, its last text (its
    // summary or its error, kept in the silent run too) and what it left
    // undone. Read them only once WaitDone has seen that end. A root that
    // cannot be opened, or whose path is over the limit, ends the run with an
    // error, not with a summary of nothing found.
    enum class RunEnd { None, Completed, Stopped, InvalidPattern, RootUnreadable, Failed };
    RunEnd LastRunEnd() const;
    const std::string& FinalText() const { return finalText; }
    const SweepShortfalls& LastShortfalls() const { return shortfalls; }
    const SweepCounts& LastCounts() const { return lastCounts; }

    // For the runs that follow: where the outcome of every matched entry
    // goes (null: nowhere; it is called from every worker), and whether a
    // run only lists what it would delete and remove, touching nothing, with
    // its summary in its own words. Set it before Start.
    void ReportEntriesTo(EntryReport* report, bool listOnly);
    // For the runs that follow: where their progress goes (null: nowhere),
    // and whether the bytes of the files they delete are counted, which
    // costs one more look at each file before it goes (on POSIX an fstatat;
    // on Windows nothing, the listing holds the size). Set it before Start.
    void Observe(SweepProgress* progress, bool countBytes);
    // For the runs that follow: whether a run ends once the pattern is
    // compiled and the root opened, searching nothing. It ends as a sweep of
    // an empty root would, or with the error a sweep would end with.
    void OpenRootOnly(bool only) { rootOnly = only; }

protected:
    void PrepareRun() override;
    void Run() override;
    int Helpers() const override { return workers - 1; }
    void RunHelper() override;
    void HelperFailed() override;
    void Interrupt() override;
    void ReportFailure() override;
    // Between listing a subdirectory and opening it, on whichever worker
    // lists it; a test changes the tree here.
    virtual void SubdirectoryListed(const std::string& path);
    // How many workers wait for a directory to be handed over; a test waits
    // for them before the first subdirectory, so that one is.
    int WaitingWorkers() const;
    // The calling worker's times; a test makes its calls look as if they block.
    WorkerTimes Times() const override;
    // Whether workers may be added beyond the processors in a sweep of
    // `root`: where its calls travel to another machine or process. On a
    // local disk a blocked call waits for the disk or the journal, which more
    // workers only queue for (and their contention looks like blocking too).
    // A test lets a local tree's workers grow.
    virtual bool CallsTravel(const platform::Directory& root) const;

private:
    class Visitor;
    using Node = std::shared_ptr<WalkFolder>;
    // Unreadable: the directory is there but cannot be listed. Refused: the
    // way to the root is not safe. Overlong: its path is over the limit.
    enum class Outcome { Searched, Unreadable, Refused, Overlong, NotSearched, Abandoned };
    // What went wrong, counted by every worker.
    struct ShortfallCounts {
        std::atomic<int> undeletedFiles{0}, unremovedDirectories{0}, unreadableDirectories{0},
            overlongDirectories{0}, unmatchedNames{0};
    };

    // The run itself, on its first thread.
    Outcome OpenRoot(Node& node);
    bool SweepRoot(const Node& node);
    bool DismissHelpers();
    void EndSweep(Outcome rootOutcome, const Node& node);

    // What the walk asks of its threads, on any worker.
    bool Outside(CallRef call) override;
    // The run goes on: not stopped, and no worker failed.
    bool Going() const override;
    bool AddWorker() override;
    void Fail();
    void CountDeletion(const Node& node, uint64_t bytes);
    void CountShortfall(Outcome subdirectory);
    void CountShortfall(platform::RemoveResult result, std::atomic<int>& counter);
    void ReportEntry(EntryOutcome outcome, const std::string& path, bool directory);

    void ReportPath(const char* format, const std::string& path);
    void ReportSearchEnd(Outcome rootOutcome, uint32_t found);
    void ReportRootError(Outcome rootOutcome);
    // The run's last text: queued like the others, and kept.
    void ReportEnd(StatusKind kind, const std::string& text);
    void Report(StatusKind kind, const std::string& text);

    SweepSettings& settings;
    StatusChannel& channel;
    const std::atomic<bool>& silentMode;
    const Clock now;
    const int workers;
    const int mostWorkers;

    std::atomic<int> dirCount{0};
    PatternMatcher matcher;
    bool compiled = false;
    std::atomic<int> deletedCount{0};
    int64_t startTime = 0;
    // The run's own copies of what the window may change while it runs.
    std::string root;
    bool regex = false;
    RunEnd runEnd = RunEnd::None;
    std::string finalText;
    ShortfallCounts counts;
    SweepShortfalls shortfalls;
    // Why the way to the root was refused, when it was.
    platform::WayRefusal rootRefusal;
    EntryReport* entryReport = nullptr;
    bool listOnly = false;
    SweepProgress* progress = nullptr;
    bool countBytes = false;
    std::atomic<uint64_t> deletedBytes{0};
    SweepCounts lastCounts;
    bool rootOnly = false;
    // The run's walk, made anew for each run.
    std::unique_ptr<ParallelWalk> walk;
    std::atomic<bool> workerFailed{false};
};
