// Runs copies of the built program in temporary folders, each with its own
// vorn.ini and tree, without a display, and checks what a scheduler sees.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <regex>
#include <spawn.h>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>
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

// The environment without any display, as on a server.
std::vector<char*> ServerEnvironment() {
    std::vector<char*> env;
    for (char** e = environ; *e; ++e) {
        const std::string entry = *e;
        if (entry.rfind("DISPLAY=", 0) != 0 && entry.rfind("WAYLAND_DISPLAY=", 0) != 0) env.push_back(*e);
    }
    env.push_back(nullptr);
    return env;
}

class Program {
public:
    // Started in `workDir` when one is given, else where the test runs.
    Program(const fs::path& exe, const std::vector<std::string>& args, const fs::path& workDir = {}) {
        std::vector<char*> argv{const_cast<char*>(exe.c_str())};
        for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        out = TempFile();
        err = TempFile();
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, out, 1);
        posix_spawn_file_actions_adddup2(&actions, err, 2);
        if (!workDir.empty()) posix_spawn_file_actions_addchdir_np(&actions, workDir.c_str());
        auto env = ServerEnvironment();
        EXPECT_EQ(posix_spawn(&pid, exe.c_str(), &actions, nullptr, argv.data(), env.data()), 0);
        posix_spawn_file_actions_destroy(&actions);
    }
    ~Program() {
        close(out);
        close(err);
    }

    // A program that hangs is killed after a while, and shows as killed.
    Result Wait() {
        Result r;
        int raw = 0;
        const auto limit = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (waitpid(pid, &raw, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > limit) {
                kill(pid, SIGKILL);
                waitpid(pid, &raw, 0);
                break;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
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

// The shell block of README.md that writes a vorn.ini and starts a silent run.
std::string ReadmeExample() {
    std::ifstream in(VORN_README, std::ios::binary);
    const std::string readme(std::istreambuf_iterator<char>(in), {});
    const std::string open = "```sh\n";
    for (size_t at = readme.find(open); at != std::string::npos; at = readme.find(open, at + 1)) {
        const size_t start = at + open.size();
        const std::string block = readme.substr(start, readme.find("```", start) - start);
        if (block.find("[vorn]") != std::string::npos && block.find("/auto") != std::string::npos) return block;
    }
    return {};
}

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
    static Result Run(const fs::path& exe, const std::vector<std::string>& args, const fs::path& workDir = {}) {
        return Program(exe, args, workDir).Wait();
    }
    // Every file under `root` last written a month ago.
    static void Age(const fs::path& root) {
        const auto monthAgo = fs::file_time_type::clock::now() - std::chrono::hours(24 * 30);
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (entry.is_regular_file()) fs::last_write_time(entry.path(), monthAgo);
        }
    }
    // Every file but the programs and their configurations, in order.
    std::vector<fs::path> Files() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::recursive_directory_iterator(temp.Path())) {
            const fs::path name = entry.path().filename();
            if (entry.is_regular_file() && name != "vorn" && name != SweepSettings::FileName) {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
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

TEST_F(ProgramTest, OtherSpellingsAskForTheWindowWhichNeedsADisplay) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    SweepSettings s;
    s.filepath = tree.string();
    Configure(exe, s);
    for (const std::string spelling : {"/auto x", "-auto", "auto", "/autox", "\t/auto", ""}) {
        const Result r = Run(exe, {spelling});
        EXPECT_EQ(r.status, 2) << spelling;
        EXPECT_EQ(r.out, "") << spelling;
        EXPECT_NE(r.err.find("vorn /auto"), std::string::npos) << spelling;
    }
    EXPECT_EQ(Run(exe, {"/auto", "x"}).status, 2);
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

// Each file would read otherwise than its writer meant. The window would show
// what was read; a scheduled run refuses it, says where, and deletes nothing.
TEST_F(ProgramTest, SilentRunRefusesAFileThatDoesNotReadAsWritten) {
    const fs::path exe = Install("bin");
    const fs::path ini = exe.parent_path() / SweepSettings::FileName;
    const fs::path tree = temp / "tree";
    // A root whose first 200 bytes, all the reader keeps, end at its parent's "/".
    const std::string parent = "deep/" + std::string(199 - (temp / "deep/").string().size(), 'p');
    const fs::path cutRoot = temp / parent / "root";
    ASSERT_EQ((temp / parent).string().size(), 199u);
    auto plant = [&] {
        Tree("tree", {"old.log", "old.txt"});
        Tree(parent + "/root", {"old.log"});
        Tree(parent + "/sibling", {"old.log"});
        Age(temp.Path());
        temp.Write("tree/new.log", "x");
    };

    SweepSettings good;
    good.filepath = tree.string();
    good.filename = "*.log";
    good.expiredays = 7;
    good.speed = 3;
    const std::string sound = good.Serialize();
    auto edited = [&sound](const std::string& from, const std::string& to) {
        std::string bytes = sound;
        return bytes.replace(bytes.find(from), from.size(), to);
    };
    const std::string rootLine = "filepath=" + tree.string();
    struct Case {
        const char* what;
        std::string bytes;  // none: a FIFO
        std::vector<std::string> args;
        std::vector<std::string> said;
    };
    const Case cases[] = {
        {"blank line before expiredays", edited("expiredays=", "\r\nexpiredays="), {"/auto"}, {"第10行"}},
        {"long comment carrying filename=*", edited(rootLine, ";" + std::string(1022, 'c') + "filename=*\r\n" + rootLine),
         {"/auto"}, {"第2行"}},
        {"filepath over 200 bytes", edited(rootLine, "filepath=" + cutRoot.string()), {"/auto"}, {"第2行", "“filepath”"}},
        {"relative filepath", edited(rootLine, "filepath=tree"), {"/auto"}, {"第2行", "“filepath”"}},
        {"expiredays junk", edited("expiredays=7", "expiredays=x30"), {"/auto"}, {"第10行", "“expiredays”"}},
        {"expiredays negative", edited("expiredays=7", "expiredays=-5"), {"/auto"}, {"第10行", "“expiredays”"}},
        {"FIFO, silent run", "", {"/auto"}, {ConfigErrorLine}},
        {"FIFO, window", "", {}, {"vorn /auto"}},
    };
    for (const Case& c : cases) {
        plant();
        const std::vector<fs::path> before = Files();
        fs::remove(ini);
        if (c.bytes.empty()) ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0);
        else temp.Write("bin/vorn.ini", c.bytes);
        const Result r = Run(exe, c.args, temp.Path());
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        for (const std::string& part : c.said) EXPECT_NE(r.err.find(part), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(Files(), before) << c.what;
    }
}

// The README's example as a reader would paste it: it writes build/vorn.ini and
// starts the program through run.sh. run.sh builds the program first; here it
// is built, so a stand-in only starts it. Only the root moves into the test's tree.
TEST_F(ProgramTest, ReadmeExampleRunsAsWritten) {
    const std::string example = ReadmeExample();
    const std::string root = "/var/log/myapp";
    ASSERT_NE(example.find(root), std::string::npos) << example;
    ASSERT_EQ(example.find(root), example.rfind(root));
    EXPECT_TRUE(std::regex_search(example, std::regex("\n# 运行完成! 共搜索到[0-9]+个文件，删除了[0-9]+个文件\n")));
    const fs::path tree = Tree("myapp", {"old.log", "sub/old.log", "old.txt"});
    Age(tree);
    temp.Write("myapp/new.log", "x");

    std::string script = example;
    script.replace(script.find(root), root.size(), tree.string());
    Install("readme/build");
    temp.Write("readme/run.sh", "cd \"$(dirname \"$0\")\" && exec build/vorn \"$@\"\n");
    fs::permissions(temp / "readme/run.sh", fs::perms::owner_exec, fs::perm_options::add);
    temp.Write("readme/example.sh", script);
    const Result r = Run("/bin/bash", {"-e", "example.sh"}, temp / "readme");
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "运行完成! 共搜索到4个文件，删除了2个文件\n");
    EXPECT_TRUE(fs::exists(tree / "new.log"));
    EXPECT_FALSE(fs::exists(tree / "sub"));
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

// A root that is missing or no directory must not look like a clean night on
// an empty folder; an empty folder still is one.
TEST_F(ProgramTest, RootThatCannotBeOpenedIsAFailureOfItsOwn) {
    const fs::path exe = Install("bin");
    const fs::path file = Tree("tree", {"a.log"}) / "a.log";
    fs::create_directories(temp / "empty");
    const struct {
        fs::path root;
        int status;
        std::string out;
    } roots[] = {
        {temp / "missing", 5, "无法打开处理目录 " + (temp / "missing").string() + "\n"},
        {file, 5, "无法打开处理目录 " + file.string() + "\n"},
        {temp / "empty", 0, "运行完成! 共搜索到0个文件，删除了0个文件\n"},
    };
    for (const auto& root : roots) {
        SweepSettings s;
        s.filepath = root.root.string();
        s.filename = "*";
        Configure(exe, s);
        const Result r = Run(exe, {"/auto"});
        EXPECT_EQ(r.status, root.status) << root.root;
        EXPECT_EQ(r.out, root.out);
        EXPECT_EQ(r.err, "");
    }
    EXPECT_TRUE(fs::exists(file));
}

// A stack limit beyond the address space leaves no room for the sweep's
// thread (new threads take it as their size): a sweep that cannot even begin
// has failed, and must not end in silence with the status of a clean run.
TEST_F(ProgramTest, SweepThatCannotBeginIsAFailure) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    SweepSettings s;
    s.filepath = tree.string();
    Configure(exe, s);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_STACK, &saved), 0);
    rlimit huge = saved;
    huge.rlim_cur = rlim_t{1} << 48;
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < huge.rlim_cur) GTEST_SKIP() << "stack limit capped";
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &huge), 0);
    Program program(exe, {"/auto"});
    setrlimit(RLIMIT_STACK, &saved);
    const Result r = program.Wait();
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "运行异常结束\n");
    EXPECT_TRUE(fs::exists(tree / "a.log"));
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
    EXPECT_EQ(second.err, "");
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
