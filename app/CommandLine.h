#pragma once
// How start-up reads its command line and its own location.

#include <string>

// The program's arguments (without its name) joined by single spaces.
std::string JoinArguments(int argc, const char* const* argv);

// The arguments with the switch "/metrics:DIR" (its word in any case, DIR not
// empty) taken out when it appears once, and the rest joined as above. The
// switch given twice, or without a folder, stays among the rest.
struct Arguments {
    std::string joined;
    std::string metricsDir;  // empty: no metrics file
};
Arguments SplitArguments(int argc, const char* const* argv);

enum class RunMode {
    Window,
    Silent,    // "/auto": one sweep, its summary line
    ListOnly,  // "/auto /L": what a sweep would delete and remove, touching nothing
    Verbose,   // "/auto /V": a sweep that names every matched entry's outcome
};

// With spaces around and between the words removed and letters lower-cased:
// "/auto" alone is the silent run, "/auto" then "/l" or "/v" its list-only
// and verbose forms. Anything else, a tab or another word included, selects
// the window.
RunMode SelectRunMode(const std::string& arguments);

// The directory part of an executable's path, keeping its trailing separator;
// empty when the path has no separator.
std::string DirectoryOf(const std::string& executablePath);
