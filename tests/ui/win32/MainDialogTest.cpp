// The Win32 window's wiring: what it shows when it opens and where, that its
// commands reach the core (whose decisions are tested on their own), that
// Enter and Escape never reach the dialog manager, and where the About box
// opens and its ways to close.

#include <filesystem>

#include "DialogFixture.h"
#include "support/WindowDefaults.h"
#include "ui/core/LinkCommands.h"
#include "ui/core/ResourceStrings.h"

namespace {

using MainDialogTest = DialogFixture;

// Centres of two rectangles, the same within a pixel's rounding.
void ExpectCentredOn(const RECT& inner, const RECT& outer) {
    EXPECT_NEAR(inner.left + inner.right, outer.left + outer.right, 1);
    EXPECT_NEAR(inner.top + inner.bottom, outer.top + outer.bottom, 1);
}

TEST_F(MainDialogTest, OpensWithTheDefaultsAndTheAboutEntryInTheSystemMenu) {
    ASSERT_FALSE(settings.Load(programDir.Dir() + SweepSettings::FileName));
    Open();
    EXPECT_EQ(TextOf(Window()), MainTitle);
    EXPECT_NE(GetMenu(Window()), nullptr);
    EXPECT_EQ(Text(MainIds::Directory), "");
    EXPECT_EQ(Text(MainIds::Pattern), "*.*");
    EXPECT_EQ(Text(MainIds::Days), "0");
    for (const auto& [id, checked] : DefaultChecks) EXPECT_EQ(Checked(id), checked) << id;
    EXPECT_EQ(Text(MainIds::StatusLine), "");
    EXPECT_EQ(GetFocus(), Item(MainIds::Directory));
    RECT placed;
    GetWindowRect(Window(), &placed);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(Window(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    ExpectCentredOn(placed, monitor.rcWork);

    const HMENU system = GetSystemMenu(Window(), FALSE);
    const int count = GetMenuItemCount(system);
    ASSERT_GE(count, 2);
    EXPECT_EQ(GetMenuItemID(system, count - 1), static_cast<UINT>(AboutSystemCommand));
    EXPECT_EQ(GetMenuState(system, count - 2, MF_BYPOSITION) & MF_SEPARATOR, UINT{MF_SEPARATOR});
    wchar_t caption[64] = {};
    GetMenuStringW(system, count - 1, caption, 64, MF_BYPOSITION);
    EXPECT_EQ(platform::Narrow(caption), LoadResourceString(AboutMenuString));
    EXPECT_FALSE(std::filesystem::exists(programDir / SweepSettings::FileName));
}

TEST_F(MainDialogTest, SaveFromTheButtonAndTheMenuWritesTheFileAndSaysSo) {
    Open();
    SetText(MainIds::Directory, "  C:\\日志  ");
    SetText(MainIds::Pattern, "");
    Click(MainIds::KeepStructure);
    Click(MainIds::Regex);
    SetText(MainIds::Days, "30");
    Click(MainIds::SpeedLow + 3);
    EXPECT_FALSE(Checked(MainIds::SpeedLow + 1));
    const struct {
        int command;
        const char* directory;
    } saves[] = {{MainIds::Save, "C:\\日志"}, {MainIds::SaveMenu, "D:\\menu"}};
    for (const auto& save : saves) {
        if (save.command == MainIds::SaveMenu) SetText(MainIds::Directory, save.directory);
        Command(save.command);
        EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{SavedText}) << save.command;
        EXPECT_EQ(Ini(), std::string("[vorn]\r\nfilepath=") + save.directory +
                             "\r\nfilename=*.*\r\nregex=true\r\nsubdir=true\r\nsystem=false\r\n"
                             "readonly=true\r\nhidden=true\r\ndirtree=false\r\nexpiredays=30\r\nspeed=3\r\n")
            << save.command;
    }
    EXPECT_EQ(prompts.owners, (std::vector<HWND>{Window(), Window()}));
}

// A days box the transfer cannot read is the core's to refuse; here: the
// user is told and the box gets the focus with its text selected.
TEST_F(MainDialogTest, AnUnreadableDaysBoxIsFocusedAndSelected) {
    Open();
    SetText(MainIds::Directory, "C:\\data");
    SetText(MainIds::Days, "abc");
    Command(MainIds::Exit);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{NotIntegerText});
    EXPECT_FALSE(dialog->Ended());
    EXPECT_EQ(GetFocus(), Item(MainIds::Days));
    DWORD from = 1, to = 0;
    SendMessageW(Item(MainIds::Days), EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    EXPECT_EQ(from, 0u);
    EXPECT_EQ(to, 3u);
    SetText(MainIds::Days, "12");
    Command(MainIds::Exit);
    EXPECT_TRUE(dialog->Ended());
    EXPECT_EQ(dialog->Result(), IDOK);
}

TEST_F(MainDialogTest, TheFolderBrowserAndTheLinksGoThroughTheirReplaceableFunctions) {
    Open();
    prompts.folder = "D:\\选择的目录";
    Command(MainIds::ChooseDirectory);
    EXPECT_EQ(prompts.chooserTitles, std::vector<std::string>{ChooseDirectoryTitle});
    EXPECT_EQ(Text(MainIds::Directory), "D:\\选择的目录");

    Command(MainIds::Website);
    std::vector<std::string> expected = {HomePageAddress()};
    for (const LinkMenuItem& link : PortalMenu()) {
        Command(link.command);
        expected.push_back(*LinkAddress(LoadResourceString(link.command)));
    }
    Command(HomePageLinkCommand);
    expected.push_back(*LinkAddress(LoadResourceString(HomePageLinkCommand)));
    EXPECT_EQ(prompts.opened, expected);
}

TEST_F(MainDialogTest, EnterAndEscapeNeverReachTheDialogManager) {
    settings.filepath = "C:\\srv";
    Open();
    const HWND other = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    const struct {
        HWND target;
        UINT message;
        WPARAM key;
        bool swallowed;
    } keys[] = {
        {Window(), WM_KEYDOWN, VK_RETURN, true},
        {Window(), WM_KEYDOWN, VK_ESCAPE, true},
        {Item(MainIds::Directory), WM_KEYDOWN, VK_RETURN, true},
        {Item(MainIds::Days), WM_KEYDOWN, VK_ESCAPE, true},
        {Item(MainIds::Start), WM_KEYDOWN, VK_RETURN, true},
        {Item(MainIds::Regex), WM_KEYDOWN, VK_ESCAPE, true},
        {Item(MainIds::StatusLine), WM_KEYDOWN, VK_RETURN, true},
        {Item(MainIds::Pattern), WM_KEYUP, VK_RETURN, false},
        {Item(MainIds::Pattern), WM_KEYDOWN, VK_TAB, false},
        {Item(MainIds::Pattern), WM_CHAR, VK_ESCAPE, false},
        {other, WM_KEYDOWN, VK_ESCAPE, false},
    };
    for (const auto& key : keys) {
        const MSG message{key.target, key.message, key.key, 0, 0, {}};
        EXPECT_EQ(MainDialog::IsSwallowedKey(Window(), message), key.swallowed) << key.message << " " << key.key;
        if (key.swallowed) PostMessageW(key.target, key.message, key.key, 0);
    }
    DestroyWindow(other);
    Serve(200);
    EXPECT_FALSE(dialog->Ended());
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(programDir / SweepSettings::FileName));
}

// The About box runs its own modal loop; a thread timer acts inside it.
struct AboutWatch {
    enum class Closer { OkButton, Escape, CloseBox };

