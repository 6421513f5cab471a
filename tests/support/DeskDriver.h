#pragma once
// An orlo-desk process in automation for the road tests: commands written
// as JSON lines, replies read one by one in the order the commands went.

#include <gtest/gtest.h>

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStringList>
#include <utility>
#include <vector>

#include "DeskTestStore.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::test {

class DeskDriver {
public:
    ~DeskDriver() {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished(5000);
        }
    }
    bool start(const QString& binary, const desk::test::DeskTestStore& s,
               const QStringList& extra = {}) {
        m_process.start(binary,
                        QStringList{u"--automation"_s, u"--appdir"_s, s.appDir, u"--registry"_s,
                                    s.registryFile, u"--locale"_s, u"uk"_s} +
                            extra);
        return m_process.waitForStarted(10000);
    }
    // Writes a command without waiting for its reply.
    void send(const char* name, QJsonObject fields = {}) {
        fields.insert(u"cmd"_s, QString::fromLatin1(name));
        sendLine(QJsonDocument(fields).toJson(QJsonDocument::Compact), QString::fromLatin1(name));
    }
    void sendLine(const QByteArray& line, const QString& name = {}) {
        m_process.write(line + '\n');
        m_sent << (name.isEmpty() ? QString::fromUtf8(line) : name);
    }
    // The reply to the oldest command not answered yet, "ok" expected as
    // given.
    QJsonObject reply(bool ok = true) {
        const QString name = m_sent.isEmpty() ? QString() : m_sent.takeFirst();
        while (!m_process.canReadLine()) {
            if (!m_process.waitForReadyRead(30000)) {
                ADD_FAILURE() << "no reply to " << name.toStdString()
                              << "; stderr: " << m_process.readAllStandardError().toStdString();
                return {};
            }
        }
        const QByteArray line = m_process.readLine();
        const QJsonDocument answer = QJsonDocument::fromJson(line);
        EXPECT_TRUE(answer.isObject()) << line.toStdString();
        EXPECT_EQ(answer.object().value(u"ok"_s).toBool(), ok)
            << name.toStdString() << " -> " << line.toStdString();
        return answer.object();
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
    QJsonObject refused(const char* name, QJsonObject fields = {}) {
        send(name, std::move(fields));
        return reply(false);
    }
    bool awaitingReplies() const { return !m_sent.isEmpty(); }
    // The exit code once the process ended by itself, or -1.
    int waitForExit() {
        return m_process.waitForFinished(20000) && m_process.exitStatus() == QProcess::NormalExit
                   ? m_process.exitCode()
                   : -1;
    }
    bool running() const { return m_process.state() == QProcess::Running; }
    void closeInput() { m_process.closeWriteChannel(); }
    // The message boxes shown so far, as "title|text" (and forgotten when
    // `clear`).
    QStringList boxTexts(bool clear = false) {
        QStringList out;
        for (const QJsonValue& b :
             ok("messageBoxes", {{u"clear"_s, clear}}).value(u"boxes"_s).toArray()) {
            out << b[u"title"_s].toString() + u'|' + b[u"text"_s].toString();
        }
        return out;
    }

private:
    QProcess m_process;
    QStringList m_sent;
};

// A command's fields naming item `id`.
inline QJsonObject itemFields(const QString& id, QJsonObject fields = {}) {
    fields.insert(u"id"_s, id);
    return fields;
}

// A "set" command's fields: what a user types into controls of one page of
// item `id`'s window, in order.
inline QJsonObject typedOnPage(const QString& id, const char* page,
                               const std::vector<std::pair<const char*, QString>>& typed) {
    QJsonArray controls;
    for (const auto& [name, value] : typed) {
        controls.append(QJsonObject{{u"page"_s, QString::fromLatin1(page)},
                                    {u"control"_s, QString::fromLatin1(name)},
                                    {u"value"_s, value}});
    }
    return itemFields(id, {{u"controls"_s, controls}});
}

}  // namespace orlo::test
