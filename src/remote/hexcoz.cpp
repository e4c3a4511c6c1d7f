#include "hexcoz.h"

#include "errors.h"

namespace {

int digitValue(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= u'0' && u <= u'9')
        return u - u'0';
    if (u >= u'A' && u <= u'F')
        return u - u'A' + 10;
    if (u >= u'a' && u <= u'f')
        return u - u'a' + 10;
    return -1;
}

[[noreturn]] void notHex(QStringView text, qsizetype at)
{
    throw tarvik::ConversionError(QStringLiteral("Resim verisi çözülemedi: %1. karakter ('%2') onaltılık bir rakam değil.")
                                      .arg(at + 1)
                                      .arg(text.at(at)));
}

} // namespace

QByteArray HexCoz(QStringView text)
{
    QByteArray bytes;
    bytes.reserve((text.size() + 1) / 2);
    for (qsizetype i = 0; i < text.size(); i += 2) {
        const int high = digitValue(text.at(i));
        if (high < 0)
            notHex(text, i);
        if (i + 1 == text.size()) {
            bytes.append(static_cast<char>(high)); // a final single digit is a number of its own
            break;
        }
        const int low = digitValue(text.at(i + 1));
        if (low < 0)
            notHex(text, i + 1);
        bytes.append(static_cast<char>(high * 16 + low));
    }
    return bytes;
}
