#pragma once
// Whether vorn.ini says exactly what its writer meant, for a sweep that runs
// unattended and deletes. The reader drops or cuts what it cannot take (a
// blank line ends the file, long lines are split, long values cut, junk in a
// number reads as 0); the window shows the result, a scheduled run must not
// act on it.
//
// A file passes when it holds, line by line, each ended by CR LF or CR: the
// section line [vorn], comments, and the ten keys of that section at most once
// each, filepath and filename among them; a blank line only at the very end.
// No line reaches the reader's line limit, holds a zero byte or a lone LF.
// filepath is an absolute directory and filename at most as long as the reader
// keeps; the flags are true or false; expiredays is a decimal number of days
// (0 or more) and speed a decimal integer, both within int range.

#include <optional>
#include <string>
#include <string_view>

struct ConfigProblem {
    int line = 0;     // counted from 1; 0 for a key that is missing
    std::string key;  // empty when the problem is the line itself
    std::string what;

    // One line for the user, naming the line and the key.
    std::string Message() const;
};

// The first problem in file order, missing keys last; none for a sound file.
std::optional<ConfigProblem> FindConfigProblem(std::string_view bytes);

// Reads <programDir>vorn.ini and checks it; a file that cannot be read as a
// whole is a problem too.
std::optional<ConfigProblem> CheckConfigFile(const std::string& programDir);
