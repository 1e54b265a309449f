#pragma once
// One directory of a sweep: its listing, and deleting inside it. Everything is
// done relative to the open directory, never through a path rebuilt from
// names, so a directory swapped for a link while a sweep runs cannot lead it
// outside the tree it was given. Links are never followed below the root.

#include <cstdint>
#include <memory>

#include "platform/DosAttributes.h"

namespace platform {

enum class EntryKind : uint8_t {
    File,       // a regular file, or a link that does not lead to a directory
    Directory,  // a real subdirectory, never a link
    Special,    // a FIFO, socket or device: never to be deleted
};

struct DirEntry {
    const char* name = nullptr;  // valid until the next Next() on its directory
    EntryKind kind = EntryKind::File;
    bool link = false;  // deleting it removes the link, never its target
};

struct EntryInfo {
    uint32_t attributes = 0;  // Attribute* bits
    int64_t lastWrite = 0;    // seconds since 1970-01-01 UTC
};

enum class OpenResult {
    Listed,      // open; Next() yields its entries
    Unreadable,  // a directory that cannot be listed: it holds nothing for us
    NotEntered,  // no longer a directory here (gone, replaced by a link) or another mount's root
};

class Directory {
public:
    Directory();
    ~Directory();
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    // The root of a sweep, by path. A root that is itself a link is followed,
    // here and only here. Listed or Unreadable.
    OpenResult Open(const char* path);
    // The subdirectory `name` that `parent` has just listed. Never through a
    // link and never onto another mount.
    OpenResult Open(const Directory& parent, const char* name);

    // The next entry. "." and "..", links to directories and entries that
    // vanished meanwhile are passed over. False at the end, on a read error,
    // and on a directory that is not Listed.
    bool Next(DirEntry& entry);

    // What the caller asks of an entry just listed: the attribute bits it
    // cares about (each costs a call or two, so unasked bits may be missing)
    // and whether the last-write time is wanted. False when the entry is
    // found gone. (On Windows the listing brought both: nothing is looked up.)
    bool ReadInfo(const DirEntry& entry, uint32_t attributes, bool lastWrite, EntryInfo& info) const;
    // Deletes a File entry just listed, a link as a link. False when nothing
    // was deleted, "already gone" included. POSIX changes no mode first; on
    // Windows the read-only, hidden and system attributes are cleared first
    // where deletion needs it, and put back when the file stays.
    bool DeleteEntry(const DirEntry& entry) const;
    // Removes the subdirectory `name` when it is empty; its own Directory must
    // be closed (destroyed) first. False when it stays.
    bool RemoveEmptySubdirectory(const char* name) const;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace platform
