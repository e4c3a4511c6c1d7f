// The in-memory table: cursor, locate, edit/post, display masks, the table helpers and the grid model.

#include "memtable.h"
#include "memtable_model.h"
#include "money.h"
#include "servermethods.h"

#include <QDate>
#include <QDateTime>

#include <gtest/gtest.h>

#include <functional>
#include <limits>

using namespace tarvik;

namespace {

// A basket as the server sends it, five lines.
DataTable basket()
{
    DataTable t;
    t.addColumn(QStringLiteral("SIRANO"), DbxType::Int32);
    t.addColumn(QStringLiteral("STOKADI"), DbxType::WideString, 100);
    t.addColumn(QStringLiteral("MIKTAR"), DbxType::Double);
    t.addColumn(QStringLiteral("SEC"), DbxType::Int32);
    t.addColumn(QStringLiteral("TUTAR"), DbxType::Double);
    t.appendRow({11, QStringLiteral("FREN BALATASI ÖN"), 2.0, 0, 1234.5});
    t.appendRow({12, QStringLiteral("YAĞ FİLTRESİ"), 1.0, 0, 87.25});
    t.appendRow({13, QStringLiteral("1"), 4.0, 1, QVariant()});
    t.appendRow({14, QVariant(), 1.5, 0, 0.005});
    t.appendRow({15, QStringLiteral("BUJİ"), QVariant(), 1, -10.0});
    return t;
}

// Counts what a model tells its views.
struct ModelSignals
{
    explicit ModelSignals(MemTableModel &model)
    {
        QObject::connect(&model, &QAbstractItemModel::modelAboutToBeReset, &model, [this] { ++aboutToReset; });
        QObject::connect(&model, &QAbstractItemModel::modelReset, &model, [this] { ++reset; });
        QObject::connect(&model, &QAbstractItemModel::rowsInserted, &model,
                         [this](const QModelIndex &, int first, int last) { inserted.push_back({first, last}); });
        QObject::connect(&model, &QAbstractItemModel::rowsRemoved, &model,
                         [this](const QModelIndex &, int first, int last) { removed.push_back({first, last}); });
        QObject::connect(&model, &QAbstractItemModel::dataChanged, &model,
                         [this](const QModelIndex &tl, const QModelIndex &br) {
                             changed.push_back({tl.row(), tl.column(), br.row(), br.column()});
                         });
    }
    int total() const
    {
        return aboutToReset + reset + static_cast<int>(inserted.size() + removed.size() + changed.size());
    }
    void clear() { *this = ModelSignals(); }

    int aboutToReset = 0;
    int reset = 0;
    std::vector<std::vector<int>> inserted;
    std::vector<std::vector<int>> removed;
    std::vector<std::vector<int>> changed;

private:
    ModelSignals() = default;
};

} // namespace

