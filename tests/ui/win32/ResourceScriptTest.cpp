// The resource script is written by hand; these read the compiled resources
// back and hold them against the layout tables the Qt window is built from,
// so the two windows cannot drift apart.

#include <gtest/gtest.h>

#include <array>
#include <map>

#include "DialogTemplateReader.h"
#include "platform/WideText_win.h"
#include "ui/core/AboutTemplate.h"
#include "ui/core/LinkCommands.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/ResourceIds.h"
#include "ui/core/ResourceStrings.h"

namespace {

constexpr int NoId = -1;

// What a control of each kind must be: its class, the type in its style's
// low bits (BS_TYPEMASK or SS_TYPEMASK, or none for edit boxes), the style
// bits it must carry and those it must not.
struct KindShape {
    const char* className;
    DWORD typeMask;
    DWORD type;
    DWORD bits;
    DWORD absent = 0;
};

const std::map<ControlKind, KindShape>& Shapes() {
    static const std::map<ControlKind, KindShape> shapes = {
        {ControlKind::Edit, {"Edit", 0, 0, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL}},
        {ControlKind::NumberEdit, {"Edit", 0, 0, WS_BORDER | WS_TABSTOP | ES_NUMBER, ES_AUTOHSCROLL}},
        {ControlKind::ImageButton, {"Button", BS_TYPEMASK, BS_PUSHBUTTON, WS_TABSTOP}},
        {ControlKind::CheckBox, {"Button", BS_TYPEMASK, BS_AUTOCHECKBOX, WS_TABSTOP}},
        {ControlKind::Radio, {"Button", BS_TYPEMASK, BS_AUTORADIOBUTTON, 0}},
        {ControlKind::Label, {"Static", SS_TYPEMASK, SS_LEFT, 0}},
        {ControlKind::StatusLabel, {"Static", SS_TYPEMASK, SS_LEFT, SS_SUNKEN}},
        {ControlKind::GroupBox, {"Button", BS_TYPEMASK, BS_GROUPBOX, 0}},
        {ControlKind::Picture, {"Static", SS_TYPEMASK, SS_BITMAP, SS_SUNKEN}},
    };
    return shapes;
}

std::string LoadedString(int id) {
    const wchar_t* text = nullptr;
    const int length = LoadStringW(GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
    return length > 0 ? platform::Narrow(std::wstring_view(text, static_cast<std::size_t>(length))) : std::string();
}

void ExpectShape(const TemplateItem& item, const KindShape& shape, const std::string& where) {
    EXPECT_EQ(ClassName(item.windowClass), shape.className) << where;
    EXPECT_EQ(item.style & shape.typeMask, shape.type) << where;
    EXPECT_EQ(item.style & shape.bits, shape.bits) << where;
    EXPECT_EQ(item.style & shape.absent, 0u) << where;
    EXPECT_TRUE(item.style & WS_VISIBLE) << where;
    EXPECT_FALSE(item.style & WS_DISABLED) << where;
}

// Reads template `id` and checks its header: title, size in dialog units,
// window style bits and the dialog font.
std::optional<DialogTemplate> ReadChecked(int id, const char* title, int width, int height, DWORD style) {
    std::optional<DialogTemplate> dialog = ReadDialogTemplate(id);
    if (!dialog) {
        ADD_FAILURE() << "no extended dialog template " << id;
        return dialog;
    }
    EXPECT_EQ(dialog->title, title) << id;
    EXPECT_EQ(dialog->width, width) << id;
    EXPECT_EQ(dialog->height, height) << id;
    EXPECT_EQ(dialog->style & style, style) << id;
    EXPECT_EQ(dialog->font, "宋体") << id;
    EXPECT_EQ(dialog->pointSize, 9) << id;
    return dialog;
}

std::array<int, 4> Place(const TemplateItem& item) { return {item.x, item.y, item.width, item.height}; }

TEST(ResourceScriptTest, TheMainTemplateHoldsTheLayoutTableInOrder) {
    const std::optional<DialogTemplate> dialog =
        ReadChecked(MainTemplateId, MainTitle, MainWidthUnits, MainHeightUnits,
                    WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | DS_MODALFRAME | WS_VISIBLE);
    ASSERT_TRUE(dialog);
    EXPECT_TRUE(dialog->exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(dialog->menu.number, MainMenuId);
    EXPECT_EQ(dialog->charset, DEFAULT_CHARSET);

    const std::vector<TemplateControl>& controls = MainControls();
    ASSERT_EQ(dialog->items.size(), controls.size());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const TemplateControl& want = controls[i];
        const TemplateItem& got = dialog->items[i];
        const std::string where = "control " + std::to_string(i) + " (" + want.caption + ")";
        EXPECT_EQ(got.id, want.id == 0 ? NoId : want.id) << where;
        EXPECT_EQ(Place(got), (std::array<int, 4>{want.x, want.y, want.width, want.height})) << where;
        ExpectShape(got, Shapes().at(want.kind), where);
        if (want.kind == ControlKind::Picture) {
            EXPECT_EQ(got.caption.number, BannerBitmapId) << where;
        } else {
            EXPECT_EQ(got.caption.text, want.caption) << where;
        }
        // A run of radio buttons is one group: it starts one, and the control
        // after it starts the next, so the arrow keys stay inside.
        const bool radio = want.kind == ControlKind::Radio;
        const bool afterRadio = i > 0 && controls[i - 1].kind == ControlKind::Radio;
        if (radio || afterRadio) {
            EXPECT_EQ(bool(got.style & WS_GROUP), radio != afterRadio) << where;
        }
    }
}

TEST(ResourceScriptTest, TheAboutTemplateHoldsItsTableInOrder) {
    const std::optional<DialogTemplate> dialog = ReadChecked(AboutTemplateId, AboutTitle, AboutWidthUnits,
                                                             AboutHeightUnits, WS_POPUP | WS_CAPTION | WS_SYSMENU |
                                                                                   DS_MODALFRAME);
    ASSERT_TRUE(dialog);

    const std::map<AboutKind, KindShape> shapes = {
        {AboutKind::Icon, {"Static", SS_TYPEMASK, SS_ICON, 0}},
        {AboutKind::Text, {"Static", SS_TYPEMASK, SS_LEFT, 0}},
        {AboutKind::WrappedText, {"Static", SS_TYPEMASK, SS_LEFT, 0}},
        {AboutKind::OkButton, {"Button", BS_TYPEMASK, BS_DEFPUSHBUTTON, WS_TABSTOP | WS_GROUP}},
    };
    ASSERT_EQ(dialog->items.size(), AboutControls.size());
    for (std::size_t i = 0; i < AboutControls.size(); ++i) {
        const AboutControl& want = AboutControls[i];
        const TemplateItem& got = dialog->items[i];
        const std::string where = "control " + std::to_string(i);
        EXPECT_EQ(got.id, want.kind == AboutKind::OkButton ? AboutOkId : NoId) << where;
        EXPECT_EQ(Place(got), (std::array<int, 4>{want.x, want.y, want.width, want.height})) << where;
        ExpectShape(got, shapes.at(want.kind), where);
        if (want.kind == AboutKind::Icon) {
            EXPECT_EQ(got.caption.number, AppIconId) << where;
        } else {
            EXPECT_EQ(got.caption.text, want.text) << where;
        }
    }
    // The title is shown literally and starts the group the OK button ends.
    EXPECT_EQ(dialog->items[1].style & (SS_NOPREFIX | WS_GROUP), DWORD{SS_NOPREFIX | WS_GROUP});
}

MENUITEMINFOW ItemInfo(HMENU menu, int position, std::wstring& text) {
    text.assign(256, L'\0');
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    info.dwTypeData = text.data();
    info.cch = static_cast<UINT>(text.size());
    EXPECT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info));
    text.resize(info.cch);
    return info;
}

