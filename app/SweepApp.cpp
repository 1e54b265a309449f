#include "app/SweepApp.h"

#include <cstdio>
#include <optional>

#include "app/CommandLine.h"
#include "app/FrontEnd.h"
#include "app/ProcessObjects.h"
#include "app/SilentTexts.h"
#include "config/ConfigFile.h"
#include "platform/Console.h"
#include "platform/Process.h"
#include "platform/StopRequest.h"

namespace {

constexpr int GuardWaitMs = 200;
constexpr const char* AlreadyRunningLine = "VORN已经在运行中...";
constexpr const char* AlreadyRunningAdvice = "\r\n\r\n请检查进程确认退出后重新运行!";
constexpr const char* ConfigErrorText = "vorn.ini配置文件错误!\r\n静默模式运行前必须先进行配置!";
constexpr const char* NoProgramPathText = "无法确定程序自身的路径，找不到程序目录中的vorn.ini配置文件!";
constexpr const char* NoDisplayText = "没有可用的图形显示，无法打开窗口。\r\n静默运行请使用: vorn /auto";

// Message texts use CR LF between lines; a terminal wants plain line ends.
std::string ForTerminal(std::string text) {
    for (size_t at = text.find("\r\n"); at != std::string::npos; at = text.find("\r\n", at)) text.erase(at, 1);
    return text;
}

void PrintLine(std::FILE* stream, const std::string& text) {
    const auto to = stream == stderr ? platform::StandardStream::Error : platform::StandardStream::Output;
    platform::WriteStandard(to, ForTerminal(text) + "\n");
}

// Until the run's end. A stop asked from outside (Ctrl+C in the console
// launcher's window) ends it as the window's Stop asks a sweep to end: at
// its next entry, with the summary of a stopped run.
void AwaitSweep() {
    const platform::StopRequest stop([] { sweepJob.RequestStop(); });
    sweepJob.WaitDone(SweepJob::WaitForever);
}

ExitStatus StatusOf(SweepJob::RunEnd end, const SweepShortfalls& shortfalls) {
    switch (end) {
    case SweepJob::RunEnd::InvalidPattern: return ExitStatus::InvalidPattern;
    case SweepJob::RunEnd::RootUnreadable: return ExitStatus::RootUnreadable;
    case SweepJob::RunEnd::Failed: return ExitStatus::SweepFailed;
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
    const bool silent = SelectsSilentRun(JoinArguments(argc, argv));
    if (executable.empty()) {
        // The working directory may hold another installation's vorn.ini.
        PrintLine(stderr, NoProgramPathText);
        exitStatus = ExitStatus::NoWindow;
    } else if (const auto guard = instanceGuard.Acquire(GuardWaitMs); guard != platform::InstanceGuard::Result::Acquired) {
        exitStatus = TurnedAway(guard, silent);
    } else {
        const StartupConfig config = LoadStartupConfig(programDir, sweepSettings, silent);
        silentMode = silent;
        exitStatus = silent ? RunSilent(config) : RunInteractive(false);
    }
    // The window and its application end with start-up, before the
    // process-wide objects are torn down.
    gui.reset();
    return false;
}

// A scheduler's log keeps why nothing was swept. Only another instance is
// "already running"; a guard that has nowhere safe to live says so.
ExitStatus SweepApp::TurnedAway(platform::InstanceGuard::Result guard, bool silent) {
    const bool held = guard == platform::InstanceGuard::Result::Held;
    const std::string text = held ? AlreadyRunningLine : GuardProblemText(instanceGuard.Problems());
    if (silent) PrintLine(stderr, text);
    else ShowMessage(held ? text + AlreadyRunningAdvice : text);
    return held ? ExitStatus::AlreadyRunning : ExitStatus::NoGuard;
}

// Nobody watches a scheduled sweep: it runs only on a file that says exactly
// what its writer meant, not on what the reader made of it.
ExitStatus SweepApp::RunSilent(const StartupConfig& config) {
    if (config.problem && config.loaded) {
        PrintLine(stderr, config.problem->Message());
        return ExitStatus::NoWindow;
    }
    if (config.problem || !config.loaded) {
        // Nothing could be read: where a window can open, it opens to configure.
        ShowMessage(std::string(ConfigErrorText) + (config.problem ? "\r\n" + config.problem->Detail() : ""));
        return RunInteractive(true);
    }
    sweepJob.Start();
    AwaitSweep();
    // The one line a scheduler's log keeps of each run.
    PrintLine(stdout, sweepJob.FinalText());
    const ExitStatus status = StatusOf(sweepJob.LastRunEnd(), sweepJob.LastShortfalls());
    if (status == ExitStatus::Incomplete) PrintLine(stderr, ShortfallText(sweepJob.LastShortfalls()));
    return status;
}

ExitStatus SweepApp::RunInteractive(bool afterSilentStart) {
    // A sweep started from the window must show its progress, also after a
    // silent start that found no configuration.
    silentMode = false;
    if (!Gui()) {
        // After a silent start the configuration error has said it all; the
        // hint to start silently would only mislead a scheduler's log.
        if (!afterSilentStart) PrintLine(stderr, NoDisplayText);
        return ExitStatus::NoWindow;
    }
    return gui->RunWindow(*this);
}

FrontEnd* SweepApp::Gui() {
    if (!gui && platform::HasDisplay()) gui = FrontEnd::Create(argc, argv);
    return gui.get();
}

// A box that could not appear must not pass for one that was read.
void SweepApp::ShowMessage(const std::string& text) {
    if (!Gui() || !gui->Inform(text)) PrintLine(stderr, text);
}
