#include "icons.h"

#include <QPainter>
#include <QPainterPath>

#include <cmath>

namespace tarvik {

namespace {

QPixmap canvas(int side)
{
    QPixmap pm(side, side);
    pm.fill(Qt::transparent);
    return pm;
}

void roundedTile(QPainter &p, int side, const QColor &colour)
{
    p.setPen(Qt::NoPen);
    QLinearGradient g(0, 0, 0, side);
    g.setColorAt(0, colour.lighter(118));
    g.setColorAt(1, colour.darker(108));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(1, 1, side - 2, side - 2), side * 0.22, side * 0.22);
}

QPen whitePen(qreal width)
{
    return QPen(Qt::white, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
}

void star(QPainter &p, QPointF c, qreal outer, qreal inner)
{
    QPolygonF poly;
    for (int i = 0; i < 10; ++i) {
        const qreal r = i % 2 ? inner : outer;
        const qreal a = -M_PI / 2 + i * M_PI / 5;
        poly << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    p.drawPolygon(poly);
}

} // namespace

QIcon tabIcon(TabIcon which, int side)
{
    static const QColor colours[] = {QColor(3, 147, 208), QColor(243, 146, 0), QColor(76, 110, 160), QColor(46, 140, 110),
                                     QColor(128, 90, 190), QColor(214, 60, 60), QColor(230, 170, 20), QColor(90, 100, 115)};
    QPixmap pm = canvas(side);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    roundedTile(p, side, colours[static_cast<int>(which)]);
    const qreal s = side / 32.0;
    p.scale(s, s);
    p.setBrush(Qt::NoBrush);
    p.setPen(whitePen(2.4));
    switch (which) {
    case TabIcon::Stok: // magnifier
        p.drawEllipse(QPointF(14, 14), 7, 7);
        p.drawLine(QPointF(19, 19), QPointF(25, 25));
        break;
    case TabIcon::Sepet: { // basket
        QPainterPath b;
        b.moveTo(6, 12);
        b.lineTo(26, 12);
        b.lineTo(23, 25);
        b.lineTo(9, 25);
        b.closeSubpath();
        p.drawPath(b);
        p.drawLine(QPointF(11, 12), QPointF(15, 6));
        p.drawLine(QPointF(21, 12), QPointF(17, 6));
        p.drawLine(QPointF(13, 16), QPointF(13, 21));
        p.drawLine(QPointF(19, 16), QPointF(19, 21));
        break;
    }
    case TabIcon::Onceki: // clipboard with lines
        p.drawRoundedRect(QRectF(8, 6, 16, 21), 2, 2);
        for (int y : {12, 17, 22})
            p.drawLine(QPointF(12, y), QPointF(20, y));
        break;
    case TabIcon::Ekstre: { // document with a folded corner and a rising line
        QPainterPath d;
        d.moveTo(9, 5);
        d.lineTo(19, 5);
        d.lineTo(24, 10);
        d.lineTo(24, 27);
        d.lineTo(9, 27);
        d.closeSubpath();
        p.drawPath(d);
        p.drawPolyline(QPolygonF({QPointF(12, 22), QPointF(15, 17), QPointF(18, 19), QPointF(21, 13)}));
        break;
    }
    case TabIcon::Yeni:
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        star(p, QPointF(16, 16.5), 11, 4.6);
        break;
    case TabIcon::Kampanya: // percent
        p.drawEllipse(QPointF(11, 11), 3.2, 3.2);
        p.drawEllipse(QPointF(21, 21), 3.2, 3.2);
        p.drawLine(QPointF(22, 8), QPointF(10, 24));
        break;
    case TabIcon::Duyuru: { // bell
        QPainterPath b;
        b.moveTo(9, 22);
        b.cubicTo(11, 19, 10, 8, 16, 8);
        b.cubicTo(22, 8, 21, 19, 23, 22);
        b.closeSubpath();
        p.drawPath(b);
        p.drawLine(QPointF(14, 25.5), QPointF(18, 25.5));
        break;
    }
    case TabIcon::Bakiye: // scales
        p.drawLine(QPointF(16, 7), QPointF(16, 25));
        p.drawLine(QPointF(8, 10), QPointF(24, 10));
        p.drawLine(QPointF(11, 25), QPointF(21, 25));
        p.drawArc(QRectF(5, 13, 8, 6), 180 * 16, 180 * 16);
        p.drawArc(QRectF(19, 13, 8, 6), 180 * 16, 180 * 16);
        break;
    }
    return QIcon(pm);
}

QImage durumIcon(int durum, int side)
{
    static const QColor colours[] = {QColor(200, 45, 45), QColor(40, 160, 70), QColor(30, 120, 200), QColor(240, 140, 0),
                                     QColor(150, 80, 190), QColor(120, 120, 130)};
    if (durum < 0 || durum > 5)
        return {};
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colours[durum]);
    p.drawEllipse(QRectF(1, 1, side - 2, side - 2));
    const qreal s = side / 24.0;
    p.scale(s, s);
    p.setPen(whitePen(2.2));
    p.setBrush(Qt::NoBrush);
    switch (durum) {
    case 0: // Yok: a cross
        p.drawLine(QPointF(8, 8), QPointF(16, 16));
        p.drawLine(QPointF(16, 8), QPointF(8, 16));
        break;
    case 1: // Var: a tick
        p.drawPolyline(QPolygonF({QPointF(7, 12.5), QPointF(10.5, 16), QPointF(17, 8.5)}));
        break;
    case 2: { // Telefon Açınız: a handset
        QPainterPath h;
        h.moveTo(8, 7);
        h.cubicTo(6, 11, 11, 17, 17, 17);
        p.setPen(whitePen(3.2));
        p.drawPath(h);
        break;
    }
    case 3: // Yolda: an arrow on its way
        p.drawLine(QPointF(6, 12), QPointF(17, 12));
        p.drawPolyline(QPolygonF({QPointF(13, 8), QPointF(17.5, 12), QPointF(13, 16)}));
        break;
    case 4: // Özel Sipariş: a star
        p.setPen(Qt::NoPen);
        p.setBrush(Qt::white);
        star(p, QPointF(12, 12.5), 7, 3);
        break;
    case 5: // Tedarik Sürecinde: a clock
        p.drawEllipse(QPointF(12, 12), 6.5, 6.5);
        p.drawPolyline(QPolygonF({QPointF(12, 8), QPointF(12, 12), QPointF(15, 14)}));
        break;
    }
    return img;
}

QImage bayrakIcon(int side)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 24.0, side / 24.0);
    p.setPen(QPen(QColor(70, 70, 80), 2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(6, 3), QPointF(6, 21));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(220, 50, 50));
    p.drawPolygon(QPolygonF({QPointF(7, 4), QPointF(19, 8), QPointF(7, 13)}));
    return img;
}

