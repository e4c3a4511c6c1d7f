// The server's pictures and documents: the GIF writer against Qt's GIF reader, the generated pictures
// (decodable, the right size, the same bytes every time), the hex text form, and the PDFs read back with
// poppler's pdftotext / pdfinfo when those are installed.
//
// The pictures and documents draw text, which needs a QGuiApplication; under a plain QCoreApplication
// those tests check that the generators refuse with an exception and then skip.

#include "artwork.h"
#include "documents.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageReader>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <thread>

using namespace tarvik::server;

namespace {

// ---- helpers ----

quint32 lcg(quint32 &state)
{
    state = state * 1664525U + 1013904223U;
    return state >> 8;
}

QImage makeImage(int w, int h, const std::function<QRgb(int, int, quint32 &)> &pixel)
{
    QImage img(w, h, QImage::Format_ARGB32);
    quint32 state = 12345;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            img.setPixel(x, y, pixel(x, y, state));
    return img;
}

// All frames Qt's reader gives for `bytes`, as ARGB32.
QList<QImage> decodeAll(const QByteArray &bytes, QByteArray *format = nullptr)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer);
    if (format)
        *format = reader.format();
    QList<QImage> frames;
    for (;;) {
        QImage img = reader.read();
        if (img.isNull())
            break;
        frames.append(img.convertToFormat(QImage::Format_ARGB32));
    }
    return frames;
}

// Pixel-exact comparison; fully transparent pixels compare by their alpha only.
::testing::AssertionResult samePixels(const QImage &expected, const QImage &actual)
{
    if (expected.size() != actual.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << ", expected "
                                             << expected.width() << "x" << expected.height();
    const QImage e = expected.convertToFormat(QImage::Format_ARGB32);
    const QImage a = actual.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < e.height(); ++y)
        for (int x = 0; x < e.width(); ++x) {
            const QRgb pe = e.pixel(x, y), pa = a.pixel(x, y);
            if (qAlpha(pe) == 0 && qAlpha(pa) == 0)
                continue;
            if (pe != pa)
                return ::testing::AssertionFailure() << "pixel (" << x << "," << y << ") is " << std::hex << pa << ", expected " << pe;
        }
    return ::testing::AssertionSuccess();
}

int distinctColours(const QImage &img)
{
    QSet<QRgb> seen;
    const QImage a = img.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            seen.insert(a.pixel(x, y));
    return int(seen.size());
}

#define SKIP_WITHOUT_TEXT()                                                                                            \
    if (!canDrawText())                                                                                                \
    GTEST_SKIP() << "drawing text needs a QGuiApplication (run the tests with one on the offscreen platform)"

// Runs a poppler tool; empty optional when it is not installed.
std::optional<QString> poppler(const QString &tool, const QStringList &args)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty())
        return std::nullopt;
    QProcess proc;
    proc.start(exe, args);
    if (!proc.waitForFinished(60000) || proc.exitCode() != 0)
        return QString(); // a tool that fails gives no text, which the test then reports
    return QString::fromUtf8(proc.readAllStandardOutput());
}

