#pragma once
// One sweep of the configured root on the worker thread: the name pattern,
// the attribute and age filters, deletion, removal of emptied subdirectories,
// the pauses for the chosen speed and the progress texts.
//
// The sweep never leaves the root: links are not followed (a link to a file
// is deleted as a link), other mounts are not entered, and every open and
// delete is made relative to the open parent directory. FIFOs, sockets and
// devices are counted but never deleted.

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/Directory.h"
#include "sweep/PatternMatcher.h"
#include "sweep/StatusChannel.h"
#include "sweep/WorkerThread.h"

class SweepSettings;


// What a run left undone that it should have done. Files spared by a filter
// and entries that were gone before their turn are none of these.
struct SweepShortfalls {
    int undeletedFiles = 0;         // matched, allowed by every filter, yet still there
    int unremovedDirectories = 0;   // emptied by the sweep, yet could not be removed
    int unreadableDirectories = 0;  // subdirectories that could not be listed
    int overlongDirectories = 0;    // subdirectories skipped for the path limit

    bool Any() const {
        return undeletedFiles || unremovedDirectories || unreadableDirectories || overlongDirectories;
    }
};

class SweepJob : public WorkerThread {
public:
    // The longest directory path that is searched, in bytes of the names as
    // they are matched (platform::NameBytes: the ANSI code page on Windows).
    static constexpr size_t MaxPathBytes = 260;
    // The first deletion and every tenth report their file and pause.
    static constexpr int DeletionsPerReport = 10;
    // Every tenth directory pauses on its way out, every hundredth twice.
    static constexpr int DirectoriesPerPause = 10;
    static constexpr int DirectoriesPerDoublePause = 100;

    using Clock = std::function<int64_t()>;  // seconds since 1970-01-01 UTC

    static int64_t SystemNow();

    // `silentMode` is the process's flag: while it is set no text is queued.
    SweepJob(SweepSettings& settings, StatusChannel& channel, const std::atomic<bool>& silentMode,
             Clock now = SystemNow, Sleeper sleep = RealSleep);
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

protected:
    void PrepareRun() override;
    void Run() override;
    void ReportFailure() override;
    // Between listing a subdirectory and opening it; a test changes the tree here.
    virtual void SubdirectoryListed(const std::string& path);

private:
    // Unreadable: the directory is there but cannot be listed. Refused: the
    // way to the root is not safe. Overlong: its path is over the limit.
    enum class Outcome { Searched, Unreadable, Refused, Overlong, NotSearched, Abandoned };
    enum class Verdict { Keep, Delete, Abandoned };

    // The directory whose path `path` holds; `parent` and `name` locate it,
    // `parent` null for the root. `found` is set only when it is searched.
    Outcome SearchDirectory(const platform::Directory* parent, const char* name, uint32_t& found);
    // The helpers below return false once the run is abandoned.
    bool OpenDirectory(platform::Directory& dir, const platform::Directory* parent, const char* name,
                       Outcome& outcome);
    bool SearchEntries(platform::Directory& dir, int pause, uint32_t& found);
    bool VisitSubdirectory(const platform::Directory& dir, const char* name, uint32_t& found);
    bool VisitFile(const platform::Directory& dir, const platform::DirEntry& entry, int pause);
    Verdict Judge(const platform::Directory& dir, const platform::DirEntry& entry);
    bool Delete(const platform::Directory& dir, const platform::DirEntry& entry, int pause);
    bool DirectoryPause(int pause);
    void CountShortfall(Outcome subdirectory);
    void CountShortfall(platform::RemoveResult result, int& counter);

    void ReportPath(const char* format);
    void ReportSearchEnd(Outcome rootOutcome, uint32_t found);
    void ReportRootError(Outcome rootOutcome);
    // The run's last text: queued like the others, and kept.
    void ReportEnd(StatusKind kind, const std::string& text);
    void Report(StatusKind kind, const std::string& text);

    SweepSettings& settings;
    StatusChannel& channel;
    const std::atomic<bool>& silentMode;
    const Clock now;

    int dirCount = 0;
    PatternMatcher matcher;
    int deletedCount = 0;
    int64_t startTime = 0;
    // The run's own copies of what the window may change while it runs.
    std::string root;
    std::string expression;
    bool regex = false;
    // The directory or entry being looked at, as the texts show it, and its
    // length as the path limit counts it (platform::NameBytes).
    std::string path;
    size_t pathBytes = 0;
    RunEnd runEnd = RunEnd::None;
    std::string finalText;
    SweepShortfalls shortfalls;
    // Why the way to the root was refused, when it was.
    platform::RootRefusal rootRefusal;
};
