#include "platform/pg/PgDatabase.h"

#include <libpq-fe.h>

#include "platform/pg/PgLocation.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::pg {

namespace {

// The password a connection string carries, so that messages can drop it
// wherever libpq repeats it.
QString passwordOf(const QByteArray& conninfo) {
    PQconninfoOption* options = PQconninfoParse(conninfo.constData(), nullptr);
    if (!options) {
        return {};
    }
    QString password;
    for (PQconninfoOption* o = options; o->keyword; ++o) {
        if (qstrcmp(o->keyword, "password") == 0 && o->val) {
            password = QString::fromUtf8(o->val);
        }
    }
    PQconninfoFree(options);
    return password;
}

// Server settings every connection starts with, sent in the connection
// request itself (no round trip of its own) after any the location names:
// compiling a report's query to machine code (JIT) costs the server more
// than it saves on queries of this size.
constexpr char kSessionOptions[] = "-c jit=off";

QByteArray sessionOptions(const QByteArray& conninfo) {
    QByteArray options = kSessionOptions;
    if (PQconninfoOption* parsed = PQconninfoParse(conninfo.constData(), nullptr)) {
        for (PQconninfoOption* o = parsed; o->keyword; ++o) {
            if (qstrcmp(o->keyword, "options") == 0 && o->val && *o->val) {
                options = QByteArray(o->val) + ' ' + options;
            }
        }
        PQconninfoFree(parsed);
    }
    return options;
}

QString scrubbed(QString message, const QString& password) {
    message = message.trimmed();
    if (!password.isEmpty()) {
        message.replace(password, u"***"_s);
    }
    return message;
}

}  // namespace

PgRows::PgRows(pg_result* result) : m_result(result, PQclear) {}

int PgRows::rowCount() const {
    return m_result ? PQntuples(m_result.get()) : 0;
}

int PgRows::columnCount() const {
    return m_result ? PQnfields(m_result.get()) : 0;
}

QString PgRows::columnName(int column) const {
    return QString::fromUtf8(PQfname(m_result.get(), column));
}

unsigned PgRows::tableOid(int column) const {
    const Oid oid = PQftable(m_result.get(), column);
    return oid == InvalidOid ? 0U : unsigned(oid);
}

int PgRows::tableColumn(int column) const {
    return PQftablecol(m_result.get(), column);
}

unsigned PgRows::typeOid(int column) const {
    return unsigned(PQftype(m_result.get(), column));
}

bool PgRows::isNull(int row, int column) const {
    return PQgetisnull(m_result.get(), row, column) != 0;
}

QString PgRows::text(int row, int column) const {
    return QString::fromUtf8(PQgetvalue(m_result.get(), row, column),
                             PQgetlength(m_result.get(), row, column));
}

const char* PgRows::raw(int row, int column) const {
    return PQgetvalue(m_result.get(), row, column);
}

int PgRows::rawLength(int row, int column) const {
    return PQgetlength(m_result.get(), row, column);
}

qint64 PgRows::changed() const {
    if (!m_result) {
        return 0;
    }
    const char* n = PQcmdTuples(m_result.get());
    return (n && *n) ? QByteArray(n).toLongLong() : 0;
}

PgResult<PgDatabase> PgDatabase::connect(const QString& uri) {
    const QByteArray conninfo = uri.trimmed().toUtf8();
    const QString password = passwordOf(conninfo);
    // The location is expanded first; the options given after it win.
    const QByteArray options = sessionOptions(conninfo);
    const char* const keywords[] = {"dbname", "options", nullptr};
    const char* const values[] = {conninfo.constData(), options.constData(), nullptr};
    std::shared_ptr<pg_conn> conn(PQconnectdbParams(keywords, values, 1), PQfinish);
    if (!conn) {
        return PgError{QString::fromUtf16(kCannotConnect), u"out of memory"_s};
    }
    if (PQstatus(conn.get()) != CONNECTION_OK) {
        const QString message = scrubbed(QString::fromUtf8(PQerrorMessage(conn.get())), password);
        return PgError{QString::fromUtf16(kCannotConnect),
                       u"%1: %2"_s.arg(redactedUri(uri.trimmed()), message)};
    }
    // Server notices (such as "relation already exists, skipping") are not
    // for the clinic's screens.
    PQsetNoticeProcessor(
        conn.get(), [](void*, const char*) {}, nullptr);
    PgDatabase db;
    db.m_conn = std::move(conn);
    db.m_password = password;
    return db;
}

