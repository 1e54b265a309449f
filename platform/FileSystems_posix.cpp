#include "platform/FileSystems_posix.h"

#include <algorithm>
#include <array>

namespace platform {

bool IsRemoteFileSystem(uint32_t type) {
    static constexpr std::array<uint32_t, 14> Remote = {
        0x6969,      // NFS
        0x517B,      // SMB (the old client)
        0xFF534D42,  // CIFS
        0xFE534D42,  // SMB2 and later
        0x65735546,  // FUSE (sshfs, s3fs, GlusterFS, ...)
        0x01021997,  // 9P
        0x00C36400,  // Ceph
        0x5346414F,  // AFS
        0x6B414653,  // kAFS
        0x73757245,  // Coda
        0x564C,      // NCP
        0x0BD00BD0,  // Lustre
        0x47504653,  // GPFS
        0x20030528,  // OrangeFS
    };
    return std::find(Remote.begin(), Remote.end(), type) != Remote.end();
}

}  // namespace platform