TEST(ResourceScriptTest, TheMenuBarHoldsEveryItemWithItsCommandAndNothingGreyed) {
    const HMENU bar = LoadMenuW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(MainMenuId));
    ASSERT_NE(bar, nullptr);
    const std::vector<MenuPopup> popups = MainMenu();
    ASSERT_EQ(GetMenuItemCount(bar), static_cast<int>(popups.size()));
    std::wstring text;
    for (std::size_t p = 0; p < popups.size(); ++p) {
        const MENUITEMINFOW popup = ItemInfo(bar, static_cast<int>(p), text);
        EXPECT_EQ(platform::Narrow(text), popups[p].caption);
        ASSERT_NE(popup.hSubMenu, nullptr) << popups[p].caption;
        const std::vector<MenuItem>& items = popups[p].items;
        ASSERT_EQ(GetMenuItemCount(popup.hSubMenu), static_cast<int>(items.size())) << popups[p].caption;
        for (std::size_t i = 0; i < items.size(); ++i) {
            const MENUITEMINFOW item = ItemInfo(popup.hSubMenu, static_cast<int>(i), text);
            const std::string where = popups[p].caption + " item " + std::to_string(i);
            EXPECT_EQ(bool(item.fType & MFT_SEPARATOR), items[i].command == 0) << where;
            if (items[i].command == 0) continue;
            EXPECT_EQ(platform::Narrow(text), items[i].caption) << where;
            EXPECT_EQ(item.wID, static_cast<UINT>(items[i].command)) << where;
            EXPECT_EQ(item.fState & (MFS_GRAYED | MFS_CHECKED), 0u) << where;
        }
    }
    DestroyMenu(bar);
}

TEST(ResourceScriptTest, TheStringTableHoldsTheLinkTextsAndTheAboutEntries) {
    std::vector<int> ids = {AboutMenuString, MainIds::About};
    for (int id = FirstLinkCommand; id <= LastLinkCommand; ++id) ids.push_back(id);
    for (int id : ids) EXPECT_EQ(LoadedString(id), LoadResourceString(id)) << id;
    EXPECT_EQ(LoadedString(32779), "");
    EXPECT_EQ(LoadedString(HomePageLinkCommand).find('\n'), std::string("访问软件官方网站").size());
}

}  // namespace
