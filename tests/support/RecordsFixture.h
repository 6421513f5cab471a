#pragma once
// The test desk: one workstation for the patient, appointment and search
// tests: an application folder with "logs", the test database, the
// add-in's real store file ("Orlo Networked V.1" with "Patients" and
// "Scheduler"), a desk application over it, the add-in context with a pinned
// clock, day-month dates and scripted message boxes, and the add-in itself
// started on that desk: its own tracking binds the items shown in item
// windows to the handlers.

#include <QDir>
#include <QTemporaryDir>
#include <memory>
#include <optional>

#include "TestDatabases.h"
#include "addin/OutAddIn.h"
#include "common/AddinContext.h"
#include "common/basRegistry.h"
#include "host/Application.h"
#include "host/Explorer.h"
#include "host/Item.h"
#include "host/MAPIFolder.h"
#include "platform/core/Clock.h"
#include "platform/core/Locale.h"
#include "platform/registry/RegistryStore.h"
#include "platform/ui/MessageBox.h"

namespace orlo::test {

// Keeps every notice a save hands to the peers.
class RecordingPeers final : public PeerNotices {
public:
    void SendDataToAll(const QString& line) override { lines.push_back(line); }
    std::vector<QString> lines;
};

class RecordsFixture : public ::testing::Test {
protected:
    void SetUp() override;

    // A new contact in "Patients" (or `folder`) with its user properties set
    // (not saved).
    std::shared_ptr<host::Item> newPatient(const QString& last, const QString& first,
                                           const QString& dob,
                                           std::shared_ptr<host::MAPIFolder> folder = nullptr);
    // A new appointment in "Scheduler" (or `folder`) starting at `start` for
    // patient `ptId`, its other values as the form leaves them.
    std::shared_ptr<host::Item> newAppointment(const QDateTime& start, const QString& ptId,
                                               std::shared_ptr<host::MAPIFolder> folder = nullptr);
    // Opens the item's window (the add-in binds it), as a user does.
    void display(const std::shared_ptr<host::Item>& item);

    void showFolder(const std::shared_ptr<host::MAPIFolder>& folder);

    QString text(const std::shared_ptr<host::Item>& item, const QString& name) const;
    void set(const std::shared_ptr<host::Item>& item, const QString& name, const QString& value);

    // The shared database read and written with plain SQLite.
    std::optional<QString> rawValue(const QString& sql) const { return dbs.rawValue(sql); }
    qint64 rawCount(const QString& sql) const { return dbs.rawCount(sql); }
    void rawExec(const QString& sql) const { dbs.rawExec(sql); }

    QString errorLog() const;
    // Makes the database unreachable (its file moved away).
    void hideDatabase();

    TestDatabases dbs;
    QString dbPath = dbs.sharedPath();
    PinnedClock clock{naiveDateTime(QDate(2026, 3, 15), QTime(9, 30))};
    Locale locale = Locale::unitedKingdom();
    ScriptedMessageBoxes boxes;
    std::unique_ptr<RegistryStore> registryStore;
    std::unique_ptr<basRegistry> registry;
    std::unique_ptr<AddinContext> ctx;
    RecordingPeers peers;

    std::shared_ptr<host::Application> app;
    std::shared_ptr<host::MAPIFolder> patientsFolder;
    std::shared_ptr<host::MAPIFolder> schedulerFolder;
    std::shared_ptr<host::MAPIFolder> inboxLike;  // a folder of neither kind
    // Folders named "Patients" and "Scheduler" inside it, with the same forms:
    // not the add-in's.
    std::shared_ptr<host::MAPIFolder> otherPatients;
    std::shared_ptr<host::MAPIFolder> otherScheduler;
    std::shared_ptr<host::Explorer> explorer;

    std::unique_ptr<addin::OutAddIn> outAddIn;
};

}  // namespace orlo::test
