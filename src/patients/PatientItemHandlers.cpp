#include "patients/PatientItemHandlers.h"

#include "common/AddinContext.h"
#include "common/ItemFolders.h"
#include "common/ItemHandlerSupport.h"
#include "common/PeerNotice.h"
#include "common/PendingSave.h"
#include "common/SqlQuote.h"
#include "common/StorableText.h"
#include "host/BuiltInFields.h"
#include "host/Item.h"
#include "patients/DateOfBirth.h"
#include "patients/UpdatePatientRecord.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"
#include "platform/ui/MessageBox.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"

namespace orlo::patients {

namespace {

namespace pos = records::patient;
constexpr int kFirstControlValue = pos::kLastName;  // "LastNameTextBox"

QString columnOf(int position) {
    return records::str(records::patientField(position).columnName);
}

QString str(const char16_t* s) {
    return QString::fromUtf16(s);
}

data::DataContext dataContext(const AddinContext& ctx) {
    return data::DataContext{ctx.clock, ctx.locale, ctx.databaseLockWaitMs};
}

}  // namespace

QString duplicateCheckQuery(const QString& lastName, const QString& firstName, const QString& dob) {
    return str(kDuplicateCheckSql) + SqlQuote(lastName) + str(kDuplicateCheckFirst) +
           SqlQuote(firstName) + str(kDuplicateCheckDob) + SqlQuote(dob);
}

void PatientItemHandlers::Write(host::Item& item) {
    // Only the contact being deleted can save during its own deletion; any
    // other save comes after it.
    if (m_deletionUnderWay && m_deleting.lock().get() != &item) {
        DeletionEnded();
    }
    if (!m_ctx.PatientItemSaveEnabled || !isInAddinFolder(m_ctx, item, str(kPatientsFolderName))) {
        return;
    }
    ErrorTrap trap = itemHandlerTrap();
    // The patient field values of this save: 1 is the key (known once the
    // row is found or made), 2 to 48 from the item's user properties, 49 the
    // time of this save, 50 the delete flag every save writes.
    QStringList values;
    values << QString();
    for (int p = pos::kLastName; p <= pos::kCreated; ++p) {
        values << propertyText(item, records::patientProperty(p), m_ctx, trap);
    }
    const QString modified = propertyText(item, str(host::kModifiedField), m_ctx, trap);
    values << m_ctx.locale.generalDate(m_ctx.clock.now()) << str(kDeleteFlagNo);
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kPatientSaveErrorsTitle), {}, nullptr, nullptr);
        return;
    }
    makeValuesStorable(m_ctx, item, values, pos::kLastName, pos::kCreated, 1,
                       records::patientProperty);
    const QString lastName = values.at(pos::kLastName - 1);
    const QString firstName = values.at(pos::kFirstName - 1);
    const QString typedDob = values.at(pos::kDob - 1);
    if (lastName.isEmpty() || firstName.isEmpty() || typedDob.isEmpty()) {
        return;
    }
    // Stored, matched and sent in one form; the item takes it with this save.
    const QString dob = canonicalDateOfBirth(typedDob, m_ctx.locale);
    if (dob != typedDob) {
        values[pos::kDob - 1] = dob;
        trap.step([&] {
            return item.setUserProperty(records::patientProperty(pos::kDob), Variant(dob));
        });
    }
    // A check that failed has been reported; inserting now could add the
    // patient a second time (the check may have failed on a busy file that
    // is free again for the insert).
    bool stored = false;
    if (PatientDuplicateCheck(m_ctx.DbLocation, lastName, firstName, dob)) {
        stored = PatientFound ? updatePatient(item, values, modified) : insertPatient(item, values);
    }
    FoundPatientID.clear();
    PatientFound = false;
    // A save that did not reach the database is marked on the item, so that
    // nothing read from the database overwrites what was typed; the next
    // save that gets through clears it.
    ignoreError(setPendingSave(item, !stored), "a property of the item's own save");
}

bool PatientItemHandlers::insertPatient(host::Item& item, QStringList values) {
    ErrorTrap trap = itemHandlerTrap();
    data::Connection conn(dataContext(m_ctx));
    data::Recordset rs;
    trap.step([&] { return openJetConnection(conn, m_ctx.DbLocation); });
    trap.step([&] {
        return rs.open(str(kNewPatientRowSource), conn, data::kOpenKeyset, data::kLockOptimistic);
    });
    trap.step([&] { return rs.addNew(); });
    for (int p = pos::kLastName; p <= pos::kNotes2; ++p) {
        trap.step([&] { return rs.setField(columnOf(p), Variant(values.at(p - 1))); });
    }
    const Variant now(m_ctx.clock.now());
    trap.step([&] { return rs.setField(columnOf(pos::kCreated), now); });
    trap.step([&] { return rs.setField(columnOf(pos::kLastUpdated), now); });
    trap.step([&] { return rs.setField(columnOf(pos::kDeleteFlag), Variant(str(kDeleteFlagNo))); });
    const std::optional<Variant> key = trap.value([&] { return rs.field(0); });
    const QString patientId = key ? key->text(m_ctx.locale) : QString();
    trap.step([&] { return rs.update(); });
    // Inside the item's own save: the key is stored with the item.
    trap.step([&] {
        return item.setUserProperty(records::patientProperty(pos::kPatientId), Variant(patientId));
    });
    trap.step([&] {
        return setControlValue(item, records::str(records::kPatientPage),
                               records::str(records::kPatientIdControl), Variant(patientId));
    });
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kPatientSaveErrorsTitle), conn.errors(), &rs,
                           &conn);
        return false;
    }
    rs.close();
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    values[pos::kPatientId - 1] = patientId;
    sendPeerNotice(m_ctx, peerNoticeLine(kPatientNotice, kNoticeNewRow, values));
    return true;
}

