#pragma once
// Texts the tests need that differ between the systems they run on; one
// source per system.

#include <string>

// The start of an absolute directory: "/" on POSIX, "C:\" on Windows.
extern const std::string AbsoluteRoot;
// An absolute directory of the other system, which this one refuses.
extern const std::string ForeignDirectory;
