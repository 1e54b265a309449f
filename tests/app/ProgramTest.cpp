// Runs copies of the built program in temporary folders, each with its own
// vorn.ini and tree, without a display, and checks what a scheduler sees.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "ProgramFixture.h"
#include "platform/Path.h"
#include "support/PlatformSamples.h"
#include "sweep/SweepJob.h"

namespace {

using namespace programtest;

TEST_F(ProgramTest, SilentRunSweepsAndPrintsOneLine) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log", "b.log", "c.txt", "README"});
    ConfigureRoot(exe, tree, {.pattern = "*.log", .speed = 3});
    for (const std::string spelling : {"/auto", "/AUTO", "  /auto  "}) {
        Tree("tree", {"a.log", "b.log"});
        const ChildResult r = Run(exe, {spelling});
        EXPECT_EQ(r.status, 0) << spelling;
        EXPECT_EQ(r.out, AsPrinted("运行完成! 共搜索到4个文件，删除了2个文件\n")) << spelling;
        EXPECT_EQ(r.err, "");
        EXPECT_FALSE(fs::exists(tree / "a.log"));
        EXPECT_TRUE(fs::exists(tree / "c.txt"));
    }
}

TEST_F(ProgramTest, OtherSpellingsAskForTheWindowWhichNeedsADisplay) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    ConfigureRoot(exe, tree);
    for (const std::string spelling : {"/auto x", "-auto", "auto", "/autox", "\t/auto", ""}) {
        const ChildResult r = Run(exe, {spelling});
        EXPECT_EQ(r.status, 2) << spelling;
        EXPECT_EQ(r.out, "") << spelling;
        EXPECT_NE(r.err.find("vorn /auto"), std::string::npos) << spelling;
    }
    EXPECT_EQ(Run(exe, {"/auto", "x"}).status, 2);
    EXPECT_TRUE(fs::exists(tree / "a.log"));
}

// What is wrong with the file reaches the log after the file's path (the
// forms themselves are the check's own test); only the summary of a sweep
// ever goes to standard output.
TEST_F(ProgramTest, SilentRunWithoutAUsableConfigurationSaysWhereAndWhy) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    const fs::path ini = exe.parent_path() / "vorn.ini";
    auto write = [&](const std::string& bytes) { return [&, bytes] { temp.Write("bin/vorn.ini", bytes); }; };
    struct Case { const char* what; std::function<void()> prepare; std::string reason; };
    const Case cases[] = {
        {"missing", [] {}, "文件不存在"},
        {"a directory", [&] { fs::create_directory(ini); }, "不是普通文件(是目录、管道或设备)"},
        {"rejected line", write("[vorn]\r\nfilepath=" + tree.string() + "\r\nbad line\r\n"), "第3行 无法识别的行"},
        {"LF line ends", write("[vorn]\nfilepath=" + tree.string() + "\nfilename=*\n"), "行尾是LF(Unix格式)，必须是CR LF"},
    };
    for (const Case& c : cases) {
        fs::remove_all(ini);
        c.prepare();
        const ChildResult r = Run(exe, {"/auto"});
        EXPECT_EQ(r.status, 2) << c.what;
        EXPECT_EQ(r.out, "") << c.what;
        EXPECT_EQ(r.err.rfind(ConfigErrorLine + AsPrinted(TempDir::Utf8(ini) + ": " + c.reason), 0), 0u)
            << c.what << ": " << r.err;
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
    ChildResult r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, AsPrinted("无效文件名\n"));
    s.regex = true;
    Configure(exe, s);
    r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, AsPrinted("无效正则表达式\n"));
    EXPECT_TRUE(fs::exists(tree / "data(1.txt"));
}

