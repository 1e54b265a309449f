// What only Windows can hold: attributes set with the system's own call, and
// names the ANSI code page cannot carry.

#include "sweep/SweepJob.h"

#include <gtest/gtest.h>

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

}  // namespace
