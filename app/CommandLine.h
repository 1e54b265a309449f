#pragma once
// How start-up reads its command line and its own location.

#include <string>
#include <vector>

enum class RunMode {
    Window,
    Silent,    // "/auto": one sweep, its summary line
    ListOnly,  // "/auto /L": what a sweep would delete and remove, touching nothing
    Verbose,   // "/auto /V": a sweep that names every matched entry's outcome
    Check,     // "/check": the settings read and the root opened as "/auto" would, nothing swept
    Help,      // "/?", "-h", "--help": the usage
    Invalid,   // "/ini:" or "/metrics:" without its path, or given twice
};

struct CommandLine {
    RunMode mode = RunMode::Window;
    // The path after "/ini:" as given; empty for vorn.ini beside the program.
    std::string settingsPath;
    // The folder after "/metrics:", where a silent run leaves its metrics
    // file; empty for none.
    std::string metricsDir;
};

// The arguments (without the program's name, UTF-8). "/ini:PATH" and
// "/metrics:DIR" are one argument each, the switch in any case, wherever it
// stands, so that a PATH may hold spaces. The others are joined by single spaces and, with spaces
// around and between the words removed and letters lower-cased, choose the
// mode: "/auto" alone is the silent run, "/auto" then "/l" or "/v" its
// list-only and verbose forms, "/check" the check and one help word the
// usage. Anything else, a tab or another word included, selects the window.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The directory part of an executable's path, keeping its trailing separator;
// empty when the path has no separator.
std::string DirectoryOf(const std::string& executablePath);
