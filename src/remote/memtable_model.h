#pragma once

// The grid's view of an in-memory table: rows and columns of a MemTable as a Qt table model. Display text
// comes through the column's display mask; the edit and user roles give the raw value. The model is
// read-only, as are the program's grids; the current row of the table is the view's business.

#include "memtable.h"

#include <QAbstractTableModel>

namespace tarvik {

class MemTableModel : public QAbstractTableModel, private MemTableListener
{
public:
    explicit MemTableModel(MemTable *table = nullptr, QObject *parent = nullptr);
    ~MemTableModel() override;

    MemTable *table() const { return table_; }
    // Attaches the model to another table, or detaches it (nullptr: no rows, no columns), with one reset.
    // A table filled on a worker thread is detached for the time of the load.
    void setTable(MemTable *table);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    // DisplayRole: MemTable::displayText; EditRole and UserRole: the raw value (invalid for null);
    // TextAlignmentRole: numbers right, everything else left, both vertically centred.
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    // Column names across (the grid sets its own captions), row numbers from 1 down.
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    void tableAboutToBeReset() override;
    void tableReset() override;
    void rowAboutToBeAppended(int row) override;
    void rowAppended() override;
    void rowAboutToBeRemoved(int row) override;
    void rowRemoved() override;
    void rowChanged(int row) override;
    void displayChanged(int column) override;
    void updatesResumed() override;
    void tableDestroyed() override;

    void takeCounts();
    bool live(int row, int col) const;

    MemTable *table_ = nullptr;
    // The rows and columns the view has been told of. They change only between the begin and end calls
    // of the model's signals, so while the table's updates are suspended they stay as they were.
    int rows_ = 0;
    int columns_ = 0;
};

} // namespace tarvik
