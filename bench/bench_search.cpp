// The stock search end to end: StokAraGetir of a term that matches 10,000 stocks, through the client proxy
// against the real tarvik-server process on its seeded demo database, compared in the same run with the
// same rows (the same 39 stock-list columns, priced for the same account) fetched with libpq from
// PostgreSQL on loopback.
//
//   tarvik         TServerMethods1Client::StokAraGetir on an open TcpConnection to `tarvik-server --demo`
//                  (SQLite FTS5 trigram search, the pricing, the table on the wire, decoded into a DataTable).
//   libpq          the reference: PQexecParams of the equivalent query on a throw-away PostgreSQL cluster
//                  (pg_trgm GIN indexes over the same folded search keys, the prices computed in SQL),
//                  every cell read from the text result (numbers parsed, text lengths summed).
//   libpq_table    the same, filling the same container the proxy returns (a DataTable of 39 typed columns).
//
// Each case's rows are checked against the tarvik answer once, before timing: the same stocks in the same
// order with the same values. The last lines give the ratio of the medians, tarvik / libpq.
//
//   bench_search [--term TEXT] [--stocks N] [--carino N] [google benchmark options]
//
// Defaults: the term FİLTRE over a demo catalogue of 39,566 stocks, where it matches exactly 10,000.

#include "demo_server.h"
#include "errors.h"
#include "postgres_cluster.h"
#include "search_text.h"
#include "servermethods.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QStringList>

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using tarvik::DataTable;
using tarvik::DbxType;
using tarvik::bench::PgConn;
using tarvik::bench::PgResult;

constexpr int kRepetitions = 5;
constexpr double kMinTimeSeconds = 1.0;
constexpr double kWarmUpSeconds = 0.5;

// The demo catalogue size at which FİLTRE (a stock group word, and part of one brand name) matches exactly
// 10,000 stocks. The demo data comes from a fixed seed, so the count is the same on every machine.
constexpr int kDefaultStocks = 39566;

struct Options
{
    QString term = QStringLiteral("FİLTRE");
    int stocks = kDefaultStocks;
    int carino = 0; // 0: the first demo account with two discount rates
};
Options g_options;

// The stock-list columns in the order StokAraGetir answers them.
struct ColumnInfo
{
    const char *name;
    DbxType type;
};
constexpr ColumnInfo kColumns[] = {
    {"DURUM", DbxType::Int32}, {"OEM1", DbxType::WideString}, {"OEM2", DbxType::WideString}, {"OEM3", DbxType::WideString},
    {"BARKOD", DbxType::WideString}, {"ADI", DbxType::WideString}, {"OEM4", DbxType::WideString},
    {"STOK_STOKNO", DbxType::Int32}, {"FINISHKOD", DbxType::WideString}, {"URETICIKODU", DbxType::WideString},
    {"RESIM", DbxType::Int32}, {"BARKOD_BARKODNO", DbxType::Int32}, {"DIGERADI", DbxType::WideString},
    {"DPKOD", DbxType::WideString}, {"OEMNO", DbxType::WideString}, {"BIRIM", DbxType::WideString},
    {"MARKA", DbxType::WideString}, {"MODEL", DbxType::WideString}, {"ANAGRUP", DbxType::WideString},
    {"OZELKOD", DbxType::WideString}, {"KALAN", DbxType::Double}, {"PKOD", DbxType::WideString},
    {"KDV", DbxType::Double}, {"ALINANSIPARIS", DbxType::Double}, {"VERILENSIPARIS", DbxType::Double},
    {"LISTEFIYAT1", DbxType::Double}, {"KAMPFIYAT", DbxType::Double}, {"FIYAT", DbxType::Double},
    {"Y", DbxType::Int32}, {"K", DbxType::Int32}, {"INDIRIMYAZI", DbxType::WideString},
    {"NETFIYAT", DbxType::Double}, {"KDVDAHIL", DbxType::Double}, {"IND1", DbxType::Double},
    {"IND2", DbxType::Double}, {"IND3", DbxType::Double}, {"IND4", DbxType::Double},
    {"INDIRIM", DbxType::Double}, {"ESKIFIYAT", DbxType::Double},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

// The same rows in PostgreSQL: the stored columns as they are, the account's prices computed as the server
// computes them (campaign price without discounts, else the list price with the rates one after another,
// rounded to cents; VAT-inclusive from the rounded net). $1 the LIKE pattern of the folded term, $2 the
// account's discount text, $3..$6 its rates.
constexpr char kPgQuery[] = R"(
SELECT s.durum, s.oem1, s.oem2, s.oem3, s.barkod, s.adi, s.oem4, s.no, s.finish_kod, s.uretici_kodu, s.resim,
       s.barkod_no, s.diger_adi, s.dpkod, s.oem_no, s.birim, s.marka, s.model, s.ana_grup, s.ozel_kod,
       s.kalan, s.pkod, s.kdv, s.alinan_siparis, s.verilen_siparis, s.liste_fiyat, s.kamp_fiyat, p.fiyat, s.yeni, p.k,
       CASE WHEN p.k = 1 THEN 'Fiyat' ELSE $2::text END,
       n.net, round(n.net * (s.kdv / 100 + 1)::numeric, 2),
       r.r1, r.r2, r.r3, r.r4, r.r1, s.liste_fiyat
  FROM stok s
  CROSS JOIN LATERAL (SELECT CASE WHEN s.kamp_fiyat > 0 THEN 1 ELSE 0 END AS k,
                             CASE WHEN s.kamp_fiyat > 0 THEN s.kamp_fiyat ELSE s.liste_fiyat END AS fiyat) p
  CROSS JOIN LATERAL (SELECT CASE WHEN p.k = 1 THEN 0 ELSE $3::float8 END AS r1,
                             CASE WHEN p.k = 1 THEN 0 ELSE $4::float8 END AS r2,
                             CASE WHEN p.k = 1 THEN 0 ELSE $5::float8 END AS r3,
                             CASE WHEN p.k = 1 THEN 0 ELSE $6::float8 END AS r4) r
  CROSS JOIN LATERAL (SELECT round((p.fiyat * (1 - r.r1 / 100) * (1 - r.r2 / 100) * (1 - r.r3 / 100)
                                    * (1 - r.r4 / 100))::numeric, 2) AS net) n
 WHERE s.kodlar LIKE $1 OR s.adlar LIKE $1
 ORDER BY s.adi, s.no
)";

