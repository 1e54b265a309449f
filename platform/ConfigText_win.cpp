#include "platform/ConfigText.h"

#include "platform/WideText_win.h"

namespace platform {

const char* const ConfigEncodingName = "ANSI";

bool ToConfigText(const std::string& text, std::string& stored) {
    bool exact = false;
    stored = Narrow(Widen(text), AnsiCodePage, &exact);
    return exact;
}

std::string FromConfigText(const std::string& stored) { return Narrow(Widen(stored, AnsiCodePage)); }

}  // namespace platform
