#include "search_text.h"

#include <QStringList>

namespace tarvik::server {

namespace {

QChar fold(QChar c)
{
    switch (c.unicode()) {
    case u'ı': case u'i': case u'İ': case u'I': return u'I';
    case u'ğ': case u'Ğ': return u'G';
    case u'ü': case u'Ü': return u'U';
    case u'ş': case u'Ş': return u'S';
    case u'ö': case u'Ö': return u'O';
    case u'ç': case u'Ç': return u'C';
    default: return c.toUpper();
    }
}

bool searchable(QChar c)
{
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c.isLetter();
}

} // namespace

QString foldText(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text)
        out.append(fold(c));
    return out;
}

QString codeKey(QStringView text)
{
    QString out;
    out.reserve(text.size());
    for (QChar c : text) {
        const QChar f = fold(c);
        if (searchable(f))
            out.append(f);
    }
    return out;
}

QString nameKey(QStringView text)
{
    QString out;
    out.reserve(text.size());
    bool blank = true;
    for (QChar c : text) {
        const QChar f = fold(c);
        if (searchable(f)) {
            out.append(f);
            blank = false;
        } else if (!blank) {
            out.append(u' ');
            blank = true;
        }
    }
    if (out.endsWith(u' '))
        out.chop(1);
    return out;
}

QString stockSearchQuery(QStringView term)
{
    // Only letters and digits reach the query, so no quoting problem can arise.
    QStringList parts;
    const QString code = codeKey(term);
    if (code.size() >= 3)
        parts << QStringLiteral("kodlar : \"%1\"").arg(code);
    QStringList words;
    const QString names = nameKey(term);
    for (const QString &w : names.split(u' ', Qt::SkipEmptyParts))
        if (w.size() >= 3)
            words << QStringLiteral("adlar : \"%1\"").arg(w);
    if (!words.isEmpty())
        parts << QLatin1Char('(') + words.join(QLatin1String(" AND ")) + QLatin1Char(')');
    return parts.join(QLatin1String(" OR "));
}

} // namespace tarvik::server
