#pragma once
// How the Windows listing's values become what the sweep sees, free of system
// calls so that each decision can be checked on its own, also where a test
// system cannot make the entry (a junction under Wine).

#include <cstdint>

namespace platform {

enum class WinEntryKind : uint8_t {
    Skipped,    // a directory that is a reparse point: never entered, counted or removed
    Directory,  // a real subdirectory
    File,       // a file
    Link,       // a file that is a link (a name surrogate): deleted as the link
};

// From the entry's FILE_ATTRIBUTE_* bits and, for a reparse point, its tag.
WinEntryKind ClassifyWinEntry(uint32_t attributes, uint32_t reparseTag);

// A FILETIME count (100 ns since 1601-01-01 UTC) as seconds since 1970-01-01
// UTC, divided with truncation toward zero; 64-bit, so no year overflows.
int64_t UnixSecondsFromFileTime(int64_t fileTime);

}  // namespace platform