QImage resimIcon(int side)
{
    QImage img(side, side, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(side / 24.0, side / 24.0);
    p.setPen(QPen(QColor(76, 110, 160), 1.6));
    p.setBrush(QColor(235, 243, 252));
    p.drawRoundedRect(QRectF(3, 5, 18, 14), 2, 2);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(46, 140, 110));
    p.drawPolygon(QPolygonF({QPointF(5, 17), QPointF(10, 10), QPointF(14, 15), QPointF(16, 12.5), QPointF(19, 17)}));
    p.setBrush(QColor(243, 146, 0));
    p.drawEllipse(QPointF(16, 9), 1.8, 1.8);
    return img;
}

std::vector<ValueImage> durumListesi()
{
    static const char16_t *names[] = {u"Yok", u"Var", u"Telefon Açınız", u"Yolda", u"Özel Sipariş", u"Tedarik Sürecinde"};
    std::vector<ValueImage> list;
    for (int d = 0; d < 6; ++d)
        list.push_back({d, QString::fromUtf16(names[d]), durumIcon(d, 24)});
    return list;
}

std::vector<ValueImage> bayrakListesi()
{
    return {{0, QStringLiteral("Hayır"), {}}, {1, QStringLiteral("Evet"), bayrakIcon(24)}};
}

std::vector<ValueImage> resimListesi()
{
    return {{0, QStringLiteral("Yok"), {}}, {1, QStringLiteral("Var"), resimIcon(24)}};
}

QPixmap firmLogo(int side)
{
    QPixmap pm = canvas(side);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(side / 2.0, side / 2.0);
    const qreal r = side * 0.36;
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(243, 146, 0));
    for (int i = 0; i < 12; ++i) {
        p.save();
        p.translate(c);
        p.rotate(i * 30.0);
        p.drawRoundedRect(QRectF(-side * 0.05, -r - side * 0.1, side * 0.1, side * 0.14), 2, 2);
        p.restore();
    }
    p.drawEllipse(c, r, r);
    p.setBrush(QColor(18, 44, 84));
    p.drawEllipse(c, r * 0.74, r * 0.74);
    QFont f(QStringLiteral("Arial"));
    f.setPixelSize(int(r * 1.1));
    f.setBold(true);
    p.setFont(f);
    p.setPen(Qt::white);
    p.drawText(QRectF(c.x() - r, c.y() - r, 2 * r, 2 * r), Qt::AlignCenter, QStringLiteral("T"));
    return pm;
}

QIcon menuIcon(int side)
{
    QPixmap pm = canvas(side);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    roundedTile(p, side, QColor(61, 65, 74));
    p.setPen(whitePen(side / 12.0));
    for (int i = 0; i < 3; ++i) {
        const qreal y = side * (0.32 + 0.18 * i);
        p.drawLine(QPointF(side * 0.26, y), QPointF(side * 0.74, y));
    }
    return QIcon(pm);
}

QPixmap searchPicture(int side)
{
    QPixmap pm = canvas(side);
    QPainter p(&pm);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(61, 65, 74), side / 10.0, Qt::SolidLine, Qt::RoundCap));
    p.drawEllipse(QPointF(side * 0.42, side * 0.42), side * 0.24, side * 0.24);
    p.drawLine(QPointF(side * 0.6, side * 0.6), QPointF(side * 0.84, side * 0.84));
    return pm;
}

} // namespace tarvik