struct PdfFile
{
    QTemporaryDir dir;
    QString path;
    explicit PdfFile(const QByteArray &bytes) : path(dir.filePath(QStringLiteral("doc.pdf")))
    {
        QFile f(path);
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    std::optional<QString> text(int page = 0) const
    {
        QStringList args{QStringLiteral("-enc"), QStringLiteral("UTF-8")};
        if (page > 0)
            args << QStringLiteral("-f") << QString::number(page) << QStringLiteral("-l") << QString::number(page);
        return poppler(QStringLiteral("pdftotext"), args << path << QStringLiteral("-"));
    }
    std::optional<int> pages() const
    {
        const auto info = poppler(QStringLiteral("pdfinfo"), {path});
        if (!info)
            return std::nullopt;
        const auto m = QRegularExpression(QStringLiteral("Pages:\\s+(\\d+)")).match(*info);
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
};

void expectPdfFrame(const QByteArray &pdf)
{
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_TRUE(pdf.trimmed().endsWith("%%EOF"));
}

} // namespace

// ------------------------------------------------------------------------------------------------------
// GIF writer

TEST(ArtworkGif, RoundTripThroughQtReader)
{
    struct Case
    {
        const char *name;
        int w, h;
        std::function<QRgb(int, int, quint32 &)> pixel;
        bool exact; // 256 colours or fewer: the palette must keep every colour
    };
    const std::vector<Case> cases{
        {"1x1", 1, 1, [](int, int, quint32 &) { return qRgb(10, 200, 30); }, true},
        {"2 colours", 7, 5, [](int x, int y, quint32 &) { return (x + y) % 2 ? qRgb(255, 255, 255) : qRgb(0, 0, 0); }, true},
        {"4 colours", 16, 16, [](int x, int y, quint32 &) { return qRgb(x / 8 * 255, y / 8 * 255, 0); }, true},
        {"5 colours (3-bit table)", 9, 9, [](int x, int y, quint32 &) { return qRgb((x * y) % 5 * 60, 0, 90); }, true},
        {"200 colours, odd size", 37, 23, [](int x, int y, quint32 &) { return qRgb((x * 23 + y) % 200, 7, 99); }, true},
        {"256 colours of noise", 128, 128, [](int, int, quint32 &s) { const int v = int(lcg(s) % 256); return qRgb(v, 255 - v, v / 2); }, true},
        {"wide strip of noise", 2000, 3, [](int, int, quint32 &s) { const int v = int(lcg(s) % 256); return qRgb(v, v, 255 - v); }, true},
        {"tall", 1, 500, [](int, int y, quint32 &) { return qRgb(y % 256, 0, 0); }, true},
        {">256 colours, gradient", 300, 200, [](int x, int y, quint32 &) { return qRgb(x * 255 / 299, y * 255 / 199, (x * y) % 256); }, false},
        {">256 colours, noise", 97, 61, [](int, int, quint32 &s) { return QRgb(0xFF000000U | (lcg(s) & 0xFFFFFF)); }, false},
        {"transparent holes", 40, 30,
         [](int x, int y, quint32 &) { return (x - 20) * (x - 20) + (y - 15) * (y - 15) < 100 ? qRgba(0, 0, 0, 0) : qRgb(x / 4 * 25, y / 5 * 40, 200); },
         true},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QImage source = makeImage(c.w, c.h, c.pixel);
        const QImage quantised = gifQuantise({source}).front();
        ASSERT_EQ(quantised.format(), QImage::Format_Indexed8);
        EXPECT_LE(quantised.colorCount(), 256);
        if (c.exact) {
            EXPECT_TRUE(samePixels(source, quantised));
        } else {
            EXPECT_GT(distinctColours(source), 256);
        }

        const QByteArray gif = gifEncode(source);
        EXPECT_TRUE(gif.startsWith("GIF89a"));
        EXPECT_TRUE(gif.endsWith(';'));
        QByteArray format;
        const QList<QImage> frames = decodeAll(gif, &format);
        EXPECT_EQ(format, "gif");
        ASSERT_EQ(frames.size(), 1);
        EXPECT_TRUE(samePixels(quantised, frames.front()));
        EXPECT_EQ(gifEncode(source), gif) << "not deterministic";
    }
}

TEST(ArtworkGif, AnimationStoresChangesAndTimes)
{
    // Three frames over one background; frame 2 changes a small square, frame 3 is frame 2 again.
    const QImage base = makeImage(120, 50, [](int x, int y, quint32 &) { return qRgb(x * 2, y * 5, 128); });
    QImage second = base;
    for (int y = 10; y < 20; ++y)
        for (int x = 30; x < 45; ++x)
            second.setPixel(x, y, qRgb(255, 140, 0));
    const QList<QImage> frames{base, second, second};
    const QList<int> delays{50, 7, 120};
    const QByteArray gif = gifEncode(frames, delays);
    const QList<QImage> quantised = gifQuantise(frames);

    QBuffer buffer;
    buffer.setData(gif);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    EXPECT_TRUE(reader.supportsAnimation());
    EXPECT_EQ(reader.imageCount(), 3);
    EXPECT_EQ(reader.loopCount(), -1); // for ever
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const QImage frame = reader.read();
        ASSERT_FALSE(frame.isNull()) << reader.errorString().toStdString();
        EXPECT_TRUE(samePixels(quantised[i], frame));
        EXPECT_EQ(reader.nextImageDelay(), delays[i] * 10); // how long the frame just read stays
    }
    // Storing only what changed: the same three full frames would be much larger.
    QByteArray full = gifEncode(QList<QImage>{base});
    EXPECT_LT(gif.size(), full.size() + full.size() / 2);
}

