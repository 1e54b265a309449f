#include "app/SweepApp.h"

#include <cstdint>
#include <optional>

#include "app/CommandLine.h"
#include "app/EntryLines.h"
#include "app/FrontEnd.h"
#include "app/MetricsFile.h"
#include "app/ProcessObjects.h"
#include "app/ProgressDisplay.h"
#include "app/RunEvents.h"
#include "app/RunMetrics.h"
#include "app/SilentTexts.h"
#include "config/ConfigFile.h"
#include "config/SweepSettings.h"
#include "platform/Console.h"
#include "platform/EventLog.h"
#include "platform/Journal.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/StopRequests.h"
#include "sweep/OutcomeTally.h"
#include "sweep/SweepProgress.h"

namespace {

constexpr int GuardWaitMs = 200;
constexpr const char* GuardBaseName = "VORNMutex";
constexpr const char* AlreadyRunningLine = "VORN已经在运行中...";
constexpr const char* AlreadyRunningAdvice = "\r\n\r\n请检查进程确认退出后重新运行!";
const std::string ConfigErrorText = "vorn.ini配置文件错误!\r\n静默模式运行前必须先进行配置!";
constexpr const char* SwitchMisusedText =
    "命令行错误: “/ini:”和“/metrics:”后必须是路径，且各只能给出一次。用法: vorn /?";
constexpr const char* NoProgramPathText = "无法确定程序自身的路径，找不到程序目录中的vorn.ini配置文件!";

// Message texts use CR LF between lines; a terminal wants plain line ends.
std::string ForTerminal(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

// Each line of a failure's report starts with the prefix that files it as an
// error where the stream is the journal; other lines keep its default.
bool PrintLine(platform::StandardStream to, const std::string& text, bool failure) {
    const std::string prefix = failure ? platform::ErrorPrefix(to) : std::string();
    std::string lines = ForTerminal(text) + "\n";
    for (size_t at = 0; !prefix.empty() && at < lines.size(); at = lines.find('\n', at) + 1) lines.insert(at, prefix);
    return platform::WriteStandard(to, lines);
}

void PrintError(const std::string& text) { PrintLine(platform::StandardStream::Error, text, true); }

// A file read but refused by the strict check, or one someone else could
// have written, is refused outright: no window opens to configure it.
bool RefusedOutright(const StartupConfig& config) {
    return config.problem && (config.loaded || config.file.problem == ConfigFile::Problem::Foreign);
}

// Why a silent run cannot use the file: what the strict check found in what
// was read, or, when nothing could be, that it must be configured first.
std::string ConfigRefusal(const StartupConfig& config) {
    if (RefusedOutright(config)) return config.problem->Message();
    return std::string(ConfigErrorText) + (config.problem ? "\r\n" + config.problem->Detail() : "");
}

// A short fixed text for a file's path (FNV-1a), fit for a guard's name.
std::string HashText(const std::string& text) {
    uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : text) hash = (hash ^ c) * 1099511628211ull;
    return std::to_string(hash);
}

// A stop the owner asked for is not turned into a failure by what the sweep
// had left undone when it stopped.
ExitStatus StatusOf(SweepJob::RunEnd end, const SweepShortfalls& shortfalls) {
    switch (end) {
    case SweepJob::RunEnd::InvalidPattern: return ExitStatus::InvalidPattern;
    case SweepJob::RunEnd::RootUnreadable: return ExitStatus::RootUnreadable;
    case SweepJob::RunEnd::Failed: return ExitStatus::SweepFailed;
    case SweepJob::RunEnd::Stopped: return ExitStatus::Stopped;
    default: return shortfalls.Any() ? ExitStatus::Incomplete : ExitStatus::Success;
    }
}

// A line redrawn on the terminal that shows the /L or /V lines would only
// cut into them: those lines are the progress there.
bool ShowsProgress(RunMode mode) {
    using platform::StandardStream;
    return platform::IsTerminal(StandardStream::Error) &&
           (mode == RunMode::Silent || !platform::IsTerminal(StandardStream::Output));
}

// The one line a scheduler's log keeps of each run, and what a run that
// left work undone left; the same text for the event.
std::string PrintSummary(ExitStatus status, bool outputLost) {
    const bool failed = status != ExitStatus::Success && status != ExitStatus::Stopped;
    // A summary the output refuses goes where it can still be read.
    if (outputLost || !PrintLine(platform::StandardStream::Output, sweepJob.FinalText(), failed))
        PrintLine(platform::StandardStream::Error, sweepJob.FinalText(), failed);
    if (status != ExitStatus::Incomplete) return sweepJob.FinalText();
    const std::string shortfalls = ShortfallText(sweepJob.LastShortfalls());
    PrintError(shortfalls);
    return sweepJob.FinalText() + "\n" + shortfalls;
}

RunRecord RecordOf(const OutcomeTally& tally) {
    RunRecord run;
    run.counts = sweepJob.LastCounts();
    run.shortfalls = sweepJob.LastShortfalls();
    for (size_t outcome = 0; outcome < run.outcomes.size(); ++outcome)
        run.outcomes[outcome] = tally.Count(static_cast<EntryOutcome>(outcome));
    return run;
}

}  // namespace

