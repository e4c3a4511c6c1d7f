// Many clients at once against the real tarvik-server process on its seeded demo database: each client is a
// thread with a connection of its own that runs a mixed load through TServerMethods1Client for a fixed time.
//
//   search     StokAraGetir of a brand and part ("KARTALPAR TERMOSTAT"), a part alone ("TERMOSTAT") or a code
//   basket     SepetEkle2, SepetGuncelle2 or SepetSatirSil of one of the client's own lines, then SepetVer2
//              (the client shows the basket again after every change)
//   order      SepetSecimGuncelle of each of the client's lines, then SiparisKaydet
//   statement  CariEkstreVer of the client's account
//
// Mix per operation: search 40 %, basket 35 %, order 10 %, statement 15 %. The clients are spread over the
// demo's dealer accounts (client i works for account i mod 30); every client adds only stocks of its own
// (stock numbers that are i modulo the client count), so it can tell its basket lines from those of the
// other clients of the same account. The basket belongs to the account: an order of one client takes every
// selected line of the account, and a line taken that way is then missing for the client that added it;
// such refusals are counted as conflicts, apart from the errors.
//
// Three phases, in one run against the same server:
//   alone   one client alone, the same mix (the latency reference);
//   echo    all clients calling EchoString (the fixed cost of a call: the server's ceiling);
//   mixed   all clients, the mix above.
// Reported per operation and per method: completed calls, calls/s, p50/p99 latency, errors; ratios of the
// mixed phase against the alone phase.
//
//   bench_load [--seconds 30] [--clients 100] [--alone-seconds 10] [--echo-seconds 5] [--stocks N]

#include "demo_server.h"
#include "errors.h"
#include "servermethods.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <latch>
#include <map>
#include <memory>
#include <mutex>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using tarvik::DataTable;

struct Options
{
    double seconds = 30;
    int clients = 100;
    double aloneSeconds = 10;
    double echoSeconds = 5;
    int stocks = 0; // the server's default demo catalogue
};

// ---- what the clients work on, read once from the server's database file -------------------------------

struct Stock
{
    int no;
    QString kod, barkod, adi, marka, partWord, makerCode, oem1;
    double list, campaign, kdv;
};

struct Account
{
    int carino;
    double rates[4];
};

struct World
{
    std::vector<Account> accounts;
    std::vector<Stock> stocks;
    std::vector<QString> partWords;
    int firstStock = 0;
    int teslim = 0, kargoTuru = 0, kargoFirma = 0;
    quint16 port = 0;
};

// The first word of a part name that is long enough to be searched for (words under 3 letters are not).
QString partWordOf(const QString &name)
{
    const QStringList words = name.split(u' ', Qt::SkipEmptyParts);
    for (const QString &w : words)
        if (w.size() >= 4)
            return w;
    return words.isEmpty() ? name : words.first();
}

void readWorld(const QString &dbPath, World &w)
{
    const QString name = QStringLiteral("bench-load-world");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(dbPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw std::runtime_error("cannot open the demo database: " + db.lastError().text().toStdString());
        QSqlQuery q(db);
        if (!q.exec(QStringLiteral("SELECT no, isk1, isk2, isk3, isk4 FROM cari ORDER BY no")))
            throw std::runtime_error(q.lastError().text().toStdString());
        while (q.next())
            w.accounts.push_back({q.value(0).toInt(), {q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toDouble(), q.value(4).toDouble()}});
        if (!q.exec(QStringLiteral("SELECT no, kod, barkod, adi, marka, uretici_kodu, oem1, liste_fiyat, kamp_fiyat, kdv FROM stok ORDER BY no")))
            throw std::runtime_error(q.lastError().text().toStdString());
        std::map<QString, int> words;
        while (q.next()) {
            Stock s{q.value(0).toInt(), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                    {}, q.value(5).toString(), q.value(6).toString(), q.value(7).toDouble(), q.value(8).toDouble(), q.value(9).toDouble()};
            s.partWord = partWordOf(s.adi);
            ++words[s.partWord];
            w.stocks.push_back(std::move(s));
        }
        for (const auto &[word, count] : words)
            w.partWords.push_back(word);
    }
    QSqlDatabase::removeDatabase(name);
    if (w.accounts.empty() || w.stocks.empty())
        throw std::runtime_error("the demo database has no accounts or no stocks");
    w.firstStock = w.stocks.front().no;
}

