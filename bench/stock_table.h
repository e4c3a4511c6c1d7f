#pragma once

// A stock-list table as the server's stock search returns it: the 37 columns of the stock list, filled
// with deterministic pseudo-random but realistic values (part codes, barcodes, Turkish descriptions,
// prices with discounts). The same seed gives the same table on every machine and compiler.

#include "datatable.h"

#include <cstdint>

namespace tarvik::bench {

inline constexpr std::uint64_t kStockSeed = 0x7A5B1C2D3E4F6071ULL;

DataTable makeStockTable(int rows, std::uint64_t seed = kStockSeed);

} // namespace tarvik::bench
