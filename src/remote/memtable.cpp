#include "memtable.h"

#include "servermethods.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace tarvik {

DatabaseError::DatabaseError(const QString &message)
    : RemoteError(QStringLiteral("EDatabaseError"), message)
{
}

// ---------------------------------------------------------------------------------------------------------
// Number formatting

namespace {

// Decimal separator, thousands separator and minus sign of the Turkish number settings.
struct Symbols
{
    char16_t decimal;
    char16_t group;
    char16_t minus;
};

const Symbols &symbols()
{
    static const Symbols s = [] {
        const QLocale tr(QLocale::Turkish, QLocale::Turkey);
        const auto first = [](const QString &text, char16_t fallback) {
            return text.size() == 1 ? text.at(0).unicode() : fallback;
        };
        return Symbols{first(tr.decimalPoint(), u','), first(tr.groupSeparator(), u'.'),
                       first(tr.negativeSign(), u'-')};
    }();
    return s;
}

// A non-negative number as significant decimal digits: value = 0.d1d2…dn × 10^point, no trailing zeros;
// n == 0 is zero.
struct Digits
{
    char d[32];
    int n = 0;
    int point = 0;

    void trim()
    {
        while (n > 0 && d[n - 1] == '0')
            --n;
    }
    char at(int i) const { return i >= 0 && i < n ? d[i] : '0'; }

    // Rounds to `decimals` places, halves away from zero.
    void round(int decimals)
    {
        const int keep = point + decimals;
        if (keep >= n)
            return;
        if (keep < 0) {
            n = 0;
            return;
        }
        const bool up = d[keep] >= '5';
        n = keep;
        if (up) {
            int i = n - 1;
            while (i >= 0 && d[i] == '9')
                --i;
            if (i < 0) {
                d[0] = '1';
                n = 1;
                ++point;
            } else {
                ++d[i];
                n = i + 1;
            }
        }
        trim();
    }
};

// The digits of a scientific text "d.ddde±xx".
Digits scientificDigits(const char *p, const char *end)
{
    Digits out;
    out.d[out.n++] = *p++;
    if (p < end && *p == '.')
        ++p;
    while (p < end && *p != 'e')
        out.d[out.n++] = *p++;
    int exp = 0;
    if (p < end)
        std::from_chars(p + 1 + (p[1] == '+' ? 1 : 0), end, exp);
    out.point = exp + 1;
    out.trim();
    return out;
}

// The value at 15 significant digits (the precision a double always carries), as FloatToStr prints it.
Digits printedDigits(double v)
{
    v = std::fabs(v);
    if (v == 0 || !std::isfinite(v))
        return {};
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific, 14);
    return scientificDigits(buf, res.ptr);
}

// The digits a mask rounds: the printed 15 digits, so that the noise of arithmetic does not move a half
// (1.15 * 3 = 3.4499999999999997 rounds as 3.45); from 1e12 on, where 15 digits no longer reach the
// thousandths, the shortest text that reads back as the same double. The same digits as IkiHaneYuvarla
// (money.h) decides on, so a rounded amount and its display agree.
Digits maskDigits(double v)
{
    v = std::fabs(v);
    if (v == 0 || !std::isfinite(v))
        return {};
    char buf[40];
    const auto res = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::scientific);
    Digits shortest = scientificDigits(buf, res.ptr);
    if (shortest.n > 15 && shortest.point - 1 < 12)
        return printedDigits(v);
    return shortest;
}

Digits digitsOf(std::int64_t v)
{
    Digits out;
    std::uint64_t u = v < 0 ? 0 - static_cast<std::uint64_t>(v) : static_cast<std::uint64_t>(v);
    char rev[24];
    int k = 0;
    while (u) {
        rev[k++] = static_cast<char>('0' + u % 10);
        u /= 10;
    }
    for (int i = 0; i < k; ++i)
        out.d[i] = rev[k - 1 - i];
    out.n = out.point = k;
    out.trim();
    return out;
}

// Output buffer for one formatted number: characters gather in a small array, spilled into the result
// when it fills up (only numbers of hundreds of digits do).
class Out
{
public:
    void put(char16_t c)
    {
        if (len_ == kSize)
            flush();
        buf_[len_++] = c;
    }
    void putDigit(char c) { put(static_cast<char16_t>(c)); }
    void put(const QString &s)
    {
        if (s.isEmpty())
            return;
        flush();
        result_ += s;
    }
    QString take()
    {
        flush();
        return std::move(result_);
    }

private:
    static constexpr int kSize = 64;

