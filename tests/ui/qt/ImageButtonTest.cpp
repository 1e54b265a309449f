#include "ui/qt/ImageButton.h"
#include "ui/qt/Prompt.h"
#include "ui/qt/Resources.h"
#include "WidgetTestSupport.h"
#include "support/ButtonLook.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <vector>

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

// A box opened by the click handler sends the button a leave, and the
// pointer may be reported elsewhere.
TEST_F(ButtonFixture, ClicksAreReportedExactlyForReleasesOverTheButton)
{
    const QRgb light = Colour(QPalette::Light);
    const QRgb shadow = Colour(QPalette::Shadow);
    const QPoint outside(60, 15);
    for (const ClickCase& c : ClickCases()) {
        SCOPED_TRACE(c.name);
        ImageButton one(&parent);
        one.setGeometry(0, 0, 45, 30);
        std::vector<Frame> framesDuringClicks;
        const Prompt::Function real = Prompt::Replace([&](QWidget*, const std::string&, Prompt::Buttons) {
            QEvent leave(QEvent::Leave);
            QApplication::sendEvent(&one, &leave);
            MoveTo(&one, outside);
            framesDuringClicks.push_back(FrameIn(Render(&one), light, shadow));
            return Prompt::Answer::Ok;
        });
        QObject::connect(&one, &QAbstractButton::clicked, [&] { Prompt::Inform(&parent, "box"); });
        for (Pointer event : c.events) {
            const QEvent::Type types[] = {QEvent::MouseMove, QEvent::MouseMove, QEvent::MouseButtonPress,
                                          QEvent::MouseButtonRelease, QEvent::MouseButtonRelease,
                                          QEvent::MouseButtonDblClick};
            const bool away = event == Pointer::Out || event == Pointer::UpOutside;
            const bool pressing = event == Pointer::Down || event == Pointer::DoubleClick;
            SendMouse(&one, types[static_cast<int>(event)], away ? outside : centre,
                      pressing ? Qt::LeftButton : Qt::NoButton);
        }
        Prompt::Replace(real);
        EXPECT_EQ(framesDuringClicks, std::vector<Frame>(c.clicks, Frame::Sunken));
        EXPECT_EQ(FrameIn(Render(&one), light, shadow), c.frameAfter);
        EXPECT_EQ(one.cursor().shape(), c.hotAfter ? Qt::PointingHandCursor : Qt::ArrowCursor);
    }
}

TEST_F(ButtonFixture, ToggleButtonFlipsOnEachClickAndShowsTheCheckedFace)
{
    button->SetFrameStyle(ImageButton::FrameOnHover | ImageButton::ToggleStyle);
    QSignalSpy clicks(button, &QAbstractButton::clicked);
    for (int expected : {1, 0, 1}) {
        MoveTo(button, centre);
        Press(button, centre);
        Release(button, centre);
        EXPECT_EQ(button->GetChecked(), expected);
        EXPECT_EQ(clicks.takeFirst().at(0).toBool(), expected != 0);
        EXPECT_EQ(Render(button).pixel(2, 2), expected != 0 ? ImageButton::CheckedFace : Colour(QPalette::Button));
    }
}

TEST_F(ButtonFixture, KeyColourLeavesOnlyThePictureAndNoKeyCopiesItWhole)
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

TEST_F(ButtonFixture, ImageShownFollowsKindHoverAndLoad)
{
    for (const PictureCase& c : PictureCases) {
        SCOPED_TRACE(&c - PictureCases);
        ImageButton one(&parent);
        one.setGeometry(0, 0, 45, 30);
        one.SetLayout(ImageLeftOfCaption);
        for (const auto& [kind, bitmap] : c.images)
            one.SetImage(kind, bitmap, BlueKey);
        if (c.over)
            MoveTo(&one, centre);
        const QColor middle = Render(&one).pixelColor(9 + 12, 3 + 12);
        EXPECT_EQ(SeenIn(middle.rgb() == Colour(QPalette::Button), middle.red(), middle.green()), c.seen);
    }
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

// One tool, made by the first call with a text: later calls replace its text,
// and it shows only while active.
TEST_F(TooltipFixture, SecondCallReplacesTheTextOfTheSameTool)
{
    button->SetTooltipText(nullptr, true);
    EXPECT_EQ(TipAt(centre), QString());
    button->SetTooltipText("开始", false);
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