bool PatientItemHandlers::updatePatient(host::Item& item, QStringList values,
                                        const QString& modified) {
    // Last name to "Created", the "Modified" text, the delete flag.
    QStringList texts = values.mid(pos::kLastName - 1, pos::kCreated - pos::kLastName + 1);
    texts << modified << values.at(pos::kDeleteFlag - 1);
    if (!UpdatePatientRecord(m_ctx, m_ctx.DbLocation, FoundPatientID, texts)) {
        // Nothing reached the database: the peers are not told.
        return false;
    }
    // The row found is this contact's from now on: its key is stored with
    // this save, so that its open reads that row and a later change of name
    // updates it instead of adding the patient a second time.
    ErrorTrap keep = itemHandlerTrap();
    keep.step([&] {
        return item.setUserProperty(records::patientProperty(pos::kPatientId),
                                    Variant(FoundPatientID));
    });
    keep.step([&] {
        return setControlValue(item, records::str(records::kPatientPage),
                               records::str(records::kPatientIdControl), Variant(FoundPatientID));
    });
    // The notice goes out only while the database can be reached; the row
    // is written by now either way.
    ErrorTrap trap = itemHandlerTrap();
    data::Connection conn(dataContext(m_ctx));
    trap.step([&] { return openJetConnection(conn, m_ctx.DbLocation); });
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kPatientSaveErrorsTitle), conn.errors(),
                           nullptr, &conn);
        return true;
    }
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    values[pos::kPatientId - 1] = FoundPatientID;
    sendPeerNotice(m_ctx, peerNoticeLine(kPatientNotice, kNoticeChangedRow, values));
    return true;
}

bool PatientItemHandlers::PatientDuplicateCheck(const QString& connectionString,
                                                const QString& lastName, const QString& firstName,
                                                const QString& dob) {
    PatientFound = false;
    FoundPatientID.clear();
    ErrorTrap trap;  // error 5 passed over
    data::Connection conn(dataContext(m_ctx));
    data::Recordset rs;
    trap.step([&] { return openJetConnection(conn, connectionString); });
    trap.step([&] {
        return rs.open(duplicateCheckQuery(lastName, firstName, dob), conn, data::kOpenKeyset,
                       data::kLockOptimistic);
    });
    const std::optional<qint64> count = trap.value([&] { return rs.recordCount(); });
    if (count && *count >= 1) {
        const std::optional<Variant> key = trap.value([&] { return rs.field(0); });
        if (key) {
            PatientFound = true;
            FoundPatientID = key->text(m_ctx.locale);
        }
    }
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kPatientExistsErrorTitle), conn.errors(), &rs,
                           &conn);
        return false;
    }
    rs.close();
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    return true;
}

void PatientItemHandlers::Open(host::Item& item) {
    DeletionEnded();
    if (!isInAddinFolder(m_ctx, item, str(kPatientsFolderName))) {
        return;
    }
    if (hasPendingSave(item)) {
        // The database holds an older patient than the item: not read.
        reportPendingSaveOnOpen(m_ctx, QStringLiteral("patient"));
        return;
    }
    ErrorTrap trap = itemHandlerTrap();
    const QString patientId =
        propertyText(item, records::patientProperty(pos::kPatientId), m_ctx, trap);
    if (patientId.isEmpty() && !trap.failed()) {
        return;  // a new contact, not in the database yet
    }
    data::Connection conn(dataContext(m_ctx));
    data::Recordset rs;
    const std::optional<data::RowTable> rows = readItemRowOrOfferDelete(
        m_ctx, trap, item, conn, rs, str(kSelectPatient), patientId, str(kPatientDeletedText));
    DeletionEnded();  // when the user took the offer, the contact is gone by now
    if (rows) {
        auto cell = [&](int position) {
            const auto column = size_t(records::patientField(position).column);
            return column < rows->size() && !(*rows)[column].empty() ? (*rows)[column][0]
                                                                     : Variant();
        };
        // The controls of page "General" in field-map order (the last
        // name, first name, date of birth, middle name, ...), then the
        // clinical and notes values, which have no control.
        const QString page = records::str(records::kPatientPage);
        for (int p = kFirstControlValue; p <= pos::kGeneralNote; ++p) {
            trap.step([&] {
                return setControlValue(item, page, records::str(records::patientField(p).control),
                                       cell(p));
            });
        }
        for (int p = pos::kGeneralNote + 1; p <= pos::kNotes2; ++p) {
            trap.step([&] { return item.setUserProperty(records::patientProperty(p), cell(p)); });
        }
    }
    if (trap.failed()) {
        reportHandlerError(m_ctx, trap.error(), str(kPatientOpenErrorsTitle), conn.errors(), &rs,
                           &conn);
    }
}

void PatientItemHandlers::BeforeDelete(host::Item& item) {
    m_ctx.PatientItemSaveEnabled = false;
    m_deleting = item.weak_from_this();
    m_deletionUnderWay = true;
}

void PatientItemHandlers::DeletionEnded() {
    if (m_deletionUnderWay) {
        m_deletionUnderWay = false;
        m_deleting.reset();
        m_ctx.PatientItemSaveEnabled = true;
    }
}

void PatientItemHandlers::Close(host::Item& /*item*/) {
    m_deletionUnderWay = false;
    m_deleting.reset();
    m_ctx.PatientItemSaveEnabled = true;
}

}  // namespace orlo::patients