TEST(MemTable, CursorWalksTheRowsLikeTheToolkit)
{
    MemTable t(QStringLiteral("sepet"));
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.recNo(), -1);
    EXPECT_TRUE(t.eof() && t.bof());
    EXPECT_THROW(t.first(), DatabaseError);
    EXPECT_THROW(t.field(u"SIRANO"), DatabaseError);

    t.assignDataPacket(basket());
    ASSERT_TRUE(t.isOpen());
    ASSERT_EQ(t.recordCount(), 5);

    struct Step
    {
        const char *what;
        std::function<void(MemTable &)> op;
        int recNo;
        bool bof;
        bool eof;
        int sirano;
    };
    const std::vector<Step> steps = {
        {"opened", [](MemTable &) {}, 0, true, false, 11},
        {"next", [](MemTable &m) { m.next(); }, 1, false, false, 12},
        {"last", [](MemTable &m) { m.last(); }, 4, false, true, 15},
        {"next past the end", [](MemTable &m) { m.next(); }, 4, false, true, 15},
        {"prior", [](MemTable &m) { m.prior(); }, 3, false, false, 14},
        {"first", [](MemTable &m) { m.first(); }, 0, true, false, 11},
        {"prior before the start", [](MemTable &m) { m.prior(); }, 0, true, false, 11},
        {"setRecNo", [](MemTable &m) { m.setRecNo(2); }, 2, false, false, 13},
        {"emptied", [](MemTable &m) { m.emptyTable(); }, -1, true, true, 0},
        {"next on empty", [](MemTable &m) { m.next(); }, -1, true, true, 0},
        {"last on empty", [](MemTable &m) { m.last(); }, -1, true, true, 0},
    };
    for (const Step &s : steps) {
        SCOPED_TRACE(s.what);
        s.op(t);
        EXPECT_EQ(t.recNo(), s.recNo);
        EXPECT_EQ(t.bof(), s.bof);
        EXPECT_EQ(t.eof(), s.eof);
        EXPECT_EQ(t.fieldInt(u"sirano"), s.sirano); // names without regard to case; null on an empty table
    }
    EXPECT_THROW(t.setRecNo(0), DatabaseError);
    EXPECT_THROW(t.field(u"YOK"), DatabaseError);
    EXPECT_FALSE(t.hasField(u"YOK"));
    EXPECT_TRUE(t.hasField(u"Sec"));

    // The usual walk visits every row once and reads typed fields.
    t.assignDataPacket(basket());
    std::vector<int> seen;
    double sum = 0;
    for (t.first(); !t.eof(); t.next()) {
        seen.push_back(t.fieldInt(u"SIRANO"));
        sum += t.fieldDouble(u"TUTAR");
    }
    EXPECT_EQ(seen, (std::vector<int>{11, 12, 13, 14, 15}));
    EXPECT_DOUBLE_EQ(sum, 1234.5 + 87.25 + 0.005 - 10.0);
    t.setRecNo(3);
    EXPECT_EQ(t.fieldText(u"STOKADI"), QString());
    EXPECT_TRUE(t.fieldIsNull(u"STOKADI"));
    EXPECT_EQ(t.fieldText(u"MIKTAR"), QStringLiteral("1,5"));
    EXPECT_EQ(t.fieldInt(u"MIKTAR"), 2); // half away from zero
    t.close();
    EXPECT_FALSE(t.isOpen());
    EXPECT_EQ(t.columnCount(), 0);
    EXPECT_EQ(t.recNo(), -1);
}

TEST(MemTable, LocateComparesByValueAndLeavesTheCursorWhenNothingMatches)
{
    DataTable d;
    d.addColumn(QStringLiteral("SIRANO"), DbxType::Int32);
    d.addColumn(QStringLiteral("ADI"), DbxType::WideString);
    d.addColumn(QStringLiteral("FIYAT"), DbxType::Double);
    d.addColumn(QStringLiteral("KOD"), DbxType::Int64);
    d.addColumn(QStringLiteral("TARIH"), DbxType::Date);
    d.addColumn(QStringLiteral("VAR"), DbxType::Boolean);
    const qlonglong big = (1LL << 53) + 1; // not representable as a double
    d.appendRow({1, QStringLiteral("FREN BALATASI"), 43.5, big, QDate(2024, 3, 1), false});
    d.appendRow({2, QStringLiteral("1"), QVariant(), 7, QDate(2024, 3, 2), true});
    d.appendRow({3, QStringLiteral("YAĞ FİLTRESİ"), 1.0, QVariant(), QVariant(), QVariant()});
    d.appendRow({QVariant(), QStringLiteral("yağ filtresi"), 0.1 + 0.2, 9, QDate(2024, 3, 1), true});

    MemTable t;
    t.assignDataPacket(std::move(d));

    struct Case
    {
        const char16_t *column;
        QVariant value;
        int row; // -1: not found
        Qt::CaseSensitivity cs = Qt::CaseInsensitive;
    };
    const std::vector<Case> cases = {
        {u"SIRANO", 3, 2},
        {u"sirano", QStringLiteral(" 3 "), 2},
        {u"SIRANO", 3.0, 2},
        {u"SIRANO", 3.5, -1},
        {u"SIRANO", QStringLiteral("abc"), -1},
        {u"SIRANO", QVariant(), 3},
        {u"ADI", QStringLiteral("fren balatasi"), 0},
        {u"ADI", QStringLiteral("fren balatasi"), -1, Qt::CaseSensitive},
        {u"ADI", QStringLiteral("FREN"), -1},
        {u"ADI", 1, 1},
        {u"ADI", QStringLiteral("yağ filtresi"), 3, Qt::CaseSensitive},
        {u"FIYAT", 43.5, 0},
        {u"FIYAT", QStringLiteral("43,5"), 0},
        {u"FIYAT", QStringLiteral("43.5"), 0},
        {u"FIYAT", 1, 2},
        {u"FIYAT", 0.3, -1}, // numeric equality is exact: 0.1 + 0.2 is not 0.3
        {u"FIYAT", QVariant(), 1},
        {u"KOD", big, 0},
        {u"KOD", big - 1, -1},
        {u"KOD", QStringLiteral("9"), 3},
        {u"TARIH", QDate(2024, 3, 2), 1},
        {u"TARIH", QDate(2024, 3, 3), -1},
        {u"VAR", true, 1},
        {u"VAR", 0, 0},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QStringView(c.column).toString().toStdString() + " = " + c.value.toString().toStdString());
        t.setRecNo(1);
        const bool found = t.locate(QStringView(c.column), c.value, c.cs);
        EXPECT_EQ(found, c.row >= 0);
        EXPECT_EQ(t.recNo(), c.row >= 0 ? c.row : 1);
        EXPECT_FALSE(t.eof() || t.bof());
    }
    EXPECT_THROW(t.locate(u"YOK", 1), DatabaseError);
}

