#include "sweep/SweepJob.h"

#include <chrono>
#include <cstring>
#include <utility>

#include "ExtLib/StringEx.h"
#include "config/SweepSettings.h"
#include "platform/Directory.h"
#include "platform/Path.h"
#include "sweep/SweepFilters.h"

namespace {

constexpr const char* RunningText = "正在运行...";
constexpr const char* SearchingFormat = "搜索目录 %s";
constexpr const char* DeletingFormat = "删除%s";
constexpr const char* BadNameText = "无效文件名";
constexpr const char* BadRegexText = "无效正则表达式";
constexpr const char* SummaryFormat = "%s! 共搜索到%d个文件，删除了%d个文件";
constexpr const char* CompletedText = "运行完成";
constexpr const char* StoppedText = "运行已停止";
constexpr const char* RootUnreadableFormat = "无法打开处理目录 %s";
constexpr const char* RootTooLongFormat = "处理目录的路径超过260字节，无法处理: %s";
constexpr const char* FailedText = "运行异常结束";
static_assert(SweepJob::MaxPathBytes == 260, "RootTooLongFormat names the limit");

// Why the way to the root was refused, naming the place.
const char* RefusalFormat(platform::RootRefusal::Reason reason) {
    switch (reason) {
    case platform::RootRefusal::Reason::ForeignLink: return "“%s”是其他用户建立的链接，不会跟随";
    case platform::RootRefusal::Reason::UnsafeTransition: return "经由其他用户的目录进入“%s”不安全，不会继续";
    case platform::RootRefusal::Reason::TooManyLinks: return "“%s”处的链接层数过多";
    }
    return "%s";
}

// Failures of the sweep's own making; "gone" and "not empty" are the tree
// changing or holding what the sweep left on purpose.
bool IsFailure(platform::RemoveResult result) {
    return result == platform::RemoveResult::Denied || result == platform::RemoveResult::InUse ||
           result == platform::RemoveResult::Failed;
}

}  // namespace

