#pragma once

// The in-memory table behind every list of the client: a DataTable with a cursor, an edit buffer, display
// masks and change notifications for the grid model (memtable_model.h).
//
// Rows are addressed two ways: by the cursor (first/next/…, field access of the current row, edit/post) and
// by index (value/displayText, for the grid). Row indexes are 0-based.

#include "datatable.h"
#include "errors.h"

#include <QString>
#include <QStringView>
#include <QVariant>

#include <cstdint>
#include <vector>

namespace tarvik {

class TableReader;

// A misuse of an in-memory table: closed table, unknown field, edit call in the wrong state, empty table.
// Class name "EDatabaseError", messages in the toolkit's English wording ("Field 'SEC' not found").
class DatabaseError : public RemoteError
{
public:
    explicit DatabaseError(const QString &message);
};

// Told about every change of a table; the grid model is one. Calls come on the thread that changes the
// table, so a table filled on a worker thread is detached from its model first (MemTableModel::setTable).
// While display updates are suspended only updatesSuspended/updatesResumed and tableDestroyed arrive.
class MemTableListener
{
public:
    virtual ~MemTableListener() = default;

    // Structure and rows replaced, emptied, opened or closed.
    virtual void tableAboutToBeReset() {}
    virtual void tableReset() {}
    // A posted new row, always at the end.
    virtual void rowAboutToBeAppended(int /*row*/) {}
    virtual void rowAppended() {}
    virtual void rowAboutToBeRemoved(int /*row*/) {}
    virtual void rowRemoved() {}
    // A posted edit of an existing row.
    virtual void rowChanged(int /*row*/) {}
    // The display mask of a column changed.
    virtual void displayChanged(int /*column*/) {}
    // disableControls() from 0 to 1, enableControls() from 1 to 0.
    virtual void updatesSuspended() {}
    virtual void updatesResumed() {}
    virtual void tableDestroyed() {}
};

// Parsed form of a number display mask in the toolkit's FormatFloat syntax: up to three sections
// (positive;negative;zero) separated by ';', each with '0' (a digit always shown), '#' (a digit shown when
// significant), one '.' (decimal separator) and ',' (anywhere before the '.': thousands separators); text
// before the first and after the last placeholder, quoted or not, is copied. The minus sign goes right in
// front of the digits; with a negative section the value is shown without sign. Exponent forms ("0.0E+00")
// are not supported.
struct NumberMask
{
    struct Section
    {
        QString prefix;
        QString suffix;
        int minInt = 0;   // digits before the separator always shown ('0' placeholders from the first '0' on)
        int minFrac = 0;  // decimals always shown
        int maxFrac = 0;  // decimals at most
        bool group = false;
    };
    Section sections[3];
    int sectionCount = 0; // 0: no mask

    static NumberMask parse(QStringView mask);
    bool isEmpty() const { return sectionCount == 0; }
};

// The toolkit's FormatFloat under Turkish number settings ("," decimal, "." thousands): the value is taken
// at 15 significant digits, as it prints (from 1e12 on: the shortest text that reads back as the same
// double), and rounded on that decimal form with halves away from zero, so 2.675 with "0.00" gives "2,68"
// and 1.15 * 3 (3.4499999999999997) gives "3,45". These are the digits IkiHaneYuvarla (money.h) rounds, so
// a rounded amount and its display agree. A value that rounds to zero shows no minus sign.
QString formatFloat(double value, QStringView mask);
QString formatFloat(double value, const NumberMask &mask);
QString formatInteger(std::int64_t value, const NumberMask &mask);
// A number in the plain form of the settings, as FloatToStr writes it: up to 15 significant digits,
// no thousands separators, trailing zeros dropped, exponent form ("1,5E-7", "1E20") outside 1E-5 .. 1E15.
QString plainFloatText(double value);

class MemTable
{
public:
    enum class State { Inactive, Browse, Edit, Insert };

    // `name` (as "sepet") only prefixes the messages of its errors.
    explicit MemTable(QString name = {});
    ~MemTable();
    MemTable(const MemTable &) = delete;
    MemTable &operator=(const MemTable &) = delete;

