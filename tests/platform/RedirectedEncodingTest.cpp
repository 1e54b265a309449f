// The one encoding of a run's redirected lines, from what the ANSI code page
// can carry.

#include "platform/RedirectedEncoding.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using platform::RedirectedEncoding;

bool Ascii(std::string_view text) {
    for (const char c : text)
        if (static_cast<unsigned char>(c) >= 0x80) return false;
    return true;
}

TEST(RedirectedEncoding, AnsiOnlyWhereItCarriesEveryOwnWord) {
    const struct {
        const char* what;
        std::function<bool(std::string_view)> carries;
        RedirectedEncoding chosen;
    } pages[] = {
        {"everything, as 936", [](std::string_view) { return true; }, RedirectedEncoding::Ansi},
        {"only ASCII, as 1252", Ascii, RedirectedEncoding::Utf8},
        {"all but 删, as 932 and 950",
         [](std::string_view text) { return std::string_view(text).find("删") == std::string_view::npos; },
         RedirectedEncoding::Utf8},
    };
    for (const auto& page : pages) EXPECT_EQ(platform::ChooseRedirectedEncoding(page.carries), page.chosen) << page.what;
    EXPECT_NE(platform::OwnWords.find("删除"), std::string_view::npos);
}

}  // namespace
