#include "platform/ListingBatch_posix.h"

#include <algorithm>
#include <climits>
#include <cstring>

namespace platform {

namespace {

bool IsDotOrDotDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

}  // namespace

bool ListingBatch::Fill(DIR* stream) {
    listed.clear();
    names.clear();
    served = 0;
    while (!ended && listed.size() < bounds.entries && names.size() < bounds.nameBytes) {
        const dirent* d = readdir(stream);
        if (!d) ended = true;
        else if (!IsDotOrDotDot(d->d_name)) Add(*d);
    }
    if (listed.empty()) {  // the end: a directory kept open meanwhile holds no batch
        listed.shrink_to_fit();
        names.shrink_to_fit();
        return false;
    }
    seen += listed.size();
    if (seen >= bounds.sortFrom)
        std::sort(listed.begin(), listed.end(), [](const Listed& a, const Listed& b) { return a.inode < b.inode; });
    return true;
}

// Once the directory proves large, room for a whole batch is taken at once,
// rather than doubling past the bound.
void ListingBatch::Add(const dirent& d) {
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
