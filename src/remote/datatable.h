#pragma once

#include <QMetaType>
#include <QString>
#include <QVariant>

#include <vector>

namespace tarvik {

// Column types as numbered on the wire (the DBX type numbers of the server's tables).
enum class DbxType : int {
    Unknown = 0,
    Date = 2,
    Boolean = 4,
    Int32 = 6,
    Double = 7,
    DateTime = 11,
    Int64 = 18,
    Table = 23,
    WideString = 26,
    BinaryBlob = 33,
    JsonValue = 37,
    Callback = 38,
};

bool isKnownDbxType(int type);
const char *dbxTypeName(DbxType type);

struct DataColumn
{
    QString name;
    DbxType type = DbxType::WideString;
    int size = 0; // declared width (strings) or byte size; informational
};

// A table of named, typed columns held column by column. Cells are QVariants: QString, int (Int32),
// qlonglong (Int64), double, bool, QDate, QDateTime, QByteArray (BinaryBlob; JSON text for JsonValue),
// DataTable (Table); an invalid QVariant is a null cell.
class DataTable
{
public:
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return rows_; }
    const DataColumn &column(int c) const { return columns_[static_cast<std::size_t>(c)]; }
    const std::vector<DataColumn> &columns() const { return columns_; }

    // Index of the column named `name`, compared without regard to case; -1 when there is none.
    int indexOf(QStringView name) const;

    const QVariant &value(int row, int col) const { return cells_[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)]; }
    QVariant value(int row, QStringView columnName) const;
    void setValue(int row, int col, QVariant v) { cells_[static_cast<std::size_t>(col)][static_cast<std::size_t>(row)] = std::move(v); }

    // Adds a column (filled with nulls for the rows already present); returns its index.
    int addColumn(const QString &name, DbxType type, int size = 0);
    // Appends one row; `values` has one cell per column (missing trailing cells are null).
    void appendRow(std::vector<QVariant> values);
    void reserveRows(int rows);
    void clear();

    // Column-major access for readers and writers that work a column at a time.
    std::vector<QVariant> &columnCells(int col) { return cells_[static_cast<std::size_t>(col)]; }
    const std::vector<QVariant> &columnCells(int col) const { return cells_[static_cast<std::size_t>(col)]; }
    // Declares the row count after columnCells() were filled; every column must have that many cells.
    void setRowCount(int rows);

    bool operator==(const DataTable &other) const;

private:
    std::vector<DataColumn> columns_;
    std::vector<std::vector<QVariant>> cells_;
    int rows_ = 0;
};

} // namespace tarvik

Q_DECLARE_METATYPE(tarvik::DataTable)
