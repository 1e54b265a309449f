// Runs copies of the built program in temporary folders, each with its own
// vorn.ini and tree, without a display, and checks what a scheduler sees.

#include <gtest/gtest.h>

#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <functional>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>
#include <vector>

#include "config/SweepSettings.h"
#include "support/TempDir.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

const std::string ConfigErrorLine = "vorn.ini配置文件错误!\n静默模式运行前必须先进行配置!\n";

struct Result {
    int status = -1;
    std::string out;
    std::string err;
};

// The environment without any display, as on a server, and then `extra`.
std::vector<char*> ServerEnvironment(const std::vector<std::string>& extra) {
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0 &&
            entry.rfind("QT_QPA_PLATFORM=", 0) != 0)
            env.push_back(*e);
    }
    for (const std::string& entry : extra) env.push_back(const_cast<char*>(entry.c_str()));
    env.push_back(nullptr);
    return env;
}

class Program {
public:
    Program(const fs::path& exe, const std::vector<std::string>& args, const std::vector<std::string>& env = {}) {
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        out = TempFile();
        err = TempFile();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out, 1);
        posix_spawn_file_actions_adddup2(&actions, err, 2);
        auto environment = ServerEnvironment(env);
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), environment.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        close(out);
        close(err);
    }

    Result Wait() {
        Result r;
        int raw = 0;
        waitpid(pid, &raw, 0);
        r.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
        r.out = Contents(out);
        r.err = Contents(err);
        return r;
    }

private:
    static int TempFile() {
        char name[] = "/tmp/vorn-out-XXXXXX";
        const int fd = mkstemp(name);
        unlink(name);
        return fd;
    }
    static std::string Contents(int fd) {
        std::string text;
        char buffer[4096];
        for (ssize_t n = pread(fd, buffer, sizeof buffer, 0); n > 0;
             n = pread(fd, buffer, sizeof buffer, static_cast<off_t>(text.size()))) {
            text.append(buffer, n);
        }
        return text;
    }

    pid_t pid = -1;
    int out = -1;
    int err = -1;
};

class ProgramTest : public ::testing::Test {
protected:
    // A copy of the program in its own folder, as a user would install it.
    fs::path Install(const std::string& folder) {
        const fs::path dir = temp / folder;
        fs::create_directories(dir);
        fs::copy_file(VORN_EXECUTABLE, dir / "vorn");
        return dir / "vorn";
    }
    static void Configure(const fs::path& exe, SweepSettings& settings) {
        ASSERT_TRUE(settings.Save(exe.parent_path().string() + "/"));
    }
    fs::path Tree(const std::string& name, const std::vector<std::string>& files) {
        for (const auto& f : files) temp.Write(name + "/" + f, "x");
        return temp / name;
    }
    static Result Run(const fs::path& exe, const std::vector<std::string>& args,
                      const std::vector<std::string>& env = {}) {
        return Program(exe, args, env).Wait();
    }

    TempDir temp;
};

TEST_F(ProgramTest, SilentRunSweepsAndPrintsOneLine) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log", "b.log", "c.txt", "README"});
    SweepSettings s;
    s.filepath = tree.string();
    s.filename = "*.log";
    s.speed = 3;
    Configure(exe, s);
    for (const std::string spelling : {"/auto", "/AUTO", "  /auto  "}) {
        Tree("tree", {"a.log", "b.log"});
        const Result r = Run(exe, {spelling});
        EXPECT_EQ(r.status, 0) << spelling;
        EXPECT_EQ(r.out, "运行完成! 共搜索到4个文件，删除了2个文件\n") << spelling;
        EXPECT_EQ(r.err, "");
        EXPECT_FALSE(fs::exists(tree / "a.log"));
        EXPECT_TRUE(fs::exists(tree / "c.txt"));
    }
}

// Other spellings ask for the window, which cannot open without a display
// that answers, however the environment names one.
TEST_F(ProgramTest, WindowWithoutADisplayThatAnswersEndsWithAHint) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    SweepSettings s;
    s.filepath = tree.string();
    Configure(exe, s);
    const std::string runtime = "XDG_RUNTIME_DIR=" + temp.Path().string();
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> env;
    } cases[] = {
        {{"/auto x"}, {}}, {{"-auto"}, {}}, {{"auto"}, {}}, {{"/autox"}, {}}, {{"\t/auto"}, {}}, {{""}, {}},
        {{"/auto", "x"}, {}}, {{}, {"DISPLAY=:99"}}, {{}, {"DISPLAY=unix:99.0"}}, {{}, {"DISPLAY=localhost:99"}},
        {{}, {"WAYLAND_DISPLAY=wayland-99", runtime}}, {{}, {"QT_QPA_PLATFORM=xcb", "DISPLAY=:99"}},
    };
    for (const auto& c : cases) {
        const Result r = Run(exe, c.args, c.env);
        const std::string what = c.args.empty() ? c.env[0] : c.args[0];
        EXPECT_EQ(r.status, 2) << what;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_NE(r.err.find("vorn /auto"), std::string::npos) << what;
    }
    EXPECT_TRUE(fs::exists(tree / "a.log"));
}