    void flush()
    {
        if (len_ == 0)
            return;
        if (result_.isEmpty())
            result_ = QString(reinterpret_cast<const QChar *>(buf_), len_);
        else
            result_.append(reinterpret_cast<const QChar *>(buf_), len_);
        len_ = 0;
    }

    char16_t buf_[kSize];
    int len_ = 0;
    QString result_;
};

QString formatDigits(Digits dg, bool negative, const NumberMask &mask)
{
    const NumberMask::Section *sec = &mask.sections[0];
    bool sign = negative;
    if (negative && mask.sectionCount >= 2) {
        sec = &mask.sections[1];
        sign = false;
    }
    dg.round(sec->maxFrac);
    if (dg.n == 0) {
        sign = false;
        if (mask.sectionCount >= 3)
            sec = &mask.sections[2];
        else if (negative && mask.sectionCount >= 2)
            sec = &mask.sections[0];
    }

    const Symbols &sym = symbols();
    Out out;
    out.put(sec->prefix);
    if (sign)
        out.put(sym.minus);
    const int intDigits = std::max(dg.n > 0 ? dg.point : 0, sec->minInt);
    const int first = (dg.n > 0 ? dg.point : 0) - intDigits; // index of the first integer digit shown
    for (int i = 0; i < intDigits; ++i) {
        if (sec->group && i > 0 && (intDigits - i) % 3 == 0)
            out.put(sym.group);
        out.putDigit(dg.at(first + i));
    }
    const int significantFrac = dg.n > 0 ? std::max(0, dg.n - dg.point) : 0;
    const int fracDigits = std::max(sec->minFrac, std::min(sec->maxFrac, significantFrac));
    if (fracDigits > 0) {
        out.put(sym.decimal);
        for (int j = 0; j < fracDigits; ++j)
            out.putDigit(dg.at(dg.point + j));
    }
    out.put(sec->suffix);
    return out.take();
}

} // namespace

NumberMask NumberMask::parse(QStringView mask)
{
    NumberMask m;
    if (mask.isEmpty())
        return m;
    qsizetype i = 0;
    while (m.sectionCount < 3) {
        Section &s = m.sections[m.sectionCount++];
        bool inFrac = false;
        bool seenPlaceholder = false;
        bool seenZero = false;
        int intFromZero = 0;
        QString literal;
        for (; i < mask.size() && mask[i] != u';'; ++i) {
            const QChar c = mask[i];
            if (c == u'"' || c == u'\'') {
                const qsizetype end = mask.indexOf(c, i + 1);
                const qsizetype stop = end < 0 ? mask.size() : end;
                literal += mask.mid(i + 1, stop - i - 1);
                i = stop < mask.size() ? stop : stop - 1;
                continue;
            }
            if (c == u'0' || c == u'#') {
                if (!seenPlaceholder) {
                    s.prefix = literal;
                    literal.clear();
                    seenPlaceholder = true;
                } else if (!literal.isEmpty()) {
                    literal.clear(); // text between placeholders is not shown
                }
                if (inFrac) {
                    ++s.maxFrac;
                    if (c == u'0')
                        s.minFrac = s.maxFrac;
                } else {
                    seenZero = seenZero || c == u'0';
                    if (seenZero)
                        ++intFromZero;
                }
                continue;
            }
            if (c == u'.' && !inFrac) {
                inFrac = true;
                if (!seenPlaceholder) {
                    s.prefix = literal;
                    literal.clear();
                    seenPlaceholder = true;
                }
                continue;
            }
            if (c == u',' && !inFrac && seenPlaceholder) {
                s.group = true;
                continue;
            }
            if (c == u',' && !inFrac) {
                // A comma before the first placeholder (",0.00 TL") asks for thousands separators as
                // well, when a placeholder follows in the section.
                qsizetype end = mask.indexOf(u';', i);
                if (end < 0)
                    end = mask.size();
                const QStringView rest = mask.mid(i + 1, end - i - 1);
                if (rest.contains(u'0') || rest.contains(u'#')) {
                    s.group = true;
                    continue;
                }
            }
            literal += c;
        }
        s.minInt = intFromZero;
        if (seenPlaceholder)
            s.suffix = literal;
        else
            s.prefix = literal;
        if (i >= mask.size())
            break;
        ++i; // the ';'
    }
    return m;
}

