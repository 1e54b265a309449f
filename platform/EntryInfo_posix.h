#pragma once
// What ReadInfo asks of one name in an open directory, shared by the
// directory's own reader and the tasks that ask ahead of it.

#include <cstdint>

#include "platform/Directory.h"

namespace platform {

// Whether answering needs the name's status (its mode for the read-only bit,
// or its time): one call more.
inline bool NeedsStatus(uint32_t attributes, bool lastWrite) {
    return lastWrite || (attributes & AttributeReadOnly);
}

// The asked attribute bits of `name` in the directory `dirFd` and, where
// NeedsStatus, its last-write time and size (else 0). `link` says the name
// is a link, which carries no attributes of its own. False when the name is
// gone.
bool AskEntryInfo(int dirFd, const char* name, bool link, uint32_t attributes, bool lastWrite, EntryInfo& info);

}  // namespace platform
