// Program runs only a POSIX system can make: a FIFO for vorn.ini, the
// README's shell example, a stack limit no thread fits in, displays named in
// the environment, a system without /proc, signals, the journal's stream.

#include <chrono>
#include <csignal>
#include <fstream>
#include <regex>
#include <sys/resource.h>
#include <set>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "ProgramFixture.h"
#include "support/InChild.h"
#include "support/PosixFiles.h"
#include "support/ScopedMount.h"
#include "sweep/SweepJob.h"

namespace {

using namespace programtest;

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

// The lines of a run's output, in any order: workers and listings have their own.
std::multiset<std::string> Lines(const std::string& out) {
    std::multiset<std::string> lines;
    for (size_t at = 0, end; (end = out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.insert(out.substr(at, end - at));
    return lines;
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
        int mode = 0;  // the file's permission bits, where they matter
    };
    const Case cases[] = {
        {"blank line before expiredays", edited("expiredays=", "\r\nexpiredays="), {"/auto"}, {"第10行"}},
        {"long comment carrying filename=*", edited(rootLine, ";" + std::string(1022, 'c') + "filename=*\r\n" + rootLine),
         {"/auto"}, {"第2行"}},
        {"filepath over 200 bytes", edited(rootLine, "filepath=" + cutRoot.string()), {"/auto"}, {"第2行", "“filepath”"}},
        {"relative filepath", edited(rootLine, "filepath=tree"), {"/auto"}, {"第2行", "“filepath”"}},
        {"expiredays junk", edited("expiredays=7", "expiredays=x30"), {"/auto"}, {"第10行", "“expiredays”"}},
        {"expiredays negative", edited("expiredays=7", "expiredays=-5"), {"/auto"}, {"第10行", "“expiredays”"}},
        {"byte-order mark", "\xEF\xBB\xBF" + sound, {"/auto"}, {"文件以UTF-8的BOM(字节顺序标记)开头"}},
        {"FIFO, silent run", "", {"/auto"}, {ConfigErrorLine + ini.string() + ": 不是普通文件"}},
        {"FIFO, window", "", {}, {"vorn /auto"}},
        {"writable by others", sound, {"/auto"},
         {"vorn.ini配置文件错误! " + ini.string() + ": “" + ini.string() + "”的权限是0666"}, 0666},
    };
    for (const Case& c : cases) {
        plant();
        const std::vector<fs::path> before = Files();
        fs::remove(ini);
        if (c.bytes.empty()) ASSERT_EQ(mkfifo(ini.c_str(), 0600), 0);
        else temp.Write("bin/vorn.ini", c.bytes);
        if (c.mode) fs::permissions(ini, fs::perms(c.mode));
        const ChildResult r = Run(exe, c.args, {.workDir = temp.Path()});
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        for (const std::string& part : c.said) EXPECT_NE(r.err.find(part), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(Files(), before) << c.what;
    }
}

// "/" with "*" would empty the system: it is no root, however spelt, and the
// run says why with the status of a root it cannot open; what lies below it is.
TEST_F(ProgramTest, TheWholeSystemIsNoRoot) {
    const fs::path exe = Install("bin");
    std::string up = temp.Path().string();
    for (auto depth = std::count(up.begin(), up.end(), '/'); depth > 0; --depth) up += "/..";
    fs::create_symlink("/", temp / "slash");
    for (const std::string& root : {std::string("/"), std::string("//"), up, (temp / "slash").string()}) {
        const ChildResult r = ListTop(exe, root, "vorn-matches-nothing");
        EXPECT_EQ(r.status, 5) << root;
        EXPECT_EQ(r.out, "无法打开处理目录 " + root + ": “/”是整个系统的根目录，不能作为处理目录\n") << root;
    }
    ConfigureRoot(exe, up + Tree("tree", {"a.log"}).string());
    EXPECT_EQ(Run(exe, {"/auto", "/L"}).status, 0);
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
    const ChildResult r = Run("/bin/bash", {"-e", "example.sh"}, {.workDir = temp / "readme"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out, "运行完成! 共搜索到4个文件，删除了2个文件\n");
    EXPECT_TRUE(fs::exists(tree / "new.log"));
    EXPECT_FALSE(fs::exists(tree / "sub"));
}

// A stack limit beyond the address space leaves no room for the sweep's
// thread (new threads take it as their size): a sweep that cannot even begin
// has failed, and must not end in silence with the status of a clean run.
TEST_F(ProgramTest, SweepThatCannotBeginIsAFailure) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    ConfigureRoot(exe, tree);
    rlimit saved;
    ASSERT_EQ(getrlimit(RLIMIT_STACK, &saved), 0);
    rlimit huge = saved;
    huge.rlim_cur = rlim_t{1} << 48;
    if (saved.rlim_max != RLIM_INFINITY && saved.rlim_max < huge.rlim_cur) GTEST_SKIP() << "stack limit capped";
    ASSERT_EQ(setrlimit(RLIMIT_STACK, &huge), 0);
    ChildProcess program(exe, {"/auto"});
    setrlimit(RLIMIT_STACK, &saved);
    const ChildResult r = program.Wait();
    EXPECT_EQ(r.status, 4);
    EXPECT_EQ(r.out, "运行异常结束\n");
    EXPECT_TRUE(fs::exists(tree / "a.log"));
}

// The window cannot open without a display that answers, however the
// environment names one.
TEST_F(ProgramTest, WindowWithoutADisplayThatAnswersEndsWithAHint) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    ConfigureRoot(exe, tree);
    const std::string runtime = "XDG_RUNTIME_DIR=" + temp.Path().string();
    const struct {
        std::vector<std::string> args;
        std::vector<std::string> env;
    } cases[] = {
        {{}, {"DISPLAY=:99"}}, {{}, {"DISPLAY=unix:99.0"}}, {{}, {"DISPLAY=localhost:99"}},
        {{}, {"WAYLAND_DISPLAY=wayland-99", runtime}}, {{}, {"QT_QPA_PLATFORM=xcb", "DISPLAY=:99"}},
    };
    for (const auto& c : cases) {
        const ChildResult r = Run(exe, c.args, {.environment = c.env});
        const std::string what = c.args.empty() ? c.env[0] : c.args[0];
        EXPECT_EQ(r.status, 2) << what;
        EXPECT_EQ(r.out, "") << what;
        EXPECT_NE(r.err.find("vorn /auto"), std::string::npos) << what;
    }
    EXPECT_TRUE(fs::exists(tree / "a.log"));
}

// Where a window can open, a scheduled run that finds no file to read says so
// in a box and opens the window to configure one: it waits for somebody
// instead of ending at once with the text on its error output.
TEST_F(ProgramTest, SilentRunWithoutItsFileWaitsInTheWindowWhereOneCanOpen) {
    const fs::path exe = Install("bin");
    ChildProcess program(exe, {"/auto"}, {.environment = {"QT_QPA_PLATFORM=offscreen"}});
    std::this_thread::sleep_for(std::chrono::seconds(2));
    program.Signal(SIGKILL);
    const ChildResult r = program.Wait();
    EXPECT_EQ(r.status, 128 + SIGKILL);
    EXPECT_EQ(r.err.find(ConfigErrorLine), std::string::npos) << r.err;
}

// A service manager's stop, a terminal's Ctrl+C or its hang-up ends a
// scheduled sweep as the window's Stop does: at its next entry, saying how
// far it got, with a status the service counts as success.
TEST_F(ProgramTest, StopRequestEndsTheSweepWithItsSummary) {
    const fs::path exe = Install("bin");
    constexpr int Count = 30;
    std::vector<std::string> names;
    for (int i = 0; i < Count; ++i) names.push_back("f" + std::to_string(i) + ".log");
    const fs::path tree = temp / "tree";
    ConfigureRoot(exe, tree, {.speed = 0});
    const std::regex stopped("运行已停止! 共搜索到([0-9]+)个文件，删除了([0-9]+)个文件\n");
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        Tree("tree", names);
        ChildProcess program(exe, {"/auto"});
        AwaitFewerThan(tree, Count);
        program.Signal(signal);
        const ChildResult r = program.Wait();
        const auto left = TempDir::EntriesIn(tree);
        std::smatch said;
        ASSERT_TRUE(std::regex_match(r.out, said, stopped)) << signal << ": " << r.out;
        EXPECT_EQ(r.status, 8) << signal;
        EXPECT_EQ(r.err, "") << signal;
        EXPECT_EQ(std::stoi(said[2]), Count - left) << signal;
        EXPECT_GT(left, 0) << signal;
    }
}

// A folder that cannot be listed may hold anything: the list-only run and
// the real one both keep it, even when it is empty and could be removed,
// so that the list foresees exactly what the real run does.
TEST_F(ProgramTest, ListOnlyRunForeseesAnEmptyUnreadableFolder) {
    const fs::path exe = Install("bin");
    const fs::path r = Tree("tree", {"a.log"});
    fs::create_directories(r / "closed");
    ConfigureRoot(exe, r, {.pattern = "*.log"});
    const std::string t = r.string() + "/";
    const struct {
        const char* mode;
        std::string summary;
    } cases[] = {
        {"/L", "列出完成! 共搜索到1个文件，将删除1个文件"},
        {"/V", "运行完成! 共搜索到1个文件，删除了1个文件"},
    };
    for (const auto& c : cases) {
        fs::permissions(r / "closed", fs::perms::none);
        const ChildResult run = Run("/usr/bin/setpriv", {"--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search",
                                                         exe.string(), "/auto", c.mode});
        fs::permissions(r / "closed", fs::perms::owner_all);
        EXPECT_EQ(Lines(run.out), (std::multiset<std::string>{t + "a.log", "[无法读取] " + t + "closed/", c.summary}))
            << c.mode;
        EXPECT_EQ(run.status, 6) << c.mode;
        EXPECT_TRUE(fs::exists(r / "closed")) << c.mode;
    }
}

// A tree deeper than the limit on open files lets the sweep go names the
// limit as the reason it stopped going down, not an unreadable folder.
TEST_F(ProgramTest, LimitOnOpenFilesIsNamedAsTheReason) {
    // The sweep uses up every descriptor; the undefined-behaviour checker
    // then cannot open the pipe it tests memory with, and reports falsely.
    if (VORN_SANITIZED) GTEST_SKIP() << "built with a sanitizer";
    const fs::path exe = Install("bin");
    std::string chain;
    for (int level = 0; level < 30; ++level) chain += "d/";
    const fs::path tree = Tree("tree", {chain + "x.log"});
    ConfigureRoot(exe, tree, {.pattern = "*.log"});
    const ChildResult run = Run("/usr/bin/prlimit", {"--nofile=16:16", exe.string(), "/auto", "/V"});
    EXPECT_EQ(run.out.rfind("[打开的文件数已达上限] " + tree.string() + "/d/", 0), 0u) << run.out;
    EXPECT_EQ(run.status, 6);
    EXPECT_TRUE(fs::exists(tree / (chain + "x.log")));
}

// A verbose run whose reader is gone (`| head -1`) stops once a batch of
// its lines is refused, instead of being killed without a summary: the
// summary goes to standard error, the status is a stop's.
TEST_F(ProgramTest, OutputThatIsGoneStopsTheSweepWithItsSummary) {
    const fs::path exe = Install("bin");
    constexpr int Count = 600;
    const std::string stem(150, 'n');
    std::vector<std::string> names;
    for (int i = 0; i < Count; ++i) names.push_back(stem + std::to_string(i) + ".log");
    const fs::path tree = Tree("tree", names);
    ConfigureRoot(exe, tree, {.speed = 3});
    const ChildResult r = Run(exe, {"/auto", "/V"}, {.outputGone = true});
    const auto left = TempDir::EntriesIn(tree);
    std::smatch said;
    const std::regex stopped("运行已停止! 共搜索到([0-9]+)个文件，删除了([0-9]+)个文件\n");
    ASSERT_TRUE(std::regex_match(r.err, said, stopped)) << r.status << ": " << r.err;
    EXPECT_EQ(r.status, 8);
    EXPECT_EQ(std::stoi(said[2]), Count - left);
    EXPECT_GT(left, 0);
}

// Where systemd's JOURNAL_STREAM names the very stream written to, every line
// of an error is filed at error priority; the summary keeps the default, and a
// stream redirected elsewhere gets no prefixes.
TEST_F(ProgramTest, ErrorsReachTheJournalAtErrorPriority) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    const fs::path log = temp / "journal", other = temp / "other";
    const std::string missing = (exe.parent_path() / SweepSettings::FileName).string() + ": 文件不存在\n";
    temp.Write("other", "");
    const std::string asJournal = "exec >\"$1\" 2>&1; JOURNAL_STREAM=$(stat -c %d:%i \"$2\") exec \"$0\" /auto";
    const struct {
        const char* what;
        fs::path root;  // empty: no vorn.ini
        fs::path named;
        std::string said;
    } cases[] = {
        {"summary", tree, log, "运行完成! 共搜索到1个文件，删除了1个文件\n"},
        {"root missing", temp / "missing", log, "<3>无法打开处理目录 " + (temp / "missing").string() + "\n"},
        {"no vorn.ini", {}, log, "<3>vorn.ini配置文件错误!\n<3>静默模式运行前必须先进行配置!\n<3>" + missing},
        {"another stream named", {}, other, ConfigErrorLine + missing},
    };
    for (const auto& c : cases) {
        fs::remove(exe.parent_path() / SweepSettings::FileName);
        if (!c.root.empty()) ConfigureRoot(exe, c.root);
        Run("/bin/sh", {"-c", asJournal, exe.string(), log.string(), c.named.string()});
        EXPECT_EQ(TempDir::Read(log), c.said) << c.what;
    }
}