QString formatFloat(double value, const NumberMask &mask)
{
    if (mask.isEmpty())
        return plainFloatText(value);
    if (!std::isfinite(value))
        return plainFloatText(value);
    return formatDigits(maskDigits(value), value < 0, mask);
}

QString formatFloat(double value, QStringView mask)
{
    return formatFloat(value, NumberMask::parse(mask));
}

QString formatInteger(std::int64_t value, const NumberMask &mask)
{
    if (mask.isEmpty())
        return QString::number(value);
    return formatDigits(digitsOf(value), value < 0, mask);
}

QString plainFloatText(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const Digits dg = printedDigits(value);
    if (dg.n == 0)
        return QStringLiteral("0");
    const Symbols &sym = symbols();
    Out out;
    if (value < 0)
        out.put(sym.minus);
    const int exp = dg.point - 1;
    if (exp >= -5 && exp < 15) {
        if (dg.point <= 0) {
            out.putDigit('0');
            out.put(sym.decimal);
            for (int i = dg.point; i < 0; ++i)
                out.putDigit('0');
            for (int i = 0; i < dg.n; ++i)
                out.putDigit(dg.d[i]);
        } else {
            for (int i = 0; i < dg.point; ++i)
                out.putDigit(dg.at(i));
            if (dg.n > dg.point) {
                out.put(sym.decimal);
                for (int i = dg.point; i < dg.n; ++i)
                    out.putDigit(dg.d[i]);
            }
        }
    } else {
        out.putDigit(dg.d[0]);
        if (dg.n > 1) {
            out.put(sym.decimal);
            for (int i = 1; i < dg.n; ++i)
                out.putDigit(dg.d[i]);
        }
        out.put(u'E');
        if (exp < 0)
            out.put(sym.minus);
        char e[8];
        const auto res = std::to_chars(e, e + sizeof e, exp < 0 ? -exp : exp);
        for (const char *p = e; p < res.ptr; ++p)
            out.putDigit(*p);
    }
    return out.take();
}

// ---------------------------------------------------------------------------------------------------------
// Conversions

namespace {

bool isNumberType(DbxType t)
{
    return t == DbxType::Int32 || t == DbxType::Int64 || t == DbxType::Double || t == DbxType::Boolean;
}

bool isIntegerMeta(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

// Text read as a number: Turkish separators first ("1.234,5"), then the C form ("1234.5").
bool parseNumber(QStringView text, double &out)
{
    const QStringView t = text.trimmed();
    if (t.isEmpty())
        return false;
    bool ok = false;
    static const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    out = tr.toDouble(t, &ok);
    if (ok)
        return true;
    out = QLocale::c().toDouble(t, &ok);
    return ok;
}

// A value as a number: true when it is one or reads as one.
bool toNumber(const QVariant &v, double &out, bool &integral, std::int64_t &asInt)
{
    integral = false;
    if (isIntegerMeta(v.typeId())) {
        asInt = v.toLongLong();
        out = static_cast<double>(asInt);
        integral = true;
        return true;
    }
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float) {
        out = v.toDouble();
        return std::isfinite(out);
    }
    if (v.typeId() == QMetaType::QString) {
        const QString s = v.toString();
        bool ok = false;
        asInt = s.trimmed().toLongLong(&ok);
        if (ok) {
            out = static_cast<double>(asInt);
            integral = true;
            return true;
        }
        return parseNumber(s, out);
    }
    bool ok = false;
    out = v.toDouble(&ok);
    return ok;
}

std::int64_t roundToInteger(double v)
{
    if (!(std::fabs(v) < 9.2e18))
        throw ConversionError(QStringLiteral("%1 is not a valid integer value").arg(plainFloatText(v)));
    return std::llround(v);
}

QString dateText(const QDate &d)
{
    return d.isValid() ? d.toString(u"dd.MM.yyyy") : QString();
}

QString dateTimeText(const QDateTime &dt)
{
    if (!dt.isValid())
        return {};
    if (dt.time() == QTime(0, 0))
        return dateText(dt.date());
    return dt.toString(u"dd.MM.yyyy HH:mm:ss");
}

} // namespace

// ---------------------------------------------------------------------------------------------------------
// MemTable

MemTable::MemTable(QString name) : name_(std::move(name)) {}

MemTable::~MemTable()
{
    const auto listeners = listeners_;
    for (MemTableListener *l : listeners)
        l->tableDestroyed();
}

