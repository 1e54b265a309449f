#include "app/EntryLines.h"

#include "ExtLib/StringEx.h"
#include "ExtLib/Utf8.h"
#include "platform/Console.h"
#include "platform/Path.h"

namespace {

bool IsControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

bool StandsAsItIs(std::string_view path) {
    if (path.starts_with("$'") || path.starts_with('[')) return false;
    for (size_t at = 0; at < path.size();) {
        const size_t length = Utf8Length(path.substr(at));
        if (length == 0 || IsControl(static_cast<unsigned char>(path[at]))) return false;
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
        const size_t length = Utf8Length(path.substr(at));
        const bool plain = length > 1 || (length == 1 && !IsControl(byte) && byte != '\\' && byte != '\'');
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
    if (lines.empty()) return;
    std::lock_guard hold(outputLock);
    platform::WriteStandard(platform::StandardStream::Output, lines);
}
