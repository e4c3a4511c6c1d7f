#include "rpc_server.h"

#include "database.h"

#include "errors.h"
#include "frame_socket.h"
#include "json_writer.h"
#include "notification_hub.h"

#include <QMutex>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <list>

namespace tarvik::server {

namespace {

constexpr int kHandshakeTimeoutMs = 10000;
constexpr int kPollMs = 200;
constexpr int kSendTimeoutMs = 60000;
constexpr int kNotifyTimeoutMs = 10000;
constexpr std::string_view kChannelName = "Lumaro";

QString qs(std::string_view s)
{
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size()));
}

} // namespace

// The frames of one client connection, for the handlers that call back into the client.
class FrameChannel
{
public:
    FrameChannel(QTcpSocket &socket, const std::atomic<bool> &stopping)
        : socket_(socket), frames_(socket), stopping_(stopping)
    {
    }

    void send(const QByteArray &json) { frames_.send(FrameKind::Json, json, kSendTimeoutMs); }
    void sendStream(const QByteArray &bytes) { frames_.sendStream(bytes, kSendTimeoutMs); }

    // Next frame, or nullopt when the server is stopping or the peer went away.
    std::optional<Frame> next(int timeoutMs)
    {
        QDeadlineTimer deadline(timeoutMs);
        while (!stopping_.load()) {
            if (socket_.state() != QAbstractSocket::ConnectedState && socket_.bytesAvailable() == 0)
                return std::nullopt;
            const int slice = timeoutMs < 0 ? kPollMs : static_cast<int>(std::min<qint64>(kPollMs, deadline.remainingTime()));
            if (auto f = frames_.tryReceive(slice))
                return f;
            if (timeoutMs >= 0 && deadline.hasExpired())
                throw ConnectionError(QStringLiteral("no frame within %1 ms").arg(timeoutMs));
        }
        return std::nullopt;
    }

    MessageParser &parser() { return parser_; }

    // False once the peer has gone (looks at the socket without waiting).
    bool alive()
    {
        if (socket_.state() == QAbstractSocket::ConnectedState)
            socket_.waitForReadyRead(0);
        return socket_.state() == QAbstractSocket::ConnectedState;
    }

private:
    QTcpSocket &socket_;
    FrameSocket frames_;
    MessageParser parser_;
    const std::atomic<bool> &stopping_;
};

// ---- ServerCall ------------------------------------------------------------------------------------------

ServerCall::ServerCall(ExecuteRequest request, FrameChannel *channel)
    : request_(std::move(request))
    , values_(static_cast<std::size_t>(request_.method->ordinalCount()))
    , channel_(channel)
{
}

int ServerCall::ordinal(std::string_view param) const
{
    const auto &params = request_.method->params;
    for (std::size_t i = 0; i < params.size(); ++i)
        if (params[i].name == param)
            return static_cast<int>(i);
    throw std::logic_error("no parameter " + std::string(param) + " in " + std::string(request_.method->name));
}

const Value &ServerCall::input(std::string_view param) const
{
    return request_.params[static_cast<std::size_t>(ordinal(param))];
}

QString ServerCall::string(std::string_view p) const { return std::get<QString>(input(p)); }
std::int32_t ServerCall::integer(std::string_view p) const { return std::get<std::int32_t>(input(p)); }
std::int64_t ServerCall::int64(std::string_view p) const { return std::get<std::int64_t>(input(p)); }
double ServerCall::number(std::string_view p) const { return std::get<double>(input(p)); }
bool ServerCall::boolean(std::string_view p) const { return std::get<bool>(input(p)); }

const TransferObject *ServerCall::object(std::string_view p) const
{
    const Value &v = input(p);
    if (auto o = std::get_if<std::unique_ptr<TransferObject>>(&v))
        return o->get();
    return nullptr;
}

void ServerCall::setOut(std::string_view param, Value value)
{
    values_[static_cast<std::size_t>(ordinal(param))] = std::move(value);
}

void ServerCall::setResult(Value value)
{
    values_[static_cast<std::size_t>(request_.method->resultOrdinal())] = std::move(value);
}

std::string ServerCall::callBack(std::string_view param, std::string_view argumentJson)
{
    const auto *cb = std::get_if<CallbackValue>(&input(param));
    if (!cb || !channel_)
        return "null";
    JsonWriter w;
    w.beginObject();
    w.key("op"); w.value("callback");
    w.key("id"); w.value(request_.id);
    w.key("callback"); w.value(cb->id);
    w.key("arg"); w.raw(argumentJson);
    w.endObject();
    channel_->send(w.data());
    auto f = channel_->next(kSendTimeoutMs);
    if (!f || f->kind != FrameKind::Json)
        throw ConnectionError(QStringLiteral("the client did not answer the callback"));
    Message m(channel_->parser(), f->payload);
    if (m.op() != "callback-result")
        throw ProtocolError(QStringLiteral("expected the callback's answer, got \"%1\"").arg(QString::fromStdString(m.op())));
    return m.rawField("result");
}

