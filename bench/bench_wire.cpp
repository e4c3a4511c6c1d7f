// The remote-call wire under a realistic load: one stock search answering 10,000 rows of the stock list.
//
//   wire       the whole remote call as the client makes it: TServerMethods1Client::StokAraGetir on an
//              open TcpConnection to an in-process RpcServer (server thread encodes the table and frames
//              it, loopback TCP, client decodes it back into a DataTable).
//   reference  the practical limit on the same machine: the same framed answer bytes written by a plain
//              POSIX sender thread over loopback TCP, read into a reused buffer and parsed with the
//              simdjson DOM (the result table's first column is looked up to count the rows).
//
// Both are timed on the wall clock (the wire's work is split between two threads). The last line of the
// output is the ratio of their medians. The other cases split the wire's time into its parts.

#include "errors.h"
#include "frame.h"
#include "protocol.h"
#include "rpc_server.h"
#include "server_methods.h"
#include "servermethods.h"
#include "stock_table.h"
#include "table_json.h"

#include <QCoreApplication>
#include <QHostAddress>
#include <QThread>

#include <benchmark/benchmark.h>
#include <simdjson.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <future>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

using tarvik::DataTable;
using tarvik::MethodId;

constexpr int kRows = 10000;
constexpr int kRepetitions = 5;
constexpr double kMinTimeSeconds = 1.0;
constexpr double kWarmUpSeconds = 0.5;

// ---- the shared load ---------------------------------------------------------------------------------

const DataTable &stockTable()
{
    static const DataTable table = tarvik::bench::makeStockTable(kRows);
    return table;
}

const tarvik::MethodInfo &stokAraGetir()
{
    return tarvik::methodInfo(MethodId::StokAraGetir);
}

// The answer's values as the server's handler leaves them: kod and bilgi are inputs, the table is the result.
const std::vector<tarvik::Value> &answerValues()
{
    static const std::vector<tarvik::Value> values = [] {
        std::vector<tarvik::Value> v(static_cast<std::size_t>(stokAraGetir().ordinalCount()));
        v[static_cast<std::size_t>(stokAraGetir().resultOrdinal())] = stockTable();
        return v;
    }();
    return values;
}

// The JSON payload of the answer (id 1), exactly as the server encodes it.
const QByteArray &answerPayload()
{
    static const QByteArray payload = [] {
        std::vector<const QByteArray *> streams;
        return tarvik::encodeResult(1, stokAraGetir(), answerValues(), &streams);
    }();
    return payload;
}

// Header and payload: the bytes the server writes for the answer.
const QByteArray &answerFrame()
{
    static const QByteArray frame = tarvik::frameHeader(tarvik::FrameKind::Json, answerPayload().size()) + answerPayload();
    return frame;
}

// The payload in a buffer with the padding a received frame has (FrameDecoder keeps kPayloadPadding
// readable zero bytes past the end, and the client parses in place).
QByteArray paddedPayload()
{
    const QByteArray &p = answerPayload();
    QByteArray b(p.size() + tarvik::kPayloadPadding, '\0');
    std::memcpy(b.data(), p.constData(), static_cast<std::size_t>(p.size()));
    b.truncate(p.size());
    if (b.capacity() < p.size() + tarvik::kPayloadPadding)
        throw std::logic_error("padding lost");
    return b;
}

void setCommonCounters(benchmark::State &state)
{
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * answerFrame().size());
    state.counters["frame_bytes"] = static_cast<double>(answerFrame().size());
    state.counters["rows"] = kRows;
}

// Median per-iteration wall time of the reference case, in seconds; set by the reporter once the
// reference case has finished, read by the wire case for its "x_reference" counter.
double g_referenceMedianSeconds = 0;

// ---- wire: the in-process server ---------------------------------------------------------------------

// Runs the RpcServer in a thread of its own with an event loop (its QTcpServer accepts through it).
class ServerThread final : public QThread
{
public:
    explicit ServerThread(std::shared_ptr<const tarvik::server::Dispatcher> dispatcher)
        : dispatcher_(std::move(dispatcher))
    {
    }

    // Ends the event loop and waits for the server to stop (it waits for its connection threads).
    ~ServerThread() override
    {
        quit();
        wait();
    }

    quint16 port() { return portFuture_.get(); }

protected:
    void run() override
    {
        tarvik::server::RpcServer server(dispatcher_);
        QString error;
        if (!server.listen(QHostAddress(QHostAddress::LocalHost), 0, &error)) {
            std::fprintf(stderr, "cannot listen: %s\n", qPrintable(error));
            portPromise_.set_value(0);
            return;
        }
        portPromise_.set_value(server.port());
        exec();
        server.stop();
    }

private:
    std::shared_ptr<const tarvik::server::Dispatcher> dispatcher_;
    std::promise<quint16> portPromise_;
    std::shared_future<quint16> portFuture_ = portPromise_.get_future().share();
};

