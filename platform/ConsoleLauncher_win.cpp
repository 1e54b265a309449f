#include "platform/ConsoleLauncher.h"

#include <windows.h>

#include <atomic>

#include "platform/Process.h"
#include "platform/StopEvent_win.h"
#include "platform/WideText_win.h"

namespace platform {

namespace {

// Closing the console ends this process once the handler returns: the
// program gets the time the window's Stop gives a sweep to end.
constexpr DWORD CloseWaitMillis = 3000;

std::atomic<HANDLE> twinProcess{nullptr};
std::atomic<HANDLE> stopEvent{nullptr};
std::atomic<bool> stopAsked{false};

// The console calls this on a thread of its own, possibly before the twin
// runs; what it asks is then passed on as soon as the event exists.
BOOL WINAPI PassStopOn(DWORD event) {
    stopAsked = true;
    if (const HANDLE asked = stopEvent) SetEvent(asked);
    const bool closing = event == CTRL_CLOSE_EVENT || event == CTRL_LOGOFF_EVENT || event == CTRL_SHUTDOWN_EVENT;
    if (const HANDLE process = twinProcess; closing && process) WaitForSingleObject(process, CloseWaitMillis);
    return TRUE;
}

std::wstring TwinPath() {
    std::wstring path = Widen(ExecutablePath());
    const size_t dot = path.rfind(L'.');
    const size_t name = path.find_last_of(L"\\/");
    if (dot != std::wstring::npos && (name == std::wstring::npos || dot > name)) path.resize(dot);
    return path + L".exe";
}

// The command line after this program's own name, however the console
// spelt that ("vorn", "vorn.com", a quoted path), with its leading blank.
std::wstring Arguments() {
    const wchar_t* line = GetCommandLineW();
    for (bool quoted = false; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"') quoted = !quoted;
    return line;
}

// The standard handles are handed on as they are: a console, a redirected
// file, a pipe.
HANDLE Inherited(DWORD which) {
    const HANDLE handle = GetStdHandle(which);
    if (handle && handle != INVALID_HANDLE_VALUE) SetHandleInformation(handle, HANDLE_FLAG_INHERIT, HANDLE_FLAG_INHERIT);
    return handle;
}

// Suspended until the event that may stop it exists.
bool StartSuspended(const std::wstring& program, PROCESS_INFORMATION& process) {
    std::wstring line = L"\"" + program + L"\"" + Arguments();
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = Inherited(STD_INPUT_HANDLE);
    startup.hStdOutput = Inherited(STD_OUTPUT_HANDLE);
    startup.hStdError = Inherited(STD_ERROR_HANDLE);
    return CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, CREATE_SUSPENDED, nullptr, nullptr,
                          &startup, &process);
}

}  // namespace

std::optional<int> RunWindowTwin(std::string& program) {
    SetConsoleCtrlHandler(PassStopOn, TRUE);
    const std::wstring twin = TwinPath();
    PROCESS_INFORMATION process{};
    if (!StartSuspended(twin, process)) {
        program = Narrow(twin);
        return std::nullopt;
    }
    twinProcess = process.hProcess;
    stopEvent = CreateEventW(nullptr, TRUE, FALSE, StopEventName(process.dwProcessId).c_str());
    if (stopAsked) SetEvent(stopEvent);
    ResumeThread(process.hThread);
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD status = 0;
    GetExitCodeProcess(process.hProcess, &status);
    return static_cast<int>(status);
}

}  // namespace platform
