#pragma once
// KeyInsertRun: the statement "INSERT INTO table (column) Values(<key>)"
// run for key after key on one connection, as many executes of its text
// would run it, but prepared once with the key bound: no text is built,
// translated, parsed or looked up per key. A run of hundreds of thousands
// of keys (the resync's scratch tables) then costs little more than the
// engine's own inserts.
//
//   data::KeyInsertRun insert(scratch, u"INSERT INTO tempPatientDB (ids) Values("_s);
//   for (qint64 key : keys) ORLO_TRY(insert(key));
//
// A text of another shape, a date column or a server connection runs each
// key's full text through Connection::execute instead: same rows, same
// errors. Failures fill the connection's errors collection as execute does,
// naming the key's full text; on a scratch connection the inserts join its
// batch of writes, committed by the next read.

#include <QString>
#include <memory>

#include "platform/core/Result.h"
#include "platform/sqlite/Statement.h"

namespace orlo::data {

class Connection;

namespace detail {
class Session;
}

class KeyInsertRun {
public:
    // `prefix` is the text up to the key, "INSERT INTO t (ids) Values(";
    // each key's statement is the prefix, the key and ")".
    KeyInsertRun(Connection& connection, QString prefix);
    KeyInsertRun(const KeyInsertRun&) = delete;
    KeyInsertRun& operator=(const KeyInsertRun&) = delete;

    Status operator()(qint64 key);

private:
    QString textOf(qint64 key) const;
    // Prepares the bound statement when the text allows it; false when each
    // key's text goes through execute.
    bool prepare();

    Connection& m_connection;
    std::shared_ptr<detail::Session> m_session;
    QString m_prefix;
    bool m_tried = false;
    // The connection's cached statement, valid while the database it was
    // made on (m_serial) is open: closing empties the cache.
    quint64 m_serial = 0;
    sqlite::Statement* m_stmt = nullptr;
};

}  // namespace orlo::data
