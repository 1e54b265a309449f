#pragma once
// The program's window on Windows: the dialog of template 102 with its menu
// bar, tool bar of image buttons and status line, run modally by its own
// message loop. What its commands do is decided by MainDialogCore; this
// class shows it over the dialog's controls and routes the dialog's
// messages there.
//
// Nothing is ever disabled. Enter and Escape never reach the dialog manager,
// so neither can press a button or end the window.

#include <windows.h>

#include <array>
#include <string>

#include "ui/core/ButtonStyle.h"
#include "ui/core/MainDialogCore.h"
#include "ui/core/MainDialogView.h"
#include "ui/win32/ImageButton.h"
#include "ui/win32/LabelCtrl.h"

class MainDialog : private MainDialogView {
public:
    // The settings are saved to the file at `settingsPath`.
    MainDialog(SweepSettings& settings, WorkerThread& worker, StatusChannel& channel, std::string settingsPath);
    ~MainDialog() override;
    MainDialog(const MainDialog&) = delete;
    MainDialog& operator=(const MainDialog&) = delete;

    // Opens the window and serves it until it is left: IDOK by Exit, IDCANCEL
    // when closed, -1 when no window could be made (no desktop).
    int Run();

    // Run in two steps, for tests that drive the window themselves: Open
    // creates and shows it (false when it cannot), Dispatch serves one
    // message as the window's loop does, Ended tells that it was left.
    bool Open();
    void Dispatch(const MSG& message);
    bool Ended() const { return result != StillOpen; }
    int Result() const { return result; }

    HWND Window() const { return window; }
    const LabelCtrl& StatusLine() const { return statusLine; }
    const MainDialogCore& Core() const { return core; }

    // True for the key presses the window's loop drops: Enter and Escape
    // sent to `dialog` or to any of its controls.
    static bool IsSwallowedKey(HWND dialog, const MSG& message);

private:
    static constexpr int StillOpen = 0;

    static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Initialise(HWND dialog);
    void AttachControls();
    void AddAboutToSystemMenu();
    void SetUpButtons();
    void OnCommand(int id, int notification);
    bool PaintMinimized();
    void End(int how);

    std::string ControlText(int id) const override;
    void SetControlText(int id, const std::string& text) override;
    bool IsChecked(int id) const override;
    void SetChecked(int id, bool checked) override;
    void FocusAndSelect(int id) override;
    void SetStatusColour(std::uint32_t rgb) override;
    void SetStatusText(const std::string& text) override;
    void Inform(const std::string& text) override;
    bool Confirm(const std::string& text) override;
    std::optional<std::string> ChooseFolder(const std::string& title) override;
    void ShowAbout() override;
    void OpenAddress(const std::string& address) override;
    void Accept() override;

    MainDialogCore core;
    HWND window = nullptr;
    HICON icon = nullptr;
    int result = StillOpen;
    LabelCtrl statusLine;
    std::array<ImageButton, ToolButtons.size()> buttons;  // in the order of ToolButtons
};
