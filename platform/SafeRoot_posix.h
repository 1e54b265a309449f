#pragma once
// The root of a sweep, or a settings file, reached one name at a time so
// that no other user can redirect it. For the POSIX sources only.

#include "platform/WayRefusal.h"

#include <sys/types.h>

namespace platform {

// Owners whose directories and links may lead anywhere: the superuser, and
// the user running the process, who can only reach what it may anyway.
bool TrustedOwner(uid_t owner);

// A descriptor of the directory `path`, open for listing; -1 with errno set
// when it cannot be opened, or -1 with `refused` set (and `refusal` filled,
// when given) when the way to it is not safe.
int OpenRootSafely(const char* path, bool& refused, WayRefusal* refusal);

// A descriptor of the regular file `path`, open for reading, where nobody but
// root and the running user could have chosen what it holds: the file, every
// directory and link on the way are theirs, the file is writable by nobody
// else, and a directory others may write has the sticky bit. -1 as above.
int OpenOwnFileSafely(const char* path, bool& refused, WayRefusal* refusal);

}  // namespace platform