// A vorn.ini in the working directory belongs to whoever put it there.
TEST_F(ProgramTest, WithoutItsOwnPathTheProgramReadsNoConfiguration) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    SweepSettings s;
    s.filepath = tree.string();
    s.speed = 3;
    ASSERT_TRUE(s.Save(temp.Dir()));
    const std::string withoutProc = "mount -t tmpfs none /proc && cd \"$1\" && exec \"$0\" /auto";
    const Result r = Run("/usr/bin/unshare", {"-m", "sh", "-c", withoutProc, exe.string(), temp.Path().string()});
    if (r.err.find("unshare:") != std::string::npos || r.err.find("mount:") != std::string::npos) GTEST_SKIP() << r.err;
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "无法确定程序自身的路径，找不到程序目录中的vorn.ini配置文件!\n");
    EXPECT_TRUE(fs::exists(tree / "a.log"));
}

TEST_F(ProgramTest, SilentRunWithoutAUsableConfigurationSaysSo) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    const fs::path ini = exe.parent_path() / "vorn.ini";
    struct Case { const char* what; std::function<void()> prepare; };
    const Case cases[] = {
        {"missing", [] {}},
        {"unreadable", [&] { fs::create_directory(ini); }},
        {"rejected", [&] { temp.Write("bin/vorn.ini", "[vorn]\r\nfilepath=" + tree.string() + "\r\nbad line\r\n"); }},
    };
    for (const Case& c : cases) {
        fs::remove_all(ini);
        c.prepare();
        const Result r = Run(exe, {"/auto"});
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.err, ConfigErrorLine) << c.what;
        EXPECT_TRUE(fs::exists(tree / "a.log")) << c.what;
    }
}

TEST_F(ProgramTest, PatternThatDoesNotCompileEndsWithItsError) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"data(1.txt"});
    SweepSettings s;
    s.filepath = tree.string();
    s.filename = "data(1.txt";
    Configure(exe, s);
    Result r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "无效文件名\n");
    s.regex = true;
    Configure(exe, s);
    r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "无效正则表达式\n");
    EXPECT_TRUE(fs::exists(tree / "data(1.txt"));
}

TEST_F(ProgramTest, SecondInstanceIsTurnedAwayAtOnce) {
    const fs::path exe = Install("bin");
    std::vector<std::string> files;
    for (int i = 0; i < 25; ++i) files.push_back("f" + std::to_string(i) + ".log");
    const fs::path tree = Tree("tree", files);
    SweepSettings s;
    s.filepath = tree.string();
    s.speed = 0;  // pauses 500 ms at the 1st, 10th and 20th deletion
    Configure(exe, s);

    Program first(exe, {"/auto"});
    // Its first deletion shows that it holds the guard; it then pauses.
    const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    auto left = [&] { return std::distance(fs::directory_iterator(tree), fs::directory_iterator()); };
    while (left() == 25 && std::chrono::steady_clock::now() < limit)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const auto start = std::chrono::steady_clock::now();
    const Result second = Run(exe, {"/auto"});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(second.status, 3);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, "VORN已经在运行中...\n");
    EXPECT_LT(took, std::chrono::milliseconds(1000));

    const Result r = first.Wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, "运行完成! 共搜索到25个文件，删除了25个文件\n");
}

TEST_F(ProgramTest, EachCopyReadsTheConfigurationBesideIt) {
    const fs::path one = Install("one");
    const fs::path two = Install("two");
    const fs::path treeOne = Tree("t1", {"x.log", "x.txt"});
    const fs::path treeTwo = Tree("t2", {"y.log", "y.txt"});
    SweepSettings s;
    s.speed = 3;
    s.filepath = treeOne.string();
    s.filename = "*.log";
    Configure(one, s);
    s.filepath = treeTwo.string();
    s.filename = "*.txt";
    Configure(two, s);
    EXPECT_EQ(Run(one, {"/auto"}).status, 0);
    EXPECT_EQ(Run(two, {"/auto"}).status, 0);
    EXPECT_FALSE(fs::exists(treeOne / "x.log"));
    EXPECT_TRUE(fs::exists(treeOne / "x.txt"));
    EXPECT_TRUE(fs::exists(treeTwo / "y.log"));
    EXPECT_FALSE(fs::exists(treeTwo / "y.txt"));
}

}  // namespace
