#include "host/ItemFilter.h"

#include <QRegularExpression>

#include "host/BuiltInFields.h"
#include "host/HostErrors.h"
#include "platform/core/Locale.h"

namespace orlo::host {

namespace {

Error cannotParse(const QString& filter) {
    return err::hostError(err::kCannotParseCondition,
                          QStringLiteral("Cannot parse condition: %1").arg(filter));
}

}  // namespace

Result<ItemFilter> parseItemFilter(const QString& filter, const Locale& locale) {
    static const QRegularExpression kShape(QStringLiteral(R"(^\s*\[([^\[\]]+)\]\s*=\s*(.*?)\s*$)"),
                                           QRegularExpression::DotMatchesEverythingOption);
    static const QRegularExpression kInteger(QStringLiteral(R"(^[+-]?\d+$)"));
    static const QRegularExpression kDecimal(QStringLiteral(R"(^[+-]?(\d+\.\d*|\.\d+)$)"));

    const QRegularExpressionMatch m = kShape.match(filter);
    if (!m.hasMatch() || m.captured(1).trimmed().isEmpty()) {
        return cannotParse(filter);
    }
    ItemFilter f;
    f.property = m.captured(1).trimmed();
    const QString raw = m.captured(2);
    if (raw.isEmpty()) {
        f.matchesNothing = true;
        return f;
    }
    const QChar first = raw.front();
    if (first == QLatin1Char('\'') || first == QLatin1Char('"')) {
        if (raw.size() < 2 || raw.back() != first) {
            return cannotParse(filter);
        }
        const QString quote(first);
        QString inner = raw.mid(1, raw.size() - 2);
        // A lone quote inside ends the text early: not a filter.
        if (inner.replace(quote + quote, QString()).contains(first)) {
            return cannotParse(filter);
        }
        const QString text = raw.mid(1, raw.size() - 2).replace(quote + quote, quote);
        if (text.isEmpty()) {
            f.matchesNothing = true;
            return f;
        }
        if (isDateField(f.property)) {
            if (const auto date = locale.parseDateTime(text)) {
                f.value = Variant(*date);
                return f;
            }
        }
        f.value = Variant(text);
        return f;
    }
    if (kInteger.match(raw).hasMatch()) {
        bool ok = false;
        const qint64 n = raw.toLongLong(&ok);
        if (ok) {
            f.value = Variant(n);
            return f;
        }
    }
    if (kInteger.match(raw).hasMatch() || kDecimal.match(raw).hasMatch()) {
        f.value = Variant(raw.toDouble());
        return f;
    }
    return cannotParse(filter);
}

}  // namespace orlo::host
