#include "artwork.h"

#include <QBuffer>
#include <QCoreApplication>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QHash>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace tarvik::server {

namespace {

// ---------------------------------------------------------------------------------------------------
// The distributor's colours.

const QColor kSky(0x2A, 0x6F, 0xB8);
const QColor kOrangeDark(0xC9, 0x62, 0x0B);
const QColor kPaper(0xF4, 0xF6, 0xF9);

const QString kCompany = QStringLiteral("TARVİK");
const QString kCompanyLine = QStringLiteral("Otomotiv Yedek Parça");

void requireText(const char *what)
{
    if (!canDrawText())
        throw ArtworkError(QString::fromLatin1(what)
                           + QStringLiteral(": yazı çizmek için QGuiApplication gerekir (sunucu ve testler"
                                            " \"offscreen\" platformuyla çalışır)"));
}

QFont uiFont(qreal pixelSize, QFont::Weight weight = QFont::Normal)
{
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(qMax(1, qRound(pixelSize)));
    f.setWeight(weight);
    return f;
}

// Draws `text` in `rect` (word-wrapped unless `wrap` is false) at the largest pixel size between maxPx
// and minPx that fits; when even minPx does not fit, one elided line at minPx.
void drawFitted(QPainter &p, const QRectF &rect, const QString &text, int maxPx, int minPx,
                QFont::Weight weight, int align, bool wrap = true)
{
    const int flags = align | (wrap ? int(Qt::TextWordWrap) : 0);
    for (int px = maxPx; px >= minPx; --px) {
        const QFont f = uiFont(px, weight);
        const QFontMetricsF fm(f, p.device());
        const QRectF need = fm.boundingRect(rect, flags, text);
        if (need.width() <= rect.width() + 0.5 && need.height() <= rect.height() + 0.5) {
            p.setFont(f);
            p.drawText(rect, flags, text);
            return;
        }
    }
    const QFont f = uiFont(minPx, weight);
    p.setFont(f);
    const QFontMetricsF fm(f, p.device());
    p.drawText(rect, align, fm.elidedText(text, Qt::ElideRight, rect.width()));
}

QImage canvas(int w, int h, const QColor &fill)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.setDotsPerMeterX(3780); // 96 dpi, whatever the screen says
    image.setDotsPerMeterY(3780);
    image.fill(fill);
    return image;
}

QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    if (quality >= 0)
        writer.setQuality(quality);
    if (!writer.write(image))
        throw ArtworkError(QStringLiteral("Resim yazılamadı (%1): %2").arg(QString::fromLatin1(format), writer.errorString()));
    return bytes;
}

QByteArray jpeg(const QImage &image) { return encode(image, "jpg", 88); }

// A small deterministic mixer, so that a number picks colours and shapes the same way every time.
quint32 mix(quint32 x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

// ---------------------------------------------------------------------------------------------------
// Parts, drawn into a square box.

enum class Part { BrakeDisc, Gear, OilFilter, SparkPlug, Bearing };
constexpr int kPartKinds = 5;

// Steel greys of the parts; `lightness` in per cent.
QColor steel(int lightness) { return QColor::fromHsl(212, 28, std::clamp(lightness, 0, 100) * 255 / 100); }

void drawShadow(QPainter &p, const QRectF &box)
{
    const QRectF ellipse(box.left() + box.width() * 0.12, box.bottom() - box.height() * 0.06, box.width() * 0.76,
                         box.height() * 0.1);
    QRadialGradient g(ellipse.center(), ellipse.width() / 2);
    g.setColorAt(0, QColor(0, 0, 0, 70));
    g.setColorAt(1, QColor(0, 0, 0, 0));
    p.save();
    p.translate(ellipse.center());
    p.scale(1, ellipse.height() / ellipse.width());
    p.translate(-ellipse.center());
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(ellipse.center(), ellipse.width() / 2, ellipse.width() / 2);
    p.restore();
}

void drawBrakeDisc(QPainter &p, const QRectF &box, const QColor &accent)
{
    const QPointF c = box.center();
    const qreal r = qMin(box.width(), box.height()) * 0.46;
    QRadialGradient face(c - QPointF(r * 0.3, r * 0.35), r * 1.4);
    face.setColorAt(0, steel(88));
    face.setColorAt(0.6, steel(72));
    face.setColorAt(1, steel(52));
    p.setPen(QPen(steel(35), r * 0.02));
    p.setBrush(face);
    p.drawEllipse(c, r, r);
    // Machining rings of the friction face.
    p.setBrush(Qt::NoBrush);
    for (int i = 0; i < 6; ++i) {
        p.setPen(QPen(QColor(255, 255, 255, i % 2 ? 40 : 25), r * 0.012));
        p.drawEllipse(c, r * (0.58 + 0.07 * i), r * (0.58 + 0.07 * i));
    }
    // Drilled holes in three staggered rings.
    p.setPen(Qt::NoPen);
    p.setBrush(steel(22));
    for (int ring = 0; ring < 3; ++ring) {
        const qreal rr = r * (0.66 + 0.1 * ring);
        for (int k = 0; k < 12; ++k) {
            const qreal a = qDegreesToRadians(30.0 * k + 10.0 * ring);
            p.drawEllipse(c + QPointF(qCos(a) * rr, qSin(a) * rr), r * 0.032, r * 0.032);
        }
    }
    // The hat, painted in the accent colour, with the bolt circle.
    QRadialGradient hat(c - QPointF(r * 0.12, r * 0.15), r * 0.6);
    hat.setColorAt(0, accent.lighter(135));
    hat.setColorAt(1, accent.darker(140));
    p.setPen(QPen(accent.darker(200), r * 0.015));
    p.setBrush(hat);
    p.drawEllipse(c, r * 0.46, r * 0.46);
    p.setPen(Qt::NoPen);
    p.setBrush(steel(30));
    for (int k = 0; k < 5; ++k) {
        const qreal a = qDegreesToRadians(72.0 * k - 90.0);
        p.drawEllipse(c + QPointF(qCos(a) * r * 0.3, qSin(a) * r * 0.3), r * 0.055, r * 0.055);
    }
    p.setBrush(kPaper);
    p.setPen(QPen(accent.darker(200), r * 0.015));
    p.drawEllipse(c, r * 0.15, r * 0.15);
}

void drawGear(QPainter &p, const QRectF &box, const QColor &accent)
{
    const QPointF c = box.center();
    const qreal r = qMin(box.width(), box.height()) * 0.46;
    const int teeth = 14;
    QPainterPath outline;
    for (int t = 0; t < teeth; ++t) {
        const qreal a0 = 2 * M_PI * t / teeth;
        const qreal step = 2 * M_PI / teeth;
        const std::array<std::pair<qreal, qreal>, 4> pts{{{a0, r * 0.8}, {a0 + step * 0.18, r}, {a0 + step * 0.45, r}, {a0 + step * 0.63, r * 0.8}}};
        for (std::size_t i = 0; i < pts.size(); ++i) {
            const QPointF pt = c + QPointF(qCos(pts[i].first) * pts[i].second, qSin(pts[i].first) * pts[i].second);
            if (t == 0 && i == 0)
                outline.moveTo(pt);
            else
                outline.lineTo(pt);
        }
    }
    outline.closeSubpath();
    // Bore and lightening holes are cut out of the body.
    outline.addEllipse(c, r * 0.2, r * 0.2);
    for (int k = 0; k < 6; ++k) {
        const qreal a = qDegreesToRadians(60.0 * k + 30.0);
        outline.addEllipse(c + QPointF(qCos(a) * r * 0.52, qSin(a) * r * 0.52), r * 0.11, r * 0.11);
    }
    outline.setFillRule(Qt::OddEvenFill);
    QLinearGradient body(box.topLeft(), box.bottomRight());
    body.setColorAt(0, steel(86));
    body.setColorAt(0.5, steel(66));
    body.setColorAt(1, steel(44));
    p.setPen(QPen(steel(30), r * 0.018));
    p.setBrush(body);
    p.drawPath(outline);
    // A hub ring in the accent colour.
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(accent, r * 0.07));
    p.drawEllipse(c, r * 0.29, r * 0.29);
    // Keyway.
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawRect(QRectF(c.x() - r * 0.05, c.y() - r * 0.26, r * 0.1, r * 0.1));
}