// The stored stock columns exported from the server's SQLite file, in the order of the PostgreSQL table.
constexpr char kExportColumns[] =
    "s.no, s.durum, s.oem1, s.oem2, s.oem3, s.oem4, s.barkod, s.adi, s.finish_kod, s.uretici_kodu, s.resim, s.barkod_no,"
    " s.diger_adi, s.dpkod, s.oem_no, s.birim, s.marka, s.model, s.ana_grup, s.ozel_kod, s.kalan, s.pkod, s.kdv,"
    " s.alinan_siparis, s.verilen_siparis, s.liste_fiyat, s.kamp_fiyat, s.yeni, a.kodlar, a.adlar";
constexpr char kPgCreate[] = R"(
CREATE EXTENSION IF NOT EXISTS pg_trgm;
CREATE TABLE stok (
  no integer PRIMARY KEY, durum integer NOT NULL, oem1 text NOT NULL, oem2 text NOT NULL, oem3 text NOT NULL,
  oem4 text NOT NULL, barkod text NOT NULL, adi text NOT NULL, finish_kod text NOT NULL, uretici_kodu text NOT NULL,
  resim integer NOT NULL, barkod_no integer NOT NULL, diger_adi text NOT NULL, dpkod text NOT NULL, oem_no text NOT NULL,
  birim text NOT NULL, marka text NOT NULL, model text NOT NULL, ana_grup text NOT NULL, ozel_kod text NOT NULL,
  kalan float8 NOT NULL, pkod text NOT NULL, kdv float8 NOT NULL, alinan_siparis float8 NOT NULL,
  verilen_siparis float8 NOT NULL, liste_fiyat float8 NOT NULL, kamp_fiyat float8 NOT NULL, yeni integer NOT NULL,
  kodlar text NOT NULL, adlar text NOT NULL);
)";
constexpr char kPgIndex[] = R"(
CREATE INDEX stok_kodlar_trgm ON stok USING gin (kodlar gin_trgm_ops);
CREATE INDEX stok_adlar_trgm ON stok USING gin (adlar gin_trgm_ops);
CREATE INDEX stok_adi ON stok (adi, no);
)";

// ---- the shared set-up ------------------------------------------------------------------------------------

struct Account
{
    int carino = 0;
    double rates[4] = {0, 0, 0, 0};
    QString discountText;
};

