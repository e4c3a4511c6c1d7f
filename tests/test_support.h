#pragma once

#include <QByteArray>
#include <QFile>
#include <QString>

#include <string>
#include <string_view>

inline QByteArray readTestData(const char *name)
{
    QFile f(QStringLiteral(TARVIK_TEST_DATA) + QLatin1Char('/') + QString::fromLatin1(name));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll().trimmed();
}

inline std::string_view view(const QByteArray &b)
{
    return {b.constData(), static_cast<std::size_t>(b.size())};
}

inline std::string str(const QByteArray &b)
{
    return b.toStdString();
}
