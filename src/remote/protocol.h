#pragma once

// Messages of the wire (see docs/protocol.md): handshake, execute, result, error, callbacks. Pure
// encoding and decoding, shared by the client transport, the server and tarvik-call.

#include "catalogue.h"
#include "datatable.h"
#include "transfer_object.h"

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <memory>
#include <string>
#include <variant>
#include <vector>

namespace tarvik {

inline constexpr int kProtocolVersion = 1;
inline constexpr std::string_view kProtocolName = "tarvik-rpc";

// A callback the server may call while a method runs. Execute receives the server's JSON argument and
// returns the JSON answer (text).
class RemoteCallback
{
public:
    explicit RemoteCallback(QString name) : name_(std::move(name)) {}
    virtual ~RemoteCallback() = default;
    const QString &name() const { return name_; }
    virtual QByteArray Execute(std::string_view argumentJson) = 0;

private:
    QString name_;
};

struct CallbackValue
{
    QString id;
    std::shared_ptr<RemoteCallback> callback; // client side only
};

struct StreamValue
{
    QByteArray bytes;
};

// Any JSON value kept as its minified text (JSON array results).
struct JsonText
{
    std::string text;
};

// One value at one ordinal. monostate is "nothing here" (an input's slot in an answer, an out's slot in
// a request) and also the null object.
using Value = std::variant<std::monostate, QString, std::int32_t, std::int64_t, double, bool,
                           std::unique_ptr<TransferObject>, CallbackValue, DataTable, StreamValue, JsonText>;

struct ExecuteRequest
{
    std::int64_t id = 0;
    const MethodInfo *method = nullptr;
    std::vector<Value> params; // one per parameter ordinal; outs are monostate
};

struct ExecuteResult
{
    std::vector<Value> values; // one per ordinal (parameters, then the result); inputs are monostate
};

// ---- encoding ----
QByteArray encodeHello();
QByteArray encodeWelcome(std::string_view serverName);
QByteArray encodeError(std::int64_t id, const QString &className, const QString &message); // id < 0: none
// Object values are marshalled here; the request keeps them (the proxy frees them right after).
QByteArray encodeExecute(const ExecuteRequest &request);
// The stream values, in ordinal order, whose bytes must follow as binary frames.
QByteArray encodeResult(std::int64_t id, const MethodInfo &method, const std::vector<Value> &values,
                        std::vector<const QByteArray *> *streams);
QByteArray encodeCallbackResult(std::int64_t id, std::string_view resultJson);

// Reads one value of `kind` from JSON text (for values typed by a person, as tarvik-call's arguments).
Value parseValue(std::string_view json, ValueKind kind, const ClassInfo *cls, std::string_view what);

// ---- decoding ----
// Keeps the JSON parser's buffers between messages; one per connection, used by one thread.
class MessageParser
{
public:
    MessageParser();
    ~MessageParser();
    MessageParser(const MessageParser &) = delete;
    MessageParser &operator=(const MessageParser &) = delete;

    struct Impl;
    Impl &impl() { return *d; }

private:
    std::unique_ptr<Impl> d;
};

// One received JSON frame, parsed. Valid until the parser parses the next one. `padded`: the payload
// has kPayloadPadding readable bytes past its end (frames from FrameDecoder have).
class Message
{
public:
    Message(MessageParser &parser, const QByteArray &payload, bool padded = true);

    const std::string &op() const { return op_; }
    std::int64_t id() const { return id_; }

    // hello / welcome
    int version() const;
    // error
    QString errorClass() const;
    QString errorMessage() const;
    // execute (server side): the method and its input values, checked against the catalogue.
    ExecuteRequest request() const;
    // result (client side): values checked against `method`; each stream comes back as an empty
    // StreamValue, its announced size in `streamSizes` as (ordinal, size), to be filled from the binary
    // frames that follow.
    ExecuteResult result(const MethodInfo &method, std::vector<std::pair<int, std::int64_t>> *streamSizes) const;
    // callback (client side)
    QString callbackId() const;
    std::string callbackArgument() const;
    // Any pair of the message as minified JSON ("null" when absent).
    std::string rawField(std::string_view key) const;
    // Any string pair of the message ("" when absent or not a string).
    std::string stringField(std::string_view key) const;

private:
    MessageParser::Impl &p_;
    std::string op_;
    std::int64_t id_ = -1;
};

} // namespace tarvik