TEST(MemTable, EditsShowOnlyAfterPostAndReachTheModelOnce)
{
    MemTable t;
    t.assignDataPacket(basket());
    SayiBicimiAyarla(t);
    MemTableModel model(&t);
    ModelSignals sig(model);
    const int miktar = t.fieldIndex(u"MIKTAR");

    EXPECT_THROW(t.setField(u"MIKTAR", 3), DatabaseError); // not in edit state

    // Cancel drops the buffer.
    t.setRecNo(1);
    t.edit();
    EXPECT_EQ(t.state(), MemTable::State::Edit);
    t.setField(u"MIKTAR", QStringLiteral("3,5"));
    EXPECT_EQ(t.field(u"MIKTAR"), QVariant(3.5));            // the buffer
    EXPECT_EQ(t.value(1, miktar), QVariant(1.0));            // the row, as posted
    EXPECT_EQ(model.data(model.index(1, miktar)), QVariant(QStringLiteral("1,00")));
    t.cancel();
    EXPECT_EQ(t.state(), MemTable::State::Browse);
    EXPECT_EQ(t.field(u"MIKTAR"), QVariant(1.0));
    EXPECT_EQ(sig.total(), 0);

    // Post writes the buffer and tells the model about that row only.
    t.edit();
    t.setField(u"MIKTAR", 3.5);
    t.setField(u"STOKADI", QStringLiteral("YAĞ FİLTRESİ UZUN"));
    t.setField(u"TUTAR", QVariant());
    EXPECT_THROW(t.setField(u"SIRANO", QStringLiteral("on iki")), ConversionError);
    EXPECT_EQ(sig.total(), 0);
    t.post();
    EXPECT_EQ(t.value(1, miktar), QVariant(3.5));
    EXPECT_EQ(t.fieldText(u"STOKADI"), QStringLiteral("YAĞ FİLTRESİ UZUN"));
    EXPECT_TRUE(t.fieldIsNull(u"TUTAR"));
    EXPECT_EQ(t.fieldInt(u"SIRANO"), 12);
    EXPECT_EQ(model.data(model.index(1, miktar)), QVariant(QStringLiteral("3,50")));
    ASSERT_EQ(sig.changed.size(), 1u);
    EXPECT_EQ(sig.changed[0], (std::vector<int>{1, 0, 1, t.columnCount() - 1}));
    EXPECT_EQ(t.fieldText(u"STOKADI"), t.displayText(1, 1));
    EXPECT_EQ(t.displayText(0, 1), QStringLiteral("FREN BALATASI ÖN")); // neighbours untouched
    EXPECT_EQ(t.displayText(2, 1), QStringLiteral("1"));

    // Moving the cursor posts a pending edit.
    sig.clear();
    t.first();
    t.edit();
    t.setField(u"SEC", true);
    t.next();
    EXPECT_EQ(t.value(0, t.fieldIndex(u"SEC")), QVariant(1));
    EXPECT_EQ(sig.changed.size(), 1u);

    // Append: the new row exists only after post, at the end, and the cursor is on it.
    sig.clear();
    t.append();
    t.setField(u"SIRANO", 16.0);
    t.setField(u"STOKADI", QStringLiteral("ANTİFRİZ"));
    EXPECT_EQ(t.fieldInt(u"SIRANO"), 16);
    EXPECT_EQ(t.recordCount(), 5);
    EXPECT_EQ(model.rowCount(), 5);
    t.post();
    EXPECT_EQ(t.recordCount(), 6);
    EXPECT_EQ(t.recNo(), 5);
    EXPECT_TRUE(t.fieldIsNull(u"MIKTAR"));
    EXPECT_EQ(model.rowCount(), 6);
    ASSERT_EQ(sig.inserted.size(), 1u);
    EXPECT_EQ(sig.inserted[0], (std::vector<int>{5, 5}));
    t.append();
    t.setField(u"SIRANO", 17);
    t.cancel();
    EXPECT_EQ(t.recordCount(), 6);
    EXPECT_EQ(t.recNo(), 5);

    // Delete: the next row moves into place.
    sig.clear();
    t.first();
    t.deleteRow();
    EXPECT_EQ(t.recordCount(), 5);
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_EQ(t.fieldInt(u"SIRANO"), 12);
    ASSERT_EQ(sig.removed.size(), 1u);
    EXPECT_EQ(sig.removed[0], (std::vector<int>{0, 0}));
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.data(model.index(0, 0), Qt::EditRole), QVariant(12));
    t.last();
    t.deleteRow();
    EXPECT_EQ(t.recNo(), 3);
    EXPECT_EQ(t.fieldInt(u"SIRANO"), 15);

    // Edit on an empty table starts a new row, as in the toolkit.
    t.emptyTable();
    EXPECT_THROW(t.deleteRow(), DatabaseError);
    t.edit();
    EXPECT_EQ(t.state(), MemTable::State::Insert);
    t.setField(u"SIRANO", 1);
    t.post();
    EXPECT_EQ(t.recordCount(), 1);
}

