// What Start, Pause, Stop, Exit and Close do in each situation of a sweep,
// on a real tree. The sweep's pauses are held by the test (HeldPauses), so
// a sweep that has just deleted its first file waits there until let go.

#include <QElapsedTimer>

#include <filesystem>
#include <functional>
#include <thread>

#include "DialogFixture.h"
#include "ui/core/StatusDisplay.h"

namespace {

constexpr int TreeFiles = 300;

class RunStateTest : public DialogFixture {
protected:
    RunStateTest() {
        for (int i = 0; i < TreeFiles; ++i) tree.Write("f" + std::to_string(i) + ".log", "x");
        settings.filepath = tree.Path().string();
        settings.filename = "*.log";
        settings.speed = 1;
    }

    int FilesLeft() const { return static_cast<int>(TempDir::EntriesIn(tree.Path())); }
    std::string Shown() const { return StatusLine()->Text(); }
    bool Shows(const std::string& text) {
        return Eventually([&] { return Shown() == text; });
    }
    // Starts a sweep and waits until it has deleted one file and holds in its pause.
    void StartHeld() {
        Click(MainIds::Start);
        ASSERT_TRUE(pauses.WaitUntilHeld());
        ASSERT_EQ(FilesLeft(), TreeFiles - 1);
        ASSERT_EQ(dialog->Situation(), RunControl::Situation::Active);
    }
    void PauseHeld() {
        Click(MainIds::Pause);
        ASSERT_EQ(dialog->RunState(), RunControl::Paused);
        pauses.Open();  // the worker comes out of its pause and stops at the gate
    }
    std::vector<std::string> DrainChannel() {
        std::vector<std::string> texts;
        for (StatusRecord r = channel.Take(); r.kind != StatusKind::None; r = channel.Take()) texts.push_back(r.text);
        return texts;
    }

    TempDir tree;
};

// What each state decides is the core's; here the buttons and the menu
// reach it, the timer brings the summary, and no box reaches the screen.
TEST_F(RunStateTest, IdleAndFinishedSweepsNeedNoQuestions) {
    Open();
    Click(MainIds::Pause);
    Click(MainIds::Stop);

    pauses.Open();
    Click(MainIds::Start);
    EXPECT_TRUE(Shows(Summary("运行完成", TreeFiles, TreeFiles))) << Shown();
    EXPECT_EQ(StatusLine()->TextColor(), QColor::fromRgb(InfoColour));
    Click(MainIds::Pause);
    Click(MainIds::Stop);

    tree.Write("again.log", "x");
    Choose(MainIds::Start);
    EXPECT_TRUE(Shows(Summary("运行完成", 1, 1))) << Shown();
    EXPECT_TRUE(prompts.shown.empty());
}

TEST_F(RunStateTest, PauseHoldsTheSweepAndStartResumesItWithTheNewFilters) {
    Open();
    StartHeld();
    PauseHeld();
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    EXPECT_EQ(FilesLeft(), TreeFiles - 1);
    EXPECT_EQ(dialog->Situation(), RunControl::Situation::Paused);

    SetText(MainIds::Directory, "");
    Click(MainIds::Start);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{BadDirectoryText});
    EXPECT_EQ(dialog->Situation(), RunControl::Situation::Paused);

    // Files younger than five days are now spared: the rest of the sweep deletes nothing.
    SetText(MainIds::Directory, tree.Path().string());
    SetText(MainIds::Days, "5");
    Click(MainIds::Start);
    EXPECT_EQ(dialog->RunState(), RunControl::Running);
    EXPECT_TRUE(Shows(Summary("运行完成", TreeFiles, 1))) << Shown();
    EXPECT_EQ(FilesLeft(), TreeFiles - 1);
    EXPECT_NE(Ini().find("expiredays=5\r\n"), std::string::npos);
}

TEST_F(RunStateTest, StartDuringASweepSavesButStartsNoSecondWorker) {
    Open();
    StartHeld();
    SetText(MainIds::Pattern, "*.none");
    Click(MainIds::Start);
    EXPECT_TRUE(prompts.shown.empty());
    EXPECT_NE(Ini().find("filename=*.none\r\n"), std::string::npos);
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const std::vector<std::string> texts = DrainChannel();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "正在运行..."), 1);
    EXPECT_EQ(pauses.Held(), 1);
    pauses.Open();
    // The running sweep keeps the pattern it started with.
    EXPECT_TRUE(Shows(Summary("运行完成", TreeFiles, TreeFiles))) << Shown();
}

TEST_F(RunStateTest, StopAsksWhileASweepRunsAndNoLeavesItRunning) {
    Open();
    StartHeld();
    prompts.AnswerNext(Prompt::Answer::No);
    Click(MainIds::Stop);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{StopQuestion});
    EXPECT_EQ(dialog->Situation(), RunControl::Situation::Active);

    prompts.AnswerNext(Prompt::Answer::Yes);
    Choose(MainIds::Stop);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{StopQuestion});
    EXPECT_EQ(dialog->Situation(), RunControl::Situation::Idle);
    EXPECT_TRUE(Shows(Summary("运行已停止", 1, 1))) << Shown();
    EXPECT_EQ(FilesLeft(), TreeFiles - 1);
}

