#include "memtable_model.h"

namespace tarvik {

namespace {

bool isNumber(DbxType t)
{
    return t == DbxType::Int32 || t == DbxType::Int64 || t == DbxType::Double;
}

} // namespace

MemTableModel::MemTableModel(MemTable *table, QObject *parent) : QAbstractTableModel(parent)
{
    setTable(table);
}

MemTableModel::~MemTableModel()
{
    if (table_)
        table_->removeListener(this);
}

void MemTableModel::setTable(MemTable *table)
{
    if (table == table_)
        return;
    beginResetModel();
    if (table_)
        table_->removeListener(this);
    table_ = table;
    if (table_)
        table_->addListener(this);
    takeCounts();
    endResetModel();
}

void MemTableModel::takeCounts()
{
    rows_ = table_ && table_->isOpen() ? table_->recordCount() : 0;
    columns_ = table_ && table_->isOpen() ? table_->columnCount() : 0;
}

// A cell the view may ask for that the table still has: while updates are suspended the table can have
// shrunk under the counts the view knows.
bool MemTableModel::live(int row, int col) const
{
    return table_ && row >= 0 && col >= 0 && row < rows_ && col < columns_ && row < table_->recordCount()
           && col < table_->columnCount();
}

int MemTableModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int MemTableModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : columns_;
}

QVariant MemTableModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || !live(index.row(), index.column()))
        return {};
    switch (role) {
    case Qt::DisplayRole: return table_->displayText(index.row(), index.column());
    case Qt::EditRole:
    case Qt::UserRole: return table_->value(index.row(), index.column());
    case Qt::TextAlignmentRole: {
        const Qt::Alignment a = isNumber(table_->columnType(index.column())) ? Qt::AlignRight | Qt::AlignVCenter
                                                                            : Qt::AlignLeft | Qt::AlignVCenter;
        return QVariant(a.toInt());
    }
    default: return {};
    }
}

QVariant MemTableModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return {};
    if (orientation == Qt::Vertical)
        return section >= 0 && section < rows_ ? QVariant(section + 1) : QVariant();
    if (!table_ || section < 0 || section >= columns_ || section >= table_->columnCount())
        return {};
    return table_->column(section).name;
}

Qt::ItemFlags MemTableModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void MemTableModel::tableAboutToBeReset()
{
    beginResetModel();
}

void MemTableModel::tableReset()
{
    takeCounts();
    endResetModel();
}

void MemTableModel::rowAboutToBeAppended(int row)
{
    beginInsertRows(QModelIndex(), row, row);
}

void MemTableModel::rowAppended()
{
    ++rows_;
    endInsertRows();
}

void MemTableModel::rowAboutToBeRemoved(int row)
{
    beginRemoveRows(QModelIndex(), row, row);
}

void MemTableModel::rowRemoved()
{
    --rows_;
    endRemoveRows();
}

void MemTableModel::rowChanged(int row)
{
    if (row < 0 || row >= rows_ || columns_ == 0)
        return;
    Q_EMIT dataChanged(index(row, 0), index(row, columns_ - 1));
}

void MemTableModel::displayChanged(int column)
{
    if (column < 0 || column >= columns_ || rows_ == 0)
        return;
    Q_EMIT dataChanged(index(0, column), index(rows_ - 1, column), {Qt::DisplayRole});
}

void MemTableModel::updatesResumed()
{
    beginResetModel();
    takeCounts();
    endResetModel();
}

void MemTableModel::tableDestroyed()
{
    beginResetModel();
    table_ = nullptr;
    takeCounts();
    endResetModel();
}

} // namespace tarvik