// ---- Dispatcher ------------------------------------------------------------------------------------------

void Dispatcher::add(MethodId method, Handler handler)
{
    handlers_[static_cast<std::size_t>(method)] = std::move(handler);
}

const Handler *Dispatcher::find(MethodId method) const
{
    const Handler &h = handlers_[static_cast<std::size_t>(method)];
    return h ? &h : nullptr;
}

// ---- connection thread -----------------------------------------------------------------------------------

namespace {

class ConnectionThread final : public QThread
{
public:
    ConnectionThread(qintptr descriptor, std::shared_ptr<const Dispatcher> dispatcher,
                     std::shared_ptr<NotificationHub> hub, const std::atomic<bool> &stopping)
        : descriptor_(descriptor), dispatcher_(std::move(dispatcher)), hub_(std::move(hub)), stopping_(stopping)
    {
    }

protected:
    void run() override
    {
        QTcpSocket socket;
        if (!socket.setSocketDescriptor(descriptor_))
            return;
        socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
        FrameChannel channel(socket, stopping_);
        try {
            if (handshake(channel))
                serve(channel);
        } catch (const RemoteError &e) {
            // The connection is out of step or gone: tell the peer if it still listens, then close.
            try {
                channel.send(encodeError(-1, e.className(), e.message()));
            } catch (...) {
            }
        }
        socket.disconnectFromHost();
        if (socket.state() != QAbstractSocket::UnconnectedState)
            socket.waitForDisconnected(1000);
    }

private:
    bool handshake(FrameChannel &channel)
    {
        auto f = channel.next(kHandshakeTimeoutMs);
        if (!f)
            return false;
        if (f->kind != FrameKind::Json)
            throw ProtocolError(QStringLiteral("the connection must start with \"hello\""));
        Message m(channel.parser(), f->payload);
        if (m.op() != "hello")
            throw ProtocolError(QStringLiteral("the connection must start with \"hello\", not \"%1\"").arg(QString::fromStdString(m.op())));
        if (m.version() != kProtocolVersion) {
            channel.send(encodeError(-1, QStringLiteral("EProtocolVersion"),
                                     QStringLiteral("protocol version %1 is not supported; this server speaks version %2")
                                         .arg(m.version()).arg(kProtocolVersion)));
            return false;
        }
        channel.send(encodeWelcome("tarvik-server"));
        return true;
    }

    void serve(FrameChannel &channel)
    {
        while (auto f = channel.next(-1)) {
            if (f->kind != FrameKind::Json)
                throw ProtocolError(QStringLiteral("a binary frame arrived where a request was expected"));
            std::int64_t id = -1;
            try {
                Message m(channel.parser(), f->payload);
                id = m.id();
                if (m.op() == "execute") {
                    execute(channel, m.request());
                } else if (m.op() == "register") {
                    if (m.stringField("channel") != kChannelName)
                        throw ProtocolError(QStringLiteral("no channel \"%1\" here").arg(QString::fromStdString(m.stringField("channel"))));
                    const QString client = QString::fromStdString(m.stringField("client"));
                    serveChannel(channel, client);
                    return;
                } else if (m.op() == "notify-all") {
                    const NotificationHub::Result r = hub_->broadcast(m.rawField("arg"), kNotifyTimeoutMs);
                    JsonWriter w;
                    w.beginObject();
                    w.key("op"); w.value("notified");
                    w.key("sent"); w.value(r.sent);
                    w.key("answered"); w.value(r.answeredTrue);
                    w.endObject();
                    channel.send(w.data());
                } else {
                    throw ProtocolError(QStringLiteral("unexpected \"%1\" message").arg(QString::fromStdString(m.op())));
                }
            } catch (const ConnectionError &) {
                throw;
            } catch (const RemoteError &e) {
                channel.send(encodeError(id, e.className(), e.message()));
            }
        }
    }

