#pragma once
// The ways a database file goes wrong under a running desk, made and undone
// on a real file: moved away, read-only (the file or its folder), locked by
// another program's write transaction, overwritten with garbage, cut in
// half. Read-only means no write bit for anyone, which the data layer
// honours even for the superuser.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QFile>
#include <QFileInfo>

#include "TestSupport.h"

namespace orlo::test {

enum class Fault { Missing, ReadOnlyFile, ReadOnlyFolder, Locked, Garbage, CutInHalf };

class DatabaseFault {
public:
    DatabaseFault(QString path, Fault fault)
        : m_path(std::move(path)), m_folder(QFileInfo(m_path).absolutePath()), m_fault(fault) {}
    ~DatabaseFault() { clear(); }
    DatabaseFault(const DatabaseFault&) = delete;
    DatabaseFault& operator=(const DatabaseFault&) = delete;

    // Where the file is while the fault lasts.
    QString filePath() const { return m_fault == Fault::Missing ? away() : m_path; }

    void apply() {
        m_original = readFile(m_path);
        m_applied = true;
        switch (m_fault) {
            case Fault::Missing:
                ASSERT_TRUE(QFile::rename(m_path, away()));
                break;
            case Fault::ReadOnlyFile:
                ASSERT_TRUE(QFile::setPermissions(m_path, QFile::ReadOwner | QFile::ReadGroup));
                break;
            case Fault::ReadOnlyFolder:
                ASSERT_TRUE(QFile::setPermissions(
                    m_folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup));
                break;
            case Fault::Locked:
                ASSERT_EQ(sqlite3_open_v2(m_path.toUtf8().constData(), &m_holder,
                                          SQLITE_OPEN_READWRITE, nullptr),
                          SQLITE_OK);
                ASSERT_EQ(sqlite3_exec(m_holder, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr),
                          SQLITE_OK);
                break;
            case Fault::Garbage:
                writeFile(m_path, QByteArray(m_original.size(), 'x'));
                break;
            case Fault::CutInHalf:
                writeFile(m_path, m_original.left(m_original.size() / 2));
                break;
        }
    }

    void clear() {
        if (!std::exchange(m_applied, false)) {
            return;
        }
        if (m_fault == Fault::Missing) {
            EXPECT_TRUE(QFile::rename(away(), m_path));
        }
        QFile::setPermissions(m_path, QFile::ReadOwner | QFile::WriteOwner);
        QFile::setPermissions(m_folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        if (m_holder != nullptr) {
            sqlite3_exec(m_holder, "ROLLBACK", nullptr, nullptr, nullptr);
            sqlite3_close_v2(std::exchange(m_holder, nullptr));
        }
        if (m_fault == Fault::Garbage || m_fault == Fault::CutInHalf) {
            writeFile(m_path, m_original);
        }
    }

private:
    QString away() const { return m_path + QStringLiteral(".away"); }

    QString m_path;
    QString m_folder;
    Fault m_fault;
    QByteArray m_original;
    bool m_applied = false;
    sqlite3* m_holder = nullptr;
};

}  // namespace orlo::test
