#include "common/SqlTrace.h"

namespace orlo {

Q_LOGGING_CATEGORY(orloSql, "orlo.sql", QtWarningMsg)

namespace {

bool isWordChar(QChar c) {
    return c.isLetterOrNumber() || c == u'_';
}

// The index after the literal that opens at `start` with `quote`; a doubled
// quote inside a text stays in it. An unclosed literal runs to the end.
qsizetype literalEnd(QStringView sql, qsizetype start, QChar quote) {
    qsizetype i = start + 1;
    while (i < sql.size()) {
        if (sql[i] != quote) {
            ++i;
        } else if (quote != u'#' && i + 1 < sql.size() && sql[i + 1] == quote) {
            i += 2;
        } else {
            return i + 1;
        }
    }
    return i;
}

}  // namespace

QString elideSqlValues(QStringView sql) {
    QString out;
    out.reserve(sql.size());
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql[i];
        if (c == u'\'' || c == u'"' || c == u'#') {
            i = literalEnd(sql, i, c);
            out += u'?';
        } else if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i);
            const qsizetype end = close < 0 ? sql.size() : close + 1;
            out += sql.mid(i, end - i);
            i = end;
        } else if (c.isDigit()) {
            while (i < sql.size() && (sql[i].isDigit() || sql[i] == u'.')) {
                ++i;
            }
            out += u'?';
        } else if (isWordChar(c)) {
            // A name or keyword, digits in it included (EMAIL1).
            while (i < sql.size() && isWordChar(sql[i])) {
                out += sql[i++];
            }
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

void traceFailedStatements(const ProviderErrors& errors) {
    if (!orloSql().isDebugEnabled()) {
        return;
    }
    for (const ProviderError& e : errors) {
        if (!e.sql.isEmpty()) {
            qCDebug(orloSql).noquote() << "failed statement:" << elideSqlValues(e.sql);
        }
    }
}

}  // namespace orlo