void drawOilFilter(QPainter &p, const QRectF &box, const QColor &accent)
{
    const qreal w = box.width() * 0.56, h = box.height() * 0.78;
    const QRectF body(box.center().x() - w / 2, box.top() + box.height() * 0.14, w, h);
    const qreal capH = h * 0.16;
    // The can: horizontal shading makes it round.
    QLinearGradient can(body.topLeft(), body.topRight());
    can.setColorAt(0, accent.darker(170));
    can.setColorAt(0.3, accent.lighter(125));
    can.setColorAt(0.55, accent);
    can.setColorAt(1, accent.darker(190));
    p.setPen(Qt::NoPen);
    p.setBrush(can);
    p.drawRoundedRect(body.adjusted(0, capH * 0.6, 0, 0), w * 0.08, w * 0.08);
    // Wrench grip at the top: a ribbed steel cap.
    const QRectF cap(body.left() - w * 0.02, body.top(), w * 1.04, capH);
    QLinearGradient capShade(cap.topLeft(), cap.topRight());
    capShade.setColorAt(0, steel(35));
    capShade.setColorAt(0.35, steel(80));
    capShade.setColorAt(1, steel(30));
    p.setBrush(capShade);
    p.drawRoundedRect(cap, w * 0.05, w * 0.05);
    p.setPen(QPen(QColor(0, 0, 0, 70), qMax(1.0, w * 0.012)));
    for (int i = 1; i < 16; ++i) {
        const qreal x = cap.left() + cap.width() * i / 16.0;
        p.drawLine(QPointF(x, cap.top() + 2), QPointF(x, cap.bottom() - 2));
    }
    // Label band.
    const QRectF label(body.left(), body.top() + h * 0.42, w, h * 0.3);
    QLinearGradient band(label.topLeft(), label.topRight());
    band.setColorAt(0, QColor(200, 205, 212));
    band.setColorAt(0.3, Qt::white);
    band.setColorAt(1, QColor(185, 190, 198));
    p.setPen(Qt::NoPen);
    p.setBrush(band);
    p.drawRect(label);
    p.setBrush(kNavy);
    p.drawRect(QRectF(label.left(), label.top() + label.height() * 0.35, label.width(), label.height() * 0.3));
    p.setBrush(kOrange);
    p.drawRect(QRectF(label.left(), label.top() + label.height() * 0.72, label.width(), label.height() * 0.1));
    // Bottom seam.
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawRect(QRectF(body.left(), body.bottom() - h * 0.05, w, h * 0.02));
}

