#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QMenu>
#include <QMenuBar>
#include <QRadioButton>
#include <QTest>
#include <QTimer>

#include "DialogFixture.h"
#include "support/WindowDefaults.h"
#include "ui/qt/AboutDialog.h"
#include "ui/qt/DialogUnits.h"
#include "ui/core/FieldExchange.h"
#include "ui/core/LinkCommands.h"
#include "ui/core/ResourceStrings.h"

namespace {

using MainDialogTest = DialogFixture;

TEST_F(MainDialogTest, OpensWithTheDefaultsWhenThereIsNoConfigurationFile) {
    ASSERT_FALSE(settings.Load(programDir.Dir() + SweepSettings::FileName));
    Open();
    EXPECT_EQ(dialog->windowTitle(), QString::fromUtf8(MainTitle));
    EXPECT_FALSE(dialog->windowIcon().isNull());
    EXPECT_EQ(Edit(MainIds::Directory)->text(), "");
    EXPECT_EQ(Edit(MainIds::Pattern)->text(), "*.*");
    EXPECT_EQ(Edit(MainIds::Days)->text(), "0");
    for (const auto& [id, checked] : DefaultChecks) EXPECT_EQ(Button(id)->isChecked(), checked) << id;
    EXPECT_EQ(StatusLine()->Text(), "");
    EXPECT_EQ(dialog->RunState(), RunControl::Idle);
    EXPECT_EQ(dialog->focusWidget(), Edit(MainIds::Directory));
    EXPECT_FALSE(std::filesystem::exists(programDir / SweepSettings::FileName));
}

TEST_F(MainDialogTest, ASpeedOutsideTheGroupShowsNoneCheckedAndTheGroupStillHoldsOne) {
    settings.speed = 7;
    Open();
    for (int i = 0; i < MainIds::SpeedCount; ++i) EXPECT_FALSE(Button(MainIds::SpeedLow + i)->isChecked());
    Click(MainIds::SpeedLow + 2);
    Click(MainIds::SpeedLow);
    EXPECT_FALSE(Button(MainIds::SpeedLow + 2)->isChecked());
}

TEST_F(MainDialogTest, ControlsSitWhereTheLayoutTablePutsThemInTabOrder) {
    Open();
    const DialogUnits units(DialogFont());
    std::vector<QWidget*> tabStops;
    for (const TemplateControl& control : MainControls()) {
        if (control.id == 0) continue;
        QWidget* widget = dialog->Control(control.id);
        ASSERT_NE(widget, nullptr) << control.id;
        EXPECT_EQ(widget->geometry(), units.Rect(control.x, control.y, control.width, control.height)) << control.id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), QString::fromUtf8(control.caption)) << control.id;
        }
        EXPECT_TRUE(widget->isEnabled()) << control.id;
        // The frame around the options must not swallow their clicks.
        EXPECT_EQ(widget->parentWidget()->childAt(widget->geometry().center()), widget) << control.id;
        if (widget->focusPolicy() & Qt::TabFocus) tabStops.push_back(widget);
    }
    ASSERT_EQ(tabStops.size(), 20u);
    for (size_t i = 1; i < tabStops.size(); ++i) {
        QWidget* next = tabStops[i - 1]->nextInFocusChain();
        while (!(next->focusPolicy() & Qt::TabFocus)) next = next->nextInFocusChain();
        EXPECT_EQ(next, tabStops[i]) << "after control " << tabStops[i - 1]->objectName().toStdString();
    }
}

TEST_F(MainDialogTest, MenuBarHoldsThePopupsInOrderAndNothingIsGreyed) {
    Open();
    const QList<QAction*> popups = dialog->findChild<QMenuBar*>()->actions();
    const std::vector<MenuPopup> menu = MainMenu();
    ASSERT_EQ(popups.size(), static_cast<qsizetype>(menu.size()));
    for (size_t p = 0; p < menu.size(); ++p) {
        EXPECT_EQ(popups[p]->text(), QString::fromUtf8(menu[p].caption.c_str()));
        const QList<QAction*> items = popups[p]->menu()->actions();
        ASSERT_EQ(items.size(), static_cast<qsizetype>(menu[p].items.size()));
        for (qsizetype i = 0; i < items.size(); ++i) {
            const MenuItem& item = menu[p].items[i];
            EXPECT_EQ(items[i]->isSeparator(), item.command == 0);
            EXPECT_TRUE(items[i]->isEnabled());
            if (item.command != 0) {
                EXPECT_EQ(items[i], dialog->MenuAction(item.command));
            }
        }
    }
    EXPECT_EQ(popups[0]->text(), "系统(&S)");
    EXPECT_EQ(popups[2]->text(), "帮助(&H)");
    EXPECT_EQ(dialog->MenuAction(MainIds::SaveMenu)->text(), "保存配置(&Z)");
    EXPECT_EQ(dialog->MenuAction(MainIds::About)->text(), "关于 VORN(&A)...");
}

TEST_F(MainDialogTest, SaveFromTheButtonAndTheMenuWritesTheFileAndSaysSo) {
    Open();
    SetText(MainIds::Pattern, "");
    Button(MainIds::KeepStructure)->click();
    SetText(MainIds::Days, "30");
    Button(MainIds::SpeedLow + 3)->click();
    const struct {
        int command;
        const char* directory;
    } saves[] = {{MainIds::Save, "/srv/日志"}, {MainIds::SaveMenu, "/srv/menu"}};
    for (const auto& save : saves) {
        SetText(MainIds::Directory, std::string("  ") + save.directory + "  ");
        save.command == MainIds::Save ? Click(save.command) : Choose(save.command);
        EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{SavedText}) << save.command;
        EXPECT_EQ(Ini(), std::string("[vorn]\r\nfilepath=") + save.directory +
                             "\r\nfilename=*.*\r\nregex=false\r\nsubdir=true\r\nsystem=false\r\n"
                             "readonly=true\r\nhidden=true\r\ndirtree=false\r\nexpiredays=30\r\nspeed=3\r\n")
            << save.command;
    }
    // The box is not rewritten with the default pattern.
    EXPECT_EQ(Edit(MainIds::Pattern)->text(), "");
}

