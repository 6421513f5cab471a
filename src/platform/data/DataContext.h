#pragma once
// What a connection needs from the workstation: the clock that "Now" reads
// and the regional settings that date texts are read and shown in. Both are
// owned by the caller and must outlive every connection made with them.
// Connections to a server may share a pool of open server connections.

#include <memory>

namespace orlo {
class Clock;
class Locale;
}  // namespace orlo

namespace orlo::data {

class ConnectionPool;

// How long a statement waits for another program's lock on the database
// before it fails as "in use", unless the context names its own wait.
inline constexpr int kDefaultLockWaitMs = 3000;

struct DataContext {
    const Clock& clock;
    const Locale& locale;
    // The wait for a lock held by another program; 0: kDefaultLockWaitMs.
    int lockWaitMs = 0;
    // Where a connection takes its server connection or file handle from
    // and gives it back to when it closes; none: each opens and closes its
    // own.
    std::shared_ptr<ConnectionPool> connectionPool{};
};

}  // namespace orlo::data
