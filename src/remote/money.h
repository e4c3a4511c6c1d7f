#pragma once

// Money arithmetic: the two-decimal rounding used for line amounts and running totals.

// Rounds to two decimals, halves away from zero, as formatting with the mask "#,###,##.00" and
// reading the text back does. The decision is taken on the decimal digits of the value, not on its
// binary expansion: 1.005 (stored as 1.00499999999999989…) gives 1.01 and 2.675 gives 2.68.
//
// The digits are the value's first 15 significant digits (the precision a double always carries),
// so that the noise of a multiplication does not move a half: 0.03 * 5.5 = 0.16499999999999998
// gives 0.17. From 1e12 on, 15 digits no longer reach the thousandths and the shortest text that
// reads back as the same double is used instead, so a large value changes by at most its rounding
// (1e15 + 0.5 stays as it is).
//
// A result of zero is +0.0 (-0.004 gives 0, not -0, as the formatted text ".00" reads back).
// NaN and infinities are returned unchanged.
double IkiHaneYuvarla(double deger);
