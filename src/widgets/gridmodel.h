#pragma once

// The grid's model: the rows of a flat source model (the in-memory table's model, or the unbound rows of
// a view that holds its own values) filtered, sorted and grouped, as a tree for a QTreeView. Top-level
// rows are data rows, or group rows when the grid is grouped; a group row's children are its sub-groups
// or its data rows; when group summaries are set, each group row is followed by its footer row (beside
// the group, not inside it, so that a collapsed group still shows its footer).
//
// Columns are the grid's columns, in their order, hidden ones included; each reads the source column of
// its field (by name, without regard to case). A column without a field, or whose field the source
// lacks, is empty. Nothing here is a widget: the model is tested alone.

#include "gridcolumn.h"

#include <QAbstractItemModel>
#include <QAbstractTableModel>
#include <QStringList>

#include <functional>
#include <memory>
#include <vector>

namespace tarvik {

enum class SummaryKind { Count, Sum };

// A summary over a set of rows (all filtered rows for the footer, a group's rows for its footer):
// the count of rows, or the sum of a field (null cells count as 0). It is shown under the column of
// `column` (a field name; `field` when empty). A sum is formatted with `mask`, else with the source
// column's display mask, else in the plain number form.
struct GridSummary
{
    SummaryKind kind = SummaryKind::Count;
    QString field{};
    QString column{};
    QString mask{};
};

// A column's filter from the header's filter list: rows whose text in the column equals `text`, or
// blank / non-blank rows.
struct ColumnFilter
{
    enum Kind { None, Equals, Blanks, NonBlanks };
    Kind kind = None;
    QString text{};
    bool isActive() const { return kind != None; }
};

// Rows that hold their own values, for views without a table (the announcements). Fields are named
// when the rows are created; values are set by field name.
class UnboundRows : public QAbstractTableModel
{
public:
    explicit UnboundRows(QStringList fields = {}, QObject *parent = nullptr);
    void setFields(const QStringList &fields);
    const QStringList &fields() const { return fields_; }
    // Rows dropped or added at the end (new rows empty).
    void setRowCount(int rows);
    void clear() { setRowCount(0); }
    int appendRow(); // returns its index
    void setValue(int row, const QString &field, const QVariant &value);
    QVariant value(int row, const QString &field) const;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: the value as text; EditRole: the value.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QStringList fields_;
    std::vector<std::vector<QVariant>> rows_;
};

class GridModel : public QAbstractItemModel
{
    Q_OBJECT
public:
    enum Role {
        RawValueRole = Qt::UserRole + 1, // the source value of a data cell
        RowKindRole,                     // RowKind as int
        SourceRowRole,                   // source row of a data row, -1 otherwise
        GroupLevelRole,                  // level of a group or footer row, from 0
    };
    enum class RowKind { Data, Group, Footer };

    explicit GridModel(QObject *parent = nullptr);
    ~GridModel() override;

    // The flat source: its horizontal header gives the field names (the in-memory table's model gives
    // column names). nullptr: no rows. The model follows the source's changes.
    void setSource(QAbstractItemModel *source);
    QAbstractItemModel *source() const { return source_; }
    // The display mask of a source column, for sums (bound grids ask the table).
    void setMaskLookup(std::function<QString(int sourceColumn)> lookup) { maskOf_ = std::move(lookup); }

    // The columns; the model keeps a pointer, the grid owns them and calls columnsChanged() after it
    // changes their set, fields or kinds.
    void setColumns(const std::vector<GridColumn> *columns);
    void columnsChanged();
    int columnOf(const QString &field) const;        // grid column showing a field, -1 if none
    int sourceColumnOf(const QString &field) const;  // source column of a field, -1 if none

