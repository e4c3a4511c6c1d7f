#include "connection.h"

#include "errors.h"
#include "frame_socket.h"

#include <QTcpSocket>

namespace tarvik {

struct TcpConnection::Io
{
    QTcpSocket socket;
    FrameSocket frames{socket};
    MessageParser parser;
};

TcpConnection::TcpConnection(QString host, quint16 port)
    : host_(std::move(host))
    , port_(port)
{
}

TcpConnection::~TcpConnection() = default;

bool TcpConnection::isOpen() const
{
    return io_ && io_->socket.state() == QAbstractSocket::ConnectedState;
}

quint16 TcpConnection::localPort() const
{
    return isOpen() ? io_->socket.localPort() : 0;
}

void TcpConnection::close()
{
    if (io_) {
        io_->socket.abort();
        io_.reset();
    }
}

void TcpConnection::open()
{
    close();
    auto io = std::make_unique<Io>();
    io->socket.connectToHost(host_, port_);
    if (!io->socket.waitForConnected(connectTimeoutMs_))
        throw ConnectionError(QStringLiteral("cannot connect to %1:%2: %3").arg(host_).arg(port_).arg(io->socket.errorString()));
    io->socket.setSocketOption(QAbstractSocket::LowDelayOption, 1);
    io->frames.send(FrameKind::Json, encodeHello(), connectTimeoutMs_);
    const Frame f = io->frames.receive(connectTimeoutMs_);
    if (f.kind != FrameKind::Json)
        throw ProtocolError(QStringLiteral("the server answered the handshake with a binary frame"));
    Message m(io->parser, f.payload);
    if (m.op() == "error")
        throw ProtocolError(m.errorMessage(), m.errorClass());
    if (m.op() != "welcome" || m.stringField("protocol") != kProtocolName)
        throw ProtocolError(QStringLiteral("the server at %1:%2 does not speak %3").arg(host_).arg(port_).arg(QLatin1String(kProtocolName.data(), kProtocolName.size())));
    if (m.version() != kProtocolVersion)
        throw ProtocolError(QStringLiteral("the server speaks protocol version %1, this program %2").arg(m.version()).arg(kProtocolVersion),
                            QStringLiteral("EProtocolVersion"));
    io_ = std::move(io);
}

ExecuteResult TcpConnection::execute(ExecuteRequest request)
{
    if (!isOpen())
        throw ConnectionError(QStringLiteral("the connection is not open"));
    request.id = ++nextId_;
    const MethodInfo &method = *request.method;
    lastRequest_ = encodeExecute(request);
    // The objects are marshalled: free them now. Callbacks stay reachable for the server's calls.
    std::vector<std::shared_ptr<RemoteCallback>> callbacks;
    for (Value &v : request.params)
        if (auto *c = std::get_if<CallbackValue>(&v); c && c->callback)
            callbacks.push_back(c->callback);
    request.params.clear();

    try {
        io_->frames.send(FrameKind::Json, lastRequest_, callTimeoutMs_);
        for (;;) {
            Frame f = io_->frames.receive(callTimeoutMs_);
            if (f.kind != FrameKind::Json)
                throw ProtocolError(QStringLiteral("a binary frame arrived where an answer was expected"));
            Message m(io_->parser, f.payload);
            if (m.op() == "callback") {
                const QString id = m.callbackId();
                const std::string arg = m.callbackArgument();
                QByteArray answer = "null";
                for (const auto &cb : callbacks)
                    if (cb->name() == id)
                        answer = cb->Execute(arg);
                io_->frames.send(FrameKind::Json, encodeCallbackResult(request.id, std::string_view(answer.constData(), static_cast<std::size_t>(answer.size()))), callTimeoutMs_);
                continue;
            }
            if (m.op() == "error") {
                const QString cls = m.errorClass();
                const QString msg = m.errorMessage();
                if (cls == QLatin1String("EProtocolError"))
                    close();
                throw ServerError(cls.isEmpty() ? QStringLiteral("Exception") : cls, msg);
            }
            if (m.op() != "result" || m.id() != request.id)
                throw ProtocolError(QStringLiteral("unexpected \"%1\" message while waiting for the answer to %2")
                                        .arg(QString::fromStdString(m.op()), QLatin1String(method.command.data(), method.command.size())));
            std::vector<std::pair<int, std::int64_t>> streams;
            ExecuteResult r = m.result(method, &streams);
            for (const auto &[ordinal, size] : streams)
                std::get<StreamValue>(r.values[static_cast<std::size_t>(ordinal)]).bytes = io_->frames.receiveStream(size, callTimeoutMs_);
            return r;
        }
    } catch (const ConnectionError &) {
        close();
        throw;
    } catch (const ProtocolError &) {
        close(); // the stream of frames is out of step
        throw;
    }
}

std::unique_ptr<TcpConnection> TcpConnection::clone() const
{
    auto c = std::make_unique<TcpConnection>(host_, port_);
    c->connectTimeoutMs_ = connectTimeoutMs_;
    c->callTimeoutMs_ = callTimeoutMs_;
    return c;
}

bool parseHostPort(const QString &text, QString *host, quint16 *port)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    bool ok = false;
    const uint p = text.mid(colon + 1).toUInt(&ok);
    if (!ok || p > 65535)
        return false;
    *host = text.left(colon);
    if (host->startsWith(QLatin1Char('[')) && host->endsWith(QLatin1Char(']')))
        *host = host->mid(1, host->size() - 2);
    *port = static_cast<quint16>(p);
    return true;
}

void defaultServer(QString *host, quint16 *port)
{
    const QString env = qEnvironmentVariable("TARVIK_SERVER");
    if (!env.isEmpty() && parseHostPort(env, host, port))
        return;
    *host = QStringLiteral(TARVIK_SERVER_ADDRESS);
    *port = 9090;
}

} // namespace tarvik
