#pragma once
// What the kind of a file system says about how its calls are answered.

#include <cstdint>

namespace platform {

// Whether a file system of this kind (statfs's f_type) sends its calls to
// another machine or process: a share, a cluster file system, a FUSE daemon.
// There a call waits for a round trip that calls made beside it can overlap;
// on a local disk it waits for the disk or the journal, which calls made
// beside it only queue for.
bool IsRemoteFileSystem(uint32_t type);

}  // namespace platform