// ---- measurements -----------------------------------------------------------------------------------------

// Latencies in microseconds and outcomes of one call kind or operation, per client; merged at the end.
struct Samples
{
    std::vector<double> micros;
    long errors = 0;
    long conflicts = 0;
};

struct ErrorKey
{
    std::string name, className, message;
    bool operator<(const ErrorKey &o) const
    {
        return std::tie(name, className, message) < std::tie(o.name, o.className, o.message);
    }
};

struct Recorder
{
    std::map<std::string, Samples> calls;      // per method
    std::map<std::string, Samples> operations; // per operation of the mix
    std::map<ErrorKey, long> errorTexts;
    long accepted = 0, notAccepted = 0;
};

class SplitMix
{
public:
    explicit SplitMix(std::uint64_t seed) : state_(seed) {}
    std::uint64_t next()
    {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ULL);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(next() % static_cast<std::uint64_t>(n)); }

private:
    std::uint64_t state_;
};

// An error message with its numbers as '#', so that the same error of different lines counts as one.
std::string messagePattern(const QString &message)
{
    QString out;
    bool digits = false;
    for (QChar c : message.left(160)) {
        if (c.isDigit()) {
            if (!digits)
                out += QLatin1Char('#');
            digits = true;
        } else {
            out += c;
            digits = false;
        }
    }
    return out.toStdString();
}

// A line taken from the basket by another client's order of the same account.
bool isConflict(const tarvik::RemoteError &e)
{
    return e.className() == QLatin1String("EBasketError") && e.message().contains(QStringLiteral("bulunamadı"));
}

// ---- one client -----------------------------------------------------------------------------------------

class Client
{
public:
    Client(const World &w, int index, int clientCount, Recorder &rec)
        : w_(w), index_(index), clientCount_(clientCount), account_(w.accounts[static_cast<std::size_t>(index) % w.accounts.size()]),
          rng_(0x7A2B17ULL + static_cast<std::uint64_t>(index)), rec_(rec)
    {
        for (const Stock &s : w.stocks)
            if ((s.no - w.firstStock) % clientCount == index)
                own_.push_back(&s);
        if (own_.empty())
            own_.push_back(&w.stocks[static_cast<std::size_t>(index) % w.stocks.size()]);
    }

    void connect()
    {
        proxy_.reset();
        connection_ = std::make_unique<tarvik::TcpConnection>(QStringLiteral("127.0.0.1"), w_.port);
        connection_->setConnectTimeout(30000);
        connection_->open();
        proxy_ = std::make_unique<TServerMethods1Client>(connection_.get());
    }

    // One operation of the mix.
    void step()
    {
        const int roll = rng_.below(100);
        const char *op = roll < 40 ? "search" : roll < 75 ? "basket" : roll < 85 ? "order" : "statement";
        const auto start = Clock::now();
        bool failed = false, conflict = false;
        try {
            if (roll < 40)
                search();
            else if (roll < 75)
                basketChange();
            else if (roll < 85)
                order();
            else
                statement();
        } catch (const tarvik::RemoteError &e) {
            (isConflict(e) ? conflict : failed) = true;
        }
        record(rec_.operations[op], start, failed, conflict);
    }

    void echo()
    {
        call("EchoString", [&] {
            if (proxy_->EchoString(QStringLiteral("yük testi")) != QStringLiteral("yük testi"))
                throw tarvik::RemoteError(QStringLiteral("EBench"), QStringLiteral("echo differs"));
        });
    }

private:
    void search()
    {
        const Stock &s = w_.stocks[static_cast<std::size_t>(rng_.below(static_cast<int>(w_.stocks.size())))];
        const int kind = rng_.below(10);
        QString term;
        if (kind < 5)
            term = s.marka + QLatin1Char(' ') + s.partWord; // tens of rows
        else if (kind < 7)
            term = s.partWord;                                // hundreds of rows
        else if (kind == 7)
            term = s.kod;                                     // one row
        else if (kind == 8)
            term = s.makerCode;
        else
            term = s.oem1;
        call("StokAraGetir", [&] {
            DataTable t = proxy_->StokAraGetir(term, tarvik::bench::identityFor(account_.carino));
            if (t.rowCount() == 0)
                throw tarvik::RemoteError(QStringLiteral("EBench"), QStringLiteral("nothing found for %1").arg(term));
        });
    }