struct Setup
{
    std::unique_ptr<tarvik::bench::DemoServer> server;
    std::unique_ptr<tarvik::TcpConnection> connection;
    std::unique_ptr<TServerMethods1Client> proxy;
    Account account;
    DataTable expected; // the tarvik answer, taken once before timing
    QString pgSkipReason;
    std::unique_ptr<tarvik::bench::PostgresCluster> cluster;
    PgConn pg;
    std::string pattern; // the LIKE pattern, from the same folding the server applies to the term
    std::string rateText[4];
    std::string discountText;
    QString plan;
};
std::unique_ptr<Setup> g_setup;

QString rateText(double r)
{
    return r == std::floor(r) ? QString::number(static_cast<qint64>(r)) : QString::number(r, 'f', 1).replace(u'.', u',');
}

Account pickAccount(QSqlDatabase &db, int wanted)
{
    QSqlQuery q(db);
    const QString sql = wanted ? QStringLiteral("SELECT no, isk1, isk2, isk3, isk4 FROM cari WHERE no = %1").arg(wanted)
                               : QStringLiteral("SELECT no, isk1, isk2, isk3, isk4 FROM cari WHERE isk1 > 0 AND isk2 > 0 ORDER BY no LIMIT 1");
    if (!q.exec(sql) || !q.next())
        throw std::runtime_error("no such demo account");
    Account a;
    a.carino = q.value(0).toInt();
    QStringList shown;
    for (int i = 0; i < 4; ++i) {
        a.rates[i] = q.value(1 + i).toDouble();
        if (a.rates[i] > 0)
            shown << rateText(a.rates[i]);
    }
    a.discountText = shown.isEmpty() ? QStringLiteral("0") : shown.join(u'+');
    return a;
}

// Text format of COPY: backslash, tab, newline and carriage return escaped.
void appendCopyText(std::string &out, const QByteArray &utf8)
{
    for (char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

// Copies the stock rows with their search keys from the server's SQLite file into PostgreSQL.
int loadStocks(QSqlDatabase &db, PGconn *pg)
{
    tarvik::bench::pgExec(pg, kPgCreate);
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT %1 FROM stok s JOIN stok_ara a ON a.rowid = s.no ORDER BY s.no")
                    .arg(QLatin1String(kExportColumns))))
        throw std::runtime_error("export: " + q.lastError().text().toStdString());
    {
        PgResult r(PQexec(pg, "COPY stok FROM STDIN"));
        if (PQresultStatus(r.get()) != PGRES_COPY_IN)
            throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(pg));
    }
    int rows = 0;
    std::string buffer;
    const int fields = q.record().count();
    while (q.next()) {
        for (int f = 0; f < fields; ++f) {
            if (f)
                buffer += '\t';
            const QVariant v = q.value(f);
            if (v.isNull())
                buffer += "\\N";
            else if (v.typeId() == QMetaType::Double)
                buffer += QByteArray::number(v.toDouble(), 'g', 17).toStdString();
            else
                appendCopyText(buffer, v.toString().toUtf8());
        }
        buffer += '\n';
        ++rows;
        if (buffer.size() > (1 << 20)) {
            if (PQputCopyData(pg, buffer.data(), static_cast<int>(buffer.size())) != 1)
                throw std::runtime_error(std::string("COPY data: ") + PQerrorMessage(pg));
            buffer.clear();
        }
    }
    if (!buffer.empty() && PQputCopyData(pg, buffer.data(), static_cast<int>(buffer.size())) != 1)
        throw std::runtime_error(std::string("COPY data: ") + PQerrorMessage(pg));
    if (PQputCopyEnd(pg, nullptr) != 1)
        throw std::runtime_error(std::string("COPY end: ") + PQerrorMessage(pg));
    for (PgResult r(PQgetResult(pg)); r; r.reset(PQgetResult(pg)))
        if (PQresultStatus(r.get()) != PGRES_COMMAND_OK)
            throw std::runtime_error(std::string("COPY: ") + PQerrorMessage(pg));
    tarvik::bench::pgExec(pg, kPgIndex);
    tarvik::bench::pgExec(pg, "VACUUM ANALYZE stok");
    return rows;
}

PgResult runPgQuery(Setup &s)
{
    const char *values[6] = {s.pattern.c_str(), s.discountText.c_str(), s.rateText[0].c_str(), s.rateText[1].c_str(),
                             s.rateText[2].c_str(), s.rateText[3].c_str()};
    PgResult r(PQexecParams(s.pg.get(), kPgQuery, 6, nullptr, values, nullptr, nullptr, 0));
    if (PQresultStatus(r.get()) != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string("query: ") + PQerrorMessage(s.pg.get()));
    return r;
}