TEST(ArtworkGif, RefusesWhatItCannotWrite)
{
    const QImage small(4, 4, QImage::Format_RGB32);
    const std::vector<std::pair<const char *, QList<QImage>>> cases{
        {"no frames", {}},
        {"empty image", {QImage()}},
        {"frames of different sizes", {small, QImage(5, 4, QImage::Format_RGB32)}},
        {"too wide", {QImage(70000, 1, QImage::Format_Indexed8)}},
    };
    for (const auto &[name, frames] : cases) {
        SCOPED_TRACE(name);
        EXPECT_THROW(gifEncode(frames), ArtworkError);
    }
}

// ------------------------------------------------------------------------------------------------------
// Hex text and the generated pictures

TEST(ArtworkHex, TwoUpperCaseDigitsPerByte)
{
    const std::vector<std::pair<QByteArray, QString>> cases{
        {QByteArray(), QString()},
        {QByteArray(1, '\0'), QStringLiteral("00")},
        {QByteArray("JK"), QStringLiteral("4A4B")},
        {QByteArray("\xff\x0a\xbc", 3), QStringLiteral("FF0ABC")},
    };
    for (const auto &[bytes, hex] : cases)
        EXPECT_EQ(toHexText(bytes), hex);

    const QByteArray gif = gifEncode(makeImage(20, 20, [](int x, int y, quint32 &) { return qRgb(x * 12, y * 12, 0); }));
    const QString hex = toHexText(gif);
    EXPECT_EQ(hex.size(), 2 * gif.size());
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^[0-9A-F]+$")).match(hex).hasMatch());
    EXPECT_EQ(QByteArray::fromHex(hex.toLatin1()), gif);
}

TEST(ArtworkPictures, DecodeAtTheirSizesAndRepeatByteForByte)
{
    const QString turkish = QStringLiteral("Fren Diski Ön ığüşöçİĞÜŞÖÇ");
    struct Case
    {
        const char *name;
        std::function<QByteArray()> make;
        std::function<QByteArray()> other; // a different input must give different bytes
        QByteArray format;
        int w, h;
        bool animated;
    };
    const std::vector<Case> cases{
        {"stock picture", [&] { return stockPictureJpeg(1001, turkish, QStringLiteral("BOŞÇELİK")); },
         [&] { return stockPictureJpeg(1002, turkish, QStringLiteral("BOŞÇELİK")); }, "jpeg", kStockPictureWidth, kStockPictureHeight, false},
        {"stock picture, long name",
         [&] { return stockPictureJpeg(7, turkish.repeated(6), QString()); },
         [&] { return stockPictureJpeg(7, turkish.repeated(5), QString()); }, "jpeg", kStockPictureWidth, kStockPictureHeight, false},
        {"header banner", [&] { return bannerGif(1, QStringLiteral("Güvenilir parça, hızlı teslimat")); },
         [&] { return bannerGif(1, QStringLiteral("Başka bir yazı")); }, "gif", kHeaderBannerWidth, kHeaderBannerHeight, true},
        {"strip banner", [&] { return bannerGif(2, QStringLiteral("Kampanyalı ürünlerde %20'ye varan indirim")); },
         [&] { return bannerGif(2, QStringLiteral("Yeni ürünler")); }, "gif", kStripBannerWidth, kStripBannerHeight, true},
        {"picture band", [&] { return bannerBmp(QStringLiteral("Şanzıman · Fren · Süspansiyon")); },
         [&] { return bannerBmp(QStringLiteral("Yağ filtresi")); }, "bmp", kBandBannerWidth, kBandBannerHeight, false},
        {"advert", [&] { return advertJpeg(0, QStringLiteral("Kış Bakım Kampanyası")); },
         [&] { return advertJpeg(1, QStringLiteral("Kış Bakım Kampanyası")); }, "jpeg", kAdvertWidth, kAdvertHeight, false},
        {"announcement", [&] { return announcementJpeg(2, QStringLiteral("Bayram tatilinde depo kapalıdır")); },
         [&] { return announcementJpeg(2, QStringLiteral("Yeni fiyat listesi yayında")); }, "jpeg", kAdvertWidth, kAdvertHeight, false},
    };
    if (!canDrawText()) {
        for (const Case &c : cases)
            EXPECT_THROW(c.make(), ArtworkError) << c.name;
        GTEST_SKIP() << "drawing text needs a QGuiApplication";
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray bytes = c.make();
        ASSERT_FALSE(bytes.isEmpty());
        EXPECT_EQ(c.make(), bytes) << "not deterministic";
        EXPECT_NE(c.other(), bytes);
        QByteArray format;
        const QList<QImage> frames = decodeAll(bytes, &format);
        EXPECT_EQ(format, c.format);
        ASSERT_FALSE(frames.isEmpty());
        EXPECT_EQ(frames.front().size(), QSize(c.w, c.h));
        EXPECT_EQ(frames.size() > 1, c.animated);
        const char *magic = c.format == "gif" ? "GIF89a" : c.format == "bmp" ? "BM" : "\xFF\xD8\xFF";
        EXPECT_TRUE(bytes.startsWith(magic));
    }
}

