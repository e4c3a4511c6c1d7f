#include "json_dom.h"

#include <limits>
#include <new>

namespace tarvik::json {

Parser::Parser()
{
    if (parser_.allocate(simdjson::dom::MINIMAL_DOCUMENT_CAPACITY, kMaxDepth))
        throw std::bad_alloc();
}

Element Parser::parse(std::string_view json, bool padded)
{
    Element root;
    const auto error = parser_.parse(json.data(), json.size(), !padded).get(root);
    if (error == simdjson::DEPTH_ERROR)
        throw ConversionError(QStringLiteral("JSON nested deeper than the limit of %1 levels").arg(kMaxDepth));
    if (error)
        throw ConversionError(QStringLiteral("malformed JSON: %1").arg(QString::fromUtf8(simdjson::error_message(error))));
    return root;
}

const char *typeName(Type t)
{
    switch (t) {
    case Type::ARRAY: return "an array";
    case Type::OBJECT: return "an object";
    case Type::INT64:
    case Type::UINT64: return "an integer";
    case Type::DOUBLE: return "a fractional number";
    case Type::STRING: return "a string";
    case Type::BOOL: return "a Boolean";
    case Type::NULL_VALUE: return "null";
    }
    return "an unknown value";
}

namespace {

[[noreturn]] void wrongKind(Element e, std::string_view what, const char *expected)
{
    throw ConversionError(QStringLiteral("%1: expected %2, got %3")
                              .arg(toQString(what), QString::fromLatin1(expected), QString::fromLatin1(typeName(e.type()))));
}

} // namespace

QString asString(Element e, std::string_view what)
{
    std::string_view s;
    if (e.get_string().get(s))
        wrongKind(e, what, "a string");
    return toQString(s);
}

std::int64_t asInt64(Element e, std::string_view what)
{
    if (e.type() == Type::INT64)
        return e.get_int64().value_unsafe();
    if (e.type() == Type::UINT64)
        throw ConversionError(QStringLiteral("%1: %2 does not fit a 64-bit integer")
                                  .arg(toQString(what)).arg(e.get_uint64().value_unsafe()));
    wrongKind(e, what, "an integer");
}

std::int32_t asInt32(Element e, std::string_view what)
{
    if (e.type() != Type::INT64 && e.type() != Type::UINT64)
        wrongKind(e, what, "an integer");
    const std::int64_t v = asInt64(e, what);
    if (v < std::numeric_limits<std::int32_t>::min() || v > std::numeric_limits<std::int32_t>::max())
        throw ConversionError(QStringLiteral("%1: %2 does not fit a 32-bit integer").arg(toQString(what)).arg(v));
    return static_cast<std::int32_t>(v);
}

double asDouble(Element e, std::string_view what)
{
    switch (e.type()) {
    case Type::DOUBLE: return e.get_double().value_unsafe();
    case Type::INT64: return static_cast<double>(e.get_int64().value_unsafe());
    case Type::UINT64: return static_cast<double>(e.get_uint64().value_unsafe());
    default: wrongKind(e, what, "a number");
    }
}

bool asBool(Element e, std::string_view what)
{
    bool b = false;
    if (e.get_bool().get(b))
        wrongKind(e, what, "true or false");
    return b;
}

Object asObject(Element e, std::string_view what)
{
    Object o;
    if (e.get_object().get(o))
        wrongKind(e, what, "an object");
    return o;
}

Array asArray(Element e, std::string_view what)
{
    Array a;
    if (e.get_array().get(a))
        wrongKind(e, what, "an array");
    return a;
}

std::string minify(Element e)
{
    return simdjson::minify(e);
}

} // namespace tarvik::json