    // --- Shaping. Each change rebuilds the rows (or marks them for rebuilding while suspended).
    void setSort(int column, Qt::SortOrder order); // column -1: source order
    int sortColumn() const { return sortColumn_; }
    Qt::SortOrder sortOrder() const { return sortOrder_; }
    void setFilter(int column, const ColumnFilter &filter);
    ColumnFilter filter(int column) const;
    void clearFilters();
    bool hasFilters() const;
    // "Barkod = X ve Marka = Y", for the filter bar.
    QString filterDescription() const;
    void setGrouping(const std::vector<int> &columns);
    const std::vector<int> &grouping() const { return grouping_; }
    void setGroupSummaries(std::vector<GridSummary> summaries);
    void setFooterSummaries(std::vector<GridSummary> summaries);
    const std::vector<GridSummary> &footerSummaries() const { return footer_; }

    // Counted: while suspended, changes of the source and of the shaping wait for the last resume.
    void suspend();
    void resume();

    // --- Reading.
    // Source rows after filter, sort and grouping, in the order the grid shows them (groups expanded).
    const std::vector<int> &orderedRows() const { return order_; }
    int sourceRowCount() const;
    QVariant value(int sourceRow, int column) const;
    // The text of a data cell as shown: display text, or the value list name of an icon column.
    QString text(int sourceRow, int column) const;
    QVariant fieldValue(int sourceRow, const QString &field) const;
    QString fieldText(int sourceRow, const QString &field) const;
    RowKind rowKind(const QModelIndex &index) const;
    int sourceRow(const QModelIndex &index) const;
    QModelIndex indexOfSourceRow(int sourceRow, int column = 0) const;
    // The distinct texts of a column among the rows the other columns' filters let through, sorted.
    QStringList filterValues(int column) const;
    // The footer's text under a column: its summaries over all filtered rows, one per line.
    QString footerText(int column) const;
    double summaryValue(const GridSummary &summary) const;
    // The first row at or after position `from` of orderedRows() (wrapping) whose text in `column`
    // starts with `prefix`, without regard to case; -1 if none.
    int findPrefix(int column, const QString &prefix, int from) const;
    // A group row's identity across rebuilds: the texts of its group values, outermost first.
    QStringList groupPath(const QModelIndex &index) const;

    // QAbstractItemModel
    QModelIndex index(int row, int column, const QModelIndex &parent = QModelIndex()) const override;
    QModelIndex parent(const QModelIndex &child) const override;
    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    bool hasChildren(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

Q_SIGNALS:
    // The footer's texts may have changed.
    void summariesChanged();

private:
    struct Group;
    void sourceChanged();
    void sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight);
    void invalidate();
    void rebuild();
    void resolveColumns();
    bool passes(int sourceRow, int skipColumn) const;
    std::vector<double> sortKeys(int column, const std::vector<int> &rows) const;
    void buildGroups(Group *node, int level, const std::vector<std::vector<double>> &keys);
    int stride(const Group *g) const;
    const Group *groupAt(const Group *parent, int row) const;
    QModelIndex groupIndex(const Group *g) const;
    QString summaryText(const GridSummary &s, int first, int count) const;
    double summaryOver(const GridSummary &s, int first, int count) const;
    QString groupFooterText(const Group *g, int column) const;

    QAbstractItemModel *source_ = nullptr;
    std::vector<QMetaObject::Connection> sourceConnections_;
    const std::vector<GridColumn> *columns_ = nullptr;
    std::vector<int> sourceCols_; // per grid column
    std::function<QString(int)> maskOf_;
    int sortColumn_ = -1;
    Qt::SortOrder sortOrder_ = Qt::AscendingOrder;
    std::vector<ColumnFilter> filters_;
    std::vector<int> grouping_;
    std::vector<GridSummary> groupSummaries_;
    std::vector<GridSummary> footer_;
    int suspended_ = 0;
    bool dirty_ = false;
    std::vector<int> order_;
    std::vector<int> posOf_; // source row -> position in order_, -1 when filtered out
    std::unique_ptr<Group> root_;
};

} // namespace tarvik
