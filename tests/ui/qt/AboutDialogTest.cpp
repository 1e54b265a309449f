#include "ui/qt/AboutDialog.h"
#include "ui/qt/DialogUnits.h"

#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace {

QStringList LabelTexts(const QDialog& dialog)
{
    QStringList texts;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        if (!label->text().isEmpty())
            texts << label->text();
    return texts;
}

TEST(AboutDialog, ShowsTitleDescriptionIconAndOkAllInsideIt)
{
    AboutDialog dialog(nullptr);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("关于 VORN"));
    const QStringList texts = LabelTexts(dialog);
    EXPECT_TRUE(texts.contains(QStringLiteral("VORN服务器大批量文件删除专用工具")));
    EXPECT_TRUE(texts.contains(QStringLiteral(
        "本工具以尽量少占用CPU为目标，以图形界面运行，也支持静默方式运行，静默方式可以配合WINDOWS的任务计划实现"
        "定时清理垃圾文件的功能，静默模式调用格式：vorn.exe /auto")));
    EXPECT_EQ(texts.size(), 3);  // and the notice line
    int icons = 0;
    for (const QLabel* label : dialog.findChildren<QLabel*>())
        icons += !label->pixmap().isNull();
    EXPECT_EQ(icons, 1);
    for (const QWidget* child : dialog.findChildren<QWidget*>())
        EXPECT_TRUE(dialog.rect().contains(child->geometry())) << child->metaObject()->className();
    const QList<QPushButton*> buttons = dialog.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("确定"));
    EXPECT_TRUE(buttons[0]->isDefault());
}

TEST(AboutDialog, ClosesByOkEscapeOrCloseBox)
{
    QWidget owner;
    owner.show();
    const std::function<void(AboutDialog&)> ways[] = {
        [](AboutDialog& d) { d.findChild<QPushButton*>()->click(); },
        [](AboutDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        [](AboutDialog& d) { d.close(); },
    };
    for (const auto& close : ways) {
        AboutDialog dialog(&owner);
        QSignalSpy finished(&dialog, &QDialog::finished);
        dialog.open();  // window-modal without blocking the test
        ASSERT_TRUE(dialog.isVisible());
        EXPECT_TRUE(dialog.isModal());
        close(dialog);
        EXPECT_FALSE(dialog.isVisible());
        EXPECT_EQ(finished.count(), 1);
    }
}

TEST(DialogUnits, ScaleByTheFontsAverageCharacter)
{
    const DialogUnits units(6, 12);
    EXPECT_EQ(units.Rect(205, 97, 50, 20), QRect(308, 146, 75, 30));
    EXPECT_EQ(units.X(270), 405);
    EXPECT_EQ(units.Y(129), 194);  // 193.5 rounds up
    const DialogUnits fromFont(DialogFont());
    EXPECT_GT(fromFont.X(4), 0);
    EXPECT_GT(fromFont.Y(8), 0);
}

}  // namespace