    const QString &name() const { return name_; }

    // --- Opening and filling. Each of these drops a pending edit, resets the model, clears the display
    // masks when the structure is replaced, and leaves the cursor on the first row.
    bool isOpen() const { return state_ != State::Inactive; }
    State state() const { return state_; }
    // Structure and rows dropped; the table is closed until it is filled again.
    void close();
    // Opens an empty table of these columns.
    void createTable(const std::vector<DataColumn> &columns);
    // A data packet: structure and rows replaced by the packet's, moved in without touching the cells.
    void assignDataPacket(DataTable packet);
    // Structure and rows replaced by a copy (a few allocations per column, none per cell).
    void copyFrom(const DataTable &table);
    void copyFrom(const TableReader &reader);
    // Rows removed, structure and masks kept. The table must be open.
    void emptyTable();

    // --- Structure.
    int columnCount() const { return table_.columnCount(); }
    const DataColumn &column(int col) const { return table_.column(col); }
    DbxType columnType(int col) const { return table_.column(col).type; }
    // Index of a column by name, without regard to case; -1 when there is none.
    int fieldIndex(QStringView name) const;
    bool hasField(QStringView name) const { return fieldIndex(name) >= 0; }

    // --- Cursor. recordCount() is 0, recNo() -1 and eof()/bof() true on a closed table; the moves raise
    // DatabaseError on a closed table. Like the toolkit, next() on the last row stays there and sets eof(),
    // prior() on the first row sets bof(), first() sets bof(), last() sets eof(). A pending edit is posted
    // (or, when nothing was changed, cancelled) before the cursor moves.
    int recordCount() const;
    int recNo() const { return row_; }
    void setRecNo(int row);
    void first();
    void next();
    void prior();
    void last();
    bool eof() const { return eof_; }
    bool bof() const { return bof_; }

    // Moves to the first row whose column `column` holds `value` and returns true; returns false and leaves
    // the cursor where it was when no row does. Comparison by value, after the column's type:
    //  - number columns (Int32, Int64, Double, Boolean): numeric equality; text is read as a number with the
    //    Turkish or the C decimal separator, so "1", 1 and 1.0 all find a cell holding 1; text that is not a
    //    number finds nothing;
    //  - text columns: the value as text (numbers in their plain form), compared with `cs`, by default
    //    without regard to case (simple case folding: "i" and "İ" are different letters);
    //  - other columns: the value converted to the column's type, then equal;
    //  - a null (invalid) QVariant finds a null cell.
    bool locate(QStringView column, const QVariant &value, Qt::CaseSensitivity cs = Qt::CaseInsensitive);

    // --- Fields of the current row. In edit and insert state they read the edit buffer. On an open table
    // without rows every field is null. An unknown name raises DatabaseError.
    QVariant field(QStringView name) const { return field(requireField(name)); }
    QVariant field(int col) const;
    bool fieldIsNull(QStringView name) const { return fieldIsNull(requireField(name)); }
    bool fieldIsNull(int col) const;
    // The field as text without mask: text as is, numbers in their plain form, null as empty.
    QString fieldText(QStringView name) const { return fieldText(requireField(name)); }
    QString fieldText(int col) const;
    // The field as the grid shows it: the column's display mask applied.
    QString fieldDisplayText(QStringView name) const { return fieldDisplayText(requireField(name)); }
    QString fieldDisplayText(int col) const;
    // Numbers as they are; text read as a number (ConversionError when it is none); null as 0.
    double fieldDouble(QStringView name) const { return fieldDouble(requireField(name)); }
    double fieldDouble(int col) const;
    // As fieldDouble, a fractional value rounded half away from zero.
    int fieldInt(QStringView name) const { return static_cast<int>(fieldInt64(requireField(name))); }
    int fieldInt(int col) const { return static_cast<int>(fieldInt64(col)); }
    std::int64_t fieldInt64(QStringView name) const { return fieldInt64(requireField(name)); }
    std::int64_t fieldInt64(int col) const;

