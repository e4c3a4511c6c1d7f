#pragma once

// Tables on the wire: the column-major "table" JSON.
//   {"table":[[name, dbxType, ordinal, subtype, scale, size, precision, childPosition, nullable, hidden,
//              parameterDirection, valueParameter, literal], …],
//    "<name>":[cell, …], …}

#include "datatable.h"
#include "json_writer.h"

#include <string_view>

namespace tarvik {

inline constexpr int kMaxTableColumns = 1024;
inline constexpr int kMaxTableRows = 1'000'000;

void writeTable(JsonWriter &writer, const DataTable &table);
QByteArray tableToJson(const DataTable &table);
DataTable tableFromJson(std::string_view json);

} // namespace tarvik
