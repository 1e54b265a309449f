#include "app/EntryLines.h"

#include "ExtLib/StringEx.h"
#include "ExtLib/Utf8.h"
#include "platform/Console.h"
#include "platform/Path.h"

namespace {

// The code point of a valid UTF-8 character of `length` bytes.
char32_t CodePoint(std::string_view character, size_t length) {
    static constexpr unsigned char leadBits[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    char32_t code = static_cast<unsigned char>(character[0]) & leadBits[length];
    for (size_t at = 1; at < length; ++at) code = code << 6 | (static_cast<unsigned char>(character[at]) & 0x3F);
    return code;
}

// Characters a terminal or a reader acts on rather than shows: the C0 and
// C1 controls and DEL; the line and paragraph separators some readers split
// lines at; the marks, embeddings, overrides and isolates that reorder
// what follows them on the screen.
bool ActsOnReader(std::string_view character, size_t length) {
    const char32_t code = CodePoint(character, length);
    return code < 0x20 || (code >= 0x7F && code <= 0x9F) || code == 0x061C || code == 0x200E || code == 0x200F ||
           (code >= 0x2028 && code <= 0x202E) || (code >= 0x2066 && code <= 0x2069);
}

// The length of the character at the start of `rest` when it may stand as it
// is; 0 when it is not UTF-8 or must be quoted.
size_t PlainLength(std::string_view rest) {
    const size_t length = Utf8Length(rest);
    return length == 0 || ActsOnReader(rest, length) ? 0 : length;
}

bool StandsAsItIs(std::string_view path) {
    if (path.starts_with("$'") || path.starts_with('[')) return false;
    for (size_t at = 0; at < path.size();) {
        const size_t length = PlainLength(path.substr(at));
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string Escaped(unsigned char byte) {
    switch (byte) {
    case '\n': return "\\n";
    case '\r': return "\\r";
    case '\t': return "\\t";
    case '\\': return "\\\\";
    }
    static constexpr char hex[] = "0123456789abcdef";
    return {'\\', 'x', hex[byte >> 4], hex[byte & 0xF]};
}

const char* ReasonFormat(EntryOutcome outcome) {
    switch (outcome) {
    case EntryOutcome::SparedSystem: return "系统文件";
    case EntryOutcome::SparedReadOnly: return "只读文件";
    case EntryOutcome::SparedHidden: return "隐藏文件";
    case EntryOutcome::TooRecent: return "修改未满%d天";
    case EntryOutcome::Special: return "不是普通文件";
    case EntryOutcome::Denied: return "没有权限";
    case EntryOutcome::InUse: return "正在使用";
    case EntryOutcome::Gone: return "已不存在";
    case EntryOutcome::Failed: return "删除失败";
    case EntryOutcome::Unreadable: return "无法读取";
    case EntryOutcome::NoRoom: return "打开的文件数已达上限";
    case EntryOutcome::Overlong: return "路径超过260字节";
    case EntryOutcome::Unmatched: return "无法完成匹配";
    case EntryOutcome::Deleted:
    case EntryOutcome::Removed: break;
    }
    return nullptr;
}

}  // namespace

std::string PathForLine(std::string_view path) {
    if (StandsAsItIs(path)) return std::string(path);
    std::string quoted = "$'";
    for (size_t at = 0; at < path.size();) {
        const unsigned char byte = static_cast<unsigned char>(path[at]);
        const size_t length = PlainLength(path.substr(at));
        const bool plain = length > 1 || (length == 1 && byte != '\\' && byte != '\'');
        quoted += plain ? std::string(path.substr(at, length)) : Escaped(byte);
        at += plain ? length : 1;
    }
    return quoted + "'";
}

std::string EntryLine(EntryOutcome outcome, const std::string& path, bool directory, int expiredays) {
    const bool separated = !path.empty() && path.back() == platform::PathSeparator;
    const std::string line = PathForLine(directory && !separated ? path + platform::PathSeparator : path);
    const char* reason = ReasonFormat(outcome);
    if (!reason) return line;
    StringEx text;
    text.Format(reason, expiredays);
    return "[" + text.Str() + "] " + line;
}

// The line is made before the lock is taken, and a full batch written after
// it is let go.
void EntryLines::Entry(EntryOutcome outcome, const std::string& path, bool directory) {
    const std::string line = EntryLine(outcome, path, directory, expiredays) + "\n";
    std::string full;
    {
        std::lock_guard hold(batchLock);
        batch += line;
        if (batch.size() >= BatchBytes) full.swap(batch);
    }
    Write(std::move(full));
}

void EntryLines::Flush() {
    std::string left;
    {
        std::lock_guard hold(batchLock);
        left.swap(batch);
    }
    Write(std::move(left));
}

void EntryLines::Write(std::string lines) {
    if (lines.empty() || lost) return;
    std::lock_guard hold(outputLock);
    if (lost || platform::WriteStandard(platform::StandardStream::Output, lines)) return;
    lost = true;
    if (onLost) onLost();
}
