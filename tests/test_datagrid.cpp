// The data grid: its model under QAbstractItemModelTester, the column menu, widths, footer and group
// summaries, filters and the focused row, value lists, custom-drawn and picture cells, detaching and
// update brackets, incremental search, double click.

#include "datagrid.h"
#include "grid_test_support.h"

#include <QAbstractItemModelTester>
#include <QApplication>
#include <QHeaderView>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QTreeView>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace Qt::Literals::StringLiterals;

namespace {

// A grid over the orders as a window would describe it.
struct OrdersGrid
{
    MemTable table{u"sepet"_s};
    DataGrid grid;

    OrdersGrid()
    {
        gridtest::fillOrders(table);
        grid.setTable(&table);
        grid.addColumn({.field = u"SEC"_s, .caption = u"Seç"_s, .fixed = true, .kind = CellKind::CheckBox});
        grid.addColumn({.field = u"SIRANO"_s, .show = Show::Hidden, .weight = 0});
        grid.addColumn({.field = u"SATICIADI"_s, .caption = u"Satıcı"_s, .weight = 2});
        grid.addColumn({.field = u"BARKOD"_s, .caption = u"Barkod"_s, .weight = 2});
        grid.addColumn({.field = u"ADI"_s, .caption = u"Açıklama"_s, .weight = 3});
        grid.addColumn({.field = u"MARKA"_s, .caption = u"Marka"_s, .show = Show::No, .weight = 2});
        grid.addColumn({.field = u"MIKTAR"_s, .caption = u"Miktar"_s});
        grid.addColumn({.field = u"TUTAR"_s, .caption = u"Tutar"_s});
        grid.addColumn({.field = u"TARIH"_s, .caption = u"Tarih"_s, .show = Show::No});
        grid.addColumn({.field = u"DURUM"_s, .caption = u"Durum"_s, .kind = CellKind::Icons,
                        .icons = gridtest::statusIcons(), .alignment = Qt::AlignCenter});
        grid.resize(1030, 400);
    }

    QStringList column(const QString &field) const
    {
        QStringList out;
        for (int r : grid.rowsInOrder())
            out.append(grid.sourceText(r, field));
        return out;
    }
};

QStringList actionTexts(QMenu *menu)
{
    QStringList out;
    for (QAction *a : menu->actions())
        if (!a->isSeparator())
            out.append(a->text());
    return out;
}

QAction *actionNamed(QMenu *menu, const QString &text)
{
    for (QAction *a : menu->actions())
        if (a->text() == text)
            return a;
    return nullptr;
}

} // namespace

TEST(GridModel, PassesTheModelTesterThroughEveryShape)
{
    OrdersGrid g;
    QAbstractItemModelTester tester(g.grid.model(), QAbstractItemModelTester::FailureReportingMode::Fatal);
    g.grid.sortBy(u"TUTAR"_s, Qt::DescendingOrder);
    g.grid.setFilter(u"MARKA"_s, {ColumnFilter::Equals, u"BOSCH"_s});
    g.grid.groupBy({u"SATICIADI"_s});
    g.grid.setGroupSummaries({{SummaryKind::Sum, u"TUTAR"_s}, {SummaryKind::Count, {}, u"ADI"_s}});
    g.grid.groupBy({u"SATICIADI"_s, u"MARKA"_s});
    g.table.appendRecord({9, u"ZEYNEP"_s, u"8690009"_s, u"TEST"_s, u"BOSCH"_s, 1.0, 10.0, QDate(2024, 3, 9), 1, 0});
    g.table.first();
    g.table.edit();
    g.table.setField(u"TUTAR"_s, 1.0);
    g.table.post();
    g.table.last();
    g.table.deleteRow();
    g.grid.detach();
    g.grid.attach();
    g.grid.clearFilters();
    g.grid.groupBy({});
    g.table.close();
    EXPECT_EQ(g.grid.model()->rowCount(), 0);
}

