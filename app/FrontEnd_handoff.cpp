#include "app/FrontEnd.h"

#include "ExtLib/StringEx.h"
#include "app/SweepApp.h"
#include "platform/FileIo.h"
#include "platform/Process.h"

// The window and its toolkit are a program of their own (VORN_WINDOW_PROGRAM,
// beside this one, in a package of its own), so that a server that only sweeps
// on a schedule needs no desktop libraries. Whatever this program would show,
// it hands the process over to that one with the same arguments: it goes
// through start-up again and shows it itself.

namespace {

constexpr const char* NoWindowPartFormat =
    "没有安装VORN的窗口部分(找不到%s)，无法打开窗口。\r\n"
    "请安装软件包vorn-window: sudo apt install vorn-window\r\n"
    "静默运行请使用: vorn /auto";
constexpr const char* NotStartedFormat = "无法启动VORN的窗口部分 %s";

std::string Said(const char* format, const std::string& path) {
    StringEx text;
    text.Format(format, path.c_str());
    return text.Str();
}

}  // namespace

struct FrontEnd::State {
    std::string window;
    char** argv;
};

std::unique_ptr<FrontEnd> FrontEnd::Create(int&, char** argv, const std::string& programDir, std::string& obstacle) {
    const std::string window = programDir + VORN_WINDOW_PROGRAM;
    if (!platform::FileExists(window.c_str())) {
        obstacle = Said(NoWindowPartFormat, window);
        return nullptr;
    }
    return std::unique_ptr<FrontEnd>(new FrontEnd(std::make_unique<State>(State{window, argv})));
}

FrontEnd::FrontEnd(std::unique_ptr<State> state) : state(std::move(state)) {}

FrontEnd::~FrontEnd() = default;

// Returns only when the window program could not be started.
bool FrontEnd::Inform(const std::string&) {
    platform::ReplaceProcess(state->window, state->argv);
    return false;
}

ExitStatus FrontEnd::RunWindow(SweepApp& app, bool) {
    platform::ReplaceProcess(state->window, state->argv);
    app.ShowMessage(Said(NotStartedFormat, state->window));
    return ExitStatus::NoWindow;
}
