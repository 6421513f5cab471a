#include "app/QuickSearch.h"

namespace orlo::desk {

namespace {

QString digitsOf(const QString& text) {
    QString digits;
    for (const QChar c : text) {
        if (c.isDigit()) {
            digits += c;
        }
    }
    return digits;
}

// Digits and what a telephone number is written with, and at least one digit.
bool isNumberLike(const QString& text) {
    bool digit = false;
    for (const QChar c : text) {
        if (c.isDigit()) {
            digit = true;
        } else if (!c.isSpace() && !QStringView(u"+-()./").contains(c)) {
            return false;
        }
    }
    return digit;
}

QString foldedName(const QString& name) {
    QString folded = name.toLower();
    folded.remove(QLatin1Char(','));
    return folded;
}

}  // namespace

SearchKeys searchKeys(const QString& name, const QStringList& phones, const QString& number) {
    SearchKeys keys{foldedName(name), {}, number.trimmed()};
    for (const QString& phone : phones) {
        if (const QString d = digitsOf(phone); !d.isEmpty()) {
            if (!keys.phones.isEmpty()) {
                keys.phones += QLatin1Char('|');
            }
            keys.phones += d;
        }
    }
    return keys;
}

QuickSearch::QuickSearch(const QString& typed) : m_typed(typed.trimmed()) {
    if (m_typed.isEmpty()) {
        return;
    }
    if (isNumberLike(m_typed)) {
        m_digits = digitsOf(m_typed);
    } else {
        m_words = foldedName(m_typed).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    }
}

bool QuickSearch::matches(const SearchKeys& keys) const {
    if (!m_digits.isEmpty()) {
        return keys.number == m_digits ||
               (m_digits.size() >= kMinPhoneDigits && keys.phones.contains(m_digits));
    }
    for (const QString& word : m_words) {
        if (!keys.name.contains(word)) {
            return false;
        }
    }
    return true;
}

bool QuickSearch::narrows(const QuickSearch& wider) const {
    if (wider.isEmpty()) {
        return true;
    }
    // A number search matches by equality as well: only a longer name text
    // is sure to match a subset.
    return m_digits.isEmpty() && wider.m_digits.isEmpty() && m_typed.startsWith(wider.m_typed) &&
           m_words.size() >= wider.m_words.size();
}

}  // namespace orlo::desk
