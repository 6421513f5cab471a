#pragma once
// Transaction: opens a transaction on a database and rolls it back when the
// object goes out of scope before commit() succeeded. The destructor never
// throws and never fails loudly: a rollback the engine already did (after
// an I/O error, say) is not done twice.
//
//   ORLO_TRY_ASSIGN(sqlite::Transaction t, sqlite::Transaction::begin(db, Mode::Immediate));
//   ... statements ...
//   return t.commit();   // any early return above rolls everything back
//
// A transaction may outlive its connection: once that connection is closed
// (which rolled the transaction back) it does nothing, even when the same
// Database object holds a newly opened connection by then.

#include <sqlite3.h>

#include "platform/sqlite/Database.h"

namespace orlo::sqlite {

class Transaction {
public:
    // Deferred takes locks when the first statement needs them; Immediate
    // takes the write lock at once (waiting out other writers up to the
    // busy timeout).
    enum class Mode { Deferred, Immediate };

    static SqlResult<Transaction> begin(const Database& db, Mode mode = Mode::Deferred);

    Transaction(Transaction&& other) noexcept;
    Transaction& operator=(Transaction&&) = delete;
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    ~Transaction() { rollback(); }

    // Commits. A commit that fails leaves the transaction to be rolled back;
    // a second commit is an error (SQLITE_MISUSE) and changes nothing.
    SqlStatus commit();
    // Rolls back now; does nothing once committed or rolled back.
    void rollback() noexcept;
    // Begun and neither committed nor rolled back.
    bool isActive() const { return m_active; }

private:
    explicit Transaction(const Database& db) : m_db(db.weakHandle()), m_active(true) {}
    // The connection while this object's transaction is still open on it.
    std::shared_ptr<sqlite3> openConnection() const;

    std::weak_ptr<sqlite3> m_db;  // the connection it was begun on
    bool m_active = false;
};

}  // namespace orlo::sqlite
