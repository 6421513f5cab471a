#pragma once
// An orlo-desk process in automation for the road tests: commands written
// as JSON lines, replies read one by one in the order the commands went.

#include <gtest/gtest.h>

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>

namespace orlo::test {

class DeskDriver {
public:
    ~DeskDriver() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool start(const QString& binary, const QString& appDir, const QString& registryFile) {
        m_process.start(binary, {QStringLiteral("--automation"), QStringLiteral("--appdir"), appDir,
                                 QStringLiteral("--registry"), registryFile,
                                 QStringLiteral("--locale"), QStringLiteral("uk")});
        return m_process.waitForStarted(10000);
    }
    // Writes a command without waiting for its reply.
    void send(const char* name, QJsonObject fields = {}) {
        fields.insert(QStringLiteral("cmd"), QString::fromLatin1(name));
        m_process.write(QJsonDocument(fields).toJson(QJsonDocument::Compact) + '\n');
        m_sent << QString::fromLatin1(name);
    }
    // The reply to the oldest command not answered yet, "ok" expected.
    QJsonObject reply() {
        const QString name = m_sent.isEmpty() ? QString() : m_sent.takeFirst();
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                ADD_FAILURE() << "no reply to " << name.toStdString()
                              << "; stderr: " << m_process.readAllStandardError().toStdString();
                return {};
            }
        }
        const QByteArray line = m_process.readLine();
        const QJsonObject answer = QJsonDocument::fromJson(line).object();
        EXPECT_TRUE(answer.value(QStringLiteral("ok")).toBool())
            << name.toStdString() << " -> " << line.toStdString();
        return answer;
    }
    QJsonObject ok(const char* name, QJsonObject fields = {}) {
        send(name, std::move(fields));
        return reply();
    }
    // SIGKILL: the desk dies without shutting down.
    void kill() {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    int waitForExit() { return m_process.waitForFinished(20000) ? m_process.exitCode() : -1; }

private:
    QProcess m_process;
    QStringList m_sent;
};

}  // namespace orlo::test
