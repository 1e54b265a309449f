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

//
// Before the lines, the file's form is checked, as editors get it wrong: a
// byte-order mark, UTF-16, LF line ends. (On Windows a file saved as UTF-8
// with its mark is put into the ANSI code page before it is checked, and one
// saved without it refused where that can be told: config/ConfigFile.h.)

#include <optional>
#include <string>
#include <string_view>
#include <utility>

struct ConfigFile;

struct ConfigProblem {
    ConfigProblem(int line, std::string key, std::string what)
        : line(line), key(std::move(key)), what(std::move(what)) {}

    int line = 0;      // counted from 1; 0 for the file as a whole or a key that is missing
    std::string key;   // empty when the problem is the line or the file itself
    std::string what;  // the reason, for the user
    std::string path;  // the file's full path, once known

    // Where and what: the path, then the line and the key when there are some.
    std::string Detail() const;
    // One line for the user: that the file is at fault, then the detail.
    std::string Message() const;
};

// The first problem in file order, the file's form first and missing keys
// last; none for a sound file. The path is left empty.
std::optional<ConfigProblem> FindConfigProblem(std::string_view bytes);

// The file as read: one that could not be read whole is a problem too.
std::optional<ConfigProblem> CheckConfig(const ConfigFile& file);
