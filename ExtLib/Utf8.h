#pragma once
// UTF-8, the program's own texts: where one character ends.

#include <cstddef>
#include <string_view>

// The length of the UTF-8 character that starts `text`, or 0 when it is none
// (a stray, overlong or cut sequence, a surrogate, or beyond U+10FFFF).
size_t Utf8Length(std::string_view text);
