#pragma once
// The single-instance guard: one instance of the program per user at a time.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// A place where a guard could not be kept, and why.
struct GuardPlaceProblem {
    enum class Reason : uint8_t {
        NoDirectory,   // missing, or not a directory
        NotOwned,      // owned by another user
        OpenToOthers,  // others may write in it: they could replace what is there
        NoFile,        // no lock file of this user's alone could be made there
        NoLock,        // the file system (or the system) keeps no such lock
    };
    std::string place;
    Reason reason = Reason::NoDirectory;
};

// The identity of the file `path` leads to once links are followed, as text
// fit for a guard's name: its device and inode number; on Windows its
// volume's serial number and its file index. Two spellings of one file give
// the same text, two files never do. Empty when there is no such file.
std::string FileIdentity(const std::string& path);

// A token that only one process of the user running it (of the session on
// Windows) can hold at a time, and that no other user can take or block;
// released by the operating system however the holder ends (crash or kill
// included), never decided by a file left behind.
class InstanceGuard {
public:
    enum class Result {
        Acquired,
        Held,         // another instance holds it
        Unavailable,  // nowhere to keep it safely: Problems() says why
    };

    explicit InstanceGuard(const char* name);
    InstanceGuard(const InstanceGuard&) = delete;
    InstanceGuard& operator=(const InstanceGuard&) = delete;
    ~InstanceGuard();

    // Waits at most `waitMs` milliseconds to take the token. Once taken it is
    // held until the process ends.
    Result Acquire(int waitMs);
    // Every place passed over by the last Acquire, in the order tried.
    const std::vector<GuardPlaceProblem>& Problems() const { return problems; }

private:
    std::string name;
    // What is held or waited for: the mutex on Windows; here the lock files,
    // more than one only among the places under /tmp.
    std::vector<intptr_t> handles;
    std::vector<GuardPlaceProblem> problems;
};

}  // namespace platform
