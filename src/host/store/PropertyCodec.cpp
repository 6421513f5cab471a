#include "host/store/PropertyCodec.h"

#include <sqlite3.h>

#include <limits>

namespace orlo::host {

namespace {

bool hasLoneSurrogate(const QString& text) {
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate()) {
            if (i + 1 >= text.size() || !text.at(i + 1).isLowSurrogate()) {
                return true;
            }
            ++i;
        } else if (c.isLowSurrogate()) {
            return true;
        }
    }
    return false;
}

}  // namespace

void PropertyCodec::bind(sqlite::Statement& stmt, int typeIndex, int valueIndex,
                         const Variant& value) {
    stmt.bindInt(typeIndex, static_cast<int>(value.type()));
    switch (value.type()) {
        case Variant::Type::Empty:
        case Variant::Type::Null:
            stmt.bindNull(valueIndex);
            return;
        case Variant::Type::Text: {
            const QString& text = *value.asText();
            if (hasLoneSurrogate(text)) {
                stmt.bindBlob(valueIndex, text.utf16(), static_cast<int>(text.size() * 2));
            } else {
                stmt.bindText(valueIndex, text);
            }
            return;
        }
        case Variant::Type::Integer:
            stmt.bindInt(valueIndex, *value.asInteger());
            return;
        case Variant::Type::Double:
            stmt.bindDouble(valueIndex, *value.asDouble());
            return;
        case Variant::Type::Date:
            stmt.bindText(valueIndex, value.asDate()->toString(Qt::ISODateWithMs));
            return;
        case Variant::Type::Boolean:
            stmt.bindInt(valueIndex, *value.asBool() ? 1 : 0);
            return;
    }
}

Variant PropertyCodec::read(const sqlite::Statement& stmt, int typeColumn, int valueColumn) {
    const auto type = static_cast<Variant::Type>(stmt.columnInt(typeColumn));
    switch (type) {
        case Variant::Type::Empty:
            return {};
        case Variant::Type::Null:
            return Variant::null();
        case Variant::Type::Text:
            if (stmt.columnType(valueColumn) == SQLITE_BLOB) {
                return stmt.columnUtf16Blob(valueColumn);
            }
            return stmt.columnText(valueColumn);
        case Variant::Type::Integer:
            return static_cast<qint64>(stmt.columnInt(valueColumn));
        case Variant::Type::Double:
            if (stmt.columnType(valueColumn) == SQLITE_NULL) {
                return std::numeric_limits<double>::quiet_NaN();
            }
            return stmt.columnDouble(valueColumn);
        case Variant::Type::Date:
            return QDateTime::fromString(stmt.columnText(valueColumn), Qt::ISODateWithMs);
        case Variant::Type::Boolean:
            return stmt.columnInt(valueColumn) != 0;
    }
    // An unknown type number: a newer writer or damage. Read as Null.
    return Variant::null();
}

}  // namespace orlo::host
