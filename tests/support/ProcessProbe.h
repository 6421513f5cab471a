#pragma once
// What the benchmarks ask of a running orlo-desk: a figure of its memory
// from /proc, and one automation command answered.

#include <QByteArray>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QString>
#include <cstdio>

namespace orlo::test {

// A "/proc/PID/status" figure in KB ("VmRSS:" now, "VmHWM:" the peak); 0
// when the process or the field is gone.
inline qint64 procStatusKb(qint64 pid, const QByteArray& field) {
    QFile f(QStringLiteral("/proc/%1/status").arg(pid));
    if (!f.open(QIODevice::ReadOnly)) {
        return 0;
    }
    for (const QByteArray& line : f.readAll().split('\n')) {
        if (line.startsWith(field)) {
            return line.mid(field.size()).trimmed().split(' ').value(0).toLongLong();
        }
    }
    return 0;
}

// Sends one command line and reads its one-line reply; {} after two minutes
// of silence.
inline QJsonObject askDesk(QProcess& p, const QByteArray& line) {
    p.write(line + '\n');
    while (!p.canReadLine()) {
        if (!p.waitForReadyRead(120000)) {
            std::fprintf(stderr, "no reply to %s\n", line.constData());
            return {};
        }
    }
    return QJsonDocument::fromJson(p.readLine()).object();
}

}  // namespace orlo::test