// The program a timer runs needs no desktop: without the window part beside
// it, asking for the window says what to install instead of the window's own
// hint, and the silent run sweeps as ever.
TEST_F(ProgramTest, OnlyTheWindowNeedsTheWindowPart) {
    const struct {
        bool withWindow;
        const char* shown;
        const char* notShown;
    } cases[] = {{true, "没有可用的图形显示", "vorn-window"}, {false, "apt install vorn-window", "图形显示"}};
    for (const auto& c : cases) {
        const fs::path exe = Install(c.withWindow ? "full" : "headless", c.withWindow);
        const fs::path tree = Tree("tree", {"a.log"});
        const ChildResult window = Run(exe, {});
        EXPECT_EQ(window.status, 2) << c.withWindow;
        EXPECT_NE(window.err.find(c.shown), std::string::npos) << window.err;
        EXPECT_EQ(window.err.find(c.notShown), std::string::npos) << window.err;
        EXPECT_NE(window.err.find("vorn /auto"), std::string::npos) << window.err;
        EXPECT_EQ(Run(exe, {"/auto"}).err.rfind(ConfigErrorLine, 0), 0u) << c.withWindow;
        ConfigureRoot(exe, tree);
        const ChildResult r = Run(exe, {"/auto"});
        EXPECT_EQ(r.status, 0) << c.withWindow;
        EXPECT_EQ(r.out, "运行完成! 共搜索到1个文件，删除了1个文件\n") << c.withWindow;
    }
}

