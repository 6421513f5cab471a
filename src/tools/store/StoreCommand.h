#pragma once
// `orlo store ...`: the admin tool's commands on item store files.
//   store ls PATH                 folder tree with item counts
//   store dump PATH FOLDER        the folder's items, one JSON object a line
//   store init-addin PATH         creates the add-in's store and its folders
//   store seed PATH --contacts N --appointments M
//                                 adds synthetic patients and appointments
// `args` are the words after the program name, starting with "store" (which
// may also be left off). Returns the exit code: 0 done, 1 failed (message on
// `err`), 2 bad usage.

#include <QStringList>
#include <QTextStream>

namespace orlo::tools {

int storeCommand(const QStringList& args, QTextStream& out, QTextStream& err);

}  // namespace orlo::tools