TEST(DataGrid, ColumnMenuOffersExactlyTheOfferedColumns)
{
    OrdersGrid g;
    std::unique_ptr<QMenu> menu(g.grid.createColumnMenu());
    // SEC is shown but fixed, SIRANO hidden and not offered; the rest are offered, checked when shown.
    EXPECT_EQ(actionTexts(menu.get()),
              (QStringList{u"Satıcı"_s, u"Barkod"_s, u"Açıklama"_s, u"Marka"_s, u"Miktar"_s, u"Tutar"_s, u"Tarih"_s,
                           u"Durum"_s}));
    QStringList checked;
    for (QAction *a : menu->actions())
        if (a->isChecked())
            checked.append(a->text());
    EXPECT_EQ(checked, (QStringList{u"Satıcı"_s, u"Barkod"_s, u"Açıklama"_s, u"Miktar"_s, u"Tutar"_s, u"Durum"_s}));

    // Choosing an entry shows or hides its column.
    actionNamed(menu.get(), u"Marka"_s)->trigger();
    EXPECT_TRUE(g.grid.isColumnVisible(u"MARKA"_s));
    EXPECT_FALSE(g.grid.view()->isColumnHidden(g.grid.columnIndex(u"MARKA"_s)));
    actionNamed(menu.get(), u"Barkod"_s)->trigger();
    EXPECT_TRUE(g.grid.view()->isColumnHidden(g.grid.columnIndex(u"BARKOD"_s)));

    // A window withdraws one column and offers another (the user-type rules).
    g.grid.setColumnOffered(u"DURUM"_s, false);
    g.grid.setColumnVisible(u"DURUM"_s, false);
    g.grid.setColumnOffered(u"SIRANO"_s, true);
    menu.reset(g.grid.createColumnMenu());
    const QStringList now = actionTexts(menu.get());
    EXPECT_FALSE(now.contains(u"Durum"_s));
    EXPECT_TRUE(now.contains(u"SIRANO"_s)); // no caption: the field name

    // The header menu carries the column menu as its submenu.
    std::unique_ptr<QMenu> header(g.grid.createHeaderMenu(g.grid.columnIndex(u"ADI"_s)));
    QMenu *sub = nullptr;
    for (QAction *a : header->actions())
        if (a->menu())
            sub = a->menu();
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(actionTexts(sub), now);
}

TEST(DataGrid, WeightRuleAndScreenThreshold)
{
    OrdersGrid g;
    // Visible: SEC 1, SATICIADI 2, BARKOD 2, ADI 3, MIKTAR 1, TUTAR 1, DURUM 1 = 11; (1030 - 30) / 11 = 90.
    struct Case
    {
        int screenWidth;
        bool weights;
    };
    for (const Case c : {Case{1152, false}, Case{1153, true}, Case{1920, true}, Case{1024, false}}) {
        SCOPED_TRACE(c.screenWidth);
        for (int i = 0; i < g.grid.columnCount(); ++i)
            g.grid.view()->header()->resizeSection(i, 33);
        KolonGenislikAyarla(g.grid, c.screenWidth);
        const int adi = g.grid.columnWidth(u"ADI"_s), sec = g.grid.columnWidth(u"SEC"_s);
        if (c.weights) {
            EXPECT_EQ(adi, 270);
            EXPECT_EQ(sec, 90);
            EXPECT_EQ(g.grid.columnWidth(u"BARKOD"_s), 180);
            g.grid.setColumnVisible(u"MARKA"_s, true); // hidden columns keep their width
            EXPECT_EQ(g.grid.columnWidth(u"MARKA"_s), 33);
            g.grid.setColumnVisible(u"MARKA"_s, false);
        } else {
            // Best fit: the description column is as wide as its longest text, not 3 units.
            const int longest = g.grid.view()->fontMetrics().horizontalAdvance(u"FREN BALATASI ÖN"_s);
            EXPECT_GE(adi, longest);
            EXPECT_NE(adi, 270);
        }
    }
    // Nothing is resized when the visible weights sum to 0.
    for (const QString &f : {u"SEC"_s, u"SATICIADI"_s, u"BARKOD"_s, u"ADI"_s, u"MIKTAR"_s, u"TUTAR"_s, u"DURUM"_s})
        g.grid.setColumnVisible(f, false);
    g.grid.setColumnVisible(u"SIRANO"_s, true);
    g.grid.setColumnWidth(u"SIRANO"_s, 77);
    EXPECT_FALSE(g.grid.applyWeights());
    EXPECT_EQ(g.grid.columnWidth(u"SIRANO"_s), 77);
}

