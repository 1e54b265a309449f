#include "ExtLib/StringEx.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>

StringEx::StringEx(const char* text) : text(text) {}

StringEx::StringEx(const std::string& text) : text(text) {}

namespace {

// Reads a decimal number and moves past its digits.
int ReadNumber(const char*& p) {
    int value = 0;
    while (*p >= '0' && *p <= '9') value = value * 10 + (*p++ - '0');
    return value;
}

// The length one conversion is expected to need; consumes its arguments.
size_t EstimateItem(const char*& p, va_list& args) {
    size_t total = 0;
    int width = 0;
    for (; *p && std::strchr("#*-+0 ", *p); ++p) {
        if (*p == '#') total += 2;
        if (*p == '*') width = va_arg(args, int);
    }
    if (width == 0) width = ReadNumber(p);
    int precision = 0;
    if (*p == '.') {
        ++p;
        if (*p == '*') {
            precision = va_arg(args, int);
            ++p;
        } else {
            precision = ReadNumber(p);
        }
    }
    // Every length letter is passed over ("%llu" has two): a conversion read
    // as the letter after the first would leave the arguments out of step.
    bool wide = false;
    for (; *p && std::strchr("FLNhljztq", *p); ++p) wide = wide || std::strchr("ljztq", *p);
    const char conversion = *p;
    if (conversion == '\0') return total;
    ++p;
    const size_t numeric = std::max(32, width + precision);
    size_t item = 0;
    switch (conversion) {
    case 'c': case 'C':
        va_arg(args, int);
        item = 2;
        break;
    case 's': case 'S':
        item = std::max<size_t>(std::strlen(va_arg(args, const char*)), 1);
        break;
    case 'd': case 'i': case 'o': case 'u': case 'x': case 'X':
        if (wide) va_arg(args, long long);
        else va_arg(args, int);
        return total + numeric;
    case 'e': case 'f': case 'g': case 'G':
        va_arg(args, double);
        return total + numeric;
    case 'E':
        // Not counted, but the argument is taken so that later ones stay in step.
        va_arg(args, double);
        return total;
    case 'p':
        va_arg(args, void*);
        return total + numeric;
    case 'n':
        va_arg(args, void*);
        return total;
    default:
        return total;
    }
    item = std::max<size_t>(item, std::max(width, 0));
    if (precision > 0 && static_cast<size_t>(precision) <= item) item = precision;
    return total + item;
}

}  // namespace

size_t StringEx::EstimateLength(const char* format, va_list args) {
    va_list walk;
    va_copy(walk, args);
    size_t total = 0;
    for (const char* p = format; *p;) {
        if (*p != '%') {
            ++total;
            ++p;
        } else if (p[1] == '%') {
            ++total;
            p += 2;
        } else {
            ++p;
            total += EstimateItem(p, walk);
        }
    }
    va_end(walk);
    return total;
}

void StringEx::Format(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::vector<char> buffer(EstimateLength(format, args) + 1);
    va_list pass;
    va_copy(pass, args);
    const int needed = std::vsnprintf(buffer.data(), buffer.size(), format, pass);
    va_end(pass);
    if (needed >= 0 && static_cast<size_t>(needed) >= buffer.size()) {
        buffer.resize(static_cast<size_t>(needed) + 1);
        va_copy(pass, args);
        std::vsnprintf(buffer.data(), buffer.size(), format, pass);
        va_end(pass);
    }
    va_end(args);
    text = needed < 0 ? std::string() : std::string(buffer.data());
}

std::vector<StringEx> StringEx::Split(const char* delimiters) const {
    std::vector<StringEx> pieces;
    const size_t delimiterCount = std::strlen(delimiters);
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        for (size_t d = 0; d < delimiterCount; ++d) {
            if (text[i] != delimiters[d]) continue;
            // The start moves past this byte, so a delimiter listed twice
            // cannot cut a second, empty piece here.
            if (start <= i) pieces.emplace_back(text.substr(start, i - start));
            start = i + 1;
        }
    }
    if (start < text.size()) pieces.emplace_back(text.substr(start));
    return pieces;
}

void StringEx::TrimLeft(char c) {
    text.erase(0, std::min(text.find_first_not_of(c), text.size()));
}

void StringEx::TrimRight(char c) {
    const size_t last = text.find_last_not_of(c);
    text.erase(last == std::string::npos ? 0 : last + 1);
}

void StringEx::MakeLower() {
    for (char& c : text) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
}
