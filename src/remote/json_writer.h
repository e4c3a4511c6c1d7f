#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <string_view>

namespace tarvik {

// Writes compact JSON straight into a UTF-8 buffer, keys in the order they are written (the marshal form
// of transfer objects depends on field order, which QJsonObject would sort away). The writer inserts the
// commas; callers only open, write and close.
class JsonWriter
{
public:
    JsonWriter() = default;
    explicit JsonWriter(qsizetype reserve) { out_.reserve(reserve); }

    void beginObject();
    void endObject();
    void beginArray();
    void endArray();
    void key(std::string_view name);   // ASCII/UTF-8 key
    void key(const QString &name);
    template<std::size_t N>
    void key(const char (&name)[N]) { key(std::string_view(name, N - 1)); }

    void null();
    void value(bool v);
    void value(int v) { value(static_cast<std::int64_t>(v)); }
    void value(std::int64_t v);
    void value(double v);                 // shortest round-trip form with a full stop ("18.0"); NaN/inf refused
    void value(const QString &v) { value(QStringView(v)); }
    void value(QStringView v);
    void value(std::string_view utf8);    // already UTF-8
    template<std::size_t N>
    void value(const char (&utf8)[N]) { value(std::string_view(utf8, N - 1)); }
    void raw(std::string_view json);      // a complete JSON value written elsewhere

    const QByteArray &data() const { return out_; }
    QByteArray take() { return std::move(out_); }

    static void appendEscaped(QByteArray &out, std::string_view utf8);
    static void appendEscaped(QByteArray &out, QStringView text);

private:
    void separate();

    QByteArray out_;
    bool needComma_ = false;
};

} // namespace tarvik
