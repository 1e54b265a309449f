// vorn.exe as a Windows server runs it: a vorn.ini in the ANSI code page, the
// named mutex, a desktop where a box can be asked for but not seen; and
// vorn.com, its console twin.

#include <gtest/gtest.h>

#include <string>

#include "ProgramFixture.h"
#include "support/WinFiles.h"

namespace {

using namespace programtest;

// vorn.com beside a copy of vorn.exe.
fs::path InstallLauncher(const fs::path& exe) {
    const fs::path launcher = exe.parent_path() / fs::path(VORN_LAUNCHER).filename();
    fs::copy_file(VORN_LAUNCHER, launcher);
    return launcher;
}

TEST_F(ProgramTest, AnsiConfigurationWithAChinesePathIsSweptAndItsLineRedirected) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("日志", {"a.log", "b.txt"});
    temp.Write("bin/vorn.ini", "[vorn]\r\nfilepath=" + Ansi(TempDir::Utf8(tree)) +
                                   "\r\nfilename=*.log\r\nsubdir=true\r\nspeed=3\r\n");
    const ChildResult r = Run(exe, {"/auto"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, AsPrinted("运行完成! 共搜索到2个文件，删除了1个文件\n"));
    EXPECT_EQ(r.out, "\xD4\xCB\xD0\xD0\xCD\xEA\xB3\xC9! \xB9\xB2\xCB\xD1\xCB\xF7\xB5\xBD" "2\xB8\xF6\xCE\xC4\xBC\xFE\xA3\xAC"
                     "\xC9\xBE\xB3\xFD\xC1\xCB" "1\xB8\xF6\xCE\xC4\xBC\xFE\r\n");
    EXPECT_FALSE(fs::exists(tree / "a.log"));
    EXPECT_TRUE(fs::exists(tree / "b.txt"));
}

// As Windows users write the file: Notepad's UTF-8 with its mark is read as
// written or refused for its encoding, without the mark (Notepad's default)
// it is refused where only UTF-8 makes sense of it (here its filepath exists
// only as UTF-8 reads it); a drive-relative directory, which would sweep
// wherever the program was started, is refused.
TEST_F(ProgramTest, ConfigurationAsWindowsUsersWriteIt) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    const fs::path exe = Install("bin");
    const fs::path tree = temp / "日志";
    const std::string lines = "[vorn]\r\nfilepath=" + TempDir::Utf8(tree) + "\r\nfilename=日志*.log\r\nspeed=3\r\n";
    const struct {
        const char* what;
        std::string bytes;
        std::string said;  // on standard error; none: swept
    } cases[] = {
        {"UTF-8", lines, "文件是不带BOM的UTF-8编码，按系统代码页读取会读成别的字符: 请另存为ANSI，或带有BOM的UTF-8"},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + lines, ""},
        {"UTF-8 with its mark and a character outside the code page", "\xEF\xBB\xBF" + lines + ";ก\r\n",
         "文件是UTF-8编码，含有系统代码页(ANSI)无法表示的字符"},
        {"the drive's current directory", "[vorn]\r\nfilepath=Z:\r\nfilename=*\r\n", "第2行 “filepath” 必须是绝对路径"},
        {"a folder in it", "[vorn]\r\nfilepath=Z:日志\r\nfilename=*\r\n", "第2行 “filepath” 必须是绝对路径"},
    };
    for (const auto& c : cases) {
        Tree("日志", {"日志1.log", "b.log"});
        temp.Write("bin/vorn.ini", c.bytes);
        const ChildResult r = Run(exe, {"/auto"}, {.workDir = c.said.empty() ? temp.Path() : tree});
        const bool swept = c.said.empty();
        EXPECT_EQ(r.status, swept ? 0 : 2) << c.what;
        EXPECT_EQ(r.out, swept ? AsPrinted("运行完成! 共搜索到2个文件，删除了1个文件\n") : "") << c.what;
        EXPECT_NE(r.err.find(AsPrinted(c.said)), std::string::npos) << c.what << ": " << r.err;
        EXPECT_EQ(fs::exists(tree / TempDir::FromUtf8("日志1.log")), !swept) << c.what;
        EXPECT_TRUE(fs::exists(tree / "b.log")) << c.what;
    }
}

