#include "platform/dialect/JetFunctions.h"

#include <cmath>
#include <cstdio>
#include <memory>

#include "platform/core/Error.h"
#include "platform/dialect/CanonicalDate.h"
#include "platform/dialect/DateMath.h"
#include "platform/dialect/JetFunctionNames.h"
#include "platform/dialect/JetSql.h"
#include "platform/dialect/LikePattern.h"

using namespace Qt::Literals::StringLiterals;

namespace orlo::data {

namespace {

// What every function reads: the clock for Now and the locale for date texts.
struct FunctionContext {
    const Clock& clock;
    Locale locale;
};

const FunctionContext& contextOf(sqlite3_context* ctx) {
    return *static_cast<const FunctionContext*>(sqlite3_user_data(ctx));
}

void destroyContext(void* p) {
    delete static_cast<FunctionContext*>(p);
}

void resultText(sqlite3_context* ctx, const QString& text) {
    const QByteArray utf8 = text.toUtf8();
    sqlite3_result_text(ctx, utf8.constData(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT);
}

void resultError(sqlite3_context* ctx, QStringView message) {
    const QByteArray utf8 = message.toUtf8();
    sqlite3_result_error(ctx, utf8.constData(), static_cast<int>(utf8.size()));
}

QString textOf(sqlite3_value* v) {
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
    return QString::fromUtf8(bytes, sqlite3_value_bytes(v));
}

enum class DateArg { Null, Date, NoDate };

// Reads a date argument: canonical text first (the fast path every stored
// date takes), then the locale's forms, then a date serial number.
DateArg readDate(sqlite3_value* v, const Locale& locale, DateParts& out) {
    switch (sqlite3_value_type(v)) {
        case SQLITE_NULL:
            return DateArg::Null;
        case SQLITE_INTEGER:
        case SQLITE_FLOAT: {
            const auto parts = partsFromSerial(sqlite3_value_double(v));
            if (!parts) {
                return DateArg::NoDate;
            }
            out = *parts;
            return DateArg::Date;
        }
        case SQLITE_TEXT: {
            const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(v));
            if (const auto parts = parseCanonicalParts(bytes, sqlite3_value_bytes(v))) {
                out = *parts;
                return DateArg::Date;
            }
            const auto dt = locale.parseDateTime(textOf(v));
            if (!dt) {
                return DateArg::NoDate;
            }
            out = DateParts{dt->date(), dt->time().msecsSinceStartOfDay() / 1000};
            return DateArg::Date;
        }
        default:
            return DateArg::NoDate;
    }
}

void fnNow(sqlite3_context* ctx, int, sqlite3_value**) {
    resultText(ctx, canonicalDate(contextOf(ctx).clock.now()));
}

void fnDateDiff(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    DateParts a;
    DateParts b;
    const Locale& locale = contextOf(ctx).locale;
    const DateArg ra = readDate(argv[1], locale, a);
    const DateArg rb = readDate(argv[2], locale, b);
    if (ra == DateArg::NoDate || rb == DateArg::NoDate) {
        resultError(ctx, kTypeMismatchMessage);
        return;
    }
    if (ra == DateArg::Null || rb == DateArg::Null) {
        sqlite3_result_null(ctx);
        return;
    }
    const auto* name = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
    const auto interval = parseDateInterval(QByteArrayView(name, sqlite3_value_bytes(argv[0])));
    if (!interval) {
        resultError(ctx, kInvalidProcedureCallMessage);
        return;
    }
    sqlite3_result_int64(ctx, dateDiff(*interval, a, b));
}

// YEAR, MONTH and DAY of a date.
template <int (QDate::*part)() const>
void fnDatePart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    DateParts d;
    switch (readDate(argv[0], contextOf(ctx).locale, d)) {
        case DateArg::Null:
            sqlite3_result_null(ctx);
            return;
        case DateArg::NoDate:
            resultError(ctx, kTypeMismatchMessage);
            return;
        case DateArg::Date:
            sqlite3_result_int(ctx, (d.date.*part)());
            return;
    }
}

void fnDateSerial(sqlite3_context* ctx, int, sqlite3_value** argv) {
    qint64 parts[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int type = sqlite3_value_numeric_type(argv[i]);
        if (type == SQLITE_NULL) {
            sqlite3_result_null(ctx);
            return;
        }
        if (type != SQLITE_INTEGER && type != SQLITE_FLOAT) {
            resultError(ctx, kTypeMismatchMessage);
            return;
        }
        const double v = std::nearbyint(sqlite3_value_double(argv[i]));
        if (std::fabs(v) > 1.0e9) {
            resultError(ctx, kInvalidProcedureCallMessage);
            return;
        }
        parts[i] = static_cast<qint64>(v);
    }
    const auto date = dateSerial(parts[0], parts[1], parts[2]);
    if (!date) {
        resultError(ctx, kInvalidProcedureCallMessage);
        return;
    }
    resultText(ctx, canonicalDate(DateParts{*date, 0}));
}

void fnCDate(sqlite3_context* ctx, int, sqlite3_value** argv) {
    DateParts d;
    switch (readDate(argv[0], contextOf(ctx).locale, d)) {
        case DateArg::Null:
            sqlite3_result_null(ctx);
            return;
        case DateArg::NoDate:
            resultError(ctx, kTypeMismatchMessage);
            return;
        case DateArg::Date:
            resultText(ctx, canonicalDate(d));
            return;
    }
}

// A stored date as the locale shows it; any other value unchanged.
void fnDateText(sqlite3_context* ctx, int, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_TEXT) {
        const auto* bytes = reinterpret_cast<const char*>(sqlite3_value_text(argv[0]));
        if (const auto parts = parseCanonicalParts(bytes, sqlite3_value_bytes(argv[0]))) {
            const QDateTime dt = parseCanonicalDate(textOf(argv[0])).value();
            resultText(ctx, contextOf(ctx).locale.generalDate(dt));
            return;
        }
    }
    sqlite3_result_value(ctx, argv[0]);
}