TEST(MemTable, DeletedRowsLeaveTheOthersIntact)
{
    DataTable d;
    d.addColumn(QStringLiteral("NO"), DbxType::Int32);
    d.addColumn(QStringLiteral("ADI"), DbxType::WideString);
    d.addColumn(QStringLiteral("F"), DbxType::Double);
    d.addColumn(QStringLiteral("T"), DbxType::Date);
    for (int i = 0; i < 1000; ++i) {
        const QVariant date = i % 7 ? QVariant(QDate(2024, 1, 1).addDays(i)) : QVariant();
        d.appendRow({i, QStringLiteral("S%1").arg(i), i * 0.5, date});
    }
    MemTable t;
    t.assignDataPacket(std::move(d));

    // Every even row, walking; then the first 100 that remain (which makes the table rebuild itself).
    for (t.first(); !t.eof(); t.next())
        t.deleteRow();
    ASSERT_EQ(t.recordCount(), 500);
    for (int i = 0; i < 100; ++i) {
        t.first();
        t.deleteRow();
    }
    ASSERT_EQ(t.recordCount(), 400);
    t.append();
    t.setField(u"NO", 5000);
    t.post();
    t.setRecNo(10);
    t.edit();
    t.setField(u"ADI", QStringLiteral("DEĞİŞTİ"));
    t.post();
    for (int r = 0; r < 400; ++r) {
        const int i = 201 + 2 * r;
        SCOPED_TRACE(r);
        ASSERT_EQ(t.value(r, 0), QVariant(i));
        ASSERT_EQ(t.displayText(r, 1), r == 10 ? QStringLiteral("DEĞİŞTİ") : QStringLiteral("S%1").arg(i));
        ASSERT_EQ(t.value(r, 2), QVariant(i * 0.5));
        ASSERT_EQ(t.isNull(r, 3), i % 7 == 0);
    }
    EXPECT_EQ(t.value(400, 0), QVariant(5000));
    EXPECT_TRUE(t.locate(u"ADI", QStringLiteral("s999")));
    EXPECT_EQ(t.recNo(), 399);
}

