#include "json_writer.h"

#include "errors.h"

#include <algorithm>
#include <charconv>
#include <cmath>

namespace tarvik {

void JsonWriter::separate()
{
    if (needComma_)
        out_.append(',');
}

void JsonWriter::beginObject()
{
    separate();
    out_.append('{');
    needComma_ = false;
}

void JsonWriter::endObject()
{
    out_.append('}');
    needComma_ = true;
}

void JsonWriter::beginArray()
{
    separate();
    out_.append('[');
    needComma_ = false;
}

void JsonWriter::endArray()
{
    out_.append(']');
    needComma_ = true;
}

void JsonWriter::key(std::string_view name)
{
    separate();
    appendEscaped(out_, name);
    out_.append(':');
    needComma_ = false;
}

void JsonWriter::key(const QString &name)
{
    separate();
    appendEscaped(out_, QStringView(name));
    out_.append(':');
    needComma_ = false;
}

void JsonWriter::null()
{
    separate();
    out_.append("null", 4);
    needComma_ = true;
}

void JsonWriter::value(bool v)
{
    separate();
    if (v)
        out_.append("true", 4);
    else
        out_.append("false", 5);
    needComma_ = true;
}

void JsonWriter::value(std::int64_t v)
{
    separate();
    char buf[24];
    auto res = std::to_chars(buf, buf + sizeof buf, v);
    out_.append(buf, res.ptr - buf);
    needComma_ = true;
}

void JsonWriter::value(double v)
{
    if (!std::isfinite(v))
        throw ConversionError(QStringLiteral("%1 cannot be written as a JSON number").arg(v));
    separate();
    char buf[40];
    auto res = std::to_chars(buf, buf + sizeof buf - 2, v);
    // A Double always carries a full stop or an exponent: "18.0", not "18". A bare integer would read back
    // as an integer: -0.0 would lose its sign and 2^64 would not fit any integer type.
    if (std::find_if(buf, res.ptr, [](char c) { return c == '.' || c == 'e'; }) == res.ptr) {
        *res.ptr++ = '.';
        *res.ptr++ = '0';
    }
    out_.append(buf, res.ptr - buf);
    needComma_ = true;
}

void JsonWriter::value(QStringView v)
{
    separate();
    appendEscaped(out_, v);
    needComma_ = true;
}

void JsonWriter::value(std::string_view utf8)
{
    separate();
    appendEscaped(out_, utf8);
    needComma_ = true;
}

void JsonWriter::raw(std::string_view json)
{
    separate();
    out_.append(json.data(), static_cast<qsizetype>(json.size()));
    needComma_ = true;
}

void JsonWriter::appendEscaped(QByteArray &out, std::string_view s)
{
    static constexpr char hex[] = "0123456789abcdef";
    out.append('"');
    const char *runStart = s.data();
    const char *end = s.data() + s.size();
    for (const char *p = s.data(); p != end; ++p) {
        const auto c = static_cast<unsigned char>(*p);
        if (c >= 0x20 && c != '"' && c != '\\')
            continue;
        out.append(runStart, p - runStart);
        switch (c) {
        case '"': out.append("\\\"", 2); break;
        case '\\': out.append("\\\\", 2); break;
        case '\n': out.append("\\n", 2); break;
        case '\r': out.append("\\r", 2); break;
        case '\t': out.append("\\t", 2); break;
        case '\b': out.append("\\b", 2); break;
        case '\f': out.append("\\f", 2); break;
        default: {
            const char esc[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 15]};
            out.append(esc, 6);
        }
        }
        runStart = p + 1;
    }
    out.append(runStart, end - runStart);
    out.append('"');
}

void JsonWriter::appendEscaped(QByteArray &out, QStringView text)
{
    // One pass from UTF-16 to escaped UTF-8, without a temporary QByteArray: table cells are written by
    // the hundred thousand. A lone surrogate becomes U+FFFD, as QString::toUtf8 would make it.
    static constexpr char hex[] = "0123456789abcdef";
    const auto *p = reinterpret_cast<const char16_t *>(text.utf16());
    const char16_t *end = p + text.size();
    const qsizetype start = out.size();
    out.resize(start + 2 + text.size() * 3); // worst case: three UTF-8 bytes per UTF-16 unit
    char *w = out.data() + start;
    *w++ = '"';
    for (; p != end; ++p) {
        char32_t c = *p;
        if (c < 0x80) {
            if (c >= 0x20 && c != '"' && c != '\\') {
                *w++ = static_cast<char>(c);
                continue;
            }
            const qsizetype used = w - out.data();
            out.resize(out.size() + 6);
            w = out.data() + used;
            *w++ = '\\';
            switch (c) {
            case '"': *w++ = '"'; break;
            case '\\': *w++ = '\\'; break;
            case '\n': *w++ = 'n'; break;
            case '\r': *w++ = 'r'; break;
            case '\t': *w++ = 't'; break;
            case '\b': *w++ = 'b'; break;
            case '\f': *w++ = 'f'; break;
            default:
                *w++ = 'u'; *w++ = '0'; *w++ = '0';
                *w++ = hex[c >> 4]; *w++ = hex[c & 15];
            }
            continue;
        }
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c <= 0xDBFF && p + 1 != end && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (p[1] - 0xDC00);
                ++p; // a pair is two units and four bytes: within the reserved 3 bytes per unit
                *w++ = static_cast<char>(0xF0 | (c >> 18));
                *w++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
                *w++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
                *w++ = static_cast<char>(0x80 | (c & 0x3F));
                continue;
            }
            c = 0xFFFD;
        }
        if (c < 0x800) {
            *w++ = static_cast<char>(0xC0 | (c >> 6));
            *w++ = static_cast<char>(0x80 | (c & 0x3F));
        } else {
            *w++ = static_cast<char>(0xE0 | (c >> 12));
            *w++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            *w++ = static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    *w++ = '"';
    out.resize(w - out.data());
}

} // namespace tarvik