    void add()
    {
        const Stock &s = *own_[static_cast<std::size_t>(rng_.below(static_cast<int>(own_.size())))];
        const bool k = s.campaign > 0;
        const double *r = account_.rates;
        const double none[4] = {0, 0, 0, 0};
        const double *rates = k ? none : r;
        call("SepetEkle2", [&] {
            proxy_->SepetEkle2(tarvik::bench::identityFor(account_.carino), account_.carino, s.no, s.barkod, s.adi,
                               double(1 + rng_.below(5)), s.kdv, k ? s.campaign : s.list, rates[0], 1, k ? 1 : 0, rates[1],
                               rates[2], rates[3]);
        });
    }

    // Shows the basket again and keeps the lines of this client's own stocks.
    void refresh()
    {
        call("SepetVer2", [&] {
            const DataTable t = proxy_->SepetVer2(account_.carino);
            const int lineCol = t.indexOf(u"SIRANO"), stockCol = t.indexOf(u"STOKNO");
            lines_.clear();
            for (int row = 0; row < t.rowCount(); ++row)
                if ((t.integer(row, stockCol) - w_.firstStock) % clientCount_ == index_)
                    lines_.push_back({static_cast<int>(t.integer(row, lineCol)), static_cast<int>(t.integer(row, stockCol))});
        });
    }

    void basketChange()
    {
        const int roll = rng_.below(100);
        try {
            if (lines_.empty() || roll < 50) {
                add();
            } else {
                const Line line = lines_[static_cast<std::size_t>(rng_.below(static_cast<int>(lines_.size())))];
                if (roll < 80) {
                    const Stock &s = stockByNo(line.stock);
                    const bool k = s.campaign > 0;
                    const double none[4] = {0, 0, 0, 0};
                    const double *rates = k ? none : account_.rates;
                    call("SepetGuncelle2", [&] {
                        proxy_->SepetGuncelle2(tarvik::bench::identityFor(account_.carino), account_.carino, s.no, s.barkod, s.adi,
                                               double(1 + rng_.below(20)), s.kdv, k ? s.campaign : s.list, rates[0], 1, line.sirano,
                                               rates[1], rates[2], rates[3]);
                    });
                } else {
                    call("SepetSatirSil", [&] {
                        proxy_->SepetSatirSil(tarvik::bench::identityFor(account_.carino), line.sirano, QString());
                    });
                }
            }
        } catch (...) {
            refresh();
            throw;
        }
        refresh();
    }

    void order()
    {
        if (lines_.empty()) {
            add();
            refresh();
        }
        for (const Line &line : lines_)
            call("SepetSecimGuncelle", [&] { proxy_->SepetSecimGuncelle(line.sirano, 1); });
        call("SiparisKaydet", [&] {
            const bool ok = proxy_->SiparisKaydet(tarvik::bench::identityFor(account_.carino), account_.carino, w_.teslim,
                                                  w_.kargoTuru, QStringLiteral("Yük testi"), 1, w_.kargoFirma);
            ++(ok ? rec_.accepted : rec_.notAccepted);
        });
        lines_.clear(); // the selected lines became the order
    }

    void statement()
    {
        call("CariEkstreVer", [&] {
            tarvik::TableReader *r = proxy_->CariEkstreVer(account_.carino);
            int rows = 0;
            while (r && r->next())
                ++rows;
            benchmarkSink_ += rows;
        });
    }

    const Stock &stockByNo(int no) const { return w_.stocks[static_cast<std::size_t>(no - w_.firstStock)]; }

