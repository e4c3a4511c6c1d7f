#include "table_json.h"

#include "table_json_dom.h"

#include <QDate>
#include <QDateTime>

namespace tarvik {

namespace {

const QString kDateFormat = QStringLiteral("yyyy-MM-dd");
const QString kDateTimeFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz");

void writeOther(JsonWriter &w, DbxType type, const QVariant &v, const QString &columnName)
{
    switch (type) {
    case DbxType::Date: w.value(v.toDate().toString(kDateFormat)); return;
    case DbxType::DateTime: w.value(v.toDateTime().toString(kDateTimeFormat)); return;
    case DbxType::BinaryBlob: {
        const QByteArray b64 = v.toByteArray().toBase64();
        w.value(std::string_view(b64.constData(), static_cast<std::size_t>(b64.size())));
        return;
    }
    case DbxType::JsonValue: {
        const QByteArray text = v.toByteArray();
        w.raw(std::string_view(text.constData(), static_cast<std::size_t>(text.size())));
        return;
    }
    case DbxType::Table: writeTable(w, v.value<DataTable>()); return;
    default: break;
    }
    throw ConversionError(QStringLiteral("column %1 has a type that cannot travel in a table").arg(columnName));
}

void writeColumn(JsonWriter &w, const DataTable &t, int c)
{
    const DbxType type = t.column(c).type;
    const int rows = t.rowCount();
    for (int r = 0; r < rows; ++r) {
        if (t.isNull(r, c)) {
            w.null();
            continue;
        }
        switch (type) {
        case DbxType::WideString: w.value(t.text(r, c)); break;
        case DbxType::Int32:
        case DbxType::Int64: w.value(t.integer(r, c)); break;
        case DbxType::Boolean: w.value(t.integer(r, c) != 0); break;
        case DbxType::Double: w.value(t.real(r, c)); break;
        default: writeOther(w, type, t.value(r, c), t.column(c).name);
        }
    }
}

} // namespace

void writeTable(JsonWriter &w, const DataTable &t)
{
    if (t.columnCount() > kMaxTableColumns)
        throw ConversionError(QStringLiteral("a table of %1 columns exceeds the limit of %2").arg(t.columnCount()).arg(kMaxTableColumns));
    if (t.rowCount() > kMaxTableRows)
        throw ConversionError(QStringLiteral("a table of %1 rows exceeds the limit of %2").arg(t.rowCount()).arg(kMaxTableRows));
    w.beginObject();
    w.key("table");
    w.beginArray();
    for (int c = 0; c < t.columnCount(); ++c) {
        const DataColumn &col = t.column(c);
        if (col.name.compare(QLatin1String("table"), Qt::CaseInsensitive) == 0)
            throw ConversionError(QStringLiteral("a table column may not be named \"table\""));
        if (t.indexOf(col.name) != c)
            throw ConversionError(QStringLiteral("column name %1 is used twice").arg(col.name));
        w.beginArray();
        w.value(col.name);
        w.value(static_cast<int>(col.type));
        w.value(c);      // ordinal
        w.value(0);      // subtype
        w.value(0);      // scale
        w.value(col.size);
        w.value(0);      // precision
        w.value(0);      // child position
        w.value(true);   // nullable
        w.value(false);  // hidden
        w.value(0);      // parameter direction
        w.value(false);  // value parameter
        w.value(false);  // literal
        w.endArray();
    }
    w.endArray();
    for (int c = 0; c < t.columnCount(); ++c) {
        const DataColumn &col = t.column(c);
        w.key(col.name);
        w.beginArray();
        writeColumn(w, t, c);
        w.endArray();
    }
    w.endObject();
}

QByteArray tableToJson(const DataTable &table)
{
    JsonWriter w(4096);
    writeTable(w, table);
    return w.take();
}

DataTable tableFromJson(std::string_view text)
{
    json::Parser parser;
    return json::readTable(parser.parse(text), "table");
}

namespace json {

namespace {

QString columnPath(std::string_view what, const QString &column)
{
    return toQString(what) + QLatin1Char('.') + column;
}

QVariant readOther(Element e, DbxType type, const std::string &what)
{
    switch (type) {
    case DbxType::Date: {
        const QString s = asString(e, what);
        const QDate d = QDate::fromString(s, kDateFormat);
        if (!d.isValid())
            throw ConversionError(QStringLiteral("%1: \"%2\" is not a date (yyyy-MM-dd)").arg(toQString(what), s));
        return d;
    }
    case DbxType::DateTime: {
        const QString s = asString(e, what);
        QDateTime dt = QDateTime::fromString(s, kDateTimeFormat);
        if (!dt.isValid()) // with a zone ("Z", "+03:00"): the same instant in local time, as the writer writes it
            dt = QDateTime::fromString(s, Qt::ISODate).toLocalTime();
        if (!dt.isValid())
            throw ConversionError(QStringLiteral("%1: \"%2\" is not a date and time").arg(toQString(what), s));
        return dt;
    }
    case DbxType::BinaryBlob: {
        std::string_view s;
        if (e.get_string().get(s))
            throw ConversionError(QStringLiteral("%1: expected base64 text").arg(toQString(what)));
        auto decoded = QByteArray::fromBase64Encoding(QByteArray::fromRawData(s.data(), static_cast<qsizetype>(s.size())),
                                                      QByteArray::AbortOnBase64DecodingErrors);
        if (!decoded)
            throw ConversionError(QStringLiteral("%1: invalid base64").arg(toQString(what)));
        return *decoded;
    }
    case DbxType::JsonValue: return QByteArray::fromStdString(minify(e));
    case DbxType::Table: return QVariant::fromValue(readTable(e, what));
    default: break;
    }
    throw ConversionError(QStringLiteral("%1: column type cannot hold values").arg(toQString(what)));
}

void readColumn(DataTable &t, int c, Array cells, const std::string &what)
{
    const DbxType type = t.column(c).type;
    for (Element e : cells) {
        if (e.is_null()) {
            t.appendNull(c);
            continue;
        }
        switch (type) {
        case DbxType::WideString: {
            std::string_view s;
            if (e.get_string().get(s))
                asString(e, what); // raises the error naming the kind
            t.appendUtf8(c, s.data(), s.size());
            break;
        }
        case DbxType::Int32: t.appendInteger(c, asInt32(e, what)); break;
        case DbxType::Int64: t.appendInteger(c, asInt64(e, what)); break;
        case DbxType::Double: t.appendReal(c, asDouble(e, what)); break;
        case DbxType::Boolean: t.appendBool(c, asBool(e, what)); break;
        default: t.appendVariant(c, readOther(e, type, what));
        }
    }
}

} // namespace

DataTable readTable(Element value, std::string_view what)
{
    Object o = asObject(value, what);
    Element meta;
    if (!find(o, "table", meta))
        throw ConversionError(QStringLiteral("%1: the table has no \"table\" column list").arg(toQString(what)));
    Array metaArray = asArray(meta, what);
    if (metaArray.size() > static_cast<std::size_t>(kMaxTableColumns))
        throw ConversionError(QStringLiteral("%1: %2 columns exceed the limit of %3")
                                  .arg(toQString(what)).arg(metaArray.size()).arg(kMaxTableColumns));
    DataTable t;
    std::vector<std::string_view> keys;
    for (Element colMeta : metaArray) {
        Array desc = asArray(colMeta, "column description");
        if (desc.size() < 2)
            throw ConversionError(QStringLiteral("%1: a column description needs a name and a type").arg(toQString(what)));
        std::string_view key;
        if (desc.at(0).get_string().get(key))
            throw ConversionError(QStringLiteral("%1: a column name must be a string").arg(toQString(what)));
        const QString name = toQString(key);
        const std::int32_t type = asInt32(desc.at(1).value_unsafe(), "column type");
        if (!isKnownDbxType(type) || type == static_cast<int>(DbxType::Callback))
            throw ConversionError(QStringLiteral("%1: column %2 has unknown type %3").arg(toQString(what), name).arg(type));
        if (name.compare(QLatin1String("table"), Qt::CaseInsensitive) == 0 || t.indexOf(name) >= 0)
            throw ConversionError(QStringLiteral("%1: column name %2 is used twice or reserved").arg(toQString(what), name));
        int size = 0;
        if (desc.size() > 5) {
            std::int64_t s = 0;
            if (desc.at(5).get_int64().get(s) == simdjson::SUCCESS && s >= 0 && s <= INT32_MAX)
                size = static_cast<int>(s);
        }
        t.addColumn(name, static_cast<DbxType>(type), size);
        keys.push_back(key);
    }
    std::size_t rows = 0;
    for (int c = 0; c < t.columnCount(); ++c) {
        Element cells;
        if (!find(o, keys[static_cast<std::size_t>(c)], cells))
            throw ConversionError(QStringLiteral("%1: column %2 has no values").arg(toQString(what), t.column(c).name));
        const std::string path = columnPath(what, t.column(c).name).toStdString();
        Array arr = asArray(cells, path);
        const std::size_t n = arr.size();
        if (c == 0) {
            if (n > static_cast<std::size_t>(kMaxTableRows))
                throw ConversionError(QStringLiteral("%1: %2 rows exceed the limit of %3").arg(toQString(what)).arg(n).arg(kMaxTableRows));
            rows = n;
            t.reserveRows(static_cast<int>(n));
        } else if (n != rows) {
            throw ConversionError(QStringLiteral("%1: column %2 has %3 values, the first column %4")
                                      .arg(toQString(what), t.column(c).name).arg(n).arg(rows));
        }
        readColumn(t, c, arr, path);
    }
    t.setRowCount(static_cast<int>(rows));
    return t;
}

} // namespace json

} // namespace tarvik
