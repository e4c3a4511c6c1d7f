#include "frame_socket.h"

#include "errors.h"

#include <QDeadlineTimer>
#include <QTcpSocket>

namespace tarvik {

FrameSocket::FrameSocket(QTcpSocket &socket, std::int64_t frameLimit)
    : socket_(socket)
    , decoder_(frameLimit)
    , limit_(frameLimit)
{
}

void FrameSocket::flush(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    while (socket_.bytesToWrite() > 0) {
        if (socket_.state() != QAbstractSocket::ConnectedState)
            throw ConnectionError(QStringLiteral("the connection was closed while sending"));
        if (!socket_.waitForBytesWritten(static_cast<int>(deadline.remainingTime()))) {
            if (deadline.hasExpired())
                throw ConnectionError(QStringLiteral("sending timed out after %1 ms").arg(timeoutMs));
            if (socket_.state() != QAbstractSocket::ConnectedState || socket_.error() != QAbstractSocket::UnknownSocketError)
                throw ConnectionError(QStringLiteral("sending failed: %1").arg(socket_.errorString()));
        }
    }
}

void FrameSocket::send(FrameKind kind, const QByteArray &payload, int timeoutMs)
{
    const QByteArray header = frameHeader(kind, payload.size(), limit_);
    if (socket_.write(header) != header.size() || socket_.write(payload) != payload.size())
        throw ConnectionError(QStringLiteral("sending failed: %1").arg(socket_.errorString()));
    flush(timeoutMs);
}

void FrameSocket::sendStream(const QByteArray &bytes, int timeoutMs)
{
    for (qsizetype off = 0; off < bytes.size(); off += kStreamChunk) {
        const qsizetype n = std::min<qsizetype>(kStreamChunk, bytes.size() - off);
        send(FrameKind::Binary, QByteArray::fromRawData(bytes.constData() + off, n), timeoutMs);
    }
}

bool FrameSocket::hasPendingData() const
{
    return !decoder_.idle() || socket_.bytesAvailable() > 0;
}

Frame FrameSocket::receive(int timeoutMs)
{
    if (auto f = tryReceive(timeoutMs))
        return std::move(*f);
    throw ConnectionError(QStringLiteral("no answer within %1 ms").arg(timeoutMs));
}

std::optional<Frame> FrameSocket::tryReceive(int timeoutMs)
{
    QDeadlineTimer deadline(timeoutMs);
    char buf[64 * 1024];
    for (;;) {
        if (auto frame = decoder_.take())
            return frame;
        if (socket_.bytesAvailable() == 0) {
            if (socket_.state() != QAbstractSocket::ConnectedState)
                throw ConnectionError(QStringLiteral("the connection was closed by the other side"));
            if (!socket_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
                if (socket_.state() != QAbstractSocket::ConnectedState)
                    throw ConnectionError(QStringLiteral("the connection was closed by the other side"));
                if (deadline.hasExpired())
                    return std::nullopt;
                continue;
            }
        }
        const auto want = std::min<std::int64_t>(decoder_.wanted(), sizeof buf);
        const qint64 got = socket_.read(buf, want);
        if (got < 0)
            throw ConnectionError(QStringLiteral("reading failed: %1").arg(socket_.errorString()));
        decoder_.feed(buf, static_cast<std::size_t>(got));
    }
}

QByteArray FrameSocket::receiveStream(std::int64_t size, int timeoutMs)
{
    if (size > kMaxStreamSize)
        throw ProtocolError(QStringLiteral("a stream of %1 bytes exceeds the limit of %2 bytes").arg(size).arg(kMaxStreamSize));
    QByteArray bytes;
    bytes.reserve(size);
    while (bytes.size() < size) {
        Frame f = receive(timeoutMs);
        if (f.kind != FrameKind::Binary)
            throw ProtocolError(QStringLiteral("a stream ended after %1 of %2 bytes").arg(bytes.size()).arg(size));
        if (bytes.size() + f.payload.size() > size)
            throw ProtocolError(QStringLiteral("a stream carries more than its announced %1 bytes").arg(size));
        bytes.append(f.payload);
    }
    return bytes;
}

} // namespace tarvik