void MemTable::fail(const QString &message) const
{
    throw DatabaseError(name_.isEmpty() ? message : name_ + QStringLiteral(": ") + message);
}

void MemTable::requireOpen() const
{
    if (state_ == State::Inactive)
        fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

// FNV-1a over the name with ASCII letters in lower case. A name with other characters hashes to 0, which
// matches every name: case folding outside ASCII is left to the full comparison.
std::uint32_t MemTable::nameHash(QStringView name)
{
    std::uint32_t h = 2166136261u;
    for (const QChar ch : name) {
        char16_t c = ch.unicode();
        if (c >= 0x80)
            return 0;
        if (c >= u'A' && c <= u'Z')
            c = static_cast<char16_t>(c + (u'a' - u'A'));
        h = (h ^ c) * 16777619u;
    }
    return h | 1u;
}

void MemTable::hashNames()
{
    nameHashes_.resize(static_cast<std::size_t>(table_.columnCount()));
    for (int c = 0; c < table_.columnCount(); ++c)
        nameHashes_[static_cast<std::size_t>(c)] = nameHash(table_.column(c).name);
}

int MemTable::fieldIndex(QStringView name) const
{
    const std::uint32_t h = nameHash(name);
    const int n = table_.columnCount();
    for (int c = 0; c < n; ++c) {
        const std::uint32_t ch = nameHashes_[static_cast<std::size_t>(c)];
        if (h != 0 && ch != 0 && ch != h)
            continue;
        const QString &col = table_.column(c).name;
        if (col.size() == name.size() && (col == name || name.compare(col, Qt::CaseInsensitive) == 0))
            return c;
    }
    return -1;
}

int MemTable::requireField(QStringView name) const
{
    const int c = fieldIndex(name);
    if (c < 0)
        fail(QStringLiteral("Field '%1' not found").arg(name));
    return c;
}

int MemTable::recordCount() const
{
    return mapped_ ? static_cast<int>(map_.size()) : table_.rowCount();
}

// --- Opening and filling ---------------------------------------------------------------------------------

void MemTable::replace(DataTable &&table, bool keepMasks)
{
    notify([](MemTableListener *l) { l->tableAboutToBeReset(); });
    dropEdit();
    table_ = std::move(table);
    hashNames();
    map_.clear();
    map_.shrink_to_fit();
    mapped_ = false;
    if (!keepMasks)
        masks_.clear();
    masks_.resize(static_cast<std::size_t>(table_.columnCount()));
    state_ = State::Browse;
    resetCursor();
    notify([](MemTableListener *l) { l->tableReset(); });
}

void MemTable::resetCursor()
{
    const int n = recordCount();
    row_ = n > 0 ? 0 : -1;
    bof_ = true;
    eof_ = n == 0;
}

void MemTable::close()
{
    if (state_ == State::Inactive)
        return;
    notify([](MemTableListener *l) { l->tableAboutToBeReset(); });
    dropEdit();
    table_ = DataTable();
    nameHashes_.clear();
    map_ = {};
    mapped_ = false;
    masks_.clear();
    state_ = State::Inactive;
    row_ = -1;
    eof_ = bof_ = true;
    notify([](MemTableListener *l) { l->tableReset(); });
}

void MemTable::createTable(const std::vector<DataColumn> &columns)
{
    DataTable t;
    for (const DataColumn &c : columns)
        t.addColumn(c.name, c.type, c.size);
    replace(std::move(t), false);
}

void MemTable::assignDataPacket(DataTable packet)
{
    replace(std::move(packet), false);
}

void MemTable::copyFrom(const DataTable &table)
{
    replace(DataTable(table), false);
}

void MemTable::copyFrom(const TableReader &reader)
{
    copyFrom(reader.table());
}

void MemTable::emptyTable()
{
    requireOpen();
    DataTable t;
    for (int c = 0; c < table_.columnCount(); ++c) {
        const DataColumn &info = table_.column(c);
        t.addColumn(info.name, info.type, info.size);
    }
    replace(std::move(t), true);
}

// --- Cursor ----------------------------------------------------------------------------------------------

void MemTable::browseMode()
{
    requireOpen();
    if (state_ == State::Edit || state_ == State::Insert) {
        if (modified_)
            post();
        else
            cancel();
    }
}

void MemTable::first()
{
    browseMode();
    resetCursor();
}

void MemTable::last()
{
    browseMode();
    const int n = recordCount();
    row_ = n - 1;
    eof_ = true;
    bof_ = n == 0;
}

void MemTable::next()
{
    browseMode();
    const int n = recordCount();
    if (row_ + 1 < n) {
        ++row_;
        bof_ = eof_ = false;
    } else {
        eof_ = true;
    }
}

void MemTable::prior()
{
    browseMode();
    if (row_ > 0) {
        --row_;
        bof_ = eof_ = false;
    } else {
        bof_ = true;
    }
}

void MemTable::setRecNo(int row)
{
    browseMode();
    if (row < 0 || row >= recordCount())
        fail(QStringLiteral("Record %1 out of range (%2 records)").arg(row).arg(recordCount()));
    row_ = row;
    bof_ = eof_ = false;
}

bool MemTable::locate(QStringView columnName, const QVariant &value, Qt::CaseSensitivity cs)
{
    const int c = requireField(columnName);
    browseMode();
    const int n = recordCount();
    const DbxType type = table_.column(c).type;
    int found = -1;

    if (!value.isValid() || value.isNull()) {
        for (int r = 0; r < n && found < 0; ++r)
            if (table_.isNull(physical(r), c))
                found = r;
    } else if (isNumberType(type)) {
        double target = 0;
        bool integral = false;
        std::int64_t targetInt = 0;
        if (!toNumber(value, target, integral, targetInt))
            return false;
        if (type == DbxType::Double) {
            for (int r = 0; r < n && found < 0; ++r) {
                const int p = physical(r);
                if (!table_.isNull(p, c) && table_.real(p, c) == target)
                    found = r;
            }
        } else {
            if (!integral) {
                if (target != std::trunc(target) || !(std::fabs(target) < 9.2e18))
                    return false;
                targetInt = static_cast<std::int64_t>(target);
            }
            if (type == DbxType::Boolean)
                targetInt = targetInt != 0 ? 1 : 0; // any non-zero number finds true
            for (int r = 0; r < n && found < 0; ++r) {
                const int p = physical(r);
                if (!table_.isNull(p, c) && table_.integer(p, c) == targetInt)
                    found = r;
            }
        }
    } else if (type == DbxType::WideString) {
        QString target;
        if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
            target = plainFloatText(value.toDouble());
        else
            target = value.toString();
        for (int r = 0; r < n && found < 0; ++r) {
            const int p = physical(r);
            if (table_.isNull(p, c))
                continue;
            const QStringView cell = table_.text(p, c);
            if (cell.size() == target.size() && cell.compare(target, cs) == 0)
                found = r;
        }
    } else {
        QVariant target;
        switch (type) {
        case DbxType::Date: target = value.toDate(); break;
        case DbxType::DateTime: target = value.toDateTime(); break;
        case DbxType::BinaryBlob:
        case DbxType::JsonValue: target = value.toByteArray(); break;
        default: target = value; break;
        }
        for (int r = 0; r < n && found < 0; ++r) {
            const int p = physical(r);
            if (!table_.isNull(p, c) && table_.value(p, c) == target)
                found = r;
        }
    }
    if (found < 0)
        return false;
    row_ = found;
    bof_ = eof_ = false;
    return true;
}

// --- Fields of the current row ---------------------------------------------------------------------------

QVariant MemTable::field(int col) const
{
    requireOpen();
    if (col < 0 || col >= columnCount())
        fail(QStringLiteral("Field index %1 out of range").arg(col));
    const auto c = static_cast<std::size_t>(col);
    if (state_ == State::Insert || (state_ == State::Edit && touched_[c]))
        return pending_[c];
    if (row_ < 0)
        return {};
    return table_.value(physical(row_), col);
}

bool MemTable::fieldIsNull(int col) const
{
    const QVariant v = field(col);
    return !v.isValid() || v.isNull();
}

QString MemTable::cellText(const QVariant &v, int col, bool masked) const
{
    if (!v.isValid() || v.isNull())
        return {};
    const NumberMask *mask = masked ? maskOf(col) : nullptr;
    switch (table_.column(col).type) {
    case DbxType::Int32:
    case DbxType::Int64:
        return mask ? formatInteger(v.toLongLong(), *mask) : QString::number(v.toLongLong());
    case DbxType::Double:
        return mask ? formatFloat(v.toDouble(), *mask) : plainFloatText(v.toDouble());
    case DbxType::Boolean: return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case DbxType::Date: return dateText(v.toDate());
    case DbxType::DateTime: return dateTimeText(v.toDateTime());
    case DbxType::BinaryBlob: return QStringLiteral("(BLOB)");
    case DbxType::Table: return QStringLiteral("(DATASET)");
    case DbxType::JsonValue: return QString::fromUtf8(v.toByteArray());
    default: return v.toString();
    }
}

QString MemTable::fieldText(int col) const
{
    // Text cells of the current row straight from the column buffer.
    if (state_ == State::Browse && row_ >= 0 && col >= 0 && col < columnCount()
        && table_.column(col).type == DbxType::WideString)
        return table_.text(physical(row_), col).toString();
    return cellText(field(col), col, false);
}

QString MemTable::fieldDisplayText(int col) const
{
    return cellText(field(col), col, true);
}

double MemTable::fieldDouble(int col) const
{
    if (state_ == State::Browse && row_ >= 0 && col >= 0 && col < columnCount()) {
        const int p = physical(row_);
        const DbxType t = table_.column(col).type;
        if (t == DbxType::Double || t == DbxType::Int32 || t == DbxType::Int64 || t == DbxType::Boolean)
            return table_.real(p, col);
    }
    const QVariant v = field(col);
    if (!v.isValid() || v.isNull())
        return 0;
    double d = 0;
    bool integral = false;
    std::int64_t i = 0;
    if (!toNumber(v, d, integral, i)) {
        if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return 0;
        throw ConversionError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
    }
    return d;
}

std::int64_t MemTable::fieldInt64(int col) const
{
    if (state_ == State::Browse && row_ >= 0 && col >= 0 && col < columnCount()) {
        const int p = physical(row_);
        const DbxType t = table_.column(col).type;
        if (t == DbxType::Int32 || t == DbxType::Int64 || t == DbxType::Boolean)
            return table_.integer(p, col);
        if (t == DbxType::Double)
            return table_.isNull(p, col) ? 0 : roundToInteger(table_.real(p, col));
    }
    const QVariant v = field(col);
    if (!v.isValid() || v.isNull())
        return 0;
    double d = 0;
    bool integral = false;
    std::int64_t i = 0;
    if (!toNumber(v, d, integral, i)) {
        if (v.typeId() == QMetaType::QString && v.toString().trimmed().isEmpty())
            return 0;
        throw ConversionError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
    }
    return integral ? i : roundToInteger(d);
}

// --- Editing ---------------------------------------------------------------------------------------------

void MemTable::startEdit(State state)
{
    const auto n = static_cast<std::size_t>(columnCount());
    pending_.assign(n, QVariant());
    touched_.assign(n, 0);
    modified_ = false;
    state_ = state;
}

void MemTable::dropEdit()
{
    pending_.clear();
    touched_.clear();
    modified_ = false;
    if (state_ == State::Edit || state_ == State::Insert)
        state_ = State::Browse;
}

void MemTable::edit()
{
    requireOpen();
    if (state_ == State::Edit || state_ == State::Insert)
        return;
    if (recordCount() == 0) {
        append();
        return;
    }
    startEdit(State::Edit);
}

void MemTable::append()
{
    browseMode();
    startEdit(State::Insert);
    bof_ = eof_ = false;
}

void MemTable::setField(int col, const QVariant &value)
{
    requireOpen();
    if (state_ != State::Edit && state_ != State::Insert)
        fail(QStringLiteral("Dataset not in edit or insert mode"));
    if (col < 0 || col >= columnCount())
        fail(QStringLiteral("Field index %1 out of range").arg(col));
    const DataColumn &info = table_.column(col);
    QVariant v;
    if (value.isValid() && !value.isNull()) {
        const auto bad = [&]() {
            return ConversionError(QStringLiteral("'%1' is not a valid value for field '%2'")
                                       .arg(value.toString(), info.name));
        };
        double d = 0;
        bool integral = false;
        std::int64_t i = 0;
        switch (info.type) {
        case DbxType::Int32:
        case DbxType::Int64: {
            if (!toNumber(value, d, integral, i))
                throw bad();
            const std::int64_t n = integral ? i : roundToInteger(d);
            if (info.type == DbxType::Int32) {
                if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
                    throw bad();
                v = static_cast<int>(n);
            } else {
                v = static_cast<qlonglong>(n);
            }
            break;
        }
        case DbxType::Double:
            if (!toNumber(value, d, integral, i))
                throw bad();
            v = d;
            break;
        case DbxType::Boolean:
            if (value.typeId() == QMetaType::QString) {
                const QString s = value.toString().trimmed();
                if (s.compare(u"true", Qt::CaseInsensitive) == 0 || s == u"1")
                    v = true;
                else if (s.compare(u"false", Qt::CaseInsensitive) == 0 || s == u"0")
                    v = false;
                else
                    throw bad();
            } else {
                v = value.toBool();
            }
            break;
        case DbxType::WideString:
            if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float)
                v = plainFloatText(value.toDouble());
            else
                v = value.toString();
            break;
        case DbxType::Date: {
            QDate dt = value.typeId() == QMetaType::QString
                           ? QDate::fromString(value.toString().trimmed(), u"dd.MM.yyyy")
                           : value.toDate();
            if (!dt.isValid())
                dt = value.toDate();
            if (!dt.isValid())
                throw bad();
            v = dt;
            break;
        }
        case DbxType::DateTime: {
            QDateTime dt = value.toDateTime();
            if (!dt.isValid() && value.typeId() == QMetaType::QString)
                dt = QDateTime::fromString(value.toString().trimmed(), u"dd.MM.yyyy HH:mm:ss");
            if (!dt.isValid() && value.typeId() == QMetaType::QString)
                dt = QDateTime(QDate::fromString(value.toString().trimmed(), u"dd.MM.yyyy"), QTime(0, 0));
            if (!dt.isValid())
                throw bad();
            v = dt;
            break;
        }
        case DbxType::BinaryBlob:
        case DbxType::JsonValue: v = value.toByteArray(); break;
        default: v = value; break;
        }
    }
    const auto c = static_cast<std::size_t>(col);
    pending_[c] = std::move(v);
    touched_[c] = 1;
    modified_ = true;
}

