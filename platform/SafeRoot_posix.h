#pragma once
// The root of a sweep, reached one name at a time so that no other user can
// redirect it. For the POSIX sources only.

#include "platform/Directory.h"

namespace platform {

// A descriptor of the directory `path`, open for listing; -1 with errno set
// when it cannot be opened, or -1 with `refused` set (and `refusal` filled,
// when given) when the way to it is not safe.
int OpenRootSafely(const char* path, bool& refused, RootRefusal* refusal);

}  // namespace platform