int64_t SweepJob::SystemNow() {
    return std::chrono::duration_cast<std::chrono::seconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

SweepJob::SweepJob(SweepSettings& settings, StatusChannel& channel, const std::atomic<bool>& silentMode,
                   Clock now, Sleeper sleep)
    : WorkerThread(std::move(sleep)),
      settings(settings),
      channel(channel),
      silentMode(silentMode),
      now(std::move(now)) {}

// The worker must be gone before the members it uses are.
SweepJob::~SweepJob() { Stop(ExitWaitMillis); }

void SweepJob::SubdirectoryListed(const std::string&) {}

// The window may save new settings the moment after a start: the texts a
// run works on are copied before its thread exists, never read by it.
void SweepJob::PrepareRun() {
    runEnd = RunEnd::None;
    finalText.clear();
    shortfalls = {};
    root = settings.filepath;
    regex = settings.regex;
    settings.matchPattern = BuildExpression(settings.filename, regex);
    expression = ExpressionForNames(settings.matchPattern);
}

void SweepJob::Run() {
    Report(StatusKind::Info, RunningText);
    startTime = now();
    deletedCount = 0;
    dirCount = 0;
    uint32_t found = 0;
    path = root;
    pathBytes = platform::NameBytes(root).size();
    if (!matcher.Compile(expression, !regex)) {
        runEnd = RunEnd::InvalidPattern;
        ReportEnd(StatusKind::Error, regex ? BadRegexText : BadNameText);
    } else {
        const Outcome outcome = SearchDirectory(nullptr, nullptr, found);
        if (outcome == Outcome::Abandoned) return;
        ReportSearchEnd(outcome, found);
    }
    EndRun();
}

void SweepJob::ReportFailure() { ReportEnd(StatusKind::Error, FailedText); }

SweepJob::RunEnd SweepJob::LastRunEnd() const { return RunFailed() ? RunEnd::Failed : runEnd; }

SweepJob::Outcome SweepJob::SearchDirectory(const platform::Directory* parent, const char* name,
                                            uint32_t& found) {
    if (path.empty()) return Outcome::NotSearched;
    if (pathBytes > MaxPathBytes) return Outcome::Overlong;
    platform::Directory dir;
    Outcome outcome;
    if (!OpenDirectory(dir, parent, name, outcome)) return Outcome::Abandoned;
    if (outcome == Outcome::NotSearched || outcome == Outcome::Refused) return outcome;
    ReportPath(SearchingFormat);
    found = 0;
    ++dirCount;
    // Nothing was searched there, so there is nothing to pause after.
    if (outcome == Outcome::Unreadable) return outcome;
    const int pause = settings.PauseMillis();
    if (!SearchEntries(dir, pause, found) || !DirectoryPause(pause)) return Outcome::Abandoned;
    return Outcome::Searched;
}

// A directory that turned out to be a link or another mount is left alone
// entirely.
bool SweepJob::OpenDirectory(platform::Directory& dir, const platform::Directory* parent, const char* name,
                             Outcome& outcome) {
    platform::OpenResult result;
    if (parent) {
        SubdirectoryListed(path);
        if (!Outside([&] { result = dir.Open(*parent, name); })) return false;
    } else {
        const std::string rootPath = path;
        platform::RootRefusal refusal;
        if (!Outside([&] { result = dir.Open(rootPath.c_str(), &refusal); })) return false;
        rootRefusal = refusal;
    }
    outcome = result == platform::OpenResult::Listed       ? Outcome::Searched
              : result == platform::OpenResult::Unreadable ? Outcome::Unreadable
              : result == platform::OpenResult::Refused    ? Outcome::Refused
                                                           : Outcome::NotSearched;
    return true;
}

// The running flag is tested after every fetch: a stop leaves the entry just
// fetched alone.
bool SweepJob::SearchEntries(platform::Directory& dir, int pause, uint32_t& found) {
    const size_t length = path.size();
    const size_t bytes = pathBytes;
    const bool separated = path.back() == platform::PathSeparator;
    const size_t separator = separated ? 0 : 1;
    platform::DirEntry entry;
    for (;;) {
        bool fetched = false;
        if (!Outside([&] { fetched = dir.Next(entry); })) return false;
        if (!fetched || !IsRunning()) break;
        path.resize(length);
        if (!separated) path += platform::PathSeparator;
        path += entry.name;
        pathBytes = bytes + separator + std::strlen(entry.matchName);
        if (entry.kind == platform::EntryKind::Directory) {
            if (!VisitSubdirectory(dir, entry.name, found)) return false;
        } else {
            ++found;
            if (!VisitFile(dir, entry, pause)) return false;
        }
    }
    path.resize(length);
    pathBytes = bytes;
    return true;
}

// A subtree is removed when every file found in it was deleted, which
// includes a subtree without files and one that cannot be listed; a removal
// that fails leaves it.
bool SweepJob::VisitSubdirectory(const platform::Directory& dir, const char* name, uint32_t& found) {
    if (!settings.subdir) return true;
    const int before = deletedCount;
    uint32_t sub = 0;
    const Outcome outcome = SearchDirectory(&dir, name, sub);
    if (outcome == Outcome::Abandoned) return false;
    CountShortfall(outcome);
    if (outcome == Outcome::NotSearched || outcome == Outcome::Overlong) return true;
    found += sub;
    if (static_cast<uint32_t>(deletedCount - before) != sub || !settings.dirtree) return true;
    platform::RemoveResult result;
    if (!Outside([&] { result = dir.RemoveEmptySubdirectory(name); })) return false;
    CountShortfall(result, shortfalls.unremovedDirectories);
    return true;
}

// Deleting a live FIFO or socket would break whoever uses it: such files are
// only counted.
bool SweepJob::VisitFile(const platform::Directory& dir, const platform::DirEntry& entry, int pause) {
    if (entry.kind == platform::EntryKind::Special) return true;
    const Verdict verdict = Judge(dir, entry);
    if (verdict != Verdict::Delete) return verdict == Verdict::Keep;
    return Delete(dir, entry, pause);
}

// Cheapest first: the name needs no system call, the attributes and the age
// one, and only for names that matched.
SweepJob::Verdict SweepJob::Judge(const platform::Directory& dir, const platform::DirEntry& entry) {
    if (!matcher.Match(entry.matchName, 1)) return Verdict::Keep;
    const SweepFilters filters = SweepFilters::Read(settings);
    const uint32_t spared = filters.SparedAttributes();
    const bool age = filters.expiredays != 0;
    if (!spared && !age) return Verdict::Delete;
    platform::EntryInfo info;
    bool present = false;
    if (!Outside([&] { present = dir.ReadInfo(entry, spared, age, info); })) return Verdict::Abandoned;
    if (!present || (info.attributes & spared)) return Verdict::Keep;
    return filters.OldEnough(info.lastWrite, startTime) ? Verdict::Delete : Verdict::Keep;
}

// The report and the pause follow every attempt while the count stands at 1
// or a multiple of ten, failed attempts included.
bool SweepJob::Delete(const platform::Directory& dir, const platform::DirEntry& entry, int pause) {
    platform::RemoveResult result;
    if (!Outside([&] { result = dir.DeleteEntry(entry); })) return false;
    if (result == platform::RemoveResult::Removed) ++deletedCount;
    CountShortfall(result, shortfalls.undeletedFiles);
    if (deletedCount != 1 && deletedCount % DeletionsPerReport != 0) return true;
    ReportPath(DeletingFormat);
    return pause <= 0 || Pause(pause);
}

// Made on the way out after a stop as well; the count then no longer moves.
bool SweepJob::DirectoryPause(int pause) {
    if (pause <= 0) return true;
    if (dirCount % DirectoriesPerPause == 0 && !Pause(pause)) return false;
    return dirCount % DirectoriesPerDoublePause != 0 || Pause(pause);
}

void SweepJob::CountShortfall(Outcome subdirectory) {
    if (subdirectory == Outcome::Unreadable) ++shortfalls.unreadableDirectories;
    if (subdirectory == Outcome::Overlong) ++shortfalls.overlongDirectories;
}

void SweepJob::CountShortfall(platform::RemoveResult result, int& counter) {
    if (IsFailure(result)) ++counter;
}

// Progress texts are many; with nothing to queue them to, they are not made.
void SweepJob::ReportPath(const char* format) {
    if (silentMode) return;
    StringEx text;
    text.Format(format, path.c_str());
    Report(StatusKind::Info, text.Str());
}

// A root that opens but holds nothing is a clean run; one that cannot be
// opened is not, and must not read like one.
void SweepJob::ReportSearchEnd(Outcome rootOutcome, uint32_t found) {
    if (rootOutcome == Outcome::Unreadable || rootOutcome == Outcome::Refused || rootOutcome == Outcome::Overlong)
        return ReportRootError(rootOutcome);
    StringEx text;
    runEnd = IsRunning() ? RunEnd::Completed : RunEnd::Stopped;
    text.Format(SummaryFormat, runEnd == RunEnd::Completed ? CompletedText : StoppedText,
                static_cast<int>(found), deletedCount);
    ReportEnd(StatusKind::Info, text.Str());
}

void SweepJob::ReportRootError(Outcome rootOutcome) {
    runEnd = RunEnd::RootUnreadable;
    StringEx text;
    text.Format(rootOutcome == Outcome::Overlong ? RootTooLongFormat : RootUnreadableFormat, path.c_str());
    std::string message = text.Str();
    if (rootOutcome == Outcome::Refused) {
        text.Format(RefusalFormat(rootRefusal.reason), rootRefusal.component.c_str());
        message += ": " + text.Str();
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
