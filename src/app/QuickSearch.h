#pragma once
// QuickSearch: the patient list's search box as the user types. A text of
// digits (with the spaces, dashes, brackets, dots and plus a telephone is
// written with) finds the patient of that number and every patient whose
// telephone holds those digits in a row, however the number was written
// ("01632 960123" finds "(01632) 960-123"); from three digits on, so that
// "1" does not list a tenth of the clinic by telephone. Any other text
// finds the patients whose name holds every word typed, in any letter case
// ("smi jo" finds "Smith, Joan").

#include <QString>
#include <QStringList>

namespace orlo::desk {

// What the search compares of one patient, prepared once per row.
struct SearchKeys {
    QString name;    // the name in lower case, without commas
    QString phones;  // each telephone's digits, joined by '|'
    QString number;  // the patient no.
};

SearchKeys searchKeys(const QString& name, const QStringList& phones, const QString& number);

class QuickSearch {
public:
    static constexpr int kMinPhoneDigits = 3;

    explicit QuickSearch(const QString& typed = {});

    bool isEmpty() const { return m_words.isEmpty() && m_digits.isEmpty(); }
    bool matches(const SearchKeys& keys) const;
    // True when every row this search matches is matched by `wider` too, so
    // that typing one more character may filter the rows already shown.
    bool narrows(const QuickSearch& wider) const;

private:
    QString m_typed;
    QStringList m_words;
    QString m_digits;
};

}  // namespace orlo::desk
