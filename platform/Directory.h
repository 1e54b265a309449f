#pragma once
// One directory of a sweep: its listing, and deleting inside it. Everything is
// done relative to the open directory, never through a path rebuilt from
// names, so a directory swapped for a link while a sweep runs cannot lead it
// outside the tree it was given. Links are never followed below the root,
// and on the way to it only where nobody but the owner could have made them.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "platform/DosAttributes.h"
#include "platform/WayRefusal.h"

namespace platform {

enum class EntryKind : uint8_t {
    File,           // a regular file, or a link not known to lead to a directory
    Directory,      // a real subdirectory, never a link
    Special,        // a FIFO, socket or device: never to be deleted
    // A link (or junction) to a directory: never entered, counted or deleted.
    // On POSIX only a link root or the running user owns is looked through
    // to tell; another user's link is a File, whatever it leads to.
    DirectoryLink,
};

struct DirEntry {
    // Both valid until the next Next() on its directory.
    const char* name = nullptr;  // UTF-8, as the texts show it
    // As the name pattern matches it and the path limit counts it
    // (platform/Path.h, NameBytes): on Windows its bytes in the ANSI code
    // page, "?" for a character the code page lacks; elsewhere `name`.
    const char* matchName = nullptr;
    EntryKind kind = EntryKind::File;
    bool link = false;  // deleting it removes the link, never its target
};

struct EntryInfo {
    uint32_t attributes = 0;  // Attribute* bits
    int64_t lastWrite = 0;    // seconds since 1970-01-01 UTC
    uint64_t size = 0;        // bytes; read with the last-write time
};

enum class OpenResult {
    Listed,      // open; Next() yields its entries
    Unreadable,  // a directory that cannot be listed: it holds nothing for us
    NotEntered,  // no longer a directory here (gone, replaced by a link) or another mount's root
    Refused,     // the root's path passes where another user could have redirected it
    NoRoom,      // not opened: the process holds as many open files as it may
};

// What became of a deletion or removal.
enum class RemoveResult : uint8_t {
    Removed,
    Gone,      // no longer there: somebody else was first
    NotEmpty,  // a directory that still holds something
    Denied,    // no permission: rights, a read-only file system, an immutable file
    InUse,     // held by another program, or a mount point
    Failed,    // any other reason
};

// Gives a task to another thread to run soon (or runs it at once). A task that
// starts after its directory moved on to its next batch, or closed, returns
// at once.
using Executor = std::function<void(std::function<void()>)>;

// How many directories the process may hold open at once, room kept for
// everything else it opens. On POSIX the descriptor limit is first raised as
// far as the system allows (at most 65536 descriptors).
int DirectoryBudget();

class Directory {
public:
    Directory();
    ~Directory();
    Directory(const Directory&) = delete;
    Directory& operator=(const Directory&) = delete;

    // The root of a sweep, by path: Listed, Unreadable or Refused (`refusal`
    // then says why). A root that is the whole system is refused, however
    // it was spelt ("/srv/..", a link to it, "\\?\C:\"): "/" on POSIX, on
    // Windows the system drive's root and the Windows folder; other drives'
    // roots are not. On POSIX the path is followed one name at a time from
    // "/", and a link on the way only when it is root's or belongs to the
    // owner of its directory; the way never passes from a directory an
    // unprivileged user owns into one that root or another user owns. On
    // Windows a root that is a junction is followed: the owner chose it.
    OpenResult Open(const char* path, WayRefusal* refusal = nullptr);
    // The subdirectory `name` that `parent` has just listed. Never through a
    // link and never onto another mount.
    OpenResult Open(const Directory& parent, const char* name);

    // Whether the directory lies on a share or another file system whose
    // calls are answered by another machine or process: only there do more
    // workers than processors overlap the calls' waits. False where the
    // system does not tell.
    bool Remote() const;

    // The next entry. "." and ".." and entries that vanished meanwhile are
    // passed over. False at the end, on a read error, and on a directory that
    // is not Listed. On POSIX the entries are read a bounded batch ahead, and
    // in a large directory each batch is served in the order of the inode
    // numbers, which spares ext4's journal most of its work.
    bool Next(DirEntry& entry);

    // Asks ahead, on `tasks` tasks given to `run`, ReadInfo's answers about
    // the next entries of this batch not yet served (up to 1,024 at a time),
    // those that may be files and whose match name `wanted` accepts (called
    // here, on the caller's thread, once per entry). ReadInfo then answers
    // from them where they answer its question (the same attribute bits or
    // fewer, the time if it was asked), and waits only for an answer a task
    // is asking at that moment. Meant to be called after each Next: it gives
    // out the next entries once the last ones' tasks are done and half of
    // them served, and does nothing meanwhile, nor for another question than
    // the batch's first.
    // Next waits for the batch's running tasks before it reads the next
    // batch, and closing the directory waits too; a task that starts later
    // does nothing. How many entries this call set to be asked; always 0 on
    // Windows, where the listing brings the answers.
    size_t AskAhead(uint32_t attributes, bool lastWrite, const std::function<bool(const char*)>& wanted,
                    const Executor& run, int tasks);

    // What the caller asks of an entry just listed: the attribute bits it
    // cares about (each costs a call or two, so unasked bits may be missing)
    // and whether the last-write time is wanted. False when the entry is
    // found gone. (On Windows the listing brought both: nothing is looked up.)
    bool ReadInfo(const DirEntry& entry, uint32_t attributes, bool lastWrite, EntryInfo& info) const;
    // Deletes a File entry just listed, a link as a link. POSIX changes no
    // mode first; on Windows the read-only, hidden and system attributes are
    // cleared first where deletion needs it, and put back when the file stays.
    RemoveResult DeleteEntry(const DirEntry& entry) const;
    // Closes `child`, a subdirectory opened through this directory, and
    // removes it when it is empty. Safe while another thread lists this
    // directory: the name is the one `child` was opened by.
    RemoveResult RemoveSubdirectory(Directory& child) const;

private:
    struct State;
    std::unique_ptr<State> state;
};

}  // namespace platform
