#pragma once
// The workstation's regional settings as the system uses them: the short
// date, long date and long time formats, the general date form that a date
// value turns into as text, and parsing such texts back into dates.

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

namespace orlo {

class Locale {
public:
    // Formats are Qt date-time format strings ("dd/MM/yyyy", "HH:mm:ss").
    Locale(QLocale qlocale, QString shortDate, QString longDate, QString longTime);

    // The machine's own settings (LC_TIME / LANG), with four-digit years.
    static Locale system();
    // Day-month order: 05/03/2026, 14:30:00.
    static Locale unitedKingdom();
    // Month-day order: 3/5/2026, 2:30:00 PM.
    static Locale unitedStates();

    QString shortDateFormat() const { return m_shortDate; }
    QString longDateFormat() const { return m_longDate; }
    QString longTimeFormat() const { return m_longTime; }
    const QLocale& qlocale() const { return m_qlocale; }

    QString shortDate(QDate d) const;
    QString longDate(QDate d) const;
    QString longTime(QTime t) const;
    // The text a date value turns into: the short date, then a blank and the
    // long time unless the time is midnight; the long time alone for a value
    // on the zero date (30 December 1899), which holds a time of day only.
    QString generalDate(const QDateTime& dt) const;

    // Reads a date or date-time typed in this locale's short, general or long
    // date form, or in ISO 8601 ("2026-03-05", "2026-03-05 14:30:00",
    // "2026-03-05T14:30:00"). A short date may have a two-digit year, read as
    // 1930..2029. A time alone lands on the zero date. Nothing when the text
    // is no date.
    std::optional<QDateTime> parseDateTime(const QString& text) const;

    // A number with this locale's decimal separator, as the shortest text
    // that reads back the same.
    QString number(double value) const;
    std::optional<double> parseNumber(const QString& text) const;

private:
    QLocale m_qlocale;
    QString m_shortDate;
    QString m_longDate;
    QString m_longTime;
};

}  // namespace orlo
