// What only Windows can hold: attributes set with the system's own call,
// names matched and paths measured in the ANSI code page (936 here, as on a
// Chinese server), and names that code page cannot carry.

#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "SweepFixture.h"
#include "platform/DosAttributes.h"
#include "support/WinFiles.h"

namespace {

using namespace sweeptest;
using platform::AttributeHidden;
using platform::AttributeReadOnly;
using platform::AttributeSystem;

TEST_F(SweepFixture, EachAttributeNeedsItsFlag) {
    const struct {
        const char* name;
        DWORD set;
        uint32_t carries;
    } files[] = {
        {"plain.log", FILE_ATTRIBUTE_NORMAL, 0},
        {"ro.log", FILE_ATTRIBUTE_READONLY, AttributeReadOnly},
        {"hidden.log", FILE_ATTRIBUTE_HIDDEN, AttributeHidden},
        {"sys.log", FILE_ATTRIBUTE_SYSTEM, AttributeSystem},
        {"hidsys.log", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM, AttributeHidden | AttributeSystem},
    };
    settings.filename = "*.log";
    for (uint32_t allowed = 0; allowed < 8; ++allowed) {
        SCOPED_TRACE(allowed);
        for (const auto& file : files) ASSERT_TRUE(SetAttributes(tree.Write(file.name, "x"), file.set));
        settings.readonly = allowed & AttributeReadOnly;
        settings.hidden = allowed & AttributeHidden;
        settings.system = allowed & AttributeSystem;
        Sweep();
        for (const auto& file : files) {
            const bool spared = (file.carries & ~allowed) != 0;
            EXPECT_EQ(Exists(file.name), spared) << file.name;
            if (spared) {
                EXPECT_EQ(AttributesOf(tree / file.name) & 0x7, file.set & 0x7) << file.name;
            }
        }
    }
}

TEST_F(SweepFixture, NamesOutsideTheCodePageAreMatchedAndDeleted) {
    const std::string thai = "ก";
    tree.Write(thai + "/日志-😀.log", "x");
    tree.Write(thai + "/keep-😀.txt", "x");
    settings.filename = "日志-*.log";
    const std::vector<std::string> texts = Sweep();
    EXPECT_EQ(texts.back(), Summary(true, 2, 1));
    EXPECT_EQ(texts[texts.size() - 2], "删除" + Root() + Sep + thai + Sep + "日志-😀.log");
    EXPECT_FALSE(Exists(thai + "/日志-😀.log"));
    EXPECT_TRUE(Exists(thai + "/keep-😀.txt"));
}

// A Chinese character is two bytes, a character the code page lacks is one
// "?", and a byte of a character is never a sign of the expression nor a
// character of its own: "?" ("\C") is one byte, everything else takes whole
// characters (爸小 holds 中's bytes D6 D0 across its two characters).
TEST_F(SweepFixture, NamesAreMatchedAsTheAnsiCodePageSpellsThem) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    const std::vector<std::string> names = {"中.txt", "ab.txt", "abc.txt", "ก.txt", "億1.log", "x.log", "爸小.log"};
    const struct {
        const char* pattern;
        bool regex;
        std::vector<std::string> deleted;
    } cases[] = {
        {"??.txt", false, {"中.txt", "ab.txt"}},
        {"^\\C\\C\\.txt$", true, {"中.txt", "ab.txt"}},
        {"^..\\.txt$", true, {"ab.txt"}},
        {"^.\\.txt$", true, {"中.txt", "ก.txt"}},
        {"*中*", false, {"中.txt"}},
        {"???.txt", false, {"abc.txt"}},
        {"^...\\.txt$", true, {"abc.txt"}},
        {"?.txt", false, {"ก.txt"}},
        {"^\\?\\.txt$", true, {"ก.txt"}},
        {"億*.log", false, {"億1.log"}},  // 億 is 83 7C: "|" as its second byte
        {"^億", true, {"億1.log"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pattern);
        for (const std::string& name : names) tree.Write(name, "x");
        settings.filename = c.pattern;
        settings.regex = c.regex;
        EXPECT_EQ(Sweep().back(), Summary(true, 7, static_cast<int>(c.deleted.size())));
        for (const std::string& name : names)
            EXPECT_EQ(Exists(name), std::find(c.deleted.begin(), c.deleted.end(), name) == c.deleted.end()) << name;
    }
}

// Folders of 60 and 40 Chinese characters: 200 bytes in code page 936, 300
// in UTF-8. A subdirectory and a root alike are measured in the former.
TEST_F(SweepFixture, PathLimitCountsTheAnsiCodePage) {
    if (!ChineseCodePage()) GTEST_SKIP() << "needs code page 936";
    std::string deep;
    for (int i = 0; i < 60; ++i) deep += "日";
    deep += "/";
    for (int i = 0; i < 40; ++i) deep += "志";
    const std::string deepRoot = Root() + Sep + deep.substr(0, 180) + Sep + deep.substr(181);
    const size_t used = Ansi(deepRoot).size();
    ASSERT_GT(deepRoot.size(), SweepJob::MaxPathBytes);
    const std::string fits(SweepJob::MaxPathBytes - used - 1, 'f');
    const std::string over(fits.size() + 1, 'o');
    const std::string overRoot = deepRoot + Sep + over;
    const struct {
        std::string root;
        std::string finalText;
        int overlong;
    } roots[] = {
        {Root(), Summary(true, 2, 2), 1},
        {deepRoot, Summary(true, 2, 2), 1},
        {overRoot, "处理目录的路径超过260字节，无法处理: " + overRoot, 0},
    };
    for (const auto& root : roots) {
        SCOPED_TRACE(root.root);
        for (const std::string& sub : {std::string(), fits + "/", over + "/"}) tree.Write(deep + "/" + sub + "a.log", "x");
        settings.filepath = root.root;
        Sweep();
        EXPECT_EQ(job.FinalText(), root.finalText);
        EXPECT_EQ(job.LastShortfalls().overlongDirectories, root.overlong);
    }
}

}  // namespace
