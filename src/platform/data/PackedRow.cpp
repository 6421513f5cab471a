#include "platform/data/PackedRow.h"

#include <cstring>

#include "platform/sqlite/Statement.h"

namespace orlo::data::detail {

namespace {

enum Tag : char { kNull = 0, kInteger = 1, kReal = 2, kText = 3 };

template <typename T>
void put(std::string& out, T v) {
    out.append(reinterpret_cast<const char*>(&v), sizeof v);
}

template <typename T>
T get(const char* p) {
    T v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

void PackedRow::startCells(int count, size_t cellBytes) {
    m_count = count;
    m_data.clear();
    m_data.reserve(sizeof(quint32) * size_t(count) + cellBytes);
    m_data.resize(sizeof(quint32) * size_t(count));
}

void PackedRow::beginCell(int index) {
    const auto offset = quint32(m_data.size());
    std::memcpy(m_data.data() + sizeof(quint32) * size_t(index), &offset, sizeof offset);
}

const char* PackedRow::cell(int column) const {
    return m_data.data() + get<quint32>(m_data.data() + sizeof(quint32) * size_t(column));
}

PackedRow PackedRow::fromStatement(sqlite3_stmt* stmt, int count,
                                   std::vector<sqlite3_value*>& scratch) {
    // Each cell's value is looked up once (sqlite3_column_value; the
    // sqlite3_column_* readers each look it up again and check the handle's
    // error state) and its size read first, so that the row's buffer is
    // allocated once and filled without further checks. Reading a text's
    // length converts nothing.
    scratch.resize(size_t(count));
    size_t bytes = sizeof(quint32) * size_t(count);
    for (int i = 0; i < count; ++i) {
        sqlite3_value* v = sqlite3_column_value(stmt, i);
        scratch[size_t(i)] = v;
        switch (sqlite3_value_type(v)) {
            case SQLITE_NULL:
                bytes += 1;
                break;
            case SQLITE_INTEGER:
            case SQLITE_FLOAT:
                bytes += 1 + sizeof(qint64);
                break;
            default:
                bytes += 1 + sizeof(qint32) + size_t(sqlite3_value_bytes(v));
                break;
        }
    }
    PackedRow row;
    row.m_count = count;
    row.m_data.resize(bytes);
    char* const base = row.m_data.data();
    char* out = base + sizeof(quint32) * size_t(count);
    const auto write = [&out](const void* from, size_t n) {
        std::memcpy(out, from, n);
        out += n;
    };
    for (int i = 0; i < count; ++i) {
        sqlite3_value* v = scratch[size_t(i)];
        const auto offset = quint32(out - base);
        std::memcpy(base + sizeof(quint32) * size_t(i), &offset, sizeof offset);
        switch (sqlite3_value_type(v)) {
            case SQLITE_NULL:
                *out++ = kNull;
                break;
            case SQLITE_INTEGER: {
                *out++ = kInteger;
                const qint64 value = sqlite3_value_int64(v);
                write(&value, sizeof value);
                break;
            }
            case SQLITE_FLOAT: {
                *out++ = kReal;
                const double value = sqlite3_value_double(v);
                write(&value, sizeof value);
                break;
            }
            default: {
                const auto* text = sqlite3_value_text(v);
                const qint32 length = sqlite3_value_bytes(v);
                *out++ = kText;
                write(&length, sizeof length);
                if (length > 0) {
                    write(text, size_t(length));
                }
                break;
            }
        }
    }
    return row;
}

void PackedRow::appendCell(int index, const Variant& stored) {
    beginCell(index);
    if (const qint64* i = stored.asInteger()) {
        m_data.push_back(kInteger);
        put<qint64>(m_data, *i);
    } else if (const double* d = stored.asDouble()) {
        m_data.push_back(kReal);
        put<double>(m_data, *d);
    } else if (const QString* t = stored.asText()) {
        const QByteArray utf8 = t->toUtf8();
        m_data.push_back(kText);
        put<qint32>(m_data, qint32(utf8.size()));
        m_data.append(utf8.constData(), size_t(utf8.size()));
    } else {
        m_data.push_back(kNull);
    }
}

PackedRow PackedRow::fromValues(const std::vector<Variant>& values) {
    PackedRow row;
    row.startCells(int(values.size()), values.size() * 9);
    for (size_t i = 0; i < values.size(); ++i) {
        row.appendCell(int(i), values[i]);
    }
    return row;
}

PackedRow PackedRow::fromCells(const std::vector<Cell>& cells) {
    size_t bytes = 0;
    for (const Cell& c : cells) {
        bytes += c.kind == Cell::Kind::Null   ? 1
                 : c.kind == Cell::Kind::Text ? 1 + sizeof(qint32) + size_t(c.bytes)
                                              : 1 + sizeof(qint64);
    }
    PackedRow row;
    row.startCells(int(cells.size()), bytes);
    for (size_t i = 0; i < cells.size(); ++i) {
        const Cell& c = cells[i];
        row.beginCell(int(i));
        switch (c.kind) {
            case Cell::Kind::Integer:
                row.m_data.push_back(kInteger);
                put<qint64>(row.m_data, c.integer);
                break;
            case Cell::Kind::Real:
                row.m_data.push_back(kReal);
                put<double>(row.m_data, c.real);
                break;
            case Cell::Kind::Text:
                row.m_data.push_back(kText);
                put<qint32>(row.m_data, c.bytes);
                row.m_data.append(c.text, size_t(c.bytes));
                break;
            case Cell::Kind::Null:
                row.m_data.push_back(kNull);
                break;
        }
    }
    return row;
}

Variant PackedRow::value(int column) const {
    const char* p = cell(column);
    switch (p[0]) {
        case kInteger:
            return Variant(get<qint64>(p + 1));
        case kReal:
            return Variant(get<double>(p + 1));
        case kText: {
            const qint32 bytes = get<qint32>(p + 1);
            return Variant(sqlite::storedUtf8Text(p + 1 + sizeof(qint32), bytes));
        }
        default:
            return Variant::null();
    }
}

void PackedRow::setValue(int column, const Variant& stored) {
    std::vector<Variant> values;
    values.reserve(size_t(m_count));
    for (int i = 0; i < size(); ++i) {
        values.push_back(i == column ? stored : value(i));
    }
    *this = fromValues(values);
}

}  // namespace orlo::data::detail
