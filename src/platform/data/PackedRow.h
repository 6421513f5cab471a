#pragma once
// One fetched row packed into a single buffer: the cells' offsets, then per
// cell a tag byte (Null, integer, real, text) and its bytes. A report of a
// hundred thousand rows of a hundred columns then costs one allocation of
// the exact size per row instead of one per cell; values become variants
// only when a field is read. Internal.

#include <sqlite3.h>

#include <QtGlobal>
#include <string>
#include <vector>

#include "platform/core/Variant.h"

namespace orlo::data::detail {

class PackedRow {
public:
    PackedRow() = default;
    // The first `count` columns of the statement's current row; `scratch`
    // is working room kept by the caller from row to row.
    static PackedRow fromStatement(sqlite3_stmt* stmt, int count,
                                   std::vector<sqlite3_value*>& scratch);
    // Stored values (Null, Integer, Double or Text).
    static PackedRow fromValues(const std::vector<Variant>& values);
    // One cell as read from elsewhere (a server's result): its text is
    // UTF-8 bytes that must outlive the call, copied as they are.
    struct Cell {
        enum class Kind : char { Null, Integer, Real, Text } kind = Kind::Null;
        qint64 integer = 0;
        double real = 0;
        const char* text = nullptr;
        qint32 bytes = 0;
    };
    static PackedRow fromCells(const std::vector<Cell>& cells);

    int size() const { return m_count; }
    Variant value(int column) const;
    // Replaces one cell with a stored value.
    void setValue(int column, const Variant& stored);

private:
    // Room for `count` offsets; the cells follow.
    void startCells(int count, size_t cellBytes);
    void beginCell(int index);
    void appendCell(int index, const Variant& stored);
    const char* cell(int column) const;

    std::string m_data;
    int m_count = 0;
};

}  // namespace orlo::data::detail
