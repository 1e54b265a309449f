#include "app/SweepApp.h"

#include <cstdint>
#include <optional>

#include "app/CommandLine.h"
#include "app/EntryLines.h"
#include "app/FrontEnd.h"
#include "app/ProcessObjects.h"
#include "app/SilentTexts.h"
#include "config/ConfigFile.h"
#include "config/SweepSettings.h"
#include "platform/Console.h"
#include "platform/Journal.h"
#include "platform/Path.h"
#include "platform/Process.h"
#include "platform/StopRequests.h"

namespace {

constexpr int GuardWaitMs = 200;
constexpr const char* GuardBaseName = "VORNMutex";
constexpr const char* AlreadyRunningLine = "VORN已经在运行中...";
constexpr const char* AlreadyRunningAdvice = "\r\n\r\n请检查进程确认退出后重新运行!";
constexpr const char* ConfigErrorText = "vorn.ini配置文件错误!\r\n静默模式运行前必须先进行配置!";
constexpr const char* SwitchMisusedText =
    "命令行错误: “/ini:”后必须是设置文件的路径，且只能给出一次。用法: vorn /?";
constexpr const char* NoProgramPathText = "无法确定程序自身的路径，找不到程序目录中的vorn.ini配置文件!";

// Message texts use CR LF between lines; a terminal wants plain line ends.
std::string ForTerminal(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

// Each line of a failure's report starts with the prefix that files it as an
// error where the stream is the journal; other lines keep its default.
void PrintLine(platform::StandardStream to, const std::string& text, bool failure) {
    const std::string prefix = failure ? platform::ErrorPrefix(to) : std::string();
    std::string lines = ForTerminal(text) + "\n";
    for (size_t at = 0; !prefix.empty() && at < lines.size(); at = lines.find('\n', at) + 1) lines.insert(at, prefix);
    platform::WriteStandard(to, lines);
}

void PrintError(const std::string& text) { PrintLine(platform::StandardStream::Error, text, true); }

// Why a silent run cannot use the file: what the strict check found in what
// was read, or, when nothing could be, that it must be configured first.
std::string ConfigRefusal(const StartupConfig& config) {
    if (config.problem && config.loaded) return config.problem->Message();
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
    if (!knowsItself) {
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
    if (guard != platform::InstanceGuard::Result::Acquired) return TurnedAway(guard, silent);
    const StartupConfig config = LoadStartupConfig(settingsPath, sweepSettings, silent);
    silentMode = silent;
    return silent ? RunSilent(config, mode) : RunInteractive(false);
}

// A scheduler's log keeps why nothing was swept. Only another instance is
// "already running"; a guard that has nowhere safe to live says so.
ExitStatus SweepApp::TurnedAway(platform::InstanceGuard::Result guard, bool silent) {
    const bool held = guard == platform::InstanceGuard::Result::Held;
    const std::string text = held ? AlreadyRunningLine : GuardProblemText(instanceGuard->Problems());
    if (silent) PrintError(text);
    else ShowMessage(held ? text + AlreadyRunningAdvice : text);
    return held ? ExitStatus::AlreadyRunning : ExitStatus::NoGuard;
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
// what its writer meant, not on what the reader made of it.
ExitStatus SweepApp::RunSilent(const StartupConfig& config, RunMode mode) {
    if (config.problem && config.loaded) {
        PrintError(ConfigRefusal(config));
        return ExitStatus::NoWindow;
    }
    if (config.problem || !config.loaded) {
        // Nothing could be read: where a window can open, it opens to configure.
        ShowMessage(ConfigRefusal(config));
        return RunInteractive(true);
    }
    // A stop asked of a scheduled run (systemctl stop, Ctrl+C) does what the
    // window's Stop does: the sweep ends at its next entry and still says how
    // far it got. A request that came before the run began is passed on once
    // it runs.
    platform::StopRequests stops([] { sweepJob.RequestStop(); });
    EntryLines lines(sweepSettings.expiredays);
    if (mode != RunMode::Silent) sweepJob.ReportEntriesTo(&lines, mode == RunMode::ListOnly);
    sweepJob.Start();
    if (stops.Received()) sweepJob.RequestStop();
    sweepJob.WaitDone(SweepJob::WaitForever);
    sweepJob.ReportEntriesTo(nullptr, false);
    lines.Flush();
    // The one line a scheduler's log keeps of each run.
    const ExitStatus status = StatusOf(sweepJob.LastRunEnd(), sweepJob.LastShortfalls());
    const bool failed = status != ExitStatus::Success && status != ExitStatus::Stopped;
    PrintLine(platform::StandardStream::Output, sweepJob.FinalText(), failed);
    if (status == ExitStatus::Incomplete) PrintError(ShortfallText(sweepJob.LastShortfalls()));
    return status;
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
    return gui->RunWindow(*this);
}

FrontEnd* SweepApp::Gui() {
    if (!gui && windowObstacle.empty()) gui = FrontEnd::Create(argc, argv, programDir, windowObstacle);
    return gui.get();
}

// A box that could not appear must not pass for one that was read.
void SweepApp::ShowMessage(const std::string& text) {
    if (!Gui() || !gui->Inform(text)) PrintError(text);
}
