#pragma once
// One command group of the admin tool `orlo` ("db", ...): its name, a line
// of help, and the function that runs "orlo <group> ARGS...". A group
// writes its results to `out`, its complaints to `err`, and returns the
// process's exit code (0 success, 1 failure, 2 bad arguments).

#include <QStringList>
#include <QTextStream>

namespace orlo::tools {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailure = 1;
inline constexpr int kExitUsage = 2;

struct ToolIo {
    QTextStream& out;
    QTextStream& err;
};

struct CommandGroup {
    const char16_t* name;
    const char16_t* summary;
    int (*run)(const QStringList& args, ToolIo& io);
};

}  // namespace orlo::tools