void drawSparkPlug(QPainter &p, const QRectF &box, const QColor &accent)
{
    p.save();
    p.translate(box.center());
    p.rotate(-32);
    const qreal u = qMin(box.width(), box.height()) / 100.0; // drawn on a 100-unit grid, plug vertical
    auto rect = [u](qreal x, qreal y, qreal w, qreal h) { return QRectF(x * u, y * u, w * u, h * u); };
    p.setPen(Qt::NoPen);
    // Terminal.
    QLinearGradient term(rect(-4, 0, 8, 0).topLeft(), rect(-4, 0, 8, 0).topRight());
    term.setColorAt(0, steel(40));
    term.setColorAt(0.4, steel(85));
    term.setColorAt(1, steel(35));
    p.setBrush(term);
    p.drawRoundedRect(rect(-4, -50, 8, 9), u, u);
    // Ceramic insulator with ribs.
    QLinearGradient cer(rect(-9, 0, 18, 0).topLeft(), rect(-9, 0, 18, 0).topRight());
    cer.setColorAt(0, QColor(205, 208, 214));
    cer.setColorAt(0.35, Qt::white);
    cer.setColorAt(1, QColor(175, 180, 188));
    p.setBrush(cer);
    p.drawRoundedRect(rect(-8, -42, 16, 38), 3 * u, 3 * u);
    for (int i = 0; i < 5; ++i)
        p.drawRoundedRect(rect(-9.5, -40 + i * 5.2, 19, 2.6), u, u);
    p.setBrush(accent);
    p.drawRect(rect(-8, -14, 16, 3));
    // Hex nut.
    QLinearGradient hex(rect(-13, 0, 26, 0).topLeft(), rect(-13, 0, 26, 0).topRight());
    hex.setColorAt(0, steel(45));
    hex.setColorAt(0.33, steel(80));
    hex.setColorAt(0.34, steel(62));
    hex.setColorAt(0.66, steel(70));
    hex.setColorAt(0.67, steel(50));
    hex.setColorAt(1, steel(35));
    p.setBrush(hex);
    p.drawRect(rect(-13, -4, 26, 14));
    // Thread.
    QLinearGradient thr(rect(-9, 0, 18, 0).topLeft(), rect(-9, 0, 18, 0).topRight());
    thr.setColorAt(0, steel(50));
    thr.setColorAt(0.4, steel(82));
    thr.setColorAt(1, steel(40));
    p.setBrush(thr);
    p.drawRect(rect(-9, 10, 18, 26));
    p.setPen(QPen(steel(32), 1.2 * u));
    for (int i = 0; i < 9; ++i)
        p.drawLine(QPointF(-9 * u, (12 + i * 2.8) * u), QPointF(9 * u, (10.5 + i * 2.8) * u));
    // Centre and ground electrodes.
    p.setPen(Qt::NoPen);
    p.setBrush(steel(60));
    p.drawRect(rect(-1.5, 36, 3, 6));
    p.setBrush(steel(38));
    QPainterPath ground;
    ground.moveTo(6 * u, 36 * u);
    ground.lineTo(9 * u, 36 * u);
    ground.lineTo(9 * u, 47 * u);
    ground.lineTo(-3 * u, 47 * u);
    ground.lineTo(-3 * u, 44 * u);
    ground.lineTo(6 * u, 44 * u);
    ground.closeSubpath();
    p.drawPath(ground);
    p.restore();
}

void drawBearing(QPainter &p, const QRectF &box, const QColor &accent)
{
    const QPointF c = box.center();
    const qreal r = qMin(box.width(), box.height()) * 0.45;
    auto ring = [&](qreal outer, qreal inner, int light) {
        QPainterPath path;
        path.addEllipse(c, outer, outer);
        path.addEllipse(c, inner, inner);
        path.setFillRule(Qt::OddEvenFill);
        QLinearGradient g(c - QPointF(outer, outer), c + QPointF(outer, outer));
        g.setColorAt(0, steel(light + 18));
        g.setColorAt(0.5, steel(light));
        g.setColorAt(1, steel(light - 25));
        p.setPen(QPen(steel(28), r * 0.015));
        p.setBrush(g);
        p.drawPath(path);
    };
    ring(r, r * 0.78, 70);
    // Cage between the rings.
    p.setPen(Qt::NoPen);
    p.setBrush(accent.darker(150));
    {
        QPainterPath cage;
        cage.addEllipse(c, r * 0.78, r * 0.78);
        cage.addEllipse(c, r * 0.5, r * 0.5);
        cage.setFillRule(Qt::OddEvenFill);
        p.drawPath(cage);
    }
    const int balls = 10;
    for (int k = 0; k < balls; ++k) {
        const qreal a = 2 * M_PI * k / balls;
        const QPointF bc = c + QPointF(qCos(a), qSin(a)) * (r * 0.64);
        QRadialGradient g(bc - QPointF(r * 0.04, r * 0.04), r * 0.14);
        g.setColorAt(0, Qt::white);
        g.setColorAt(0.5, steel(70));
        g.setColorAt(1, steel(30));
        p.setBrush(g);
        p.drawEllipse(bc, r * 0.115, r * 0.115);
    }
    ring(r * 0.5, r * 0.3, 66);
    p.setPen(QPen(accent, r * 0.03));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r * 0.4, r * 0.4);
}

void drawPart(QPainter &p, int kind, const QRectF &box, const QColor &accent, bool shadow = true)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (shadow)
        drawShadow(p, box);
    switch (static_cast<Part>(((kind % kPartKinds) + kPartKinds) % kPartKinds)) {
    case Part::BrakeDisc: drawBrakeDisc(p, box, accent); break;
    case Part::Gear: drawGear(p, box, accent); break;
    case Part::OilFilter: drawOilFilter(p, box, accent); break;
    case Part::SparkPlug: drawSparkPlug(p, box, accent); break;
    case Part::Bearing: drawBearing(p, box, accent); break;
    }
    p.restore();
}

void drawLogo(QPainter &p, const QPointF &c, qreal r)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    QPainterPath cog;
    const int teeth = 10;
    for (int t = 0; t < teeth * 2; ++t) {
        const qreal a = M_PI * t / teeth;
        const qreal rr = t % 2 ? r * 0.86 : r;
        const qreal half = M_PI / teeth * 0.5;
        const QPointF p0 = c + QPointF(qCos(a - half), qSin(a - half)) * rr;
        const QPointF p1 = c + QPointF(qCos(a + half), qSin(a + half)) * rr;
        if (t == 0)
            cog.moveTo(p0);
        else
            cog.lineTo(p0);
        cog.lineTo(p1);
    }
    cog.closeSubpath();
    QRadialGradient g(c - QPointF(r * 0.3, r * 0.3), r * 1.3);
    g.setColorAt(0, kOrange.lighter(120));
    g.setColorAt(1, kOrangeDark);
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(cog);
    p.setBrush(kNavy);
    p.drawEllipse(c, r * 0.68, r * 0.68);
    // The T, as two bars (no font needed).
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(c.x() - r * 0.42, c.y() - r * 0.4, r * 0.84, r * 0.2), r * 0.04, r * 0.04);
    p.drawRoundedRect(QRectF(c.x() - r * 0.11, c.y() - r * 0.3, r * 0.22, r * 0.72), r * 0.04, r * 0.04);
    p.restore();
}

// ---------------------------------------------------------------------------------------------------
// GIF: palette, LZW, file.

struct Histogram
{
    QHash<QRgb, quint32> counts; // opaque colours (alpha forced to 255)
    bool transparent = false;
};

