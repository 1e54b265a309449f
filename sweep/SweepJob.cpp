#include "sweep/SweepJob.h"

#include <algorithm>
#include <chrono>
#include <utility>

#include "ExtLib/StringEx.h"
#include "config/SweepSettings.h"
#include "config/WayRefusalText.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/Threads.h"
#include "sweep/ParallelWalk.h"
#include "sweep/SweepProgress.h"
#include "sweep/SweepVisitor.h"

namespace {

constexpr const char* RunningText = "正在运行...";
constexpr const char* SearchingFormat = "搜索目录 %s";
const std::string BadNameText = "无效文件名";
const std::string BadRegexText = "无效正则表达式";
constexpr const char* SummaryFormat = "%s! 共搜索到%d个文件，删除了%d个文件";
constexpr const char* CompletedText = "运行完成";
constexpr const char* StoppedText = "运行已停止";
constexpr const char* ListSummaryFormat = "%s! 共搜索到%d个文件，将删除%d个文件";
constexpr const char* ListedText = "列出完成";
constexpr const char* ListStoppedText = "列出已停止";
constexpr const char* RootUnreadableFormat = "无法打开处理目录 %s";
constexpr const char* RootTooLongFormat = "处理目录的路径超过260字节，无法处理: %s";
constexpr const char* FailedText = "运行异常结束";
static_assert(SweepJob::MaxPathBytes == 260, "RootTooLongFormat names the limit");

}  // namespace

int64_t SweepJob::SystemNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

int SweepJob::DefaultWorkers() { return std::clamp(platform::ProcessorCount(), 1, MaxWorkers); }

int SweepJob::MostWorkers(int workers) {
    return platform::GrowWorkersOnBlockingCalls() ? std::max(workers, MaxWorkersOnBlockingCalls) : workers;
}

SweepJob::SweepJob(SweepSettings& settings, StatusChannel& channel, const std::atomic<bool>& silentMode,
                   Clock now, Sleeper sleep, int workers)
    : WorkerThread(std::move(sleep)),
      settings(settings),
      channel(channel),
      silentMode(silentMode),
      now(std::move(now)),
      workers(std::max(workers, 1)),
      mostWorkers(MostWorkers(this->workers)) {}

// The workers must be gone before the members they use are.
SweepJob::~SweepJob() { Stop(ExitWaitMillis); }

void SweepJob::SubdirectoryListed(const std::string&) {}

int SweepJob::WaitingWorkers() const { return walk ? walk->Waiting() : 0; }

WorkerTimes SweepJob::Times() const {
    const auto wall = std::chrono::steady_clock::now().time_since_epoch();
    const platform::ThreadTimes thread = platform::CurrentThreadTimes();
    return {std::chrono::duration_cast<std::chrono::nanoseconds>(wall).count(), thread.processor,
            thread.waitingForProcessor};
}

bool SweepJob::CallsTravel(const platform::Directory& root) const { return root.Remote(); }

void SweepJob::ReportEntriesTo(EntryReport* report, bool listOnly) {
    entryReport = report;
    this->listOnly = listOnly;
}

void SweepJob::Observe(SweepProgress* progress, bool countBytes) {
    this->progress = progress;
    this->countBytes = countBytes;
}

// The window may save new settings the moment after a start: the texts a
// run works on are copied before its threads exist, never read by them.
void SweepJob::PrepareRun() {
    runEnd = RunEnd::None;
    finalText.clear();
    shortfalls = {};
    lastCounts = {};
    deletedBytes = 0;
    // What is opened, and what the lines name: the folder the system opens.
    root = platform::ResolvedDirectory(settings.filepath);
    regex = settings.regex;
    settings.matchPattern = BuildExpression(settings.filename, regex);
    // Compiled before any worker exists: they all share it.
    compiled = matcher.Compile(settings.matchPattern, !regex);
    deletedCount = 0;
    dirCount = 0;
    workerFailed = false;
    for (std::atomic<int>* count : {&counts.undeletedFiles, &counts.unremovedDirectories,
                                    &counts.unreadableDirectories, &counts.overlongDirectories,
                                    &counts.unmatchedNames})
        *count = 0;
    WalkThreads& threads = *this;
    walk = std::make_unique<ParallelWalk>(threads,
                                          WalkBounds{workers, mostWorkers, MaxLevels, platform::DirectoryBudget(),
                                                     platform::ProcessorCount()});
}

void SweepJob::Run() {
    Report(StatusKind::Info, RunningText);
    startTime = now();
    Node node;
    Outcome outcome = Outcome::NotSearched;
    if (compiled) {
        outcome = OpenRoot(node);
        if (outcome == Outcome::Abandoned) return;
        if (outcome == Outcome::Searched && !rootOnly && !SweepRoot(node)) return;
    }
    if (!DismissHelpers()) return;
    if (workerFailed) return EndFailedRun();
    if (!compiled) {
        runEnd = RunEnd::InvalidPattern;
        const std::string refusal = matcher.Refusal();
        ReportEnd(StatusKind::Error, (regex ? BadRegexText : BadNameText) + (refusal.empty() ? "" : ": " + refusal));
        return EndRun();
    }
    EndSweep(outcome, node);
}

