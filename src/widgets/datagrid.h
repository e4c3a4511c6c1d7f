#pragma once

// The data grid: a read-only grid over an in-memory table (bound) or over rows that hold their own
// values (unbound), as the program's windows use it. It is a QTreeView over GridModel, so rows and cells
// stay readable by assistive technology, with a group box above, a footer of summaries and a filter bar
// below, a row indicator at the left and header buttons for filtering.
//
// A window describes it in a few lines:
//
//   grid->setTable(&stok);
//   grid->addColumn({.field = u"DURUM"_s, .caption = u"Durum"_s, .kind = CellKind::Icons, .icons = durum});
//   grid->addColumn({.field = u"BARKOD"_s, .caption = u"Barkod"_s, .weight = 2});
//   grid->setFooterSummaries({{SummaryKind::Count, u"OEM1"_s}});
//   connect(grid, &DataGrid::doubleClicked, this, &TForm1::cxGrid1DBTableView1DblClick);
//
// The grid never edits its data: values change only through the window's own logic on the table.

#include "gridcolumn.h"
#include "gridmodel.h"
#include "look.h"

#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <set>

class QMenu;
class QTreeView;
class QLabel;
class QToolButton;

namespace tarvik {

class MemTable;
class MemTableModel;
class GridView;
class GridHeader;
class GridDelegate;
class GridFooter;
class GroupBox;
class IndicatorStrip;

class DataGrid : public QWidget
{
    Q_OBJECT
public:
    explicit DataGrid(QWidget *parent = nullptr);
    ~DataGrid() override;

    // --- Data.
    // Bound: the grid shows the table and follows its changes (the table outlives the grid or is
    // detached first).
    void setTable(MemTable *table);
    MemTable *table() const { return table_; }
    // Unbound: rows that hold their own values, one per field named here. Replaces any table.
    UnboundRows *useUnboundRows(const QStringList &fields);
    UnboundRows *unboundRows() const { return unbound_; }
    // Detach from the table (the grid shows no rows, the table may be filled on another thread) and
    // re-attach. Unbound grids ignore both.
    void detach();
    void attach();
    bool isAttached() const;

    // --- Columns, in the order added. The field names the column in every call below.
    int addColumn(GridColumn column);
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const GridColumn &column(int index) const { return columns_[static_cast<std::size_t>(index)]; }
    int columnIndex(const QString &field) const;
    QString caption(int column) const;
    void setColumnVisible(const QString &field, bool visible);
    bool isColumnVisible(const QString &field) const;
    // Offered: listed in the header's column menu, where the user shows and hides it.
    void setColumnOffered(const QString &field, bool offered);
    bool isColumnOffered(const QString &field) const;
    void setColumnWidth(const QString &field, int width);
    int columnWidth(const QString &field) const;
    // Visible columns in their on-screen order.
    std::vector<int> visibleColumns() const;

    // --- Widths.
    // Each column to the width of its caption and of its cells (the first 2,000 rows are measured).
    void bestFit();
    // Columns keep filling the grid's width in proportion to their widths.
    void setStretch(bool on);
    // The weight rule on the grid's width; false (nothing resized) when the weights of the visible
    // columns sum to 0.
    bool applyWeights();
    bool applyWeights(int gridWidth);

    // --- View behaviour.
    void setSortingEnabled(bool on); // by header click; on by default
    bool isSortingEnabled() const { return sorting_; }
    void sortBy(const QString &field, Qt::SortOrder order = Qt::AscendingOrder); // empty field: unsorted
    void setFilterButtons(bool on); // filter buttons in the headers; on by default
    void setFilter(const QString &field, const ColumnFilter &filter);
    void clearFilters();
    void setIncrementalSearch(bool on); // on by default
    // Typed text searched in the focused column from the focused row on; true when a row matched.
    bool incrementalSearch(const QString &text);
    void setRowSelect(bool on); // whole-row selection; on by default
    void setHeaderVisible(bool on);
    void setHeaderHeight(int pixels);
    void setRowHeight(int pixels); // 0: from the font
    int rowHeight() const;
    void setIndicatorWidth(int pixels); // the row indicator at the left; 0 hides it
    void setFocusRectVisible(bool on);
    void setPixelScrolling(bool on);
    void setColumnsMovable(bool on);
    void setColumnsSizable(bool on);
    void setSkin(GridSkin skin);
    GridLook &look() { return look_; }
    void setIndicatorColor(const QColor &c);
    void setGridLineColor(const QColor &c);
    void setSelectionColors(const QColor &back, const QColor &text);
    void setRowColors(const QColor &even, const QColor &odd);

