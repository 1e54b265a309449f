#pragma once
// Copies of the built program in temporary folders, each with its own
// vorn.ini and tree, run by default without a display, as on a server.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "config/SweepSettings.h"
#include "support/ChildProcess.h"
#include "support/TempDir.h"

namespace programtest {

namespace fs = std::filesystem;

// What a test's settings state beyond the built-in ones (ProgramTest::ConfigureRoot).
struct Sweeping {
    std::string pattern = SweepSettings().filename;
    int speed = SweepSettings().speed;
};

inline const std::string ConfigErrorLine = AsPrinted("vorn.ini配置文件错误!\n静默模式运行前必须先进行配置!\n");

class ProgramTest : public ::testing::Test {
protected:
    // A copy of the program in its own folder, as a user would install it;
    // on Linux with its window part beside it unless `withWindow` is false.
    fs::path Install(const std::string& folder, bool withWindow = true) {
        const fs::path dir = temp / folder;
        fs::create_directories(dir);
        for (const fs::path& built : Programs(withWindow)) fs::copy_file(built, dir / built.filename());
        return dir / fs::path(VORN_EXECUTABLE).filename();
    }
    static std::vector<fs::path> Programs(bool withWindow = true) {
        std::vector<fs::path> programs{VORN_EXECUTABLE};
        if (withWindow && !std::string(VORN_WINDOW_EXECUTABLE).empty()) programs.push_back(VORN_WINDOW_EXECUTABLE);
        return programs;
    }
    static void Configure(const fs::path& exe, SweepSettings& settings) {
        ASSERT_TRUE(settings.Save((exe.parent_path() / SweepSettings::FileName).string()));
    }
    // The built-in settings, sweeping `root` with `sweeping`'s pattern and speed.
    static void ConfigureRoot(const fs::path& exe, const fs::path& root, const Sweeping& sweeping = {}) {
        SweepSettings settings;
        settings.filepath = root.string();
        settings.filename = sweeping.pattern;
        settings.speed = sweeping.speed;
        Configure(exe, settings);
    }
    // A list-only run of the top of `root` alone, for the files named `pattern`.
    static ChildResult ListTop(const fs::path& exe, const std::string& root, const std::string& pattern) {
        SweepSettings settings;
        settings.filepath = root;
        settings.filename = pattern;
        settings.subdir = false;
        Configure(exe, settings);
        return Run(exe, {"/auto", "/L"});
    }
    fs::path Tree(const std::string& name, const std::vector<std::string>& files) {
        for (const auto& f : files) temp.Write(name + "/" + f, "x");
        return temp / name;
    }
    // `count` files under `name`, and settings `s` that sweep them slowly: a
    // run pauses 500 ms at its 1st deletion and at every 10th.
    fs::path SlowTree(const std::string& name, SweepSettings& s, int count = 25) {
        std::vector<std::string> files;
        for (int i = 0; i < count; ++i) files.push_back("f" + std::to_string(i) + ".log");
        s.filepath = Tree(name, files).string();
        s.speed = 0;
        return s.filepath;
    }
    static ChildResult Run(const fs::path& exe, const std::vector<std::string>& args,
                           const ChildProcess::Options& options = {}) {
        return ChildProcess(exe, args, options).Wait();
    }
    // Every file under `root` last written a month ago.
    static void Age(const fs::path& root) {
        const auto monthAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) fs::last_write_time(entry.path(), monthAgo);
        }
    }
    // Waits (at most 10 s) until `dir` holds fewer than `count` entries: a
    // run at low speed then pauses half a second after its first deletion.
    static void AwaitFewerThan(const fs::path& dir, std::ptrdiff_t count) {
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (TempDir::EntriesIn(dir) >= count && std::chrono::steady_clock::now() < limit)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    // Every file but the programs and their configurations, in order.
    std::vector<fs::path> Files() const {
        std::vector<fs::path> names{SweepSettings::FileName};
        for (const fs::path& program : Programs()) names.push_back(program.filename());
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
            const bool ours = std::find(names.begin(), names.end(), entry.path().filename()) != names.end();
            if (entry.is_regular_file() && !ours) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    TempDir temp;
};

}  // namespace programtest
