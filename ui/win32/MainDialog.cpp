#include "ui/win32/MainDialog.h"

#include "platform/WideText_win.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/ResourceIds.h"
#include "ui/core/ResourceStrings.h"
#include "ui/core/StatusDisplay.h"
#include "ui/win32/AboutDialog.h"
#include "ui/win32/Centring.h"
#include "ui/win32/Colour.h"
#include "ui/win32/FolderChooser.h"
#include "ui/win32/Prompt.h"
#include "ui/win32/UrlOpener.h"
#include "ui/win32/WindowText.h"

namespace {

constexpr UINT_PTR ProgressTimerId = 1;

HINSTANCE Resources() { return GetModuleHandleW(nullptr); }

}  // namespace

MainDialog::MainDialog(SweepSettings& settings, WorkerThread& worker, StatusChannel& channel, std::string settingsPath)
    : core(*this, settings, worker, channel, std::move(settingsPath)),
      icon(LoadIconW(Resources(), MAKEINTRESOURCEW(AppIconId))) {}

MainDialog::~MainDialog() {
    if (window) DestroyWindow(window);
}

// A WM_QUIT ends the window as well, and is passed on to whoever loops next.
int MainDialog::Run() {
    if (!Open()) return -1;
    MSG message;
    while (!Ended()) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got <= 0) {
            if (got == 0) PostQuitMessage(static_cast<int>(message.wParam));
            End(IDCANCEL);
            break;
        }
        Dispatch(message);
    }
    DestroyWindow(window);
    window = nullptr;
    return result;
}

bool MainDialog::Open() {
    result = StillOpen;
    return CreateDialogParamW(Resources(), MAKEINTRESOURCEW(MainTemplateId), nullptr, Procedure,
                              reinterpret_cast<LPARAM>(this)) != nullptr;
}

void MainDialog::Dispatch(const MSG& message) {
    if (IsSwallowedKey(window, message) || IsDialogMessageW(window, const_cast<MSG*>(&message))) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

bool MainDialog::IsSwallowedKey(HWND dialog, const MSG& message) {
    if (message.message != WM_KEYDOWN || (message.wParam != VK_RETURN && message.wParam != VK_ESCAPE)) return false;
    return message.hwnd == dialog || IsChild(dialog, message.hwnd);
}

INT_PTR CALLBACK MainDialog::Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrW(dialog, DWLP_USER, lParam);
        reinterpret_cast<MainDialog*>(lParam)->Initialise(dialog);
        return TRUE;  // the focus goes to the first tab stop, the directory box
    }
    auto* self = reinterpret_cast<MainDialog*>(GetWindowLongPtrW(dialog, DWLP_USER));
    return self ? self->Handle(message, wParam, lParam) : FALSE;
}

// FALSE hands a message on to the dialog manager's default handling.
INT_PTR MainDialog::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: OnCommand(LOWORD(wParam), HIWORD(wParam)); return TRUE;
    case WM_SYSCOMMAND: return core.SystemCommand(static_cast<int>(wParam));
    // Allowed to close, the default handling asks to cancel (IDCANCEL).
    case WM_CLOSE: return !core.MayClose();
    case WM_TIMER: core.Tick(); return TRUE;
    case WM_DRAWITEM: return ImageButton::DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
    case WM_PAINT: return PaintMinimized();
    case WM_QUERYDRAGICON: return reinterpret_cast<INT_PTR>(icon);
    default: return FALSE;
    }
}

void MainDialog::Initialise(HWND dialog) {
    window = dialog;
    CentreOn(window, WorkAreaOf(window));
    AttachControls();
    AddAboutToSystemMenu();
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
    core.Initialise();
    statusLine.SetBackgroundMode(LabelCtrl::Transparent);
    SetUpButtons();
    SetTimer(window, ProgressTimerId, ProgressTickMillis, nullptr);
}

void MainDialog::AttachControls() {
    statusLine.Attach(GetDlgItem(window, MainIds::StatusLine));
    for (std::size_t i = 0; i < ToolButtons.size(); ++i) buttons[i].Attach(GetDlgItem(window, ToolButtons[i].id));
}

void MainDialog::AddAboutToSystemMenu() {
    const HMENU menu = GetSystemMenu(window, FALSE);
    if (!menu) return;
    const wchar_t* text = nullptr;
    const int length = LoadStringW(Resources(), AboutMenuString, reinterpret_cast<wchar_t*>(&text), 0);
    if (length <= 0) return;
    const std::wstring caption(text, static_cast<std::size_t>(length));
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, AboutSystemCommand, caption.c_str());
}

void MainDialog::SetUpButtons() {
    for (std::size_t i = 0; i < ToolButtons.size(); ++i) {
        ImageButton& button = buttons[i];
        button.SetFrameStyle(ToolButtonFrame);
        button.SetImage(ButtonStyle::ImageNormal, ToolButtons[i].bitmap, ToolButtonKey);
        button.SetTooltipText(FindMainControl(ToolButtons[i].id)->caption, true);
        button.SetLayout(ToolButtonLayout);
    }
}

// Menu items and clicks carry notification 0; the edit boxes' notifications
// are not commands. IDCANCEL comes from the default close handling.
void MainDialog::OnCommand(int id, int notification) {
    if (notification != BN_CLICKED) return;
    if (id == IDCANCEL) return End(IDCANCEL);
    core.Command(id);
}

// Minimized, the window shows its icon centred in the client area.
bool MainDialog::PaintMinimized() {
    if (!IsIconic(window)) return false;
    PAINTSTRUCT paint;
    const HDC dc = BeginPaint(window, &paint);
    SendMessageW(window, WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(window, &client);
    const int x = (client.right - client.left - GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (client.bottom - client.top - GetSystemMetrics(SM_CYICON) + 1) / 2;
    DrawIcon(dc, x, y, icon);
    EndPaint(window, &paint);
    return true;
}

void MainDialog::End(int how) { result = how; }

std::string MainDialog::ControlText(int id) const {
    return platform::Narrow(WindowText(GetDlgItem(window, id)));
}

void MainDialog::SetControlText(int id, const std::string& text) {
    SetDlgItemTextW(window, id, platform::Widen(text).c_str());
}

bool MainDialog::IsChecked(int id) const { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

void MainDialog::SetChecked(int id, bool checked) { CheckDlgButton(window, id, checked ? BST_CHECKED : BST_UNCHECKED); }

void MainDialog::FocusAndSelect(int id) {
    const HWND control = GetDlgItem(window, id);
    SetFocus(control);
    SendMessageW(control, EM_SETSEL, 0, -1);
}

void MainDialog::SetStatusColour(std::uint32_t rgb) { statusLine.SetTextColor(ColourFromRgb(rgb), true); }

void MainDialog::SetStatusText(const std::string& text) { statusLine.SetText(text); }

void MainDialog::Inform(const std::string& text) { Prompt::Inform(window, text); }

bool MainDialog::Confirm(const std::string& text) { return Prompt::Confirm(window, text); }

std::optional<std::string> MainDialog::ChooseFolder(const std::string& title) {
    return FolderChooser::Choose(window, title);
}

void MainDialog::ShowAbout() { AboutDialog::Show(window); }

void MainDialog::OpenAddress(const std::string& address) { UrlOpener::Open(window, address); }

void MainDialog::Accept() { End(IDOK); }