// The bound of a day range: the date of argv[0] moved by argv[1] days.
void fnDayStart(sqlite3_context* ctx, int, sqlite3_value** argv) {
    DateParts now;
    switch (readDate(argv[0], contextOf(ctx).locale, now)) {
        case DateArg::Null:
            sqlite3_result_null(ctx);
            return;
        case DateArg::NoDate:
            resultError(ctx, kTypeMismatchMessage);
            return;
        case DateArg::Date:
            break;
    }
    if (sqlite3_value_type(argv[1]) != SQLITE_INTEGER) {
        resultError(ctx, kTypeMismatchMessage);
        return;
    }
    const QDate day = now.date.addDays(sqlite3_value_int64(argv[1]));
    if (!day.isValid() || day.year() < 1) {
        sqlite3_result_text(ctx, "", 0, SQLITE_STATIC);
        return;
    }
    if (day.year() > 9999) {
        sqlite3_result_text(ctx, ":", 1, SQLITE_STATIC);
        return;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day.year(), day.month(), day.day());
    sqlite3_result_text(ctx, text, 10, SQLITE_TRANSIENT);
}

void destroyMatcher(void* p) {
    delete static_cast<LikeMatcher*>(p);
}

// like(pattern, text[, escape]): the infix LIKE. The compiled pattern is
// kept with the statement while the pattern argument stays the same.
void fnLike(sqlite3_context* ctx, int argc, sqlite3_value** argv) {
    if (sqlite3_value_type(argv[0]) == SQLITE_NULL || sqlite3_value_type(argv[1]) == SQLITE_NULL) {
        sqlite3_result_null(ctx);
        return;
    }
    char32_t escape = 0;
    if (argc == 3) {
        const QList<uint> e = textOf(argv[2]).toUcs4();
        if (e.size() != 1) {
            sqlite3_result_error(ctx, "ESCAPE expression must be a single character", -1);
            return;
        }
        escape = e.front();
    }
    auto* matcher = static_cast<LikeMatcher*>(sqlite3_get_auxdata(ctx, 0));
    if (matcher == nullptr) {
        matcher = new LikeMatcher(textOf(argv[0]), escape);
        sqlite3_set_auxdata(ctx, 0, matcher, destroyMatcher);
        // SQLite may have destroyed it at once; read it back.
        matcher = static_cast<LikeMatcher*>(sqlite3_get_auxdata(ctx, 0));
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_value_text(argv[1]));
    const int length = sqlite3_value_bytes(argv[1]);
    const bool match = matcher != nullptr
                           ? matcher->matchesUtf8(text, length)
                           : LikeMatcher(textOf(argv[0]), escape).matchesUtf8(text, length);
    sqlite3_result_int(ctx, match ? 1 : 0);
}

using SqlFunction = void (*)(sqlite3_context*, int, sqlite3_value**);

struct FunctionEntry {
    const char* name;
    int argc;
    bool deterministic;
    SqlFunction fn;
};

}  // namespace

long errorNumberOfFunctionMessage(QStringView sqliteMessage) {
    if (sqliteMessage.contains(kTypeMismatchMessage)) {
        return err::kTypeMismatch;
    }
    if (sqliteMessage.contains(kInvalidProcedureCallMessage)) {
        return err::kInvalidProcedureCall;
    }
    return err::kNone;
}

Status registerJetFunctions(sqlite3* db, const Clock& clock, const Locale& locale) {
    const FunctionEntry entries[] = {
        // Marked deterministic so that SQLite reads the clock once per run
        // of a statement: every row of a report sees the same "now".
        {kFnNow, 0, true, fnNow},
        {kFnDateDiff, 3, true, fnDateDiff},
        {kFnYear, 1, true, fnDatePart<&QDate::year>},
        {kFnMonth, 1, true, fnDatePart<&QDate::month>},
        {kFnDay, 1, true, fnDatePart<&QDate::day>},
        {kFnDateSerial, 3, true, fnDateSerial},
        {kFnCDate, 1, true, fnCDate},
        {kFnDateText, 1, true, fnDateText},
        {kFnDayStart, 2, true, fnDayStart},
        {"like", 2, true, fnLike},
        {"like", 3, true, fnLike},
    };
    for (const FunctionEntry& e : entries) {
        const int flags = SQLITE_UTF8 | (e.deterministic ? SQLITE_DETERMINISTIC : 0);
        // SQLite owns the context from here on and destroys it with the
        // connection (or at once when the registration fails).
        auto* context = new FunctionContext{clock, locale};
        const int rc = sqlite3_create_function_v2(db, e.name, e.argc, flags, context, e.fn, nullptr,
                                                  nullptr, destroyContext);
        if (rc != SQLITE_OK) {
            return makeError(
                err::kProviderFailure,
                u"Cannot register the SQL function %1: %2"_s.arg(
                    QString::fromLatin1(e.name), QString::fromUtf8(sqlite3_errstr(rc))),
                kDialectErrorSource.toString());
        }
    }
    return okStatus();
}

}  // namespace orlo::data