// A name the library gives up on (its match limit) stays, but not as though
// it had not matched: its own line, a shortfall, status 6.
TEST_F(ProgramTest, AMatchThatEndsInAnErrorIsAShortfall) {
    const fs::path exe = Install("bin");
    const std::string name(30, 'a');
    const fs::path tree = Tree("tree", {name, "b.log"});
    SweepSettings s;
    s.filepath = tree.string();
    s.filename = "^(a?){30}a{30}$";
    s.regex = true;
    s.speed = 3;
    Configure(exe, s);
    const ChildResult r = Run(exe, {"/auto", "/V"});
    EXPECT_EQ(r.status, 6) << r.err;
    EXPECT_EQ(r.out, AsPrinted("[无法完成匹配] " + (tree / name).string() + "\n运行完成! 共搜索到2个文件，删除了0个文件\n"));
    EXPECT_EQ(r.err, AsPrinted("运行不完整: 1个文件名超出正则表达式的匹配限制，未处理\n"));
    EXPECT_TRUE(fs::exists(tree / name));
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
        {temp / "missing", 5, AsPrinted("无法打开处理目录 " + (temp / "missing").string() + "\n")},
        {file, 5, AsPrinted("无法打开处理目录 " + file.string() + "\n")},
        {temp / "empty", 0, AsPrinted("运行完成! 共搜索到0个文件，删除了0个文件\n")},
    };
    for (const auto& root : roots) {
        ConfigureRoot(exe, root.root, {.pattern = "*"});
        const ChildResult r = Run(exe, {"/auto"});
        EXPECT_EQ(r.status, root.status) << root.root;
        EXPECT_EQ(r.out, root.out);
        EXPECT_EQ(r.err, "");
    }
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(ProgramTest, SecondInstanceIsTurnedAwayAtOnce) {
    const fs::path exe = Install("bin");
    SweepSettings s;
    const fs::path tree = SlowTree("tree", s);
    Configure(exe, s);

    ChildProcess first(exe, {"/auto"});
    // Its first deletion shows that it holds the guard; it then pauses.
    AwaitFewerThan(tree, 25);
    const auto start = std::chrono::steady_clock::now();
    const ChildResult second = Run(exe, {"/auto"});
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(second.status, 3);
    EXPECT_EQ(second.out, "");
    EXPECT_EQ(second.err, AsPrinted("VORN已经在运行中...\n"));
    EXPECT_LT(took, std::chrono::milliseconds(1000));

    const ChildResult r = first.Wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, AsPrinted("运行完成! 共搜索到25个文件，删除了25个文件\n"));
}

TEST_F(ProgramTest, EachCopyReadsTheConfigurationBesideIt) {
    const fs::path one = Install("one");
    const fs::path two = Install("two");
    const fs::path treeOne = Tree("t1", {"x.log", "x.txt"});
    const fs::path treeTwo = Tree("t2", {"y.log", "y.txt"});
    ConfigureRoot(one, treeOne, {.pattern = "*.log", .speed = 3});
    ConfigureRoot(two, treeTwo, {.pattern = "*.txt", .speed = 3});
    EXPECT_EQ(Run(one, {"/auto"}).status, 0);
    EXPECT_EQ(Run(two, {"/auto"}).status, 0);
    EXPECT_FALSE(fs::exists(treeOne / "x.log"));
    EXPECT_TRUE(fs::exists(treeOne / "x.txt"));
    EXPECT_TRUE(fs::exists(treeTwo / "y.log"));
    EXPECT_FALSE(fs::exists(treeTwo / "y.txt"));
}

