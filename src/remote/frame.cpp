#include "frame.h"

#include "errors.h"

#include <cstring>

namespace tarvik {

namespace {

QString tooLarge(std::int64_t size, std::int64_t limit)
{
    return QStringLiteral("frame of %1 bytes exceeds the limit of %2 bytes").arg(size).arg(limit);
}

} // namespace

QByteArray frameHeader(FrameKind kind, std::int64_t size, std::int64_t limit)
{
    if (size < 0 || size > limit)
        throw ProtocolError(tooLarge(size, limit));
    QByteArray h(kFrameHeaderSize, Qt::Uninitialized);
    const auto n = static_cast<std::uint32_t>(size);
    h[0] = static_cast<char>(n >> 24);
    h[1] = static_cast<char>(n >> 16);
    h[2] = static_cast<char>(n >> 8);
    h[3] = static_cast<char>(n);
    h[4] = static_cast<char>(kind);
    return h;
}

std::size_t FrameDecoder::feed(const char *data, std::size_t size)
{
    std::size_t used = 0;
    while (used < size && !ready_) {
        if (!inPayload_) {
            const std::size_t n = std::min<std::size_t>(kFrameHeaderSize - headerFill_, size - used);
            std::memcpy(header_ + headerFill_, data + used, n);
            headerFill_ += static_cast<int>(n);
            used += n;
            if (headerFill_ < kFrameHeaderSize)
                break;
            const auto *h = reinterpret_cast<const unsigned char *>(header_);
            payloadSize_ = (std::int64_t(h[0]) << 24) | (std::int64_t(h[1]) << 16) | (std::int64_t(h[2]) << 8) | h[3];
            const auto kind = static_cast<FrameKind>(h[4]);
            if (kind != FrameKind::Json && kind != FrameKind::Binary)
                throw ProtocolError(QStringLiteral("unknown frame kind 0x%1").arg(h[4], 2, 16, QLatin1Char('0')));
            if (payloadSize_ > limit_)
                throw ProtocolError(tooLarge(payloadSize_, limit_));
            current_.kind = kind;
            current_.payload = QByteArray();
            current_.payload.reserve(payloadSize_ + kPayloadPadding);
            current_.payload.resize(payloadSize_);
            payloadFill_ = 0;
            headerFill_ = 0;
            inPayload_ = true;
        }
        const std::size_t n = std::min<std::size_t>(static_cast<std::size_t>(payloadSize_ - payloadFill_), size - used);
        if (n) {
            std::memcpy(current_.payload.data() + payloadFill_, data + used, n);
            payloadFill_ += static_cast<std::int64_t>(n);
            used += n;
        }
        if (payloadFill_ == payloadSize_) {
            // Zero the padding so that a parser reading past the end sees no stale bytes.
            std::memset(current_.payload.data() + payloadSize_, 0, kPayloadPadding);
            inPayload_ = false;
            ready_ = true;
        }
    }
    return used;
}

std::optional<Frame> FrameDecoder::take()
{
    if (!ready_)
        return std::nullopt;
    ready_ = false;
    return std::move(current_);
}

std::int64_t FrameDecoder::wanted() const
{
    if (ready_)
        return 0;
    if (inPayload_)
        return payloadSize_ - payloadFill_;
    return kFrameHeaderSize - headerFill_;
}

} // namespace tarvik
