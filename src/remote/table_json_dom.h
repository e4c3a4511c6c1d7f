#pragma once

#include "datatable.h"
#include "json_dom.h"

namespace tarvik::json {

DataTable readTable(Element value, std::string_view what);

} // namespace tarvik::json
