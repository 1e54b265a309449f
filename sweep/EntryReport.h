#pragma once
// What a sweep did with each entry whose name matched, and with each
// directory it removed or could not search: the lines of the list-only and
// verbose runs. Called on the sweep's thread, in the order of the sweep;
// paths are those the progress texts show.

#include <cstddef>
#include <cstdint>
#include <string>

enum class EntryOutcome : uint8_t {
    Deleted,         // a file deleted (in a list-only run: that would be)
    Removed,         // a directory the sweep emptied, removed (would be)
    SparedSystem,    // kept by a filter: its attribute
    SparedReadOnly,
    SparedHidden,
    TooRecent,       // kept by the age limit
    Special,         // a FIFO, socket or device: never deleted
    Denied,          // the deletion or removal failed: no permission
    InUse,           // held by another program
    Gone,            // no longer there when its turn came
    Failed,          // any other reason
    Unreadable,      // a subdirectory that could not be listed
    NoRoom,          // one not opened: the process held as many open files as it may
    Overlong,        // a subdirectory skipped for the path limit
    Unmatched,       // a file whose match the library gave up on (its limits)
};
// How many outcomes there are: one past the last above, which it must stay.
constexpr size_t EntryOutcomeCount = static_cast<size_t>(EntryOutcome::Unmatched) + 1;

class EntryReport {
public:
    virtual ~EntryReport() = default;
    // `directory` tells a directory's line from a file's.
    virtual void Entry(EntryOutcome outcome, const std::string& path, bool directory) = 0;
};
