#include "ui/qt/LabelCtrl.h"
#include "WidgetTestSupport.h"

#include <QScreen>
#include <QTest>

#include <gtest/gtest.h>

namespace {

const QColor ParentColour(200, 230, 200);
const QColor Red(220, 0, 0);

struct LabelFixture : testing::Test {
    QWidget parent;

    void SetUp() override
    {
        parent.resize(300, 100);
        QPalette palette = parent.palette();
        palette.setColor(QPalette::Window, ParentColour);
        parent.setPalette(palette);
        parent.setAutoFillBackground(true);
    }

    LabelCtrl* MakeLabel(unsigned style, const QRect& geometry = QRect(10, 10, 240, 60))
    {
        auto* label = new LabelCtrl(&parent, style);
        label->setGeometry(geometry);
        label->SetTextColor(Red, false);
        return label;
    }

    // The label as it stands on its parent.
    QImage Under(const LabelCtrl* label) { return Render(&parent).copy(label->geometry()); }
};

bool IsText(QRgb pixel)
{
    const QColor c(pixel);
    return c.red() > 120 && c.green() < 110 && c.blue() < 110;
}

QRect TextBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (IsText(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

int CountColour(const QImage& image, const QColor& colour)
{
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += image.pixel(x, y) == colour.rgb();
    return count;
}

TEST_F(LabelFixture, StyleBitsPlaceTheText)
{
    enum H { Left, Centre, Right };
    enum V { Top, Middle };
    struct Case {
        unsigned style;
        H horizontal;
        V vertical;
    };
    const Case cases[] = {
        {0, Left, Top},
        {LabelCtrl::SS_CENTER, Centre, Top},
        {LabelCtrl::SS_RIGHT, Right, Top},
        {LabelCtrl::SS_CENTER | LabelCtrl::SS_RIGHT, Centre, Top},
        {LabelCtrl::SS_CENTERIMAGE, Left, Middle},
        {LabelCtrl::SS_RIGHT | LabelCtrl::SS_CENTERIMAGE, Right, Middle},
        {0x1 | 0x200 | 0x4, Centre, Middle},  // other bits do not matter
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "style 0x" << std::hex << c.style);
        LabelCtrl* label = MakeLabel(c.style);
        label->SetText("删除 ok");
        const QRect text = TextBounds(Under(label));
        ASSERT_FALSE(text.isEmpty());
        const int w = label->width();
        const int h = label->height();
        const int expectedX = c.horizontal == Left ? text.width() / 2
                              : c.horizontal == Right ? w - 1 - text.width() / 2
                                                      : w / 2;
        EXPECT_NEAR(text.center().x(), expectedX, 3);
        if (c.vertical == Top) {
            EXPECT_LT(text.top(), 8);
        } else {
            EXPECT_NEAR(text.center().y(), h / 2, 4);
        }
        delete label;
    }
}

TEST_F(LabelFixture, LongTextWrapsFromTheTopUnlessSingleLine)
{
    const std::string longText = "正在删除 /srv/data/cache/old/files/many/of/them 正在删除 more files here";
    LabelCtrl* wrapping = MakeLabel(0);
    wrapping->SetText(longText);
    const QRect wrapped = TextBounds(Under(wrapping));
    const int lineHeight = QFontMetrics(wrapping->font()).height();
    EXPECT_GT(wrapped.height(), lineHeight);

    LabelCtrl* single = MakeLabel(LabelCtrl::SS_CENTERIMAGE, QRect(10, 10, 240, 60));
    wrapping->hide();
    single->SetText(longText);
    const QRect line = TextBounds(Under(single));
    EXPECT_LE(line.height(), lineHeight);
    EXPECT_GE(line.right(), single->width() - 3);  // cut at the edge, not wrapped
}

TEST_F(LabelFixture, OpaqueModeFillsOnlyTheTextCells)
{
    LabelCtrl* label = MakeLabel(0);
    const QColor cells = label->palette().color(QPalette::Button);
    ASSERT_NE(cells, ParentColour);
    label->SetText("short");
    const QImage image = Under(label);
    EXPECT_GT(CountColour(image, cells), 0);
    EXPECT_EQ(image.pixel(image.width() - 2, image.height() - 2), ParentColour.rgb());
    EXPECT_FALSE(TextBounds(image).isEmpty());

    label->SetBackgroundMode(LabelCtrl::Transparent);
    const QImage transparent = Under(label);
    EXPECT_EQ(CountColour(transparent, cells), 0);
    EXPECT_FALSE(TextBounds(transparent).isEmpty());
}

TEST_F(LabelFixture, PrivateFontIsTheOneFromAttachment)
{
    QFont big = parent.font();
    big.setPixelSize(30);
    LabelCtrl* label = MakeLabel(0);
    parent.setFont(big);
    label->SetText("A");
    EXPECT_LT(TextBounds(Under(label)).height(), 25);
}

// What is on screen, not a fresh rendering: only repainted areas change.
struct ShownLabelFixture : LabelFixture {
    LabelCtrl* label = nullptr;

    void SetUp() override
    {
        LabelFixture::SetUp();
        label = MakeLabel(0);
        label->SetBackgroundMode(LabelCtrl::Transparent);
        parent.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    }
    QImage OnScreen()
    {
        QCoreApplication::processEvents();
        return parent.screen()->grabWindow(parent.winId()).toImage().convertToFormat(QImage::Format_RGB32)
            .copy(label->geometry());
    }
};

TEST_F(ShownLabelFixture, ShorterTextLeavesNoTraceOfTheLonger)
{
    label->SetText("删除 /srv/cache/a-very-long-file-name.log");
    const QRect longBounds = TextBounds(OnScreen());
    label->SetText("ok");
    const QRect shortBounds = TextBounds(OnScreen());
    ASSERT_GT(longBounds.right(), shortBounds.right() + 20);
    const QImage after = OnScreen();
    for (int y = 0; y < after.height(); ++y)
        for (int x = shortBounds.right() + 2; x < after.width(); ++x)
            ASSERT_EQ(after.pixel(x, y), ParentColour.rgb()) << x << "," << y;
}

TEST_F(ShownLabelFixture, ColourWithoutRedrawWaitsForTheNextPaint)
{
    label->SetText("运行完成");
    ASSERT_GT(CountColour(OnScreen(), Red), 0);
    const QColor green(0, 160, 0);
    label->SetTextColor(green, false);
    EXPECT_EQ(label->TextColor(), green);
    EXPECT_EQ(CountColour(OnScreen(), green), 0);
    label->SetTextColor(green, true);
    const QImage image = OnScreen();
    EXPECT_GT(CountColour(image, green), 0);
    EXPECT_EQ(CountColour(image, Red), 0);
}

TEST_F(ShownLabelFixture, SameTextAgainRepaintsTheParentUnderTheLabel)
{
    label->SetText("运行完成");
    QCoreApplication::processEvents();
    PaintRecorder paints(&parent);
    label->SetText("运行完成");
    QCoreApplication::processEvents();
    EXPECT_EQ(label->Text(), "运行完成");
    EXPECT_TRUE((QRegion(label->geometry()) - paints.painted).isEmpty());
    EXPECT_FALSE((QRegion(parent.rect()) - paints.painted).isEmpty());  // only the area under the label
}

}  // namespace