void MemTable::post()
{
    if (state_ == State::Edit) {
        const int row = row_;
        const int p = physical(row);
        for (std::size_t c = 0; c < touched_.size(); ++c)
            if (touched_[c])
                table_.setValue(p, static_cast<int>(c), pending_[c]);
        dropEdit();
        notify([row](MemTableListener *l) { l->rowChanged(row); });
    } else if (state_ == State::Insert) {
        const int row = recordCount();
        notify([row](MemTableListener *l) { l->rowAboutToBeAppended(row); });
        std::vector<QVariant> values = std::move(pending_);
        dropEdit();
        table_.appendRow(values);
        if (mapped_)
            map_.push_back(table_.rowCount() - 1);
        row_ = row;
        bof_ = eof_ = false;
        notify([](MemTableListener *l) { l->rowAppended(); });
    }
}

void MemTable::cancel()
{
    dropEdit();
}

void MemTable::appendRecord(const std::vector<QVariant> &values)
{
    append();
    const int n = std::min(columnCount(), static_cast<int>(values.size()));
    for (int c = 0; c < n; ++c)
        setField(c, values[static_cast<std::size_t>(c)]);
    modified_ = true;
    post();
}

void MemTable::deleteRow()
{
    requireOpen();
    if (state_ == State::Insert) {
        cancel();
        return;
    }
    dropEdit();
    const int n = recordCount();
    if (n == 0 || row_ < 0)
        fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const int row = row_;
    notify([row](MemTableListener *l) { l->rowAboutToBeRemoved(row); });
    if (!mapped_) {
        map_.resize(static_cast<std::size_t>(n));
        for (int r = 0; r < n; ++r)
            map_[static_cast<std::size_t>(r)] = r;
        mapped_ = true;
    }
    map_.erase(map_.begin() + row);
    // Deleted rows stay in table_ until they outnumber the live ones.
    const int dead = table_.rowCount() - static_cast<int>(map_.size());
    if (dead >= 64 && dead > static_cast<int>(map_.size()))
        compact();
    const int left = recordCount();
    row_ = std::min(row, left - 1);
    bof_ = eof_ = left == 0;
    notify([](MemTableListener *l) { l->rowRemoved(); });
}

