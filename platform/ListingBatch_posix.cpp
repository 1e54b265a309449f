#include "platform/ListingBatch_posix.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <utility>

namespace platform {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace

bool ListingBatch::Fill(int fd) {
    listed.clear();
    names.clear();
    served = 0;
    while (!ended && listed.size() < bounds.entries && names.size() < bounds.nameBytes) {
        const dirent64* d = Read(fd);
        if (!d) ended = true;
        else if (!IsDotOrDotDot(d->d_name)) Add(*d);
    }
    if (listed.empty()) {  // the end: a directory kept open meanwhile holds no batch
        listed.shrink_to_fit();
        names.shrink_to_fit();
        raw = {};
        return false;
    }
    seen += listed.size();
    Order(seen >= bounds.sortFrom);
    return true;
}

// Subdirectories first, so that a worker hands each to another as soon as it
// has listed it, not once it has dealt with the files listed before it. Then
// by inode number, or, in a smaller directory, in the listing's order (in
// which the names were stored).
void ListingBatch::Order(bool byInode) {
    const auto key = [byInode](const Listed& entry) {
        return std::pair(entry.type != DT_DIR, byInode ? entry.inode : entry.nameAt);
    };
    const auto laterDirectory = std::adjacent_find(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) {
        return a.type != DT_DIR && b.type == DT_DIR;
    });
    if (byInode || laterDirectory != listed.end())
        std::sort(listed.begin(), listed.end(), [&key](const Listed& a, const Listed& b) { return key(a) < key(b); });
}

// Straight from the system rather than through a directory stream, which
// would first ask the descriptor's attributes to learn that it is a
// directory: a round trip for every folder on a share, and opening it as one
// made sure of it already. An error ends the listing, as it ends a stream's.
const dirent64* ListingBatch::Read(int fd) {
    constexpr size_t RawBytes = 32768;
    if (rawAt == rawEnd) {
        if (raw.empty()) raw.resize(RawBytes);
        const ssize_t got = getdents64(fd, raw.data(), raw.size());
        if (got <= 0) return nullptr;
        rawAt = 0;
        rawEnd = static_cast<size_t>(got);
    }
    const auto* d = reinterpret_cast<const dirent64*>(raw.data() + rawAt);
    rawAt += d->d_reclen;
    return d;
}

// Once the directory proves large, room for a whole batch is taken at once,
// rather than doubling past the bound.
void ListingBatch::Add(const dirent64& d) {
    if (seen + listed.size() == bounds.sortFrom) {
        listed.reserve(bounds.entries);
        names.reserve(bounds.nameBytes + NAME_MAX + 1);
    }
    const size_t length = std::strlen(d.d_name) + 1;
    listed.push_back({d.d_ino, static_cast<uint32_t>(names.size()), d.d_type});
    names.insert(names.end(), d.d_name, d.d_name + length);
}

bool ListingBatch::Take(const char*& name, unsigned char& type) {
    if (served == listed.size()) return false;
    name = Name(served);
    type = Type(served);
    ++served;
    return true;
}

}  // namespace platform
