#include "ui/qt/Resources.h"

#include <QImage>

#include <gtest/gtest.h>

namespace {

TEST(Resources, ButtonBitmapsAreOnPureBlue)
{
    for (int id = StartBitmapId; id <= ChooseDirBitmapId; ++id) {
        SCOPED_TRACE(id);
        const QImage image = LoadResourceBitmap(id).toImage();
        const int side = id == SaveBitmapId ? 25 : 24;
        ASSERT_EQ(image.size(), QSize(side, side));
        EXPECT_FALSE(image.hasAlphaChannel());
        for (QPoint corner : {QPoint(0, 0), QPoint(side - 1, 0), QPoint(0, side - 1), QPoint(side - 1, side - 1)})
            EXPECT_EQ(image.pixel(corner), qRgb(0, 0, 255));
        int picture = 0;
        for (int y = 0; y < side; ++y)
            for (int x = 0; x < side; ++x)
                picture += image.pixel(x, y) != qRgb(0, 0, 255);
        EXPECT_GT(picture, side * side / 5);
    }
}

TEST(Resources, BannerAndIconSizes)
{
    EXPECT_EQ(LoadResourceBitmap(BannerBitmapId).size(), QSize(234, 39));
    const QList<QSize> sizes = LoadResourceIcon(AppIconId).availableSizes();
    for (int side : {16, 32, 48})
        EXPECT_TRUE(sizes.contains(QSize(side, side))) << side;
}

TEST(Resources, NumbersWithoutAPictureGiveNothing)
{
    for (int id : {AppIconId, 136, 138, 0})
        EXPECT_TRUE(LoadResourceBitmap(id).isNull()) << id;
    EXPECT_TRUE(LoadResourceIcon(StartBitmapId).isNull());
}

}  // namespace