double parseDouble(const char *p, int n)
{
    double v = 0;
    std::from_chars(p, p + n, v);
    return v;
}

std::int64_t parseInteger(const char *p, int n)
{
    std::int64_t v = 0;
    std::from_chars(p, p + n, v);
    return v;
}

// The result into the same typed table the proxy hands out.
DataTable toTable(const PGresult *r)
{
    DataTable t;
    for (const ColumnInfo &c : kColumns)
        t.addColumn(QString::fromLatin1(c.name), c.type);
    const int rows = PQntuples(r);
    t.reserveRows(rows);
    for (int c = 0; c < kColumnCount; ++c) {
        const DbxType type = kColumns[c].type;
        for (int row = 0; row < rows; ++row) {
            if (PQgetisnull(r, row, c)) {
                t.appendNull(c);
                continue;
            }
            const char *v = PQgetvalue(r, row, c);
            const int n = PQgetlength(r, row, c);
            if (type == DbxType::WideString)
                t.appendUtf8(c, v, static_cast<std::size_t>(n));
            else if (type == DbxType::Double)
                t.appendReal(c, parseDouble(v, n));
            else
                t.appendInteger(c, parseInteger(v, n));
        }
    }
    t.setRowCount(rows);
    return t;
}

// Compares two stock lists cell by cell (prices to the cent); returns a description of the first
// differences, empty when equal.
QString differences(const DataTable &a, const DataTable &b)
{
    if (a.rowCount() != b.rowCount() || a.columnCount() != b.columnCount())
        return QStringLiteral("%1x%2 against %3x%4").arg(a.rowCount()).arg(a.columnCount()).arg(b.rowCount()).arg(b.columnCount());
    QStringList out;
    int count = 0;
    for (int c = 0; c < a.columnCount(); ++c) {
        for (int row = 0; row < a.rowCount(); ++row) {
            bool same = true;
            switch (kColumns[c].type) {
            case DbxType::WideString: same = a.text(row, c) == b.text(row, c); break;
            case DbxType::Double: same = std::abs(a.real(row, c) - b.real(row, c)) < 0.0005; break;
            default: same = a.integer(row, c) == b.integer(row, c); break;
            }
            if (!same && ++count <= 5)
                out << QStringLiteral("row %1 %2: %3 / %4").arg(row).arg(a.column(c).name,
                                                                        a.value(row, c).toString(), b.value(row, c).toString());
        }
    }
    if (count)
        out << QStringLiteral("%1 cells differ").arg(count);
    return out.join(QLatin1String("; "));
}