QRgb opaque(QRgb px) { return px | 0xFF000000U; }

Histogram histogram(const QList<QImage> &argb)
{
    Histogram h;
    for (const QImage &img : argb)
        for (int y = 0; y < img.height(); ++y) {
            const auto *line = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            for (int x = 0; x < img.width(); ++x) {
                if (qAlpha(line[x]) < 128)
                    h.transparent = true;
                else
                    ++h.counts[opaque(line[x])];
            }
        }
    return h;
}

struct Entry
{
    QRgb rgb;
    quint32 count;
};

int channel(QRgb c, int ch) { return ch == 0 ? qRed(c) : ch == 1 ? qGreen(c) : qBlue(c); }

// Median cut over the counted colours: the box with the widest channel is split at its weighted median
// until there are `want` boxes or none can be split; each box gives its weighted mean.
QList<QRgb> medianCut(std::vector<Entry> colours, int want)
{
    struct Box
    {
        std::size_t begin, end;
        int channel = 0;    // the widest channel
        int range = 0;      // its extent
        quint64 weight = 0; // pixels in the box
    };
    auto measure = [&colours](std::size_t begin, std::size_t end) {
        Box b{begin, end};
        int lo[3] = {255, 255, 255}, hi[3] = {0, 0, 0};
        for (std::size_t i = begin; i < end; ++i) {
            for (int ch = 0; ch < 3; ++ch) {
                lo[ch] = std::min(lo[ch], channel(colours[i].rgb, ch));
                hi[ch] = std::max(hi[ch], channel(colours[i].rgb, ch));
            }
            b.weight += colours[i].count;
        }
        for (int ch = 1; ch < 3; ++ch)
            if (hi[ch] - lo[ch] > hi[b.channel] - lo[b.channel])
                b.channel = ch;
        b.range = end - begin < 2 ? -1 : hi[b.channel] - lo[b.channel];
        return b;
    };
    std::vector<Box> boxes{measure(0, colours.size())};
    while (static_cast<int>(boxes.size()) < want) {
        std::size_t pick = boxes.size();
        for (std::size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].range < 0)
                continue;
            if (pick == boxes.size() || boxes[i].range > boxes[pick].range
                || (boxes[i].range == boxes[pick].range && boxes[i].weight > boxes[pick].weight))
                pick = i;
        }
        if (pick == boxes.size())
            break; // every box holds one colour
        const Box b = boxes[pick];
        const int ch = b.channel;
        std::sort(colours.begin() + static_cast<std::ptrdiff_t>(b.begin), colours.begin() + static_cast<std::ptrdiff_t>(b.end),
                  [ch](const Entry &l, const Entry &r) {
                      const int a = channel(l.rgb, ch), c = channel(r.rgb, ch);
                      return a != c ? a < c : l.rgb < r.rgb;
                  });
        // Split at the weighted median, keeping both halves non-empty.
        quint64 acc = 0;
        std::size_t split = b.begin + 1;
        for (std::size_t k = b.begin; k < b.end - 1; ++k) {
            acc += colours[k].count;
            split = k + 1;
            if (acc * 2 >= b.weight)
                break;
        }
        boxes[pick] = measure(b.begin, split);
        boxes.push_back(measure(split, b.end));
    }
    QList<QRgb> palette;
    for (const Box &b : boxes) {
        quint64 r = 0, g = 0, bl = 0;
        for (std::size_t k = b.begin; k < b.end; ++k) {
            r += quint64(qRed(colours[k].rgb)) * colours[k].count;
            g += quint64(qGreen(colours[k].rgb)) * colours[k].count;
            bl += quint64(qBlue(colours[k].rgb)) * colours[k].count;
        }
        const quint64 n = b.weight;
        palette.append(qRgb(int((r + n / 2) / n), int((g + n / 2) / n), int((bl + n / 2) / n)));
    }
    return palette;
}

// Nearest palette entry of every colour, by a weighted distance (green counts most, as the eye sees it).
QHash<QRgb, int> nearestEntries(const QList<QRgb> &palette, const std::vector<Entry> &colours)
{
    std::vector<std::array<int, 3>> pal;
    pal.reserve(std::size_t(palette.size()));
    for (const QRgb c : palette)
        pal.push_back({qRed(c), qGreen(c), qBlue(c)});
    QHash<QRgb, int> index;
    index.reserve(qsizetype(colours.size()));
    for (const Entry &e : colours) {
        const int r = qRed(e.rgb), g = qGreen(e.rgb), b = qBlue(e.rgb);
        int best = 0;
        int bestDistance = INT32_MAX;
        for (std::size_t i = 0; i < pal.size(); ++i) {
            const int dr = pal[i][0] - r, dg = pal[i][1] - g, db = pal[i][2] - b;
            const int d = 2 * dr * dr + 4 * dg * dg + 3 * db * db;
            if (d < bestDistance) {
                bestDistance = d;
                best = int(i);
            }
        }
        index.insert(e.rgb, best);
    }
    return index;
}

// Writes LZW codes of variable width, least significant bit first, into 255-byte sub-blocks.
class CodeWriter
{
public:
    explicit CodeWriter(QByteArray &out) : out_(out) {}
    void put(int code, int bits)
    {
        acc_ |= quint32(code) << count_;
        count_ += bits;
        while (count_ >= 8) {
            byte(char(acc_ & 0xFF));
            acc_ >>= 8;
            count_ -= 8;
        }
    }
    void finish()
    {
        if (count_ > 0)
            byte(char(acc_ & 0xFF));
        acc_ = 0;
        count_ = 0;
        if (!block_.isEmpty()) {
            out_.append(char(block_.size()));
            out_.append(block_);
            block_.clear();
        }
        out_.append('\0'); // block terminator
    }

private:
    void byte(char b)
    {
        block_.append(b);
        if (block_.size() == 255) {
            out_.append(char(255));
            out_.append(block_);
            block_.clear();
        }
    }
    QByteArray &out_;
    QByteArray block_;
    quint32 acc_ = 0;
    int count_ = 0;
};

