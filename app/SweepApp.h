#pragma once
// The application object: start-up, the choice between the silent and the
// interactive run, and the values start-up keeps for the rest of the process.

#include <atomic>
#include <chrono>
#include <memory>
#include <string>

#include "app/CommandLine.h"
#include "app/ExitStatus.h"
#include "platform/InstanceGuard.h"

class FrontEnd;
struct RunRecord;
struct StartupConfig;

class SweepApp {
public:
    SweepApp();
    virtual ~SweepApp();

    // Runs the whole program once. Always returns false: when it returns, the
    // process ends with ExitCode().
    bool InitInstance(int argc, char** argv);
    int ExitCode() const { return static_cast<int>(exitStatus); }

    // The settings file the window edits and saves: vorn.ini in the program's
    // folder, or the one the command line names.
    const std::string& SettingsPath() const { return settingsPath; }

    // Shows what the user must see: a message box where a window can be shown,
    // otherwise the terminal's error stream.
    void ShowMessage(const std::string& text);

    // True during the silent run: the sweep then keeps its texts to itself.
    std::atomic<bool> silentMode{false};

private:
    // The window side, created on first need; null when none can be shown.
    FrontEnd* Gui();
    ExitStatus Start(const CommandLine& line, bool knowsItself);
    std::string GuardName() const;
    ExitStatus RunGuarded(RunMode mode);
    ExitStatus TurnedAway(platform::InstanceGuard::Result guard, RunMode mode);
    ExitStatus RunCheck();
    ExitStatus RunSilent(const StartupConfig& config, RunMode mode);
    ExitStatus Sweep(RunMode mode);
    // A silent run's end, told besides its lines to those that watch: the
    // metrics file when one was asked for, the Windows Event Log. `text` is
    // its summary or its error.
    ExitStatus Ended(ExitStatus status, const std::string& text, RunRecord run);
    // The event of a silent run that sweeps or was meant to (not /L).
    void Logged(ExitStatus status, const std::string& text) const;
    ExitStatus RunInteractive(bool afterSilentStart);

    std::string programDir;  // ends in the platform's separator
    // The settings file of this run, and what the silent run tells.
    std::string settingsPath;
    std::string metricsDir;
    RunMode runMode = RunMode::Window;
    const std::chrono::steady_clock::time_point started = std::chrono::steady_clock::now();
    // Held from start-up until the process ends, once taken.
    std::unique_ptr<platform::InstanceGuard> instanceGuard;
    ExitStatus exitStatus = ExitStatus::Success;
    int argc = 0;
    char** argv = nullptr;
    std::unique_ptr<FrontEnd> gui;
    // Why no window can be shown, once that is known.
    std::string windowObstacle;
};
