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

    ChildProcess(const std::filesystem::path& exe, const std::vector<std::string>& args,
                 Display display = Display::None);
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    ChildResult Wait();

private:
    struct State;
    std::unique_ptr<State> state;
};

// UTF-8 lines ending in "\n" as the program prints them to a file: unchanged
// on POSIX; in the ANSI code page with CR LF on Windows.
std::string AsPrinted(const std::string& lines);
