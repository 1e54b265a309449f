#pragma once
// The core names colours as 0xRRGGBB; GDI's COLORREF holds the same bytes the
// other way round (0x00BBGGRR). Every conversion between the two is here.

#include <windows.h>

#include <cstdint>

constexpr COLORREF ColourFromRgb(std::uint32_t rgb)
{
    return RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF);
}