SweepApp::SweepApp() = default;

SweepApp::~SweepApp() = default;

bool SweepApp::InitInstance(int argc, char** argv) {
    this->argc = argc;
    this->argv = argv;
    const std::string executable = platform::ExecutablePath();
    programDir = DirectoryOf(executable);
    exitStatus = Start(ParseCommandLine(platform::Arguments(argc, argv)), !executable.empty());
    // The window and its application end with start-up, before the
    // process-wide objects are torn down.
    gui.reset();
    return false;
}

ExitStatus SweepApp::Start(const CommandLine& line, bool knowsItself) {
    const std::string defaultPath = programDir + SweepSettings::FileName;
    if (line.mode == RunMode::Help) {
        const std::string usage = UsageText(knowsItself ? defaultPath : "");
        platform::WriteStandard(platform::StandardStream::Output, ForTerminal(usage) + "\n");
        return ExitStatus::Success;
    }
    settingsPath = line.settingsPath.empty() ? defaultPath : platform::FromWorkingDirectory(line.settingsPath);
    if (line.mode == RunMode::Invalid || settingsPath.empty()) {
        PrintError(line.mode == RunMode::Invalid ? SwitchMisusedText : UnusablePathText(line.settingsPath));
        return ExitStatus::NoWindow;
    }
    runMode = line.mode;
    metricsDir = line.metricsDir;
    // A named file needs no program folder (a chroot without /proc has none).
    if (!knowsItself && line.settingsPath.empty()) {
        // The working directory may hold another installation's vorn.ini.
        PrintError(NoProgramPathText);
        return ExitStatus::NoWindow;
    }
    return line.mode == RunMode::Check ? RunCheck() : RunGuarded(line.mode);
}

// One guard per settings file, by what it is rather than how it is spelt,
// so that sweeps of different files run side by side. The default file
// keeps the name the guard always had: an installation with one file, or a
// run of an older version beside this one, sees no change. A file that does
// not exist yet (a window about to make it) is known by its path until then.
std::string SweepApp::GuardName() const {
    const std::string defaultPath = programDir + SweepSettings::FileName;
    const std::string identity = platform::FileIdentity(settingsPath);
    const bool sameFile = !identity.empty() && identity == platform::FileIdentity(defaultPath);
    if (settingsPath == defaultPath || sameFile) return GuardBaseName;
    return std::string(GuardBaseName) + "-" + (identity.empty() ? "p" + HashText(settingsPath) : identity);
}

ExitStatus SweepApp::RunGuarded(RunMode mode) {
    const bool silent = mode != RunMode::Window;
    instanceGuard = std::make_unique<platform::InstanceGuard>(GuardName().c_str());
    const auto guard = instanceGuard->Acquire(GuardWaitMs);
    if (guard != platform::InstanceGuard::Result::Acquired) return TurnedAway(guard, mode);
    const StartupConfig config = LoadStartupConfig(settingsPath, sweepSettings, silent);
    silentMode = silent;
    return silent ? RunSilent(config, mode) : RunInteractive(false);
}

// A scheduler's log keeps why nothing was swept. Only another instance is
// "already running"; a guard that has nowhere safe to live says so.
ExitStatus SweepApp::TurnedAway(platform::InstanceGuard::Result guard, RunMode mode) {
    const bool silent = mode != RunMode::Window;
    const bool held = guard == platform::InstanceGuard::Result::Held;
    const std::string text = held ? AlreadyRunningLine : GuardProblemText(instanceGuard->Problems());
    const ExitStatus status = held ? ExitStatus::AlreadyRunning : ExitStatus::NoGuard;
    if (!silent) {
        ShowMessage(held ? text + AlreadyRunningAdvice : text);
        return status;
    }
    PrintError(text);
    Logged(status, text);
    return status;
}

// What the silent run would find before its sweep, for a configuration tool
// about to install the file: the same read, check and opening of the root,
// with the same words and status where it would not start. It never opens a
// window and takes no guard, so a sweep running on the file does not stop it.
ExitStatus SweepApp::RunCheck() {
    silentMode = true;
    const StartupConfig config = LoadStartupConfig(settingsPath, sweepSettings, true);
    if (config.problem || !config.loaded) {
        PrintError(ConfigRefusal(config));
        return ExitStatus::NoWindow;
    }
    sweepJob.OpenRootOnly(true);
    sweepJob.Start();
    sweepJob.WaitDone(SweepJob::WaitForever);
    const ExitStatus status = StatusOf(sweepJob.LastRunEnd(), sweepJob.LastShortfalls());
    if (status != ExitStatus::Success) PrintLine(platform::StandardStream::Output, sweepJob.FinalText(), true);
    return status;
}

