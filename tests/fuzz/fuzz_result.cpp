// Answers: the input is the payload of a JSON frame, read as the "result" of a few methods whose answers
// carry every kind of value (table, stream with out parameters, object list with outs, object with an
// array of references), and also of the method a "command" pair names, if any. An answer that was read
// is encoded again as the server would send it, read back and encoded once more: both texts must match.

#include "fuzz_common.h"

#include "catalogue.h"
#include "errors.h"
#include "frame.h"
#include "protocol.h"

#include <cstdint>
#include <cstring>
#include <utility>
#include <vector>

using namespace tarvik;
using tarvik::fuzz::check;
using tarvik::fuzz::fail;

namespace {

using StreamSizes = std::vector<std::pair<int, std::int64_t>>;

// Streams whose announced size is at most this are filled for the re-encoding; larger ones skip it.
constexpr std::int64_t kMaxFilledStream = 1 << 16;

void checkResult(const MethodInfo &m, const ExecuteResult &r, const StreamSizes &streams)
{
    check(static_cast<int>(r.values.size()) == m.ordinalCount(), "result(): value count");
    int last = -1;
    for (const auto &[ordinal, n] : streams) {
        check(ordinal > last && ordinal < m.ordinalCount(), "result(): stream ordinals out of order");
        check(m.kindAt(ordinal) == ValueKind::Stream, "result(): a stream size for a value that is no stream");
        check(std::holds_alternative<StreamValue>(r.values[static_cast<std::size_t>(ordinal)]),
              "result(): a stream size without a stream value");
        check(n >= 0 && n <= kMaxStreamSize, "result(): stream size outside the limit");
        last = ordinal;
    }
    for (int i = 0; i < m.ordinalCount(); ++i) {
        const bool answered = i == m.resultOrdinal() || m.params[static_cast<std::size_t>(i)].out;
        if (!answered)
            check(std::holds_alternative<std::monostate>(r.values[static_cast<std::size_t>(i)]),
                  "result(): an input ordinal carries a value");
    }
}

// Encodes `r` as the answer of `m`, the streams filled to their announced sizes.
QByteArray encode(std::int64_t id, const MethodInfo &m, ExecuteResult &r, const StreamSizes &streams)
{
    for (const auto &[ordinal, n] : streams)
        std::get<StreamValue>(r.values[static_cast<std::size_t>(ordinal)]).bytes = QByteArray(n, '\0');
    std::vector<const QByteArray *> out;
    QByteArray text;
    try {
        text = encodeResult(id, m, r.values, &out);
    } catch (const RemoteError &e) {
        fail("encodeResult() refuses values that result() read", e.what());
    }
    check(out.size() == streams.size(), "encodeResult(): stream count differs from the announced streams");
    return text;
}

void readAs(const Message &msg, const MethodInfo &m)
{
    StreamSizes streams;
    ExecuteResult r;
    try {
        r = msg.result(m, &streams);
    } catch (const RemoteError &) {
        return;
    }
    checkResult(m, r, streams);

    for (const auto &s : streams)
        if (s.second > kMaxFilledStream)
            return;
    const QByteArray first = encode(msg.id(), m, r, streams);
    const QByteArray payload = fuzz::padded(first);
    MessageParser parser;
    StreamSizes streams2;
    ExecuteResult r2;
    try {
        Message msg2(parser, payload);
        check(msg2.op() == "result" && msg2.id() == msg.id(), "re-encoded answer: op or id differ", fuzz::view(first));
        r2 = msg2.result(m, &streams2);
    } catch (const RemoteError &e) {
        fail("result() refuses what encodeResult() wrote", fuzz::view(first), e.what());
    }
    checkResult(m, r2, streams2);
    check(streams2 == streams, "re-encoded answer: stream sizes differ", fuzz::view(first));
    const QByteArray second = encode(msg.id(), m, r2, streams2);
    check(first == second, "answer text differs after a round trip", fuzz::view(first), fuzz::view(second));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const MethodInfo *const methods[] = {
        &methodInfo(MethodId::StokAraGetir),       // DataPacket
        &methodInfo(MethodId::BelgeIndir2),        // outs Int64, String; Stream result
        &methodInfo(MethodId::MobilStokaraAdimli), // object list result; outs Boolean, Integer
        &methodInfo(MethodId::AcilisEkranlarVer2), // object holding an array of object references
        &methodInfo(MethodId::ResimVer6),          // JSON array result; out Int64
        &methodInfo(MethodId::KurlariAl),          // outs Double
    };

    // Payloads arrive from FrameDecoder with zeroed padding past their end.
    QByteArray payload(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    payload = fuzz::padded(payload);

    MessageParser parser;
    try {
        Message msg(parser, payload);
        for (const MethodInfo *m : methods)
            readAs(msg, *m);
        const std::string command = msg.stringField("command");
        if (const MethodInfo *m = findMethod(command))
            readAs(msg, *m);
    } catch (const RemoteError &) {
    }
    return 0;
}
