#pragma once
// The main window's layout as one table: every control with its command id,
// kind, caption and place in dialog units, in tab order; and its menu bar.
// The window is built from these tables alone.

#include <string>
#include <vector>

namespace MainIds {
inline constexpr int Save = 3;
inline constexpr int Directory = 1000;
inline constexpr int ChooseDirectory = 1001;
inline constexpr int Pattern = 1002;
inline constexpr int Start = 1003;
inline constexpr int Website = 1004;
inline constexpr int Subdirectories = 1005;
inline constexpr int SpareSystem = 1006;
inline constexpr int SpareReadonly = 1007;
inline constexpr int SpareHidden = 1008;
inline constexpr int KeepStructure = 1009;
inline constexpr int Stop = 1010;
inline constexpr int Pause = 1011;
inline constexpr int StatusLine = 1012;
inline constexpr int Days = 1013;
inline constexpr int Regex = 1014;
inline constexpr int SpeedLow = 1015;  // the first of four speed buttons, slowest first
inline constexpr int SpeedCount = 4;
inline constexpr int Exit = 1019;
inline constexpr int SaveMenu = 57637;
inline constexpr int About = 57664;
}  // namespace MainIds

enum class ControlKind {
    Edit,         // one line, scrolls sideways
    NumberEdit,   // digits only
    ImageButton,
    CheckBox,
    Radio,        // consecutive radios form one group
    Label,
    StatusLabel,  // sunken edge, painted by the status line's own control
    GroupBox,
    Picture,      // a bitmap in a sunken frame
};

struct TemplateControl {
    int id;  // 0 for controls that no command or field refers to
    ControlKind kind;
    const char* caption;
    int x;
    int y;
    int width;
    int height;
};

inline constexpr const char* MainTitle = "VORN v1.0 [服务器大批量文件删除专用工具]";
inline constexpr int MainWidthUnits = 357;
inline constexpr int MainHeightUnits = 215;

// In template order, which is also the tab order.
const std::vector<TemplateControl>& MainControls();
const TemplateControl* FindMainControl(int id);

struct MenuItem {
    std::string caption;  // empty for a separator
    int command;          // 0 for a separator
};

struct MenuPopup {
    std::string caption;
    std::vector<MenuItem> items;
};

// The menu bar, popups and items in display order.
std::vector<MenuPopup> MainMenu();
