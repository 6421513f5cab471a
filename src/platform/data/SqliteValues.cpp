#include "platform/data/SqliteValues.h"

#include <cmath>

#include "platform/core/Locale.h"
#include "platform/data/DataErrors.h"
#include "platform/data/JetBridge.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data::detail {

namespace {

Error typeMismatch(const QString& what) {
    return dataError(orlo::err::kTypeMismatch, u"Type mismatch: %1"_s.arg(what));
}

}  // namespace

Affinity affinityOf(const QString& declType) {
    const QString t = declType.toUpper();
    if (t.isEmpty()) {
        return Affinity::None;
    }
    if (t.contains(u"INT"_s)) {
        return Affinity::Integer;
    }
    if (t.contains(u"CHAR"_s) || t.contains(u"CLOB"_s) || t.contains(u"TEXT"_s)) {
        return Affinity::Text;
    }
    if (t.contains(u"BLOB"_s)) {
        return Affinity::None;
    }
    if (t.contains(u"REAL"_s) || t.contains(u"FLOA"_s) || t.contains(u"DOUB"_s)) {
        return Affinity::Real;
    }
    return Affinity::Numeric;
}

std::optional<QString> serverText(const Variant& stored) {
    if (const qint64* n = stored.asInteger()) {
        return QString::number(*n);
    }
    if (const double* d = stored.asDouble()) {
        return QString::number(*d, 'g', 17);
    }
    if (const QString* t = stored.asText()) {
        return *t;
    }
    return std::nullopt;
}

qint64 rowidOfCtid(const QString& ctid) {
    const QStringList parts =
        QString(ctid).remove(QLatin1Char('(')).remove(QLatin1Char(')')).split(QLatin1Char(','));
    if (parts.size() != 2) {
        return 0;
    }
    return (parts[0].toLongLong() << 16) | (parts[1].toLongLong() & 0xffff);
}

QString ctidOfRowid(qint64 rowid) {
    return u"(%1,%2)"_s.arg(rowid >> 16).arg(rowid & 0xffff);
}

void bindStored(sqlite::Statement& stmt, int index, const Variant& stored) {
    if (const qint64* i = stored.asInteger()) {
        stmt.bindInt(index, *i);
    } else if (const double* d = stored.asDouble()) {
        stmt.bindDouble(index, *d);
    } else if (const QString* t = stored.asText()) {
        stmt.bindText(index, *t);
    } else {
        stmt.bindNull(index);
    }
}

Result<Variant> toStored(const Variant& value, bool isDate, Affinity affinity,
                         const Locale& locale) {
    if (value.isNull() || value.isEmpty()) {
        return Variant::null();
    }
    if (isDate) {
        if (const QDateTime* d = value.asDate()) {
            return Variant(canonicalDateText(*d));
        }
        if (const QString* t = value.asText()) {
            // An empty text clears the date, as assigning nothing would.
            if (t->trimmed().isEmpty()) {
                return Variant::null();
            }
            Result<QString> canonical = coerceDateToCanonical(*t, locale);
            if (!canonical) {
                return typeMismatch(u"'%1' is no date"_s.arg(*t));
            }
            return Variant(*canonical);
        }
        return typeMismatch(u"a date column takes a date or a date text"_s);
    }
    switch (affinity) {
        case Affinity::Integer:
        case Affinity::Real:
        case Affinity::Numeric: {
            if (value.asInteger() || value.asDouble()) {
                return value;
            }
            // A Boolean counts as -1 or 0, as toDouble gives it.
            Result<double> d = value.toDouble(locale);
            if (!d) {
                return typeMismatch(value.text(locale));
            }
            if (affinity != Affinity::Real && std::trunc(*d) == *d && std::fabs(*d) < 9.0e15) {
                return Variant(qint64(*d));
            }
            return Variant(*d);
        }
        case Affinity::Text:
        case Affinity::None: {
            if (affinity == Affinity::None && (value.asInteger() || value.asDouble())) {
                return value;
            }
            Result<QString> t = value.toText(locale);
            if (!t) {
                return typeMismatch(t.error().description);
            }
            return Variant(*t);
        }
    }
    return value;
}

}  // namespace orlo::data::detail
