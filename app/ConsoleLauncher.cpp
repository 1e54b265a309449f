// vorn.com, the console twin of vorn.exe on Windows (platform/ConsoleLauncher.h):
// typed in cmd or PowerShell it runs the sweep or the window and returns when
// vorn.exe does, with its exit status.

#include <optional>
#include <string>

#include "app/ExitStatus.h"
#include "platform/Console.h"
#include "platform/ConsoleLauncher.h"

int main() {
    std::string program;
    if (const std::optional<int> status = platform::RunWindowTwin(program)) return *status;
    platform::WriteStandard(platform::StandardStream::Error, "无法启动 " + program + "\n");
    return static_cast<int>(ExitStatus::NoWindow);
}
