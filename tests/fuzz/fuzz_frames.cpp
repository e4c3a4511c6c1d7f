// Frames and messages: arbitrary bytes fed to FrameDecoder in pieces of fuzzer-chosen sizes, checked
// against a plain reading of the same bytes; each JSON frame is then parsed as a Message and, by its
// "op", taken apart the way the client or the server would.
//
// Input: [control][n split sizes][stream bytes]
//   control & 0x0F  number n of split-size bytes that follow (0: the stream is fed in one piece)
//   control & 0x80  use a frame limit of 1024 bytes instead of the wire's 16 MiB
//   split size b    feed b bytes at a time (0: all that is left); the sizes are used in turn.

#include "fuzz_common.h"

#include "catalogue.h"
#include "errors.h"
#include "frame.h"
#include "protocol.h"

#include <cstdint>
#include <cstring>
#include <vector>

using namespace tarvik;
using tarvik::fuzz::check;

namespace {

// The same stream read the simple way, to compare the decoder with.
struct Reference
{
    const unsigned char *data;
    std::size_t size;
    std::int64_t limit;
    std::size_t pos = 0;

    bool headerAvailable() const { return size - pos >= static_cast<std::size_t>(kFrameHeaderSize); }
    std::int64_t length() const
    {
        const unsigned char *h = data + pos;
        return (std::int64_t(h[0]) << 24) | (std::int64_t(h[1]) << 16) | (std::int64_t(h[2]) << 8) | h[3];
    }
    unsigned char kind() const { return data[pos + 4]; }
    bool headerBad() const
    {
        return (kind() != 0x4A && kind() != 0x42) || length() > limit;
    }
};

void inspectMessage(MessageParser &parser, const Frame &frame)
{
    try {
        Message msg(parser, frame.payload);
        const std::string &op = msg.op();
        if (op == "execute") {
            ExecuteRequest r = msg.request();
            check(r.method != nullptr, "request() without a method");
            check(static_cast<int>(r.params.size()) == r.method->paramCount(), "request() parameter count");
            for (int i = 0; i < r.method->paramCount(); ++i)
                if (r.method->params[static_cast<std::size_t>(i)].out)
                    check(std::holds_alternative<std::monostate>(r.params[static_cast<std::size_t>(i)]),
                          "request(): an out parameter carries a value");
            // What the server read, written again as the client would send it, must read back the same.
            QByteArray again, twice;
            try {
                again = encodeExecute(r);
                MessageParser parser2;
                const QByteArray payload2 = fuzz::padded(again);
                Message msg2(parser2, payload2);
                ExecuteRequest r2 = msg2.request();
                check(r2.method == r.method, "execute round trip: method differs");
                twice = encodeExecute(r2);
            } catch (const RemoteError &e) {
                fuzz::fail("execute round trip: a request that was read cannot be written and read again",
                           fuzz::view(again), e.what());
            }
            check(twice == again, "execute round trip: text differs", fuzz::view(again), fuzz::view(twice));
        } else if (op == "hello" || op == "welcome") {
            (void)msg.version();
            (void)msg.stringField("protocol");
        } else if (op == "error") {
            (void)msg.errorClass();
            (void)msg.errorMessage();
        } else if (op == "callback") {
            (void)msg.callbackId();
            (void)msg.callbackArgument();
        } else if (op == "notify") {
            (void)msg.rawField("seq");
            (void)msg.rawField("arg");
        } else if (op == "result") {
            // Read the answer as the answer of the method whose number the id names.
            const auto &methods = catalogue();
            const auto n = static_cast<std::uint64_t>(msg.id()) % methods.size();
            std::vector<std::pair<int, std::int64_t>> streams;
            ExecuteResult r = msg.result(methods[n], &streams);
            check(static_cast<int>(r.values.size()) == methods[n].ordinalCount(), "result() value count");
        }
    } catch (const RemoteError &) {
        // Refused message: the connection goes on with the next frame.
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const unsigned control = data[0];
    const std::size_t nSplits = control & 0x0F;
    const std::int64_t limit = (control & 0x80) ? 1024 : kMaxFramePayload;
    if (size < 1 + nSplits)
        return 0;
    std::vector<std::size_t> splits(data + 1, data + 1 + nSplits);
    const unsigned char *stream = data + 1 + nSplits;
    const std::size_t streamSize = size - 1 - nSplits;

    FrameDecoder decoder(limit);
    MessageParser parser;
    Reference ref{stream, streamSize, limit};

    std::size_t pos = 0;
    std::size_t piece = 0;
    std::size_t offered = 0; // stream offset up to which the last feed() was given bytes
    try {
        while (pos < streamSize) {
            std::size_t chunk = streamSize - pos;
            if (!splits.empty()) {
                const std::size_t s = splits[piece++ % splits.size()];
                if (s != 0 && s < chunk)
                    chunk = s;
            }
            const char *p = reinterpret_cast<const char *>(stream + pos);
            std::size_t left = chunk;
            while (left > 0) {
                check(decoder.wanted() > 0, "wanted() is 0 with no frame ready");
                offered = pos + left;
                const std::size_t used = decoder.feed(p, left);
                check(used <= left, "feed() took more than it was given");
                p += used;
                left -= used;
                pos += used;
                std::optional<Frame> frame = decoder.take();
                if (!frame) {
                    check(left == 0, "feed() stopped early without a frame");
                    break;
                }
                check(!decoder.take(), "take() gave the same frame twice");
                check(decoder.idle(), "decoder not idle after a frame was taken");

                // The frame must be the one the plain reading finds at the same place.
                check(ref.headerAvailable() && !ref.headerBad(), "decoder produced a frame the reference refuses");
                const std::int64_t len = ref.length();
                check(static_cast<int>(frame->kind) == ref.kind(), "frame kind differs");
                check(frame->payload.size() == len, "frame length differs");
                check(std::memcmp(frame->payload.constData(), stream + ref.pos + kFrameHeaderSize,
                                  static_cast<std::size_t>(len)) == 0,
                      "frame payload differs");
                ref.pos += static_cast<std::size_t>(kFrameHeaderSize + len);
                check(ref.pos == pos, "decoder and reference out of step");

                // The padding the JSON parser will read past the payload must be there, and zero.
                check(frame->payload.data_ptr().freeSpaceAtEnd() >= kPayloadPadding, "payload padding missing");
                const char *end = frame->payload.constData() + frame->payload.size();
                for (int i = 0; i < kPayloadPadding; ++i)
                    check(end[i] == 0, "payload padding not zeroed");

                if (frame->kind == FrameKind::Json)
                    inspectMessage(parser, *frame);
            }
        }
    } catch (const ProtocolError &) {
        // The decoder refused a header: the reference must agree that the header at this place is bad.
        check(ref.headerAvailable() && ref.headerBad() && pos <= ref.pos + kFrameHeaderSize &&
                  ref.pos + kFrameHeaderSize <= offered,
              "decoder refused a header the reference accepts");
        return 0;
    }
    // End of input: whatever the decoder still wants, the plain reading wants too.
    if (ref.pos == streamSize) {
        check(decoder.idle() && decoder.wanted() == kFrameHeaderSize, "idle decoder state at a frame boundary");
    } else if (!ref.headerAvailable()) {
        check(decoder.wanted() == static_cast<std::int64_t>(kFrameHeaderSize - (streamSize - ref.pos)),
              "header bytes wanted");
    } else {
        check(!ref.headerBad(), "decoder accepted a bad header");
        check(decoder.wanted() ==
                  static_cast<std::int64_t>(ref.pos + kFrameHeaderSize + static_cast<std::size_t>(ref.length()) - streamSize),
              "payload bytes wanted");
    }
    return 0;
}