TEST(ArtworkPictures, SameBytesFromWorkerThreads)
{
    EXPECT_THROW(bannerGif(3, QStringLiteral("yok")), ArtworkError);
    SKIP_WITHOUT_TEXT();
    const QByteArray here = stockPictureJpeg(42, QStringLiteral("Amortisör Ön Sağ"), QStringLiteral("ÇİFTÇİ"));
    // The server makes pictures and documents on its connection threads, several at once.
    QByteArray there, again;
    QByteArray pdf;
    std::thread worker([&] { there = stockPictureJpeg(42, QStringLiteral("Amortisör Ön Sağ"), QStringLiteral("ÇİFTÇİ")); });
    std::thread other([&] {
        again = stockPictureJpeg(42, QStringLiteral("Amortisör Ön Sağ"), QStringLiteral("ÇİFTÇİ"));
        ReceiptData r;
        r.receiptNo = 7;
        r.amount = 10;
        pdf = cardPaymentReceiptPdf(r);
    });
    worker.join();
    other.join();
    EXPECT_EQ(there, here);
    EXPECT_EQ(again, here);
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
}

// ------------------------------------------------------------------------------------------------------
// Documents

TEST(Documents, TurkishAmountsWordsAndCardNumbers)
{
    const std::vector<std::pair<double, QString>> amounts{
        {0, QStringLiteral("0,00")},           {-0.001, QStringLiteral("0,00")},
        {1234.5, QStringLiteral("1.234,50")},  {-98765.432, QStringLiteral("-98.765,43")},
        {1000000, QStringLiteral("1.000.000,00")}, {0.999, QStringLiteral("1,00")},
    };
    for (const auto &[v, text] : amounts)
        EXPECT_EQ(turkishAmount(v), text) << v;

    const std::vector<std::pair<double, QString>> words{
        {0, QStringLiteral("sıfır Türk lirası")},
        {1, QStringLiteral("bir Türk lirası")},
        {1234.5, QStringLiteral("bin iki yüz otuz dört Türk lirası elli kuruş")},
        {100100.01, QStringLiteral("yüz bin yüz Türk lirası bir kuruş")},
        {2001999, QStringLiteral("iki milyon bin dokuz yüz doksan dokuz Türk lirası")},
        {46.96, QStringLiteral("kırk altı Türk lirası doksan altı kuruş")},
    };
    for (const auto &[v, text] : words)
        EXPECT_EQ(amountInWords(v), text) << v;

    const std::vector<std::pair<QString, QString>> cards{
        {QStringLiteral("4543 1234 5678 9012"), QStringLiteral("**** **** **** 9012")},
        {QStringLiteral("**** **** **** 1234"), QStringLiteral("**** **** **** 1234")},
        {QStringLiteral("12"), QStringLiteral("**** **** **** **12")},
        {QString(), QStringLiteral("**** **** **** ****")},
    };
    for (const auto &[in, out] : cards)
        EXPECT_EQ(maskCardNumber(in), out);
}

TEST(Documents, OnlyReportsSixAndSeven)
{
    for (int no : {0, 1, 5, 8, -6}) {
        try {
            accountReportPdf(no, AccountReportData());
            ADD_FAILURE() << "report " << no << " made";
        } catch (const DocumentError &e) {
            const QString message = QString::fromStdString(e.what());
            EXPECT_TRUE(message.contains(QString::number(no))) << e.what();
            EXPECT_TRUE(message.contains(QStringLiteral("rapor"))) << e.what();
        }
    }
}

