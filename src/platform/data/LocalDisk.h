#pragma once
// Whether a database file lies on a disk of this machine rather than on a
// network share: reads of a local file may go through a memory map, which
// a network file system does not keep coherent between machines.

#include <QString>

namespace orlo::data::detail {

// False for NFS, SMB/CIFS, FUSE mounts (sshfs and the like), AFS, Ceph, 9P
// and Coda, and when the file system cannot be asked.
bool isOnLocalDisk(const QString& path);

}  // namespace orlo::data::detail
