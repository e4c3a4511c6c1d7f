#pragma once
// A small ini file: sections of "key=value" lines, read and written as UTF-8 (so a key like "hatırla"
// stays readable in the file). Reading is forgiving: a missing, unreadable or damaged file reads as
// empty, lines that are not "key=value" are skipped. Writing replaces the file whole, so a write that
// fails leaves the previous file as it was.

#include <QList>
#include <QString>

#include <utility>

class IniFile
{
public:
    explicit IniFile(QString path);

    const QString &path() const { return path_; }
    // Reads the file; false (and an empty file) when it is missing, unreadable or not text.
    bool load();
    // Writes the whole file; false with errorString() set when it could not be written.
    bool save();
    QString errorString() const { return error_; }

    QString readString(const QString &section, const QString &key, const QString &def = {}) const;
    // An ini Boolean: a whole number, 0 false and any other true; "true"/"false" are accepted too.
    bool readBool(const QString &section, const QString &key, bool def) const;
    void writeString(const QString &section, const QString &key, const QString &value);
    void writeBool(const QString &section, const QString &key, bool value);

private:
    struct Section
    {
        QString name;
        QList<std::pair<QString, QString>> entries;
    };
    const Section *find(const QString &section) const;

    QString path_;
    QString error_;
    QList<Section> sections_;
};
