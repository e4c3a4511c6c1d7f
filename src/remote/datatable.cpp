#include "datatable.h"

#include <cassert>

namespace tarvik {

bool isKnownDbxType(int type)
{
    switch (static_cast<DbxType>(type)) {
    case DbxType::Date:
    case DbxType::Boolean:
    case DbxType::Int32:
    case DbxType::Double:
    case DbxType::DateTime:
    case DbxType::Int64:
    case DbxType::Table:
    case DbxType::WideString:
    case DbxType::BinaryBlob:
    case DbxType::JsonValue:
    case DbxType::Callback:
        return true;
    case DbxType::Unknown:
        break;
    }
    return false;
}

const char *dbxTypeName(DbxType type)
{
    switch (type) {
    case DbxType::Date: return "Date";
    case DbxType::Boolean: return "Boolean";
    case DbxType::Int32: return "Int32";
    case DbxType::Double: return "Double";
    case DbxType::DateTime: return "DateTime";
    case DbxType::Int64: return "Int64";
    case DbxType::Table: return "Table";
    case DbxType::WideString: return "WideString";
    case DbxType::BinaryBlob: return "BinaryBlob";
    case DbxType::JsonValue: return "JsonValue";
    case DbxType::Callback: return "Callback";
    case DbxType::Unknown: break;
    }
    return "Unknown";
}

int DataTable::indexOf(QStringView name) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (name.compare(columns_[i].name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QVariant DataTable::value(int row, QStringView columnName) const
{
    const int c = indexOf(columnName);
    return c < 0 ? QVariant() : value(row, c);
}

int DataTable::addColumn(const QString &name, DbxType type, int size)
{
    columns_.push_back(DataColumn{name, type, size});
    cells_.emplace_back(static_cast<std::size_t>(rows_));
    return columnCount() - 1;
}

void DataTable::appendRow(std::vector<QVariant> values)
{
    for (std::size_t c = 0; c < cells_.size(); ++c)
        cells_[c].push_back(c < values.size() ? std::move(values[c]) : QVariant());
    ++rows_;
}

void DataTable::reserveRows(int rows)
{
    for (auto &col : cells_)
        col.reserve(static_cast<std::size_t>(rows));
}

void DataTable::clear()
{
    columns_.clear();
    cells_.clear();
    rows_ = 0;
}

void DataTable::setRowCount(int rows)
{
    for ([[maybe_unused]] const auto &col : cells_)
        assert(col.size() == static_cast<std::size_t>(rows));
    rows_ = rows;
}

bool DataTable::operator==(const DataTable &other) const
{
    if (rows_ != other.rows_ || columns_.size() != other.columns_.size())
        return false;
    for (std::size_t c = 0; c < columns_.size(); ++c)
        if (columns_[c].name != other.columns_[c].name || columns_[c].type != other.columns_[c].type)
            return false;
    return cells_ == other.cells_;
}

} // namespace tarvik
