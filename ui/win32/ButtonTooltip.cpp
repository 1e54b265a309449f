#include "ui/win32/ButtonTooltip.h"

#include <commctrl.h>

namespace {

constexpr UINT_PTR ToolId = 1;
constexpr LPARAM MaxTipWidth = 400;

// The size the common controls of every version accept: without a manifest
// the system loads a version that refuses the larger, newer structure.
TTTOOLINFOW ToolInfo(HWND button, const std::wstring& text)
{
    TTTOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V2_SIZE;
    tool.hwnd = button;
    tool.uId = ToolId;
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    return tool;
}

}  // namespace

ButtonTooltip::~ButtonTooltip()
{
    Destroy();
}

void ButtonTooltip::Destroy()
{
    if (tip != nullptr && IsWindow(tip))
        DestroyWindow(tip);
    tip = nullptr;
    hasTool = false;
}

void ButtonTooltip::SetText(HWND button, const std::wstring& text, bool activate)
{
    if (tip == nullptr)
        Create(button);
    if (!hasTool)
        AddTool(button, text);
    const TTTOOLINFOW tool = ToolInfo(button, text);
    SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageW(tip, TTM_ACTIVATE, activate, 0);
}

void ButtonTooltip::Create(HWND button)
{
    const INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_BAR_CLASSES};
    InitCommonControlsEx(&classes);
    tip = CreateWindowExW(0, TOOLTIPS_CLASSW, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, button, nullptr, GetModuleHandleW(nullptr), nullptr);
    SendMessageW(tip, TTM_ACTIVATE, FALSE, 0);
    SendMessageW(tip, TTM_SETMAXTIPWIDTH, 0, MaxTipWidth);
}

void ButtonTooltip::AddTool(HWND button, const std::wstring& text)
{
    TTTOOLINFOW tool = ToolInfo(button, text);
    GetClientRect(button, &tool.rect);
    hasTool = SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool)) != FALSE;
}

void ButtonTooltip::Relay(HWND button, UINT message, WPARAM wParam, LPARAM lParam) const
{
    if (tip == nullptr)
        return;
    MSG relayed{button, message, wParam, lParam, DWORD(GetMessageTime()), {}};
    GetCursorPos(&relayed.pt);
    SendMessageW(tip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}
