// A sweep driven from the Win32 window on a real tree: the progress timer
// carries the summary to the status line, and every way of stopping or
// leaving asks first while a sweep runs. The sweep's pauses are held by the
// test, so a sweep that has deleted its first file waits there.

#include "DialogFixture.h"
#include "ui/core/StatusDisplay.h"

namespace {

constexpr int TreeFiles = 30;

class SweepFixture : public DialogFixture {
protected:
    SweepFixture() {
        for (int i = 0; i < TreeFiles; ++i) tree.Write("f" + std::to_string(i) + ".log", "x");
        settings.filepath = TempDir::Utf8(tree.Path());
        settings.filename = "*.log";
    }

    int FilesLeft() const { return static_cast<int>(TempDir::EntriesIn(tree.Path())); }
    bool StatusShows(const std::string& text) const {
        return Eventually([&] { return Text(MainIds::StatusLine) == text; });
    }
    // Starts a sweep and waits until it has deleted one file and holds in its pause.
    void StartHeld() {
        Command(MainIds::Start);
        ASSERT_TRUE(pauses.WaitUntilHeld());
        ASSERT_EQ(dialog->Core().Situation(), RunControl::Situation::Active);
    }

    TempDir tree;
};

using RunStateTest = SweepFixture;

TEST_F(RunStateTest, StartSweepsTheTreeAndTheStatusLineEndsWithTheSummaryInGreen) {
    pauses.Open();
    Open();
    Command(MainIds::Start);
    EXPECT_TRUE(StatusShows(Summary("运行完成", TreeFiles, TreeFiles))) << Text(MainIds::StatusLine);
    EXPECT_EQ(dialog->StatusLine().TextColor(), RGB(0, 0x99, 0));
    EXPECT_EQ(FilesLeft(), 0);
    EXPECT_EQ(dialog->Core().Situation(), RunControl::Situation::Finished);
    EXPECT_TRUE(prompts.shown.empty());
}

// Red also tells the status colour's byte order apart, which green cannot.
TEST_F(RunStateTest, AnUncompilablePatternShowsTheErrorInRed) {
    settings.filename = "(";
    settings.regex = true;
    Open();
    Command(MainIds::Start);
    EXPECT_TRUE(Eventually([&] { return dialog->StatusLine().TextColor() == RGB(0xFF, 0, 0); }));
    EXPECT_EQ(FilesLeft(), TreeFiles);
}

// Every way of stopping or leaving a running sweep, answered Yes or No.
struct Leaving {
    const char* name;
    UINT message;
    WPARAM command;
    const char* question;
    int result;  // how the window ends on Yes; 0 when it stays
};

void PrintTo(const Leaving& leaving, std::ostream* out) { *out << leaving.name; }

const Leaving Leavings[] = {
    {"StopButton", WM_COMMAND, MainIds::Stop, StopQuestion, 0},
    {"ExitButton", WM_COMMAND, MainIds::Exit, ExitQuestion, IDOK},
    {"CloseMessage", WM_CLOSE, 0, ExitQuestion, IDCANCEL},
    {"SystemMenuClose", WM_SYSCOMMAND, SC_CLOSE, ExitQuestion, IDCANCEL},
};

class LeavingTest : public SweepFixture, public testing::WithParamInterface<std::tuple<Leaving, bool>> {};

TEST_P(LeavingTest, AsksWhileASweepRunsAndGoesOnlyOnYes) {
    const auto& [leaving, yes] = GetParam();
    Open();
    StartHeld();
    prompts.AnswerNext(yes ? Prompt::Answer::Yes : Prompt::Answer::No);
    PostMessageW(Window(), leaving.message, leaving.command, 0);
    Serve(200);
    EXPECT_EQ(prompts.TakeShown(), std::vector<std::string>{leaving.question});
    const bool leaves = yes && leaving.result != 0;
    EXPECT_EQ(dialog->Ended(), leaves);
    if (leaves) {
        EXPECT_EQ(dialog->Result(), leaving.result);
    }
    const bool stops = yes && leaving.command == MainIds::Stop;
    EXPECT_EQ(dialog->Core().Situation(), stops ? RunControl::Situation::Idle : RunControl::Situation::Active);
    if (stops) {
        EXPECT_TRUE(StatusShows(Summary("运行已停止", 1, 1))) << Text(MainIds::StatusLine);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryWay, LeavingTest, testing::Combine(testing::ValuesIn(Leavings), testing::Bool()),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Yes" : "No");
                         });

}  // namespace