SweepJob::Outcome SweepJob::OpenRoot(Node& node) {
    const size_t pathBytes = platform::NameBytes(root).size();
    if (root.empty()) return Outcome::NotSearched;
    if (pathBytes > MaxPathBytes) return Outcome::Overlong;
    node = std::make_shared<WalkFolder>(nullptr, root, pathBytes);
    platform::OpenResult result;
    platform::WayRefusal refusal;
    WalkFolder& opened = *node;
    const std::string rootPath = root;
    if (!Outside([&] { result = opened.dir.Open(rootPath.c_str(), &refusal); })) return Outcome::Abandoned;
    rootRefusal = refusal;
    if (result == platform::OpenResult::Refused) return Outcome::Refused;
    ReportPath(SearchingFormat, root);
    ++dirCount;
    return result == platform::OpenResult::Listed ? Outcome::Searched : Outcome::Unreadable;
}

// The first worker searches the root, then takes what others hand over like
// any worker. A worker that throws ends the run as failed: the others stop
// at their next entry.
bool SweepJob::SweepRoot(const Node& node) {
    if (!CallsTravel(node->dir)) walk->KeepWorkers();
    try {
        Visitor visitor(*this);
        return walk->Walk(node, visitor);
    } catch (...) {
        Fail();
    }
    return true;
}

// The run ends only once no helper is left working.
bool SweepJob::DismissHelpers() {
    walk->Close();
    return AwaitHelpers();
}

void SweepJob::RunHelper() {
    Visitor visitor(*this);
    walk->Serve(visitor);
}

void SweepJob::HelperFailed() { Fail(); }

void SweepJob::Fail() {
    workerFailed = true;
    walk->Close();
}

void SweepJob::Interrupt() {
    if (walk) walk->Close();
}

bool SweepJob::Outside(CallRef call) { return WorkerThread::Outside(call); }

bool SweepJob::Going() const { return IsRunning() && !workerFailed; }

bool SweepJob::AddWorker() { return AddHelper(); }

void SweepJob::EndSweep(Outcome rootOutcome, const Node& node) {
    shortfalls = {counts.undeletedFiles, counts.unremovedDirectories, counts.unreadableDirectories,
                  counts.overlongDirectories, counts.unmatchedNames};
    const uint32_t found = node ? node->tally.found.load() : 0;
    lastCounts = {found, static_cast<uint64_t>(deletedCount.load()), static_cast<uint64_t>(dirCount.load()),
                  deletedBytes.load(), walk->MostWorkers()};
    ReportSearchEnd(rootOutcome, found);
    EndRun();
}

void SweepJob::ReportFailure() { ReportEnd(StatusKind::Error, FailedText); }

SweepJob::RunEnd SweepJob::LastRunEnd() const { return RunFailed() ? RunEnd::Failed : runEnd; }

// Progress texts are many; with nothing to queue them to, they are not made.
void SweepJob::ReportPath(const char* format, const std::string& path) {
    if (silentMode) return;
    StringEx text;
    text.Format(format, path.c_str());
    Report(StatusKind::Info, text.Str());
}

void SweepJob::ReportEntry(EntryOutcome outcome, const std::string& path, bool directory) {
    if (entryReport) entryReport->Entry(outcome, path, directory);
}

// A root that opens but holds nothing is a clean run; one that cannot be
// opened is not, and must not read like one.
void SweepJob::ReportSearchEnd(Outcome rootOutcome, uint32_t found) {
    if (rootOutcome == Outcome::Unreadable || rootOutcome == Outcome::Refused || rootOutcome == Outcome::Overlong)
        return ReportRootError(rootOutcome);
    StringEx text;
    runEnd = IsRunning() ? RunEnd::Completed : RunEnd::Stopped;
    const bool completed = runEnd == RunEnd::Completed;
    if (listOnly)
        text.Format(ListSummaryFormat, completed ? ListedText : ListStoppedText, static_cast<int>(found),
                    deletedCount.load());
    else
        text.Format(SummaryFormat, completed ? CompletedText : StoppedText, static_cast<int>(found),
                    deletedCount.load());
    ReportEnd(StatusKind::Info, text.Str());
}

void SweepJob::ReportRootError(Outcome rootOutcome) {
    runEnd = RunEnd::RootUnreadable;
    StringEx text;
    text.Format(rootOutcome == Outcome::Overlong ? RootTooLongFormat : RootUnreadableFormat, root.c_str());
    std::string message = text.Str();
    if (rootOutcome == Outcome::Refused) {
        message += ": " + WayRefusalText(rootRefusal);
    }
    ReportEnd(StatusKind::Error, message);
}

void SweepJob::ReportEnd(StatusKind kind, const std::string& text) {
    finalText = text;
    Report(kind, text);
}

void SweepJob::Report(StatusKind kind, const std::string& text) {
    if (!silentMode) channel.Push(kind, text);
}