    // Times one remote call; records its error (and rethrows it, so that the operation fails too).
    template<class Body>
    void call(const char *name, Body body)
    {
        const auto start = Clock::now();
        try {
            body();
        } catch (const tarvik::RemoteError &e) {
            const bool conflict = isConflict(e);
            record(rec_.calls[name], start, !conflict, conflict);
            ++rec_.errorTexts[{name, e.className().toStdString(), messagePattern(e.message())}];
            if (dynamic_cast<const tarvik::ConnectionError *>(&e) || dynamic_cast<const tarvik::ProtocolError *>(&e))
                reconnect();
            throw;
        }
        record(rec_.calls[name], start, false, false);
    }

    void reconnect()
    {
        try {
            connect();
        } catch (const tarvik::RemoteError &) {
            // counted with the call that broke; the next call fails on the closed connection
        }
    }

    static void record(Samples &s, Clock::time_point start, bool failed, bool conflict)
    {
        s.micros.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
        s.errors += failed;
        s.conflicts += conflict;
    }

    struct Line
    {
        int sirano;
        int stock;
    };

    const World &w_;
    int index_;
    int clientCount_;
    Account account_;
    SplitMix rng_;
    Recorder &rec_;
    std::vector<const Stock *> own_;
    std::vector<Line> lines_;
    std::unique_ptr<tarvik::TcpConnection> connection_;
    std::unique_ptr<TServerMethods1Client> proxy_;
    long benchmarkSink_ = 0;
};

// ---- phases ------------------------------------------------------------------------------------------------

struct PhaseResult
{
    std::string name;
    int clients = 0;
    double seconds = 0;
    double serverCpu = 0, clientCpu = 0; // seconds of CPU time used during the phase
    Recorder merged;
};

