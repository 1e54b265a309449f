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

bool IsValidIn(unsigned codePage, std::string_view text) {
    return text.empty() || MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text.data(),
                                               static_cast<int>(text.size()), nullptr, 0) > 0;
}

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

}  // namespace

// Only the mark tells UTF-8 apart for certain: about 75 common Chinese
// characters in GBK (小 is D0 A1) also form valid UTF-8, and a file the
// window wrote must never be read as other characters. A mark on a file
// that is not UTF-8 stays, for the check to name.
bool InConfigEncoding(std::string& bytes) {
    if (!bytes.starts_with(Utf8Mark)) return true;
    const std::string_view text = std::string_view(bytes).substr(Utf8Mark.size());
    if (!IsValidIn(Utf8CodePage, text)) return true;
    bool exact = false;
    std::string stored = Narrow(Widen(text), AnsiCodePage, &exact);
    if (!exact) return false;
    bytes = std::move(stored);
    return true;
}

bool ReadsOtherwiseAsUtf8(std::string_view bytes) { return !IsAscii(bytes) && IsValidIn(Utf8CodePage, bytes); }

bool IsConfigText(std::string_view bytes) { return IsValidIn(AnsiCodePage, bytes); }

}  // namespace platform
