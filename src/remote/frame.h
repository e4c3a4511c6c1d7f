#pragma once

// Frames: [uint32 big-endian payload length][kind byte][payload]. JSON frames carry one UTF-8 JSON
// object; binary frames carry stream bytes.

#include <QByteArray>

#include <cstdint>
#include <optional>

namespace tarvik {

enum class FrameKind : std::uint8_t { Json = 0x4A, Binary = 0x42 };

inline constexpr std::int64_t kMaxFramePayload = 16 * 1024 * 1024;
inline constexpr std::int64_t kMaxStreamSize = 256 * 1024 * 1024;
inline constexpr std::int64_t kStreamChunk = 1024 * 1024;
inline constexpr int kFrameHeaderSize = 5;
// Extra zero bytes kept after every received payload so the JSON parser can read it in place.
inline constexpr int kPayloadPadding = 64;

struct Frame
{
    FrameKind kind = FrameKind::Json;
    QByteArray payload; // capacity holds kPayloadPadding readable bytes past size()
};

// Header for a frame of `size` payload bytes; raises ProtocolError past `limit`.
QByteArray frameHeader(FrameKind kind, std::int64_t size, std::int64_t limit = kMaxFramePayload);

// Incremental decoder: feed it bytes as they arrive, take complete frames out. The length is checked
// before any payload is buffered, so a hostile length costs nothing. Raises ProtocolError on a length
// over the limit or an unknown kind; after an error the decoder is unusable (the stream is out of step).
class FrameDecoder
{
public:
    explicit FrameDecoder(std::int64_t limit = kMaxFramePayload) : limit_(limit) {}

    // Consumes up to `size` bytes; returns how many were taken. It stops at the end of a frame, so that
    // a caller can hand over each frame before feeding the rest.
    std::size_t feed(const char *data, std::size_t size);
    // The completed frame, if one is ready.
    std::optional<Frame> take();
    // Bytes still needed to complete the current frame (header or payload); for exact socket reads.
    std::int64_t wanted() const;
    bool idle() const { return headerFill_ == 0 && !inPayload_ && !ready_; }

private:
    std::int64_t limit_;
    char header_[kFrameHeaderSize] = {};
    int headerFill_ = 0;
    bool inPayload_ = false;
    bool ready_ = false;
    std::int64_t payloadSize_ = 0;
    std::int64_t payloadFill_ = 0;
    Frame current_;
};

} // namespace tarvik
