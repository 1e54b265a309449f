#include "support/ChildProcess.h"

#include <gtest/gtest.h>

#include <windows.h>

namespace {

std::wstring Wide(const std::string& text, UINT codePage = CP_UTF8) {
    const int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(n), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
    return wide;
}

std::string Narrow(const std::wstring& text, UINT codePage) {
    const int n = WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0, nullptr,
                                      nullptr);
    std::string narrow(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), narrow.data(), n, nullptr, nullptr);
    return narrow;
}

// A window station of its own is not visible, like the one a scheduled task
// gets when it runs as a service account.
std::wstring& HiddenDesktop() {
    static std::wstring desktop = [] {
        const HWINSTA station = CreateWindowStationW(L"VornTestStation", 0, WINSTA_ALL_ACCESS, nullptr);
        const HWINSTA own = GetProcessWindowStation();
        SetProcessWindowStation(station);
        CreateDesktopW(L"Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
        SetProcessWindowStation(own);
        return std::wstring(L"VornTestStation\\Default");
    }();
    return desktop;
}

HANDLE TempFile() {
    wchar_t dir[MAX_PATH];
    wchar_t name[MAX_PATH];
    GetTempPathW(MAX_PATH, dir);
    GetTempFileNameW(dir, L"vrn", 0, name);
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
}

std::string Contents(HANDLE file) {
    SetFilePointer(file, 0, nullptr, FILE_BEGIN);
    std::string text;
    char buffer[4096];
    DWORD n = 0;
    while (ReadFile(file, buffer, sizeof buffer, &n, nullptr) && n > 0) text.append(buffer, n);
    return text;
}

std::wstring Quoted(const std::string& text) { return L"\"" + Wide(text) + L"\""; }

}  // namespace

struct ChildProcess::State {
    HANDLE out = TempFile();
    HANDLE err = TempFile();
    PROCESS_INFORMATION process{};

    ~State() {
        CloseHandle(out);
        CloseHandle(err);
        if (process.hProcess) CloseHandle(process.hProcess);
        if (process.hThread) CloseHandle(process.hThread);
    }
};

ChildProcess::ChildProcess(const std::filesystem::path& exe, const std::vector<std::string>& args,
                           const Options& options)
    : state(std::make_unique<State>()) {
    std::wstring commandLine = Quoted(exe.string());
    for (const auto& a : args) commandLine += L" " + Quoted(a);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = state->out;
    startup.hStdError = state->err;
    if (options.display == Display::None) startup.lpDesktop = HiddenDesktop().data();
    const std::wstring workDir = options.workDir.wstring();
    EXPECT_TRUE(CreateProcessW(exe.wstring().c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                               workDir.empty() ? nullptr : workDir.c_str(), &startup, &state->process));
}

ChildProcess::~ChildProcess() = default;

ChildResult ChildProcess::Wait() {
    ChildResult r;
    if (WaitForSingleObject(state->process.hProcess, WaitLimitSeconds * 1000) == WAIT_TIMEOUT) {
        TerminateProcess(state->process.hProcess, 128 + 9);
        WaitForSingleObject(state->process.hProcess, INFINITE);
    }
    DWORD status = 0;
    GetExitCodeProcess(state->process.hProcess, &status);
    r.status = static_cast<int>(status);
    r.out = Contents(state->out);
    r.err = Contents(state->err);
    return r;
}

std::string AsPrinted(const std::string& lines) {
    std::string crlf;
    for (const char c : lines) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    return Narrow(Wide(crlf), CP_ACP);
}