// CPU seconds (user + system) of a process so far, from /proc.
double processCpuSeconds(qint64 pid)
{
    FILE *f = std::fopen(QStringLiteral("/proc/%1/stat").arg(pid).toLocal8Bit().constData(), "r");
    if (!f)
        return 0;
    char buffer[1024] = {};
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = 0;
    // Fields after the command name in parentheses: state is field 3, utime 14, stime 15.
    const char *p = std::strrchr(buffer, ')');
    if (!p)
        return 0;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
        return 0;
    return static_cast<double>(utime + stime) / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

double ownCpuSeconds()
{
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) + (u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

qint64 g_serverPid = 0;

void mergeInto(Recorder &into, Recorder &from)
{
    for (auto &[k, v] : from.calls) {
        Samples &s = into.calls[k];
        s.micros.insert(s.micros.end(), v.micros.begin(), v.micros.end());
        s.errors += v.errors;
        s.conflicts += v.conflicts;
    }
    for (auto &[k, v] : from.operations) {
        Samples &s = into.operations[k];
        s.micros.insert(s.micros.end(), v.micros.begin(), v.micros.end());
        s.errors += v.errors;
        s.conflicts += v.conflicts;
    }
    for (auto &[k, v] : from.errorTexts)
        into.errorTexts[k] += v;
    into.accepted += from.accepted;
    into.notAccepted += from.notAccepted;
}

PhaseResult runPhase(const World &w, const std::string &name, int clients, double seconds, bool echoOnly)
{
    std::vector<Recorder> recorders(static_cast<std::size_t>(clients));
    std::latch connected(clients);
    std::atomic<int> connectFailures{0};
    std::atomic<Clock::rep> startTicks{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    threads.reserve(static_cast<std::size_t>(clients));
    const auto duration = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(seconds));
    for (int i = 0; i < clients; ++i) {
        threads.emplace_back([&, i] {
            Client client(w, i, clients, recorders[static_cast<std::size_t>(i)]);
            bool ok = true;
            try {
                client.connect();
            } catch (const tarvik::RemoteError &e) {
                ok = false;
                ++connectFailures;
                std::fprintf(stderr, "client %d cannot connect: %s\n", i, qPrintable(e.message()));
            }
            connected.count_down();
            while (!go.load())
                std::this_thread::yield();
            if (!ok)
                return;
            const Clock::time_point end = Clock::time_point(Clock::duration(startTicks.load())) + duration;
            while (Clock::now() < end) {
                if (echoOnly) {
                    try {
                        client.echo();
                    } catch (const tarvik::RemoteError &) {
                    }
                } else {
                    client.step();
                }
            }
        });
    }
    connected.wait();
    const double serverCpu0 = processCpuSeconds(g_serverPid), clientCpu0 = ownCpuSeconds();
    const auto start = Clock::now();
    startTicks.store(start.time_since_epoch().count());
    go.store(true);
    for (std::thread &t : threads)
        t.join();
    PhaseResult r;
    r.name = name;
    r.clients = clients;
    r.seconds = std::chrono::duration<double>(Clock::now() - start).count();
    r.serverCpu = processCpuSeconds(g_serverPid) - serverCpu0;
    r.clientCpu = ownCpuSeconds() - clientCpu0;
    for (Recorder &rec : recorders)
        mergeInto(r.merged, rec);
    if (connectFailures)
        r.merged.errorTexts[{"connect", "ConnectionError", "clients that could not connect"}] += connectFailures;
    return r;
}

double percentile(std::vector<double> &v, double p)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t rank = static_cast<std::size_t>(std::ceil(p / 100.0 * static_cast<double>(v.size())));
    return v[std::min(v.size() - 1, rank == 0 ? 0 : rank - 1)];
}

struct Row
{
    long n = 0;
    double rate = 0, p50 = 0, p99 = 0;
    long errors = 0, conflicts = 0;
};

Row summarize(Samples &s, double seconds)
{
    Row r;
    r.n = static_cast<long>(s.micros.size());
    r.rate = static_cast<double>(r.n) / seconds;
    r.p50 = percentile(s.micros, 50) / 1000.0;
    r.p99 = percentile(s.micros, 99) / 1000.0;
    r.errors = s.errors;
    r.conflicts = s.conflicts;
    return r;
}

void printTable(const char *title, std::map<std::string, Samples> &table, double seconds, std::map<std::string, Samples> *alone,
                double aloneSeconds)
{
    std::printf("%-20s %9s %9s %10s %10s %7s %9s", title, "done", "per s", "p50 ms", "p99 ms", "errors", "conflicts");
    if (alone)
        std::printf(" %10s %10s", "p50 alone", "p50 ratio");
    std::printf("\n");
    long total = 0, errors = 0, conflicts = 0;
    for (auto &[name, samples] : table) {
        const Row r = summarize(samples, seconds);
        total += r.n;
        errors += r.errors;
        conflicts += r.conflicts;
        std::printf("%-20s %9ld %9.1f %10.2f %10.2f %7ld %9ld", name.c_str(), r.n, r.rate, r.p50, r.p99, r.errors, r.conflicts);
        if (alone) {
            auto it = alone->find(name);
            if (it != alone->end() && !it->second.micros.empty()) {
                const Row a = summarize(it->second, aloneSeconds);
                std::printf(" %10.2f %10.1f", a.p50, a.p50 > 0 ? r.p50 / a.p50 : 0.0);
            }
        }
        std::printf("\n");
    }
    std::printf("%-20s %9ld %9.1f %10s %10s %7ld %9ld\n", "all", total, static_cast<double>(total) / seconds, "", "", errors, conflicts);
}

void report(PhaseResult &p, PhaseResult *alone)
{
    std::printf("\n== %s: %d client%s, %.1f s; CPU used: tarvik-server %.1f s, clients %.1f s ==\n", p.name.c_str(), p.clients,
                p.clients == 1 ? "" : "s", p.seconds, p.serverCpu, p.clientCpu);
    if (!p.merged.operations.empty()) {
        printTable("operation", p.merged.operations, p.seconds, alone ? &alone->merged.operations : nullptr, alone ? alone->seconds : 0);
        std::printf("\n");
    }
    printTable("call", p.merged.calls, p.seconds, alone ? &alone->merged.calls : nullptr, alone ? alone->seconds : 0);
    if (p.merged.accepted + p.merged.notAccepted > 0)
        std::printf("orders accepted: %ld, not accepted (nothing selected any more): %ld\n", p.merged.accepted, p.merged.notAccepted);
    if (!p.merged.errorTexts.empty()) {
        std::printf("errors and conflicts by method, class and message (numbers as #):\n");
        for (const auto &[k, n] : p.merged.errorTexts)
            std::printf("  %6ld  %s  %s: %s\n", n, k.name.c_str(), k.className.c_str(), k.message.c_str());
    }
    std::fflush(stdout);
}

long totalCalls(const PhaseResult &p)
{
    long n = 0;
    for (const auto &[k, v] : p.merged.calls)
        n += static_cast<long>(v.micros.size());
    return n;
}

bool parseOptions(int argc, char **argv, Options &o)
{
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if (i + 1 >= argc)
            return false;
        const char *v = argv[++i];
        if (a == "--seconds")
            o.seconds = std::atof(v);
        else if (a == "--clients")
            o.clients = std::atoi(v);
        else if (a == "--alone-seconds")
            o.aloneSeconds = std::atof(v);
        else if (a == "--echo-seconds")
            o.echoSeconds = std::atof(v);
        else if (a == "--stocks")
            o.stocks = std::atoi(v);
        else
            return false;
    }
    return o.seconds > 0 && o.seconds <= 3600 && o.clients >= 1 && o.clients <= 1000 && o.aloneSeconds >= 0
           && o.echoSeconds >= 0 && o.stocks >= 0;
}

} // namespace

