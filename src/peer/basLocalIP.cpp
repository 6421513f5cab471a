#include "peer/basLocalIP.h"

#include "common/AddinContext.h"
#include "common/ErrorReport.h"
#include "common/ItemHandlerSupport.h"
#include "common/SqlQuote.h"
#include "platform/core/ErrorTrap.h"
#include "platform/data/Connection.h"
#include "platform/data/Recordset.h"

namespace orlo::peer {

namespace {

data::DataContext dataContext(const AddinContext& ctx) {
    return data::DataContext{ctx.clock, ctx.locale};
}

void report(AddinContext& ctx, const Error& error, const char16_t* title, data::Connection& conn) {
    ignoreError(conn.close(), "the error being reported is what matters");
    ignoreError(reportDatabaseError(error, QString::fromUtf16(title), conn.errors(),
                                    ctx.messageBoxes, ctx.log()),
                "the user has seen the box");
}

QString deleteStatement(const QString& ip) {
    return u"DELETE FROM CURRENTSESSIONS WHERE IP = '" + ip + u"'";
}

}  // namespace

void RegisterSession(AddinContext& ctx, const QString& connectionString, const QString& localIp) {
    ctx.LocalIP = localIp;
    ErrorTrap trap;  // error 5 passed over
    data::Connection conn(dataContext(ctx));
    trap.step([&] { return openJetConnection(conn, connectionString); });
    trap.value([&] { return conn.execute(deleteStatement(localIp)); });
    const QString now = ctx.locale.generalDate(ctx.clock.now());
    trap.value([&] {
        return conn.execute(
            u"INSERT INTO CURRENTSESSIONS(IP, LOGGED_IN_AT, CURRSESSIONID, PORT_IN, PORT_OUT) "
            u"Values('" +
            localIp + u"', '" + now + u"','1','20050','dummy')");
    });
    if (trap.failed()) {
        report(ctx, trap.error(), kStoreIpErrorTitle, conn);
        return;
    }
    ignoreError(conn.close(), "the row is written");
}

void UnregisterSession(AddinContext& ctx, const QString& connectionString) {
    if (ctx.LocalIP.isEmpty()) {
        return;
    }
    ErrorTrap trap;
    data::Connection conn(dataContext(ctx));
    trap.step([&] { return openJetConnection(conn, connectionString); });
    trap.value([&] { return conn.execute(deleteStatement(ctx.LocalIP)); });
    ctx.LocalIP.clear();
    if (trap.failed()) {
        report(ctx, trap.error(), kDbShutdownErrorsTitle, conn);
        return;
    }
    ignoreError(conn.close(), "the row is deleted");
}

QString peerListQuery(const QString& localIp) {
    return u"SELECT IP, CURRSESSIONID, PORT_IN, PORT_OUT FROM CURRENTSESSIONS WHERE IP <> '" +
           localIp + u"'";
}

Result<bool> isRegistered(AddinContext& ctx, const QString& ip) {
    data::Connection conn(dataContext(ctx));
    ORLO_TRY(openJetConnection(conn, ctx.DbLocation));
    data::Recordset rs;
    ORLO_TRY(rs.open(u"SELECT IP FROM CURRENTSESSIONS WHERE IP = " + SqlQuote(ip), conn,
                     data::kOpenKeyset, data::kLockOptimistic));
    ORLO_TRY_ASSIGN(const qint64 count, rs.recordCount());
    rs.close();
    ignoreError(conn.close(), "the answer is read");
    return count > 0;
}

}  // namespace orlo::peer
