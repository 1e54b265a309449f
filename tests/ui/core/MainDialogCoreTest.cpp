#include "ui/core/MainDialogCore.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <functional>

#include "FakeMainView.h"
#include "config/SweepSettings.h"
#include "support/PlatformSamples.h"
#include "support/TempDir.h"
#include "support/WindowDefaults.h"
#include "sweep/StatusChannel.h"
#include "sweep/SweepJob.h"
#include "ui/core/FieldExchange.h"
#include "ui/core/MainTemplate.h"
#include "ui/core/ResourceStrings.h"
#include "ui/core/StatusDisplay.h"

namespace {

// The core over an in-memory view, a real settings record, job and channel;
// the sweep root and the program directory are temporary folders.
struct CoreFixture {
    CoreFixture() {
        settings.filepath = TempDir::Utf8(root.Path());
        core.Initialise();
    }
    bool Saved() const { return std::filesystem::exists(programDir / SweepSettings::FileName); }

    TempDir programDir;
    TempDir root;
    SweepSettings settings;
    StatusChannel channel;
    std::atomic<bool> silentMode{false};
    SweepJob job{settings, channel, silentMode};
    FakeMainView view;
    MainDialogCore core{view, settings, job, channel, programDir.Dir() + SweepSettings::FileName};
};

// The tool buttons take their tooltips from their own controls: each is
// found by its id, and id 0 (texts no command refers to) finds none.
TEST(MainTemplate, EachControlIsFoundByItsOwnId) {
    for (const TemplateControl& control : MainControls()) {
        const TemplateControl* found = FindMainControl(control.id);
        EXPECT_EQ(found ? found->id : 0, control.id) << control.caption;
        EXPECT_EQ(found == nullptr, control.id == 0) << control.caption;
    }
}

TEST(MainDialogCore, InitialiseShowsTheSettingsWithTheSparingBoxesInverted) {
    CoreFixture f;
    EXPECT_EQ(f.view.texts[MainIds::Directory], f.settings.filepath);
    EXPECT_EQ(f.view.texts[MainIds::Pattern], "*.*");
    EXPECT_EQ(f.view.texts[MainIds::Days], "0");
    EXPECT_EQ(f.view.checks, DefaultChecks);
}

// What each command does when no sweep runs, as the user sees it.
TEST(MainDialogCore, EachCommandDoesWhatItsButtonOrMenuItemSays) {
    struct Seen {
        std::vector<std::string> shown = {};
        std::vector<std::string> opened = {};
        int about = 0;
        bool accepted = false;
        bool saved = false;
    };
    const struct Case {
        const char* name;
        std::function<void(CoreFixture&)> act;
        Seen seen;
    } cases[] = {
        {"save button", [](CoreFixture& f) { f.core.Command(MainIds::Save); }, {{SavedText}, {}, 0, false, true}},
        {"save menu item", [](CoreFixture& f) { f.core.Command(MainIds::SaveMenu); }, {{SavedText}, {}, 0, false, true}},
        {"save without a directory",
         [](CoreFixture& f) {
             f.view.texts[MainIds::Directory] = "";
             f.core.Command(MainIds::Save);
         },
         {{BadDirectoryText}}},
        {"save with a bad days box goes on with the old days",
         [](CoreFixture& f) {
             f.view.texts[MainIds::Days] = "x";
             f.core.Command(MainIds::Save);
         },
         {{NotIntegerText, SavedText}, {}, 0, false, true}},
        {"about", [](CoreFixture& f) { f.core.Command(MainIds::About); }, {{}, {}, 1}},
        {"system menu about", [](CoreFixture& f) { EXPECT_TRUE(f.core.SystemCommand(AboutSystemCommand | 0xF)); },
         {{}, {}, 1}},
        {"other system commands", [](CoreFixture& f) { EXPECT_FALSE(f.core.SystemCommand(0xF060)); }, {}},
        {"website button", [](CoreFixture& f) { f.core.Command(MainIds::Website); }, {{}, {std::string("http://") + HomePageHost + "/"}}},
        {"portal link", [](CoreFixture& f) { f.core.Command(32772); }, {{}, {"http://dl.pconline.com.cn"}}},
        {"unused link number", [](CoreFixture& f) { f.core.Command(32779); }, {}},
        {"exit", [](CoreFixture& f) { f.core.Command(MainIds::Exit); }, {{}, {}, 0, true}},
        {"exit with a bad days box stays",
         [](CoreFixture& f) {
             f.view.texts[MainIds::Days] = "";
             f.core.Command(MainIds::Exit);
         },
         {{NotIntegerText}}},
        {"close box while idle", [](CoreFixture& f) { EXPECT_TRUE(f.core.MayClose()); }, {}},
        {"pause and stop while idle",
         [](CoreFixture& f) {
             f.core.Command(MainIds::Pause);
             f.core.Command(MainIds::Stop);
             EXPECT_EQ(f.core.RunState(), RunControl::Idle);
             EXPECT_EQ(f.core.Situation(), RunControl::Situation::Idle);
         },
         {}},
    };
    for (const Case& c : cases) {
        CoreFixture f;
        c.act(f);
        EXPECT_EQ(f.view.shown, c.seen.shown) << c.name;
        EXPECT_EQ(f.view.opened, c.seen.opened) << c.name;
        EXPECT_EQ(f.view.aboutShown, c.seen.about) << c.name;
        EXPECT_EQ(f.view.accepted, c.seen.accepted) << c.name;
        EXPECT_EQ(f.Saved(), c.seen.saved) << c.name;
        EXPECT_TRUE(f.view.asked.empty()) << c.name;
    }
}

// The transfer runs directory, pattern, keep structure, the hidden and
// read-only boxes, subdirectories, system, the days, regex, the speed; a bad
// days box stops it there. Every control differs from its field, so each
// field shows whether it was reached.
TEST(MainDialogCore, ABadDaysBoxStopsTheTransferThereAndTheSaveGoesOn) {
    CoreFixture f;
    f.settings.expiredays = 7;
    f.core.Initialise();
    const std::string directory = AbsoluteRoot + "new";
    f.view.texts[MainIds::Directory] = directory;
    f.view.texts[MainIds::Pattern] = "*.tmp";
    for (int id : {MainIds::KeepStructure, MainIds::SpareHidden, MainIds::SpareReadonly, MainIds::Subdirectories,
                   MainIds::SpareSystem, MainIds::Regex, MainIds::SpeedLow + 1, MainIds::SpeedLow + 2}) {
        f.view.checks[id] = !f.view.checks[id];
    }
    f.view.texts[MainIds::Days] = "x";
    f.core.Command(MainIds::Save);
    EXPECT_EQ(f.view.shown, (std::vector<std::string>{NotIntegerText, SavedText}));
    EXPECT_EQ(f.view.focused, MainIds::Days);
    const std::string reached = "[vorn]\r\nfilepath=" + directory +
                                "\r\nfilename=*.tmp\r\nregex=false\r\nsubdir=false\r\nsystem=true\r\n"
                                "readonly=false\r\nhidden=false\r\ndirtree=false\r\nexpiredays=7\r\nspeed=1\r\n";
    EXPECT_EQ(f.settings.Serialize(), reached);
    EXPECT_EQ(TempDir::Read(f.programDir / SweepSettings::FileName), reached);

    // Only that save stopped short: with the box mended, the rest arrives.
    f.view.texts[MainIds::Days] = "12";
    f.view.shown.clear();
    f.core.Command(MainIds::Save);
    EXPECT_EQ(f.view.shown, std::vector<std::string>{SavedText});
    EXPECT_TRUE(f.settings.regex);
    EXPECT_EQ(f.settings.expiredays, 12);
    EXPECT_EQ(f.settings.speed, 2);
}

// A speed no button stands for leaves every button unchecked and is saved as none.
TEST(MainDialogCore, ASpeedOutsideTheGroupIsSavedAsMinusOne) {
    CoreFixture f;
    f.settings.speed = 7;
    f.core.Initialise();
    f.core.Command(MainIds::Save);
    EXPECT_EQ(f.view.shown, std::vector<std::string>{SavedText});
    EXPECT_EQ(f.settings.speed, -1);
    EXPECT_NE(TempDir::Read(f.programDir / SweepSettings::FileName).find("speed=-1\r\n"), std::string::npos);
}

TEST(MainDialogCore, AChosenFolderShowsInTheBoxAndReachesTheSettingsAtTheNextSave) {
    CoreFixture f;
    const std::string before = f.settings.filepath;
    f.view.folder = std::nullopt;
    f.core.Command(MainIds::ChooseDirectory);
    EXPECT_EQ(f.view.texts[MainIds::Directory], before);

    TempDir chosen;
    f.view.folder = TempDir::Utf8(chosen.Path());
    f.core.Command(MainIds::ChooseDirectory);
    EXPECT_EQ(f.view.chooserTitles, std::vector<std::string>(2, ChooseDirectoryTitle));
    EXPECT_EQ(f.view.texts[MainIds::Directory], *f.view.folder);
    EXPECT_EQ(f.settings.filepath, before);
    f.core.Command(MainIds::Save);
    EXPECT_EQ(f.settings.filepath, *f.view.folder);
}

TEST(MainDialogCore, StartSweepsAndTheTicksEndOnTheSummaryInGreen) {
    CoreFixture f;
    f.root.Write("a.log", "x");
    f.view.texts[MainIds::Pattern] = "*.log";
    f.core.Command(MainIds::Start);
    EXPECT_TRUE(f.Saved());
    ASSERT_TRUE(f.job.WaitDone(10000));
    EXPECT_EQ(f.core.Situation(), RunControl::Situation::Finished);
    for (int tick = 0; tick < 20; ++tick) f.core.Tick();
    EXPECT_EQ(f.view.statusColour, InfoColour);
    EXPECT_EQ(f.view.statusText.rfind("运行完成", 0), 0u) << f.view.statusText;
    EXPECT_FALSE(std::filesystem::exists(f.root / "a.log"));
    EXPECT_TRUE(f.core.MayClose());

    // A finished sweep has nothing to pause and stops without a question;
    // Start then sweeps afresh.
    EXPECT_EQ(f.core.RunState(), RunControl::Running);
    f.core.Command(MainIds::Pause);
    EXPECT_EQ(f.core.RunState(), RunControl::Running);
    f.core.Command(MainIds::Stop);
    EXPECT_EQ(f.core.RunState(), RunControl::Idle);
    EXPECT_TRUE(f.view.asked.empty());
    f.root.Write("b.log", "x");
    f.core.Command(MainIds::Start);
    ASSERT_TRUE(f.job.WaitDone(10000));
    EXPECT_FALSE(std::filesystem::exists(f.root / "b.log"));
}

// At the lowest speed the sweep rests after its first deletion: it is still
// active when Pause comes, and then holds until Start resumes it.
TEST(MainDialogCore, PauseHoldsAnActiveSweepUntilStartResumesIt) {
    CoreFixture f;
    f.root.Write("a.log", "x");
    f.root.Write("b.log", "x");
    f.view.texts[MainIds::Pattern] = "*.log";
    f.view.checks[MainIds::SpeedLow] = true;
    f.view.checks[MainIds::SpeedLow + 1] = false;
    f.core.Command(MainIds::Start);
    f.core.Command(MainIds::Pause);
    EXPECT_EQ(f.core.Situation(), RunControl::Situation::Paused);
    EXPECT_FALSE(f.job.WaitDone(1000));
    EXPECT_TRUE(std::filesystem::exists(f.root / "a.log") || std::filesystem::exists(f.root / "b.log"));
    f.core.Command(MainIds::Start);
    ASSERT_TRUE(f.job.WaitDone(10000));
    EXPECT_FALSE(std::filesystem::exists(f.root / "a.log") || std::filesystem::exists(f.root / "b.log"));
}

}  // namespace
