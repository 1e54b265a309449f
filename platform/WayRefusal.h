#pragma once
// Why the way to a path was refused, and where: the root of a sweep, or the
// settings file of an unattended run.

#include <cstdint>
#include <string>

namespace platform {

struct WayRefusal {
    enum class Reason : uint8_t {
        ForeignLink,       // a link owned neither by root nor by the owner of its directory
        UnsafeTransition,  // from a directory (or link) an unprivileged user owns into what another user owns
        TooManyLinks,      // links lead on and on (or in a circle)
        SystemRoot,        // the whole system: "/", or the root of the drive Windows runs from
        WindowsFolder,     // the folder Windows itself lives in
        // Only where nobody but root and the running user may have a say:
        ForeignOwner,         // owned by another user
        WritableByOthers,     // a file others may write
        ReplaceableByOthers,  // a directory others may write, without the sticky bit
    };
    Reason reason = Reason::ForeignLink;
    std::string component;  // the path up to the entry at fault
    uint32_t owner = 0;     // that entry's owner
    uint32_t mode = 0;      // and its permission bits
};

}  // namespace platform
