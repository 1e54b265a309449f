// A process saving vorn.ini over and over is killed at random moments. After
// every kill the file must hold one of the two contents whole, and the only
// other file a save may leave is its temporary one, which the next save
// removes. POSIX: fork and SIGKILL.

#include "config/SweepSettings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <filesystem>
#include <random>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "support/TempDir.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int MinKills = 20;
constexpr int MaxKills = 200;
constexpr auto KillingTime = std::chrono::seconds(2);
// A child the test fails to kill still ends by itself.
constexpr auto ChildLifetime = std::chrono::seconds(10);

// Saves the two settings in turn until killed; never returns.
[[noreturn]] void SaveInTurn(const SweepSettings& first, const SweepSettings& second,
                             const std::string& path) {
    const auto end = Clock::now() + ChildLifetime;
    while (Clock::now() < end) {
        first.Save(path);
        second.Save(path);
    }
    _exit(0);
}

// The names a directory holds besides vorn.ini; only the temporary file may be there.
bool OnlyIniAndItsTemporary(const fs::path& dir, bool& temporary) {
    const std::string ini = SweepSettings::FileName;
    bool hasIni = false;
    temporary = false;
    for (const auto& entry : fs::directory_iterator(dir)) {
        const std::string name = entry.path().filename().string();
        hasIni |= name == ini;
        temporary |= name == ini + ".tmp";
        if (name != ini && name != ini + ".tmp") return false;
    }
    return hasIni;
}

class SettingsSaveKillTest : public ::testing::Test {
protected:
    SettingsSaveKillTest() {
        oldSettings.filepath = "/srv/old";
        newSettings.filepath = "/srv/new/" + std::string(150, 'n');
        newSettings.filename = "*.log";
        newSettings.expiredays = 30;
    }

    // How long one save takes here, so that the kills fall across whole saves.
    Clock::duration SaveTime() {
        const auto start = Clock::now();
        for (int i = 0; i < 4; ++i) EXPECT_TRUE((i % 2 ? oldSettings : newSettings).Save(dir.Dir() + SweepSettings::FileName));
        EXPECT_TRUE(oldSettings.Save(dir.Dir() + SweepSettings::FileName));
        return (Clock::now() - start) / 5;
    }

    // Forks a child that saves, kills it after `delay`; false unless SIGKILL ended it.
    bool KillSaverAfter(Clock::duration delay) {
        const pid_t child = fork();
        if (child == 0) SaveInTurn(newSettings, oldSettings, dir.Dir() + SweepSettings::FileName);
        if (child < 0) return false;
        std::this_thread::sleep_for(delay);
        kill(child, SIGKILL);
        int status = 0;
        return waitpid(child, &status, 0) == child && WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    }

    TempDir dir;
    SweepSettings oldSettings;
    SweepSettings newSettings;
};

TEST_F(SettingsSaveKillTest, EveryKillLeavesOneWholeFile) {
    const std::string contents[] = {oldSettings.Serialize(), newSettings.Serialize()};
    const auto saveTime = std::chrono::duration_cast<std::chrono::microseconds>(SaveTime());
    std::mt19937 random(7);
    long longestDelay = 3 * saveTime.count() + 100;
    const auto deadline = Clock::now() + KillingTime;
    bool seen[2] = {false, false};
    int leftovers = 0;
    int kills = 0;
    for (; kills < MaxKills && (kills < MinKills || Clock::now() < deadline || !(seen[0] && seen[1])); ++kills) {
        // Kills that keep finding one content mean the child saves slower
        // than the measurement said (a machine busy with other tests): reach further.
        if (kills % MinKills == MinKills - 1 && !(seen[0] && seen[1])) longestDelay *= 2;
        std::uniform_int_distribution<long> delayMicros(0, longestDelay);
        ASSERT_TRUE(KillSaverAfter(std::chrono::microseconds(delayMicros(random)))) << "kill " << kills;
        const std::string text = TempDir::Read(dir / SweepSettings::FileName);
        const bool old = text == contents[0];
        ASSERT_TRUE(old || text == contents[1]) << "kill " << kills << " left:\n" << text;
        seen[old ? 0 : 1] = true;
        SweepSettings loaded;
        ASSERT_TRUE(loaded.Load(dir.Dir() + SweepSettings::FileName));
        EXPECT_EQ(loaded.Serialize(), text);
        bool temporary;
        ASSERT_TRUE(OnlyIniAndItsTemporary(dir.Path(), temporary)) << "kill " << kills;
        leftovers += temporary;
    }
    // Both contents were found: kills fell before and after saves ended.
    EXPECT_TRUE(seen[0] && seen[1]) << kills << " kills, one save in " << saveTime.count() << " us";
    ASSERT_TRUE(oldSettings.Save(dir.Dir() + SweepSettings::FileName));
    bool temporary;
    EXPECT_TRUE(OnlyIniAndItsTemporary(dir.Path(), temporary) && !temporary)
        << leftovers << " of " << kills << " kills left a temporary file";
}

}  // namespace