    // A registered notification channel: from now on this connection only carries notifications to
    // the client and its answers.
    void serveChannel(FrameChannel &channel, const QString &client)
    {
        const std::shared_ptr<NotificationHub::Subscriber> me = hub_->subscribe(client);
        struct Leave
        {
            NotificationHub &hub;
            const std::shared_ptr<NotificationHub::Subscriber> &me;
            ~Leave() { hub.unsubscribe(me); }
        } leave{*hub_, me};
        JsonWriter ack;
        ack.beginObject();
        ack.key("op"); ack.value("registered");
        ack.key("channel"); ack.value(kChannelName);
        ack.endObject();
        channel.send(ack.data());

        std::int64_t seq = 0;
        while (!stopping_.load()) {
            std::optional<NotificationHub::Notification> n = me->next(kPollMs);
            if (!n) {
                if (me->dropped() || !channel.alive())
                    return;
                continue;
            }
            bool answeredTrue = false;
            try {
                JsonWriter w;
                w.beginObject();
                w.key("op"); w.value("notify");
                w.key("seq"); w.value(++seq);
                w.key("arg"); w.raw(n->argumentJson);
                w.endObject();
                channel.send(w.data());
                while (auto f = channel.next(kNotifyTimeoutMs)) {
                    if (f->kind != FrameKind::Json)
                        continue;
                    Message m(channel.parser(), f->payload);
                    if (m.op() == "notify-result" && m.rawField("seq") == std::to_string(seq)) {
                        answeredTrue = m.rawField("result") == "true";
                        break;
                    }
                }
            } catch (...) {
                n->tally->settle(false);
                throw;
            }
            n->tally->settle(answeredTrue);
        }
    }

    void execute(FrameChannel &channel, ExecuteRequest request)
    {
        const MethodInfo &method = *request.method;
        const Handler *handler = dispatcher_->find(method.id);
        const std::int64_t id = request.id;
        if (!handler) {
            channel.send(encodeError(id, QStringLiteral("ENotImplemented"),
                                     QStringLiteral("%1 is not yet served by this server").arg(qs(method.command))));
            return;
        }
        ServerCall call(std::move(request), &channel);
        try {
            (*handler)(call);
        } catch (const RemoteError &e) {
            channel.send(encodeError(id, e.className(), e.message()));
            return;
        } catch (const DatabaseError &e) {
            channel.send(encodeError(id, QStringLiteral("EDatabaseError"), QString::fromUtf8(e.what())));
            return;
        } catch (const std::exception &e) {
            channel.send(encodeError(id, QStringLiteral("Exception"), QString::fromUtf8(e.what())));
            return;
        }
        std::vector<const QByteArray *> streams;
        QByteArray answer;
        try {
            answer = encodeResult(id, method, call.values(), &streams);
        } catch (const RemoteError &e) {
            channel.send(encodeError(id, e.className(), QStringLiteral("the server could not encode its answer: ") + e.message()));
            return;
        }
        channel.send(answer);
        for (const QByteArray *s : streams)
            channel.sendStream(*s);
    }

    qintptr descriptor_;
    std::shared_ptr<const Dispatcher> dispatcher_;
    std::shared_ptr<NotificationHub> hub_;
    const std::atomic<bool> &stopping_;
};

} // namespace

class RpcServer::Listener final : public QTcpServer
{
public:
    explicit Listener(std::shared_ptr<const Dispatcher> dispatcher) : dispatcher_(std::move(dispatcher)) {}
    ~Listener() override { stopAll(); }

    bool start(const QHostAddress &address, quint16 port)
    {
        stopping_.store(false);
        return listen(address, port);
    }

    void stopAll()
    {
        close();
        stopping_.store(true);
        for (auto &t : threads_)
            t->wait();
        threads_.clear();
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        threads_.remove_if([](const std::unique_ptr<ConnectionThread> &t) { return t->isFinished(); });
        auto thread = std::make_unique<ConnectionThread>(descriptor, dispatcher_, hub_, stopping_);
        thread->start();
        threads_.push_back(std::move(thread));
    }

private:
    std::shared_ptr<const Dispatcher> dispatcher_;
    std::shared_ptr<NotificationHub> hub_ = std::make_shared<NotificationHub>();
    std::atomic<bool> stopping_{false};
    std::list<std::unique_ptr<ConnectionThread>> threads_;
};

RpcServer::RpcServer(std::shared_ptr<const Dispatcher> dispatcher)
    : listener_(std::make_unique<Listener>(std::move(dispatcher)))
{
}

RpcServer::~RpcServer() = default;

bool RpcServer::listen(const QHostAddress &address, quint16 port, QString *error)
{
    if (listener_->start(address, port))
        return true;
    if (error)
        *error = listener_->errorString();
    return false;
}

QHostAddress RpcServer::address() const
{
    return listener_->serverAddress();
}

quint16 RpcServer::port() const
{
    return listener_->serverPort();
}

void RpcServer::stop()
{
    listener_->stopAll();
}

} // namespace tarvik::server
