#pragma once
// The program's pictures, addressed by their numbers: icon 128 (several
// sizes), the button bitmaps 129 to 135 (24 x 24, the Save one 25 x 25, drawn
// on pure blue for keying) and the picture 137 (234 x 39).

#include <QIcon>
#include <QPixmap>

inline constexpr int AppIconId = 128;
inline constexpr int StartBitmapId = 129;
inline constexpr int ExitBitmapId = 130;
inline constexpr int WebsiteBitmapId = 131;
inline constexpr int StopBitmapId = 132;
inline constexpr int PauseBitmapId = 133;
inline constexpr int SaveBitmapId = 134;
inline constexpr int ChooseDirBitmapId = 135;
inline constexpr int BannerBitmapId = 137;

// A null pixmap for a number that names no bitmap.
QPixmap LoadResourceBitmap(int id);
// A null icon for a number that names no icon.
QIcon LoadResourceIcon(int id);
