#include "ui/qt/ImageButton.h"
#include "ui/qt/Prompt.h"
#include "ui/qt/Resources.h"
#include "WidgetTestSupport.h"
#include "support/FrameLook.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

namespace {

const int BlueKey = ImageButton::KeyFromRgb(0, 0, 255);
const QRgb PureBlue = qRgb(0, 0, 255);

// A 45 x 30 button with the start picture left of an empty caption: the
// picture sits at (9, 3).
struct ButtonFixture : testing::Test {
    QWidget parent;
    ImageButton* button = new ImageButton(&parent);
    const QPoint centre{22, 15};

    void SetUp() override
    {
        button->setGeometry(0, 0, 45, 30);
        button->SetLayout(ImageLeftOfCaption);
    }
    QRgb Colour(QPalette::ColorRole role) const { return button->palette().color(role).rgb(); }
};

using ButtonStyle::Frame;

Frame FrameIn(const QImage& image, QRgb light, QRgb shadow)
{
    return FrameAt([&](int x, int y) { return image.pixel(x, y); }, image.width(), image.height(), light, shadow);
}

// The frame the mode and the check state decide is the one drawn, one case
// for each frame; hover and clicks draw theirs in the tests below.
TEST_F(ButtonFixture, FrameModeAndCheckedStateReachTheDrawing)
{
    const QRgb light = Colour(QPalette::Light);
    const QRgb shadow = Colour(QPalette::Shadow);
    ASSERT_NE(light, shadow);
    for (const FrameCase& c : FrameCases) {
        SCOPED_TRACE(testing::Message() << "style " << c.style << " held " << c.held << " checked " << c.checked);
        ImageButton one(&parent);
        one.setGeometry(0, 0, 45, 30);
        one.SetFrameStyle(c.style);
        one.SetChecked(c.checked);
        if (c.held)
            Press(&one, centre);
        EXPECT_EQ(FrameIn(Render(&one), light, shadow), c.expected);
    }
}

TEST_F(ButtonFixture, HoverShowsARaisedFrameAndTheHandCursor)
{
    button->SetFrameStyle(ImageButton::FrameOnHover);
    MoveTo(button, centre);
    EXPECT_EQ(FrameIn(Render(button), Colour(QPalette::Light), Colour(QPalette::Shadow)), Frame::Raised);
    EXPECT_EQ(button->cursor().shape(), Qt::PointingHandCursor);
    MoveTo(button, QPoint(60, 15));
    EXPECT_EQ(FrameIn(Render(button), Colour(QPalette::Light), Colour(QPalette::Shadow)), Frame::None);
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
}

TEST_F(ButtonFixture, KeyColourLeavesOnlyThePicture)
{
    button->SetImage(ImageButton::ImageNormal, StartBitmapId, BlueKey);
    const QImage keyed = Render(button);
    EXPECT_EQ(keyed.pixel(9, 3), Colour(QPalette::Button));  // the bitmap's corner
    for (int y = 0; y < keyed.height(); ++y)
        for (int x = 0; x < keyed.width(); ++x)
            ASSERT_NE(keyed.pixel(x, y), PureBlue) << x << "," << y;
    EXPECT_NE(keyed.pixel(9 + 12, 3 + 12), Colour(QPalette::Button));  // the picture itself

    button->SetImage(ImageButton::ImageNormal, StartBitmapId, ImageButton::NoTransparentKey);
    const QImage opaque = Render(button);
    EXPECT_EQ(opaque.pixel(9, 3), PureBlue);
    EXPECT_EQ(opaque.pixel(9 + 23, 3 + 23), PureBlue);
    EXPECT_NE(opaque.pixel(8, 3), PureBlue);
}

TEST_F(ButtonFixture, CheckedFaceIsLightGrey)
{
    button->SetChecked(1);
    EXPECT_EQ(Render(button).pixel(2, 2), ImageButton::CheckedFace);
    button->SetChecked(0);
    EXPECT_EQ(Render(button).pixel(2, 2), Colour(QPalette::Button));
}

// The start picture is green, the stop picture red. Without a hover picture
// the normal one stays while hot.
TEST_F(ButtonFixture, HoverImageReplacesTheNormalOneWhileHot)
{
    const auto redness = [&] {
        const QColor seen = Render(button).pixelColor(9 + 12, 3 + 12);
        return seen.red() - seen.green();
    };
    button->SetImage(ImageButton::ImageNormal, StartBitmapId, BlueKey);
    MoveTo(button, centre);
    EXPECT_LT(redness(), 0);
    button->SetImage(ImageButton::ImageHover, StopBitmapId, BlueKey);
    EXPECT_GT(redness(), 0);
    MoveTo(button, QPoint(60, 15));
    EXPECT_LT(redness(), 0);
}

TEST_F(ButtonFixture, DisabledAndUnknownKindsDrawNothing)
{
    button->SetImage(ImageButton::ImageDisabled, StartBitmapId, BlueKey);
    button->SetImage(4, StartBitmapId, BlueKey);
    button->SetImage(0, StartBitmapId, BlueKey);
    const QImage image = Render(button);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(image.pixel(x, y), Colour(QPalette::Button)) << x << "," << y;
}

TEST_F(ButtonFixture, MissingBitmapCountsAsNoImage)
{
    button->SetImage(ImageButton::ImageNormal, StartBitmapId, BlueKey);
    button->SetImage(ImageButton::ImageNormal, 999, BlueKey);
    EXPECT_EQ(Render(button).pixel(9 + 12, 3 + 12), Colour(QPalette::Button));
}

// The caption is drawn in black beside the picture, on the side the layout says.
TEST_F(ButtonFixture, CaptionStandsOnTheLayoutsSideOfThePicture)
{
    button->setText(QStringLiteral("开始"));
    button->setGeometry(0, 0, 70, 30);
    button->SetImage(ImageButton::ImageNormal, StartBitmapId, BlueKey);
    for (int layout : {ImageLeftOfCaption, CaptionLeftOfImage}) {
        SCOPED_TRACE(layout);
        button->SetLayout(layout);
        const QImage image = Render(button);
        int darkLeft = image.width(), darkRight = -1;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (QColor(image.pixel(x, y)).value() < 40) {
                    darkLeft = std::min(darkLeft, x);
                    darkRight = std::max(darkRight, x);
                }
        ASSERT_GE(darkRight, 0);
        const int half = image.width() / 2;
        if (layout == ImageLeftOfCaption)
            EXPECT_GT(darkLeft, half - 5);
        else
            EXPECT_LT(darkRight, half + 5);
    }
}

TEST_F(ButtonFixture, ClickIsReportedWhileTheButtonStillLooksDown)
{
    const QRgb shadow = Colour(QPalette::Shadow);
    Frame frameDuringClick = Frame::None;
    QObject::connect(button, &QAbstractButton::clicked, [&] {
        frameDuringClick = FrameIn(Render(button), Colour(QPalette::Light), shadow);
    });
    MoveTo(button, centre);
    Press(button, centre);
    Release(button, centre);
    EXPECT_EQ(frameDuringClick, Frame::Sunken);
}

// Opening a box sends the button a leave event (and the pointer may be
// reported elsewhere); the button keeps its down look until the click has
// been reported.
TEST_F(ButtonFixture, ABoxOpenedByTheClickHandlerSeesTheDownLook)
{
    const QRgb light = Colour(QPalette::Light);
    const QRgb shadow = Colour(QPalette::Shadow);
    Frame frameDuringBox = Frame::None;
    const Prompt::Function real = Prompt::Replace([&](QWidget*, const std::string&, Prompt::Buttons) {
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(button, &leave);
        MoveTo(button, QPoint(60, 15));
        frameDuringBox = FrameIn(Render(button), light, shadow);
        return Prompt::Answer::Ok;
    });
    QObject::connect(button, &QAbstractButton::clicked, [&] { Prompt::Inform(&parent, "box"); });
    MoveTo(button, centre);
    Press(button, centre);
    Release(button, centre);
    Prompt::Replace(real);
    EXPECT_EQ(frameDuringBox, Frame::Sunken);
}

TEST_F(ButtonFixture, DragOutAndBackClicksOnceAndReleaseOutsideDoesNot)
{
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    const QPoint outside(60, 15);
    MoveTo(button, centre);
    Press(button, centre);
    MoveTo(button, outside, Qt::LeftButton);
    MoveTo(button, centre, Qt::LeftButton);
    Release(button, centre);
    EXPECT_EQ(clicks.count(), 1);

    MoveTo(button, centre);
    Press(button, centre);
    MoveTo(button, outside, Qt::LeftButton);
    Release(button, outside);
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(FrameIn(Render(button), Colour(QPalette::Light), Colour(QPalette::Shadow)), Frame::None);
}

// A click leaves the button at rest, with the arrow, until the pointer moves
// again; a double click's second press then clicks again.
TEST_F(ButtonFixture, DoubleClickIsASecondPress)
{
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    MoveTo(button, centre);
    Press(button, centre);
    Release(button, centre);
    EXPECT_EQ(FrameIn(Render(button), Colour(QPalette::Light), Colour(QPalette::Shadow)), Frame::None);
    EXPECT_EQ(button->cursor().shape(), Qt::ArrowCursor);
    MoveTo(button, centre);
    SendMouse(button, QEvent::MouseButtonDblClick, centre, Qt::LeftButton);
    EXPECT_EQ(FrameIn(Render(button), Colour(QPalette::Light), Colour(QPalette::Shadow)), Frame::Sunken);
    Release(button, centre);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(ButtonFixture, ToggleButtonReportsItsCheckedValue)
{
    button->SetFrameStyle(ImageButton::FrameOnHover | ImageButton::ToggleStyle);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    for (int expected : {1, 0}) {
        MoveTo(button, centre);
        Press(button, centre);
        Release(button, centre);
        EXPECT_EQ(button->GetChecked(), expected);
        EXPECT_EQ(clicks.takeFirst().at(0).toBool(), expected != 0);
    }
}

TEST_F(ButtonFixture, LayoutChangeRedrawsAndTheSameLayoutDoesNot)
{
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    QCoreApplication::processEvents();
    PaintRecorder paints(button);
    button->SetLayout(ImageLeftOfCaption);
    QCoreApplication::processEvents();
    EXPECT_EQ(paints.count, 0);
    button->SetLayout(CaptionAboveImage);
    QCoreApplication::processEvents();
    EXPECT_GT(paints.count, 0);
}

struct TooltipFixture : ButtonFixture {
    QString TipAt(QPoint pos)
    {
        // hideText() only starts a timer; the tip window must be gone now.
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->inherits("QTipLabel"))
                window->hide();
        QHelpEvent help(QEvent::ToolTip, pos, button->mapToGlobal(pos));
        QApplication::sendEvent(button, &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    }
};

TEST_F(TooltipFixture, SecondCallReplacesTheTextOfTheSameTool)
{
    button->SetTooltipText(nullptr, true);
    EXPECT_EQ(TipAt(centre), QString());
    button->SetTooltipText("开始", true);
    EXPECT_EQ(TipAt(centre), QStringLiteral("开始"));
    button->setGeometry(0, 0, 90, 30);
    button->SetTooltipText("停止", true);
    EXPECT_EQ(TipAt(centre), QStringLiteral("停止"));
    EXPECT_EQ(TipAt(QPoint(70, 15)), QString());  // the tool keeps its first rectangle
    button->SetTooltipText(nullptr, true);
    EXPECT_EQ(TipAt(centre), QStringLiteral("停止"));
}

TEST_F(TooltipFixture, InactiveTooltipShowsNothing)
{
    button->SetTooltipText("开始", false);
    EXPECT_EQ(TipAt(centre), QString());
    button->SetTooltipText("开始", true);
    EXPECT_EQ(TipAt(centre), QStringLiteral("开始"));
}

TEST(ButtonTooltip, LongTextsWrapAtTheMaximumWidth)
{
    const QFont font = QToolTip::font();
    const QString shortText = QStringLiteral("保存配置");
    EXPECT_EQ(ButtonTooltip::Wrap(shortText, font, ButtonTooltip::MaxTipWidth), shortText);
    const QString longText = QString(QStringLiteral("删除大量文件 delete many files ")).repeated(12);
    const QStringList lines = ButtonTooltip::Wrap(longText, font, ButtonTooltip::MaxTipWidth).split('\n');
    EXPECT_GT(lines.size(), 1);
    const QFontMetrics metrics(font);
    for (const QString& line : lines)
        EXPECT_LE(metrics.horizontalAdvance(line.trimmed()), ButtonTooltip::MaxTipWidth) << line.toStdString();
    EXPECT_EQ(lines.join(QString()).remove(' '), QString(longText).remove(' '));
}

}  // namespace