// One guard per settings file, by the file rather than its spelling: the
// same file is turned away however it is named, in a window too, while
// other files, the default one among them, are swept beside it. A check
// takes no guard.
TEST_F(ProgramTest, GuardIsKeptPerSettingsFile) {
    const fs::path exe = Install("bin");
    SweepSettings s;
    // Long enough for every run below, even under Wine: some 10 s.
    const fs::path slowTree = SlowTree("slow", s, 200);
    const fs::path web = temp / "conf" / "web.ini";
    fs::create_directories(web.parent_path());
    ASSERT_TRUE(s.Save(web.string()));
    s.speed = 3;
    s.filepath = Tree("other", {"a.log"}).string();
    ASSERT_TRUE(s.Save((temp / "conf" / "other.ini").string()));
    s.filepath = Tree("default", {"a.log"}).string();
    Configure(exe, s);

    ChildProcess first(exe, {"/auto", "/ini:" + web.string()});
    AwaitFewerThan(slowTree, 200);
    const std::string sameFile = "/ini:" + (fs::path("conf") / ".." / "conf" / "web.ini").string();
    const struct {
        std::vector<std::string> args;
        int status;
    } runs[] = {
        {{"/auto", sameFile}, 3}, {{"/AUTO", "/L", "/INI:" + web.string()}, 3}, {{sameFile}, 3},
        {{"/check", sameFile}, 0}, {{"/auto", "/ini:conf/other.ini"}, 0}, {{"/auto"}, 0},
    };
    for (const auto& run : runs) {
        const ChildResult r = Run(exe, run.args, {.workDir = temp.Path()});
        EXPECT_EQ(r.status, run.status) << run.args[0] << run.args.back() << ": " << r.err;
        EXPECT_EQ(r.err.starts_with(AsPrinted("VORN已经在运行中...")), run.status == 3) << r.err;
    }
    EXPECT_FALSE(fs::exists(temp / "other/a.log"));
    EXPECT_FALSE(fs::exists(temp / "default/a.log"));
    EXPECT_FALSE(fs::is_empty(slowTree)) << "the first run ended before the others were tried";
    const ChildResult r = first.Wait();
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, AsPrinted("运行完成! 共搜索到200个文件，删除了200个文件\n"));
}

// The check ends as the silent run would begin: silent when a sweep would
// start, with the silent run's own words and status when it would not, and
// it deletes nothing either way.
TEST_F(ProgramTest, CheckEndsAsTheSilentRunWouldBegin) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    const fs::path ini = temp / "web.ini";
    auto settings = [&](const fs::path& root, const std::string& pattern) {
        return [&, root, pattern] {
            SweepSettings s;
            s.filepath = root.string();
            s.filename = pattern;
            ASSERT_TRUE(s.Save(ini.string()));
        };
    };
    const struct {
        const char* what;
        std::function<void()> prepare;
        int status;
    } cases[] = {
        {"sound", settings(tree, "*.log"), 0},
        {"missing", [] {}, 2},
        {"LF line ends", [&] { temp.Write("web.ini", "[vorn]\nfilepath=" + tree.string() + "\nfilename=*\n"); }, 2},
        {"pattern", settings(tree, "a(.log"), 1},
        {"root missing", settings(temp / "missing", "*"), 5},
        {"root a file", settings(tree / "a.log", "*"), 5},
    };
    for (const auto& c : cases) {
        fs::remove(ini);
        c.prepare();
        const ChildResult check = Run(exe, {"/check", "/ini:web.ini"}, {.workDir = temp.Path()});
        EXPECT_EQ(check.status, c.status) << c.what;
        EXPECT_TRUE(fs::exists(tree / "a.log")) << c.what;
        const ChildResult sweep = Run(exe, {"/auto", "/ini:" + ini.string()});
        EXPECT_EQ(sweep.status, c.status) << c.what;
        if (c.status == 0) {
            EXPECT_EQ(check.out + check.err, "") << c.what;
            EXPECT_FALSE(fs::exists(tree / "a.log")) << c.what;
            temp.Write("tree/a.log", "x");
        } else {
            EXPECT_EQ(check.out, sweep.out) << c.what;
            EXPECT_EQ(check.err, sweep.err) << c.what;
            EXPECT_NE((check.out + check.err).find(AsPrinted(c.status == 2 ? TempDir::Utf8(ini) : "无")), std::string::npos)
                << c.what << ": " << check.out << check.err;
        }
    }
}

