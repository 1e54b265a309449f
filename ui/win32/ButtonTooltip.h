#pragma once
// The image button's tooltip window: one tool (id 1) over the button, whose
// rectangle is fixed when it is added and whose text later calls replace.
// Created on first need, inactive until asked, texts wider than 400 pixels
// wrap. The button relays its mouse messages here.

#include <windows.h>

#include <string>

class ButtonTooltip {
public:
    ButtonTooltip() = default;
    // Destroys the tooltip window if it still exists.
    ~ButtonTooltip();
    ButtonTooltip(const ButtonTooltip&) = delete;
    ButtonTooltip& operator=(const ButtonTooltip&) = delete;

    // The first call adds the tool covering `button`'s client rectangle as it
    // is now; every call sets the text and switches the tip on or off.
    void SetText(HWND button, const std::wstring& text, bool activate);
    // Lets the tip see a mouse message of the button; nothing before SetText.
    void Relay(HWND button, UINT message, WPARAM wParam, LPARAM lParam) const;
    // The button's window is going: its tooltip goes with it.
    void Destroy();
    HWND Window() const { return tip; }

private:
    void Create(HWND button);
    void AddTool(HWND button, const std::wstring& text);

    HWND tip = nullptr;
    bool hasTool = false;
};
