#pragma once

// The substitute application server's remote-call side: listens on TCP, gives every client connection a
// thread of its own, and dispatches execute requests to the handlers registered per method. Methods of
// the catalogue without a handler answer ENotImplemented naming the method.

#include "catalogue.h"
#include "protocol.h"

#include <QHostAddress>
#include <QString>

#include <atomic>
#include <functional>
#include <memory>

namespace tarvik::server {

class FrameChannel;

// One execute request as a handler sees it: the inputs by parameter name, the outs and the result to set.
class ServerCall
{
public:
    ServerCall(ExecuteRequest request, FrameChannel *channel);

    const MethodInfo &method() const { return *request_.method; }

    QString string(std::string_view param) const;
    std::int32_t integer(std::string_view param) const;
    std::int64_t int64(std::string_view param) const;
    double number(std::string_view param) const;
    bool boolean(std::string_view param) const;
    // The object argument (nullptr for null). The call keeps it.
    const TransferObject *object(std::string_view param) const;
    template<class T>
    const T *objectAs(std::string_view param) const
    {
        const TransferObject *o = object(param);
        return o && &o->classInfo() == &T::staticClassInfo() ? static_cast<const T *>(o) : nullptr;
    }

    void setOut(std::string_view param, Value value);
    void setResult(Value value);
    // Calls the client's callback given for `param` with a JSON argument; returns its JSON answer.
    std::string callBack(std::string_view param, std::string_view argumentJson);

    std::vector<Value> &values() { return values_; }

private:
    int ordinal(std::string_view param) const;
    const Value &input(std::string_view param) const;

    ExecuteRequest request_;
    std::vector<Value> values_;
    FrameChannel *channel_;
};

using Handler = std::function<void(ServerCall &)>;

class Dispatcher
{
public:
    void add(MethodId method, Handler handler);
    const Handler *find(MethodId method) const;

private:
    std::array<Handler, kMethodCount> handlers_;
};

class RpcServer
{
public:
    explicit RpcServer(std::shared_ptr<const Dispatcher> dispatcher);
    ~RpcServer();

    // Starts listening; port 0 takes an ephemeral port. Returns false with `error` set when it cannot.
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    QHostAddress address() const;
    quint16 port() const;
    // Stops accepting, tells every connection thread to end and waits for them.
    void stop();

private:
    class Listener;
    std::unique_ptr<Listener> listener_;
};

} // namespace tarvik::server