namespace {

ReceiptData sampleReceipt()
{
    ReceiptData r;
    r.receiptNo = 1234;
    r.date = QDateTime(QDate(2026, 3, 14), QTime(15, 42));
    r.accountCode = QStringLiteral("120.01.105");
    r.accountName = QStringLiteral("GÜNEŞ OTO ÇIKMA PARÇA LTD. ŞTİ.");
    r.amount = 1234.5;
    r.cardHolder = QStringLiteral("İSMAİL ŞAHİNOĞLU");
    r.maskedCardNumber = QStringLiteral("4543 1234 5678 1234");
    r.installments = 3;
    r.authorisationCode = QStringLiteral("A1B2C3");
    r.description = QStringLiteral("Mart ayı fatura ödemesi ığüşöçİĞÜŞÖÇ");
    return r;
}

AccountReportData sampleReport(int accountNo, int rows)
{
    AccountReportData d;
    d.section = 6;
    d.userNo = 3;
    d.accountNo = accountNo;
    d.accountCode = QStringLiteral("120.01.105");
    d.accountName = QStringLiteral("GÜNEŞ OTO ÇIKMA PARÇA LTD. ŞTİ.");
    d.representative = QStringLiteral("AYŞE DEMİR");
    d.dateFrom = QDate(2026, 1, 1);
    d.dateTo = QDate(2026, 3, 31);
    d.printedAt = QDateTime(QDate(2026, 4, 1), QTime(9, 30));
    d.openingBalance = 1500;
    const QStringList reps{QStringLiteral("MEHMET KAYA"), QStringLiteral("AYŞE DEMİR"), QStringLiteral("CAN ÖZTÜRK")};
    for (int i = 0; i < rows; ++i) {
        const QDate day = d.dateFrom.addDays(i % 90);
        const bool sale = i % 3 != 2;
        d.movements.push_back({day, sale ? QStringLiteral("Satış Faturası") : QStringLiteral("Tahsilat"),
                               QStringLiteral("EVR%1").arg(i + 1, 5, 10, QLatin1Char('0')), QStringLiteral("Şubat siparişi İğne"),
                               sale ? 1000.25 + i : 0.0, sale ? 0.0 : 2500.0});
        d.receivables.push_back({QStringLiteral("120.01.%1").arg(100 + i), QStringLiteral("CARİ %1 ÇAĞDAŞ").arg(i + 1),
                                 reps[(i / 7) % 3], 1000, i % 2 ? 250.5 : 0.0, 0, i % 5 ? 0.0 : 75.0, i % 11 ? 0.0 : 10.0});
        d.trades.push_back({reps[(i / 9) % 3], day, sale ? QStringLiteral("Satış Faturası") : QStringLiteral("Alış İade"),
                            QStringLiteral("EVR%1").arg(i + 1, 5, 10, QLatin1Char('0')), QStringLiteral("Dönem işlemi"),
                            sale ? 500.0 : 0, sale ? 0 : 120.0});
    }
    return d;
}

} // namespace