// A root is the folder the system opens, and that folder is what the lines
// name; the system drive's root and the Windows folder are none, however
// spelt (listed only, and only their top, should the refusal fail).
TEST_F(ProgramTest, RootIsTheFolderTheSystemOpensAndNeverTheWholeSystem) {
    const fs::path exe = Install("bin");
    const std::string tree = TempDir::Utf8(Tree("tree", {"a.log"})), other = TempDir::Utf8(Tree("other", {"a.log"}));
    const std::string systemRoot = "“C:\\”是整个系统的根目录，不能作为处理目录\n";
    const struct {
        std::string root;
        int status;
        std::string out;  // its start
    } roots[] = {
        {"C:\\", 5, "无法打开处理目录 C:\\: " + systemRoot},
        {"c:/", 5, "无法打开处理目录 c:\\: “c:\\”是整个系统的根目录，不能作为处理目录\n"},
        {"C:\\windows\\..", 5, "无法打开处理目录 C:\\: " + systemRoot},
        {"C:\\WINDOWS\\", 5, "无法打开处理目录 C:\\WINDOWS\\: “C:\\WINDOWS\\”是Windows系统目录，不能作为处理目录\n"},
        {"Z:\\", 0, "列出完成! 共搜索到"},
        {tree + "\\..\\other", 0, other + "\\a.log\n"},
        {tree + " ", 0, tree + "\\a.log\n"},
        {tree + ".", 0, tree + "\\a.log\n"},
    };
    for (const auto& root : roots) {
        const ChildResult r = ListTop(exe, root.root, root.status == 0 ? "a.log" : "vorn-matches-nothing");
        EXPECT_EQ(r.status, root.status) << root.root;
        EXPECT_EQ(r.out.rfind(AsPrinted(root.out), 0), 0u) << root.root << ": " << r.out;
    }
}

// A Chinese server's redirected lines are all in its ANSI code page, a name
// it has no character for too ("?", as its own tools write it): one file of
// them reads back in one encoding.
TEST_F(ProgramTest, RedirectedLinesOfARunAreInTheAnsiCodePage) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("日志", {"한.log"});
    ConfigureRoot(exe, tree);
    const ChildResult r = Run(exe, {"/auto", "/L"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, Ansi(TempDir::Utf8(tree)) + "\\?.log\r\n" + AsPrinted("列出完成! 共搜索到1个文件，将删除1个文件\n"));
}

// The settings file as Windows names it: a folder whose name the ANSI code
// page cannot spell reaches the program whole, and the forms that depend on
// the current drive or folder are refused, as for filepath.
TEST_F(ProgramTest, SettingsFileInWindowsForms) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    const fs::path ini = temp / "ก设置" / "web.ini";
    fs::create_directories(ini.parent_path());
    SweepSettings s;
    s.filepath = tree.string();
    s.filename = "*.log";
    ASSERT_TRUE(s.Save(TempDir::Utf8(ini)));
    for (const std::string refused : {"Z:web.ini", "\\web.ini"}) {
        const ChildResult r = Run(exe, {"/auto", "/ini:" + refused});
        EXPECT_EQ(r.status, 2) << refused;
        EXPECT_NE(r.err.find(AsPrinted(refused)), std::string::npos) << r.err;
    }
    EXPECT_TRUE(fs::exists(tree / "a.log"));
    EXPECT_EQ(Run(exe, {"/check", "/ini:" + TempDir::Utf8(ini)}).status, 0);
    const ChildResult r = Run(exe, {"/auto", "/ini:" + TempDir::Utf8(ini)});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_FALSE(fs::exists(tree / "a.log"));
}

// The named mutex is the guard, whoever holds it.
TEST_F(ProgramTest, MutexHeldElsewhereTurnsTheSilentRunAway) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    ConfigureRoot(exe, tree);
    const HANDLE mutex = CreateMutexW(nullptr, TRUE, L"VORNMutex");
    ASSERT_NE(mutex, nullptr);
    const ChildResult r = Run(exe, {"/auto"});
    ReleaseMutex(mutex);
    CloseHandle(mutex);
    EXPECT_EQ(r.status, 3);
    EXPECT_EQ(r.out, "");
    EXPECT_EQ(r.err, AsPrinted("VORN已经在运行中...\n"));
    EXPECT_TRUE(fs::exists(tree / "a.log"));
    EXPECT_EQ(Run(exe, {"/auto"}).status, 0);
}

