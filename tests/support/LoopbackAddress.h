#pragma once
// A loopback address of this test process alone (127.1.x.y from its pid and
// a counter), for a workstation's "ManualIP": tests running side by side
// never share a listener on the peer port.

#include <QCoreApplication>
#include <QString>

namespace orlo::test {

inline QString privateLoopbackAddress() {
    static int counter = 0;
    const qint64 n = (QCoreApplication::applicationPid() % 32768) * 8 + (counter++ % 8);
    return QStringLiteral("127.%1.%2.%3").arg(1 + n / 65536).arg((n / 256) % 256).arg(n % 256);
}

}  // namespace orlo::test
