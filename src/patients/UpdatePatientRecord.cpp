#include "patients/UpdatePatientRecord.h"

#include "common/AddinContext.h"
#include "common/ItemHandlerSupport.h"
#include "common/SqlQuote.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "records/FieldMaps.h"
#include "records/FieldPositions.h"

namespace orlo::patients {

namespace {

namespace pos = records::patient;
constexpr int kFirstWrittenValue = pos::kLastName;
constexpr int kDeleteFlagText = 48;  // its index among the texts

constexpr char16_t kUpdatePrefix[] = u"UPDATE PATIENTS SET ";
constexpr char16_t kWherePatient[] = u" WHERE PT_ID = ";

// "[LAST NAME] = " for a name with a blank, "CITY = " otherwise.
QString assignment(int position) {
    const QString column = records::str(records::patientField(position).columnName);
    const QString name =
        column.contains(QLatin1Char(' ')) ? QLatin1Char('[') + column + QLatin1Char(']') : column;
    return name + QStringLiteral(" = ");
}

}  // namespace

QString patientUpdateStatement(const QString& patientId, const QStringList& texts,
                               const QString& lastUpdated) {
    QString sql = QString::fromUtf16(kUpdatePrefix);
    for (int p = kFirstWrittenValue; p <= pos::kCreated; ++p) {
        if (p != kFirstWrittenValue) {
            sql += QStringLiteral(", ");
        }
        sql += assignment(p) + SqlQuote(texts.value(p - kFirstWrittenValue));
    }
    sql += QStringLiteral(", ") + assignment(pos::kLastUpdated) + SqlQuote(lastUpdated);
    sql += QStringLiteral(", ") + assignment(pos::kDeleteFlag) +
           SqlQuote(texts.value(kDeleteFlagText));
    return sql + QString::fromUtf16(kWherePatient) + patientId;
}

bool UpdatePatientRecord(AddinContext& ctx, const QString& connectionString,
                         const QString& patientId, const QStringList& texts) {
    ErrorTrap trap;  // error 5 passed over
    data::Connection conn(data::DataContext{ctx.clock, ctx.locale, ctx.databaseLockWaitMs});
    trap.step([&] { return checkKeyText(patientId); });
    trap.step([&] { return openJetConnection(conn, connectionString); });
    const std::optional<qint64> changed = trap.value([&] {
        return conn.execute(
            patientUpdateStatement(patientId, texts, ctx.locale.generalDate(ctx.clock.now())));
    });
    if (trap.failed()) {
        // Closed before the box waits for the user.
        const ProviderErrors errors = conn.errors();
        ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
        reportUpdateError(ctx, trap.error(), errors);
        return false;
    }
    ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    if (changed && *changed == 0) {
        const Error gone = makeError(data::err::kRecordDeleted, QString::fromUtf16(kPatientRowGone),
                                     QStringLiteral("UpdatePatientRecord"));
        reportUpdateError(ctx, gone, asProviderErrors(gone));
        return false;
    }
    return changed.has_value();
}

}  // namespace orlo::patients
