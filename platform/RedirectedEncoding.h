#pragma once
// The encoding of the lines a run writes to a file or a pipe on Windows
// (platform/Console.h). It is chosen once, before the first line, so that a
// file of one run's lines reads back in one encoding.

#include <functional>
#include <string_view>

namespace platform {

enum class RedirectedEncoding { Ansi, Utf8 };

// The program's own words, of which its lines are made around the paths.
extern const std::string_view OwnWords;

// The ANSI code page where it carries the program's own words, as on a
// Chinese server (code page 936), whose tools read their logs in it; UTF-8
// where it does not (932, 950, 1252), which keeps every word and every name.
// `carries` says whether the ANSI code page has a form for every character
// of a UTF-8 text.
RedirectedEncoding ChooseRedirectedEncoding(const std::function<bool(std::string_view)>& carries);

}  // namespace platform
