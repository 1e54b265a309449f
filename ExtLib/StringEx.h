#pragma once
// The program's byte string: printf-style formatting with a size estimate made
// up front, splitting at delimiter bytes, one-character trims and ASCII
// lower-casing. Texts are bytes in the system's 8-bit encoding; nothing here
// converts or interprets multi-byte characters.

#include <cstdarg>
#include <cstddef>
#include <string>
#include <vector>

class StringEx {
public:
    StringEx() = default;
    StringEx(const char* text);
    StringEx(const std::string& text);
    virtual ~StringEx() = default;

    // Replaces the content with the formatted result. Never writes past its
    // buffer: when the estimate falls short (floating conversions, "E") the
    // buffer grows to what the formatter needs.
    void Format(const char* format, ...) __attribute__((format(printf, 2, 3)));

    // The buffer size the formatter is first given, less its terminating zero.
    // Stops at the end of the format, even after a lone "%".
    static size_t EstimateLength(const char* format, va_list args);

    // Cuts at every byte of `delimiters`: "a,,b" gives a, "", b; "a," gives only a;
    // ",a" gives "", a; an empty text gives no pieces.
    std::vector<StringEx> Split(const char* delimiters) const;

    void TrimLeft(char c);
    void TrimRight(char c);
    // Only the bytes A to Z change, whatever precedes them.
    void MakeLower();

    const char* GetBuffer() const { return text.c_str(); }
    size_t GetLength() const { return text.size(); }
    const std::string& Str() const { return text; }
    bool operator==(const StringEx& other) const { return text == other.text; }

private:
    std::string text;
};
