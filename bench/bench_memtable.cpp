// The in-memory table against a table of one QVariant per cell, on the stock list of a large search:
// loading 100,000 rows, walking them reading three fields, and the display texts of one grid screen.
// Prints the ratios at the end.

#include "memtable.h"
#include "stock_table.h"

#include <QLocale>
#include <QString>
#include <QVariant>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <string>
#include <vector>

using namespace tarvik;

namespace {

constexpr int kRows = 100000;
constexpr int kScreenRows = 40;
constexpr int kScreenTop = 50000;

const DataTable &stock()
{
    static const DataTable t = bench::makeStockTable(kRows, bench::kStockSeed);
    return t;
}

// The reference: every cell a QVariant, row after row.
struct VariantTable
{
    int columns = 0;
    std::vector<QVariant> cells;
    const QVariant &at(int row, int col) const { return cells[static_cast<std::size_t>(row) * columns + col]; }
};

VariantTable loadVariants(const DataTable &t)
{
    VariantTable v;
    v.columns = t.columnCount();
    v.cells.reserve(static_cast<std::size_t>(t.rowCount()) * static_cast<std::size_t>(v.columns));
    for (int r = 0; r < t.rowCount(); ++r)
        for (int c = 0; c < v.columns; ++c)
            v.cells.push_back(t.value(r, c));
    return v;
}

void BM_Load_VariantPerCell(benchmark::State &state)
{
    const DataTable &t = stock();
    for (auto _ : state) {
        VariantTable v = loadVariants(t);
        benchmark::DoNotOptimize(v.cells.data());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Load_MemTableCopy(benchmark::State &state)
{
    const DataTable &t = stock();
    MemTable m;
    for (auto _ : state) {
        m.copyFrom(t);
        benchmark::DoNotOptimize(m.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Load_MemTableAssignMove(benchmark::State &state)
{
    const DataTable &t = stock();
    MemTable m;
    for (auto _ : state) {
        state.PauseTiming();
        DataTable packet = t; // as it comes off the wire: the caller's own table
        state.ResumeTiming();
        m.assignDataPacket(std::move(packet));
        benchmark::DoNotOptimize(m.recordCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Walk_VariantPerCell(benchmark::State &state)
{
    const VariantTable v = loadVariants(stock());
    const int stokno = stock().indexOf(u"STOK_STOKNO");
    const int adi = stock().indexOf(u"ADI");
    const int fiyat = stock().indexOf(u"FIYAT");
    for (auto _ : state) {
        std::int64_t sum = 0;
        double total = 0;
        for (int r = 0; r < kRows; ++r) {
            sum += v.at(r, stokno).toInt();
            sum += v.at(r, adi).toString().size();
            total += v.at(r, fiyat).toDouble();
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Walk_MemTableByName(benchmark::State &state)
{
    MemTable m;
    m.copyFrom(stock());
    for (auto _ : state) {
        std::int64_t sum = 0;
        double total = 0;
        for (m.first(); !m.eof(); m.next()) {
            sum += m.fieldInt(u"STOK_STOKNO");
            sum += m.fieldText(u"ADI").size();
            total += m.fieldDouble(u"FIYAT");
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Walk_MemTableByIndex(benchmark::State &state)
{
    MemTable m;
    m.copyFrom(stock());
    const int stokno = m.fieldIndex(u"STOK_STOKNO");
    const int adi = m.fieldIndex(u"ADI");
    const int fiyat = m.fieldIndex(u"FIYAT");
    for (auto _ : state) {
        std::int64_t sum = 0;
        double total = 0;
        for (m.first(); !m.eof(); m.next()) {
            sum += m.fieldInt(stokno);
            sum += m.fieldText(adi).size();
            total += m.fieldDouble(fiyat);
        }
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(total);
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

// One grid screen through QLocale, what a QVariant-per-cell model would do.
void BM_Screen_VariantPerCell(benchmark::State &state)
{
    const VariantTable v = loadVariants(stock());
    const QLocale tr(QLocale::Turkish, QLocale::Turkey);
    for (auto _ : state) {
        qsizetype chars = 0;
        for (int r = kScreenTop; r < kScreenTop + kScreenRows; ++r)
            for (int c = 0; c < v.columns; ++c) {
                const QVariant &x = v.at(r, c);
                const QString s = x.typeId() == QMetaType::Double ? tr.toString(x.toDouble(), 'f', 2) : x.toString();
                chars += s.size();
            }
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kScreenRows * v.columns);
}

void BM_Screen_MemTableDisplayText(benchmark::State &state)
{
    MemTable m;
    m.copyFrom(stock());
    SayiBicimiAyarla(m);
    for (auto _ : state) {
        qsizetype chars = 0;
        for (int r = kScreenTop; r < kScreenTop + kScreenRows; ++r)
            for (int c = 0; c < m.columnCount(); ++c)
                chars += m.displayText(r, c).size();
        benchmark::DoNotOptimize(chars);
    }
    state.SetItemsProcessed(state.iterations() * kScreenRows * m.columnCount());
}

// Each load frees the table of the previous one, as a reload does. The moved-in packet is copied outside the
// clock before every iteration, hence the fixed iteration count.
BENCHMARK(BM_Load_VariantPerCell)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Load_MemTableCopy)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Load_MemTableAssignMove)->Unit(benchmark::kMillisecond)->Iterations(20);
BENCHMARK(BM_Walk_VariantPerCell)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Walk_MemTableByName)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Walk_MemTableByIndex)->Unit(benchmark::kMillisecond)->MinTime(0.5);
BENCHMARK(BM_Screen_VariantPerCell)->Unit(benchmark::kMicrosecond)->MinTime(0.3);
BENCHMARK(BM_Screen_MemTableDisplayText)->Unit(benchmark::kMicrosecond)->MinTime(0.3);

// Console output as usual, and the mean CPU time of each benchmark kept for the ratios (the machine is
// shared, so wall time says more about the neighbours than about the code).
class RatioReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run> &runs) override
    {
        ConsoleReporter::ReportRuns(runs);
        for (const Run &run : runs)
            if (run.run_type == Run::RT_Iteration && !run.error_occurred && run.iterations > 0)
                seconds[run.run_name.function_name] =
                    run.cpu_accumulated_time / static_cast<double>(run.iterations);
    }

    std::map<std::string, double> seconds;
};

void printRatio(const RatioReporter &r, const char *what, const char *reference, const char *subject)
{
    const auto a = r.seconds.find(reference);
    const auto b = r.seconds.find(subject);
    if (a == r.seconds.end() || b == r.seconds.end() || b->second <= 0)
        return;
    std::printf("ratio %-38s QVariant %9.3f ms / MemTable %8.3f ms = %6.1fx\n", what, a->second * 1e3,
                b->second * 1e3, a->second / b->second);
}

} // namespace

int main(int argc, char **argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    stock(); // built once, before the clock starts
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    std::printf("\n%d-row stock table, %d columns; CPU time with a QVariant per cell (reference) over CPU time "
                "with the MemTable:\n",
                kRows, stock().columnCount());
    printRatio(reporter, "load (copy from a DataTable)", "BM_Load_VariantPerCell", "BM_Load_MemTableCopy");
    printRatio(reporter, "load (data packet moved in)", "BM_Load_VariantPerCell", "BM_Load_MemTableAssignMove");
    printRatio(reporter, "walk, 3 fields by name", "BM_Walk_VariantPerCell", "BM_Walk_MemTableByName");
    printRatio(reporter, "walk, 3 fields by index", "BM_Walk_VariantPerCell", "BM_Walk_MemTableByIndex");
    printRatio(reporter, "display texts, 40 rows x all columns", "BM_Screen_VariantPerCell",
               "BM_Screen_MemTableDisplayText");
    benchmark::Shutdown();
    return 0;
}
