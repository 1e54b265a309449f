#include "platform/StopRequests.h"

#include <windows.h>

#include <atomic>
#include <string>
#include <utility>

#include "platform/StopEvent_win.h"

namespace platform {

std::wstring StopEventName(unsigned long processId) { return L"VORNStop-" + std::to_wstring(processId); }

// The program is a window program: the Ctrl+C, Ctrl+Break or closing of a
// console never reaches it. The console launcher (vorn.com,
// platform/ConsoleLauncher.h) that started it gets them and passes them on
// through an event named after this process, which is watched here; the
// task scheduler ends a task by force.
struct StopRequests::State {
    std::function<void()> onStop;
    std::atomic<bool> received{false};
    HANDLE event = nullptr;  // the launcher's; none when no launcher started this process
    HANDLE wait = nullptr;

    static void CALLBACK Asked(void* self, BOOLEAN) {
        auto* state = static_cast<State*>(self);
        state->received = true;
        state->onStop();
    }
};

namespace {

// The launcher passes the console's events on as a stop; where this process
// shares the console (Wine gives a window program its parent's), they would
// otherwise end it at once, also after the sweep, while it writes its lines.
BOOL WINAPI LeftToTheLauncher(DWORD) { return TRUE; }

}  // namespace

// The system's thread pool waits for the event: no thread of this program's
// sits idle for it.
StopRequests::StopRequests(std::function<void()> onStop) : state(std::make_unique<State>()) {
    state->onStop = std::move(onStop);
    state->event = OpenEventW(SYNCHRONIZE, FALSE, StopEventName(GetCurrentProcessId()).c_str());
    if (!state->event) return;  // not started by the launcher
    SetConsoleCtrlHandler(LeftToTheLauncher, TRUE);
    if (!RegisterWaitForSingleObject(&state->wait, state->event, State::Asked, state.get(), INFINITE,
                                     WT_EXECUTEONLYONCE))
        state->wait = nullptr;
}

// INVALID_HANDLE_VALUE: returns only once a call that has begun has ended.
StopRequests::~StopRequests() {
    if (state->wait) UnregisterWaitEx(state->wait, INVALID_HANDLE_VALUE);
    if (state->event) CloseHandle(state->event);
}

bool StopRequests::Received() const { return state->received; }

}  // namespace platform
