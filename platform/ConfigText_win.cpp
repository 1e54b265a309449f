#include "platform/ConfigText.h"

#include <windows.h>

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/WideText_win.h"

namespace platform {

const char* const ConfigEncodingName = "ANSI";

bool ToConfigText(const std::string& text, std::string& stored) {
    bool exact = false;
    stored = Narrow(Widen(text), AnsiCodePage, &exact);
    return exact;
}

std::string FromConfigText(const std::string& stored) { return Narrow(Widen(stored, AnsiCodePage)); }

namespace {

constexpr std::string_view Utf8Mark = "\xEF\xBB\xBF";

bool IsUtf8(std::string_view text) {
    return text.empty() || MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// Text in the ANSI code page seldom forms valid UTF-8 (a lead byte must be
// followed by the right number of bytes 0x80 to 0xBF), so a file that does,
// with more than ASCII in it, was saved as UTF-8. A mark on a file that is
// not UTF-8 stays, for the check to name.
bool InConfigEncoding(std::string& bytes) {
    const bool marked = bytes.starts_with(Utf8Mark);
    const std::string_view text = std::string_view(bytes).substr(marked ? Utf8Mark.size() : 0);
    if (!IsUtf8(text) || (!marked && IsAscii(text))) return true;
    bool exact = false;
    std::string stored = Narrow(Widen(text), AnsiCodePage, &exact);
    if (!exact) return false;
    bytes = std::move(stored);
    return true;
}

}  // namespace platform
