#include "platform/sqlite/Transaction.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::sqlite {

namespace {

constexpr QStringView kCommit = u"COMMIT";

}  // namespace

SqlResult<Transaction> Transaction::begin(const Database& db, Mode mode) {
    const char* sql = mode == Mode::Immediate ? "BEGIN IMMEDIATE" : "BEGIN";
    if (const int rc = sqlite3_exec(db.handle(), sql, nullptr, nullptr, nullptr); rc != SQLITE_OK) {
        return db.errorFor(rc, QString::fromLatin1(sql));
    }
    return Transaction(db);
}

Transaction::Transaction(Transaction&& other) noexcept
    : m_db(std::move(other.m_db)), m_active(other.m_active) {
    other.m_active = false;
}

std::shared_ptr<sqlite3> Transaction::openConnection() const {
    // A connection closed in the meantime took the transaction with it; a
    // transaction the engine ended on an error leaves autocommit on.
    std::shared_ptr<sqlite3> db = m_active ? m_db.lock() : nullptr;
    return db != nullptr && sqlite3_get_autocommit(db.get()) == 0 ? db : nullptr;
}

SqlStatus Transaction::commit() {
    if (!m_active) {
        return SqliteError{SQLITE_MISUSE, SQLITE_MISUSE,
                           u"The transaction was already committed or rolled back."_s,
                           kCommit.toString()};
    }
    const std::shared_ptr<sqlite3> db = openConnection();
    if (db == nullptr) {
        m_active = false;
        return SqliteError{SQLITE_ABORT, SQLITE_ABORT,
                           u"The transaction was rolled back before its commit."_s,
                           kCommit.toString()};
    }
    if (const int rc = sqlite3_exec(db.get(), "COMMIT", nullptr, nullptr, nullptr);
        rc != SQLITE_OK) {
        return Database::errorOf(db.get(), rc,
                                 kCommit.toString());  // still open: rolled back later
    }
    m_active = false;
    return {};
}

void Transaction::rollback() noexcept {
    if (const std::shared_ptr<sqlite3> db = openConnection()) {
        sqlite3_exec(db.get(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    m_active = false;
}

}  // namespace orlo::sqlite
