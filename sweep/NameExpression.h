#pragma once
// A pattern's expression spelt as the names it is matched against are
// (platform::NameBytes), written so that it matches whole characters of
// them (platform/NameCharacters.h) though the library matches bytes.
//
// The library calls back before every item of the expression (automatic
// callouts) and the matcher then asks that the name's position begin a
// character; the expression is written for that check:
// - a multibyte character is a group of its bytes, so that a repeat takes it
//   whole, and the items of its later bytes are marked `inside`;
// - a character class that holds multibyte characters becomes an alternation
//   of them (a negated one: a look-ahead that refuses them, then one whole
//   character); a range with a multibyte end is refused, for the code page's
//   order of characters is no order the pattern's writer could see;
// - "." is one whole character;
// - "\C", which a wildcard's "?" becomes, stays one byte, and so does "\C*",
//   a wildcard's "*": no boundary is asked before them, only before what
//   follows them.

#include <string>
#include <string_view>
#include <vector>

struct NameExpression {
    // The callouts the text holds besides the automatic ones.
    static constexpr int InsideCallout = 254;    // passes only inside a character
    static constexpr int BoundaryCallout = 253;  // passes only where one begins
    static constexpr int AutomaticCallout = 255;

    std::string text;
    // One entry for each offset of `text` and its end: 1 where an item
    // begins that may begin inside a character.
    std::vector<char> inside;
    // Why the expression cannot be matched on whole characters; empty when it can.
    std::string refusal;
};

// `expression` in UTF-8, as BuildExpression gives it.
NameExpression ExpressionForNames(const std::string& expression, bool regex);

// One entry for each offset of `name` and its end: 1 where a character
// begins (or the name ends).
void CharacterStarts(std::string_view name, std::vector<char>& starts);
