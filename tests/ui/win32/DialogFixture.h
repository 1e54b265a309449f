#pragma once
// The Win32 main window over a real settings record, status channel and
// sweep job, with its program directory and the tree it sweeps in temporary
// folders. The test drives it through window messages and serves its
// message queue itself; boxes, the folder browser and the browser are
// answered by the test.

#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>

#include "ScriptedPrompts.h"
#include "platform/WideText_win.h"
#include "support/HeldSweep.h"
#include "ui/core/MainTemplate.h"
#include "ui/win32/MainDialog.h"
#include "ui/win32/WindowText.h"

// A window's text, UTF-8.
inline std::string TextOf(HWND window) { return platform::Narrow(WindowText(window)); }

class DialogFixture : public testing::Test, protected HeldSweep {
protected:

    void Open() {
        dialog = std::make_unique<MainDialog>(settings, job, channel, programDir.Dir() + SweepSettings::FileName);
        ASSERT_TRUE(dialog->Open());
    }

    HWND Window() const { return dialog->Window(); }
    HWND Item(int id) const { return GetDlgItem(Window(), id); }
    // A tool-bar button's click, or a menu item's command.
    void Command(int id) const { SendMessageW(Window(), WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }
    // A check box or radio button clicked.
    void Click(int id) const { SendMessageW(Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return SendMessageW(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    void SetText(int id, const std::string& text) const {
        SendMessageW(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(platform::Widen(text).c_str()));
    }
    std::string Text(int id) const { return TextOf(Item(id)); }
    // vorn.ini, read back into UTF-8 from the system's code page.
    std::string Ini() const {
        return platform::Narrow(
            platform::Widen(TempDir::Read(programDir / SweepSettings::FileName), platform::AnsiCodePage));
    }

    // Serves the window's messages (its timer among them) as its own loop
    // would, until `done` holds; false when `limitMs` passed first.
    template <class Condition>
    bool Eventually(Condition done, int limitMs = 10000) const {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(limitMs);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            MSG message;
            while (!dialog->Ended() && PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) dialog->Dispatch(message);
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
        return true;
    }
    // Serves the queue for a while, for what must not happen.
    void Serve(int millis) const {
        Eventually([] { return false; }, millis);
    }

    ScriptedPrompts prompts;
    std::unique_ptr<MainDialog> dialog;
};
