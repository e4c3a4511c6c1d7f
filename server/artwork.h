#pragma once

// The demo pictures the server publishes: stock photos, the three banners, the opening adverts and the
// announcements. Everything is drawn by code, so the same input always gives the same bytes (on the same
// machine: the text goes through the installed fonts).
//
// Drawing text needs a QGuiApplication (Qt's font database lives in the platform integration; the server
// and the tests run it on the "offscreen" platform). Without one the generators that draw text throw
// ArtworkError instead of letting Qt abort the process. The GIF encoder and the hex text need no fonts
// and work under a plain QCoreApplication.

#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QList>
#include <QMutex>
#include <QPointF>
#include <QString>

#include <stdexcept>

class QPainter;

namespace tarvik::server {

class ArtworkError : public std::runtime_error
{
public:
    explicit ArtworkError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// The distributor's colours, shared by the pictures and the documents.
inline const QColor kNavy(0x0B, 0x25, 0x45);
inline const QColor kBlue(0x13, 0x3C, 0x6E);
inline const QColor kOrange(0xF2, 0x8C, 0x28);
inline const QColor kInk(0x1B, 0x26, 0x35);
inline const QColor kGrey(0x6B, 0x77, 0x85);

// Picture sizes, as the client's controls show them.
inline constexpr int kStockPictureWidth = 400, kStockPictureHeight = 300;
inline constexpr int kHeaderBannerWidth = 409, kHeaderBannerHeight = 100;   // banner 1 (GifResim1)
inline constexpr int kStripBannerWidth = 900, kStripBannerHeight = 40;      // banner 2 (strip under the search bar)
inline constexpr int kBandBannerWidth = 1200, kBandBannerHeight = 50;       // banner 3 (scrolling band, BMP)
inline constexpr int kAdvertWidth = 600, kAdvertHeight = 400;               // adverts and announcements

// True when text can be drawn (a QGuiApplication with its platform integration exists).
bool canDrawText();

// Every picture or document with text is drawn under this lock: the connection threads of the server may
// ask for them at the same time, and the font machinery underneath is not ours to trust with that.
QMutex &textRenderingLock();

// JPEG of a stylised part (the shape follows the stock number) with the brand and the name.
QByteArray stockPictureJpeg(int stokNo, const QString &name, const QString &brand);

// Banner 1 (the header banner, 409 × 100) or 2 (the strip, 900 × 40) as an animated GIF89a.
// Any other number: ArtworkError.
QByteArray bannerGif(int which, const QString &text);

// Banner 3, the picture band at the bottom, as a Windows bitmap.
QByteArray bannerBmp(const QString &text);

// Opening advert / announcement number `no` (from 0; the colour scheme and the picture follow it) as JPEG.
QByteArray advertJpeg(int no, const QString &title);
QByteArray announcementJpeg(int no, const QString &title);

// The distributor's mark (an orange cog around a white T on dark blue), drawn with shapes only; the
// documents use it too.
void drawCompanyLogo(QPainter &painter, const QPointF &centre, qreal radius);

// The form the opening-screen objects carry a picture in: two upper-case hex digits per byte, nothing between.
QString toHexText(const QByteArray &bytes);

// ---- GIF89a writer (Qt reads GIF but does not write it) ----

// Reduces `frames` (all of one size) to one shared palette of at most 256 entries and gives each frame as
// an Indexed8 image with that colour table. When the frames hold 256 distinct colours or fewer the palette
// is exact; otherwise a median cut picks the entries and every pixel takes its nearest entry. Pixels with
// alpha below 128 become one fully transparent entry (qRgba(0, 0, 0, 0)), always the last of the table.
QList<QImage> gifQuantise(const QList<QImage> &frames);

// Encodes the frames as a GIF89a: a global colour table from gifQuantise, LZW-compressed image data with
// growing code sizes and a clear code whenever the code table is full. More than one frame makes an
// endlessly looping animation; frame i stays delaysCs[i] hundredths of a second (100 when the list is
// shorter). After the first frame only the rectangle that changed is stored (when no frame has transparent
// pixels). ArtworkError for no frames, an empty frame, frames of different sizes or a side above 65535.
QByteArray gifEncode(const QList<QImage> &frames, const QList<int> &delaysCs = {});
inline QByteArray gifEncode(const QImage &image) { return gifEncode(QList<QImage>{image}); }

} // namespace tarvik::server
