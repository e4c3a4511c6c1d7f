#pragma once

#include <QMetaType>
#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
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

// A table of named, typed columns, stored column by column in typed arrays: numbers in plain vectors, the
// text of a column in one UTF-16 buffer with a start and length per cell, a null flag per cell. Loading a
// table therefore costs a few allocations per column, not one per cell. Dates, blobs, JSON values and
// nested tables (rare) are kept as QVariants.
//
// value() hands a cell out as a QVariant: QString, int (Int32), qlonglong (Int64), double, bool, QDate,
// QDateTime, QByteArray (BinaryBlob; JSON text for JsonValue), DataTable (Table); an invalid QVariant is
// a null cell.
class DataTable
{
public:
    int columnCount() const { return static_cast<int>(columns_.size()); }
    int rowCount() const { return rows_; }
    const DataColumn &column(int c) const { return columns_[static_cast<std::size_t>(c)].info; }
    std::vector<DataColumn> columns() const;

    // Index of the column named `name`, compared without regard to case; -1 when there is none.
    int indexOf(QStringView name) const;

    bool isNull(int row, int col) const { return col_(col).null[static_cast<std::size_t>(row)] != 0; }
    QVariant value(int row, int col) const;
    QVariant value(int row, QStringView columnName) const;
    // Typed access without building a QVariant (null cells read as 0 / empty).
    QStringView text(int row, int col) const;   // WideString columns
    std::int64_t integer(int row, int col) const; // Int32, Int64, Boolean columns
    double real(int row, int col) const;          // Double columns; integers converted

    // Replaces one cell, converting `v` to the column's type (an invalid QVariant makes it null).
    void setValue(int row, int col, const QVariant &v);

    // Adds a column (null for the rows already present); returns its index.
    int addColumn(const QString &name, DbxType type, int size = 0);
    // Appends one row; `values` has one cell per column (missing trailing cells are null).
    void appendRow(const std::vector<QVariant> &values);
    void reserveRows(int rows);
    void clear();

    // Column-at-a-time filling, for readers that work a column at a time: append every cell of each
    // column, then declare the row count (every column must have exactly that many cells).
    void appendNull(int col);
    void appendInteger(int col, std::int64_t v);
    void appendReal(int col, double v);
    void appendBool(int col, bool v);
    void appendText(int col, QStringView v);
    void appendUtf8(int col, const char *utf8, std::size_t size); // decoded straight into the column
    void appendVariant(int col, const QVariant &v);               // converted to the column's type
    void setRowCount(int rows);
    std::size_t cellCount(int col) const { return col_(col).null.size(); }

    bool operator==(const DataTable &other) const;

private:
    struct Column
    {
        DataColumn info;
        std::vector<std::uint8_t> null;
        std::vector<std::int64_t> ints;  // Int32, Int64, Boolean
        std::vector<double> reals;       // Double
        QString text;                    // WideString: every cell's characters, one after another
        std::vector<qsizetype> start;    // WideString: where each cell's text starts in `text`
        std::vector<int> length;         // WideString: its length
        std::vector<QVariant> other;     // Date, DateTime, BinaryBlob, JsonValue, Table
    };
    enum class Storage { Ints, Reals, Text, Other };
    static Storage storageOf(DbxType t);

    const Column &col_(int c) const { return columns_[static_cast<std::size_t>(c)]; }
    Column &col_(int c) { return columns_[static_cast<std::size_t>(c)]; }
    void reserveText(Column &col, qsizetype more);

    std::vector<Column> columns_;
    int rows_ = 0;
};

} // namespace tarvik

Q_DECLARE_METATYPE(tarvik::DataTable)