// A vorn.ini in the working directory belongs to whoever put it there.
TEST_F(ProgramTest, WithoutItsOwnPathTheProgramReadsNoConfiguration) {
    // A sanitizer's runtime cannot even read its options without /proc.
    if (VORN_SANITIZED) GTEST_SKIP() << "built with a sanitizer";
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    SweepSettings s;
    s.filepath = tree.string();
    s.speed = 3;
    ASSERT_TRUE(s.Save(temp.Dir() + SweepSettings::FileName));
    const std::string withoutProc = "mount -t tmpfs none /proc && cd \"$1\" && exec \"$0\" /auto";
    const ChildResult r = Run("/usr/bin/unshare", {"-m", "sh", "-c", withoutProc, exe.string(), temp.Path().string()});
    if (r.err.find("unshare:") != std::string::npos || r.err.find("mount:") != std::string::npos) GTEST_SKIP() << r.err;
    EXPECT_EQ(r.status, 2) << r.err;
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, "无法确定程序自身的路径，找不到程序目录中的vorn.ini配置文件!\n");
    EXPECT_TRUE(fs::exists(tree / "a.log"));
}

// A night that could not do all it should have must not read like a clean
// one: the summary keeps its words, a line on standard error says what was
// left, and the status is its own. Files spared by a filter are no failure.
// (An unreadable or overlong folder does the same: see the verbose run.)
TEST_F(ProgramTest, IncompleteRunEndsWithItsOwnStatus) {
    const fs::path exe = Install("bin");
    Tree("files", {"a.log", "spared.txt"});
    fs::create_directories(temp / "files/emptied");
    ScopedMount readOnly((temp / "files").c_str(), temp / "ro", nullptr, MS_BIND);
    if (!readOnly.MakeReadOnly()) GTEST_SKIP() << "cannot mount here";
    ConfigureRoot(exe, temp / "ro", {.pattern = "*.log"});
    const ChildResult r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 6) << r.err;
    EXPECT_EQ(r.out, "运行完成! 共搜索到2个文件，删除了0个文件\n");
    EXPECT_EQ(r.err, "运行不完整: 1个文件无法删除，1个已清空的目录无法删除\n");
}