TEST(DataGrid, FooterSumsAndCountsFollowTheFilter)
{
    OrdersGrid g;
    g.grid.setFooterSummaries({
        {SummaryKind::Count, u"ADI"_s},
        {SummaryKind::Sum, u"MIKTAR"_s},
        {SummaryKind::Sum, u"TUTAR"_s},
        {SummaryKind::Count, {}, u"TARIH"_s},
    });
    EXPECT_EQ(g.grid.footerText(u"ADI"_s), u"8"_s);
    EXPECT_EQ(g.grid.footerText(u"MIKTAR"_s), u"29,00"_s);     // the column's mask "#,###,##0.00"
    EXPECT_EQ(g.grid.footerText(u"TUTAR"_s), u"14.349,90"_s);  // the null amount counts as 0
    EXPECT_EQ(g.grid.footerText(u"TARIH"_s), u"8"_s);
    EXPECT_EQ(g.grid.footerText(u"BARKOD"_s), QString());

    g.grid.setFilter(u"MARKA"_s, {ColumnFilter::Equals, u"MANN"_s});
    EXPECT_EQ(g.grid.footerText(u"ADI"_s), u"3"_s);
    EXPECT_EQ(g.grid.footerText(u"TUTAR"_s), u"339,00"_s);

    // A posted edit reaches the footer.
    g.table.locate(u"SIRANO"_s, 2);
    g.table.edit();
    g.table.setField(u"TUTAR"_s, 100.0);
    g.table.post();
    EXPECT_EQ(g.grid.footerText(u"TUTAR"_s), u"340,75"_s);
    g.grid.clearFilters();
    EXPECT_EQ(g.grid.footerText(u"ADI"_s), u"8"_s);
}

TEST(DataGrid, GroupingWithGroupFootersAndCollapse)
{
    OrdersGrid g;
    g.grid.setGroupBoxVisible(true);
    g.grid.setGroupSummaries({{SummaryKind::Sum, u"TUTAR"_s}, {SummaryKind::Count, {}, u"ADI"_s}});
    g.grid.groupBy({u"SATICIADI"_s});
    GridModel *m = g.grid.model();
    // Groups in Turkish order (A, Ç, Z), each followed by its footer.
    ASSERT_EQ(m->rowCount(), 6);
    const QStringList expected = {u"Satıcı: AHMET"_s, {}, u"Satıcı: ÇAĞLA"_s, {}, u"Satıcı: ZEYNEP"_s, {}};
    const int tutar = g.grid.columnIndex(u"TUTAR"_s), adi = g.grid.columnIndex(u"ADI"_s);
    const QStringList sums = {u"6.448,75"_s, u"240,75"_s, u"7.660,40"_s};
    const QStringList counts = {u"3"_s, u"2"_s, u"3"_s};
    for (int i = 0; i < 3; ++i) {
        const QModelIndex group = m->index(2 * i, 0), footer = m->index(2 * i + 1, 0);
        EXPECT_EQ(m->rowKind(group), GridModel::RowKind::Group);
        EXPECT_EQ(group.data().toString(), expected[2 * i]);
        EXPECT_EQ(m->rowKind(footer), GridModel::RowKind::Footer);
        EXPECT_EQ(m->index(2 * i + 1, tutar).data().toString(), sums[i]);
        EXPECT_EQ(m->index(2 * i + 1, adi).data().toString(), counts[i]);
        EXPECT_EQ(m->rowCount(group), counts[i].toInt());
    }
    EXPECT_EQ(g.column(u"SATICIADI"_s),
              (QStringList{u"AHMET"_s, u"AHMET"_s, u"AHMET"_s, u"ÇAĞLA"_s, u"ÇAĞLA"_s, u"ZEYNEP"_s, u"ZEYNEP"_s,
                           u"ZEYNEP"_s}));

    // Collapsed, the view shows one line per representative and its footer.
    g.grid.show();
    g.grid.collapseAll();
    QStringList lines;
    for (QModelIndex i = m->index(0, 0); i.isValid(); i = g.grid.view()->indexBelow(i))
        lines.append(i.data(GridModel::RowKindRole).toInt() == int(GridModel::RowKind::Group) ? i.data().toString()
                                                                                             : u"footer"_s);
    EXPECT_EQ(lines, (QStringList{u"Satıcı: AHMET"_s, u"footer"_s, u"Satıcı: ÇAĞLA"_s, u"footer"_s,
                                  u"Satıcı: ZEYNEP"_s, u"footer"_s}));
    // The collapsed state survives a reload of the table.
    g.table.locate(u"SIRANO"_s, 1);
    g.table.edit();
    g.table.setField(u"SATICIADI"_s, u"ZEYNEP"_s);
    g.table.post();
    EXPECT_FALSE(g.grid.view()->isExpanded(m->index(0, 0)));
    EXPECT_EQ(m->index(5, tutar).data().toString(), u"8.910,90"_s);
    g.grid.expandAll();
    EXPECT_TRUE(g.grid.view()->isExpanded(m->index(0, 0)));
    // Two levels.
    g.grid.groupBy({u"MARKA"_s, u"SATICIADI"_s});
    EXPECT_EQ(g.grid.groupedFields(), (QStringList{u"MARKA"_s, u"SATICIADI"_s}));
    ASSERT_EQ(m->rowCount(), 4);
    EXPECT_EQ(m->rowCount(m->index(0, 0)), 4); // BOSCH: AHMET, ZEYNEP (+ footers)
}