TEST(MemTable, AssigningAPacketReplacesStructureRowsAndMasks)
{
    MemTable t;
    MemTableModel model(&t);
    ModelSignals sig(model);
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 0);

    t.assignDataPacket(basket());
    SayiBicimiAyarla(t);
    t.setRecNo(3);
    EXPECT_EQ(sig.reset, 1);
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 5);

    DataTable other;
    other.addColumn(QStringLiteral("IDNO"), DbxType::Int64);
    other.addColumn(QStringLiteral("TUTAR"), DbxType::Double);
    other.appendRow({qlonglong(900), 1234.5});
    other.appendRow({qlonglong(901), 2.0});
    sig.clear();
    t.assignDataPacket(other);
    EXPECT_EQ(sig.aboutToReset, 1);
    EXPECT_EQ(sig.reset, 1);
    EXPECT_EQ(sig.total(), 2);
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.columnCount(), 2);
    EXPECT_FALSE(t.hasField(u"SIRANO"));
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_TRUE(t.bof());
    EXPECT_EQ(t.displayMask(1), QString()); // the masks belonged to the old columns
    EXPECT_EQ(t.displayText(0, 1), QStringLiteral("1234,5"));
    EXPECT_EQ(model.rowCount(), 2);
    EXPECT_EQ(model.columnCount(), 2);
    EXPECT_EQ(model.headerData(0, Qt::Horizontal), QVariant(QStringLiteral("IDNO")));
    EXPECT_EQ(model.headerData(1, Qt::Horizontal), QVariant(QStringLiteral("TUTAR")));

    // A table reader is copied whole, wherever the reader stands.
    TableReader reader(basket());
    reader.next();
    reader.next();
    sig.clear();
    t.copyFrom(reader);
    EXPECT_EQ(sig.reset, 1);
    EXPECT_EQ(t.recordCount(), 5);
    EXPECT_EQ(t.columnCount(), 5);
    EXPECT_EQ(t.recNo(), 0);
    EXPECT_EQ(t.fieldInt(u"SIRANO"), 11);
    EXPECT_EQ(reader.table().rowCount(), 5);

    // Emptying keeps columns and masks.
    SayiBicimiAyarla(t);
    sig.clear();
    t.emptyTable();
    EXPECT_EQ(sig.reset, 1);
    EXPECT_TRUE(t.isOpen());
    EXPECT_EQ(t.recordCount(), 0);
    EXPECT_EQ(t.columnCount(), 5);
    EXPECT_EQ(t.displayMask(t.fieldIndex(u"TUTAR")), QStringLiteral("#,###,##0.00"));
    EXPECT_EQ(model.rowCount(), 0);
    EXPECT_EQ(model.columnCount(), 5);

    sig.clear();
    t.close();
    EXPECT_EQ(sig.reset, 1);
    EXPECT_EQ(model.columnCount(), 0);
    EXPECT_THROW(t.emptyTable(), DatabaseError);
}

