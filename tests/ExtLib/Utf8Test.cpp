#include "ExtLib/Utf8.h"

#include <gtest/gtest.h>

#include <string_view>

namespace {

struct Case {
    std::string_view bytes;
    size_t length;
    const char* what;
};

// Each limit of the encoding from both sides: the first and last lead byte of
// every length, the overlong and out-of-range second bytes, cut and broken runs.
constexpr Case Cases[] = {
    {"a", 1, "ASCII"},
    {"\x7F", 1, "last ASCII"},
    {"\x80", 0, "a continuation byte as lead"},
    {"\xC1\xBF", 0, "overlong two-byte lead"},
    {"\xC2\x80", 2, "U+0080"},
    {"\xC3\xA9", 2, "e acute"},
    {"\xDF\xBF", 2, "U+07FF"},
    {"\xE0\x9F\xBF", 0, "overlong three-byte form"},
    {"\xE0\xA0\x80", 3, "U+0800"},
    {"\xED\x9F\xBF", 3, "U+D7FF"},
    {"\xED\xA0\x80", 0, "a surrogate"},
    {"\xEF\xBF\xBF", 3, "U+FFFF"},
    {"\xE4\xB8\xAD\xE6\x96\x87", 3, "the first of two Chinese characters"},
    {{"\xE4\xB8\xAD", 2}, 0, "cut before its last byte, which the text goes on to"},
    {"\xE4\x41\xAD", 0, "second byte no continuation"},
    {"\xE4\xB8\xC0", 0, "last byte no continuation"},
    {"\xF0\x8F\xBF\xBF", 0, "overlong four-byte form"},
    {"\xF0\x90\x80\x80", 4, "U+10000"},
    {"\xF0\x9F\x98\x80", 4, "an emoji"},
    {"\xF4\x8F\xBF\xBF", 4, "U+10FFFF"},
    {"\xF4\x90\x80\x80", 0, "beyond U+10FFFF"},
    {"\xF5\x80\x80\x80", 0, "a lead byte past the range"},
};

TEST(Utf8Length, MeasuresTheFirstCharacterOrRefusesIt) {
    for (const Case& c : Cases) EXPECT_EQ(Utf8Length(c.bytes), c.length) << c.what;
}

}  // namespace