// Help needs neither settings nor a display; a switch without its path is
// refused instead of opening the window on the default file.
TEST_F(ProgramTest, HelpAndAMisusedSwitch) {
    const fs::path exe = Install("bin");
    const std::string defaultFile = (exe.parent_path() / SweepSettings::FileName).string();
    for (const std::string word : {"/?", "-h", "--help", "--HELP"}) {
        const ChildResult r = Run(exe, {word});
        EXPECT_EQ(r.status, 0) << word;
        EXPECT_EQ(r.err, "") << word;
        for (const std::string& part : {std::string("/auto /L"), std::string("/check"), std::string("/ini:"),
                                        AsPrinted(defaultFile), std::string("8 ")})
            EXPECT_NE(r.out.find(part), std::string::npos) << word << ": " << part << "\n" << r.out;
    }
    for (const std::vector<std::string>& args : {std::vector<std::string>{"/auto", "/ini:"},
                                                 std::vector<std::string>{"/ini:a.ini", "/ini:b.ini"}}) {
        const ChildResult r = Run(exe, args);
        EXPECT_EQ(r.status, 2) << args[1];
        EXPECT_EQ(r.out, "") << args[1];
        EXPECT_NE(r.err.find("/ini:"), std::string::npos) << r.err;
    }
}

// What the list-only run names is what the sweep then deletes and removes,
// its counts are the sweep's and its status the same, whatever the settings;
// "long" holds a folder past the path limit, which keeps it.
TEST_F(ProgramTest, ListOnlyForeseesWhatTheSweepThenDoes) {
    const fs::path exe = Install("bin");
    const fs::path root = temp / "logs";
    // Past the path limit: the test's own file calls on Windows cannot reach it.
    const bool longPaths = platform::PathSeparator == '/';
    const std::string overlong(SweepJob::MaxPathBytes - (root / "long").string().size(), 'x');
    auto entries = [&] {
        std::set<fs::path> found;
        for (const auto& entry : fs::recursive_directory_iterator(root)) found.insert(entry.path());
        return found;
    };
    const struct {
        const char* pattern;
        bool regex, subdir, dirtree;
        int days;
    } cases[] = {
        {"*.log", false, true, true, 0},  {"*.log", false, true, true, 7}, {"*.log", false, false, true, 0},
        {"^[a-d]\\.log$", true, true, false, 0}, {"*.*", false, true, true, 7},
    };
    for (const auto& c : cases) {
        fs::remove_all(root);
        Tree("logs", {"a.log", "b.txt", "sub/c.log", "sub/deep/d.log", "mixed/e.log", "mixed/keep.txt"});
        if (longPaths) Tree("logs/long/" + overlong, {"x.log"});
        fs::create_directories(root / "empty");
        Age(root);
        Tree("logs", {"new.log", "sub/new.txt"});
        SweepSettings s;
        s.filepath = root.string();
        s.filename = c.pattern;
        s.regex = c.regex;
        s.subdir = c.subdir;
        s.dirtree = c.dirtree;
        s.expiredays = c.days;
        s.speed = 3;
        Configure(exe, s);
        const ChildResult listed = Run(exe, {"/auto", "/L"});
        std::set<fs::path> foreseen;
        for (size_t at = 0, end; (end = listed.out.find('\n', at)) != std::string::npos; at = end + 1) {
            std::string line = listed.out.substr(at, end - at);
            while (!line.empty() && (line.back() == '\r' || line.back() == platform::PathSeparator)) line.pop_back();
            if (line.starts_with(AbsoluteRoot.substr(0, 1))) foreseen.insert(line);
        }
        std::set<fs::path> gone = entries();
        const ChildResult swept = Run(exe, {"/auto"});
        for (const fs::path& kept : entries()) gone.erase(kept);
        EXPECT_EQ(foreseen, gone) << c.pattern;
        EXPECT_EQ(listed.status, swept.status) << c.pattern;
        std::string summary = swept.out;
        summary.replace(summary.find(AsPrinted("运行完成")), AsPrinted("运行完成").size(), AsPrinted("列出完成"));
        summary.replace(summary.find(AsPrinted("删除了")), AsPrinted("删除了").size(), AsPrinted("将删除"));
        EXPECT_TRUE(listed.out.ends_with(summary)) << c.pattern << ": " << listed.out << swept.out;
    }
}

}  // namespace
