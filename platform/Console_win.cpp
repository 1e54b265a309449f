#include "platform/Console.h"

#include <windows.h>

#include "platform/RedirectedEncoding.h"
#include "platform/WideText_win.h"
#include "platform/WriteAll_win.h"

namespace platform {

namespace {

// Attached to the console of the program that started this one (cmd,
// PowerShell, the console launcher), once. The console's Ctrl+C would then
// end this process at once: it is left to the launcher, which passes it on
// as a stop (platform/StopRequests.h).
bool AttachedToParentConsole() {
    static const bool attached = [] {
        if (!AttachConsole(ATTACH_PARENT_PROCESS)) return false;
        SetConsoleCtrlHandler(nullptr, TRUE);
        return true;
    }();
    return attached;
}

// That console's screen. A program built without a console of its own gets
// no standard handles when started from cmd or PowerShell.
HANDLE ParentConsole() {
    static const HANDLE console =
        AttachedToParentConsole()
            ? CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                          OPEN_EXISTING, 0, nullptr)
            : INVALID_HANDLE_VALUE;
    return console;
}

// Inherited handles (a redirection, a pipe, the launcher's console) come first.
HANDLE StandardHandle(StandardStream stream) {
    const HANDLE handle = GetStdHandle(stream == StandardStream::Output ? STD_OUTPUT_HANDLE : STD_ERROR_HANDLE);
    return handle && handle != INVALID_HANDLE_VALUE ? handle : ParentConsole();
}

// A console handle the launcher handed on serves once this process is
// attached to that console; NUL, a character device too, never does.
bool IsConsole(HANDLE handle) {
    DWORD mode = 0;
    if (GetConsoleMode(handle, &mode)) return true;
    return GetFileType(handle) == FILE_TYPE_CHAR && AttachedToParentConsole() && GetConsoleMode(handle, &mode);
}

std::string WithCrLf(const std::string& text) {
    std::string lines;
    for (const char c : text) {
        if (c == '\n') lines += '\r';
        lines += c;
    }
    return lines;
}

bool AnsiCarries(std::string_view text) {
    bool exact = false;
    Narrow(Widen(text), AnsiCodePage, &exact);
    return exact;
}

// Chosen once, before the first line: a file of a run's lines reads back in
// one encoding, whatever names come up (platform/RedirectedEncoding.h).
std::string ForFileOrPipe(const std::wstring& text) {
    static const unsigned codePage =
        ChooseRedirectedEncoding(AnsiCarries) == RedirectedEncoding::Ansi ? AnsiCodePage : Utf8CodePage;
    return Narrow(text, codePage);
}

}  // namespace

bool IsTerminal(StandardStream stream) {
    const HANDLE handle = StandardHandle(stream);
    return handle != INVALID_HANDLE_VALUE && IsConsole(handle);
}

int TerminalColumns(StandardStream stream) {
    constexpr int DefaultColumns = 80;
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(StandardHandle(stream), &info)) return DefaultColumns;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

bool WriteStandard(StandardStream stream, const std::string& text) {
    const HANDLE handle = StandardHandle(stream);
    if (handle == INVALID_HANDLE_VALUE) return true;
    const std::wstring wide = Widen(WithCrLf(text));
    if (IsConsole(handle)) {
        DWORD written = 0;
        return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
    }
    return WriteAll(handle, ForFileOrPipe(wide));
}

}  // namespace platform