// The image data of one frame: LZW minimum code size, then the codes in sub-blocks.
void writeLzw(QByteArray &out, const QImage &indexed, const QRect &area, int minCodeSize)
{
    constexpr int kMaxCode = 4096;
    const int clear = 1 << minCodeSize;
    const int eoi = clear + 1;
    out.append(char(minCodeSize));
    CodeWriter w(out);
    // next[code * 256 + byte] = code of (string of code) + byte, 0 when absent (0 is never a string's
    // extension: extensions are numbered above eoi).
    std::vector<std::uint16_t> next(std::size_t(kMaxCode) * 256, 0);
    int codeSize = minCodeSize + 1;
    int nextCode = eoi + 1;
    w.put(clear, codeSize);

    int current = -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar *line = indexed.constScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const int k = line[x];
            if (current < 0) {
                current = k;
                continue;
            }
            std::uint16_t &slot = next[std::size_t(current) * 256 + std::size_t(k)];
            if (slot != 0) {
                current = slot;
                continue;
            }
            w.put(current, codeSize);
            if (nextCode < kMaxCode) {
                slot = std::uint16_t(nextCode);
                // The decoder adds this entry one code later, and widens when its next code reaches
                // 2^codeSize; so we widen right after handing out code 2^codeSize.
                if (nextCode == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
                ++nextCode;
            } else {
                w.put(clear, codeSize);
                std::fill(next.begin(), next.end(), std::uint16_t(0));
                codeSize = minCodeSize + 1;
                nextCode = eoi + 1;
            }
            current = k;
        }
    }
    if (current >= 0)
        w.put(current, codeSize);
    w.put(eoi, codeSize);
    w.finish();
}

void le16(QByteArray &out, int v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}

QRect changedArea(const QImage &a, const QImage &b)
{
    int left = a.width(), right = -1, top = a.height(), bottom = -1;
    for (int y = 0; y < a.height(); ++y) {
        const uchar *la = a.constScanLine(y);
        const uchar *lb = b.constScanLine(y);
        for (int x = 0; x < a.width(); ++x)
            if (la[x] != lb[x]) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
    }
    if (right < 0)
        return QRect(0, 0, 1, 1); // nothing changed: one pixel, repainted as it was
    return QRect(QPoint(left, top), QPoint(right, bottom));
}

} // namespace

// ---------------------------------------------------------------------------------------------------

bool canDrawText()
{
    return qobject_cast<QGuiApplication *>(QCoreApplication::instance()) != nullptr;
}

QMutex &textRenderingLock()
{
    static QMutex lock;
    return lock;
}

void drawCompanyLogo(QPainter &painter, const QPointF &centre, qreal radius)
{
    drawLogo(painter, centre, radius);
}

QString toHexText(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes.toHex().toUpper());
}

QList<QImage> gifQuantise(const QList<QImage> &frames)
{
    QList<QImage> argb;
    argb.reserve(frames.size());
    for (const QImage &f : frames)
        argb.append(f.convertToFormat(QImage::Format_ARGB32));
    const Histogram h = histogram(argb);
    const int room = h.transparent ? 255 : 256;

    std::vector<Entry> colours;
    colours.reserve(std::size_t(h.counts.size()));
    for (auto it = h.counts.cbegin(); it != h.counts.cend(); ++it)
        colours.push_back({it.key(), it.value()});
    std::sort(colours.begin(), colours.end(), [](const Entry &l, const Entry &r) { return l.rgb < r.rgb; });

    QList<QRgb> palette;
    QHash<QRgb, int> index;
    if (static_cast<int>(colours.size()) <= room) {
        for (const Entry &e : colours) {
            index.insert(e.rgb, int(palette.size()));
            palette.append(e.rgb);
        }
    } else {
        palette = medianCut(colours, room);
        index = nearestEntries(palette, colours);
    }
    const int transparentIndex = h.transparent ? int(palette.size()) : -1;
    if (h.transparent)
        palette.append(qRgba(0, 0, 0, 0));
    if (palette.isEmpty())
        palette.append(qRgb(0, 0, 0));

    QList<QImage> out;
    out.reserve(argb.size());
    for (const QImage &img : argb) {
        QImage indexed(img.size(), QImage::Format_Indexed8);
        indexed.setColorTable(palette);
        for (int y = 0; y < img.height(); ++y) {
            const auto *src = reinterpret_cast<const QRgb *>(img.constScanLine(y));
            uchar *dst = indexed.scanLine(y);
            for (int x = 0; x < img.width(); ++x)
                dst[x] = uchar(qAlpha(src[x]) < 128 ? transparentIndex : index.value(opaque(src[x])));
        }
        out.append(indexed);
    }
    return out;
}

