#include "datatable.h"

#include "errors.h"

#include <QDate>
#include <QDateTime>
#include <QStringDecoder>

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

DataTable::Storage DataTable::storageOf(DbxType t)
{
    switch (t) {
    case DbxType::Int32:
    case DbxType::Int64:
    case DbxType::Boolean: return Storage::Ints;
    case DbxType::Double: return Storage::Reals;
    case DbxType::WideString: return Storage::Text;
    default: return Storage::Other;
    }
}

std::vector<DataColumn> DataTable::columns() const
{
    std::vector<DataColumn> out;
    out.reserve(columns_.size());
    for (const Column &c : columns_)
        out.push_back(c.info);
    return out;
}

int DataTable::indexOf(QStringView name) const
{
    for (std::size_t i = 0; i < columns_.size(); ++i)
        if (name.compare(columns_[i].info.name, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

QVariant DataTable::value(int row, int c) const
{
    const Column &col = col_(c);
    const auto r = static_cast<std::size_t>(row);
    if (col.null[r])
        return {};
    switch (col.info.type) {
    case DbxType::Int32: return static_cast<int>(col.ints[r]);
    case DbxType::Int64: return static_cast<qlonglong>(col.ints[r]);
    case DbxType::Boolean: return col.ints[r] != 0;
    case DbxType::Double: return col.reals[r];
    case DbxType::WideString: return QString(col.text.constData() + col.start[r], col.length[r]);
    default: return col.other[r];
    }
}

QVariant DataTable::value(int row, QStringView columnName) const
{
    const int c = indexOf(columnName);
    return c < 0 ? QVariant() : value(row, c);
}

QStringView DataTable::text(int row, int c) const
{
    const Column &col = col_(c);
    const auto r = static_cast<std::size_t>(row);
    if (col.info.type != DbxType::WideString || col.null[r])
        return {};
    return QStringView(col.text.constData() + col.start[r], col.length[r]);
}

std::int64_t DataTable::integer(int row, int c) const
{
    const Column &col = col_(c);
    const auto r = static_cast<std::size_t>(row);
    if (col.null[r])
        return 0;
    if (storageOf(col.info.type) == Storage::Ints)
        return col.ints[r];
    if (col.info.type == DbxType::Double)
        return static_cast<std::int64_t>(col.reals[r]);
    return value(row, c).toLongLong();
}

double DataTable::real(int row, int c) const
{
    const Column &col = col_(c);
    const auto r = static_cast<std::size_t>(row);
    if (col.null[r])
        return 0;
    if (col.info.type == DbxType::Double)
        return col.reals[r];
    if (storageOf(col.info.type) == Storage::Ints)
        return static_cast<double>(col.ints[r]);
    return value(row, c).toDouble();
}

int DataTable::addColumn(const QString &name, DbxType type, int size)
{
    Column col;
    col.info = DataColumn{name, type, size};
    columns_.push_back(std::move(col));
    const int c = columnCount() - 1;
    for (int r = 0; r < rows_; ++r)
        appendNull(c);
    return c;
}

void DataTable::reserveRows(int rows)
{
    const auto n = static_cast<std::size_t>(rows);
    for (Column &col : columns_) {
        col.null.reserve(n);
        switch (storageOf(col.info.type)) {
        case Storage::Ints: col.ints.reserve(n); break;
        case Storage::Reals: col.reals.reserve(n); break;
        case Storage::Text:
            col.start.reserve(n);
            col.length.reserve(n);
            break;
        case Storage::Other: col.other.reserve(n); break;
        }
    }
}

void DataTable::clear()
{
    columns_.clear();
    rows_ = 0;
}

void DataTable::appendNull(int c)
{
    Column &col = col_(c);
    col.null.push_back(1);
    switch (storageOf(col.info.type)) {
    case Storage::Ints: col.ints.push_back(0); break;
    case Storage::Reals: col.reals.push_back(0); break;
    case Storage::Text:
        col.start.push_back(col.text.size());
        col.length.push_back(0);
        break;
    case Storage::Other: col.other.emplace_back(); break;
    }
}

void DataTable::appendInteger(int c, std::int64_t v)
{
    Column &col = col_(c);
    if (storageOf(col.info.type) != Storage::Ints)
        return appendVariant(c, QVariant(static_cast<qlonglong>(v)));
    col.null.push_back(0);
    col.ints.push_back(v);
}

void DataTable::appendBool(int c, bool v)
{
    appendInteger(c, v ? 1 : 0);
}

void DataTable::appendReal(int c, double v)
{
    Column &col = col_(c);
    if (col.info.type != DbxType::Double)
        return appendVariant(c, QVariant(v));
    col.null.push_back(0);
    col.reals.push_back(v);
}

void DataTable::reserveText(Column &col, qsizetype more)
{
    const qsizetype need = col.text.size() + more;
    if (need > col.text.capacity())
        col.text.reserve(std::max(need, col.text.capacity() * 2));
}

void DataTable::appendText(int c, QStringView v)
{
    Column &col = col_(c);
    if (col.info.type != DbxType::WideString)
        return appendVariant(c, v.toString());
    reserveText(col, v.size());
    col.null.push_back(0);
    col.start.push_back(col.text.size());
    col.length.push_back(static_cast<int>(v.size()));
    col.text.append(v);
}

void DataTable::appendUtf8(int c, const char *utf8, std::size_t size)
{
    Column &col = col_(c);
    if (col.info.type != DbxType::WideString)
        return appendVariant(c, QString::fromUtf8(utf8, static_cast<qsizetype>(size)));
    // UTF-16 never needs more units than UTF-8 has bytes: decode in place at the end of the buffer.
    const qsizetype used = col.text.size();
    reserveText(col, static_cast<qsizetype>(size));
    col.text.resize(used + static_cast<qsizetype>(size));
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QChar *begin = col.text.data() + used;
    QChar *end = decoder.appendToBuffer(begin, QByteArrayView(utf8, static_cast<qsizetype>(size)));
    col.text.resize(used + (end - begin));
    col.null.push_back(0);
    col.start.push_back(used);
    col.length.push_back(static_cast<int>(end - begin));
}

void DataTable::appendVariant(int c, const QVariant &v)
{
    Column &col = col_(c);
    if (!v.isValid() || v.isNull())
        return appendNull(c);
    switch (storageOf(col.info.type)) {
    case Storage::Ints:
        col.null.push_back(0);
        col.ints.push_back(col.info.type == DbxType::Boolean ? (v.toBool() ? 1 : 0) : v.toLongLong());
        return;
    case Storage::Reals:
        col.null.push_back(0);
        col.reals.push_back(v.toDouble());
        return;
    case Storage::Text:
        if (v.typeId() == QMetaType::QString)
            return appendText(c, *static_cast<const QString *>(v.constData()));
        return appendText(c, v.toString());
    case Storage::Other:
        col.null.push_back(0);
        switch (col.info.type) {
        case DbxType::Date: col.other.emplace_back(v.toDate()); return;
        case DbxType::DateTime: col.other.emplace_back(v.toDateTime()); return;
        case DbxType::BinaryBlob:
        case DbxType::JsonValue: col.other.emplace_back(v.toByteArray()); return;
        default: col.other.push_back(v); return;
        }
    }
}

void DataTable::appendRow(const std::vector<QVariant> &values)
{
    for (int c = 0; c < columnCount(); ++c) {
        const auto i = static_cast<std::size_t>(c);
        if (i < values.size())
            appendVariant(c, values[i]);
        else
            appendNull(c);
    }
    ++rows_;
}

void DataTable::setRowCount(int rows)
{
    for (const Column &col : columns_)
        if (col.null.size() != static_cast<std::size_t>(rows))
            throw ConversionError(QStringLiteral("column %1 has %2 cells, the table %3 rows")
                                      .arg(col.info.name).arg(col.null.size()).arg(rows));
    rows_ = rows;
}

void DataTable::setValue(int row, int c, const QVariant &v)
{
    Column &col = col_(c);
    const auto r = static_cast<std::size_t>(row);
    if (!v.isValid() || v.isNull()) {
        col.null[r] = 1;
        return;
    }
    col.null[r] = 0;
    switch (storageOf(col.info.type)) {
    case Storage::Ints:
        col.ints[r] = col.info.type == DbxType::Boolean ? (v.toBool() ? 1 : 0) : v.toLongLong();
        return;
    case Storage::Reals: col.reals[r] = v.toDouble(); return;
    case Storage::Text: {
        // The old characters stay in the buffer unused; edits are rare next to loads.
        const QString s = v.toString();
        reserveText(col, s.size());
        col.start[r] = col.text.size();
        col.length[r] = static_cast<int>(s.size());
        col.text.append(s);
        return;
    }
    case Storage::Other: col.other[r] = v; return;
    }
}

bool DataTable::operator==(const DataTable &other) const
{
    if (rows_ != other.rows_ || columns_.size() != other.columns_.size())
        return false;
    for (int c = 0; c < columnCount(); ++c) {
        if (column(c).name != other.column(c).name || column(c).type != other.column(c).type)
            return false;
        for (int r = 0; r < rows_; ++r)
            if (isNull(r, c) != other.isNull(r, c) || value(r, c) != other.value(r, c))
                return false;
    }
    return true;
}

} // namespace tarvik
