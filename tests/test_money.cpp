// Two-decimal rounding of money amounts (IkiHaneYuvarla).

#include "money.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>
#include <vector>

namespace {

double number(const std::string &text)
{
    return std::strtod(text.c_str(), nullptr);
}

} // namespace

TEST(IkiHaneYuvarla, Table)
{
    struct Case
    {
        double value;
        double expected;
        const char *why;
    };
    const Case cases[] = {
        {0.005, 0.01, "half a cent, below 1"},
        {1.005, 1.01, "stored as 1.00499999999999989…"},
        {2.675, 2.68, "stored as 2.67499999999999982…"},
        {-1.005, -1.01, "halves go away from zero"},
        {-2.675, -2.68, "negative, stored just above the half"},
        {1234567.895, 1234567.9, "millions"},
        {0.125, 0.13, "exact binary half"},
        {0.994, 0.99, "down"},
        {0.995, 1.0, "carry into the units"},
        {99999.995, 100000.0, "carry through every digit"},
        {1.00499999, 1.0, "digits below the half are not rounded twice"},
        {0.0004, 0.0, "below a thousandth"},
        {0.0005, 0.0, "half a thousandth is not half a cent"},
        {0.03 * 5.5, 0.17, "product noise: 0.16499999999999998"},
        {std::nextafter(1.005, 0.0), 1.01, "one step below 1.005 is still 1.005 to 15 digits"},
        {123.4, 123.4, "already two decimals"},
        {0.1 + 0.2, 0.3, "sum noise above"},
        {0.0, 0.0, "zero"},
        {1e15 + 0.5, 1e15 + 0.5, "large: no digits to round, value kept"},
        {1e20, 1e20, "very large"},
        {-1e300, -1e300, "huge"},
        {5e-324, 0.0, "denormal"},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.why);
        EXPECT_EQ(IkiHaneYuvarla(c.value), c.expected) << "value " << c.value;
    }
}

TEST(IkiHaneYuvarla, ZeroResultsArePositiveZero)
{
    for (double v : {-0.004, -0.0, -0.0049999, -1e-10}) {
        const double r = IkiHaneYuvarla(v);
        EXPECT_EQ(r, 0.0) << v;
        EXPECT_FALSE(std::signbit(r)) << v;
    }
}

TEST(IkiHaneYuvarla, NotANumberAndInfinitiesPassThrough)
{
    EXPECT_TRUE(std::isnan(IkiHaneYuvarla(std::numeric_limits<double>::quiet_NaN())));
    EXPECT_EQ(IkiHaneYuvarla(std::numeric_limits<double>::infinity()), std::numeric_limits<double>::infinity());
    EXPECT_EQ(IkiHaneYuvarla(-std::numeric_limits<double>::infinity()), -std::numeric_limits<double>::infinity());
}

// Every amount written with two decimals stays and every half cent goes up in magnitude, whatever
// its binary representation: every cent up to 300.00, then amounts spread up to a thousand million.
TEST(IkiHaneYuvarla, EveryCentAndHalfCent)
{
    std::vector<long long> amounts;
    for (long long cents = 0; cents < 30'000; ++cents)
        amounts.push_back(cents);
    for (double cents = 30'000; cents < 1e11; cents = cents * 1.003 + 7)
        amounts.push_back(static_cast<long long>(cents));

    int failures = 0;
    for (long long cents : amounts) {
        const std::string c = std::to_string(cents);
        const double amount = number(c + "e-2");
        const double half = number(c + "5e-3");
        const double up = number(std::to_string(cents + 1) + "e-2");
        const double justBelow = number(c + "4999e-6");
        if (IkiHaneYuvarla(amount) != amount || IkiHaneYuvarla(-amount) != -amount || IkiHaneYuvarla(half) != up
            || IkiHaneYuvarla(-half) != -up || IkiHaneYuvarla(justBelow) != amount) {
            ADD_FAILURE() << "cents " << cents;
            if (++failures == 5)
                break;
        }
    }
}
