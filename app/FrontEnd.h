#pragma once
// The window side of start-up, one source per toolkit: FrontEnd_qt.cpp (the
// Qt window, on Linux) and FrontEnd_win.cpp (the Win32 dialog, on Windows).

#include <memory>
#include <string>

#include "app/ExitStatus.h"

class SweepApp;

class FrontEnd {
public:
    // Call only where a window can be shown (platform::HasDisplay).
    static std::unique_ptr<FrontEnd> Create(int& argc, char** argv);
    ~FrontEnd();
    FrontEnd(const FrontEnd&) = delete;
    FrontEnd& operator=(const FrontEnd&) = delete;

    // A message box with an OK button; false when no box could be shown.
    bool Inform(const std::string& text);
    // The interactive run, until the user leaves it.
    ExitStatus RunWindow(SweepApp& app);

private:
    struct State;
    explicit FrontEnd(std::unique_ptr<State> state);

    std::unique_ptr<State> state;
};