// Which directories are refused is the gathering rules' to say; one shows
// the refusal reaches the user.
TEST_F(MainDialogTest, SaveRefusesABadDirectoryAndAFileItCannotWrite) {
    Open();
    SetText(MainIds::Directory, "relative/dir");
    Click(MainIds::Save);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{BadDirectoryText});
    EXPECT_EQ(dialog->LastError(), BadDirectoryText);
    EXPECT_FALSE(std::filesystem::exists(programDir / SweepSettings::FileName));

    MainDialog elsewhere(settings, job, channel, programDir.Dir() + "missing/" + SweepSettings::FileName);
    qobject_cast<QLineEdit*>(elsewhere.Control(MainIds::Directory))->setText("/srv");
    qobject_cast<QAbstractButton*>(elsewhere.Control(MainIds::Save))->click();
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{SaveFailedText});
    EXPECT_EQ(elsewhere.LastError(), SaveFailedText);
}

// Where the transfer stops is the core's to decide; here the box reaches
// the user, the days box gets the focus with its text selected, and the
// save goes on.
TEST_F(MainDialogTest, ABadDaysBoxIsToldFocusedAndTheSaveGoesOn) {
    Open();
    SetText(MainIds::Directory, "/new");
    SetText(MainIds::Days, "1 2");
    Click(MainIds::Save);
    EXPECT_EQ(prompts.TakeShown(), (std::vector<std::string>{NotIntegerText, SavedText}));
    EXPECT_EQ(dialog->focusWidget(), Edit(MainIds::Days));
    EXPECT_EQ(Edit(MainIds::Days)->selectedText(), "1 2");
    EXPECT_NE(Ini().find("filepath=/new\r\n"), std::string::npos);
}

TEST_F(MainDialogTest, TheDaysBoxTakesDigitsOnly) {
    Open();
    QLineEdit* days = Edit(MainIds::Days);
    days->clear();
    QTest::keyClicks(days, "1a-2.x3");
    EXPECT_EQ(days->text(), "123");
}

TEST_F(MainDialogTest, AChosenFolderReachesTheSettingsOnlyAtTheNextSave) {
    settings.filepath = "/before";
    Open();
    prompts.folder = "/chosen/文件夹";
    Click(MainIds::ChooseDirectory);
    EXPECT_EQ(prompts.chooserTitles, std::vector<std::string>{ChooseDirectoryTitle});
    EXPECT_EQ(Edit(MainIds::Directory)->text(), QString::fromUtf8("/chosen/文件夹"));
    EXPECT_EQ(dialog->Fields().directory, "/before");
    EXPECT_EQ(settings.filepath, "/before");

    prompts.folder.reset();  // cancelled: nothing changes
    Click(MainIds::ChooseDirectory);
    EXPECT_EQ(Edit(MainIds::Directory)->text(), QString::fromUtf8("/chosen/文件夹"));

    Click(MainIds::Save);
    EXPECT_EQ(settings.filepath, "/chosen/文件夹");
    EXPECT_TRUE(prompts.TakeShown() == std::vector<std::string>{SavedText});
}

TEST_F(MainDialogTest, EnterAndEscapeDoNothingAnywhereInTheWindow) {
    settings.filepath = "/srv";
    Open();
    std::vector<QWidget*> targets = {dialog.get()};
    for (int id : {MainIds::Directory, MainIds::Pattern, MainIds::Days, MainIds::Regex, MainIds::SpeedLow,
                   MainIds::Start, MainIds::Exit, MainIds::Save, MainIds::StatusLine}) {
        targets.push_back(dialog->Control(id));
    }
    for (QWidget* target : targets) {
        for (Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape}) {
            QTest::keyClick(target, key);
            EXPECT_TRUE(dialog->isVisible()) << target->objectName().toStdString() << " key " << key;
        }
    }
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_FALSE(std::filesystem::exists(programDir / SweepSettings::FileName));
    EXPECT_EQ(dialog->RunState(), RunControl::Idle);
}

TEST_F(MainDialogTest, LinksAndTheWebsiteButtonOpenTheirAddresses) {
    Open();
    Click(MainIds::Website);
    std::vector<std::string> expected = {HomePageAddress()};
    for (const LinkMenuItem& link : PortalMenu()) {
        Choose(link.command);
        expected.push_back(*LinkAddress(LoadResourceString(link.command)));
    }
    Choose(HomePageLinkCommand);
    expected.push_back(*LinkAddress(LoadResourceString(HomePageLinkCommand)));
    EXPECT_EQ(prompts.opened, expected);
    EXPECT_EQ(prompts.opened.front().rfind("http://", 0), 0u);
}

TEST_F(MainDialogTest, TheHelpMenuOpensTheAboutBoxModally) {
    Open();
    bool sawAbout = false;
    QTimer::singleShot(0, [&sawAbout] {
        QWidget* modal = QApplication::activeModalWidget();
        sawAbout = qobject_cast<AboutDialog*>(modal) != nullptr;
        if (modal) modal->close();
    });
    Choose(MainIds::About);
    EXPECT_TRUE(sawAbout);
    EXPECT_TRUE(dialog->isVisible());
}

}  // namespace