QByteArray gifEncode(const QList<QImage> &frames, const QList<int> &delaysCs)
{
    if (frames.isEmpty())
        throw ArtworkError(QStringLiteral("GIF: resim yok"));
    const QSize size = frames.front().size();
    if (size.isEmpty() || size.width() > 65535 || size.height() > 65535)
        throw ArtworkError(QStringLiteral("GIF: geçersiz resim boyu %1 × %2").arg(size.width()).arg(size.height()));
    for (const QImage &f : frames)
        if (f.size() != size)
            throw ArtworkError(QStringLiteral("GIF: karelerin boyları farklı"));

    const QList<QImage> indexed = gifQuantise(frames);
    const QList<QRgb> palette = indexed.front().colorTable();
    const bool transparent = qAlpha(palette.back()) == 0;
    const int transparentIndex = transparent ? int(palette.size()) - 1 : 0;
    const bool animated = frames.size() > 1;

    int tableBits = 1;
    while ((1 << tableBits) < palette.size())
        ++tableBits;
    const int minCodeSize = std::max(2, tableBits);

    QByteArray out;
    out.append("GIF89a");
    le16(out, size.width());
    le16(out, size.height());
    out.append(char(0x80 | (7 << 4) | (tableBits - 1))); // global table, 8-bit colour resolution
    out.append('\0');                                    // background colour index
    out.append('\0');                                    // no aspect ratio
    for (int i = 0; i < (1 << tableBits); ++i) {
        const QRgb c = i < palette.size() ? palette[i] : qRgb(0, 0, 0);
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (animated) {
        out.append("\x21\xFF\x0B" "NETSCAPE2.0" "\x03\x01", 16);
        le16(out, 0); // loop for ever
        out.append('\0');
    }
    for (qsizetype i = 0; i < indexed.size(); ++i) {
        QRect area(QPoint(0, 0), size);
        if (i > 0 && !transparent)
            area = changedArea(indexed[i - 1], indexed[i]);
        if (animated || transparent) {
            const int delay = std::clamp(i < delaysCs.size() ? delaysCs[i] : 100, 0, 65535);
            // Opaque frames stay (disposal 1) so the next frame can carry only what changed; frames with
            // holes are cleared (disposal 2) so an earlier frame never shows through them.
            const int disposal = transparent ? 2 : 1;
            out.append("\x21\xF9\x04", 3);
            out.append(char((disposal << 2) | (transparent ? 1 : 0)));
            le16(out, animated ? delay : 0);
            out.append(char(transparentIndex));
            out.append('\0');
        }
        out.append(',');
        le16(out, area.left());
        le16(out, area.top());
        le16(out, area.width());
        le16(out, area.height());
        out.append('\0'); // no local table, not interlaced
        writeLzw(out, indexed[i], area, minCodeSize);
    }
    out.append(';');
    return out;
}

// ---------------------------------------------------------------------------------------------------
// The pictures.

QByteArray stockPictureJpeg(int stokNo, const QString &name, const QString &brand)
{
    requireText("stockPictureJpeg");
    QMutexLocker locker(&textRenderingLock());
    const quint32 h = mix(quint32(stokNo));
    static const std::array<QColor, 4> accents{kOrange, kSky, QColor(0xC0, 0x39, 0x2B), QColor(0x2E, 0x8B, 0x57)};
    const QColor accent = accents[h % accents.size()];

    QImage image = canvas(kStockPictureWidth, kStockPictureHeight, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, kStockPictureHeight);
    bg.setColorAt(0, Qt::white);
    bg.setColorAt(1, QColor(0xE6, 0xEB, 0xF2));
    p.fillRect(image.rect(), bg);

    drawPart(p, stokNo % kPartKinds, QRectF(105, 34, 190, 190), accent);

    // Brand badge, top left.
    const QString brandText = brand.trimmed().isEmpty() ? QStringLiteral("MARKASIZ") : brand.trimmed();
    const QFont badgeFont = uiFont(15, QFont::Bold);
    const QFontMetricsF bfm(badgeFont, &image);
    const QString shownBrand = bfm.elidedText(brandText, Qt::ElideRight, 170);
    const QRectF badge(12, 12, bfm.horizontalAdvance(shownBrand) + 22, 28);
    p.setPen(Qt::NoPen);
    p.setBrush(kNavy);
    p.drawRoundedRect(badge, 6, 6);
    p.setBrush(kOrange);
    p.drawRoundedRect(QRectF(badge.left(), badge.bottom() - 4, badge.width(), 4), 2, 2);
    p.setPen(Qt::white);
    p.setFont(badgeFont);
    p.drawText(badge.adjusted(0, 0, 0, -3), Qt::AlignCenter, shownBrand);

    // Stock number, top right.
    p.setPen(kGrey);
    p.setFont(uiFont(12));
    p.drawText(QRectF(200, 14, 188, 24), Qt::AlignRight | Qt::AlignVCenter, QStringLiteral("Stok No: %1").arg(stokNo));

    // Name band at the bottom.
    p.fillRect(QRectF(0, 236, kStockPictureWidth, 64), kNavy);
    p.fillRect(QRectF(0, 236, kStockPictureWidth, 3), kOrange);
    p.setPen(Qt::white);
    drawFitted(p, QRectF(14, 242, kStockPictureWidth - 28, 52), name.trimmed(), 19, 11, QFont::Bold, Qt::AlignCenter);
    p.end();
    return jpeg(image);
}

namespace {

QImage headerBannerBase(const QString &text)
{
    QImage image = canvas(kHeaderBannerWidth, kHeaderBannerHeight, kNavy);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, kHeaderBannerWidth, kHeaderBannerHeight);
    bg.setColorAt(0, kNavy);
    bg.setColorAt(1, kBlue);
    p.fillRect(image.rect(), bg);
    // Orange wedge at the right edge, with a thin light stripe.
    QPainterPath wedge;
    wedge.moveTo(kHeaderBannerWidth - 70, 0);
    wedge.lineTo(kHeaderBannerWidth, 0);
    wedge.lineTo(kHeaderBannerWidth, kHeaderBannerHeight);
    wedge.lineTo(kHeaderBannerWidth - 110, kHeaderBannerHeight);
    wedge.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kOrange);
    p.drawPath(wedge);
    p.setPen(QPen(QColor(255, 255, 255, 120), 3));
    p.drawLine(QPointF(kHeaderBannerWidth - 82, 0), QPointF(kHeaderBannerWidth - 122, kHeaderBannerHeight));

    drawLogo(p, QPointF(48, 50), 34);
    p.setPen(Qt::white);
    p.setFont(uiFont(30, QFont::Black));
    p.drawText(QRectF(94, 8, 200, 38), Qt::AlignLeft | Qt::AlignVCenter, kCompany);
    p.setPen(kOrange);
    p.setFont(uiFont(13, QFont::Bold));
    p.drawText(QRectF(96, 44, 200, 18), Qt::AlignLeft | Qt::AlignVCenter, kCompanyLine);
    p.setPen(Qt::white);
    drawFitted(p, QRectF(96, 62, 200, 34), text.trimmed(), 13, 9, QFont::Normal, Qt::AlignLeft | Qt::AlignVCenter);
    drawPart(p, 0, QRectF(kHeaderBannerWidth - 96, 12, 76, 76), kNavy, false);
    p.end();
    return image;
}