    // --- Footer and grouping.
    void setFooterVisible(bool on);
    void setFooterSummaries(std::vector<GridSummary> summaries);
    QString footerText(const QString &field) const;
    void setGroupBoxVisible(bool on);
    bool isGroupBoxVisible() const;
    void groupBy(const QStringList &fields);
    QStringList groupedFields() const;
    void setGroupSummaries(std::vector<GridSummary> summaries);
    void collapseAll();
    void expandAll();

    // --- Menus (built on demand; the caller owns them). The header menu holds sorting, grouping,
    // best fit, clearing filters and, as the submenu "Sütunlar", the column menu: one checkable entry
    // per offered column, checked while it is shown.
    QMenu *createHeaderMenu(int column, QWidget *parent = nullptr);
    QMenu *createColumnMenu(QWidget *parent = nullptr);
    // The filter list of a column: "(Tümü)", "(Boş)", "(Boş Değil)" and the column's distinct texts.
    QMenu *createFilterMenu(int column, QWidget *parent = nullptr);
    // Shown on a right click on a row, after the row under the mouse is focused.
    void setRowMenu(QMenu *menu) { rowMenu_ = menu; }
    QMenu *rowMenu() const { return rowMenu_; }

    // --- Operations.
    // Counted; the view is repainted and the rows rebuilt once, at the last endUpdate.
    void beginUpdate();
    void endUpdate();
    // Index of the focused row among the rows on screen (group rows counted), -1 when none.
    int focusedRowIndex() const;
    // The focused data row (invalid on a group row or when none): its values as the source holds them,
    // wherever the user's sorting and filtering put it.
    GridRow focusedRecord() const;
    bool focusSourceRow(int sourceRow);
    bool focusRowIndex(int rowIndex); // by index among the rows on screen
    QString focusedColumnCaption() const;
    void setFocusedColumn(const QString &field);
    // The data rows in the order shown, all groups expanded.
    const std::vector<int> &rowsInOrder() const;

    GridModel *model() const { return model_; }
    QTreeView *view() const;
    QWidget *footerWidget() const;
    QWidget *groupBoxWidget() const;

    // Cell values by source row (GridRow calls these).
    QVariant sourceValue(int sourceRow, const QString &field) const;
    QString sourceText(int sourceRow, const QString &field) const;

Q_SIGNALS:
    // The focused data row changed: its source row, -1 when none.
    void focusedRecordChanged(int sourceRow);
    // A double click on a data row, with the caption of the focused column.
    void doubleClicked(const QString &columnCaption);
    void resized();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class GridView;
    friend class GridHeader;
    friend class GridDelegate;
    friend class GridFooter;
    friend class GroupBox;
    friend class IndicatorStrip;

    void applyVisibility(int column);
    void applyLook();
    void updateBranches();
    void saveViewState();
    void restoreViewState();
    void currentChanged();
    void showRowMenu(const QPoint &pos);
    void updateFilterBar();
    void stretchNow();
    int visualRowIndex(const QModelIndex &index) const;
    void headerClicked(int column);

    std::vector<GridColumn> columns_;
    struct ColumnState
    {
        bool visible = true;
        bool offered = true;
    };
    std::vector<ColumnState> state_;
    MemTable *table_ = nullptr;
    MemTableModel *tableModel_ = nullptr;
    UnboundRows *unbound_ = nullptr;
    bool attached_ = true;
    GridModel *model_ = nullptr;
    GridView *view_ = nullptr;
    GridHeader *header_ = nullptr;
    GridDelegate *delegate_ = nullptr;
    GridFooter *footer_ = nullptr;
    GroupBox *groupBox_ = nullptr;
    QWidget *strip_ = nullptr;
    QWidget *filterBar_ = nullptr;
    QLabel *filterText_ = nullptr;
    QPointer<QMenu> rowMenu_;
    GridLook look_;
    bool sorting_ = true;
    bool filterButtons_ = true;
    bool search_ = true;
    bool stretch_ = false;
    bool focusRect_ = true;
    int rowHeight_ = 0;
    int headerHeight_ = 0;
    int indicatorWidth_ = 12;
    int updates_ = 0;
    bool groupsExpanded_ = true;
    std::set<QStringList> toggledGroups_; // groups whose state differs from groupsExpanded_
    int savedSourceRow_ = -1;
    int savedColumn_ = 0;
    int lastEmitted_ = -2;
};

// The program's column-width rule for a grid: on a screen wider than 1152 pixels the weight rule,
// otherwise best fit of every column. `screenWidth` -1: the primary screen's width.
void KolonGenislikAyarla(DataGrid &grid, int screenWidth = -1);

} // namespace tarvik
