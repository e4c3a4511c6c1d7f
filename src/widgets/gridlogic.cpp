#include "gridlogic.h"

#include "memtable.h"

#include <QDateTime>
#include <QLocale>

#include <cmath>

namespace tarvik {

std::vector<int> weightedWidths(const std::vector<int> &weights, int gridWidth)
{
    long long sum = 0;
    for (int w : weights)
        sum += w;
    if (sum <= 0)
        return {};
    // Integer division truncates towards zero, as the rule wants; a grid narrower than the margin
    // gives 0 rather than a negative width.
    const long long unit = std::max(0LL, (static_cast<long long>(gridWidth) - 30) / sum);
    std::vector<int> widths;
    widths.reserve(weights.size());
    for (int w : weights)
        widths.push_back(static_cast<int>(w * unit));
    return widths;
}

std::vector<int> stretchedWidths(const std::vector<int> &widths, int available, int minimum)
{
    std::vector<int> out;
    if (widths.empty())
        return out;
    long long total = 0;
    for (int w : widths)
        total += std::max(1, w);
    int used = 0;
    for (std::size_t i = 0; i < widths.size(); ++i) {
        int w = static_cast<int>(static_cast<long long>(std::max(1, widths[i])) * available / total);
        w = std::max(minimum, w);
        out.push_back(w);
        used += w;
    }
    out.back() = std::max(minimum, out.back() + available - used);
    return out;
}

bool numericValue(const QVariant &v, double *out)
{
    if (!v.isValid() || v.isNull())
        return false;
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Bool:
    case QMetaType::Short:
    case QMetaType::UShort: *out = v.toDouble(); return true;
    case QMetaType::QString: {
        const QString t = v.toString().trimmed();
        if (t.isEmpty())
            return false;
        bool ok = false;
        double d = QLocale::c().toDouble(t, &ok);
        if (!ok)
            d = QLocale(QLocale::Turkish, QLocale::Turkey).toDouble(t, &ok);
        if (ok)
            *out = d;
        return ok;
    }
    default: return false;
    }
}

namespace {

bool isNull(const QVariant &v)
{
    return !v.isValid() || v.isNull();
}

QString textOf(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double)
        return plainFloatText(v.toDouble());
    return v.toString();
}

} // namespace

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (isNull(a) || isNull(b))
        return isNull(a) && isNull(b);
    double x = 0, y = 0;
    if (numericValue(a, &x) && numericValue(b, &y))
        return x == y;
    return textOf(a) == textOf(b);
}

int compareValues(const QVariant &a, const QVariant &b)
{
    const bool na = isNull(a), nb = isNull(b);
    if (na || nb)
        return na == nb ? 0 : (na ? -1 : 1);
    double x = 0, y = 0;
    const bool textA = a.typeId() == QMetaType::QString, textB = b.typeId() == QMetaType::QString;
    if (!textA && !textB && numericValue(a, &x) && numericValue(b, &y))
        return x < y ? -1 : (x > y ? 1 : 0);
    if (a.typeId() == QMetaType::QDate && b.typeId() == QMetaType::QDate) {
        const QDate p = a.toDate(), q = b.toDate();
        return p < q ? -1 : (q < p ? 1 : 0);
    }
    if ((a.typeId() == QMetaType::QDateTime || a.typeId() == QMetaType::QDate)
        && (b.typeId() == QMetaType::QDateTime || b.typeId() == QMetaType::QDate)) {
        const QDateTime p = a.toDateTime(), q = b.toDateTime();
        return p < q ? -1 : (q < p ? 1 : 0);
    }
    return QString::compare(textOf(a), textOf(b), Qt::CaseInsensitive);
}

TabCaption parseTabCaption(QStringView caption)
{
    TabCaption out;
    const qsizetype eq = caption.indexOf(u'=');
    if (eq < 0) {
        out.baslik = caption.toString();
        return out;
    }
    out.baslik = caption.mid(eq + 1).left(100).toString();
    bool ok = false;
    const int n = caption.left(eq).toInt(&ok, 10);
    out.sayi = ok ? n : 0;
    return out;
}

QString tabBadge(const TabCaption &caption)
{
    return caption.sayi > 0 ? QString(u'(' + QString::number(caption.sayi) + u')') : QString();
}

namespace {

QString quoted(const QString &text)
{
    if (text.isEmpty())
        return {};
    QString t = text;
    t.replace(u'"', QStringLiteral("\"\""));
    return QString(u'"' + t + u'"');
}

QString excelSection(const NumberMask::Section &s)
{
    QString digits;
    if (s.group) {
        const int len = std::max(4, s.minInt);
        QString plain;
        for (int i = 0; i < len; ++i)
            plain.append(i >= len - s.minInt ? u'0' : u'#');
        for (int i = 0; i < plain.size(); ++i) {
            const int fromRight = static_cast<int>(plain.size()) - i;
            digits.append(plain[i]);
            if (fromRight > 1 && (fromRight - 1) % 3 == 0)
                digits.append(u',');
        }
    } else {
        digits = s.minInt > 0 ? QString(s.minInt, u'0') : QStringLiteral("#");
    }
    if (s.maxFrac > 0)
        digits += u'.' + QString(s.minFrac, u'0') + QString(s.maxFrac - s.minFrac, u'#');
    return quoted(s.prefix) + digits + quoted(s.suffix);
}

} // namespace

QString excelNumberFormat(QStringView displayMask)
{
    const NumberMask mask = NumberMask::parse(displayMask);
    if (mask.isEmpty())
        return {};
    QStringList sections;
    for (int i = 0; i < mask.sectionCount; ++i)
        sections.append(excelSection(mask.sections[i]));
    return sections.join(u';');
}

} // namespace tarvik