PgResult<PgRows> PgDatabase::exec(const QString& sql,
                                  const std::vector<std::optional<QString>>& params) {
    if (!m_conn) {
        return PgError{u"08003"_s, u"the connection is closed"_s};
    }
    std::vector<QByteArray> values;
    values.reserve(params.size());
    std::vector<const char*> pointers;
    for (const std::optional<QString>& p : params) {
        values.push_back(p ? p->toUtf8() : QByteArray());
        pointers.push_back(p ? values.back().constData() : nullptr);
    }
    const QByteArray text = sql.toUtf8();
    return checked(PQexecParams(m_conn.get(), text.constData(), int(pointers.size()), nullptr,
                                pointers.data(), nullptr, nullptr, 0));
}

PgStatus PgDatabase::send(const QString& sql) {
    if (!m_conn) {
        return PgError{u"08003"_s, u"the connection is closed"_s};
    }
    if (PQsendQuery(m_conn.get(), sql.toUtf8().constData()) != 1) {
        return PgError{u"08006"_s,
                       scrubbed(QString::fromUtf8(PQerrorMessage(m_conn.get())), m_password)};
    }
    return {};
}

PgResult<PgRows> PgDatabase::receive() {
    if (!m_conn) {
        return PgError{u"08003"_s, u"the connection is closed"_s};
    }
    // The statement's result, then the end of its answer (a null result):
    // only then may the next statement be sent.
    pg_result* result = PQgetResult(m_conn.get());
    while (pg_result* more = PQgetResult(m_conn.get())) {
        PQclear(more);
    }
    return checked(result);
}

PgResult<PgRows> PgDatabase::checked(pg_result* result) const {
    PgRows rows(result);
    const ExecStatusType st = result ? PQresultStatus(result) : PGRES_FATAL_ERROR;
    if (st == PGRES_COMMAND_OK || st == PGRES_TUPLES_OK) {
        return rows;
    }
    const char* state = result ? PQresultErrorField(result, PG_DIAG_SQLSTATE) : nullptr;
    const char* primary = result ? PQresultErrorField(result, PG_DIAG_MESSAGE_PRIMARY) : nullptr;
    const QString message = QString::fromUtf8(primary ? primary : PQerrorMessage(m_conn.get()));
    // No SQLSTATE: the connection itself broke.
    return PgError{QString::fromLatin1(state ? state : "08006"), scrubbed(message, m_password)};
}

bool PgDatabase::isIdle() const {
    return m_conn && PQstatus(m_conn.get()) == CONNECTION_OK &&
           PQtransactionStatus(m_conn.get()) == PQTRANS_IDLE;
}

PgStatus PgDatabase::ping() {
    if (!m_conn) {
        return PgError{u"08003"_s, u"the connection is closed"_s};
    }
    pg_result* result = PQexec(m_conn.get(), "");
    if (result && PQresultStatus(result) == PGRES_EMPTY_QUERY) {
        PQclear(result);
        return {};
    }
    ORLO_TRY(checked(result));  // takes the result over
    return PgError{u"08006"_s, u"the server did not answer"_s};
}

PgStatus PgDatabase::execScript(const QString& sql) {
    if (!m_conn) {
        return PgError{u"08003"_s, u"the connection is closed"_s};
    }
    ORLO_TRY(checked(PQexec(m_conn.get(), sql.toUtf8().constData())));
    return {};
}

}  // namespace orlo::pg
