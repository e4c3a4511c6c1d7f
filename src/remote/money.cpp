#include "money.h"

#include <charconv>
#include <cmath>
#include <string>

namespace {

// A finite, non-zero double as decimal digits d0 d1 … dn-1 (no trailing zeros) and the exponent of
// d0: value = ±d0.d1…dn-1 × 10^exponent.
struct Decimal
{
    bool negative = false;
    std::string digits;
    int exponent = 0;
};

Decimal decimalOf(double value, int significantDigits)
{
    char text[64];
    const auto written = significantDigits > 0
        ? std::to_chars(text, text + sizeof text, value, std::chars_format::scientific, significantDigits - 1)
        : std::to_chars(text, text + sizeof text, value, std::chars_format::scientific);
    // "-d.ddde±xx"
    const char *p = text;
    Decimal d;
    if (*p == '-') {
        d.negative = true;
        ++p;
    }
    for (; p != written.ptr && *p != 'e'; ++p) {
        if (*p != '.')
            d.digits.push_back(*p);
    }
    if (p != written.ptr)
        std::from_chars(*(p + 1) == '+' ? p + 2 : p + 1, written.ptr, d.exponent);
    while (d.digits.size() > 1 && d.digits.back() == '0')
        d.digits.pop_back();
    return d;
}

double parse(const std::string &text)
{
    double value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

} // namespace

double IkiHaneYuvarla(double deger)
{
    if (!std::isfinite(deger))
        return deger;
    if (deger == 0)
        return 0.0;

    constexpr int kDigits = 15;
    Decimal d = decimalOf(deger, 0);
    if (static_cast<int>(d.digits.size()) > kDigits && d.exponent < 12)
        d = decimalOf(deger, kDigits);

    // Digit i weighs 10^(exponent - i): the hundredths are digit exponent + 2, the first digit
    // dropped is the thousandths.
    const int kept = d.exponent + 3;
    if (kept >= static_cast<int>(d.digits.size())) {
        // Nothing beyond the hundredths: read the digits back as they are.
        return parse((d.negative ? "-" : "") + d.digits + 'e' + std::to_string(d.exponent - (int(d.digits.size()) - 1)));
    }

    std::string hundredths = kept > 0 ? d.digits.substr(0, static_cast<size_t>(kept)) : std::string();
    const char firstDropped = kept >= 0 ? d.digits[static_cast<size_t>(kept)] : '0';
    if (firstDropped >= '5') {
        // Away from zero: add one hundredth to the magnitude, carrying to the left.
        int i = static_cast<int>(hundredths.size()) - 1;
        for (; i >= 0 && hundredths[static_cast<size_t>(i)] == '9'; --i)
            hundredths[static_cast<size_t>(i)] = '0';
        if (i >= 0)
            ++hundredths[static_cast<size_t>(i)];
        else
            hundredths.insert(hundredths.begin(), '1');
    }
    if (hundredths.find_first_not_of('0') == std::string::npos)
        return 0.0;
    return parse((d.negative ? "-" : "") + hundredths + "e-2");
}
