#include "ui/core/ResourceIds.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

HANDLE LoadFromModule(int id, UINT type, int size)
{
    return LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(id), type, size, size,
                      type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : 0);
}

TEST(ResourceImages, EveryBitmapIsThereWithItsSizeIn24Bits)
{
    struct Case {
        int id;
        int width;
        int height;
    };
    const Case cases[] = {
        {StartBitmapId, 24, 24}, {ExitBitmapId, 24, 24},      {WebsiteBitmapId, 24, 24},
        {StopBitmapId, 24, 24},  {PauseBitmapId, 24, 24},     {SaveBitmapId, 25, 25},
        {ChooseDirBitmapId, 24, 24}, {BannerBitmapId, 234, 39},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const auto bitmap = static_cast<HBITMAP>(LoadFromModule(c.id, IMAGE_BITMAP, 0));
        ASSERT_NE(bitmap, nullptr);
        BITMAP description{};
        GetObjectW(bitmap, sizeof description, &description);
        EXPECT_EQ(description.bmWidth, c.width);
        EXPECT_EQ(description.bmHeight, c.height);
        EXPECT_EQ(description.bmBitsPixel, 24);
        DeleteObject(bitmap);
    }
}

TEST(ResourceImages, IconHasItsThreeSizes)
{
    for (int size : {16, 32, 48}) {
        SCOPED_TRACE(size);
        const auto icon = static_cast<HICON>(LoadFromModule(AppIconId, IMAGE_ICON, size));
        ASSERT_NE(icon, nullptr);
        ICONINFO info{};
        ASSERT_TRUE(GetIconInfo(icon, &info));
        BITMAP colour{};
        GetObjectW(info.hbmColor, sizeof colour, &colour);
        EXPECT_EQ(colour.bmWidth, size);
        EXPECT_EQ(colour.bmHeight, size);
        DeleteObject(info.hbmColor);
        DeleteObject(info.hbmMask);
        DestroyIcon(icon);
    }
}

}  // namespace
