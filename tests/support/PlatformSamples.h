#pragma once
// Texts the tests need that differ between the systems they run on; one
// source per system.

#include <string>

// The start of an absolute directory: "/" on POSIX, "C:\" on Windows.
extern const std::string AbsoluteRoot;
// An absolute directory of the other system, which this one refuses.
extern const std::string ForeignDirectory;
// How the names a sweep matches are encoded: "UTF-8" on POSIX; on Windows
// the ANSI code page's number ("936", "932", "950", "1252").
std::string NameEncoding();
