#include "gridmodel.h"

#include "gridlogic.h"
#include "memtable.h"

#include <QCollator>
#include <QDateTime>
#include <QFont>
#include <QHash>
#include <QLocale>

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

namespace tarvik {

// ---------------------------------------------------------------------------------------------------
// UnboundRows

UnboundRows::UnboundRows(QStringList fields, QObject *parent) : QAbstractTableModel(parent), fields_(std::move(fields))
{
}

void UnboundRows::setFields(const QStringList &fields)
{
    beginResetModel();
    fields_ = fields;
    for (auto &row : rows_)
        row.assign(static_cast<std::size_t>(fields_.size()), QVariant());
    endResetModel();
}

void UnboundRows::setRowCount(int rows)
{
    rows = std::max(0, rows);
    const int old = static_cast<int>(rows_.size());
    if (rows == old)
        return;
    if (rows < old) {
        beginRemoveRows(QModelIndex(), rows, old - 1);
        rows_.resize(static_cast<std::size_t>(rows));
        endRemoveRows();
    } else {
        beginInsertRows(QModelIndex(), old, rows - 1);
        rows_.resize(static_cast<std::size_t>(rows), std::vector<QVariant>(static_cast<std::size_t>(fields_.size())));
        endInsertRows();
    }
}

int UnboundRows::appendRow()
{
    setRowCount(static_cast<int>(rows_.size()) + 1);
    return static_cast<int>(rows_.size()) - 1;
}

void UnboundRows::setValue(int row, const QString &field, const QVariant &value)
{
    const int col = static_cast<int>(fields_.indexOf(field));
    if (row < 0 || row >= static_cast<int>(rows_.size()) || col < 0)
        return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)] = value;
    Q_EMIT dataChanged(index(row, col), index(row, col));
}

QVariant UnboundRows::value(int row, const QString &field) const
{
    const int col = static_cast<int>(fields_.indexOf(field));
    if (row < 0 || row >= static_cast<int>(rows_.size()) || col < 0)
        return {};
    return rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(col)];
}

int UnboundRows::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int UnboundRows::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : static_cast<int>(fields_.size());
}

QVariant UnboundRows::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const QVariant &v = rows_[static_cast<std::size_t>(index.row())][static_cast<std::size_t>(index.column())];
    switch (role) {
    case Qt::DisplayRole:
        if (v.typeId() == QMetaType::QByteArray)
            return QString();
        if (v.typeId() == QMetaType::Double)
            return plainFloatText(v.toDouble());
        return v.toString();
    case Qt::EditRole: return v;
    default: return {};
    }
}

QVariant UnboundRows::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section >= fields_.size())
        return {};
    return fields_.at(section);
}

// ---------------------------------------------------------------------------------------------------
// GridModel

// A group covers the rows order_[first, first + count). The root covers all rows.
struct GridModel::Group
{
    Group *parent = nullptr;
    int row = 0;    // its row among its parent's children (footer rows counted)
    int level = -1; // -1 for the root
    int first = 0;
    int count = 0;
    QString text;
    std::vector<std::unique_ptr<Group>> groups;
    mutable std::vector<QString> footerTexts; // per grid column, filled on first use
};

GridModel::GridModel(QObject *parent) : QAbstractItemModel(parent), root_(std::make_unique<Group>())
{
}

GridModel::~GridModel() = default;

void GridModel::setSource(QAbstractItemModel *source)
{
    for (const auto &c : sourceConnections_)
        disconnect(c);
    sourceConnections_.clear();
    source_ = source;
    if (source_) {
        auto changed = [this] { sourceChanged(); };
        sourceConnections_ = {
            connect(source_, &QAbstractItemModel::modelReset, this, changed),
            connect(source_, &QAbstractItemModel::rowsInserted, this, changed),
            connect(source_, &QAbstractItemModel::rowsRemoved, this, changed),
            connect(source_, &QAbstractItemModel::rowsMoved, this, changed),
            connect(source_, &QAbstractItemModel::columnsInserted, this, changed),
            connect(source_, &QAbstractItemModel::columnsRemoved, this, changed),
            connect(source_, &QAbstractItemModel::layoutChanged, this, changed),
            connect(source_, &QAbstractItemModel::headerDataChanged, this, changed),
            connect(source_, &QAbstractItemModel::dataChanged, this, &GridModel::sourceDataChanged),
            connect(source_, &QObject::destroyed, this, [this] {
                source_ = nullptr;
                sourceConnections_.clear();
                invalidate();
            }),
        };
    }
    invalidate();
}

