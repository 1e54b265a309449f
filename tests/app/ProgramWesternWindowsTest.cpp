// vorn.exe on an English server: code page 1252 has no Chinese, so what the
// program writes to a redirected file or pipe is UTF-8 there, and reads back.

#include <gtest/gtest.h>

#include <windows.h>

#include "ProgramFixture.h"

namespace {

using namespace programtest;

TEST_F(ProgramTest, RedirectedLinesReadBackWhereTheCodePageHasNoChinese) {
    ASSERT_EQ(GetACP(), 1252u);
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"a.log"});
    const ChildResult missing = Run(exe, {"/auto"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err.rfind("vorn.ini配置文件错误!\r\n静默模式运行前必须先进行配置!\r\n", 0), 0u) << missing.err;
    ConfigureRoot(exe, tree);
    const ChildResult swept = Run(exe, {"/auto"});
    EXPECT_EQ(swept.status, 0);
    EXPECT_EQ(swept.out, "运行完成! 共搜索到1个文件，删除了1个文件\r\n");
}

// The lines of one run are all UTF-8, a name code page 1252 could carry too.
TEST_F(ProgramTest, RedirectedLinesOfARunAreAllUtf8) {
    const fs::path exe = Install("bin");
    const fs::path tree = Tree("tree", {"café.log"});
    ConfigureRoot(exe, tree);
    const ChildResult r = Run(exe, {"/auto", "/L"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, TempDir::Utf8(tree) + "\\café.log\r\n列出完成! 共搜索到1个文件，将删除1个文件\r\n");
}

}  // namespace
