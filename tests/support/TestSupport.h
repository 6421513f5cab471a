#pragma once
// Helpers every test may use: readable QString output in failures, a fresh
// temporary folder, and waiting on the event loop without sleeping blindly.

#include <gtest/gtest.h>

#include <QDateTime>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}
inline void PrintTo(const QDateTime& d, std::ostream* os) {
    *os << d.toString(Qt::ISODate).toStdString();
}
QT_END_NAMESPACE

namespace orlo::test {

// Runs the event loop until pred() holds or the timeout passes.
bool waitFor(const std::function<bool()>& pred, int timeoutMs = 5000);

// Reads a whole file as bytes ("" when it is missing).
QByteArray readFile(const QString& path);
void writeFile(const QString& path, const QByteArray& bytes);

}  // namespace orlo::test

namespace orlo::test {

// The error number of a failed Status or Result, 0 when it succeeded: "this
// must fail with N" in one check that also fails when the call succeeds.
template <typename R>
long failure(const R& r) {
    return r.ok() ? 0 : long(r.error().number);
}

}  // namespace orlo::test
