#include "platform/data/KeyInsert.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

class Scanner {
public:
    explicit Scanner(QStringView s) : m_s(s) {}

    void blanks() {
        while (m_i < m_s.size() && m_s[m_i].isSpace()) {
            ++m_i;
        }
    }
    bool keyword(QStringView word) {
        blanks();
        if (m_s.mid(m_i, word.size()).compare(word, Qt::CaseInsensitive) != 0) {
            return false;
        }
        const qsizetype end = m_i + word.size();
        if (end < m_s.size() && isNameChar(m_s[end])) {
            return false;
        }
        m_i = end;
        return true;
    }
    bool symbol(QChar c) {
        blanks();
        if (m_i < m_s.size() && m_s[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    std::optional<QString> name() {
        blanks();
        if (m_i < m_s.size() && m_s[m_i] == QLatin1Char('[')) {
            const qsizetype close = m_s.indexOf(QLatin1Char(']'), m_i);
            if (close < 0 || close == m_i + 1) {
                return std::nullopt;
            }
            const QStringView inner = m_s.mid(m_i + 1, close - m_i - 1);
            if (inner.contains(QLatin1Char('"')) || inner.contains(QLatin1Char('.'))) {
                return std::nullopt;
            }
            m_i = close + 1;
            return inner.toString();
        }
        const qsizetype start = m_i;
        if (m_i >= m_s.size() || !(m_s[m_i].isLetter() || m_s[m_i] == QLatin1Char('_'))) {
            return std::nullopt;
        }
        while (m_i < m_s.size() && isNameChar(m_s[m_i])) {
            ++m_i;
        }
        return m_s.mid(start, m_i - start).toString();
    }
    std::optional<qint64> integer() {
        blanks();
        const qsizetype start = m_i;
        if (m_i < m_s.size() && (m_s[m_i] == QLatin1Char('-') || m_s[m_i] == QLatin1Char('+'))) {
            ++m_i;
        }
        const qsizetype digits = m_i;
        while (m_i < m_s.size() && m_s[m_i].isDigit() && m_s[m_i].unicode() < 128) {
            ++m_i;
        }
        if (m_i == digits || m_i - digits > 18) {
            return std::nullopt;
        }
        bool ok = false;
        const qint64 v = m_s.mid(start, m_i - start).toLongLong(&ok);
        return ok ? std::optional<qint64>(v) : std::nullopt;
    }
    bool atEnd() {
        blanks();
        return m_i == m_s.size();
    }

private:
    static bool isNameChar(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_'); }
    QStringView m_s;
    qsizetype m_i = 0;
};

QString quoted(const QString& name) {
    return QLatin1Char('"') + name + QLatin1Char('"');
}

}  // namespace

QString KeyInsert::sqliteText() const {
    return u"INSERT INTO "_s + quoted(table) + u" ("_s + quoted(column) + u") VALUES (?1)"_s;
}

std::optional<KeyInsert> parseKeyInsert(QStringView sql) {
    Scanner s(sql);
    KeyInsert k;
    if (!s.keyword(u"INSERT") || !s.keyword(u"INTO")) {
        return std::nullopt;
    }
    std::optional<QString> table = s.name();
    if (!table || !s.symbol(QLatin1Char('('))) {
        return std::nullopt;
    }
    std::optional<QString> column = s.name();
    if (!column || !s.symbol(QLatin1Char(')')) || !s.keyword(u"VALUES") ||
        !s.symbol(QLatin1Char('('))) {
        return std::nullopt;
    }
    std::optional<qint64> value = s.integer();
    if (!value || !s.symbol(QLatin1Char(')'))) {
        return std::nullopt;
    }
    s.symbol(QLatin1Char(';'));
    if (!s.atEnd()) {
        return std::nullopt;
    }
    k.table = *table;
    k.column = *column;
    k.value = *value;
    return k;
}

QStringView keyInsertPrefix(QStringView sql) {
    // The number and what follows it hold no "(": the last one opens Values.
    return sql.left(sql.lastIndexOf(QLatin1Char('(')) + 1);
}

std::optional<qint64> keyAfterPrefix(QStringView sql, QStringView prefix) {
    if (prefix.isEmpty() || !sql.startsWith(prefix)) {
        return std::nullopt;
    }
    Scanner s(sql.mid(prefix.size()));
    std::optional<qint64> value = s.integer();
    if (!value || !s.symbol(QLatin1Char(')'))) {
        return std::nullopt;
    }
    s.symbol(QLatin1Char(';'));
    return s.atEnd() ? value : std::nullopt;
}

}  // namespace orlo::data