// Another user who owns a folder on the way to the root cannot send the
// superuser's sweep elsewhere by putting a link there.
TEST_F(ProgramTest, RootRedirectedByAnotherUserIsRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act for another user";
    const fs::path exe = Install("bin");
    const fs::path victim = Tree("victim", {"important.log"}) / "important.log";
    const fs::path uploads = temp / "uploads";
    fs::create_directories(uploads);
    fs::create_symlink("../victim", uploads / "cache");
    ASSERT_EQ(lchown((uploads / "cache").c_str(), Nobody, Nobody), 0);
    ASSERT_EQ(chown(uploads.c_str(), Nobody, Nobody), 0);
    ConfigureRoot(exe, uploads / "cache", {.pattern = "*.log"});
    const ChildResult r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 5);
    EXPECT_EQ(r.out, "无法打开处理目录 " + (uploads / "cache").string() + ": 经由其他用户的目录进入“" + temp.Path().string() +
                         "”不安全，不会继续\n");
    EXPECT_TRUE(fs::exists(victim));
}

// The verbose run names every file whose name matched and what became of
// it, every directory removed, and every one it could not search; odd names
// stay one line. It runs without the superuser's right to override modes,
// so that a folder's mode can refuse it.
TEST_F(ProgramTest, VerboseRunNamesEachOutcome) {
    const fs::path exe = Install("bin");
    const fs::path r = temp / "tree";
    Tree("tree", {"old.log", "emptied/x.log", "ro.log", ".hid.log", "sys.log", "odd\nname.log", "bad\xFF.log",
                  "locked/x.log", "closed/x.log", "linked/x.log", "kept.txt"});
    const std::string overlong(SweepJob::MaxPathBytes - r.string().size(), 'd');
    Tree("tree/" + overlong, {"x.log"});
    Age(r);
    Tree("tree", {"new.log"});
    ASSERT_EQ(mkfifo((r / "pipe.log").c_str(), 0600), 0);
    fs::create_directory_symlink(temp / "bin", r / "linked/dirlink");
    fs::permissions(r / "ro.log", fs::perms::owner_write, fs::perm_options::remove);
    const bool xattrs = SetDosAttrib(r / "sys.log", "0x4");
    fs::permissions(r / "locked", fs::perms(0555));
    fs::permissions(r / "closed", fs::perms::none);
    SweepSettings s;
    s.filepath = r.string();
    s.filename = "*.log";
    s.expiredays = 7;
    s.readonly = s.hidden = s.system = false;
    s.speed = 3;
    Configure(exe, s);
    const ChildResult run = Run("/usr/bin/setpriv", {"--inh-caps=-all", "--bounding-set=-dac_override,-dac_read_search",
                                                     exe.string(), "/auto", "/V"});
    fs::permissions(r / "closed", fs::perms::owner_all);
    const std::multiset<std::string> lines = Lines(run.out);
    const std::string t = r.string() + "/";
    std::multiset<std::string> expected = {
        t + "old.log", t + "emptied/x.log", t + "emptied/", t + "linked/x.log",
        "$'" + t + "odd\\nname.log'", "$'" + t + "bad\\xff.log'",
        "[只读文件] " + t + "ro.log", "[隐藏文件] " + t + ".hid.log", "[修改未满7天] " + t + "new.log",
        "[不是普通文件] " + t + "pipe.log", "[没有权限] " + t + "locked/x.log", "[无法读取] " + t + "closed/",
        "[路径超过260字节] " + t + overlong + "/", "运行完成! 共搜索到12个文件，删除了5个文件",
        xattrs ? "[系统文件] " + t + "sys.log" : t + "sys.log",
    };
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(run.status, 6) << run.err;
    EXPECT_EQ(run.err, "运行不完整: 1个文件无法删除，1个子目录无法读取，1个子目录的路径超过260字节，未处理\n");
}

}  // namespace