    HWND owner = nullptr;
    Closer closer = Closer::OkButton;
    std::string title;
    RECT placed{};
    bool ownerDisabled = false;
    int ticks = 0;
    bool forced = false;

    static AboutWatch* current;

    static HWND OwnedWindow(HWND owner) {
        std::pair<HWND, HWND> search{owner, nullptr};
        EnumThreadWindows(
            GetCurrentThreadId(),
            [](HWND window, LPARAM found) {
                auto& [owner, owned] = *reinterpret_cast<std::pair<HWND, HWND>*>(found);
                if (GetWindow(window, GW_OWNER) == owner) owned = window;
                return owned == nullptr ? TRUE : FALSE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.second;
    }

    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        AboutWatch& watch = *current;
        const HWND box = OwnedWindow(watch.owner);
        if (!box) return;
        if (++watch.ticks > 50) {
            watch.forced = true;
            EndDialog(box, 0);
        } else if (watch.ticks == 1) {
            watch.title = TextOf(box);
            GetWindowRect(box, &watch.placed);
            watch.ownerDisabled = !IsWindowEnabled(watch.owner);
            watch.Close(box);
        }
    }

    void Close(HWND box) const {
        switch (closer) {
        case Closer::OkButton: SendMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); break;
        case Closer::Escape: PostMessageW(GetDlgItem(box, IDOK), WM_KEYDOWN, VK_ESCAPE, 0); break;
        case Closer::CloseBox: PostMessageW(box, WM_SYSCOMMAND, SC_CLOSE, 0); break;
        }
    }
};
AboutWatch* AboutWatch::current = nullptr;

TEST_F(MainDialogTest, TheAboutBoxIsModalAndClosesByOkEscapeAndItsCloseBox) {
    Open();
    const struct {
        UINT message;
        WPARAM command;
    } openers[] = {{WM_COMMAND, MainIds::About}, {WM_SYSCOMMAND, AboutSystemCommand}};
    for (const auto& opener : openers) {
        for (AboutWatch::Closer closer :
             {AboutWatch::Closer::OkButton, AboutWatch::Closer::Escape, AboutWatch::Closer::CloseBox}) {
            AboutWatch watch;
            watch.owner = Window();
            watch.closer = closer;
            AboutWatch::current = &watch;
            const UINT_PTR timer = SetTimer(nullptr, 0, 20, AboutWatch::Tick);
            SendMessageW(Window(), opener.message, opener.command, 0);
            KillTimer(nullptr, timer);
            const std::string where = std::to_string(opener.command) + " closed by " + std::to_string(int(closer));
            EXPECT_EQ(watch.title, "关于 VORN") << where;
            RECT owner;
            GetWindowRect(Window(), &owner);
            ExpectCentredOn(watch.placed, owner);
            EXPECT_TRUE(watch.ownerDisabled) << where;
            EXPECT_FALSE(watch.forced) << where;
            EXPECT_TRUE(IsWindowEnabled(Window())) << where;
        }
    }
    EXPECT_FALSE(dialog->Ended());
}

}  // namespace
