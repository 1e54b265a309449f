#include "app/FrontEnd.h"

#include "app/ProcessObjects.h"
#include "platform/Process.h"
#include "ui/win32/MainDialog.h"
#include "ui/win32/Prompt.h"

namespace {

constexpr const char* NoWindowText = "无法打开程序窗口。\r\n静默运行请使用: vorn.exe /auto";
// The run was silent already: what failed is the window to configure it in.
constexpr const char* NoConfigWindowText = "无法打开程序窗口，不能在窗口中修改配置。";

}  // namespace

struct FrontEnd::State {};

std::unique_ptr<FrontEnd> FrontEnd::Create(int&, char**, const std::string&, std::string& obstacle) {
    if (!platform::HasDisplay()) {
        obstacle = NoDisplayText;
        return nullptr;
    }
    return std::unique_ptr<FrontEnd>(new FrontEnd(std::make_unique<State>()));
}

FrontEnd::FrontEnd(std::unique_ptr<State> state) : state(std::move(state)) {}

FrontEnd::~FrontEnd() = default;

// Without a screen to show it on (Wine with no X display) the box fails at
// once instead of waiting.
bool FrontEnd::Inform(const std::string& text) { return Prompt::Inform(nullptr, text); }

// The window's result is not used: whatever the user did, the run ended
// well. A window that cannot appear must not pass for one that was used.
ExitStatus FrontEnd::RunWindow(SweepApp& app, bool afterSilentStart) {
    MainDialog window(sweepSettings, sweepJob, statusChannel, app.SettingsPath());
    if (window.Run() >= 0) return ExitStatus::Success;
    app.ShowMessage(afterSilentStart ? NoConfigWindowText : NoWindowText);
    return ExitStatus::NoWindow;
}