// Members end in reverse order: the proxy and the connection close before the server stops.
struct WireFixture
{
    std::unique_ptr<ServerThread> server;
    std::unique_ptr<tarvik::TcpConnection> connection;
    std::unique_ptr<TServerMethods1Client> proxy;

    WireFixture()
    {
        auto table = std::make_shared<const DataTable>(stockTable());
        auto dispatcher = tarvik::server::makeDispatcher();
        dispatcher->add(MethodId::StokAraGetir, [table](tarvik::server::ServerCall &c) {
            // What a real handler does: hand over a table of its own to the answer.
            c.setResult(DataTable(*table));
        });
        server = std::make_unique<ServerThread>(std::move(dispatcher));
        server->start();
        const quint16 port = server->port();
        if (!port)
            throw std::runtime_error("the server did not start");
        connection = std::make_unique<tarvik::TcpConnection>(QStringLiteral("127.0.0.1"), port);
        connection->open();
        proxy = std::make_unique<TServerMethods1Client>(connection.get());
        // Once, outside the timing: the table must come back exactly as the server holds it.
        if (!(proxy->StokAraGetir(QStringLiteral("FREN"), nullptr) == stockTable()))
            throw std::runtime_error("the table did not survive the round trip");
    }
};

std::unique_ptr<WireFixture> g_wire;

WireFixture &wire()
{
    if (!g_wire)
        g_wire = std::make_unique<WireFixture>();
    return *g_wire;
}

std::unique_ptr<TSonucBilgisi> identity()
{
    auto b = std::make_unique<TSonucBilgisi>();
    b->setBILGISAYARID(QStringLiteral("7F3A-22C1-9B0E"));
    b->setCARINO(4512);
    b->setSaticiNo(17);
    b->setCariAdi(QStringLiteral("ÖZGÜVEN OTO YEDEK PARÇA LTD. ŞTİ."));
    b->setcarikod(QStringLiteral("120.01.4512"));
    b->setAKTIF(1);
    return b;
}

