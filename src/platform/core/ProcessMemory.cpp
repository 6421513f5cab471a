#include "platform/core/ProcessMemory.h"

#include <cstdlib>  // defines __GLIBC__ on glibc

#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace orlo {

bool keepFreedMemoryForReuse() {
#if defined(__GLIBC__)
    // Setting either value also stops glibc's own adjustment of the
    // mapping limit, so both are set.
    return mallopt(M_TRIM_THRESHOLD, kKeptFreeMemoryBytes) == 1 &&
           mallopt(M_MMAP_THRESHOLD, kHeapBlockLimitBytes) == 1;
#else
    return false;
#endif
}

}  // namespace orlo
