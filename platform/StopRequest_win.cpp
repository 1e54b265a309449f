#include "platform/StopRequest.h"

#include <windows.h>

#include <string>
#include <utility>

#include "platform/StopEvent_win.h"

namespace platform {

std::wstring StopEventName(unsigned long processId) { return L"VORNStop-" + std::to_wstring(processId); }

struct StopRequest::State {
    std::function<void()> onStop;
    HANDLE event = nullptr;  // the launcher's; none when no launcher started this process
    HANDLE wait = nullptr;

    static void CALLBACK Asked(void* self, BOOLEAN) { static_cast<State*>(self)->onStop(); }
};

namespace {

// The launcher passes the console's events on as a stop; where this process
// shares the console (Wine gives a window program its parent's), they would
// otherwise end it at once, also after the sweep, while it writes its lines.
BOOL WINAPI LeftToTheLauncher(DWORD) { return TRUE; }

}  // namespace

// The system's thread pool waits for the event: no thread of this program's
// sits idle for it.
StopRequest::StopRequest(std::function<void()> onStop) : state(std::make_unique<State>()) {
    state->onStop = std::move(onStop);
    state->event = OpenEventW(SYNCHRONIZE, FALSE, StopEventName(GetCurrentProcessId()).c_str());
    if (!state->event) return;  // not started by the launcher
    SetConsoleCtrlHandler(LeftToTheLauncher, TRUE);
    if (!RegisterWaitForSingleObject(&state->wait, state->event, State::Asked, state.get(), INFINITE,
                                     WT_EXECUTEONLYONCE))
        state->wait = nullptr;
}

// INVALID_HANDLE_VALUE: returns only once a call that has begun has ended.
StopRequest::~StopRequest() {
    if (state->wait) UnregisterWaitEx(state->wait, INVALID_HANDLE_VALUE);
    if (state->event) CloseHandle(state->event);
}

}  // namespace platform