QImage stripBannerFrame(const QString &text, int lit)
{
    QImage image = canvas(kStripBannerWidth, kStripBannerHeight, kNavy);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, kStripBannerHeight);
    bg.setColorAt(0, kBlue);
    bg.setColorAt(1, kNavy);
    p.fillRect(image.rect(), bg);
    p.fillRect(QRectF(0, kStripBannerHeight - 3, kStripBannerWidth, 3), kOrange);
    drawLogo(p, QPointF(22, 19), 14);
    p.setPen(Qt::white);
    p.setFont(uiFont(15, QFont::Black));
    p.drawText(QRectF(42, 0, 90, kStripBannerHeight - 3), Qt::AlignLeft | Qt::AlignVCenter, kCompany);
    // Chevrons either side of the text; one of the three is lit in each frame, running inwards.
    auto chevron = [&p](qreal x, bool pointRight, const QColor &c) {
        QPainterPath path;
        const qreal d = pointRight ? 1 : -1;
        path.moveTo(x, 9);
        path.lineTo(x + 7 * d, 9);
        path.lineTo(x + 16 * d, 18.5);
        path.lineTo(x + 7 * d, 28);
        path.lineTo(x, 28);
        path.lineTo(x + 9 * d, 18.5);
        path.closeSubpath();
        p.setPen(Qt::NoPen);
        p.setBrush(c);
        p.drawPath(path);
    };
    const QColor dim(0x3A, 0x5F, 0x8F);
    for (int i = 0; i < 3; ++i) {
        chevron(150 + 18 * i, true, i == lit ? kOrange : dim);
        chevron(kStripBannerWidth - 150 - 18 * i, false, i == lit ? kOrange : dim);
    }
    p.setPen(Qt::white);
    drawFitted(p, QRectF(215, 0, kStripBannerWidth - 430, kStripBannerHeight - 3), text.trimmed(), 17, 11, QFont::Bold,
               Qt::AlignCenter, false);
    p.end();
    return image;
}

} // namespace

QByteArray bannerGif(int which, const QString &text)
{
    if (which != 1 && which != 2)
        throw ArtworkError(QStringLiteral("GIF afiş %1 yok: yalnızca 1 (üst afiş) ve 2 (şerit) var").arg(which));
    requireText("bannerGif");
    QMutexLocker locker(&textRenderingLock());
    QList<QImage> frames;
    QList<int> delays;
    if (which == 1) {
        // A still banner, then a light sweep across it.
        const QImage base = headerBannerBase(text);
        frames.append(base);
        delays.append(300);
        for (int step = 0; step < 6; ++step) {
            QImage f = base;
            QPainter p(&f);
            p.setRenderHint(QPainter::Antialiasing);
            const qreal x = -60 + step * 90;
            QLinearGradient shine(x, 0, x + 60, 0);
            shine.setColorAt(0, QColor(255, 255, 255, 0));
            shine.setColorAt(0.5, QColor(255, 255, 255, 95));
            shine.setColorAt(1, QColor(255, 255, 255, 0));
            QPainterPath band;
            band.moveTo(x + 25, 0);
            band.lineTo(x + 85, 0);
            band.lineTo(x + 35, kHeaderBannerHeight);
            band.lineTo(x - 25, kHeaderBannerHeight);
            band.closeSubpath();
            p.setPen(Qt::NoPen);
            p.setBrush(shine);
            p.drawPath(band);
            p.end();
            frames.append(f);
            delays.append(7);
        }
    } else {
        for (int lit = 0; lit < 3; ++lit) {
            frames.append(stripBannerFrame(text, lit));
            delays.append(35);
        }
    }
    return gifEncode(frames, delays);
}

QByteArray bannerBmp(const QString &text)
{
    requireText("bannerBmp");
    QMutexLocker locker(&textRenderingLock());
    QImage image = canvas(kBandBannerWidth, kBandBannerHeight, Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, kBandBannerHeight);
    bg.setColorAt(0, Qt::white);
    bg.setColorAt(1, QColor(0xE4, 0xEA, 0xF2));
    p.fillRect(image.rect(), bg);
    p.fillRect(QRectF(0, 0, kBandBannerWidth, 3), kNavy);
    p.fillRect(QRectF(0, kBandBannerHeight - 3, kBandBannerWidth, 3), kOrange);

    // The band scrolls, so the text repeats with a part between the repetitions.
    const QString shown = text.trimmed().isEmpty() ? kCompany + QStringLiteral(" · ") + kCompanyLine : text.trimmed();
    const QFont font = uiFont(18, QFont::Bold);
    const QFontMetricsF fm(font, &image);
    const QString line = fm.elidedText(shown, Qt::ElideRight, kBandBannerWidth - 80);
    const qreal textWidth = fm.horizontalAdvance(line);
    qreal x = 8;
    for (int i = 0; x < kBandBannerWidth; ++i) {
        drawPart(p, i, QRectF(x, 7, 36, 36), i % 2 ? kNavy : kOrange, false);
        x += 48;
        p.setFont(font);
        p.setPen(i % 2 ? kOrangeDark : kNavy);
        p.drawText(QRectF(x, 3, textWidth + 4, kBandBannerHeight - 6), Qt::AlignLeft | Qt::AlignVCenter, line);
        x += textWidth + 28;
    }
    p.end();
    return encode(image, "bmp");
}

namespace {

const std::array<const char16_t *, 5> kAdvertTaglines{
    u"Kampanyalı ürünlerde bayilerimize özel fiyatlar",
    u"Yeni gelen ürünler stoklarımızda",
    u"Saat 15:00'e kadar verilen siparişler aynı gün kargoda",
    u"Orijinal ve eşdeğer parçada geniş ürün yelpazesi",
    u"Güvenli ödeme: sanal POS ile taksit imkânı",
};

} // namespace