// Rebuilds table_ with the live rows only, column by column through the typed builders.
void MemTable::compact()
{
    DataTable t;
    const int cols = table_.columnCount();
    const int rows = recordCount();
    for (int c = 0; c < cols; ++c) {
        const DataColumn &info = table_.column(c);
        t.addColumn(info.name, info.type, info.size);
    }
    t.reserveRows(rows);
    for (int c = 0; c < cols; ++c) {
        const DbxType type = table_.column(c).type;
        for (int r = 0; r < rows; ++r) {
            const int p = physical(r);
            if (table_.isNull(p, c)) {
                t.appendNull(c);
                continue;
            }
            switch (type) {
            case DbxType::Int32:
            case DbxType::Int64:
            case DbxType::Boolean: t.appendInteger(c, table_.integer(p, c)); break;
            case DbxType::Double: t.appendReal(c, table_.real(p, c)); break;
            case DbxType::WideString: t.appendText(c, table_.text(p, c)); break;
            default: t.appendVariant(c, table_.value(p, c)); break;
            }
        }
    }
    t.setRowCount(rows);
    table_ = std::move(t);
    map_ = {};
    mapped_ = false;
}

// --- Display ---------------------------------------------------------------------------------------------

const NumberMask *MemTable::maskOf(int col) const
{
    const auto c = static_cast<std::size_t>(col);
    if (c >= masks_.size() || masks_[c].parsed.isEmpty())
        return nullptr;
    return &masks_[c].parsed;
}

