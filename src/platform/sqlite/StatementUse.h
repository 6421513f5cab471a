#pragma once
// StatementUse: borrows a long-lived statement (one a connection keeps
// prepared) for one run. When the borrow ends, however the borrower left,
// the statement is reset and its bindings cleared, so that the next user
// finds it ready and no read lock stays held by a half-walked SELECT.

#include "platform/sqlite/Statement.h"

namespace orlo::sqlite {

class StatementUse {
public:
    explicit StatementUse(Statement& stmt) : m_stmt(&stmt) {}
    ~StatementUse() {
        if (m_stmt != nullptr) {
            m_stmt->reset();
        }
    }
    StatementUse(StatementUse&& other) noexcept : m_stmt(other.m_stmt) { other.m_stmt = nullptr; }
    StatementUse& operator=(StatementUse&&) = delete;
    StatementUse(const StatementUse&) = delete;
    StatementUse& operator=(const StatementUse&) = delete;

    Statement* operator->() const { return m_stmt; }
    Statement& operator*() const { return *m_stmt; }

private:
    Statement* m_stmt;
};

}  // namespace orlo::sqlite
