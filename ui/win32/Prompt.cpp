#include "ui/win32/Prompt.h"

#include "platform/WideText_win.h"
#include "ui/core/Replaceable.h"

namespace Prompt {
namespace {

constexpr const wchar_t* BoxTitle = L"VORN";

// The platform's own box: Yes is its first button and so its default.
Answer ShowBox(HWND owner, const std::string& text, Buttons buttons) {
    const UINT type = buttons == Buttons::Ok ? MB_OK | MB_ICONEXCLAMATION : MB_YESNO | MB_ICONQUESTION;
    // A box that could not appear (Wine without a display) returns neither
    // of its buttons' answers.
    switch (MessageBoxW(owner, platform::Widen(text).c_str(), BoxTitle, type | MB_SETFOREGROUND)) {
    case IDOK: return Answer::Ok;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::NotShown;
    }
}

Replaceable<Function>& Current() {
    static Replaceable<Function> answerer{ShowBox};
    return answerer;
}

}  // namespace

bool Inform(HWND owner, const std::string& text) { return Current()(owner, text, Buttons::Ok) != Answer::NotShown; }

bool Confirm(HWND owner, const std::string& text) { return Current()(owner, text, Buttons::YesNo) == Answer::Yes; }

Function Replace(Function answerer) { return Current().Replace(std::move(answerer)); }

}  // namespace Prompt
