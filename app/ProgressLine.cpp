#include "app/ProgressLine.h"

#include <algorithm>
#include <utility>

#include "ExtLib/Utf8.h"
#include "app/EntryLines.h"

namespace {

constexpr std::string_view Ellipsis = "…";
// The blocks of East Asian characters a terminal shows two columns wide;
// everything else, a byte that is no character included, takes one.
constexpr std::pair<uint32_t, uint32_t> WideBlocks[] = {
    {0x1100, 0x115F}, {0x2E80, 0xA4CF}, {0xAC00, 0xD7A3}, {0xF900, 0xFAFF},
    {0xFE30, 0xFE4F}, {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x20000, 0x3FFFD},
};

uint32_t CodePoint(std::string_view text, size_t length) {
    if (length <= 1) return static_cast<unsigned char>(text[0]);
    uint32_t point = static_cast<unsigned char>(text[0]) & (0x7F >> length);
    for (size_t i = 1; i < length; ++i) point = (point << 6) | (static_cast<unsigned char>(text[i]) & 0x3F);
    return point;
}

size_t CharacterLength(std::string_view text) { return std::max<size_t>(Utf8Length(text), 1); }

size_t CharacterWidth(std::string_view text) {
    const size_t length = Utf8Length(text);
    if (length <= 1) return 1;
    const uint32_t point = CodePoint(text, length);
    for (const auto& [first, last] : WideBlocks)
        if (point >= first && point <= last) return 2;
    return 1;
}

// The longest start of `text` that fits in `columns`.
std::string_view Head(std::string_view text, size_t columns) {
    size_t at = 0;
    for (size_t used = 0; at < text.size(); at += CharacterLength(text.substr(at))) {
        used += CharacterWidth(text.substr(at));
        if (used > columns) break;
    }
    return text.substr(0, at);
}

// The longest end of `text` that fits in `columns`, after an ellipsis when
// something was left out.
std::string Tail(std::string_view text, size_t columns) {
    if (TerminalWidth(text) <= columns) return std::string(text);
    if (columns < TerminalWidth(Ellipsis)) return {};
    size_t at = 0;
    while (at < text.size() && TerminalWidth(text.substr(at)) + TerminalWidth(Ellipsis) > columns)
        at += CharacterLength(text.substr(at));
    return std::string(Ellipsis) + std::string(text.substr(at));
}

std::string TwoDigits(uint64_t value) { return (value < 10 ? "0" : "") + std::to_string(value); }

std::string Elapsed(double seconds) {
    const auto whole = static_cast<uint64_t>(seconds);
    return std::to_string(whole / 3600) + ":" + TwoDigits(whole / 60 % 60) + ":" + TwoDigits(whole % 60);
}

}  // namespace

size_t TerminalWidth(std::string_view text) {
    size_t width = 0;
    for (size_t at = 0; at < text.size(); at += CharacterLength(text.substr(at))) width += CharacterWidth(text.substr(at));
    return width;
}

std::string ProgressLine(const SweepProgress::Snapshot& now, double seconds, size_t columns) {
    const uint64_t rate = seconds > 0 ? static_cast<uint64_t>(static_cast<double>(now.deleted) / seconds) : 0;
    const std::string line = "已搜索" + std::to_string(now.files) + "个文件，已删除" + std::to_string(now.deleted) +
                             "个，每秒删除" + std::to_string(rate) + "个，用时" + Elapsed(seconds) +
                             (now.folder.empty() ? "" : "，搜索目录 ");
    const size_t width = TerminalWidth(line);
    if (width >= columns) return std::string(Head(line, columns));
    return line + Tail(PathForLine(now.folder), columns - width);
}
