// The one encoding of a run's redirected lines, from what the ANSI code page
// can carry.

#include "platform/RedirectedEncoding.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

using platform::RedirectedEncoding;

TEST(RedirectedEncoding, AnsiOnlyWhereItCarriesEveryOwnWord) {
    const struct {
        const char* what;
        bool (*carries)(std::string_view);
        RedirectedEncoding chosen;
    } pages[] = {
        {"everything, as 936", [](std::string_view) { return true; }, RedirectedEncoding::Ansi},
        {"only ASCII, as 1252",
         [](std::string_view text) {
             return std::ranges::all_of(text, [](char c) { return static_cast<unsigned char>(c) < 0x80; });
         },
         RedirectedEncoding::Utf8},
        {"all but 删, as 932 and 950", [](std::string_view text) { return text.find("删") == text.npos; },
         RedirectedEncoding::Utf8},
    };
    for (const auto& page : pages) EXPECT_EQ(platform::ChooseRedirectedEncoding(page.carries), page.chosen) << page.what;
}

}  // namespace