QString MemTable::displayText(int row, int col) const
{
    const int p = physical(row);
    if (table_.isNull(p, col))
        return {};
    const NumberMask *mask = maskOf(col);
    switch (table_.column(col).type) {
    case DbxType::WideString: return table_.text(p, col).toString();
    case DbxType::Double: return mask ? formatFloat(table_.real(p, col), *mask) : plainFloatText(table_.real(p, col));
    case DbxType::Int32:
    case DbxType::Int64:
        return mask ? formatInteger(table_.integer(p, col), *mask) : QString::number(table_.integer(p, col));
    default: return cellText(table_.value(p, col), col, true);
    }
}

void MemTable::setDisplayMask(int col, const QString &mask)
{
    if (col < 0 || col >= columnCount())
        fail(QStringLiteral("Field index %1 out of range").arg(col));
    Mask &m = masks_[static_cast<std::size_t>(col)];
    if (m.text == mask)
        return;
    m.text = mask;
    m.parsed = NumberMask::parse(mask);
    notify([col](MemTableListener *l) { l->displayChanged(col); });
}

QString MemTable::displayMask(int col) const
{
    const auto c = static_cast<std::size_t>(col);
    return c < masks_.size() ? masks_[c].text : QString();
}

// --- Display-update suspension and listeners -------------------------------------------------------------