TEST(MemTable, DisplayMasksFormatUnderTurkishNumberSettings)
{
    struct Case
    {
        QVariant value;
        DbxType type;
        const char16_t *mask;
        const char16_t *text;
    };
    const char16_t *money = u"#,###,##0.00";
    const char16_t *twoDigits = u"#,###,##00.00";
    const std::vector<Case> cases = {
        {1234.5, DbxType::Double, money, u"1.234,50"},
        {0.5, DbxType::Double, money, u"0,50"},
        {-1234567.891, DbxType::Double, money, u"-1.234.567,89"},
        {0.0, DbxType::Double, money, u"0,00"},
        {0.005, DbxType::Double, money, u"0,01"},
        {999.995, DbxType::Double, money, u"1.000,00"},
        {2.675, DbxType::Double, money, u"2,68"},
        {-2.675, DbxType::Double, money, u"-2,68"},
        {-0.004, DbxType::Double, money, u"0,00"},
        {-0.005, DbxType::Double, money, u"-0,01"},
        {1.15 * 3, DbxType::Double, money, u"3,45"}, // 3.4499999999999997 as it prints: 3.45
        {123456789012.345, DbxType::Double, money, u"123.456.789.012,35"},
        {100.0, DbxType::Double, money, u"100,00"},
        {1e15 + 0.5, DbxType::Double, money, u"1.000.000.000.000.000,50"},
        {QVariant(), DbxType::Double, money, u""},
        {5.0, DbxType::Double, twoDigits, u"05,00"},
        {1234.5, DbxType::Double, twoDigits, u"1.234,50"},
        {0.0, DbxType::Double, twoDigits, u"00,00"},
        {-5.0, DbxType::Double, twoDigits, u"-05,00"},
        {0.5, DbxType::Double, u"#,###,##.00", u",50"},
        {1234.567, DbxType::Double, u"#,###,##.00", u"1.234,57"},
        {1.005, DbxType::Double, u"0.##", u"1,01"},
        {2.0, DbxType::Double, u"0.##", u"2"},
        {-5.0, DbxType::Double, u"0.00;(0.00)", u"(5,00)"},
        {0.0, DbxType::Double, u"0.00;(0.00);'yok'", u"yok"},
        {12.5, DbxType::Double, u"% 0.0", u"% 12,5"},
        {1234567, DbxType::Int32, u"#,##0", u"1.234.567"},
        {-42, DbxType::Int32, money, u"-42,00"},
        {qlonglong(9007199254740993LL), DbxType::Int64, u"#,##0", u"9.007.199.254.740.993"},
        // No mask: the plain form.
        {1234.5, DbxType::Double, u"", u"1234,5"},
        {-0.25, DbxType::Double, u"", u"-0,25"},
        {0.1 + 0.2, DbxType::Double, u"", u"0,3"},
        {0.00001, DbxType::Double, u"", u"0,00001"},
        {0.0000015, DbxType::Double, u"", u"1,5E-6"},
        {1.5e-7, DbxType::Double, u"", u"1,5E-7"},
        {1e20, DbxType::Double, u"", u"1E20"},
        {1234567, DbxType::Int32, u"", u"1234567"},
        {QStringLiteral("FREN BALATASI"), DbxType::WideString, money, u"FREN BALATASI"},
        {QVariant(), DbxType::WideString, u"", u""},
        {QDate(2024, 3, 1), DbxType::Date, u"", u"01.03.2024"},
        {QDateTime(QDate(2024, 3, 1), QTime(0, 0)), DbxType::DateTime, u"", u"01.03.2024"},
        {QDateTime(QDate(2024, 3, 1), QTime(14, 5, 9)), DbxType::DateTime, u"", u"01.03.2024 14:05:09"},
        {true, DbxType::Boolean, u"", u"True"},
    };
    for (const Case &c : cases) {
        const QString mask = QStringView(c.mask).toString();
        SCOPED_TRACE(QString(c.value.toString() + QStringLiteral(" | ") + mask).toStdString());
        MemTable t;
        t.createTable({DataColumn{QStringLiteral("X"), c.type, 0}});
        t.appendRecord({c.value});
        t.setDisplayMask(0, mask);
        EXPECT_EQ(t.displayText(0, 0), QStringView(c.text));
        EXPECT_EQ(t.fieldDisplayText(u"X"), QStringView(c.text));
        if (c.type == DbxType::Double && c.value.isValid()) {
            EXPECT_EQ(formatFloat(c.value.toDouble(), QStringView(c.mask)), QStringView(c.text));
        }
    }
}

TEST(MemTable, MaskRoundingAgreesWithTheMoneyRounding)
{
    // A total is rounded with IkiHaneYuvarla and shown with a two-decimal mask: showing the unrounded
    // value must give the same text as showing the rounded one.
    const double values[] = {0.005, 1.005, 2.675, -2.675, 0.995, 99999.995, 1.15 * 3, 0.03 * 5.5, 0.1 + 0.2,
                             1234567.895, 0.0004, -0.004, 1e12 + 0.125, 1e15 + 0.5, 123.4};
    for (const double v : values) {
        SCOPED_TRACE(v);
        EXPECT_EQ(formatFloat(v, u"#,###,##0.00"), formatFloat(IkiHaneYuvarla(v), u"#,###,##0.00"));
    }
}