int main(int argc, char **argv)
{
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    Options o;
    if (!parseOptions(argc, argv, o)) {
        std::fprintf(stderr, "usage: bench_load [--seconds 30] [--clients 100] [--alone-seconds 10] [--echo-seconds 5] [--stocks N]\n");
        return 2;
    }
    try {
        tarvik::bench::DemoServer server(o.stocks);
        World w;
        w.port = server.port();
        g_serverPid = server.process().processId();
        readWorld(server.databasePath(), w);
        {
            tarvik::TcpConnection c(QStringLiteral("127.0.0.1"), server.port());
            c.open();
            TServerMethods1Client proxy(&c);
            tarvik::TableReader *r = proxy.TeslimVer();
            if (r && r->next())
                w.teslim = r->value(u"SIRANO").toInt();
            r = proxy.KargoVer();
            if (r && r->next())
                w.kargoTuru = r->value(u"SIRANO").toInt();
            r = proxy.KargolarVer(w.kargoTuru);
            if (r && r->next())
                w.kargoFirma = r->value(u"SIRANO").toInt();
        }
        std::printf("tarvik-server on 127.0.0.1:%u: %zu stocks, %zu accounts; order with delivery %d, cargo type %d, company %d\n",
                    unsigned(server.port()), w.stocks.size(), w.accounts.size(), w.teslim, w.kargoTuru, w.kargoFirma);
        std::printf("machine: %u hardware threads\n", std::thread::hardware_concurrency());
        std::fflush(stdout);

        std::unique_ptr<PhaseResult> alone, echo;
        if (o.aloneSeconds > 0) {
            alone = std::make_unique<PhaseResult>(runPhase(w, "alone", 1, o.aloneSeconds, false));
            report(*alone, nullptr);
        }
        if (o.echoSeconds > 0) {
            echo = std::make_unique<PhaseResult>(runPhase(w, "echo", o.clients, o.echoSeconds, true));
            report(*echo, nullptr);
        }
        PhaseResult mixed = runPhase(w, "mixed", o.clients, o.seconds, false);
        report(mixed, alone.get());

        const long calls = totalCalls(mixed);
        std::printf("\nthroughput mixed: %.1f calls/s (%.1f operations/s) with %d clients\n", static_cast<double>(calls) / mixed.seconds,
                    [&] {
                        long n = 0;
                        for (const auto &[k, v] : mixed.merged.operations)
                            n += static_cast<long>(v.micros.size());
                        return static_cast<double>(n) / mixed.seconds;
                    }(),
                    o.clients);
        if (alone && alone->seconds > 0)
            std::printf("ratio throughput mixed/alone: %.2f\n",
                        (static_cast<double>(calls) / mixed.seconds) / (static_cast<double>(totalCalls(*alone)) / alone->seconds));
        if (echo && echo->seconds > 0)
            std::printf("ratio throughput mixed/echo: %.3f\n",
                        (static_cast<double>(calls) / mixed.seconds) / (static_cast<double>(totalCalls(*echo)) / echo->seconds));
        if (server.process().state() != QProcess::Running) {
            std::printf("tarvik-server is gone (exit code %d)\n", server.process().exitCode());
            return 1;
        }
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_load: %s\n", e.what());
        return 1;
    }
    return 0;
}