void MemTable::disableControls()
{
    if (disabled_++ == 0)
        for (MemTableListener *l : listeners_)
            l->updatesSuspended();
}

void MemTable::enableControls()
{
    if (disabled_ == 0)
        return;
    if (--disabled_ == 0)
        for (std::size_t i = 0; i < listeners_.size(); ++i)
            listeners_[i]->updatesResumed();
}

void MemTable::addListener(MemTableListener *listener)
{
    if (listener && std::find(listeners_.begin(), listeners_.end(), listener) == listeners_.end())
        listeners_.push_back(listener);
}

void MemTable::removeListener(MemTableListener *listener)
{
    listeners_.erase(std::remove(listeners_.begin(), listeners_.end(), listener), listeners_.end());
}

} // namespace tarvik

// ---------------------------------------------------------------------------------------------------------
// Helpers for the program's tables

void SayiBicimiAyarla(tarvik::MemTable &table)
{
    static const QString mask = QStringLiteral("#,###,##0.00");
    for (int c = 0; c < table.columnCount(); ++c)
        if (table.columnType(c) == tarvik::DbxType::Double)
            table.setDisplayMask(c, mask);
}

bool VeriVarmi(const tarvik::MemTable &table)
{
    return table.isOpen() && table.recordCount() > 0;
}

bool SeciliVarmi(tarvik::MemTable &table)
{
    if (!VeriVarmi(table))
        return false;
    const int sec = table.fieldIndex(u"SEC");
    if (sec < 0)
        static_cast<void>(table.field(u"SEC")); // raises "Field 'SEC' not found"
    const bool text = table.columnType(sec) == tarvik::DbxType::WideString;
    table.first();
    while (!table.eof()) {
        if (!table.fieldIsNull(sec)
            && (text ? table.fieldText(sec).trimmed() == u"1" : table.fieldDouble(sec) == 1.0))
            return true;
        table.next();
    }
    return false;
}