void GridModel::setColumns(const std::vector<GridColumn> *columns)
{
    columns_ = columns;
    columnsChanged();
}

void GridModel::columnsChanged()
{
    const std::size_t n = columns_ ? columns_->size() : 0;
    filters_.resize(n);
    if (sortColumn_ >= static_cast<int>(n))
        sortColumn_ = -1;
    std::erase_if(grouping_, [n](int c) { return c >= static_cast<int>(n); });
    invalidate();
}

int GridModel::columnOf(const QString &field) const
{
    if (!columns_)
        return -1;
    for (std::size_t i = 0; i < columns_->size(); ++i)
        if ((*columns_)[i].field.compare(field, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int GridModel::sourceColumnOf(const QString &field) const
{
    if (!source_ || field.isEmpty())
        return -1;
    const int n = source_->columnCount();
    for (int c = 0; c < n; ++c)
        if (source_->headerData(c, Qt::Horizontal).toString().compare(field, Qt::CaseInsensitive) == 0)
            return c;
    return -1;
}

void GridModel::resolveColumns()
{
    sourceCols_.clear();
    if (!columns_)
        return;
    for (const GridColumn &c : *columns_)
        sourceCols_.push_back(sourceColumnOf(c.field));
}

void GridModel::setSort(int column, Qt::SortOrder order)
{
    sortColumn_ = column;
    sortOrder_ = order;
    invalidate();
}

void GridModel::setFilter(int column, const ColumnFilter &filter)
{
    if (column < 0 || column >= static_cast<int>(filters_.size()))
        return;
    filters_[static_cast<std::size_t>(column)] = filter;
    invalidate();
}

ColumnFilter GridModel::filter(int column) const
{
    if (column < 0 || column >= static_cast<int>(filters_.size()))
        return {};
    return filters_[static_cast<std::size_t>(column)];
}

void GridModel::clearFilters()
{
    if (!hasFilters())
        return;
    for (auto &f : filters_)
        f = ColumnFilter();
    invalidate();
}

bool GridModel::hasFilters() const
{
    return std::any_of(filters_.begin(), filters_.end(), [](const ColumnFilter &f) { return f.isActive(); });
}

QString GridModel::filterDescription() const
{
    QStringList parts;
    for (std::size_t i = 0; i < filters_.size(); ++i) {
        const ColumnFilter &f = filters_[i];
        if (!f.isActive())
            continue;
        const QString caption = headerData(static_cast<int>(i), Qt::Horizontal).toString();
        switch (f.kind) {
        case ColumnFilter::Equals: parts.append(QString(caption + u" = " + f.text)); break;
        case ColumnFilter::Blanks: parts.append(QString(caption + u" boş")); break;
        case ColumnFilter::NonBlanks: parts.append(QString(caption + u" boş değil")); break;
        case ColumnFilter::None: break;
        }
    }
    return parts.join(QStringLiteral(" ve "));
}

void GridModel::setGrouping(const std::vector<int> &columns)
{
    grouping_ = columns;
    invalidate();
}

void GridModel::setGroupSummaries(std::vector<GridSummary> summaries)
{
    groupSummaries_ = std::move(summaries);
    invalidate();
}

void GridModel::setFooterSummaries(std::vector<GridSummary> summaries)
{
    footer_ = std::move(summaries);
    Q_EMIT summariesChanged();
}

void GridModel::suspend()
{
    ++suspended_;
}

void GridModel::resume()
{
    if (suspended_ == 0)
        return;
    if (--suspended_ == 0 && dirty_)
        rebuild();
}

void GridModel::sourceChanged()
{
    invalidate();
}

void GridModel::sourceDataChanged(const QModelIndex &topLeft, const QModelIndex &bottomRight)
{
    // A change in a column nothing is sorted, filtered or grouped by keeps the rows where they are.
    bool shaping = !groupSummaries_.empty();
    for (std::size_t i = 0; i < sourceCols_.size() && !shaping; ++i) {
        const int sc = sourceCols_[i];
        if (sc < topLeft.column() || sc > bottomRight.column())
            continue;
        const int col = static_cast<int>(i);
        shaping = col == sortColumn_ || filters_[i].isActive()
                  || std::find(grouping_.begin(), grouping_.end(), col) != grouping_.end();
    }
    if (shaping || suspended_ > 0) {
        invalidate();
        return;
    }
    const int last = columnCount() - 1;
    if (bottomRight.row() - topLeft.row() > 64) {
        // A whole column changed (a display mask): one rebuild is cheaper for the view than a
        // dataChanged over every row, whose rectangles it would unite one by one.
        invalidate();
        return;
    }
    for (int r = topLeft.row(); r <= bottomRight.row() && last >= 0; ++r) {
        const QModelIndex first = indexOfSourceRow(r, 0);
        if (first.isValid())
            Q_EMIT dataChanged(first, first.siblingAtColumn(last));
    }
    Q_EMIT summariesChanged();
}

void GridModel::invalidate()
{
    if (suspended_ > 0) {
        dirty_ = true;
        return;
    }
    rebuild();
}

int GridModel::sourceRowCount() const
{
    return source_ ? source_->rowCount() : 0;
}

QVariant GridModel::value(int sourceRow, int column) const
{
    if (!source_ || column < 0 || column >= static_cast<int>(sourceCols_.size()))
        return {};
    const int sc = sourceCols_[static_cast<std::size_t>(column)];
    if (sc < 0)
        return {};
    return source_->data(source_->index(sourceRow, sc), Qt::EditRole);
}

QString GridModel::text(int sourceRow, int column) const
{
    if (!source_ || !columns_ || column < 0 || column >= static_cast<int>(sourceCols_.size()))
        return {};
    const int sc = sourceCols_[static_cast<std::size_t>(column)];
    if (sc < 0)
        return {};
    const GridColumn &c = (*columns_)[static_cast<std::size_t>(column)];
    const QModelIndex si = source_->index(sourceRow, sc);
    if (c.kind == CellKind::Icons) {
        const QVariant v = source_->data(si, Qt::EditRole);
        for (const ValueImage &vi : c.icons)
            if (sameValue(vi.value, v))
                return vi.name;
    }
    return source_->data(si, Qt::DisplayRole).toString();
}

QVariant GridModel::fieldValue(int sourceRow, const QString &field) const
{
    const int sc = sourceColumnOf(field);
    if (sc < 0 || sourceRow < 0 || sourceRow >= sourceRowCount())
        return {};
    return source_->data(source_->index(sourceRow, sc), Qt::EditRole);
}

QString GridModel::fieldText(int sourceRow, const QString &field) const
{
    const int col = columnOf(field);
    if (col >= 0 && sourceRow >= 0 && sourceRow < sourceRowCount())
        return text(sourceRow, col);
    const int sc = sourceColumnOf(field);
    if (sc < 0 || sourceRow < 0 || sourceRow >= sourceRowCount())
        return {};
    return source_->data(source_->index(sourceRow, sc), Qt::DisplayRole).toString();
}

bool GridModel::passes(int sourceRow, int skipColumn) const
{
    for (std::size_t i = 0; i < filters_.size(); ++i) {
        const ColumnFilter &f = filters_[i];
        if (!f.isActive() || static_cast<int>(i) == skipColumn)
            continue;
        const QString t = text(sourceRow, static_cast<int>(i));
        switch (f.kind) {
        case ColumnFilter::Equals:
            if (t != f.text)
                return false;
            break;
        case ColumnFilter::Blanks:
            if (!t.trimmed().isEmpty())
                return false;
            break;
        case ColumnFilter::NonBlanks:
            if (t.trimmed().isEmpty())
                return false;
            break;
        case ColumnFilter::None: break;
        }
    }
    return true;
}

// One number per row that orders the rows as the column's values do: the value itself for numbers and
// dates, the rank among the distinct texts (Turkish collation, without regard to case) for text; null
// is lowest.
std::vector<double> GridModel::sortKeys(int column, const std::vector<int> &rows) const
{
    constexpr double nullKey = -std::numeric_limits<double>::infinity();
    std::vector<double> keys(rows.size(), nullKey);
    std::vector<QVariant> values;
    values.reserve(rows.size());
    bool numeric = true;
    for (int r : rows) {
        values.push_back(value(r, column));
        const QVariant &v = values.back();
        if (!v.isValid() || v.isNull())
            continue;
        const int t = v.typeId();
        if (t == QMetaType::QString || t == QMetaType::QByteArray)
            numeric = false;
    }
    if (numeric) {
        for (std::size_t i = 0; i < values.size(); ++i) {
            const QVariant &v = values[i];
            if (!v.isValid() || v.isNull())
                continue;
            double d = 0;
            if (v.typeId() == QMetaType::QDate)
                keys[i] = static_cast<double>(v.toDate().toJulianDay()) * 86400000.0;
            else if (v.typeId() == QMetaType::QDateTime)
                keys[i] = static_cast<double>(v.toDateTime().toMSecsSinceEpoch()) + 2440588.0 * 86400000.0;
            else if (numericValue(v, &d))
                keys[i] = d;
        }
        return keys;
    }
    QHash<QString, int> ids;
    std::vector<QString> distinct;
    std::vector<int> idOf(values.size(), -1);
    for (std::size_t i = 0; i < values.size(); ++i) {
        const QVariant &v = values[i];
        if (!v.isValid() || v.isNull())
            continue;
        const QString t = v.typeId() == QMetaType::Double ? plainFloatText(v.toDouble()) : v.toString();
        auto it = ids.constFind(t);
        if (it == ids.cend()) {
            it = ids.insert(t, static_cast<int>(distinct.size()));
            distinct.push_back(t);
        }
        idOf[i] = it.value();
    }
    QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    std::vector<QCollatorSortKey> sk;
    sk.reserve(distinct.size());
    for (const QString &t : distinct)
        sk.push_back(collator.sortKey(t));
    std::vector<int> perm(distinct.size());
    std::iota(perm.begin(), perm.end(), 0);
    std::sort(perm.begin(), perm.end(), [&](int a, int b) {
        const int c = sk[static_cast<std::size_t>(a)].compare(sk[static_cast<std::size_t>(b)]);
        return c != 0 ? c < 0 : distinct[static_cast<std::size_t>(a)] < distinct[static_cast<std::size_t>(b)];
    });
    std::vector<double> rank(distinct.size());
    double r = 0;
    for (std::size_t i = 0; i < perm.size(); ++i) {
        if (i > 0 && sk[static_cast<std::size_t>(perm[i])].compare(sk[static_cast<std::size_t>(perm[i - 1])]) != 0)
            ++r;
        rank[static_cast<std::size_t>(perm[i])] = r;
    }
    for (std::size_t i = 0; i < values.size(); ++i)
        if (idOf[i] >= 0)
            keys[i] = rank[static_cast<std::size_t>(idOf[i])];
    return keys;
}

void GridModel::rebuild()
{
    dirty_ = false;
    beginResetModel();
    resolveColumns();
    root_ = std::make_unique<Group>();
    order_.clear();
    const int n = sourceRowCount();
    const bool filtering = hasFilters();
    order_.reserve(static_cast<std::size_t>(n));
    for (int r = 0; r < n; ++r)
        if (!filtering || passes(r, -1))
            order_.push_back(r);

    // Sort keys: the grouping columns (ascending), then the sort column.
    std::vector<int> keyColumns = grouping_;
    std::vector<bool> descending(grouping_.size(), false);
    if (sortColumn_ >= 0) {
        keyColumns.push_back(sortColumn_);
        descending.push_back(sortOrder_ == Qt::DescendingOrder);
    }
    std::vector<std::vector<double>> keys;
    for (int c : keyColumns)
        keys.push_back(sortKeys(c, order_));
    if (!keys.empty()) {
        std::vector<int> perm(order_.size());
        std::iota(perm.begin(), perm.end(), 0);
        std::stable_sort(perm.begin(), perm.end(), [&](int a, int b) {
            for (std::size_t k = 0; k < keys.size(); ++k) {
                const double x = keys[k][static_cast<std::size_t>(a)], y = keys[k][static_cast<std::size_t>(b)];
                if (x != y)
                    return descending[k] ? y < x : x < y;
            }
            return false;
        });
        std::vector<int> sorted(order_.size());
        for (std::size_t i = 0; i < perm.size(); ++i)
            sorted[i] = order_[static_cast<std::size_t>(perm[i])];
        order_.swap(sorted);
        for (auto &k : keys) {
            std::vector<double> reordered(k.size());
            for (std::size_t i = 0; i < perm.size(); ++i)
                reordered[i] = k[static_cast<std::size_t>(perm[i])];
            k.swap(reordered);
        }
    }
    posOf_.assign(static_cast<std::size_t>(n), -1);
    for (std::size_t i = 0; i < order_.size(); ++i)
        posOf_[static_cast<std::size_t>(order_[i])] = static_cast<int>(i);
    root_->count = static_cast<int>(order_.size());
    buildGroups(root_.get(), 0, keys);
    endResetModel();
    Q_EMIT summariesChanged();
}

void GridModel::buildGroups(Group *node, int level, const std::vector<std::vector<double>> &keys)
{
    if (level >= static_cast<int>(grouping_.size()))
        return;
    const std::vector<double> &k = keys[static_cast<std::size_t>(level)];
    const int column = grouping_[static_cast<std::size_t>(level)];
    const int end = node->first + node->count;
    int start = node->first;
    while (start < end) {
        int stop = start + 1;
        while (stop < end && k[static_cast<std::size_t>(stop)] == k[static_cast<std::size_t>(start)])
            ++stop;
        auto g = std::make_unique<Group>();
        g->parent = node;
        g->level = level;
        g->first = start;
        g->count = stop - start;
        g->text = text(order_[static_cast<std::size_t>(start)], column);
        node->groups.push_back(std::move(g));
        start = stop;
    }
    const int s = stride(node);
    for (std::size_t i = 0; i < node->groups.size(); ++i) {
        node->groups[i]->row = static_cast<int>(i) * s;
        buildGroups(node->groups[i].get(), level + 1, keys);
    }
}

int GridModel::stride(const Group *g) const
{
    return !g->groups.empty() && !groupSummaries_.empty() ? 2 : 1;
}

const GridModel::Group *GridModel::groupAt(const Group *parent, int row) const
{
    if (!parent || parent->groups.empty())
        return nullptr;
    const std::size_t i = static_cast<std::size_t>(row / stride(parent));
    return i < parent->groups.size() ? parent->groups[i].get() : nullptr;
}

QModelIndex GridModel::groupIndex(const Group *g) const
{
    if (!g || g == root_.get())
        return {};
    return createIndex(g->row, 0, const_cast<Group *>(g->parent));
}

GridModel::RowKind GridModel::rowKind(const QModelIndex &index) const
{
    const auto *p = static_cast<const Group *>(index.internalPointer());
    if (!index.isValid() || !p || p->groups.empty())
        return RowKind::Data;
    return stride(p) == 2 && index.row() % 2 == 1 ? RowKind::Footer : RowKind::Group;
}

int GridModel::sourceRow(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this || rowKind(index) != RowKind::Data)
        return -1;
    const auto *p = static_cast<const Group *>(index.internalPointer());
    const int pos = p->first + index.row();
    return pos >= 0 && pos < static_cast<int>(order_.size()) ? order_[static_cast<std::size_t>(pos)] : -1;
}

QModelIndex GridModel::indexOfSourceRow(int sourceRow, int column) const
{
    if (sourceRow < 0 || sourceRow >= static_cast<int>(posOf_.size()))
        return {};
    const int pos = posOf_[static_cast<std::size_t>(sourceRow)];
    if (pos < 0)
        return {};
    const Group *node = root_.get();
    while (!node->groups.empty()) {
        const auto &gs = node->groups;
        auto g = std::upper_bound(gs.begin(), gs.end(), pos, [](int p, const std::unique_ptr<Group> &x) {
            return p < x->first;
        });
        node = (g - 1)->get();
    }
    return createIndex(pos - node->first, column, const_cast<Group *>(node));
}

QStringList GridModel::filterValues(int column) const
{
    QStringList out;
    QSet<QString> seen;
    const int n = sourceRowCount();
    for (int r = 0; r < n; ++r) {
        if (!passes(r, column))
            continue;
        const QString t = text(r, column);
        if (!t.trimmed().isEmpty() && !seen.contains(t)) {
            seen.insert(t);
            out.append(t);
        }
    }
    QCollator collator{QLocale(QLocale::Turkish, QLocale::Turkey)};
    collator.setNumericMode(true);
    std::sort(out.begin(), out.end(), collator);
    return out;
}

double GridModel::summaryOver(const GridSummary &s, int first, int count) const
{
    if (s.kind == SummaryKind::Count)
        return count;
    const int sc = sourceColumnOf(s.field);
    if (sc < 0)
        return 0;
    double sum = 0;
    for (int i = first; i < first + count; ++i) {
        double d = 0;
        if (numericValue(source_->data(source_->index(order_[static_cast<std::size_t>(i)], sc), Qt::EditRole), &d))
            sum += d;
    }
    return sum;
}

double GridModel::summaryValue(const GridSummary &summary) const
{
    return summaryOver(summary, 0, static_cast<int>(order_.size()));
}

QString GridModel::summaryText(const GridSummary &s, int first, int count) const
{
    const double v = summaryOver(s, first, count);
    if (s.kind == SummaryKind::Count)
        return QString::number(static_cast<long long>(v));
    QString mask = s.mask;
    if (mask.isEmpty() && maskOf_) {
        const int sc = sourceColumnOf(s.field);
        if (sc >= 0)
            mask = maskOf_(sc);
    }
    return mask.isEmpty() ? plainFloatText(v) : formatFloat(v, mask);
}

namespace {

bool under(const GridSummary &s, const GridColumn &c)
{
    const QString &target = s.column.isEmpty() ? s.field : s.column;
    return !c.field.isEmpty() && target.compare(c.field, Qt::CaseInsensitive) == 0;
}

} // namespace

QString GridModel::footerText(int column) const
{
    if (!columns_ || column < 0 || column >= static_cast<int>(columns_->size()))
        return {};
    QStringList lines;
    for (const GridSummary &s : footer_)
        if (under(s, (*columns_)[static_cast<std::size_t>(column)]))
            lines.append(summaryText(s, 0, static_cast<int>(order_.size())));
    return lines.join(u'\n');
}

QString GridModel::groupFooterText(const Group *g, int column) const
{
    if (!columns_ || column < 0 || column >= static_cast<int>(columns_->size()))
        return {};
    if (g->footerTexts.empty()) {
        g->footerTexts.resize(columns_->size());
        for (std::size_t c = 0; c < columns_->size(); ++c) {
            QStringList lines;
            for (const GridSummary &s : groupSummaries_)
                if (under(s, (*columns_)[c]))
                    lines.append(summaryText(s, g->first, g->count));
            g->footerTexts[c] = lines.join(u'\n');
        }
    }
    return g->footerTexts[static_cast<std::size_t>(column)];
}

int GridModel::findPrefix(int column, const QString &prefix, int from) const
{
    const int n = static_cast<int>(order_.size());
    if (n == 0 || prefix.isEmpty())
        return -1;
    from = std::clamp(from, 0, n - 1);
    for (int i = 0; i < n; ++i) {
        const int pos = (from + i) % n;
        if (text(order_[static_cast<std::size_t>(pos)], column).startsWith(prefix, Qt::CaseInsensitive))
            return pos;
    }
    return -1;
}

QStringList GridModel::groupPath(const QModelIndex &index) const
{
    QStringList path;
    if (rowKind(index) != RowKind::Group)
        return path;
    for (const Group *g = groupAt(static_cast<const Group *>(index.internalPointer()), index.row());
         g && g != root_.get(); g = g->parent)
        path.prepend(g->text);
    return path;
}

QModelIndex GridModel::index(int row, int column, const QModelIndex &parent) const
{
    if (row < 0 || column < 0 || column >= columnCount() || row >= rowCount(parent))
        return {};
    const Group *p = root_.get();
    if (parent.isValid()) {
        p = groupAt(static_cast<const Group *>(parent.internalPointer()), parent.row());
        if (!p)
            return {};
    }
    return createIndex(row, column, const_cast<Group *>(p));
}

QModelIndex GridModel::parent(const QModelIndex &child) const
{
    if (!child.isValid())
        return {};
    return groupIndex(static_cast<const Group *>(child.internalPointer()));
}

int GridModel::rowCount(const QModelIndex &parent) const
{
    const Group *g = root_.get();
    if (parent.isValid()) {
        if (parent.column() != 0 || rowKind(parent) != RowKind::Group)
            return 0;
        g = groupAt(static_cast<const Group *>(parent.internalPointer()), parent.row());
        if (!g)
            return 0;
    }
    return g->groups.empty() ? g->count : static_cast<int>(g->groups.size()) * stride(g);
}

int GridModel::columnCount(const QModelIndex &) const
{
    return columns_ ? static_cast<int>(columns_->size()) : 0;
}

bool GridModel::hasChildren(const QModelIndex &parent) const
{
    return rowCount(parent) > 0;
}

QVariant GridModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !columns_ || index.column() >= static_cast<int>(columns_->size()))
        return {};
    const GridColumn &col = (*columns_)[static_cast<std::size_t>(index.column())];
    const RowKind kind = rowKind(index);
    if (role == RowKindRole)
        return static_cast<int>(kind);
    const auto *p = static_cast<const Group *>(index.internalPointer());
    if (kind != RowKind::Data) {
        const Group *g = groupAt(p, index.row());
        if (!g)
            return {};
        switch (role) {
        case GroupLevelRole: return g->level;
        case SourceRowRole: return -1;
        case Qt::DisplayRole:
        case Qt::AccessibleTextRole:
            if (kind == RowKind::Group) {
                // Every column carries the text: the row is drawn spanned from its first visible column,
                // whichever that is.
                const int gc = grouping_[static_cast<std::size_t>(g->level)];
                return QString(headerData(gc, Qt::Horizontal).toString() + u": " + g->text);
            }
            return groupFooterText(g, index.column());
        case Qt::FontRole:
            if (kind == RowKind::Group) {
                QFont f;
                f.setBold(true);
                return f;
            }
            return {};
        case Qt::TextAlignmentRole:
            return kind == RowKind::Group ? QVariant((Qt::AlignLeft | Qt::AlignVCenter).toInt())
                                          : QVariant((Qt::AlignRight | Qt::AlignVCenter).toInt());
        default: return {};
        }
    }
    const int src = sourceRow(index);
    if (src < 0)
        return {};
    switch (role) {
    case RawValueRole: return value(src, index.column());
    case SourceRowRole: return src;
    case GroupLevelRole: return static_cast<int>(grouping_.size());
    case Qt::DisplayRole:
        switch (col.kind) {
        case CellKind::Text:
        case CellKind::Custom: return text(src, index.column());
        default: return QString();
        }
    case Qt::AccessibleTextRole:
        switch (col.kind) {
        case CellKind::CheckBox:
            return sameValue(value(src, index.column()), col.checkedValue) ? QStringLiteral("Seçili")
                                                                           : QStringLiteral("Seçili değil");
        case CellKind::Picture: {
            const QVariant v = value(src, index.column());
            return v.isValid() && !v.isNull() ? QStringLiteral("Resim") : QString();
        }
        default: return text(src, index.column());
        }
    case Qt::CheckStateRole:
        if (col.kind == CellKind::CheckBox)
            return sameValue(value(src, index.column()), col.checkedValue) ? Qt::Checked : Qt::Unchecked;
        return {};
    case Qt::TextAlignmentRole: {
        Qt::Alignment h = col.alignment & Qt::AlignHorizontal_Mask;
        if (!h) {
            double d = 0;
            const QVariant v = value(src, index.column());
            h = v.typeId() != QMetaType::QString && numericValue(v, &d) ? Qt::AlignRight : Qt::AlignLeft;
        }
        return QVariant((h | (col.vcenter ? Qt::AlignVCenter : Qt::AlignTop)).toInt());
    }
    default: return {};
    }
}

QVariant GridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || !columns_ || section < 0 || section >= static_cast<int>(columns_->size()))
        return {};
    const GridColumn &c = (*columns_)[static_cast<std::size_t>(section)];
    if (role == Qt::DisplayRole || role == Qt::AccessibleTextRole)
        return c.caption.isEmpty() ? c.field : c.caption;
    return {};
}

Qt::ItemFlags GridModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    switch (rowKind(index)) {
    case RowKind::Data: return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
    case RowKind::Group: return Qt::ItemIsEnabled | Qt::ItemIsSelectable;
    case RowKind::Footer: return Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }
    return Qt::NoItemFlags;
}

} // namespace tarvik
