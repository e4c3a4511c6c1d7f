#include "inifile.h"

#include <QFile>
#include <QSaveFile>
#include <QStringDecoder>

namespace {

constexpr qint64 kMaxSize = 1 << 20; // an ini file of ours is a few lines; anything larger is not one

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

IniFile::IniFile(QString path) : path_(std::move(path)) {}

bool IniFile::load()
{
    sections_.clear();
    QFile f(path_);
    if (!f.open(QIODevice::ReadOnly) || f.size() > kMaxSize)
        return false;
    const QByteArray bytes = f.readAll();
    if (bytes.contains('\0'))
        return false;
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8(bytes);
    if (utf8.hasError()) // not UTF-8: read it as the platform's 8-bit text did
        text = QString::fromLatin1(bytes);
    if (text.startsWith(QChar(0xFEFF)))
        text.remove(0, 1);
    Section *current = nullptr;
    for (QStringView line : QStringView(text).split(u'\n')) {
        line = line.trimmed();
        if (line.isEmpty() || line.startsWith(u';') || line.startsWith(u'#'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            const QString name = line.mid(1, line.size() - 2).trimmed().toString();
            current = nullptr;
            for (Section &s : sections_)
                if (sameName(s.name, name))
                    current = &s;
            if (!current) {
                sections_.append({name, {}});
                current = &sections_.last();
            }
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (!current || eq <= 0)
            continue;
        current->entries.append({line.left(eq).trimmed().toString(), line.mid(eq + 1).toString()});
    }
    return true;
}

bool IniFile::save()
{
    QString text;
    for (const Section &s : sections_) {
        text += u'[' + s.name + QStringLiteral("]\r\n");
        for (const auto &[key, value] : s.entries)
            text += key + u'=' + value + QStringLiteral("\r\n");
        text += QStringLiteral("\r\n");
    }
    QSaveFile f(path_);
    const QByteArray bytes = text.toUtf8();
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit()) {
        error_ = f.errorString();
        return false;
    }
    error_.clear();
    return true;
}

const IniFile::Section *IniFile::find(const QString &section) const
{
    for (const Section &s : sections_)
        if (sameName(s.name, section))
            return &s;
    return nullptr;
}

QString IniFile::readString(const QString &section, const QString &key, const QString &def) const
{
    if (const Section *s = find(section))
        for (const auto &[k, v] : s->entries)
            if (sameName(k, key))
                return v;
    return def;
}

bool IniFile::readBool(const QString &section, const QString &key, bool def) const
{
    const QString v = readString(section, key).trimmed();
    bool ok = false;
    const int n = v.toInt(&ok);
    if (ok)
        return n != 0;
    if (sameName(v, QStringLiteral("true")))
        return true;
    if (sameName(v, QStringLiteral("false")))
        return false;
    return def;
}

void IniFile::writeString(const QString &section, const QString &key, const QString &value)
{
    // Line breaks cannot live in a line of the file.
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    Section *target = nullptr;
    for (Section &s : sections_)
        if (sameName(s.name, section))
            target = &s;
    if (!target) {
        sections_.append({section, {}});
        target = &sections_.last();
    }
    for (auto &[k, v] : target->entries) {
        if (sameName(k, key)) {
            v = clean;
            return;
        }
    }
    target->entries.append({key, clean});
}

void IniFile::writeBool(const QString &section, const QString &key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
