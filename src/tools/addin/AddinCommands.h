#pragma once
// The "addin" command group of the admin tool:
//   orlo addin register APPDIR [--registry FILE]
//       lists the add-in "OrlonetPROv1.Connect" with APPDIR/liborlo.so in
//       the desk's add-in list, to load at start-up. An entry already
//       there gets the new path and keeps its load behaviour, so that an
//       add-in the user switched off stays off.
//   orlo addin list [--registry FILE]
//       one line per listed add-in: ProgId, LoadBehavior, path.
// The settings file is the user's own (or ORLO_REGISTRY_FILE) unless
// --registry names another.

#include "tools/CommandGroup.h"

namespace orlo::tools {

inline constexpr QStringView kAddinLibraryName = u"liborlo.so";
inline constexpr QStringView kAddinFriendlyName = u"Orlo";

int runAddinCommands(const QStringList& args, ToolIo& io);

}  // namespace orlo::tools