TEST(DataGrid, FilterSortAndFocusedRowValues)
{
    OrdersGrid g;
    QSignalSpy focused(&g.grid, &DataGrid::focusedRecordChanged);
    g.grid.show();
    // A loaded table focuses its first row.
    EXPECT_EQ(g.grid.focusedRowIndex(), 0);
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 1);

    const int marka = g.grid.columnIndex(u"MARKA"_s);
    std::unique_ptr<QMenu> filter(g.grid.createFilterMenu(marka));
    EXPECT_EQ(actionTexts(filter.get()), (QStringList{u"(Tümü)"_s, u"(Boş)"_s, u"(Boş Değil)"_s, u"BOSCH"_s, u"MANN"_s}));
    actionNamed(filter.get(), u"MANN"_s)->trigger();
    g.grid.sortBy(u"MIKTAR"_s, Qt::DescendingOrder);

    // The MANN lines sorted by quantity, descending: 2 (10), 7 (6), 5 (3).
    EXPECT_EQ(g.column(u"SIRANO"_s), (QStringList{u"2"_s, u"7"_s, u"5"_s}));
    EXPECT_EQ(g.grid.focusedRowIndex(), 0);
    GridRow row = g.grid.focusedRecord();
    EXPECT_EQ(row.value(u"SIRANO"_s).toInt(), 2);
    EXPECT_EQ(row.text(u"ADI"_s), u"YAĞ FİLTRESİ"_s);
    EXPECT_EQ(row.text(u"TUTAR"_s), u"98,25"_s);     // as shown, through the mask
    EXPECT_EQ(row.text(u"DURUM"_s), u"Yok"_s);       // icon columns read as their value names
    ASSERT_TRUE(g.grid.focusRowIndex(2));
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 5);
    ASSERT_FALSE(focused.isEmpty());
    EXPECT_EQ(focused.last().at(0).toInt(), g.grid.focusedRecord().sourceRow());

    // A filter that leaves nothing: no focused row.
    g.grid.setFilter(u"ADI"_s, {ColumnFilter::Equals, u"YOK BÖYLE"_s});
    EXPECT_EQ(g.grid.focusedRowIndex(), -1);
    EXPECT_FALSE(g.grid.focusedRecord().isValid());
    EXPECT_EQ(focused.last().at(0).toInt(), -1);
    // "(Tümü)" in one column, then clearing all filters.
    filter.reset(g.grid.createFilterMenu(g.grid.columnIndex(u"ADI"_s)));
    actionNamed(filter.get(), u"(Tümü)"_s)->trigger();
    EXPECT_EQ(g.grid.rowsInOrder().size(), 3u);
    g.grid.clearFilters();
    EXPECT_EQ(g.grid.rowsInOrder().size(), 8u);

    // Sorting can be switched off: a header click then keeps the source order.
    g.grid.setSortingEnabled(false);
    Q_EMIT g.grid.view()->header()->sectionClicked(g.grid.columnIndex(u"ADI"_s));
    EXPECT_EQ(g.column(u"SIRANO"_s).first(), u"1"_s);
    g.grid.setSortingEnabled(true);
    Q_EMIT g.grid.view()->header()->sectionClicked(g.grid.columnIndex(u"ADI"_s));
    EXPECT_EQ(g.column(u"ADI"_s).first(), u"AMORTİSÖR ARKA"_s);
}

TEST(DataGrid, ValueListComparesByValueAcrossTypes)
{
    DataGrid grid;
    UnboundRows *rows = grid.useUnboundRows({u"DURUM"_s});
    grid.addColumn({.field = u"DURUM"_s, .kind = CellKind::Icons, .icons = gridtest::statusIcons()});
    const QVariant values[] = {1, u"1"_s, 1.0, u"3"_s, 7, QVariant()};
    for (const QVariant &v : values)
        rows->setValue(rows->appendRow(), u"DURUM"_s, v);
    QStringList names;
    for (int r = 0; r < rows->rowCount(); ++r)
        names.append(grid.model()->index(r, 0).data(Qt::AccessibleTextRole).toString());
    EXPECT_EQ(names, (QStringList{u"Var"_s, u"Var"_s, u"Var"_s, u"Yolda"_s, u"7"_s, QString()}));
}

