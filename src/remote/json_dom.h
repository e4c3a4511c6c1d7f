#pragma once

// simdjson's DOM, wrapped for the wire: one place sets the nesting limit and turns simdjson's error codes
// into ConversionError. Included only by the wire's own .cpp files (simdjson.h is heavy).

#include "errors.h"

#include <QString>

#include <simdjson.h>

#include <cstdint>
#include <string_view>

namespace tarvik::json {

using Element = simdjson::dom::element;
using Object = simdjson::dom::object;
using Array = simdjson::dom::array;
using Type = simdjson::dom::element_type;

inline constexpr std::size_t kMaxDepth = 64;

// A parser that keeps its buffers between documents. Parse results stay valid until the next parse.
class Parser
{
public:
    Parser();
    // `padded` says the buffer has simdjson::SIMDJSON_PADDING readable bytes after `json`'s end.
    Element parse(std::string_view json, bool padded = false);

private:
    simdjson::dom::parser parser_;
};

inline QString toQString(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

const char *typeName(Type t);

// Typed accessors that raise ConversionError naming `what` when the value is of another kind.
QString asString(Element e, std::string_view what);
std::int32_t asInt32(Element e, std::string_view what);
std::int64_t asInt64(Element e, std::string_view what);
double asDouble(Element e, std::string_view what);
bool asBool(Element e, std::string_view what);
Object asObject(Element e, std::string_view what);
Array asArray(Element e, std::string_view what);

// The pair `key` of `o`, or an empty result when absent.
inline bool find(Object o, std::string_view key, Element &out)
{
    return o.at_key(key).get(out) == simdjson::SUCCESS;
}

// Minified text of a value (for values kept as JSON, such as JsonValue cells and JSON array results).
std::string minify(Element e);

} // namespace tarvik::json
