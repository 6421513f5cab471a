#include "schedule/UpdateScheduleRecord.h"

#include "common/AddinContext.h"
#include "common/ItemHandlerSupport.h"
#include "common/SqlQuote.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "records/FieldMaps.h"

namespace orlo::schedule {

namespace {

constexpr int kRecallDueValue = 11;
constexpr int kPatientKeyValue = 14;

constexpr char16_t kUpdatePrefix[] = u"UPDATE SCHEDULED SET ";
constexpr char16_t kWhereSchedule[] = u" WHERE SCHEDULE_ID = ";

}  // namespace

bool isNoRecallDate(const QString& text) {
    return text.trimmed().isEmpty() || text == QString::fromUtf16(kNoRecallDate);
}

Result<qint32> patientKeyOf(const QString& sptid, const Locale& locale) {
    if (sptid.trimmed().isEmpty()) {
        return makeError(err::kTypeMismatch,
                         QStringLiteral("Type mismatch: the appointment has no patient number."),
                         QStringLiteral("UpdateScheduleRecord"));
    }
    ORLO_TRY_ASSIGN(const std::int32_t key, Variant(sptid).toInt32(locale));
    return qint32(key);
}

Result<QString> scheduleUpdateStatement(const QString& scheduleId, const QStringList& values,
                                        const Locale& locale) {
    ORLO_TRY_ASSIGN(const qint32 patient, patientKeyOf(values.value(kPatientKeyValue - 1), locale));
    QString sql = QString::fromUtf16(kUpdatePrefix);
    for (int p = 1; p <= records::kScheduleValueCount; ++p) {
        if (p != 1) {
            sql += QStringLiteral(", ");
        }
        const QString value = values.value(p - 1);
        QString literal;
        if (p == kRecallDueValue && isNoRecallDate(value)) {
            literal = QString::fromUtf16(kSqlNull);
        } else if (p == kPatientKeyValue) {
            literal = SqlQuote(QString::number(patient));
        } else {
            literal = SqlQuote(value);
        }
        sql += records::str(records::scheduleField(p).columnName) + QStringLiteral(" = ") + literal;
    }
    return QString(sql + QString::fromUtf16(kWhereSchedule) + scheduleId);
}

bool UpdateScheduleRecord(AddinContext& ctx, const QString& connectionString,
                          const QString& scheduleId, const QStringList& values) {
    ErrorTrap trap;  // error 5 passed over
    data::Connection conn(data::DataContext{ctx.clock, ctx.locale, ctx.databaseLockWaitMs});
    trap.step([&] { return checkKeyText(scheduleId); });
    trap.step([&] { return openJetConnection(conn, connectionString); });
    const std::optional<QString> sql =
        trap.value([&] { return scheduleUpdateStatement(scheduleId, values, ctx.locale); });
    std::optional<qint64> changed;
    if (sql) {
        changed = trap.value([&] { return conn.execute(*sql); });
    }
    if (trap.failed()) {
        // Closed before the box waits for the user.
        const ProviderErrors errors = conn.errors();
        ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
        reportUpdateError(ctx, trap.error(), errors);
        return false;
    }
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    if (changed && *changed == 0) {
        const Error gone =
            makeError(data::err::kRecordDeleted, QString::fromUtf16(kAppointmentRowGone),
                      QStringLiteral("UpdateScheduleRecord"));
        reportUpdateError(ctx, gone, asProviderErrors(gone));
        return false;
    }
    return changed.has_value();
}

}  // namespace orlo::schedule
