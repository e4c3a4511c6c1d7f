// Tables: the input is JSON text read as a table. A table that was read is written, read back and
// compared (JSON has no NaN, and doubles are written in the shortest form that reads back the same, so
// the tables must be equal); the second text must equal the first.

#include "fuzz_common.h"

#include "datatable.h"
#include "errors.h"
#include "table_json.h"

#include <cstdint>
#include <string_view>

using namespace tarvik;
using tarvik::fuzz::check;
using tarvik::fuzz::fail;

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
        check(table.columnCells(c).size() == static_cast<std::size_t>(table.rowCount()), "column length differs from the row count");

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
