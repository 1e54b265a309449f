#include "config/GatherRules.h"

#include <gtest/gtest.h>

#include <string>

#include "config/SweepSettings.h"
#include "support/PlatformSamples.h"

namespace {

WindowFields Valid() {
    WindowFields f;
    f.directory = AbsoluteRoot + "var/log/app";
    f.pattern = "*.log";
    return f;
}

TEST(GatherRules, TrimsTheDirectoryAndCopiesEverything) {
    WindowFields f = Valid();
    f.directory = " \t" + AbsoluteRoot + "data/日志 \r\n\v\f";
    f.regexCheck = true;
    f.subdirCheck = true;
    f.spareSystemCheck = true;
    f.spareReadonlyCheck = false;
    f.spareHiddenCheck = true;
    f.keepStructureCheck = false;
    f.days = 7;
    f.speed = 3;
    SweepSettings s;
    ASSERT_EQ(ApplyGatherRules(f, s), "");
    EXPECT_EQ(s.filepath, AbsoluteRoot + "data/日志");
    EXPECT_EQ(s.filename, "*.log");
    EXPECT_TRUE(s.regex && s.subdir);
    EXPECT_FALSE(s.system);
    EXPECT_TRUE(s.readonly);
    EXPECT_FALSE(s.hidden);
    EXPECT_TRUE(s.dirtree);
    EXPECT_EQ(s.expiredays, 7);
    EXPECT_EQ(s.speed, 3);
    EXPECT_EQ(FieldsFromSettings(s).directory, AbsoluteRoot + "data/日志");
}

TEST(GatherRules, RefusesDirectoriesThatAreNotAbsoluteOrTooLong) {
    const std::string tooLong = AbsoluteRoot + std::string(201 - AbsoluteRoot.size(), 'd');
    for (const std::string& bad : {std::string(), std::string("   "), std::string("data/logs"), ForeignDirectory,
                                   std::string("D:logs"), std::string(":/x"), tooLong,
                                   AbsoluteRoot + "a\nb", AbsoluteRoot + "a\rb", AbsoluteRoot + std::string("a\0b", 3)}) {
        WindowFields f = Valid();
        f.directory = bad;
        SweepSettings s;
        EXPECT_EQ(ApplyGatherRules(f, s), BadDirectoryText) << bad;
        EXPECT_EQ(s.Serialize(), SweepSettings().Serialize()) << "settings changed for " << bad;
    }
    WindowFields longest = Valid();
    longest.directory = tooLong.substr(0, 200);
    SweepSettings s;
    EXPECT_EQ(ApplyGatherRules(longest, s), "");
}

// A scheduled run refuses a file with a line break or a null in its pattern, so the window never
// saves one; an accepted pattern is kept as typed.
TEST(GatherRules, PatternIsCheckedButNeverTrimmed) {
    struct Case { std::string pattern; int days; const char* text; std::string filename; };
    const Case cases[] = {
        {"", 0, "", "*.*"},
        {"   ", 0, "", "   "},
        {std::string(200, 'x'), 0, "", std::string(200, 'x')},
        {std::string(201, 'x'), 0, LongPatternText, ""},
        {"a\r\nb", 0, PatternLineBreakText, ""},
        {"a\nb", 0, PatternLineBreakText, ""},
        {std::string("*.log\0x", 7), 0, PatternLineBreakText, ""},
        {"*.log", -1, NegativeDaysText, ""},
    };
    for (const Case& c : cases) {
        WindowFields f = Valid();
        f.pattern = c.pattern;
        f.days = c.days;
        SweepSettings s;
        EXPECT_EQ(ApplyGatherRules(f, s), c.text) << c.pattern << " " << c.days;
        if (*c.text == '\0')
            EXPECT_EQ(s.filename, c.filename);
        else
            EXPECT_EQ(s.Serialize(), SweepSettings().Serialize()) << c.pattern << " " << c.days;
    }
}

TEST(GatherRules, WindowShowsTheDefaultsWithBoxesInverted) {
    const WindowFields f = FieldsFromSettings(SweepSettings());
    EXPECT_EQ(f.directory, "");
    EXPECT_EQ(f.pattern, "*.*");
    EXPECT_FALSE(f.regexCheck);
    EXPECT_TRUE(f.subdirCheck);
    EXPECT_TRUE(f.spareSystemCheck);
    EXPECT_FALSE(f.spareReadonlyCheck || f.spareHiddenCheck || f.keepStructureCheck);
    EXPECT_EQ(f.days, 0);
    EXPECT_EQ(f.speed, 1);
}

}  // namespace
