#include "platform/data/LocalDisk.h"

#include <sys/vfs.h>

#include <array>

namespace orlo::data::detail {

namespace {

// statfs(2) f_type of the network and user-space file systems.
constexpr std::array<unsigned long, 10> kRemoteFileSystems = {
    0x6969UL,      // NFS
    0x517BUL,      // SMB
    0xFF534D42UL,  // CIFS
    0xFE534D42UL,  // SMB2
    0x65735546UL,  // FUSE
    0x5346414FUL,  // AFS
    0x00C36400UL,  // Ceph
    0x01021997UL,  // 9P
    0x73757245UL,  // Coda
    0x47504653UL,  // GPFS
};

}  // namespace

bool isOnLocalDisk(const QString& path) {
    struct statfs fs {};
    if (statfs(path.toLocal8Bit().constData(), &fs) != 0) {
        return false;
    }
    const auto type = static_cast<unsigned long>(fs.f_type) & 0xFFFFFFFFUL;
    for (const unsigned long remote : kRemoteFileSystems) {
        if (type == remote) {
            return false;
        }
    }
    return true;
}

}  // namespace orlo::data::detail