    // --- Editing. edit() puts the current row into edit state (on an empty table it starts a new row);
    // append() starts a new row, placed at the end when posted. setField() converts the value to the
    // column's type at once (ConversionError when it does not fit) and writes it into the edit buffer;
    // post() writes the buffer into the row and tells the model, cancel() drops it. post() and cancel()
    // outside edit and insert state do nothing; setField() there raises DatabaseError.
    void edit();
    void append();
    void setField(QStringView name, const QVariant &value) { setField(requireField(name), value); }
    void setField(int col, const QVariant &value);
    void post();
    void cancel();
    bool isModified() const { return modified_; }
    // append(), one setField() per given value (missing trailing values null) and post().
    void appendRecord(const std::vector<QVariant> &values);
    // Removes the current row; the cursor stays on the row that moves into its place (the new last row
    // when the last one was removed). In insert state it only cancels the new row.
    void deleteRow();

    // --- Cells by row index, as posted (the edit buffer is not shown). `row` < recordCount().
    QVariant value(int row, int col) const { return table_.value(physical(row), col); }
    bool isNull(int row, int col) const { return table_.isNull(physical(row), col); }
    // The cell as the grid shows it: number columns through their display mask, or in the plain form
    // without one; text as is; dates as dd.MM.yyyy (with " hh:mm:ss" when the time is not midnight);
    // booleans as True/False; null as empty.
    QString displayText(int row, int col) const;

    // --- Display masks of number columns (Int32, Int64, Double); on other columns they are kept but not
    // used. An empty mask removes it.
    void setDisplayMask(int col, const QString &mask);
    void setDisplayMask(QStringView name, const QString &mask) { setDisplayMask(requireField(name), mask); }
    QString displayMask(int col) const;

    // --- Display-update suspension, counted: changes between disableControls() and the matching
    // enableControls() do not reach the model; the last enableControls() resets it once.
    void disableControls();
    void enableControls();
    bool controlsDisabled() const { return disabled_ > 0; }

    void addListener(MemTableListener *listener);
    void removeListener(MemTableListener *listener);

private:
    struct Mask
    {
        QString text;
        NumberMask parsed;
    };

    int physical(int row) const { return mapped_ ? map_[static_cast<std::size_t>(row)] : row; }
    static std::uint32_t nameHash(QStringView name);
    void hashNames();
    int requireField(QStringView name) const;
    void requireOpen() const;
    [[noreturn]] void fail(const QString &message) const;
    void replace(DataTable &&table, bool keepMasks);
    void resetCursor();
    void browseMode();
    void startEdit(State state);
    void dropEdit();
    void compact();
    QString cellText(const QVariant &v, int col, bool masked) const;
    const NumberMask *maskOf(int col) const;

    template<class F>
    void notify(F &&f)
    {
        if (disabled_ > 0)
            return;
        for (std::size_t i = 0; i < listeners_.size(); ++i)
            f(listeners_[i]);
    }

    QString name_;
    DataTable table_;
    // A hash per column name, case folded, so that a lookup by name compares one name, not every one.
    std::vector<std::uint32_t> nameHashes_;
    // Logical row -> row of table_, kept only once a row has been deleted; until then the two are the same.
    std::vector<int> map_;
    bool mapped_ = false;
    State state_ = State::Inactive;
    int row_ = -1;
    bool eof_ = true;
    bool bof_ = true;
    // Edit buffer: a value per column, used where `touched_` is set.
    std::vector<QVariant> pending_;
    std::vector<std::uint8_t> touched_;
    bool modified_ = false;
    std::vector<Mask> masks_;
    int disabled_ = 0;
    std::vector<MemTableListener *> listeners_;
};

} // namespace tarvik

// Gives every plain floating-point column (DbxType::Double) the display mask "#,###,##0.00"; integer,
// text and other columns keep theirs.
void SayiBicimiAyarla(tarvik::MemTable &table);
// True when the table is open and holds at least one row.
bool VeriVarmi(const tarvik::MemTable &table);
// False, without moving, when VeriVarmi is false. Otherwise walks from the first row and stops on the
// first row whose "SEC" equals 1 (true, cursor left there); false with the cursor at the end (eof) when
// there is none. A table without a "SEC" column raises DatabaseError.
bool SeciliVarmi(tarvik::MemTable &table);