TEST(DataGrid, CustomDrawnCellsGetRowIndexSelectionAndValues)
{
    OrdersGrid g;
    struct Call
    {
        int rowIndex;
        bool selected;
        int sirano;
    };
    std::vector<Call> calls;
    g.grid.addColumn({.caption = u"Fiyat Bilgisi"_s, .kind = CellKind::Custom,
                      .draw = [&calls](QPainter &p, const CellPaint &cell) {
                          calls.push_back({cell.rowIndex, cell.selected, cell.row.value(u"SIRANO"_s).toInt()});
                          p.fillRect(cell.rect, cell.selected ? QColor(210, 240, 249) : QColor(Qt::magenta));
                          return true;
                      },
                      .width = 120});
    g.grid.setRowHeight(30);
    // The focus stays on its record (SIRANO 1) when the user sorts: on the last row.
    g.grid.sortBy(u"SIRANO"_s, Qt::DescendingOrder);
    g.grid.show();
    const QImage shot = g.grid.grab().toImage();
    ASSERT_GE(calls.size(), 8u);
    std::map<int, Call> byRow;
    for (const Call &c : calls)
        byRow[c.rowIndex] = c;
    for (int i = 0; i < 8; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(byRow[i].sirano, 8 - i);
        EXPECT_EQ(byRow[i].selected, i == 7);
    }
    // What the callback drew is on screen, and the grid drew no text over it.
    EXPECT_EQ(g.grid.focusedRowIndex(), 7);
    const QRect cell = g.grid.view()->visualRect(g.grid.model()->index(1, g.grid.columnCount() - 1));
    const QPoint at = g.grid.view()->viewport()->mapTo(&g.grid, cell.center());
    EXPECT_EQ(shot.pixelColor(at), QColor(Qt::magenta));
}

TEST(DataGrid, PicturesFromBytesAndBadBytesShowNothing)
{
    DataGrid grid;
    UnboundRows *rows = grid.useUnboundRows({u"duyuru"_s, u"baslik"_s});
    grid.addColumn({.field = u"duyuru"_s, .kind = CellKind::Picture, .width = 200});
    grid.addColumn({.field = u"baslik"_s, .show = Show::Hidden});
    grid.setRowHeight(120);
    grid.setHeaderVisible(false);
    grid.setIndicatorWidth(0);
    QImage green(160, 100, QImage::Format_RGB32);
    green.fill(QColor(0, 160, 0));
    const QByteArray garbage("\xff\xd8\xff\xe0 this is not really a JPEG", 30);
    const QByteArray inputs[] = {gridtest::pictureBytes(green, "PNG"), garbage, gridtest::pictureBytes(green, "BMP"),
                                 gridtest::pictureBytes(green, "JPG"), QByteArray()};
    for (const QByteArray &b : inputs)
        rows->setValue(rows->appendRow(), u"duyuru"_s, b);
    grid.resize(240, 5 * 120 + 10);
    grid.show();
    const QImage shot = grid.grab().toImage();
    for (int r = 0; r < 5; ++r) {
        SCOPED_TRACE(r);
        const QRect cell = grid.view()->visualRect(grid.model()->index(r, 0));
        const QColor c = shot.pixelColor(grid.view()->viewport()->mapTo(&grid, cell.center()));
        const bool picture = r == 0 || r == 2 || r == 3;
        EXPECT_EQ(c.green() > 120 && c.red() < 60, picture) << c.name().toStdString();
    }
}

