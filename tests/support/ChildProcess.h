#pragma once
// Runs a program as a scheduler or a user would, with its standard output and
// error caught in files, and waits for it. One source per system.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

struct ChildResult {
    int status = -1;
    std::string out;  // as the program wrote it (see AsPrinted)
    std::string err;
};

class ChildProcess {
public:
    enum class Display {
        None,       // as on a server: no X display; on Windows a desktop nobody sees
        Inherited,  // whatever the test itself has
    };

    struct Options {
        Display display = Display::None;
        std::filesystem::path workDir{};         // empty: where the test runs
        std::vector<std::string> environment{};  // NAME=value entries to add or replace (POSIX only)
        bool outputGone = false;                 // standard output a pipe nobody reads any more (POSIX only)
    };

    // A child still running after this long is killed and shows as killed,
    // so a program that hangs fails its test instead of stalling the suite.
    static constexpr int WaitLimitSeconds = 20;

    ChildProcess(const std::filesystem::path& exe, const std::vector<std::string>& args)
        : ChildProcess(exe, args, Options()) {}
    ChildProcess(const std::filesystem::path& exe, const std::vector<std::string>& args, const Options& options);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    ChildResult Wait();
    // Sends the signal `number` (POSIX only), as a service manager or a
    // terminal would.
    void Signal(int number);

private:
    struct State;
    std::unique_ptr<State> state;
};

// UTF-8 lines ending in "\n" as the program prints them to a file: unchanged
// on POSIX; in the ANSI code page with CR LF on Windows.
std::string AsPrinted(const std::string& lines);
