#include "platform/Process.h"

#include <windows.h>

#include <shellapi.h>

#include "platform/StopEvent_win.h"
#include "platform/WideText_win.h"

namespace platform {

namespace {

// Far beyond any path the system accepts.
constexpr DWORD MaxModulePath = 1u << 16;

}  // namespace

// A path longer than the classic limit comes back cut: the buffer grows
// until it holds the whole path.
std::string ExecutablePath() {
    std::wstring buffer(MAX_PATH, L'\0');
    while (buffer.size() <= MaxModulePath) {
        const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
        if (length == 0) return {};
        if (length < buffer.size()) return Narrow(std::wstring_view(buffer.data(), length));
        buffer.resize(buffer.size() * 2);
    }
    return {};
}

// The C runtime's argv is in the ANSI code page: a path it cannot spell
// would come as "?". The system's split of the same line keeps it.
std::vector<std::string> Arguments(int, char**) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; words && i < count; ++i) arguments.push_back(Narrow(words[i]));
    LocalFree(words);
    return arguments;
}

// A scheduled task running as a service account has a window station that
// nobody sees: a message box there would wait for ever.
bool HasDisplay() {
    const HWINSTA station = GetProcessWindowStation();
    USEROBJECTFLAGS flags{};
    return station && GetUserObjectInformationW(station, UOI_FLAGS, &flags, sizeof flags, nullptr) &&
           (flags.dwFlags & WSF_VISIBLE);
}

// The launcher makes the event that asks this process to stop before the
// process runs its first instruction.
bool StartedByConsoleLauncher() {
    const HANDLE event = OpenEventW(SYNCHRONIZE, FALSE, StopEventName(GetCurrentProcessId()).c_str());
    if (!event) return false;
    CloseHandle(event);
    return true;
}

int ProcessorCount() {
    DWORD_PTR process = 0, system = 0;
    if (!GetProcessAffinityMask(GetCurrentProcess(), &process, &system) || process == 0) return 1;
    int count = 0;
    for (; process; process &= process - 1) ++count;
    return count;
}

}  // namespace platform
