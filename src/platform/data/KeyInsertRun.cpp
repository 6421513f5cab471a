#include "platform/data/KeyInsertRun.h"

#include "platform/data/Connection.h"
#include "platform/data/KeyInsert.h"
#include "platform/data/Session.h"

namespace orlo::data {

KeyInsertRun::KeyInsertRun(Connection& connection, QString prefix)
    : m_connection(connection), m_session(connection.session()), m_prefix(std::move(prefix)) {}

QString KeyInsertRun::textOf(qint64 key) const {
    return m_prefix + QString::number(key) + QLatin1Char(')');
}

bool KeyInsertRun::prepare() {
    detail::Session& s = *m_session;
    if (m_stmt != nullptr && m_serial == s.openSerial() && s.isOpen() && !s.isServer()) {
        return true;
    }
    if (m_tried && m_serial == s.openSerial()) {
        return false;  // this database runs each text
    }
    m_tried = true;
    m_serial = s.openSerial();
    m_stmt = nullptr;
    if (!s.isOpen() || s.isServer()) {
        return false;
    }
    // The shape is read from a sample key's text: the prefix must end where
    // the key begins.
    const std::optional<KeyInsert> shape = parseKeyInsert(textOf(0));
    if (!shape || keyInsertPrefix(textOf(0)) != m_prefix ||
        s.isDateColumn(shape->table, shape->column)) {
        return false;  // a date column takes the translator's date handling
    }
    // The connection keeps the statement until it closes, and finalizes it
    // before its database goes.
    sqlite::SqlResult<sqlite::StatementUse> cached = s.cachedStatement(shape->sqliteText());
    if (!cached) {
        return false;  // execute reports what the text cannot do
    }
    m_stmt = &**cached;
    return true;
}

Status KeyInsertRun::operator()(qint64 key) {
    if (!prepare()) {
        ORLO_TRY(m_connection.execute(textOf(key)));
        return okStatus();
    }
    m_session->clearErrors();
    ORLO_TRY(m_session->runKeyInsert(*m_stmt, key, textOf(key)));
    return okStatus();
}

}  // namespace orlo::data