void setUp()
{
    auto s = std::make_unique<Setup>();
    std::printf("starting tarvik-server --demo --demo-stocks %d ...\n", g_options.stocks);
    std::fflush(stdout);
    s->server = std::make_unique<tarvik::bench::DemoServer>(g_options.stocks);

    // The server's own file, read-only, for the account's rates and the rows PostgreSQL gets.
    const QString connectionName = QStringLiteral("bench-export");
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(s->server->databasePath());
        db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (!db.open())
            throw std::runtime_error("cannot open the demo database: " + db.lastError().text().toStdString());
        s->account = pickAccount(db, g_options.carino);

        s->connection = std::make_unique<tarvik::TcpConnection>(QStringLiteral("127.0.0.1"), s->server->port());
        s->connection->open();
        s->proxy = std::make_unique<TServerMethods1Client>(s->connection.get());
        s->expected = s->proxy->StokAraGetir(g_options.term, tarvik::bench::identityFor(s->account.carino));
        if (s->expected.columnCount() < kColumnCount)
            throw std::runtime_error("StokAraGetir answered too few columns");
        std::printf("term %s over %d demo stocks: %d stocks found; account %d (discount %s)\n", qPrintable(g_options.term),
                    g_options.stocks, s->expected.rowCount(), s->account.carino, qPrintable(s->account.discountText));

        const QString binDir = tarvik::bench::PostgresCluster::findBinDir();
        if (binDir.isEmpty()) {
            s->pgSkipReason = QStringLiteral("PostgreSQL's server programs (initdb, pg_ctl) are not installed "
                                             "(Debian: apt-get install postgresql); the libpq reference is skipped");
        } else {
            s->cluster = std::make_unique<tarvik::bench::PostgresCluster>(binDir);
            s->pg = tarvik::bench::pgConnect(s->cluster->connectionString());
            const int loaded = loadStocks(db, s->pg.get());
            std::printf("%s on 127.0.0.1:%u: %d stocks loaded\n", qPrintable(s->cluster->version()),
                        unsigned(s->cluster->port()), loaded);
        }
    }
    QSqlDatabase::removeDatabase(connectionName);

    if (s->pg) {
        s->pattern = QString(QLatin1Char('%') + tarvik::server::codeKey(g_options.term) + QLatin1Char('%')).toStdString();
        for (int i = 0; i < 4; ++i)
            s->rateText[i] = QByteArray::number(s->account.rates[i], 'g', 17).toStdString();
        s->discountText = s->account.discountText.toStdString();
        PgResult r = runPgQuery(*s);
        const DataTable pgTable = toTable(r.get());
        const QString diff = differences(s->expected, pgTable);
        if (!diff.isEmpty())
            throw std::runtime_error("PostgreSQL answers other rows than tarvik-server: " + diff.toStdString());
        std::printf("PostgreSQL answers the same %d rows x %d columns\n", pgTable.rowCount(), kColumnCount);
        // The plan, for the record.
        const std::string explain = std::string("EXPLAIN ") + kPgQuery;
        const char *values[6] = {s->pattern.c_str(), s->discountText.c_str(), s->rateText[0].c_str(),
                                 s->rateText[1].c_str(), s->rateText[2].c_str(), s->rateText[3].c_str()};
        PgResult plan(PQexecParams(s->pg.get(), explain.c_str(), 6, nullptr, values, nullptr, nullptr, 0));
        if (PQresultStatus(plan.get()) == PGRES_TUPLES_OK)
            for (int i = 0; i < PQntuples(plan.get()); ++i)
                s->plan += QString::fromUtf8(PQgetvalue(plan.get(), i, 0)) + QLatin1Char('\n');
        std::printf("PostgreSQL plan:\n%s", qPrintable(s->plan));
    } else {
        std::printf("SKIP libpq reference: %s\n", qPrintable(s->pgSkipReason));
    }
    std::fflush(stdout);
    g_setup = std::move(s);
}

Setup &setup()
{
    if (!g_setup)
        setUp();
    return *g_setup;
}

template<class Body>
void guarded(benchmark::State &state, Body body)
{
    try {
        body();
    } catch (const tarvik::RemoteError &e) {
        state.SkipWithError(qPrintable(e.className() + QStringLiteral(": ") + e.message()));
    } catch (const std::exception &e) {
        state.SkipWithError(e.what());
    }
}

void setCounters(benchmark::State &state, int rows)
{
    state.counters["rows"] = rows;
    state.counters["rows_per_second"] = benchmark::Counter(static_cast<double>(rows) * static_cast<double>(state.iterations()),
                                                           benchmark::Counter::kIsRate);
}

void BM_tarvik(benchmark::State &state)
{
    int rows = 0;
    guarded(state, [&] {
        Setup &s = setup();
        for (auto _ : state) {
            DataTable t = s.proxy->StokAraGetir(g_options.term, tarvik::bench::identityFor(s.account.carino));
            if (t.rowCount() != s.expected.rowCount()) {
                state.SkipWithError("the row count changed");
                break;
            }
            rows = t.rowCount();
            benchmark::DoNotOptimize(t);
        }
    });
    setCounters(state, rows);
}

void BM_libpq(benchmark::State &state)
{
    int rows = 0;
    guarded(state, [&] {
        Setup &s = setup();
        if (!s.pg) {
            state.SkipWithError(qPrintable(s.pgSkipReason));
            return;
        }
        for (auto _ : state) {
            PgResult r = runPgQuery(s);
            rows = PQntuples(r.get());
            // Every cell read: numbers parsed, text measured (it stays in libpq's buffer as UTF-8).
            double sum = 0;
            std::int64_t textBytes = 0;
            for (int c = 0; c < kColumnCount; ++c) {
                const DbxType type = kColumns[c].type;
                for (int row = 0; row < rows; ++row) {
                    const char *v = PQgetvalue(r.get(), row, c);
                    const int n = PQgetlength(r.get(), row, c);
                    if (type == DbxType::WideString)
                        textBytes += n;
                    else if (type == DbxType::Double)
                        sum += parseDouble(v, n);
                    else
                        sum += static_cast<double>(parseInteger(v, n));
                }
            }
            if (rows != s.expected.rowCount()) {
                state.SkipWithError("the row count changed");
                break;
            }
            benchmark::DoNotOptimize(sum);
            benchmark::DoNotOptimize(textBytes);
        }
    });
    setCounters(state, rows);
}

