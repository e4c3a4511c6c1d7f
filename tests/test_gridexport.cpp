// Excel export read back with a real reader (python3 with openpyxl), the save dialog seam, failed
// writes that leave nothing behind, and the shell's "open" seam.

#include "gridexport.h"
#include "grid_test_support.h"
#include "test_support_qt.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace tarvik;
using namespace Qt::Literals::StringLiterals;

namespace {

// A python3 that can import openpyxl, or empty.
QString pythonWithOpenpyxl()
{
    QStringList candidates = {u"/usr/bin/python3"_s, QStandardPaths::findExecutable(u"python3"_s)};
    for (const QString &py : candidates) {
        if (py.isEmpty() || !QFileInfo::exists(py))
            continue;
        QProcess p;
        p.start(py, {u"-c"_s, u"import openpyxl"_s});
        if (p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
            return py;
    }
    return {};
}

// Every row of the first sheet as a list of cells, each cell [type, text]: type "n" number, "d" date,
// "s" text, "b" boolean, "" empty.
const char *const readBack = R"PY(
import json, sys, datetime, openpyxl
ws = openpyxl.load_workbook(sys.argv[1]).worksheets[0]
rows = []
for row in ws.iter_rows():
    out = []
    for c in row:
        v = c.value
        if v is None: out.append(["", ""])
        elif isinstance(v, bool): out.append(["b", str(v)])
        elif isinstance(v, (int, float)): out.append(["n", repr(float(v)), c.number_format])
        elif isinstance(v, datetime.datetime): out.append(["d", v.strftime("%Y-%m-%d %H:%M:%S"), c.number_format])
        else: out.append(["s", str(v)])
    rows.append(out)
json.dump(rows, sys.stdout, ensure_ascii=False)
)PY";

QJsonArray readWorkbook(const QString &python, const QString &path)
{
    QProcess p;
    p.start(python, {u"-c"_s, QString::fromUtf8(readBack), path});
    EXPECT_TRUE(p.waitForFinished(60000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    return QJsonDocument::fromJson(p.readAllStandardOutput()).array();
}

struct ExportGrid
{
    MemTable table{u"sepet"_s};
    DataGrid grid;
    ExportGrid()
    {
        gridtest::fillOrders(table);
        grid.setTable(&table);
        grid.addColumn({.field = u"SATICIADI"_s, .caption = u"Satıcı"_s, .show = Show::No});
        grid.addColumn({.field = u"ADI"_s, .caption = u"Açıklama"_s});
        grid.addColumn({.field = u"MIKTAR"_s, .caption = u"Miktar"_s});
        grid.addColumn({.field = u"TUTAR"_s, .caption = u"Tutar"_s});
        grid.addColumn({.field = u"TARIH"_s, .caption = u"Tarih"_s});
        grid.addColumn({.field = u"DURUM"_s, .caption = u"Durum"_s, .kind = CellKind::Icons,
                        .icons = gridtest::statusIcons()});
        grid.addColumn({.field = u"BARKOD"_s, .caption = u"Barkod"_s, .show = Show::No});
    }
};

QStringList texts(const QJsonArray &row)
{
    QStringList out;
    for (const QJsonValue &c : row)
        out.append(c.toArray().at(1).toString());
    return out;
}

QStringList types(const QJsonArray &row)
{
    QStringList out;
    for (const QJsonValue &c : row)
        out.append(c.toArray().at(0).toString());
    return out;
}

} // namespace

TEST(ExcelExport, ReadBackShowsTheSameCells)
{
    const QString python = pythonWithOpenpyxl();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is not installed (scripts/deps.sh --tests)";
    QTemporaryDir dir;
    ExportGrid g;
    g.grid.setFilter(u"ADI"_s, {ColumnFilter::NonBlanks, {}});
    g.grid.sortBy(u"TUTAR"_s, Qt::DescendingOrder);
    const QString path = dir.filePath(u"sepet.xlsx"_s);
    QString error;
    ASSERT_TRUE(exportGridToExcel(g.grid, path, &error)) << error.toStdString();
    const QJsonArray rows = readWorkbook(python, path);
    ASSERT_EQ(rows.size(), 9); // header + 8 rows
    EXPECT_EQ(texts(rows[0].toArray()), (QStringList{u"Açıklama"_s, u"Miktar"_s, u"Tutar"_s, u"Tarih"_s, u"Durum"_s}));
    // The first row on screen is the largest amount: DEBRİYAJ SETİ, 1, 5100, 06.03.2024, Tedarik Sürecinde.
    const QJsonArray first = rows[1].toArray();
    EXPECT_EQ(types(first), (QStringList{u"s"_s, u"n"_s, u"n"_s, u"d"_s, u"s"_s}));
    EXPECT_EQ(texts(first), (QStringList{u"DEBRİYAJ SETİ"_s, u"1.0"_s, u"5100.0"_s, u"2024-03-06 00:00:00"_s,
                                         u"Tedarik Sürecinde"_s}));
    EXPECT_EQ(first.at(2).toArray().at(2).toString(), u"#,##0.00"_s); // the column's mask as number format
    EXPECT_EQ(first.at(3).toArray().at(2).toString(), u"dd.mm.yyyy"_s);
    // The null amount sorts last and is an empty cell.
    const QJsonArray last = rows[8].toArray();
    EXPECT_EQ(texts(last).first(), u"POLEN FİLTRESİ"_s);
    EXPECT_EQ(types(last).at(2), QString());
}

TEST(ExcelExport, GroupsAreWrittenExpandedWithTheirFooters)
{
    const QString python = pythonWithOpenpyxl();
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with openpyxl is not installed (scripts/deps.sh --tests)";
    QTemporaryDir dir;
    ExportGrid g;
    g.grid.setGroupBoxVisible(true);
    g.grid.setGroupSummaries({{SummaryKind::Sum, u"TUTAR"_s}});
    g.grid.setFooterSummaries({{SummaryKind::Count, u"ADI"_s}, {SummaryKind::Sum, u"TUTAR"_s}});
    g.grid.groupBy({u"SATICIADI"_s});
    g.grid.show();
    g.grid.collapseAll(); // collapsed on screen, expanded in the workbook
    const QString path = dir.filePath(u"rapor.xlsx"_s);
    ASSERT_TRUE(exportGridToExcel(g.grid, path));
    const QJsonArray rows = readWorkbook(python, path);
    QStringList firstCells;
    for (const QJsonValue &r : rows)
        firstCells.append(r.toArray().at(0).toArray().at(1).toString());
    EXPECT_EQ(firstCells, (QStringList{u"Açıklama"_s, u"Satıcı: AHMET"_s, u"FREN BALATASI ÖN"_s, u"YAĞ FİLTRESİ"_s,
                                       u"DEBRİYAJ SETİ"_s, QString(), u"Satıcı: ÇAĞLA"_s, u"HAVA FİLTRESİ"_s,
                                       u"POLEN FİLTRESİ"_s, QString(), u"Satıcı: ZEYNEP"_s, u"ŞARJ DİNAMOSU"_s,
                                       u"BUJİ TAKIMI"_s, u"AMORTİSÖR ARKA"_s, QString(), u"8"_s}));
    EXPECT_EQ(rows[5].toArray().at(2).toArray().at(1).toString(), u"6.448,75"_s); // AHMET's group footer
    EXPECT_EQ(rows[15].toArray().at(2).toArray().at(1).toString(), u"14.349,90"_s);
}

TEST(ExcelExport, SaveDialogSeamAndFailedWritesLeaveNothing)
{
    RecordedBoxes boxes;
    QTemporaryDir dir;
    ExportGrid g;
    QStringList filters;
    QString answer;
    const SaveFileDialog previous = setSaveFileDialog([&](QWidget *, const QString &, const QString &filter) {
        filters.append(filter);
        return answer;
    });

    // Cancelled: nothing written, no box.
    EXPECT_FALSE(excelKaydet(g.grid));
    EXPECT_EQ(filters, QStringList{u"Excel|*.xls*"_s});
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());

    // A name without a suffix gets .xlsx.
    answer = dir.filePath(u"sepet"_s);
    EXPECT_TRUE(excelKaydet(g.grid));
    EXPECT_TRUE(QFileInfo::exists(dir.filePath(u"sepet.xlsx"_s)));
    EXPECT_TRUE(boxes.shown.empty());

    // A target that cannot be replaced (a directory of that name), and one in a missing directory:
    // an error box each, and no half-written or temporary file anywhere.
    ASSERT_TRUE(QDir(dir.path()).mkdir(u"klasor.xlsx"_s));
    for (const QString &target : {dir.filePath(u"klasor.xlsx"_s), dir.filePath(u"yok/sepet.xlsx"_s)}) {
        SCOPED_TRACE(target.toStdString());
        answer = target;
        boxes.shown.clear();
        EXPECT_FALSE(excelKaydet(g.grid));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Hata);
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::Dirs | QDir::NoDotAndDotDot),
              (QStringList{u"klasor.xlsx"_s, u"sepet.xlsx"_s}));
    EXPECT_TRUE(QDir(dir.filePath(u"klasor.xlsx"_s)).isEmpty());
    setSaveFileDialog(previous);
}

TEST(ExcelExport, QtFilterFromTheWindowsForm)
{
    EXPECT_EQ(qtFileFilter(u"Excel|*.xls*"_s), u"Excel (*.xls*)"_s);
    EXPECT_EQ(qtFileFilter(u"PDF|*.pdf|Hepsi|*.*"_s), u"PDF (*.pdf);;Hepsi (*.*)"_s);
}

TEST(ShellOpen, GoesThroughTheSeam)
{
    QStringList opened;
    const ShellOpener previous = setShellOpener([&](const QString &t) {
        opened.append(t);
        return true;
    });
    EXPECT_TRUE(shellOpen(u"http://www.example.com/"_s));
    EXPECT_TRUE(shellOpen(u"/tmp/rapor126.pdf"_s));
    EXPECT_EQ(opened, (QStringList{u"http://www.example.com/"_s, u"/tmp/rapor126.pdf"_s}));
    setShellOpener(previous);
}
