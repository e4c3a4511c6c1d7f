#include "protocol.h"

#include "errors.h"
#include "frame.h"
#include "json_dom.h"
#include "json_writer.h"
#include "marshal.h"
#include "marshal_dom.h"
#include "table_json.h"
#include "table_json_dom.h"

static_assert(tarvik::kPayloadPadding >= simdjson::SIMDJSON_PADDING);

namespace tarvik {

struct MessageParser::Impl
{
    json::Parser parser;
    json::Element root;
    json::Object object;
};

MessageParser::MessageParser() : d(std::make_unique<Impl>()) {}
MessageParser::~MessageParser() = default;

namespace {

QString qs(std::string_view s)
{
    return json::toQString(s);
}

const char *heldName(const Value &v)
{
    switch (v.index()) {
    case 0: return "nothing";
    case 1: return "a string";
    case 2: return "an Integer";
    case 3: return "an Int64";
    case 4: return "a Double";
    case 5: return "a Boolean";
    case 6: return "an object";
    case 7: return "a callback";
    case 8: return "a table";
    case 9: return "a stream";
    case 10: return "a JSON value";
    }
    return "?";
}

[[noreturn]] void mismatch(const std::string &what, ValueKind kind, const Value &v)
{
    throw ConversionError(QStringLiteral("%1: a %2 cannot carry %3")
                              .arg(qs(what), QString::fromLatin1(kindName(kind)), QString::fromLatin1(heldName(v))));
}

void writeValue(JsonWriter &w, const Value &v, ValueKind kind, const ClassInfo *cls, const std::string &what,
                std::vector<const QByteArray *> *streams)
{
    switch (kind) {
    case ValueKind::String:
        if (auto s = std::get_if<QString>(&v))
            return w.value(*s);
        break;
    case ValueKind::Integer:
        if (auto i = std::get_if<std::int32_t>(&v))
            return w.value(*i);
        break;
    case ValueKind::Int64:
        if (auto i = std::get_if<std::int64_t>(&v))
            return w.value(*i);
        if (auto i = std::get_if<std::int32_t>(&v))
            return w.value(*i);
        break;
    case ValueKind::Double:
        if (auto d = std::get_if<double>(&v))
            return w.value(*d);
        break;
    case ValueKind::Boolean:
        if (auto b = std::get_if<bool>(&v))
            return w.value(*b);
        break;
    case ValueKind::Object:
        if (std::holds_alternative<std::monostate>(v))
            return w.null();
        if (auto o = std::get_if<std::unique_ptr<TransferObject>>(&v)) {
            if (*o && cls && &(*o)->classInfo() != cls)
                throw ConversionError(QStringLiteral("%1: expected %2, got %3")
                                          .arg(qs(what), qs(cls->qualifiedName), qs((*o)->classInfo().qualifiedName)));
            return marshal(w, o->get());
        }
        break;
    case ValueKind::Callback:
        if (std::holds_alternative<std::monostate>(v))
            return w.null();
        if (auto c = std::get_if<CallbackValue>(&v)) {
            w.beginObject();
            w.key("callback");
            w.value(c->id);
            w.endObject();
            return;
        }
        break;
    case ValueKind::TableReader:
    case ValueKind::DataPacket:
        if (std::holds_alternative<std::monostate>(v))
            return w.null();
        if (auto t = std::get_if<DataTable>(&v))
            return writeTable(w, *t);
        break;
    case ValueKind::Stream:
        if (std::holds_alternative<std::monostate>(v))
            return w.null();
        if (auto s = std::get_if<StreamValue>(&v)) {
            if (s->bytes.size() > kMaxStreamSize)
                throw ProtocolError(QStringLiteral("%1: a stream of %2 bytes exceeds the limit of %3 bytes")
                                        .arg(qs(what)).arg(s->bytes.size()).arg(kMaxStreamSize));
            if (!streams)
                throw ConversionError(QStringLiteral("%1: streams travel only in answers").arg(qs(what)));
            streams->push_back(&s->bytes);
            w.beginObject();
            w.key("stream");
            w.value(static_cast<std::int64_t>(s->bytes.size()));
            w.endObject();
            return;
        }
        break;
    case ValueKind::JsonArray:
        if (std::holds_alternative<std::monostate>(v))
            return w.null();
        if (auto j = std::get_if<JsonText>(&v)) {
            if (j->text.empty() || j->text.front() != '[')
                throw ConversionError(QStringLiteral("%1: a JSON array must start with [").arg(qs(what)));
            return w.raw(j->text);
        }
        break;
    case ValueKind::None:
        break;
    }
    mismatch(what, kind, v);
}

Value readValue(json::Element e, ValueKind kind, const ClassInfo *cls, const std::string &what)
{
    switch (kind) {
    case ValueKind::String: return json::asString(e, what);
    case ValueKind::Integer: return json::asInt32(e, what);
    case ValueKind::Int64: return json::asInt64(e, what);
    case ValueKind::Double: return json::asDouble(e, what);
    case ValueKind::Boolean: return json::asBool(e, what);
    case ValueKind::Object: return json::unmarshal(e, cls, what);
    case ValueKind::Callback: {
        if (e.is_null())
            return std::monostate();
        json::Element id;
        if (!json::find(json::asObject(e, what), "callback", id))
            throw ConversionError(QStringLiteral("%1: a callback needs a \"callback\" id").arg(qs(what)));
        return CallbackValue{json::asString(id, what), nullptr};
    }
    case ValueKind::TableReader:
    case ValueKind::DataPacket:
        if (e.is_null())
            return std::monostate();
        return json::readTable(e, what);
    case ValueKind::Stream:
    case ValueKind::JsonArray:
        if (e.is_null())
            return std::monostate();
        if (kind == ValueKind::JsonArray) {
            json::asArray(e, what);
            return JsonText{json::minify(e)};
        }
        return StreamValue{}; // size handled by the caller
    case ValueKind::None:
        break;
    }
    throw ConversionError(QStringLiteral("%1: no value expected").arg(qs(what)));
}

std::string ordinalPath(const MethodInfo &m, int ordinal)
{
    std::string p(m.name);
    p += '.';
    if (ordinal < m.paramCount())
        p += m.params[static_cast<std::size_t>(ordinal)].name;
    else
        p += "result";
    return p;
}

} // namespace

Value parseValue(std::string_view text, ValueKind kind, const ClassInfo *cls, std::string_view what)
{
    json::Parser parser;
    return readValue(parser.parse(text), kind, cls, std::string(what));
}

// ---- encoding ----------------------------------------------------------------------------------------

QByteArray encodeHello()
{
    JsonWriter w;
    w.beginObject();
    w.key("op"); w.value(std::string_view("hello"));
    w.key("protocol"); w.value(kProtocolName);
    w.key("version"); w.value(kProtocolVersion);
    w.key("client"); w.value(std::string_view("tarvik"));
    w.endObject();
    return w.take();
}

QByteArray encodeWelcome(std::string_view serverName)
{
    JsonWriter w;
    w.beginObject();
    w.key("op"); w.value(std::string_view("welcome"));
    w.key("protocol"); w.value(kProtocolName);
    w.key("version"); w.value(kProtocolVersion);
    w.key("server"); w.value(serverName);
    w.endObject();
    return w.take();
}

QByteArray encodeError(std::int64_t id, const QString &className, const QString &message)
{
    JsonWriter w;
    w.beginObject();
    w.key("op"); w.value(std::string_view("error"));
    if (id >= 0) {
        w.key("id");
        w.value(id);
    }
    w.key("class"); w.value(className);
    w.key("message"); w.value(message);
    w.endObject();
    return w.take();
}

QByteArray encodeExecute(const ExecuteRequest &r)
{
    const MethodInfo &m = *r.method;
    if (static_cast<int>(r.params.size()) != m.paramCount())
        throw ConversionError(QStringLiteral("%1 takes %2 parameters, %3 given")
                                  .arg(qs(m.command)).arg(m.paramCount()).arg(r.params.size()));
    JsonWriter w(256);
    w.beginObject();
    w.key("op"); w.value(std::string_view("execute"));
    w.key("id"); w.value(r.id);
    w.key("command"); w.value(m.command);
    w.key("params");
    w.beginArray();
    for (int i = 0; i < m.paramCount(); ++i) {
        const ParamInfo &p = m.params[static_cast<std::size_t>(i)];
        if (p.out)
            w.null();
        else
            writeValue(w, r.params[static_cast<std::size_t>(i)], p.kind, p.cls, ordinalPath(m, i), nullptr);
    }
    w.endArray();
    w.endObject();
    return w.take();
}

QByteArray encodeResult(std::int64_t id, const MethodInfo &m, const std::vector<Value> &values,
                        std::vector<const QByteArray *> *streams)
{
    if (static_cast<int>(values.size()) != m.ordinalCount())
        throw ConversionError(QStringLiteral("%1 answers %2 values, %3 given")
                                  .arg(qs(m.command)).arg(m.ordinalCount()).arg(values.size()));
    JsonWriter w(256);
    w.beginObject();
    w.key("op"); w.value(std::string_view("result"));
    w.key("id"); w.value(id);
    w.key("values");
    w.beginArray();
    for (int i = 0; i < m.ordinalCount(); ++i) {
        const bool answered = i == m.resultOrdinal() || m.params[static_cast<std::size_t>(i)].out;
        if (!answered)
            w.null();
        else
            writeValue(w, values[static_cast<std::size_t>(i)], m.kindAt(i), m.classAt(i), ordinalPath(m, i), streams);
    }
    w.endArray();
    w.endObject();
    return w.take();
}

QByteArray encodeCallbackResult(std::int64_t id, std::string_view resultJson)
{
    JsonWriter w;
    w.beginObject();
    w.key("op"); w.value(std::string_view("callback-result"));
    w.key("id"); w.value(id);
    w.key("result"); w.raw(resultJson.empty() ? std::string_view("null") : resultJson);
    w.endObject();
    return w.take();
}

// ---- decoding ----------------------------------------------------------------------------------------

Message::Message(MessageParser &parser, const QByteArray &payload, bool padded)
    : p_(parser.impl())
{
    p_.root = p_.parser.parse(std::string_view(payload.constData(), static_cast<std::size_t>(payload.size())), padded);
    p_.object = json::asObject(p_.root, "message");
    json::Element v;
    if (!json::find(p_.object, "op", v))
        throw ProtocolError(QStringLiteral("a message without \"op\""));
    std::string_view op;
    if (v.get_string().get(op))
        throw ProtocolError(QStringLiteral("\"op\" must be a string"));
    op_.assign(op);
    if (json::find(p_.object, "id", v))
        id_ = json::asInt64(v, "\"id\"");
}

int Message::version() const
{
    json::Element v;
    if (!json::find(p_.object, "version", v))
        throw ProtocolError(QStringLiteral("the handshake carries no protocol version"));
    return json::asInt32(v, "version");
}

std::string Message::stringField(std::string_view key) const
{
    json::Element v;
    std::string_view s;
    if (json::find(p_.object, key, v) && v.get_string().get(s) == simdjson::SUCCESS)
        return std::string(s);
    return {};
}

QString Message::errorClass() const
{
    return qs(stringField("class"));
}

QString Message::errorMessage() const
{
    return qs(stringField("message"));
}

ExecuteRequest Message::request() const
{
    json::Element v;
    if (!json::find(p_.object, "command", v))
        throw ConversionError(QStringLiteral("execute without \"command\""));
    std::string_view command;
    if (v.get_string().get(command))
        throw ConversionError(QStringLiteral("\"command\" must be a string"));
    if (!command.starts_with(kCommandPrefix) || !findMethod(command))
        throw RemoteError(QStringLiteral("EUnknownMethod"), QStringLiteral("unknown command %1").arg(qs(command)));
    ExecuteRequest r;
    r.id = id_;
    r.method = findMethod(command);
    const MethodInfo &m = *r.method;
    json::Array params;
    if (!json::find(p_.object, "params", v) || v.get_array().get(params))
        throw ConversionError(QStringLiteral("%1: \"params\" must be an array").arg(qs(m.command)));
    if (params.size() != static_cast<std::size_t>(m.paramCount()))
        throw ConversionError(QStringLiteral("%1 takes %2 parameters, %3 given")
                                  .arg(qs(m.command)).arg(m.paramCount()).arg(params.size()));
    r.params.reserve(params.size());
    int i = 0;
    for (json::Element e : params) {
        const ParamInfo &p = m.params[static_cast<std::size_t>(i)];
        if (p.out)
            r.params.emplace_back(std::monostate());
        else
            r.params.push_back(readValue(e, p.kind, p.cls, ordinalPath(m, i)));
        ++i;
    }
    return r;
}

ExecuteResult Message::result(const MethodInfo &m, std::vector<std::pair<int, std::int64_t>> *streamSizes) const
{
    json::Element v;
    json::Array values;
    if (!json::find(p_.object, "values", v) || v.get_array().get(values))
        throw ConversionError(QStringLiteral("%1: the answer has no \"values\" array").arg(qs(m.command)));
    if (values.size() != static_cast<std::size_t>(m.ordinalCount()))
        throw ConversionError(QStringLiteral("%1: the answer has %2 values, %3 expected")
                                  .arg(qs(m.command)).arg(values.size()).arg(m.ordinalCount()));
    ExecuteResult r;
    r.values.reserve(values.size());
    int i = 0;
    for (json::Element e : values) {
        const bool answered = i == m.resultOrdinal() || m.params[static_cast<std::size_t>(i)].out;
        if (!answered) {
            r.values.emplace_back(std::monostate());
        } else {
            const std::string path = ordinalPath(m, i);
            r.values.push_back(readValue(e, m.kindAt(i), m.classAt(i), path));
            if (m.kindAt(i) == ValueKind::Stream && !e.is_null()) {
                json::Element size;
                if (!json::find(json::asObject(e, path), "stream", size))
                    throw ConversionError(QStringLiteral("%1: a stream needs its \"stream\" size").arg(qs(path)));
                const std::int64_t n = json::asInt64(size, path);
                if (n < 0 || n > kMaxStreamSize)
                    throw ProtocolError(QStringLiteral("%1: a stream of %2 bytes exceeds the limit of %3 bytes")
                                            .arg(qs(path)).arg(n).arg(kMaxStreamSize));
                if (streamSizes)
                    streamSizes->emplace_back(i, n);
            }
        }
        ++i;
    }
    return r;
}

QString Message::callbackId() const
{
    return qs(stringField("callback"));
}

std::string Message::callbackArgument() const
{
    return rawField("arg");
}

std::string Message::rawField(std::string_view key) const
{
    json::Element v;
    if (!json::find(p_.object, key, v))
        return "null";
    return json::minify(v);
}

} // namespace tarvik
