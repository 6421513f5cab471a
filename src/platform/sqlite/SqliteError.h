#pragma once
// SqliteError: what SQLite said when a call failed: the primary result code,
// the extended code and the engine's message, with the text of the
// statement that failed. The SQL text is for the developer: statements hold
// patients' clinical data, so the layers above put only the message into
// anything the clinic reads.

#include <QString>

#include "platform/core/Result.h"

namespace orlo::sqlite {

struct SqliteError {
    int code = 0;          // primary result code: SQLITE_BUSY, SQLITE_CORRUPT, ...
    int extendedCode = 0;  // extended result code: SQLITE_CONSTRAINT_FOREIGNKEY, ...
    QString message;       // sqlite3_errmsg() at the moment of the failure
    QString sql;           // the statement's text, empty when none was involved

    bool isError() const { return code != 0; }
    bool operator==(const SqliteError&) const = default;
};

// What every call of this layer that can fail returns.
template <typename T>
using SqlResult = Result<T, SqliteError>;
using SqlStatus = SqlResult<void>;

}  // namespace orlo::sqlite
