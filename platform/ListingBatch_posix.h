#pragma once
// A directory's entries read a bounded batch ahead, each batch's
// subdirectories first. In a large directory the rest of a batch is served in
// the order of the entries' inode numbers: deleting in that order, ext4
// touches its inode table, bitmaps and journal in far fewer places than in
// the listing's (hash) order, and waits far less on the journal.

#include <cstddef>
#include <cstdint>
#include <dirent.h>
#include <vector>

namespace platform {

// How far a batch reads ahead, and from what size of directory it is sorted.
struct ListingBounds {
    // Memory: 16 bytes an entry (inode, where the name lies, type) and the
    // names, at most `entries` entries and `nameBytes` (+ one name's overrun)
    // of names: 40 bytes an entry, 2.5 MiB a batch, held by every open
    // directory of more than `sortFrom` entries; a smaller one holds what it
    // has. 65,536 entries spare a folder of 200,000 files on ext4 most of the
    // journal's checkpoints (bench/README.md); fewer spare little.
    size_t entries = 65536;
    size_t nameBytes = 65536 * 24;
    // As find does: below it the order costs the file system next to nothing,
    // and the listing's order is kept.
    size_t sortFrom = 10000;
};

class ListingBatch {
public:
    explicit ListingBatch(const ListingBounds& bounds = {}) : bounds(bounds) {}

    // Reads the next batch from the directory open as `fd`, once the last is
    // served. False when the directory had nothing more (or could not be read
    // further).
    bool Fill(int fd);
    // The next entry of the batch: false once the batch is served.
    bool Take(const char*& name, unsigned char& type);

    size_t Size() const { return listed.size(); }
    size_t Served() const { return served; }
    const char* Name(size_t at) const { return names.data() + listed[at].nameAt; }
    unsigned char Type(size_t at) const { return listed[at].type; }

private:
    struct Listed {
        uint64_t inode;
        uint32_t nameAt;  // in `names`
        unsigned char type;
    };
    // The next entry the system lists, read a buffer at a time; null at the
    // end.
    const dirent64* Read(int fd);
    void Add(const dirent64& d);
    void Order(bool byInode);

    const ListingBounds bounds;
    std::vector<Listed> listed;
    std::vector<char> names;  // each NUL-terminated
    // What the system listed and the batch has not taken yet: 32 KiB while
    // the directory is read, as a directory stream holds.
    std::vector<char> raw;
    size_t rawAt = 0, rawEnd = 0;
    size_t served = 0;
    size_t seen = 0;  // entries of the directory listed so far, batches before included
    bool ended = false;
};

}  // namespace platform
