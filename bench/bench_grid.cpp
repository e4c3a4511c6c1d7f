// The data grid over a 100,000-row stock table: loading the table into a shown grid with its first
// paint, sorting by a text column and by a number column, filtering, and scrolling to the end.
// Runs on the offscreen platform.

#include "datagrid.h"
#include "memtable.h"
#include "stock_table.h"

#include <QApplication>
#include <QHeaderView>
#include <QPixmap>
#include <QScrollBar>
#include <QTreeView>

#include <benchmark/benchmark.h>

using namespace tarvik;

namespace {

constexpr int kRows = 100000;

const DataTable &stockTable()
{
    static const DataTable t = bench::makeStockTable(kRows);
    return t;
}

struct Grid
{
    MemTable table{QStringLiteral("stok")};
    DataGrid grid;
    Grid()
    {
        grid.setTable(&table);
        for (const char *f : {"DURUM", "BARKOD", "ADI", "MARKA", "MODEL", "OZELKOD", "INDIRIMYAZI", "LISTEFIYAT1",
                              "NETFIYAT", "KDVDAHIL"})
            grid.addColumn({.field = QString::fromLatin1(f), .width = 110});
        grid.setRowHeight(60);
        grid.setFooterSummaries({{SummaryKind::Count, QStringLiteral("BARKOD")}});
        grid.resize(1280, 800);
        grid.show();
    }
};

// The table filled (a model reset) and the grid painted once.
void load_and_first_paint(benchmark::State &state)
{
    Grid g;
    for (auto _ : state) {
        g.table.copyFrom(stockTable());
        SayiBicimiAyarla(g.table);
        const QPixmap shot = g.grid.grab();
        benchmark::DoNotOptimize(shot.cacheKey());
    }
    state.counters["rows"] = static_cast<double>(g.grid.rowsInOrder().size());
}

void sort_text_column(benchmark::State &state)
{
    Grid g;
    g.table.copyFrom(stockTable());
    bool up = true;
    for (auto _ : state) {
        g.grid.sortBy(QStringLiteral("ADI"), up ? Qt::AscendingOrder : Qt::DescendingOrder);
        up = !up;
        benchmark::DoNotOptimize(g.grid.grab().cacheKey());
    }
}

void sort_number_column(benchmark::State &state)
{
    Grid g;
    g.table.copyFrom(stockTable());
    bool up = true;
    for (auto _ : state) {
        g.grid.sortBy(QStringLiteral("NETFIYAT"), up ? Qt::AscendingOrder : Qt::DescendingOrder);
        up = !up;
        benchmark::DoNotOptimize(g.grid.grab().cacheKey());
    }
}

void filter_and_clear(benchmark::State &state)
{
    Grid g;
    g.table.copyFrom(stockTable());
    const QString brand = g.grid.sourceText(0, QStringLiteral("MARKA"));
    for (auto _ : state) {
        g.grid.setFilter(QStringLiteral("MARKA"), {ColumnFilter::Equals, brand});
        g.grid.clearFilters();
    }
}

void scroll_to_end_and_paint(benchmark::State &state)
{
    Grid g;
    g.table.copyFrom(stockTable());
    QScrollBar *bar = g.grid.view()->verticalScrollBar();
    bool end = true;
    for (auto _ : state) {
        bar->setValue(end ? bar->maximum() : 0);
        end = !end;
        benchmark::DoNotOptimize(g.grid.grab().cacheKey());
    }
}

} // namespace

BENCHMARK(load_and_first_paint)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK(sort_text_column)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(sort_number_column)->Unit(benchmark::kMillisecond)->Iterations(6);
BENCHMARK(filter_and_clear)->Unit(benchmark::kMillisecond)->Iterations(4);
BENCHMARK(scroll_to_end_and_paint)->Unit(benchmark::kMillisecond)->Iterations(10);

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
