#include "app/FrontEnd.h"

#include <windows.h>

#include "app/SweepApp.h"
#include "platform/WideText_win.h"

namespace {

constexpr const wchar_t* BoxTitle = L"VORN";
constexpr const char* NoWindowYetText =
    "此版本还没有窗口界面。\r\n\r\n请先在vorn.exe所在目录写好vorn.ini，\r\n再用 vorn.exe /auto 静默运行。";

}  // namespace

struct FrontEnd::State {};

std::unique_ptr<FrontEnd> FrontEnd::Create(int&, char**) {
    return std::unique_ptr<FrontEnd>(new FrontEnd(std::make_unique<State>()));
}

FrontEnd::FrontEnd(std::unique_ptr<State> state) : state(std::move(state)) {}

FrontEnd::~FrontEnd() = default;

// Without a screen to show it on (Wine with no X display) the box fails at
// once instead of waiting.
bool FrontEnd::Inform(const std::string& text) {
    const std::wstring wide = platform::Widen(text);
    return MessageBoxW(nullptr, wide.c_str(), BoxTitle, MB_OK | MB_ICONWARNING | MB_SETFOREGROUND) == IDOK;
}

// Until the window comes, the user learns how to sweep without it.
ExitStatus FrontEnd::RunWindow(SweepApp& app) {
    app.ShowMessage(NoWindowYetText);
    return ExitStatus::NoWindow;
}
