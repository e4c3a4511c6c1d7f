// Tables: the input is JSON text read as a table. A table that was read is written, read back and
// compared (JSON has no NaN, and doubles are written in the shortest form that reads back the same, so
// the tables must be equal); the second text must equal the first.

#include "fuzz_common.h"

#include "datatable.h"
#include "errors.h"
#include "table_json.h"

#include <QVariant>

#include <cstdint>
#include <string_view>
#include <vector>

using namespace tarvik;
using tarvik::fuzz::check;
using tarvik::fuzz::fail;

namespace {

// The typed accessors agree with value() on every cell.
void checkAccessors(const DataTable &t)
{
    for (int c = 0; c < t.columnCount(); ++c) {
        const DbxType type = t.column(c).type;
        for (int r = 0; r < t.rowCount(); ++r) {
            const QVariant v = t.value(r, c);
            check(t.isNull(r, c) == !v.isValid(), "isNull() and value() disagree");
            if (t.isNull(r, c))
                continue;
            switch (type) {
            case DbxType::WideString:
                check(v.typeId() == QMetaType::QString && t.text(r, c) == v.toString(), "text() and value() disagree");
                break;
            case DbxType::Int32:
                check(v.typeId() == QMetaType::Int && t.integer(r, c) == v.toInt(), "integer() and value() disagree (Int32)");
                break;
            case DbxType::Int64:
                check(v.typeId() == QMetaType::LongLong && t.integer(r, c) == v.toLongLong(),
                      "integer() and value() disagree (Int64)");
                break;
            case DbxType::Boolean:
                check(v.typeId() == QMetaType::Bool && t.integer(r, c) == (v.toBool() ? 1 : 0),
                      "integer() and value() disagree (Boolean)");
                break;
            case DbxType::Double:
                check(v.typeId() == QMetaType::Double && t.real(r, c) == v.toDouble(), "real() and value() disagree");
                break;
            default:
                break;
            }
        }
    }
}

// The same table built row by row from value(), and again by setValue() over null rows, is equal; so is
// a copy.
void checkRebuilt(const DataTable &t)
{
    const DataTable copy = t;
    check(copy == t, "a copy of the table differs");

    DataTable byRows;
    DataTable bySet;
    for (const DataColumn &col : t.columns()) {
        byRows.addColumn(col.name, col.type, col.size);
        bySet.addColumn(col.name, col.type, col.size);
    }
    byRows.reserveRows(t.rowCount());
    for (int r = 0; r < t.rowCount(); ++r) {
        std::vector<QVariant> row;
        for (int c = 0; c < t.columnCount(); ++c)
            row.push_back(t.value(r, c));
        byRows.appendRow(row);
        bySet.appendRow({});
    }
    check(byRows == t, "the table built by appendRow(value()) differs");
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            bySet.setValue(r, c, t.value(r, c));
    check(bySet == t, "the table built by setValue(value()) differs");
    // Writing over a cell twice (the old text stays in the buffer) changes nothing either.
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < t.columnCount(); ++c)
            bySet.setValue(r, c, t.value(r, c));
    check(bySet == t, "the table after a second setValue() pass differs");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char *>(data), size);

    DataTable table;
    try {
        table = tableFromJson(text);
    } catch (const RemoteError &) {
        return 0;
    }
    check(table.columnCount() <= kMaxTableColumns, "more columns than the limit");
    check(table.rowCount() <= kMaxTableRows, "more rows than the limit");
    for (int c = 0; c < table.columnCount(); ++c)
        check(table.cellCount(c) == static_cast<std::size_t>(table.rowCount()), "column length differs from the row count");
    checkAccessors(table);
    checkRebuilt(table);

    QByteArray first;
    try {
        first = tableToJson(table);
    } catch (const RemoteError &e) {
        fail("tableToJson() refuses a table that tableFromJson() made", text, e.what());
    }
    DataTable back;
    try {
        back = tableFromJson(fuzz::view(first));
    } catch (const RemoteError &e) {
        fail("tableToJson() wrote text that tableFromJson() refuses", fuzz::view(first), e.what());
    }
    check(back == table, "table differs after a round trip", text, fuzz::view(first));

    QByteArray second;
    try {
        second = tableToJson(back);
    } catch (const RemoteError &e) {
        fail("tableToJson() refuses a table read from its own text", fuzz::view(first), e.what());
    }
    check(first == second, "table text differs after a round trip", fuzz::view(first), fuzz::view(second));
    return 0;
}