// A paused worker cannot see the stop, so the window waits its full time
// and the sweep ends without a summary.
TEST_F(RunStateTest, StopWhilePausedWaitsItsFullTimeAndKeepsTheLastText) {
    Open();
    StartHeld();
    PauseHeld();
    ASSERT_TRUE(Eventually([&] { return Shown().rfind("删除", 0) == 0; })) << Shown();
    const std::string last = Shown();

    prompts.AnswerNext(Prompt::Answer::Yes);
    QElapsedTimer clock;
    clock.start();
    Click(MainIds::Stop);
    EXPECT_GE(clock.elapsed(), RunControl::StopWaitMillis - 50);
    EXPECT_EQ(dialog->Situation(), RunControl::Situation::Idle);
    QTest::qWait(3 * ProgressTickMillis);
    EXPECT_EQ(Shown(), last);
    EXPECT_EQ(FilesLeft(), TreeFiles - 1);
    EXPECT_TRUE(DrainChannel().empty());
}

enum class Leave { ExitButton, ExitMenu, Close };

void LeaveBy(Leave way, MainDialog& dialog) {
    if (way == Leave::ExitButton) qobject_cast<QAbstractButton*>(dialog.Control(MainIds::Exit))->click();
    if (way == Leave::ExitMenu) dialog.MenuAction(MainIds::Exit)->trigger();
    if (way == Leave::Close) dialog.close();
}

int ResultOf(Leave way) { return way == Leave::Close ? QDialog::Rejected : QDialog::Accepted; }

TEST_F(RunStateTest, ExitAndCloseAskOnlyWhileASweepIsUnfinished) {
    for (Leave way : {Leave::ExitButton, Leave::ExitMenu, Leave::Close}) {
        Open();
        LeaveBy(way, *dialog);
        EXPECT_FALSE(dialog->isVisible());
        EXPECT_EQ(dialog->result(), ResultOf(way));
    }
    EXPECT_TRUE(prompts.shown.empty());

    Open();
    StartHeld();
    for (bool paused : {false, true}) {
        if (paused) PauseHeld();
        for (Leave way : {Leave::ExitButton, Leave::ExitMenu, Leave::Close}) {
            Open();
            prompts.AnswerNext(Prompt::Answer::No);
            LeaveBy(way, *dialog);
            EXPECT_TRUE(dialog->isVisible());
            prompts.AnswerNext(Prompt::Answer::Yes);
            LeaveBy(way, *dialog);
            EXPECT_FALSE(dialog->isVisible());
            EXPECT_EQ(dialog->result(), ResultOf(way));
            EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>(2, ExitQuestion));
        }
    }
    // Leaving does not stop the sweep; ending the process does.
    EXPECT_TRUE(job.IsRunning());
}

TEST_F(RunStateTest, ExitWithAnUnreadableDaysBoxKeepsTheWindowOpen) {
    Open();
    SetText(MainIds::Days, "");
    Click(MainIds::Exit);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{NotIntegerText});
    EXPECT_TRUE(dialog->isVisible());
}

TEST_F(RunStateTest, ABurstOfTextsJumpsToTheNewestAndEndsOnTheSummaryInGreen) {
    settings.speed = 3;  // no pauses: the whole sweep posts between two ticks
    Open();
    Click(MainIds::Start);
    ASSERT_TRUE(job.WaitDone(10000));
    dialog->Tick();
    EXPECT_EQ(Shown(), "正在运行...");
    dialog->Tick();
    EXPECT_EQ(Shown().rfind("删除", 0), 0u) << Shown();
    dialog->Tick();
    EXPECT_EQ(Shown(), Summary("运行完成", TreeFiles, TreeFiles));
    EXPECT_EQ(StatusLine()->TextColor(), QColor::fromRgb(InfoColour));
    dialog->Tick();
    EXPECT_EQ(Shown(), Summary("运行完成", TreeFiles, TreeFiles));
}

// Each shows in red, and the sweep is over; only the fault has deleted a file.
TEST_F(RunStateTest, ARootThatCannotBeOpenedAFaultInTheSweepAndAnInvalidPatternShowInRed) {
    const std::string missing = (tree / "missing").string();
    const struct {
        std::function<void()> prepare;
        std::string shown;
    } cases[] = {
        {[&] { SetText(MainIds::Directory, missing); }, "无法打开处理目录 " + missing},
        {[&] {
             SetText(MainIds::Directory, tree.Path().string());
             pauses.Fail();
         },
         "运行异常结束"},
        {[&] {
             SetText(MainIds::Pattern, "(");
             Click(MainIds::Regex);
         },
         "无效正则表达式"},
    };
    Open();
    for (const auto& c : cases) {
        c.prepare();
        Click(MainIds::Start);
        EXPECT_TRUE(Shows(c.shown)) << Shown();
        EXPECT_EQ(StatusLine()->TextColor(), QColor::fromRgb(ErrorColour));
        EXPECT_TRUE(Eventually([&] { return dialog->Situation() == RunControl::Situation::Finished; }));
    }
    EXPECT_EQ(FilesLeft(), TreeFiles - 1);
}

// A Save the moment a sweep has started must not reach the root and the
// pattern the sweep is taking. ThreadSanitizer sees any overlap, but not
// through a signal (its suppressions cover Qt's frames): the save's own
// gathering is called directly.
TEST_F(RunStateTest, SaveRightAfterStartLeavesTheStartedSweepItsRootAndPattern) {
    TempDir other;
    other.Write("o.log", "x");
    pauses.Open();
    Open();
    Click(MainIds::Start);
    SetText(MainIds::Directory, other.Path().string());
    SetText(MainIds::Pattern, "*.none");
    ASSERT_TRUE(dialog->GatherSettings());
    ASSERT_TRUE(job.WaitDone(10000));
    EXPECT_EQ(FilesLeft(), 0);
    EXPECT_TRUE(std::filesystem::exists(other / "o.log"));
}

}  // namespace
