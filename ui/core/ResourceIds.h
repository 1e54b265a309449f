#pragma once
// The numbers of the program's resources, the same in the Qt resource file
// and the Windows resource script: icon 128 (several sizes), the button
// bitmaps 129 to 135 (24 x 24, the Save one 25 x 25, drawn on pure blue for
// keying), the picture 137 (234 x 39), and the two dialog templates.

inline constexpr int AppIconId = 128;
inline constexpr int StartBitmapId = 129;
inline constexpr int ExitBitmapId = 130;
inline constexpr int WebsiteBitmapId = 131;
inline constexpr int StopBitmapId = 132;
inline constexpr int PauseBitmapId = 133;
inline constexpr int SaveBitmapId = 134;
inline constexpr int ChooseDirBitmapId = 135;
inline constexpr int BannerBitmapId = 137;

inline constexpr int MainTemplateId = 102;
inline constexpr int AboutTemplateId = 100;
inline constexpr int MainMenuId = 128;
