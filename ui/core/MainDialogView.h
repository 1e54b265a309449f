#pragma once
// What the main window's core asks of the window that shows it: its controls
// by template id, the status line, and the things that wait on the user. The
// Qt and the Win32 windows implement it over their own controls; tests
// implement it in memory.

#include <cstdint>
#include <optional>
#include <string>

class MainDialogView {
public:
    virtual ~MainDialogView() = default;

    // Edit boxes (texts are UTF-8).
    virtual std::string ControlText(int id) const = 0;
    virtual void SetControlText(int id, const std::string& text) = 0;
    // Check boxes and radio buttons. Setting one radio does not touch the
    // others of its group: the core sets each.
    virtual bool IsChecked(int id) const = 0;
    virtual void SetChecked(int id, bool checked) = 0;
    // Puts the focus on the control, selecting an edit box's text.
    virtual void FocusAndSelect(int id) = 0;

    // The status line: a colour (0xRRGGBB, shown at once) and a text.
    virtual void SetStatusColour(std::uint32_t rgb) = 0;
    virtual void SetStatusText(const std::string& text) = 0;

    // A box with an OK button.
    virtual void Inform(const std::string& text) = 0;
    // A Yes/No box; true only for Yes.
    virtual bool Confirm(const std::string& text) = 0;
    // The folder browser; nothing when cancelled or when the choice has no
    // file-system path.
    virtual std::optional<std::string> ChooseFolder(const std::string& title) = 0;
    // The About box, modal; returns when it is closed.
    virtual void ShowAbout() = 0;
    // Hands a web address to the default browser; failures are ignored.
    virtual void OpenAddress(const std::string& address) = 0;
    // Ends the window's modal run with OK.
    virtual void Accept() = 0;
};