// Nobody watches a scheduled sweep: it runs only on a file that says exactly
// what its writer meant, not on what the reader made of it, and that nobody
// else could have written. A file refused for either reason opens no window.
ExitStatus SweepApp::RunSilent(const StartupConfig& config, RunMode mode) {
    if (RefusedOutright(config)) {
        PrintError(ConfigRefusal(config));
        return Ended(ExitStatus::NoWindow, config.problem->Message(), {});
    }
    if (config.problem || !config.loaded) {
        const std::string text = ConfigRefusal(config);
        // Through the console launcher a console or a scheduler waits for
        // the status: a box or a window would hold it until somebody came.
        if (platform::StartedByConsoleLauncher()) {
            PrintError(text);
            return Ended(ExitStatus::NoWindow, ForTerminal(text), {});
        }
        // Nothing could be read: where a window can open, it opens to configure.
        ShowMessage(text);
        const ExitStatus status = RunInteractive(true);
        return status == ExitStatus::NoWindow ? Ended(status, ForTerminal(text), {}) : status;
    }
    return Sweep(mode);
}

ExitStatus SweepApp::Sweep(RunMode mode) {
    // A stop asked of a scheduled run (systemctl stop, Ctrl+C) does what the
    // window's Stop does: the sweep ends at its next entry and still says how
    // far it got. A request that came before the run began is passed on once
    // it runs. So does an output that is gone (`vorn /auto /V | head`):
    // nobody reads what the sweep does any more, so it does no more.
    platform::StopRequests stops([] { sweepJob.RequestStop(); });
    EntryLines lines(sweepSettings.expiredays, [] { sweepJob.RequestStop(); });
    OutcomeTally tally(mode != RunMode::Silent ? &lines : nullptr);
    sweepJob.ReportEntriesTo(&tally, mode == RunMode::ListOnly);
    SweepProgress progress;
    const bool showProgress = ShowsProgress(mode);
    sweepJob.Observe(showProgress ? &progress : nullptr, !metricsDir.empty());
    ProgressDisplay display(showProgress ? &progress : nullptr);
    sweepJob.Start();
    if (stops.Received()) sweepJob.RequestStop();
    sweepJob.WaitDone(SweepJob::WaitForever);
    display.Finish();
    sweepJob.ReportEntriesTo(nullptr, false);
    sweepJob.Observe(nullptr, false);
    lines.Flush();
    const ExitStatus status = StatusOf(sweepJob.LastRunEnd(), sweepJob.LastShortfalls());
    return Ended(status, PrintSummary(status, lines.Lost()), RecordOf(tally));
}

// A list-only run sweeps nothing, so it has nothing to tell. A metrics file
// that cannot be written is said once and leaves the run's status alone.
ExitStatus SweepApp::Ended(ExitStatus status, const std::string& text, RunRecord run) {
    Logged(status, text);
    if (metricsDir.empty() || runMode == RunMode::ListOnly) return status;
    run.status = static_cast<int>(status);
    run.endTime = SweepJob::SystemNow();
    run.durationSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    const std::string problem = PublishRunMetrics(metricsDir, settingsPath, run);
    if (!problem.empty()) PrintError(problem);
    return status;
}

void SweepApp::Logged(ExitStatus status, const std::string& text) const {
    if (runMode == RunMode::ListOnly) return;
    const RunEvent event = EventFor(status);
    platform::LogEvent(event.level, event.id, text);
}

ExitStatus SweepApp::RunInteractive(bool afterSilentStart) {
    // A sweep started from the window must show its progress, also after a
    // silent start that found no configuration.
    silentMode = false;
    if (!Gui()) {
        // After a silent start the configuration error has said it all; the
        // hint to start silently would only mislead a scheduler's log.
        if (!afterSilentStart) PrintError(windowObstacle);
        return ExitStatus::NoWindow;
    }
    return gui->RunWindow(*this, afterSilentStart);
}

FrontEnd* SweepApp::Gui() {
    if (!gui && windowObstacle.empty()) gui = FrontEnd::Create(argc, argv, programDir, windowObstacle);
    return gui.get();
}

// A box that could not appear must not pass for one that was read.
void SweepApp::ShowMessage(const std::string& text) {
    if (!Gui() || !gui->Inform(text)) PrintError(text);
}