QByteArray advertJpeg(int no, const QString &title)
{
    requireText("advertJpeg");
    QMutexLocker locker(&textRenderingLock());
    const int n = int(unsigned(no) % 1000000U); // only picks the look
    const bool orangeFirst = n % 2 == 1;
    const QColor main = orangeFirst ? kOrange : kNavy;
    const QColor second = orangeFirst ? kNavy : kOrange;

    QImage image = canvas(kAdvertWidth, kAdvertHeight, main);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, kAdvertWidth, kAdvertHeight);
    bg.setColorAt(0, main.lighter(115));
    bg.setColorAt(1, main.darker(125));
    p.fillRect(image.rect(), bg);
    // A light panel on the right holds the part; a diagonal edge in the second colour frames it.
    QPainterPath panel;
    panel.moveTo(330, 0);
    panel.lineTo(kAdvertWidth, 0);
    panel.lineTo(kAdvertWidth, kAdvertHeight);
    panel.lineTo(250, kAdvertHeight);
    panel.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(kPaper);
    p.drawPath(panel);
    p.setPen(QPen(second, 10));
    p.drawLine(QPointF(322, -5), QPointF(242, kAdvertHeight + 5));
    drawPart(p, n, QRectF(335, 70, 240, 240), second);

    p.setPen(Qt::white);
    p.setFont(uiFont(14, QFont::Bold));
    p.drawText(QRectF(30, 26, 260, 20), Qt::AlignLeft | Qt::AlignVCenter, kCompany + QStringLiteral(" · FIRSAT"));
    p.fillRect(QRectF(30, 52, 60, 4), second == kNavy ? QColor(Qt::white) : kOrange);
    drawFitted(p, QRectF(30, 70, 270, 170), title.trimmed(), 38, 16, QFont::Black, Qt::AlignLeft | Qt::AlignTop);
    p.setPen(QColor(255, 255, 255, 230));
    drawFitted(p, QRectF(30, 250, 240, 70), QString::fromUtf16(kAdvertTaglines[std::size_t(n) % kAdvertTaglines.size()]), 16,
               11, QFont::Normal, Qt::AlignLeft | Qt::AlignTop);
    // Call to action button.
    const QRectF button(30, 336, 170, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(second == kNavy ? kNavy : kOrange);
    p.drawRoundedRect(button, 20, 20);
    p.setPen(Qt::white);
    p.setFont(uiFont(15, QFont::Bold));
    p.drawText(button, Qt::AlignCenter, QStringLiteral("İncele  ›"));
    p.setPen(kGrey);
    p.setFont(uiFont(12));
    p.drawText(QRectF(330, 350, 250, 30), Qt::AlignRight | Qt::AlignVCenter, kCompany + QStringLiteral(" ") + kCompanyLine);
    p.end();
    return jpeg(image);
}

QByteArray announcementJpeg(int no, const QString &title)
{
    requireText("announcementJpeg");
    QMutexLocker locker(&textRenderingLock());
    QImage image = canvas(kAdvertWidth, kAdvertHeight, kPaper);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QLinearGradient bg(0, 0, 0, kAdvertHeight);
    bg.setColorAt(0, QColor(0xEC, 0xF0, 0xF5));
    bg.setColorAt(1, QColor(0xD9, 0xE1, 0xEB));
    p.fillRect(image.rect(), bg);

    // The card.
    const QRectF card(24, 24, kAdvertWidth - 48, kAdvertHeight - 48);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 30));
    p.drawRoundedRect(card.translated(0, 4), 14, 14);
    p.setBrush(Qt::white);
    p.drawRoundedRect(card, 14, 14);
    // Header of the card.
    QPainterPath head;
    head.addRoundedRect(QRectF(card.left(), card.top(), card.width(), 80), 14, 14);
    head.addRect(QRectF(card.left(), card.top() + 40, card.width(), 40));
    head.setFillRule(Qt::WindingFill);
    p.setBrush(kNavy);
    p.drawPath(head.simplified());
    p.fillRect(QRectF(card.left(), card.top() + 80, card.width(), 4), kOrange);
    drawLogo(p, QPointF(card.left() + 42, card.top() + 40), 24);
    p.setPen(Qt::white);
    p.setFont(uiFont(24, QFont::Black));
    p.drawText(QRectF(card.left() + 78, card.top(), 250, 80), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("DUYURU"));
    p.setPen(kOrange);
    p.setFont(uiFont(15, QFont::Bold));
    p.drawText(QRectF(card.right() - 220, card.top(), 200, 80), Qt::AlignRight | Qt::AlignVCenter,
               QStringLiteral("No %1").arg(qint64(no) + 1)); // the server counts from 0

    // A megaphone.
    {
        p.save();
        p.translate(card.left() + 80, card.top() + 200);
        p.rotate(-12);
        QPainterPath horn;
        horn.moveTo(-30, -14);
        horn.lineTo(34, -48);
        horn.lineTo(34, 48);
        horn.lineTo(-30, 14);
        horn.closeSubpath();
        QLinearGradient g(0, -48, 0, 48);
        g.setColorAt(0, kOrange.lighter(115));
        g.setColorAt(1, kOrangeDark);
        p.setPen(Qt::NoPen);
        p.setBrush(g);
        p.drawPath(horn);
        p.setBrush(kNavy);
        p.drawRoundedRect(QRectF(-48, -16, 20, 32), 5, 5);
        p.drawRoundedRect(QRectF(30, -50, 10, 100), 5, 5);
        p.drawRoundedRect(QRectF(-26, 12, 12, 30), 4, 4);
        p.setPen(QPen(kSky, 5, Qt::SolidLine, Qt::RoundCap));
        p.setBrush(Qt::NoBrush);
        for (int i = 0; i < 3; ++i)
            p.drawArc(QRectF(22 - 11 * i, -36 - 11 * i, 52 + 22 * i, 72 + 22 * i), -40 * 16, 80 * 16);
        p.restore();
    }

    p.setPen(kInk);
    drawFitted(p, QRectF(card.left() + 200, card.top() + 104, card.width() - 220, 190), title.trimmed(), 30, 13,
               QFont::Bold, Qt::AlignLeft | Qt::AlignVCenter);
    p.fillRect(QRectF(card.left() + 24, card.bottom() - 56, card.width() - 48, 1), QColor(0xD5, 0xDC, 0xE4));
    p.setPen(kGrey);
    p.setFont(uiFont(13));
    p.drawText(QRectF(card.left() + 24, card.bottom() - 50, card.width() - 48, 40), Qt::AlignLeft | Qt::AlignVCenter,
               kCompany + QStringLiteral(" ") + kCompanyLine + QStringLiteral(" · Bayi Duyuruları"));
    p.end();
    return jpeg(image);
}

} // namespace tarvik::server
