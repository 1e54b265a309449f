#pragma once
// The window side of start-up, one source per program: FrontEnd_qt.cpp (the
// Qt window, in the Linux program vorn-window), FrontEnd_win.cpp (the Win32
// dialog, in vorn.exe) and FrontEnd_handoff.cpp (the Linux program vorn,
// which has no window of its own and hands the process over to vorn-window).

#include <memory>
#include <string>

#include "app/ExitStatus.h"

class SweepApp;

class FrontEnd {
public:
    // The window side, where a window can be shown; otherwise null, with why
    // not and what the user can do in `obstacle`.
    static std::unique_ptr<FrontEnd> Create(int& argc, char** argv, const std::string& programDir,
                                            std::string& obstacle);
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // A message box with an OK button; false when no box could be shown.
    bool Inform(const std::string& text);
    // The interactive run, until the user leaves it; `afterSilentStart` when
    // it opens to configure a silent run that found nothing to run with.
    ExitStatus RunWindow(SweepApp& app, bool afterSilentStart);

private:
    static constexpr const char* NoDisplayText = "没有可用的图形显示，无法打开窗口。\r\n静默运行请使用: vorn /auto";

    struct State;
    explicit FrontEnd(std::unique_ptr<State> state);

    std::unique_ptr<State> state;
};
