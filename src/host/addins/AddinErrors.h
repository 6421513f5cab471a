#pragma once
// Error numbers of add-in loading. They are the numbers the original
// platform gave these failures, so that a message names a familiar cause.

#include "host/HostErrors.h"

namespace orlo::host::err {

// The library file is missing or cannot be loaded ("Error in loading DLL").
inline constexpr long kErrorLoadingDll = 48;
// The library has no orlo_create_addin ("Can't find DLL entry point").
inline constexpr long kDllEntryPointNotFound = 453;
// The add-in is not in the add-in list, has no library path, or its factory
// made no object (kCannotCreateObject, 429, from platform/core/Error.h).

}  // namespace orlo::host::err