// Wine without an X display: the window station says it is visible, but no
// box can appear. The texts go to standard error and the run ends.
TEST_F(ProgramTest, BoxThatCannotAppearNeverHoldsTheRun) {
    const fs::path exe = Install("bin");
    const ChildResult silent = Run(exe, {"/auto"}, {.display = ChildProcess::Display::Inherited});
    EXPECT_EQ(silent.status, 2);
    EXPECT_EQ(silent.err.rfind(ConfigErrorLine, 0), 0u) << silent.err;
    // The run was silent: what failed is the window to configure in.
    EXPECT_NE(silent.err.find(AsPrinted("无法打开程序窗口，不能在窗口中修改配置。\n")), std::string::npos) << silent.err;
    EXPECT_EQ(silent.err.find("/auto"), std::string::npos) << silent.err;
    const ChildResult window = Run(exe, {}, {.display = ChildProcess::Display::Inherited});
    EXPECT_EQ(window.status, 2);
    EXPECT_NE(window.err.find("vorn.exe /auto"), std::string::npos) << window.err;
}

// What a console sees: the launcher ends when vorn.exe has, with its lines
// and its status.
TEST_F(ProgramTest, LauncherWaitsAndEndsWithTheProgramsStatus) {
    const fs::path exe = Install("bin");
    const fs::path launcher = InstallLauncher(exe);
    const fs::path tree = Tree("tree", {"a.log", "b.txt"});
    const struct {
        const char* what;
        std::string pattern;
        int status;
        std::string out;
    } runs[] = {
        {"a sweep", "*.log", 0, "运行完成! 共搜索到2个文件，删除了1个文件\n"},
        {"a pattern that does not compile", "a(.log", 1, "无效文件名\n"},
    };
    for (const auto& run : runs) {
        temp.Write("tree/a.log", "x");
        ConfigureRoot(exe, tree, {.pattern = run.pattern});
        const ChildResult r = Run(launcher, {"/auto"});
        EXPECT_EQ(r.status, run.status) << run.what;
        EXPECT_EQ(r.out, AsPrinted(run.out)) << run.what;
        EXPECT_EQ(fs::exists(tree / "a.log"), run.status != 0) << run.what;
    }
    fs::remove(exe);
    const ChildResult alone = Run(launcher, {"/auto"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_EQ(alone.err, AsPrinted("无法启动 " + exe.string() + "\n"));
}

// Through vorn.com, as schedulers run it, nobody may be there to answer a
// box: a run without a usable vorn.ini says why on standard error and ends,
// with no box or window, also where the desktop could show them. (Here no
// box can appear: what tells is that nothing more is tried and said.)
TEST_F(ProgramTest, ThroughTheLauncherASilentRunNeverWaitsForAPerson) {
    const fs::path exe = Install("bin");
    const fs::path launcher = InstallLauncher(exe);
    const std::string ini = TempDir::Utf8(exe.parent_path() / SweepSettings::FileName);
    const struct {
        const char* what;
        std::string bytes;  // none: no file
        std::string detail;
    } files[] = {
        {"no file", "", ini + ": 文件不存在"},
        {"a file in UTF-16", std::string("\xFF\xFE[\0v\0", 6), ini + ": 文件是UTF-16编码，必须另存为ANSI"},
    };
    for (const auto& file : files) {
        fs::remove(ini);
        if (!file.bytes.empty()) temp.Write("bin/vorn.ini", file.bytes);
        const ChildResult r = Run(launcher, {"/auto"}, {.display = ChildProcess::Display::Inherited});
        EXPECT_EQ(r.status, 2) << file.what;
        EXPECT_EQ(r.out, "") << file.what;
        EXPECT_EQ(r.err, ConfigErrorLine + AsPrinted(file.detail + "\n")) << file.what;
    }
}

// Ctrl+C reaches the launcher, which shares the console; the sweep ends as a
// Stop ends it, with the summary of a stopped run.
TEST_F(ProgramTest, CtrlCInTheConsoleStopsTheSweepCleanly) {
    const fs::path exe = Install("bin");
    const fs::path launcher = InstallLauncher(exe);
    SweepSettings s;
    const fs::path tree = SlowTree("tree", s, 40);
    Configure(exe, s);
    FreeConsole();
    ASSERT_TRUE(AllocConsole());
    ChildProcess run(launcher, {"/auto"});
    AwaitFewerThan(tree, 40);
    SetConsoleCtrlHandler(nullptr, TRUE);  // the test itself stays
    EXPECT_TRUE(GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0));
    const ChildResult r = run.Wait();
    SetConsoleCtrlHandler(nullptr, FALSE);
    FreeConsole();
    EXPECT_EQ(r.out.rfind(AsPrinted("运行已停止! 共搜索到"), 0), 0u) << r.out;
    EXPECT_GT(TempDir::EntriesIn(tree), 0);
}

}  // namespace
