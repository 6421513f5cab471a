// SettingsForm: the maintenance buttons. Each acts at once on the path typed
// in the database box, saved or not.

#include <QPointer>

#include "common/AddinContext.h"
#include "common/DatabaseLocation.h"
#include "common/ErrorReport.h"
#include "common/SqlQuote.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Compaction.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"
#include "settings/SettingsForm.h"
#include "settings/frmLoading1.h"
#include "sync/basResync.h"

namespace orlo::settings {

namespace {

constexpr char16_t kSoftwareMessageTitle[] = u"Software Message";
constexpr char16_t kSoftwareErrorTitle[] = u"Software Error";
constexpr char16_t kConnectionGoodText[] = u"Database Connection Successful!";
constexpr char16_t kConnectionBadText[] = u"The database connection could not be made.";

constexpr char16_t kConfirmResyncTitle[] = u"Software - Confirm ReSync";
constexpr char16_t kConfirmResyncText[] =
    u"Are you sure you want to ReSync all records?\rThis operation can take some time to "
    u"complete, depending on the number of records in the database.";
constexpr char16_t kUserCancelledText[] = u"User cancelled";
constexpr char16_t kUpdatingPatients[] = u"Updating Patients Folder. Please wait...";
constexpr char16_t kUpdatingScheduler[] = u"Updating Scheduler Folder. Please wait...";
constexpr char16_t kResyncCompleteText[] = u"Database ReSync Complete!";

constexpr char16_t kConfirmCompactTitle[] = u"Software - Confirm Compact";
constexpr char16_t kConfirmCompactText[] =
    u"Are you sure you want to compact the database?\rAll users must be logged out.";
constexpr char16_t kCompactedTitle[] = u"Completed";
constexpr char16_t kCompactedText[] = u"Database successfully compacted.";
constexpr char16_t kDatabaseErrorTitle[] = u"Database Error";
constexpr char16_t kInUseText[] =
    u"All users need to be out of the database before this operation is possible.";

data::DataContext dataContext(const AddinContext& ctx) {
    return data::DataContext{ctx.clock, ctx.locale};
}

void message(AddinContext& ctx, const char16_t* text, MsgIcon icon, const char16_t* title) {
    ctx.messageBoxes.show(QString::fromUtf16(text), MsgButtons::OK, icon,
                          QString::fromUtf16(title));
}

bool confirmed(AddinContext& ctx, const char16_t* text, const char16_t* title) {
    return ctx.messageBoxes.show(QString::fromUtf16(text), MsgButtons::YesNo, MsgIcon::Exclamation,
                                 QString::fromUtf16(title)) == MsgAnswer::Yes;
}

// Whether a workstation other than this one is registered: it holds the
// database open between its own operations.
Result<bool> otherWorkstations(const AddinContext& ctx, data::Connection& conn) {
    data::Recordset rs;
    ORLO_TRY(rs.open(u"SELECT IP FROM CURRENTSESSIONS WHERE IP <> " + SqlQuote(ctx.LocalIP), conn,
                     data::kOpenKeyset, data::kLockOptimistic));
    ORLO_TRY_ASSIGN(const qint64 count, rs.recordCount());
    rs.close();
    return count > 0;
}

}  // namespace

void SettingsForm::cmdTestDSN_Click() {
    data::Connection conn(dataContext(m_ctx));
    ignoreError(conn.open(connectionTestString(m_dbLocation)), "the connection's state tells");
    if (conn.state() == data::kStateOpen) {
        message(m_ctx, kConnectionGoodText, MsgIcon::Information, kSoftwareMessageTitle);
    } else {
        message(m_ctx, kConnectionBadText, MsgIcon::Critical, kSoftwareErrorTitle);
    }
    ignoreError(conn.close(), "only opened to test it");
}

void SettingsForm::cmdReSync_Click() {
    if (!confirmed(m_ctx, kConfirmResyncText, kConfirmResyncTitle)) {
        message(m_ctx, kUserCancelledText, MsgIcon::Information, kSoftwareMessageTitle);
        return;
    }
    const QString path = m_dbLocation;
    // The window may be closed while the work yields; the steps go on.
    QPointer<frmLoading1> window = frmLoading1::load();
    if (window) {
        window->setStatus(QString::fromUtf16(kUpdatingPatients));
    }
    // Each resync shows its own failure; both run, as at start-up.
    const Status patients = sync::ResyncPatients(m_ctx, path);
    if (window) {
        window->setProgress(50);
        window->setStatus(QString::fromUtf16(kUpdatingScheduler));
    }
    const Status schedules = sync::ResyncSchedules(m_ctx, path);
    if (window) {
        window->setProgress(100);
    }
    frmLoading1Close(window);
    // Completion is claimed only when both ran to their end: after a
    // failure the user has seen its box, and the folders may lack items.
    if (patients && schedules) {
        message(m_ctx, kResyncCompleteText, MsgIcon::Information, kSoftwareMessageTitle);
    }
}

void SettingsForm::cmdCompact_Click() {
    if (!confirmed(m_ctx, kConfirmCompactText, kConfirmCompactTitle)) {
        return;
    }
    // The engine rebuilds the file in place under its exclusive lock; the
    // file is never deleted or copied over, so a failure at any point
    // leaves the database as it was. There is no compaction component to
    // be missing, so no message for one.
    const data::Compaction c = data::compactDatabase(
        dataContext(m_ctx), QString::fromUtf16(kJetProvider), m_dbLocation,
        [this](data::Connection& conn) { return otherWorkstations(m_ctx, conn); });
    switch (c.outcome) {
        case data::Compaction::Outcome::Done:
            ignoreError(m_ctx.log().WriteErrorLog(
                            QStringLiteral("Database compacted: %1 (%2 bytes before, %3 after)")
                                .arg(m_dbLocation)
                                .arg(c.sizeBefore)
                                .arg(c.sizeAfter)),
                        "the compaction is done; the note is only a record");
            message(m_ctx, kCompactedText, MsgIcon::Information, kCompactedTitle);
            break;
        case data::Compaction::Outcome::InUse:
            message(m_ctx, kInUseText, MsgIcon::Critical, kDatabaseErrorTitle);
            break;
        case data::Compaction::Outcome::Failed:
            // A path that does not open, a damaged file, a full disk: said,
            // rather than passed over in silence.
            ignoreError(reportDatabaseError(c.error, QString::fromUtf16(kDatabaseErrorTitle),
                                            c.errors, m_ctx.messageBoxes, m_ctx.log()),
                        "the user has seen the box");
            break;
    }
}

}  // namespace orlo::settings
