// StringEx::Format with the formats the program uses and arbitrary
// arguments: the result is always what the standard formatter makes, and
// nothing is written past a buffer, whatever the size estimate said.
//
// Input: one byte that picks the format (bit 7: decorate each conversion
// with flags, width and precision, three bytes each, taken first), then the
// arguments in order: a text up to a NUL for %s, four bytes (little-endian)
// for %d.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

#include "ExtLib/StringEx.h"
#include "FuzzCheck.h"

namespace {

enum class Arguments { Text, TwoTexts, TextAndTwoNumbers, Number };

struct ProgramFormat {
    const char* format;
    Arguments arguments;
};

constexpr ProgramFormat Formats[] = {
    {"搜索目录 %s", Arguments::Text},
    {"删除%s", Arguments::Text},
    {"%s! 共搜索到%d个文件，删除了%d个文件", Arguments::TextAndTwoNumbers},
    {"filepath=%s\r\n", Arguments::Text},
    {"filename=%s\r\n", Arguments::Text},
    {"%s=%s\r\n", Arguments::TwoTexts},
    {"expiredays=%d\r\n", Arguments::Number},
    {"speed=%d\r\n", Arguments::Number},
};
constexpr size_t FormatCount = sizeof Formats / sizeof Formats[0];

class Input {
public:
    Input(const uint8_t* data, size_t size) : data(data), size(size) {}

    uint8_t Byte() { return at < size ? data[at++] : 0; }
    std::string Text() {
        std::string text;
        while (at < size && data[at] != 0) text += static_cast<char>(data[at++]);
        ++at;
        return text;
    }
    int Number() {
        uint32_t value = 0;
        for (int shift = 0; shift < 32; shift += 8) value |= uint32_t{Byte()} << shift;
        return static_cast<int>(value);
    }

private:
    const uint8_t* data;
    size_t size;
    size_t at = 0;
};

// Flags, width (up to 255) and precision (none, or up to 254), each valid for
// its conversion: "-" for texts; "-", "+", space and "0" for numbers.
std::string Decoration(Input& in, char conversion) {
    const uint8_t flags = in.Byte();
    const uint8_t width = in.Byte();
    const uint8_t precision = in.Byte();
    std::string decoration;
    if (flags & 1) decoration += '-';
    if (conversion == 'd') {
        if (flags & 2) decoration += '+';
        if (flags & 4) decoration += ' ';
        if (flags & 8) decoration += '0';
    }
    if (width) decoration += std::to_string(width);
    if (precision != 0xFF) decoration += "." + std::to_string(precision);
    return decoration;
}

std::string Decorate(const char* format, Input& in) {
    std::string decorated;
    for (const char* p = format; *p; ++p) {
        decorated += *p;
        if (*p == '%') decorated += Decoration(in, p[1]);
    }
    return decorated;
}

template <class... Args>
void CheckFormat(const char* format, Args... args) {
    StringEx text;
    text.Format(format, args...);
    const int needed = std::snprintf(nullptr, 0, format, args...);
    FUZZ_CHECK(needed >= 0);
    std::string expected(static_cast<size_t>(needed) + 1, '\0');
    std::snprintf(expected.data(), expected.size(), format, args...);
    expected.pop_back();
    FUZZ_CHECK(text.Str() == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Input in(data, size);
    const uint8_t choice = in.Byte();
    const ProgramFormat& chosen = Formats[(choice & 0x7F) % FormatCount];
    const std::string format = choice & 0x80 ? Decorate(chosen.format, in) : chosen.format;
    switch (chosen.arguments) {
    case Arguments::Text:
        CheckFormat(format.c_str(), in.Text().c_str());
        break;
    case Arguments::TwoTexts: {
        const std::string first = in.Text();
        CheckFormat(format.c_str(), first.c_str(), in.Text().c_str());
        break;
    }
    case Arguments::TextAndTwoNumbers: {
        const std::string text = in.Text();
        const int found = in.Number();
        CheckFormat(format.c_str(), text.c_str(), found, in.Number());
        break;
    }
    case Arguments::Number:
        CheckFormat(format.c_str(), in.Number());
        break;
    }
    return 0;
}
