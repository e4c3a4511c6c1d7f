#pragma once

// Fixtures of the widget tests: a small basket-like table, status icons, pictures made in memory.

#include "datagrid.h"
#include "memtable.h"

#include <QBuffer>
#include <QDate>
#include <QImage>
#include <QPainter>

#include <ostream>

QT_BEGIN_NAMESPACE
inline void PrintTo(const QString &s, std::ostream *os)
{
    *os << '"' << s.toStdString() << '"';
}
QT_END_NAMESPACE

namespace gridtest {

using tarvik::DataColumn;
using tarvik::DbxType;

// Eight order lines of three representatives and two brands, with a null amount and Turkish letters.
inline void fillOrders(tarvik::MemTable &t)
{
    t.createTable({
        DataColumn{QStringLiteral("SIRANO"), DbxType::Int32, 0},
        DataColumn{QStringLiteral("SATICIADI"), DbxType::WideString, 50},
        DataColumn{QStringLiteral("BARKOD"), DbxType::WideString, 50},
        DataColumn{QStringLiteral("ADI"), DbxType::WideString, 100},
        DataColumn{QStringLiteral("MARKA"), DbxType::WideString, 50},
        DataColumn{QStringLiteral("MIKTAR"), DbxType::Double, 0},
        DataColumn{QStringLiteral("TUTAR"), DbxType::Double, 0},
        DataColumn{QStringLiteral("TARIH"), DbxType::Date, 0},
        DataColumn{QStringLiteral("DURUM"), DbxType::Int32, 0},
        DataColumn{QStringLiteral("SEC"), DbxType::Int32, 0},
    });
    struct Row
    {
        int sirano;
        const char16_t *satici, *barkod, *adi, *marka;
        double miktar;
        QVariant tutar;
        QDate tarih;
        int durum, sec;
    };
    const Row rows[] = {
        {1, u"AHMET", u"8690001", u"FREN BALATASI ÖN", u"BOSCH", 2, 1250.5, QDate(2024, 3, 1), 1, 1},
        {2, u"AHMET", u"8690002", u"YAĞ FİLTRESİ", u"MANN", 10, 98.25, QDate(2024, 3, 2), 0, 0},
        {3, u"ZEYNEP", u"8690003", u"ŞARJ DİNAMOSU", u"BOSCH", 1, 4200.0, QDate(2024, 3, 3), 3, 1},
        {4, u"ZEYNEP", u"8690004", u"BUJİ TAKIMI", u"BOSCH", 4, 360.0, QDate(2024, 3, 4), 2, 0},
        {5, u"ÇAĞLA", u"8690005", u"HAVA FİLTRESİ", u"MANN", 3, 240.75, QDate(2024, 3, 5), 4, 1},
        {6, u"AHMET", u"8690006", u"DEBRİYAJ SETİ", u"BOSCH", 1, 5100.0, QDate(2024, 3, 6), 5, 0},
        {7, u"ÇAĞLA", u"8690007", u"POLEN FİLTRESİ", u"MANN", 6, QVariant(), QDate(2024, 3, 7), 1, 0},
        {8, u"ZEYNEP", u"8690008", u"AMORTİSÖR ARKA", u"BOSCH", 2, 3100.4, QDate(2024, 3, 8), 1, 1},
    };
    for (const Row &r : rows)
        t.appendRecord({r.sirano, QString::fromUtf16(r.satici), QString::fromUtf16(r.barkod), QString::fromUtf16(r.adi),
                        QString::fromUtf16(r.marka), r.miktar, r.tutar, r.tarih, r.durum, r.sec});
    SayiBicimiAyarla(t);
}

inline QImage dot(const QColor &c, int side = 20)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(c);
    p.setPen(c.darker(140));
    p.drawEllipse(QRectF(1.5, 1.5, side - 3, side - 3));
    return img;
}

// The status value list: 0 Yok, 1 Var, 2 Telefon Açınız, 3 Yolda, 4 Özel Sipariş, 5 Tedarik Sürecinde.
inline std::vector<tarvik::ValueImage> statusIcons()
{
    return {
        {0, QStringLiteral("Yok"), dot(QColor(200, 40, 40))},
        {1, QStringLiteral("Var"), dot(QColor(40, 170, 70))},
        {2, QStringLiteral("Telefon Açınız"), dot(QColor(240, 160, 20))},
        {3, QStringLiteral("Yolda"), dot(QColor(30, 120, 220))},
        {4, QStringLiteral("Özel Sipariş"), dot(QColor(140, 70, 190))},
        {5, QStringLiteral("Tedarik Sürecinde"), dot(QColor(120, 120, 120))},
    };
}

inline QByteArray pictureBytes(const QImage &img, const char *format)
{
    QByteArray bytes;
    QBuffer b(&bytes);
    b.open(QIODevice::WriteOnly);
    img.save(&b, format);
    return bytes;
}

// A 2 x 2 GIF of two frames (red, then blue), looping: written by hand, as Qt writes no GIFs.
inline QByteArray twoFrameGif()
{
    QByteArray g("GIF89a");
    g.append("\x02\x00\x02\x00\x80\x00\x00", 7);               // 2 x 2, global table of 2 colours
    g.append("\xff\x00\x00\x00\x00\xff", 6);                   // red, blue
    g.append("\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00", 19); // loop for ever
    for (int colour : {0, 1}) {
        g.append("\x21\xf9\x04\x00\x0a\x00\x00\x00", 8);       // 10/100 s
        g.append("\x2c\x00\x00\x00\x00\x02\x00\x02\x00\x00", 10);
        g.append('\x02');                                      // LZW minimum code size
        // 3-bit codes, a clear (4) before each pixel so that the table never grows, then the end (5).
        const int codes[] = {4, colour, 4, colour, 4, colour, 4, colour, 5};
        QByteArray data;
        unsigned acc = 0;
        int bits = 0;
        for (int c : codes) {
            acc |= static_cast<unsigned>(c) << bits;
            bits += 3;
            while (bits >= 8) {
                data.append(static_cast<char>(acc & 0xff));
                acc >>= 8;
                bits -= 8;
            }
        }
        if (bits > 0)
            data.append(static_cast<char>(acc & 0xff));
        g.append(static_cast<char>(data.size()));
        g.append(data);
        g.append('\x00');
    }
    g.append('\x3b');
    return g;
}

} // namespace gridtest
