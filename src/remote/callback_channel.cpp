#include "callback_channel.h"

#include "errors.h"
#include "frame_socket.h"
#include "json_writer.h"

#include <QDeadlineTimer>
#include <QMetaObject>
#include <QPointer>
#include <QTcpSocket>
#include <QThread>
#include <QUuid>

namespace tarvik {

namespace {

constexpr int kPollMs = 200;
constexpr int kConnectTimeoutMs = 5000;
constexpr int kSendTimeoutMs = 10000;

} // namespace

CallbackChannelManager::CallbackChannelManager()
    : clientId_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
}

CallbackChannelManager::~CallbackChannelManager()
{
    stop();
}

void CallbackChannelManager::RegisterCallback(std::shared_ptr<RemoteCallback> callback)
{
    if (thread_.joinable())
        return;
    callback_ = std::move(callback);
    stopping_ = false;
    thread_ = std::thread([this] { run(); });
}

void CallbackChannelManager::stop()
{
    stopping_ = true;
    if (thread_.joinable())
        thread_.join();
    registered_ = false;
}

void CallbackChannelManager::run()
{
    while (!stopping_) {
        try {
            listenOnce();
        } catch (const RemoteError &) {
            // Dropped or refused: try again after a pause.
        }
        registered_ = false;
        for (QDeadlineTimer pause(reconnectDelayMs); !stopping_ && !pause.hasExpired();)
            QThread::msleep(std::min<qint64>(50, std::max<qint64>(1, pause.remainingTime())));
    }
}

void CallbackChannelManager::listenOnce()
{
    QTcpSocket socket;
    socket.connectToHost(DSHostname, static_cast<quint16>(DSPort.toUInt()));
    if (!socket.waitForConnected(kConnectTimeoutMs))
        throw ConnectionError(socket.errorString());
    FrameSocket frames(socket);
    MessageParser parser;

    frames.send(FrameKind::Json, encodeHello(), kSendTimeoutMs);
    JsonWriter reg;
    reg.beginObject();
    reg.key("op"); reg.value("register");
    reg.key("channel"); reg.value(ChannelName);
    reg.key("manager"); reg.value(ManagerId);
    reg.key("callback"); reg.value(callback_ ? callback_->name() : ChannelName);
    reg.key("client"); reg.value(clientId_);
    reg.endObject();
    frames.send(FrameKind::Json, reg.data(), kSendTimeoutMs);

    while (!stopping_) {
        std::optional<Frame> f = frames.tryReceive(kPollMs);
        if (!f) {
            if (socket.state() != QAbstractSocket::ConnectedState)
                throw ConnectionError(QStringLiteral("the notification channel was closed"));
            continue;
        }
        if (f->kind != FrameKind::Json)
            throw ProtocolError(QStringLiteral("a binary frame on the notification channel"));
        Message m(parser, f->payload);
        if (m.op() == "welcome") {
            if (m.version() != kProtocolVersion)
                throw ProtocolError(QStringLiteral("the server speaks another protocol version"));
        } else if (m.op() == "registered") {
            registered_ = true;
            ++registrations_;
        } else if (m.op() == "notify") {
            const std::string seq = m.rawField("seq");
            QByteArray answer = callback_ ? callback_->Execute(m.rawField("arg")) : QByteArray("true");
            JsonWriter w;
            w.beginObject();
            w.key("op"); w.value("notify-result");
            w.key("seq"); w.raw(seq);
            w.key("result"); w.raw(std::string_view(answer.constData(), static_cast<std::size_t>(answer.size())));
            w.endObject();
            frames.send(FrameKind::Json, w.data(), kSendTimeoutMs);
        } else if (m.op() == "error") {
            throw ServerError(m.errorClass(), m.errorMessage());
        }
    }
}

void queueTo(QObject *guard, std::function<void()> job)
{
    // A call queued on `guard` is discarded by Qt with the object's pending events when it is deleted.
    QMetaObject::invokeMethod(guard, std::move(job), Qt::QueuedConnection);
}

} // namespace tarvik

QByteArray TGeriBildirim::Execute(std::string_view)
{
    if (queue_)
        queue_();
    return QByteArrayLiteral("true");
}