TEST(MemTableHelpers, SeciliVarmiStopsOnTheFirstSelectedRow)
{
    const auto withSec = [](std::vector<int> sec) {
        return [sec](MemTable &t) {
            t.createTable({DataColumn{QStringLiteral("SIRANO"), DbxType::Int32, 0},
                           DataColumn{QStringLiteral("SEC"), DbxType::Int32, 0}});
            for (std::size_t i = 0; i < sec.size(); ++i)
                t.appendRecord({static_cast<int>(i) + 1, sec[i]});
            if (!sec.empty())
                t.setRecNo(static_cast<int>(sec.size()) - 1); // the cursor starts somewhere else
        };
    };
    struct Case
    {
        const char *what;
        std::function<void(MemTable &)> fill;
        bool veriVarmi;
        bool result;
        int recNo;
        bool eof;
    };
    const std::vector<Case> cases = {
        {"closed", [](MemTable &) {}, false, false, -1, true},
        {"open, no rows", withSec({}), false, false, -1, true},
        {"all zero", withSec({0, 0, 0, 0}), true, false, 3, true},
        {"third selected", withSec({0, 0, 1, 1, 0}), true, true, 2, false},
        {"first selected", withSec({1, 0, 0}), true, true, 0, false},
        {"only the last", withSec({0, 0, 0, 1}), true, true, 3, false},
        {"other values are not 1", withSec({2, -1, 0}), true, false, 2, true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        MemTable t;
        c.fill(t);
        const int before = t.recNo();
        const bool eofBefore = t.eof();
        EXPECT_EQ(VeriVarmi(t), c.veriVarmi);
        EXPECT_EQ(SeciliVarmi(t), c.result);
        EXPECT_EQ(t.recNo(), c.recNo);
        EXPECT_EQ(t.eof(), c.eof);
        if (!c.veriVarmi) {
            EXPECT_EQ(t.recNo(), before);
            EXPECT_EQ(t.eof(), eofBefore);
        }
    }

    MemTable noSec;
    noSec.createTable({DataColumn{QStringLiteral("SIRANO"), DbxType::Int32, 0}});
    noSec.appendRecord({1});
    EXPECT_THROW(SeciliVarmi(noSec), DatabaseError);
}

TEST(MemTableHelpers, SayiBicimiAyarlaMasksOnlyFloatingPointColumns)
{
    MemTable t;
    t.createTable({DataColumn{QStringLiteral("STOKNO"), DbxType::Int32, 0},
                   DataColumn{QStringLiteral("IDNO"), DbxType::Int64, 0},
                   DataColumn{QStringLiteral("ADI"), DbxType::WideString, 40},
                   DataColumn{QStringLiteral("FIYAT"), DbxType::Double, 0},
                   DataColumn{QStringLiteral("TARIH"), DbxType::Date, 0},
                   DataColumn{QStringLiteral("KDV"), DbxType::Double, 0}});
    t.appendRecord({1234567, qlonglong(7654321), QStringLiteral("1234.5"), 1234.5, QDate(2024, 5, 6), 18.0});
    t.setDisplayMask(u"IDNO", QStringLiteral("000000000"));
    SayiBicimiAyarla(t);

    const std::vector<std::pair<QString, QString>> expected = {
        {QString(), QStringLiteral("1234567")},
        {QStringLiteral("000000000"), QStringLiteral("007654321")},
        {QString(), QStringLiteral("1234.5")},
        {QStringLiteral("#,###,##0.00"), QStringLiteral("1.234,50")},
        {QString(), QStringLiteral("06.05.2024")},
        {QStringLiteral("#,###,##0.00"), QStringLiteral("18,00")},
    };
    for (int c = 0; c < t.columnCount(); ++c) {
        SCOPED_TRACE(t.column(c).name.toStdString());
        EXPECT_EQ(t.displayMask(c), expected[static_cast<std::size_t>(c)].first);
        EXPECT_EQ(t.displayText(0, c), expected[static_cast<std::size_t>(c)].second);
    }
}

TEST(MemTableModel, ShowsMaskedTextRawValuesAndAlignment)
{
    MemTable t;
    t.assignDataPacket(basket());
    SayiBicimiAyarla(t);
    MemTableModel model(&t);
    const int tutar = t.fieldIndex(u"TUTAR");
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.columnCount(), 5);
    EXPECT_EQ(model.data(model.index(0, tutar)), QVariant(QStringLiteral("1.234,50")));
    EXPECT_EQ(model.data(model.index(0, tutar), Qt::EditRole), QVariant(1234.5));
    EXPECT_EQ(model.data(model.index(0, tutar), Qt::UserRole), QVariant(1234.5));
    EXPECT_FALSE(model.data(model.index(2, tutar), Qt::EditRole).isValid());
    EXPECT_EQ(model.data(model.index(2, tutar)), QVariant(QString()));
    EXPECT_EQ(model.data(model.index(1, 1)), QVariant(QStringLiteral("YAĞ FİLTRESİ")));
    const auto align = [&](int col) {
        return Qt::Alignment::fromInt(model.data(model.index(0, col), Qt::TextAlignmentRole).toInt());
    };
    EXPECT_EQ(align(0), Qt::AlignRight | Qt::AlignVCenter); // Int32
    EXPECT_EQ(align(1), Qt::AlignLeft | Qt::AlignVCenter);  // text
    EXPECT_EQ(align(tutar), Qt::AlignRight | Qt::AlignVCenter);
    EXPECT_EQ(model.headerData(1, Qt::Horizontal), QVariant(QStringLiteral("STOKADI")));
    EXPECT_FALSE(model.flags(model.index(0, 0)).testFlag(Qt::ItemIsEditable));

    // A mask set later is a change of that column's display.
    ModelSignals sig(model);
    t.setDisplayMask(0, QStringLiteral("0000"));
    ASSERT_EQ(sig.changed.size(), 1u);
    EXPECT_EQ(sig.changed[0], (std::vector<int>{0, 0, 4, 0}));
    EXPECT_EQ(model.data(model.index(0, 0)), QVariant(QStringLiteral("0011")));

    // Detached, the model is empty; the table lives on.
    model.setTable(nullptr);
    EXPECT_EQ(model.rowCount(), 0);
    t.next();
    model.setTable(&t);
    EXPECT_EQ(model.rowCount(), 5);
}

