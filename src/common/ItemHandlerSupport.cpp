#include "common/ItemHandlerSupport.h"

#include "common/AddinContext.h"
#include "common/DatabaseLocation.h"
#include "common/ErrorReport.h"
#include "host/Inspector.h"
#include "host/Item.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/DataErrors.h"
#include "platform/data/Recordset.h"
#include "platform/ui/MessageBox.h"

namespace orlo {

ErrorTrap itemHandlerTrap() {
    return ErrorTrap({err::kInvalidProcedureCall, err::kUnknownFormControl});
}

QString propertyText(const host::Item& item, const QString& name, const AddinContext& ctx,
                     ErrorTrap& trap) {
    const std::optional<Variant> v = trap.value([&] { return item.userProperty(name); });
    return v ? v->text(ctx.locale) : QString();
}

std::optional<data::RowTable> readItemRowOrOfferDelete(AddinContext& ctx, ErrorTrap& trap,
                                                       host::Item& item, data::Connection& conn,
                                                       data::Recordset& rs, const QString& select,
                                                       const QString& key,
                                                       const QString& deletedText) {
    trap.step([&] { return checkKeyText(key); });
    trap.step([&] { return openJetConnection(conn, ctx.DbLocation); });
    trap.step(
        [&] { return rs.open(select + key, conn, data::kOpenKeyset, data::kLockOptimistic); });
    const std::optional<qint64> count = trap.value([&] { return rs.recordCount(); });
    if (!count) {
        return std::nullopt;
    }
    if (*count < 1) {
        rs.close();
        ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
        const MsgAnswer answer =
            ctx.messageBoxes.show(deletedText, MsgButtons::YesNo, MsgIcon::Exclamation,
                                  QString::fromUtf16(kDeleteConfirmationTitle));
        if (answer == MsgAnswer::Yes) {
            trap.step([&] { return item.Delete(); });
        }
        return std::nullopt;
    }
    std::optional<data::RowTable> rows = trap.value([&] { return rs.getRows(); });
    if (rs.state() == data::kStateOpen) {
        rs.close();
    }
    if (conn.state() == data::kStateOpen) {
        ignoreError(conn.close(), "the routine's own outcome is what its caller hears");
    }
    return rows;
}

Status openJetConnection(data::Connection& conn, const QString& connectionString) {
    conn.setProvider(QString::fromUtf16(kJetProvider));
    return conn.open(connectionString);
}

Status checkKeyText(QStringView key) {
    bool digits = !key.isEmpty() && key.size() <= 18;
    for (const QChar c : key) {
        digits = digits && c >= QLatin1Char('0') && c <= QLatin1Char('9');
    }
    if (digits) {
        return okStatus();
    }
    return makeError(err::kTypeMismatch,
                     QStringLiteral("Type mismatch: \"%1\" is not a record key.").arg(key));
}

Result<std::shared_ptr<host::FormControl>> inspectorControl(host::Item& item, const QString& page,
                                                            const QString& control) {
    return item.GetInspector()->formControl(page, control);
}

Status setControlValue(host::Item& item, const QString& page, const QString& control,
                       const Variant& value) {
    ORLO_TRY_ASSIGN(const auto c, inspectorControl(item, page, control));
    return c->setValue(value);
}

void reportHandlerError(AddinContext& ctx, const Error& error, const QString& title,
                        const ProviderErrors& connectionErrors, data::Recordset* rs,
                        data::Connection* conn) {
    // The box waits for the user: a row started and not committed must not
    // keep the database's write lock meanwhile, or every other
    // workstation's save waits and then fails as "in use". What the log
    // needs is kept before the connection closes.
    const ProviderErrors logged = connectionErrors;
    if (rs != nullptr && rs->state() == data::kStateOpen) {
        rs->close();
    }
    if (conn != nullptr && conn->state() == data::kStateOpen) {
        ignoreError(conn->close(), "the routine's own error is what the user is shown");
    }
    ignoreError(reportDatabaseError(error, title, logged, ctx.messageBoxes, ctx.log()),
                "the box is the report; a log that cannot be written has no one left to tell");
}

void reportUpdateError(AddinContext& ctx, const Error& error,
                       const ProviderErrors& connectionErrors) {
    ctx.messageBoxes.show(errorBoxText(error), MsgButtons::OK, MsgIcon::None, QString());
    ignoreError(ctx.log().writeProviderErrors(connectionErrors),
                "the box is the report; a log that cannot be written has no one left to tell");
}

ProviderErrors asProviderErrors(const Error& error) {
    ProviderError entry;
    entry.number = error.number;
    entry.description = error.description;
    entry.source = error.source;
    return {entry};
}

}  // namespace orlo
