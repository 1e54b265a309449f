#include "platform/WinEntryRules.h"

#include <windows.h>

namespace platform {

namespace {

constexpr int64_t FileTimeAt1970 = 116444736000000000;
constexpr int64_t FileTimePerSecond = 10000000;

}  // namespace

// Any directory that is a reparse point leads elsewhere or is not plainly
// ours (a junction, a directory link, a volume mount point, a cloud
// placeholder): the sweep stays out of all of them. Wine reports a tag of 0
// for a Unix link; the attribute alone decides.
WinEntryKind ClassifyWinEntry(uint32_t attributes, uint32_t reparseTag) {
    const bool reparse = attributes & FILE_ATTRIBUTE_REPARSE_POINT;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return reparse ? WinEntryKind::Skipped : WinEntryKind::Directory;
    return reparse && IsReparseTagNameSurrogate(reparseTag) ? WinEntryKind::Link : WinEntryKind::File;
}

int64_t UnixSecondsFromFileTime(int64_t fileTime) { return (fileTime - FileTimeAt1970) / FileTimePerSecond; }

}  // namespace platform