void BM_libpq_table(benchmark::State &state)
{
    int rows = 0;
    guarded(state, [&] {
        Setup &s = setup();
        if (!s.pg) {
            state.SkipWithError(qPrintable(s.pgSkipReason));
            return;
        }
        for (auto _ : state) {
            PgResult r = runPgQuery(s);
            DataTable t = toTable(r.get());
            rows = t.rowCount();
            if (rows != s.expected.rowCount()) {
                state.SkipWithError("the row count changed");
                break;
            }
            benchmark::DoNotOptimize(t);
        }
    });
    setCounters(state, rows);
}

BENCHMARK(BM_libpq)->Name("libpq")->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->MinTime(kMinTimeSeconds)->MinWarmUpTime(kWarmUpSeconds);
BENCHMARK(BM_libpq_table)->Name("libpq_table")->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->MinTime(kMinTimeSeconds)->MinWarmUpTime(kWarmUpSeconds);
BENCHMARK(BM_tarvik)->Name("tarvik")->UseRealTime()->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)->MinTime(kMinTimeSeconds)->MinWarmUpTime(kWarmUpSeconds);

// The console reporter, keeping the wall-time median of each case for the closing ratios.
class RatioReporter final : public benchmark::ConsoleReporter
{
public:
    using ConsoleReporter::ConsoleReporter;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (!run.error_occurred && run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[run.run_name.function_name] = run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit);
    }

    double median(const std::string &name) const
    {
        auto it = medians_.find(name);
        return it == medians_.end() ? 0 : it->second;
    }

private:
    std::map<std::string, double> medians_;
};

// Takes this program's own options out of argv before Google Benchmark reads the rest.
bool parseOptions(int &argc, char **argv)
{
    int out = 1;
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        if ((a == "--term" || a == "--stocks" || a == "--carino") && i + 1 < argc) {
            const char *v = argv[++i];
            if (a == "--term")
                g_options.term = QString::fromUtf8(v);
            else if (a == "--stocks")
                g_options.stocks = std::atoi(v);
            else
                g_options.carino = std::atoi(v);
        } else if (a == "--help") {
            std::printf("bench_search [--term TEXT] [--stocks N] [--carino N] [benchmark options]\n"
                        "  defaults: --term FİLTRE --stocks %d (FİLTRE then matches exactly 10,000 stocks)\n",
                        kDefaultStocks);
            argv[out++] = argv[i];
        } else {
            argv[out++] = argv[i];
        }
    }
    argc = out;
    return g_options.stocks > 0;
}

} // namespace

int main(int argc, char **argv)
{
    int qtArgc = 1;
    QCoreApplication app(qtArgc, argv);
    if (!parseOptions(argc, argv)) {
        std::fprintf(stderr, "bench_search: --stocks needs a positive number\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;

    int status = 0;
    RatioReporter reporter(isatty(STDOUT_FILENO) ? benchmark::ConsoleReporter::OO_ColorTabular
                                                 : benchmark::ConsoleReporter::OO_Tabular);
    try {
        setup();
        benchmark::RunSpecifiedBenchmarks(&reporter);
    } catch (const std::exception &e) {
        std::fprintf(stderr, "bench_search: %s\n", e.what());
        status = 1;
    }
    const bool skipped = g_setup && !g_setup->pg;
    const QString skipReason = g_setup ? g_setup->pgSkipReason : QString();
    g_setup.reset();
    benchmark::Shutdown();

    const double tarvikMedian = reporter.median("tarvik");
    const double pqMedian = reporter.median("libpq");
    const double pqTableMedian = reporter.median("libpq_table");
    if (tarvikMedian > 0)
        std::printf("median tarvik: %.2f ms\n", tarvikMedian * 1e3);
    if (skipped)
        std::printf("SKIP ratio tarvik/libpq: %s\n", qPrintable(skipReason));
    if (tarvikMedian > 0 && pqTableMedian > 0)
        std::printf("median libpq_table: %.2f ms; ratio tarvik/libpq_table: %.2f\n", pqTableMedian * 1e3,
                    tarvikMedian / pqTableMedian);
    if (tarvikMedian > 0 && pqMedian > 0)
        std::printf("median libpq: %.2f ms\nratio tarvik/libpq: %.2f\n", pqMedian * 1e3, tarvikMedian / pqMedian);
    return status;
}