// Runs `body`, turning an exception into a skipped case with its message.
template<class Body>
void guarded(benchmark::State &state, Body body)
{
    try {
        body();
    } catch (const tarvik::RemoteError &e) {
        state.SkipWithError(qPrintable(e.message()));
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

void BM_wire(benchmark::State &state)
{
    const QString kod = QStringLiteral("FREN");
    const auto start = std::chrono::steady_clock::now();
    guarded(state, [&] {
        WireFixture &f = wire();
        for (auto _ : state) {
            DataTable t = f.proxy->StokAraGetir(kod, identity());
            if (t.rowCount() != kRows) {
                state.SkipWithError("wrong row count");
                break;
            }
            benchmark::DoNotOptimize(t);
        }
    });
    if (state.error_occurred())
        return;
    const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
    setCommonCounters(state);
    if (g_referenceMedianSeconds > 0 && state.iterations() > 0)
        state.counters["x_reference"] = elapsed.count() / static_cast<double>(state.iterations()) / g_referenceMedianSeconds;
}

// The fixed cost of one call: a short string there and back.
void BM_wire_echo(benchmark::State &state)
{
    const QString text = QStringLiteral("Merhaba ığüşöç");
    guarded(state, [&] {
        WireFixture &f = wire();
        for (auto _ : state) {
            QString back = f.proxy->EchoString(text);
            if (back != text) {
                state.SkipWithError("echo differs");
                break;
            }
            benchmark::DoNotOptimize(back);
        }
    });
}

// ---- reference: plain sockets and simdjson -----------------------------------------------------------

void check(bool ok, const char *what)
{
    if (!ok)
        throw std::runtime_error(std::string(what) + ": " + std::strerror(errno));
}

void setNoDelay(int fd)
{
    const int one = 1;
    check(::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one) == 0, "setsockopt");
}

bool readExactly(int fd, char *p, std::size_t n)
{
    while (n) {
        const ssize_t got = ::read(fd, p, n);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        p += got;
        n -= static_cast<std::size_t>(got);
    }
    return true;
}

bool writeAll(int fd, const char *p, std::size_t n)
{
    while (n) {
        const ssize_t put = ::write(fd, p, n);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        p += put;
        n -= static_cast<std::size_t>(put);
    }
    return true;
}

// A sender thread on loopback TCP: for every request byte it writes the whole framed answer.
struct ReferenceFixture
{
    int client = -1;
    std::thread sender;
    simdjson::padded_string buffer{static_cast<std::size_t>(answerPayload().size())};
    simdjson::dom::parser parser;

    ReferenceFixture()
    {
        if (parser.allocate(buffer.size()))
            throw std::runtime_error("simdjson cannot allocate");
        const int listener = ::socket(AF_INET, SOCK_STREAM, 0);
        check(listener >= 0, "socket");
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        addr.sin_port = 0;
        check(::bind(listener, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0, "bind");
        check(::listen(listener, 1) == 0, "listen");
        socklen_t len = sizeof addr;
        check(::getsockname(listener, reinterpret_cast<sockaddr *>(&addr), &len) == 0, "getsockname");

        client = ::socket(AF_INET, SOCK_STREAM, 0);
        check(client >= 0, "socket");
        check(::connect(client, reinterpret_cast<sockaddr *>(&addr), sizeof addr) == 0, "connect");
        setNoDelay(client);
        const int server = ::accept(listener, nullptr, nullptr);
        check(server >= 0, "accept");
        ::close(listener);
        setNoDelay(server);

        const QByteArray *frame = &answerFrame();
        sender = std::thread([server, frame] {
            char request = 0;
            while (readExactly(server, &request, 1))
                if (!writeAll(server, frame->constData(), static_cast<std::size_t>(frame->size())))
                    break;
            ::close(server);
        });
    }

    ~ReferenceFixture()
    {
        ::shutdown(client, SHUT_RDWR);
        ::close(client);
        sender.join();
    }

    // One request: returns the row count read from the parsed answer (-1 on failure).
    std::int64_t call()
    {
        const char request = 1;
        if (!writeAll(client, &request, 1))
            return -1;
        unsigned char header[tarvik::kFrameHeaderSize];
        if (!readExactly(client, reinterpret_cast<char *>(header), sizeof header))
            return -1;
        const std::size_t size = (std::size_t(header[0]) << 24) | (std::size_t(header[1]) << 16) |
                                 (std::size_t(header[2]) << 8) | header[3];
        if (size != buffer.size() || !readExactly(client, buffer.data(), size))
            return -1;
        simdjson::dom::element root;
        if (parser.parse(buffer.data(), size, false).get(root))
            return -1;
        simdjson::dom::array values;
        if (root["values"].get_array().get(values) || values.size() != static_cast<std::size_t>(stokAraGetir().ordinalCount()))
            return -1;
        simdjson::dom::array firstColumn;
        if (values.at(static_cast<std::size_t>(stokAraGetir().resultOrdinal()))["DURUM"].get_array().get(firstColumn))
            return -1;
        return static_cast<std::int64_t>(firstColumn.size());
    }
};

std::unique_ptr<ReferenceFixture> g_reference;

void BM_reference(benchmark::State &state)
{
    guarded(state, [&] {
        if (!g_reference)
            g_reference = std::make_unique<ReferenceFixture>();
        for (auto _ : state) {
            const std::int64_t rows = g_reference->call();
            if (rows != kRows) {
                state.SkipWithError("wrong row count");
                break;
            }
            benchmark::DoNotOptimize(rows);
        }
    });
    setCommonCounters(state);
}

// ---- the parts of the wire's time ---------------------------------------------------------------------

// Server side: the table into the answer's JSON (what encodeResult costs for this answer).
void BM_encode(benchmark::State &state)
{
    for (auto _ : state) {
        std::vector<const QByteArray *> streams;
        QByteArray json = tarvik::encodeResult(1, stokAraGetir(), answerValues(), &streams);
        benchmark::DoNotOptimize(json.data());
    }
    setCommonCounters(state);
}

// Server side: the copy of the table the handler hands over to the answer.
void BM_table_copy(benchmark::State &state)
{
    for (auto _ : state) {
        DataTable copy(stockTable());
        benchmark::DoNotOptimize(copy);
    }
    state.counters["rows"] = kRows;
}

// Client side: the received payload back into a DataTable, as TcpConnection::execute does it.
void BM_decode(benchmark::State &state)
{
    const QByteArray payload = paddedPayload();
    tarvik::MessageParser parser;
    guarded(state, [&] {
        for (auto _ : state) {
            tarvik::Message m(parser, payload);
            std::vector<std::pair<int, std::int64_t>> streams;
            tarvik::ExecuteResult r = m.result(stokAraGetir(), &streams);
            const auto &t = std::get<DataTable>(r.values[static_cast<std::size_t>(stokAraGetir().resultOrdinal())]);
            if (t.rowCount() != kRows) {
                state.SkipWithError("wrong row count");
                break;
            }
            benchmark::DoNotOptimize(r);
        }
    });
    setCommonCounters(state);
}

// Client side, lower bound of decode: the simdjson DOM parse alone (the reference's parse, no network).
void BM_simdjson_parse(benchmark::State &state)
{
    const QByteArray payload = paddedPayload();
    simdjson::dom::parser parser;
    for (auto _ : state) {
        simdjson::dom::element root;
        if (parser.parse(payload.constData(), static_cast<std::size_t>(payload.size()), false).get(root)) {
            state.SkipWithError("parse failed");
            break;
        }
        benchmark::DoNotOptimize(root);
    }
    setCommonCounters(state);
}

// The table alone through tableToJson / tableFromJson (no message around it).
void BM_tableToJson(benchmark::State &state)
{
    for (auto _ : state) {
        QByteArray json = tarvik::tableToJson(stockTable());
        benchmark::DoNotOptimize(json.data());
    }
    setCommonCounters(state);
}

void BM_tableFromJson(benchmark::State &state)
{
    const QByteArray json = tarvik::tableToJson(stockTable());
    for (auto _ : state) {
        DataTable t = tarvik::tableFromJson(std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
        benchmark::DoNotOptimize(t);
    }
    setCommonCounters(state);
}

// Registration order is run order: the reference runs before the wire so that the wire's repetitions
// can report "x_reference".
BENCHMARK(BM_reference)->Name("reference")->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->MinTime(kMinTimeSeconds)->MinWarmUpTime(kWarmUpSeconds);
BENCHMARK(BM_wire)->Name("wire")->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->MinTime(kMinTimeSeconds)->MinWarmUpTime(kWarmUpSeconds);
BENCHMARK(BM_wire_echo)->Name("wire_echo")->UseRealTime()->Unit(benchmark::kMicrosecond)->MinTime(0.5);
BENCHMARK(BM_encode)->Name("part/encode")->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_table_copy)->Name("part/table_copy")->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_decode)->Name("part/decode")->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_simdjson_parse)->Name("part/simdjson_parse")->Unit(benchmark::kMillisecond)->Repetitions(3);
BENCHMARK(BM_tableToJson)->Name("part/tableToJson")->Unit(benchmark::kMillisecond);
BENCHMARK(BM_tableFromJson)->Name("part/tableFromJson")->Unit(benchmark::kMillisecond);

