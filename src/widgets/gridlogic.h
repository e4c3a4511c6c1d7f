#pragma once

// The grid's arithmetic, apart from any widget: column widths by weight and by stretching, value
// comparison as the grid's value lists and sorting see it, count captions of tabs, and the Excel
// number format of a display mask. Everything here is plain functions, tested directly.

#include <QString>
#include <QStringView>
#include <QVariant>

#include <vector>

namespace tarvik {

// The weight rule of the program's grids: U = trunc((gridWidth - 30) / S), S the sum of the weights of
// the visible columns; each visible column gets weight * U. An empty result (nothing to resize) when S
// is 0. A negative U (grid narrower than 30 px) is 0.
std::vector<int> weightedWidths(const std::vector<int> &weights, int gridWidth);

// Widths scaled to fill `available` pixels in proportion to `widths`; the rounding rest goes to the last
// column, so the sum is exactly `available`. Widths of 0 count as 1; each result is at least `minimum`.
std::vector<int> stretchedWidths(const std::vector<int> &widths, int available, int minimum = 8);

// A value read as a number when it is one (int, double, bool) or is text that reads as one with the
// Turkish or the C decimal separator. False for null and for other text.
bool numericValue(const QVariant &v, double *out);

// Equality by value, as the value lists of icon columns compare: numbers numerically whatever their
// type ("1", 1 and 1.0 are the same), everything else by its text. Null equals only null.
bool sameValue(const QVariant &a, const QVariant &b);

// Order for sorting: nulls first, then numbers numerically (when both are numbers), dates and times
// by time, anything else by its text, without regard to case. Negative, 0 or positive.
int compareValues(const QVariant &a, const QVariant &b);

// A tab caption split by the tab painter: "3=Sepet" gives {3, "Sepet"}; a caption without "=" is the
// title itself with count 0; the title is what follows the first "=", at most 100 characters; a count
// that is no decimal 32-bit integer ("2,5", "", "x") reads as 0, so the title shows without a badge.
struct TabCaption
{
    int sayi = 0;
    QString baslik;
};
TabCaption parseTabCaption(QStringView caption);
// The badge drawn beside the title: "(3)" for a count above 0, empty otherwise.
QString tabBadge(const TabCaption &caption);

// Excel's number format for a display mask of the in-memory table ("#,###,##0.00" -> "#,##0.00"):
// repeated '#' before the grouping collapse, sections and quoted text carry over. Empty for no mask.
QString excelNumberFormat(QStringView displayMask);

} // namespace tarvik
