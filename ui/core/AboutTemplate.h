#pragma once
// The About box's layout: icon, title, description, a notice and an OK
// button, in dialog units of the dialog font, in tab order.

#include <array>

enum class AboutKind { Icon, Text, WrappedText, OkButton };

struct AboutControl {
    AboutKind kind;
    const char* text;
    int x, y, width, height;
};

inline constexpr const char* AboutTitle = "关于 VORN";
inline constexpr int AboutWidthUnits = 270;
inline constexpr int AboutHeightUnits = 129;
inline constexpr int AboutOkId = 1;

inline constexpr std::array<AboutControl, 5> AboutControls{{
    {AboutKind::Icon, "", 11, 17, 21, 21},
    {AboutKind::Text, "VORN服务器大批量文件删除专用工具", 40, 10, 165, 10},
    {AboutKind::Text, "免费软件，删除前请确认处理目录", 41, 107, 119, 8},
    {AboutKind::OkButton, "确定", 205, 97, 50, 20},
    {AboutKind::WrappedText,
     "本工具以尽量少占用CPU为目标，以图形界面运行，也支持静默方式运行，静默方式可以配合WINDOWS的任务计划实现"
     "定时清理垃圾文件的功能，静默模式调用格式：vorn.exe /auto",
     40, 39, 199, 40},
}};