// ---- reporting ------------------------------------------------------------------------------------------

// The console reporter, plus the wall-time medians of the reference and wire cases for the final ratio.
class RatioReporter final : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs) {
            if (run.error_occurred)
                continue;
            const std::string &name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate) {
                if (run.aggregate_name == "median")
                    medians_[name] = seconds(run);
            } else {
                samples_[name].push_back(seconds(run));
            }
        }
        if (const double m = median("reference"); m > 0)
            g_referenceMedianSeconds = m;
    }

    // Median wall time per iteration in seconds; 0 when the case did not run.
    double median(const std::string &name) const
    {
        if (auto it = medians_.find(name); it != medians_.end())
            return it->second;
        auto it = samples_.find(name);
        if (it == samples_.end() || it->second.empty())
            return 0;
        std::vector<double> v = it->second;
        std::sort(v.begin(), v.end());
        const std::size_t n = v.size();
        return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
    }

private:
    static double seconds(const Run &run)
    {
        return run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    std::map<std::string, double> medians_;
    std::map<std::string, std::vector<double>> samples_;
};

} // namespace

int main(int argc, char **argv)
{
    // Qt wants its application object before any socket or thread; it gets only the program name.
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);

    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    std::printf("stock table: %d rows x %d columns; answer frame %lld bytes (payload %lld)\n", kRows,
                stockTable().columnCount(), static_cast<long long>(answerFrame().size()),
                static_cast<long long>(answerPayload().size()));
    std::fflush(stdout);

    RatioReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    int status = 0;
    try {
        benchmark::RunSpecifiedBenchmarks(&reporter);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_wire: %s\n", e.what());
        status = 1;
    }
    g_wire.reset();
    g_reference.reset();
    benchmark::Shutdown();

    const double wireMedian = reporter.median("wire");
    const double referenceMedian = reporter.median("reference");
    if (wireMedian > 0 && referenceMedian > 0)
        std::printf("median wire: %.2f ms, median reference: %.2f ms\nratio wire/reference: %.2f\n",
                    wireMedian * 1e3, referenceMedian * 1e3, wireMedian / referenceMedian);
    return status;
}
