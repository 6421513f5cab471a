#pragma once
// The "report" command of the admin tool: any report of the system to a
// PDF or CSV file, without the desk, for a scheduled job that prints the
// morning's recall lists.
//
//   orlo report NAME --db PATH [--as-of "YYYY-MM-DD HH:MM:SS"]
//               [--patient ID] [--year Y --month M] [--locale uk|us|system]
//               (--pdf FILE | --csv FILE)
//
// NAME is the report's object name (DataReport1 ... DataReport11,
// MontlyRecall) or its alias (recall-6-week, patient-list, ...); "orlo
// report" alone lists them. --as-of pins "now" for the query and the
// printed date. DataReport9 needs --patient (digits only), MontlyRecall
// --year and --month. The tool needs a GUI application object (text is
// laid out with fonts); it runs offscreen.

#include "tools/CommandGroup.h"

namespace orlo::tools {

int runReportCommand(const QStringList& args, ToolIo& io);

}  // namespace orlo::tools