TEST(MemTableModel, SuspendedUpdatesEndInOneReset)
{
    MemTable t;
    t.assignDataPacket(basket());
    MemTableModel model(&t);
    ModelSignals sig(model);

    t.disableControls();
    t.disableControls(); // nested
    // The running balance of the account statement: every row edited and posted.
    double balance = 0;
    for (t.first(); !t.eof(); t.next()) {
        balance += t.fieldDouble(u"TUTAR");
        t.edit();
        t.setField(u"MIKTAR", balance);
        t.post();
    }
    t.appendRecord({16, QStringLiteral("ANTİFRİZ"), 1.0, 0, 5.0});
    t.first();
    t.deleteRow();
    t.deleteRow();
    SayiBicimiAyarla(t);
    EXPECT_EQ(sig.total(), 0);
    // The view still sees the rows it knew, and cells that are gone read as nothing.
    EXPECT_EQ(model.rowCount(), 5);
    EXPECT_EQ(model.data(model.index(4, 0)), QVariant());
    t.enableControls();
    EXPECT_EQ(sig.total(), 0);
    t.enableControls();
    EXPECT_EQ(sig.aboutToReset, 1);
    EXPECT_EQ(sig.reset, 1);
    EXPECT_EQ(sig.total(), 2);
    EXPECT_EQ(model.rowCount(), 4);
    EXPECT_EQ(model.data(model.index(3, 0)), QVariant(QStringLiteral("16")));
    t.enableControls(); // unmatched: ignored
    EXPECT_EQ(sig.total(), 2);

    // A whole new packet while suspended: still one reset, at the end.
    sig.clear();
    t.disableControls();
    t.assignDataPacket(basket());
    t.emptyTable();
    t.assignDataPacket(basket());
    t.enableControls();
    EXPECT_EQ(sig.reset, 1);
    EXPECT_EQ(sig.total(), 2);
    EXPECT_EQ(model.rowCount(), 5);

    // The table going away leaves an empty model.
    {
        MemTable shortLived;
        shortLived.assignDataPacket(basket());
        model.setTable(&shortLived);
        EXPECT_EQ(model.rowCount(), 5);
    }
    EXPECT_EQ(model.table(), nullptr);
    EXPECT_EQ(model.rowCount(), 0);
}
