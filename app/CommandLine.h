#pragma once
// How start-up reads its command line and its own location.

#include <string>

// The program's arguments (without its name) joined by single spaces.
std::string JoinArguments(int argc, const char* const* argv);

// True when the arguments, with spaces around them removed and letters
// lower-cased, are exactly "/auto". A tab or a further argument selects the
// window instead.
bool SelectsSilentRun(const std::string& arguments);

// The directory part of an executable's path, keeping its trailing separator;
// empty when the path has no separator.
std::string DirectoryOf(const std::string& executablePath);
