#include "app/EntryLines.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Path.h"

namespace {

// What a line holds, and that a path comes back whole from a quoted one.
TEST(EntryLines, EveryPathStaysOneLineThatGivesItBack) {
    const std::string sep(1, platform::PathSeparator);
    const struct {
        EntryOutcome outcome;
        std::string path;
        bool directory;
        std::string line;
    } cases[] = {
        {EntryOutcome::Deleted, "/srv/日志/a.log", false, "/srv/日志/a.log"},
        {EntryOutcome::Removed, "/srv/old", true, "/srv/old" + sep},
        {EntryOutcome::Removed, "/srv/old" + sep, true, "/srv/old" + sep},
        {EntryOutcome::SparedReadOnly, "/srv/a b.log", false, "[只读文件] /srv/a b.log"},
        {EntryOutcome::TooRecent, "/srv/new.log", false, "[修改未满7天] /srv/new.log"},
        {EntryOutcome::Overlong, "/srv/deep", true, "[路径超过260字节] /srv/deep" + sep},
        {EntryOutcome::NoRoom, "/srv/deep", true, "[打开的文件数已达上限] /srv/deep" + sep},
        {EntryOutcome::Unmatched, "/srv/aaa", false, "[无法完成匹配] /srv/aaa"},
        {EntryOutcome::Deleted, "/srv/two\nlines.log", false, "$'/srv/two\\nlines.log'"},
        {EntryOutcome::Gone, "/srv/tab\there", false, "[已不存在] $'/srv/tab\\there'"},
        {EntryOutcome::Deleted, "\tfirst.log", false, "$'\\tfirst.log'"},  // the first character is judged too
        {EntryOutcome::Deleted, "/srv/bad\xFF\xC3.log", false, "$'/srv/bad\\xff\\xc3.log'"},
        {EntryOutcome::Deleted, "/srv/\xC0\xAF\xED\xA0\x80.log", false, "$'/srv/\\xc0\\xaf\\xed\\xa0\\x80.log'"},
        {EntryOutcome::Deleted, "/srv/it's\\\x7F\xE6\x97\xA5\n", false, "$'/srv/it\\x27s\\\\\\x7f日\\n'"},
        {EntryOutcome::Deleted, "$'x'", false, "$'$\\x27x\\x27'"},
        {EntryOutcome::Deleted, "[x] y", false, "$'[x] y'"},
        // C1 controls (NEL, CSI, the last: APC), a line separator, a right-to-left override:
        // each byte quoted; the characters next to them stay as they are.
        {EntryOutcome::Deleted, "/srv/a\u0085b\u009B2J\u009F", false, "$'/srv/a\\xc2\\x85b\\xc2\\x9b2J\\xc2\\x9f'"},
        {EntryOutcome::Deleted, "/srv/\u2028\u202Egol.exe", false, "$'/srv/\\xe2\\x80\\xa8\\xe2\\x80\\xaegol.exe'"},
        {EntryOutcome::Deleted, "/srv/\u00A0\u2027\u2030.log", false, "/srv/\u00A0\u2027\u2030.log"},
    };
    for (const auto& c : cases) EXPECT_EQ(EntryLine(c.outcome, c.path, c.directory, 7), c.line) << c.path;
}

}  // namespace
