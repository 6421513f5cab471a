#pragma once
// Runs a program of the build to its end: how it ended and what it printed.

#include <QString>
#include <QStringList>

namespace orlo::test {

// -1: it did not end in time; -2: it crashed.
struct ProgramRun {
    int code = -1;
    QString out;
    QString err;
};
ProgramRun runProgram(const QString& program, const QStringList& args, int timeoutMs = 120000);

}  // namespace orlo::test
