#pragma once
// Path conventions of the platform.

#include <string>

namespace platform {

// The separator between a directory and a name ("/" here, "\" on Windows).
extern const char PathSeparator;

// True when the text names a directory from the root of a file system: a
// leading "/" here; on Windows a drive's root or a folder below it ("D:\",
// "D:\logs") or a share ("\\server\share\logs"). Nothing is checked on disk.
bool IsAbsoluteDirectory(const std::string& path);

// The directory a sweep's root names, as the system opens it, for the sweep
// to open and to name in what it prints: on Windows "." and ".." resolved,
// "/" turned into "\" and the dots and spaces that end the last name
// dropped, as the system drops them ("D:\logs " opens "D:\logs"); the path
// itself where that cannot be done, and elsewhere, where the sweep follows
// the path name by name.
std::string ResolvedDirectory(const std::string& path);

// A file's path given on the command line, as the program then uses it
// wherever its working directory goes: kept when absolute (as above),
// otherwise put after the working directory. Empty when it cannot be: the
// working directory is unknown, or, on Windows, the path leaves the drive or
// its folder to whatever is current when used ("D:web.ini", "\conf\web.ini").
std::string FromWorkingDirectory(const std::string& path);

// A UTF-8 text as file names are matched and paths measured: on Windows its
// bytes in the system's ANSI code page, as the system's ANSI functions give
// names (a character the code page lacks becomes "?"); elsewhere the text
// itself.
std::string NameBytes(const std::string& text);

}  // namespace platform
