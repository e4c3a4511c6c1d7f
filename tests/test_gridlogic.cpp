// The grid's arithmetic: the weight rule, stretching, value comparison, the tab painter's caption
// parsing and the Excel number formats of display masks.

#include "gridlogic.h"

#include <QDate>

#include <gtest/gtest.h>

#include <numeric>

using namespace tarvik;

TEST(WeightRule, WidthsAreWeightTimesTruncatedUnit)
{
    struct Case
    {
        std::vector<int> weights;
        int gridWidth;
        std::vector<int> widths;
    };
    const Case cases[] = {
        // (1000 - 30) / 10 = 97
        {{1, 2, 3, 4}, 1000, {97, 194, 291, 388}},
        // (1152 - 30) / 7 = 160.28 -> 160
        {{1, 2, 2, 2}, 1152, {160, 320, 320, 320}},
        // (1153 - 30) / 7 = 160.43 -> 160
        {{3, 4}, 1153, {480, 640}},
        // (61 - 30) / 2 = 15.5 -> 15, not 16
        {{1, 1}, 61, {15, 15}},
        // a zero weight column gets nothing; the others share
        {{0, 1}, 130, {0, 100}},
        // narrower than the margin: nothing negative
        {{1, 2}, 20, {0, 0}},
        // nothing to resize when the weights sum to 0, or there are no columns
        {{0, 0}, 1000, {}},
        {{}, 1000, {}},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.gridWidth);
        EXPECT_EQ(weightedWidths(c.weights, c.gridWidth), c.widths);
    }
}

TEST(WeightRule, StretchFillsExactlyAndKeepsProportions)
{
    const std::vector<int> widths = {100, 200, 100};
    const std::vector<int> out = stretchedWidths(widths, 803);
    EXPECT_EQ(std::accumulate(out.begin(), out.end(), 0), 803);
    EXPECT_EQ(out[0], 200);
    EXPECT_EQ(out[1], 401);
    EXPECT_EQ(out[2], 202); // the rounding rest goes to the last column
    EXPECT_TRUE(stretchedWidths({}, 500).empty());
}

TEST(ValueList, ValuesCompareByValue)
{
    struct Case
    {
        QVariant a, b;
        bool same;
    };
    const Case cases[] = {
        {1, QStringLiteral("1"), true},
        {1, 1.0, true},
        {QStringLiteral("1"), 1.0, true},
        {qlonglong(5), QStringLiteral("5,0"), true},
        {true, 1, true},
        {2, QStringLiteral("1"), false},
        {QStringLiteral("Var"), QStringLiteral("Var"), true},
        {QStringLiteral("Var"), QStringLiteral("var"), false},
        {QVariant(), QVariant(), true},
        {QVariant(), 0, false},
        {QStringLiteral(""), 0, false},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(QString(c.a.toString() + QStringLiteral(" / ") + c.b.toString()).toStdString());
        EXPECT_EQ(sameValue(c.a, c.b), c.same);
        EXPECT_EQ(sameValue(c.b, c.a), c.same);
    }
}

TEST(ValueList, SortOrderPutsNullsFirstAndNumbersNumerically)
{
    EXPECT_LT(compareValues(QVariant(), 0), 0);
    EXPECT_LT(compareValues(2, 10), 0);
    EXPECT_GT(compareValues(10.5, 2), 0);
    EXPECT_LT(compareValues(QDate(2024, 1, 31), QDate(2024, 2, 1)), 0);
    EXPECT_EQ(compareValues(QStringLiteral("abc"), QStringLiteral("ABC")), 0);
}

TEST(TabPainter, CountCaptionsSplitIntoTitleAndBadge)
{
    struct Case
    {
        QString caption;
        int sayi;
        QString baslik;
        QString badge;
    };
    const Case cases[] = {
        {QStringLiteral("3=Sepet"), 3, QStringLiteral("Sepet"), QStringLiteral("(3)")},
        {QStringLiteral("0=Stok Listesi"), 0, QStringLiteral("Stok Listesi"), QString()},
        {QStringLiteral("Stok Listesi"), 0, QStringLiteral("Stok Listesi"), QString()},
        {QStringLiteral("2,5=Bakiyeler"), 0, QStringLiteral("Bakiyeler"), QString()},
        {QStringLiteral("12=Yeni Stoklar"), 12, QStringLiteral("Yeni Stoklar"), QStringLiteral("(12)")},
        {QStringLiteral("-4=Duyurular"), -4, QStringLiteral("Duyurular"), QString()},
        {QStringLiteral("=Sepet"), 0, QStringLiteral("Sepet"), QString()},
        {QStringLiteral("99999999999=Sepet"), 0, QStringLiteral("Sepet"), QString()}, // beyond 32 bits
        {QStringLiteral("1=a=b"), 1, QStringLiteral("a=b"), QStringLiteral("(1)")},    // the first "=" splits
        {QString(), 0, QString(), QString()},
        {QStringLiteral("7=") + QString(150, u'x'), 7, QString(100, u'x'), QStringLiteral("(7)")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.caption.toStdString());
        const TabCaption t = parseTabCaption(c.caption);
        EXPECT_EQ(t.sayi, c.sayi);
        EXPECT_EQ(t.baslik, c.baslik);
        EXPECT_EQ(tabBadge(t), c.badge);
    }
}

TEST(ExcelFormat, DisplayMasksBecomeExcelFormats)
{
    struct Case
    {
        QString mask;
        QString excel;
    };
    const Case cases[] = {
        {QStringLiteral("#,###,##0.00"), QStringLiteral("#,##0.00")},
        {QStringLiteral("#,###,##00.00"), QStringLiteral("#,#00.00")},
        {QStringLiteral("0.00"), QStringLiteral("0.00")},
        {QStringLiteral("0"), QStringLiteral("0")},
        {QStringLiteral(",0.00 TL;-,0.00 TL"), QStringLiteral("#,##0.00\" TL\";\"-\"#,##0.00\" TL\"")},
        {QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.mask.toStdString());
        EXPECT_EQ(excelNumberFormat(c.mask), c.excel);
    }
}
