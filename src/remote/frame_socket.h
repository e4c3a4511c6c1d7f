#pragma once

// Blocking frame I/O over a connected QTcpSocket, for a thread that owns the socket and runs no event
// loop (worker threads of the client, connection threads of the server).

#include "frame.h"

#include <QByteArray>

class QTcpSocket;

namespace tarvik {

class FrameSocket
{
public:
    explicit FrameSocket(QTcpSocket &socket, std::int64_t frameLimit = kMaxFramePayload);

    // Writes one frame and waits until it has left (up to `timeoutMs`). Raises ProtocolError when the
    // payload is over the limit (nothing is written), ConnectionError when the socket fails.
    void send(FrameKind kind, const QByteArray &payload, int timeoutMs);
    // Writes `bytes` as binary frames of at most kStreamChunk bytes (none for an empty stream).
    void sendStream(const QByteArray &bytes, int timeoutMs);
    // Waits up to `timeoutMs` for the next complete frame. ConnectionError on time-out or a closed peer,
    // ProtocolError on a broken frame.
    Frame receive(int timeoutMs);
    // The same, but a time-out gives nullopt (a frame begun stays buffered for the next call).
    std::optional<Frame> tryReceive(int timeoutMs);
    // Reads exactly `size` stream bytes from the binary frames that follow.
    QByteArray receiveStream(std::int64_t size, int timeoutMs);
    // True when a complete frame or its first bytes are waiting (used to stop between frames).
    bool hasPendingData() const;

private:
    void flush(int timeoutMs);

    QTcpSocket &socket_;
    FrameDecoder decoder_;
    std::int64_t limit_;
};

} // namespace tarvik