TEST(DataGrid, DetachAndUpdateBracketsDeferTheRows)
{
    OrdersGrid g;
    g.grid.detach();
    EXPECT_EQ(g.grid.model()->rowCount(), 0);
    // The table is refilled while the grid is detached: the grid hears nothing of it.
    g.table.emptyTable();
    g.table.appendRecord({42, u"AHMET"_s});
    EXPECT_EQ(g.grid.model()->rowCount(), 0);
    g.grid.attach();
    ASSERT_EQ(g.grid.model()->rowCount(), 1);
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 42);

    g.grid.beginUpdate();
    g.grid.beginUpdate();
    g.table.appendRecord({43, u"ZEYNEP"_s});
    g.grid.setFilter(u"SATICIADI"_s, {ColumnFilter::Equals, u"ZEYNEP"_s});
    g.grid.endUpdate();
    EXPECT_EQ(g.grid.rowsInOrder().size(), 1u); // still as before the bracket
    EXPECT_EQ(g.grid.sourceText(g.grid.rowsInOrder()[0], u"SIRANO"_s), u"42"_s);
    g.grid.endUpdate();
    ASSERT_EQ(g.grid.rowsInOrder().size(), 1u);
    EXPECT_EQ(g.grid.sourceText(g.grid.rowsInOrder()[0], u"SIRANO"_s), u"43"_s);
}

TEST(DataGrid, IncrementalSearchInTheFocusedColumn)
{
    OrdersGrid g;
    g.grid.show();
    g.grid.view()->setFocus();
    g.grid.setFocusedColumn(u"ADI"_s);
    QTest::keyClicks(g.grid.view(), u"HAV"_s);
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 5);
    EXPECT_FALSE(g.grid.incrementalSearch(u"XYZ"_s));
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 5); // no match: focus stays
    EXPECT_TRUE(g.grid.incrementalSearch(u"şarj"_s));               // without regard to case
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 3);
    g.grid.setIncrementalSearch(false);
    g.grid.view()->keyboardSearch(u"P"_s);
    EXPECT_EQ(g.grid.focusedRecord().value(u"SIRANO"_s).toInt(), 3);
}

TEST(DataGrid, DoubleClickReportsTheFocusedColumnAndRowMenuOpens)
{
    OrdersGrid g;
    g.grid.setRowHeight(28);
    g.grid.show();
    QSignalSpy clicks(&g.grid, &DataGrid::doubleClicked);
    QTreeView *v = g.grid.view();
    for (const QString &field : {u"SEC"_s, u"BARKOD"_s}) {
        const QRect cell = v->visualRect(g.grid.model()->index(2, g.grid.columnIndex(field)));
        QTest::mouseClick(v->viewport(), Qt::LeftButton, {}, cell.center());
        QTest::mouseDClick(v->viewport(), Qt::LeftButton, {}, cell.center());
    }
    ASSERT_EQ(clicks.size(), 2);
    EXPECT_EQ(clicks.at(0).at(0).toString(), u"Seç"_s);
    EXPECT_EQ(clicks.at(1).at(0).toString(), u"Barkod"_s);
    EXPECT_EQ(g.grid.focusedRowIndex(), 2);

    QMenu menu;
    menu.addAction(u"Satır Değiştir"_s);
    g.grid.setRowMenu(&menu);
    const QRect cell = v->visualRect(g.grid.model()->index(4, g.grid.columnIndex(u"ADI"_s)));
    QContextMenuEvent event(QContextMenuEvent::Mouse, cell.center(), v->viewport()->mapToGlobal(cell.center()));
    QApplication::sendEvent(v->viewport(), &event);
    EXPECT_TRUE(menu.isVisible());
    EXPECT_EQ(g.grid.focusedRowIndex(), 4); // the row under the mouse is focused first
    menu.close();
}

TEST(DataGrid, AccessibleCellsHeadersAndControls)
{
    OrdersGrid g;
    GridModel *m = g.grid.model();
    EXPECT_EQ(m->headerData(g.grid.columnIndex(u"ADI"_s), Qt::Horizontal).toString(), u"Açıklama"_s);
    EXPECT_EQ(m->index(0, g.grid.columnIndex(u"SEC"_s)).data(Qt::AccessibleTextRole).toString(), u"Seçili"_s);
    EXPECT_EQ(m->index(1, g.grid.columnIndex(u"SEC"_s)).data(Qt::AccessibleTextRole).toString(), u"Seçili değil"_s);
    EXPECT_EQ(m->index(0, g.grid.columnIndex(u"DURUM"_s)).data(Qt::AccessibleTextRole).toString(), u"Var"_s);
    g.grid.setGroupBoxVisible(true);
    g.grid.groupBy({u"MARKA"_s});
    const QList<QToolButton *> chips = g.grid.groupBoxWidget()->findChildren<QToolButton *>();
    ASSERT_EQ(chips.size(), 1);
    EXPECT_EQ(chips[0]->accessibleName(), u"Marka"_s);
    chips[0]->click(); // removes that grouping
    EXPECT_TRUE(g.grid.groupedFields().isEmpty());
}