TEST(Documents, PdfsCarryTheirTurkishTexts)
{
    struct Case
    {
        const char *name;
        std::function<QByteArray()> make;
        QStringList expected;
    };
    const std::vector<Case> cases{
        {"receipt", [] { return cardPaymentReceiptPdf(sampleReceipt()); },
         {QStringLiteral("TAHSİLAT MAKBUZU"), QStringLiteral("Sanal POS Dekontu"), QStringLiteral("1.234,50 TL"),
          QStringLiteral("**** **** **** 1234"), QStringLiteral("3 taksit"), QStringLiteral("A1B2C3"),
          QStringLiteral("İSMAİL ŞAHİNOĞLU"), QStringLiteral("GÜNEŞ OTO ÇIKMA"), QStringLiteral("ığüşöçİĞÜŞÖÇ"),
          QStringLiteral("bin iki yüz otuz dört Türk lirası elli kuruş"), QStringLiteral("14.03.2026 15:42")}},
        {"report 6, one account", [] { return accountReportPdf(6, sampleReport(105, 5)); },
         {QStringLiteral("CARİ ÖZETİ"), QStringLiteral("01.01.2026 – 31.03.2026"), QStringLiteral("GÜNEŞ OTO ÇIKMA"),
          QStringLiteral("Borç"), QStringLiteral("Alacak"), QStringLiteral("Devreden"), QStringLiteral("1.000,25"),
          QStringLiteral("AYŞE DEMİR"), QStringLiteral("Sayfa 1 / 1")}},
        {"report 6, every account", [] {
             AccountReportData d = sampleReport(0, 9);
             d.representative = QStringLiteral(".");
             d.dateTo = d.dateFrom;
             return accountReportPdf(6, d);
         },
         {QStringLiteral("CARİ TOPLU ALACAK VADELERİ"), QStringLiteral("01.01.2026 tarihi itibarıyla"),
          QStringLiteral("Vadesi Gelmemiş"), QStringLiteral("Satıcı: MEHMET KAYA"), QStringLiteral("CARİ 3 ÇAĞDAŞ"),
          QStringLiteral("Tümü"), QStringLiteral("Genel Toplam (9 cari)"), QStringLiteral("Sayfa 1 / 1")}},
        {"report 7", [] { return accountReportPdf(7, sampleReport(105, 6)); },
         {QStringLiteral("CARİ ALIŞ SATIŞ TABLOSU (SATICILI)"), QStringLiteral("Satış"), QStringLiteral("Alış İade"),
          QStringLiteral("Satıcı: MEHMET KAYA"), QStringLiteral("Genel Toplam"), QStringLiteral("2.000,00"), QStringLiteral("Sayfa 1 / 1")}},
        {"report 6 without movements", [] { return accountReportPdf(6, sampleReport(105, 0)); },
         {QStringLiteral("Bu dönemde cari hareket yok."), QStringLiteral("1.500,00")}},
    };
    if (!canDrawText()) {
        for (const Case &c : cases)
            EXPECT_THROW(c.make(), DocumentError) << c.name;
        GTEST_SKIP() << "writing PDFs needs a QGuiApplication";
    }
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        const QByteArray pdf = c.make();
        expectPdfFrame(pdf);
        const PdfFile file(pdf);
        const auto text = file.text();
        if (!text)
            GTEST_SKIP() << "pdftotext is not installed";
        // pdftotext breaks lines where the layout does; compare with single blanks.
        const QString flat = text->simplified();
        for (const QString &s : c.expected)
            EXPECT_TRUE(flat.contains(s)) << "missing: " << s.toStdString() << "\n" << flat.toStdString();
        EXPECT_EQ(file.pages(), 1);
    }
}

TEST(Documents, LongReportsFlowOverNumberedPages)
{
    SKIP_WITHOUT_TEXT();
    const int rows = 160;
    const std::vector<std::pair<int, AccountReportData>> cases{
        {6, sampleReport(105, rows)},
        {6, sampleReport(0, rows)},
        {7, sampleReport(105, rows)},
    };
    for (const auto &[no, data] : cases) {
        SCOPED_TRACE(::testing::Message() << "report " << no << " account " << data.accountNo);
        const QByteArray pdf = accountReportPdf(no, data);
        expectPdfFrame(pdf);
        const PdfFile file(pdf);
        const auto pages = file.pages();
        if (!pages)
            GTEST_SKIP() << "pdfinfo is not installed";
        EXPECT_GE(*pages, 3);
        QString all;
        for (int page = 1; page <= *pages; ++page) {
            const QString text = file.text(page).value_or(QString()).simplified();
            EXPECT_TRUE(text.contains(QStringLiteral("Sayfa %1 / %2").arg(page).arg(*pages))) << "page " << page;
            EXPECT_TRUE(text.contains(data.accountNo == 0 ? QStringLiteral("Vadesi Gelmemiş") : QStringLiteral("Açıklama")))
                << "column titles missing on page " << page;
            EXPECT_TRUE(text.contains(data.company.name)) << "page header missing on page " << page;
            all += text + QLatin1Char('\n');
        }
        // Every row made it, once.
        for (int i = 0; i < rows; ++i) {
            const QString key = data.accountNo == 0 ? QStringLiteral("120.01.%1 ").arg(100 + i)
                                                    : QStringLiteral("EVR%1").arg(i + 1, 5, 10, QLatin1Char('0'));
            EXPECT_EQ(all.count(key), 1) << key.toStdString();
        }
    }
}
