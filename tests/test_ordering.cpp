// The stock dialog "Sepete Ekle" with its add and change flows, and the order confirmation "Sipariş Onay"
// with "Gönder", against a real tarvik-server on the offscreen platform.

#include "controls.h"
#include "localenv.h"
#include "memtable.h"
#include "onaysip.h"
#include "remote_connection.h"
#include "server_process.h"
#include "servermethods.h"
#include "stokayarinti.h"
#include "test_support_qt.h"
#include "test_support_widgets.h"
#include "tutarlar.h"

#include <QAccessible>
#include <QApplication>
#include <QBuffer>
#include <QButtonGroup>
#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>

namespace {


QString accessibleName(QWidget *w)
{
    QAccessibleInterface *i = QAccessible::queryAccessibleInterface(w);
    return i ? i->text(QAccessible::Name) : QString();
}

// A JPEG of `size` bytes exactly: a small picture, padded after its end marker.
QByteArray jpegOfSize(int size)
{
    QImage image(24, 16, QImage::Format_RGB32);
    image.fill(QColor(30, 120, 200));
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", 80);
    if (bytes.size() > size)
        return {};
    bytes.append(QByteArray(size - bytes.size(), '\0'));
    return bytes;
}

// A web server for the picture address: answers every GET with `body`, at once or when released.
class PictureServer
{
public:
    PictureServer()
    {
        server_.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
            while (QTcpSocket *s = server_.nextPendingConnection()) {
                auto request = std::make_shared<QByteArray>();
                QObject::connect(s, &QTcpSocket::readyRead, s, [this, s, request] {
                    *request += s->readAll();
                    if (!request->contains("\r\n\r\n"))
                        return;
                    request->clear();
                    ++requests;
                    waiting_.push_back(s);
                    if (!hold)
                        release();
                });
            }
        });
    }
    QString prefix() const { return QStringLiteral("http://127.0.0.1:%1/resimgoster.ashx?id=").arg(server_.serverPort()); }
    // Answers what waits, and from now on every request at once.
    void release()
    {
        hold = false;
        for (QTcpSocket *s : waiting_) {
            s->write("HTTP/1.1 200 OK\r\nContent-Type: image/jpeg\r\nConnection: close\r\nContent-Length: "
                     + QByteArray::number(body.size()) + "\r\n\r\n" + body);
            s->disconnectFromHost();
        }
        waiting_.clear();
    }
    QByteArray body;
    bool hold = false;
    int requests = 0;

private:
    QTcpServer server_;
    std::vector<QTcpSocket *> waiting_;
};

// A demo server, the dealer's identity record and the four tables of the main window.
class OrderingTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        server_.emplace(QStringList{QStringLiteral("--db"), home_.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                                    QStringLiteral("--demo-stocks"), QStringLiteral("300"), QStringLiteral("--demo-user"),
                                    QStringLiteral("dealer")});
        ASSERT_NE(server_->port(), 0);
        qputenv("TARVIK_SERVER", server_->address().toUtf8());
        qputenv("TARVIK_WEB", QStringLiteral("127.0.0.1:%1").arg(server_->httpPort()).toUtf8());
        previousPicture_ = ResimAdresi;
        AdresleriAyarla();
        tarvik::SunucuAyarla(bagc);
        ASSERT_TRUE(call([&](TServerMethods1Client &p) {
            const TSonucBilgisi *r = p.BuyukGetir(BilgisayarIdAl());
            ASSERT_NE(r, nullptr);
            sbilgi.Kopyala(*r);
        }));
        ASSERT_GT(sbilgi.CARINO(), 0);
        // Start from an empty basket.
        call([&](TServerMethods1Client &p) {
            auto copy = std::make_unique<TSonucBilgisi>();
            copy->Kopyala(sbilgi);
            p.SepetHepsiniSil(std::move(copy));
        });
    }
    void TearDown() override
    {
        ResimAdresi = previousPicture_;
        qunsetenv("TARVIK_SERVER");
        qunsetenv("TARVIK_WEB");
    }

    bool call(const std::function<void(TServerMethods1Client &)> &f)
    {
        return tarvik::callOnMainThread(bagc, [&](tarvik::TcpConnection &c) {
            TServerMethods1Client p(&c);
            f(p);
        });
    }

    // The basket as the server holds it.
    tarvik::DataTable serverBasket()
    {
        tarvik::DataTable t;
        call([&](TServerMethods1Client &p) { t = p.SepetVer2(sbilgi.CARINO()); });
        return t;
    }
    int orderCount()
    {
        int n = -1;
        call([&](TServerMethods1Client &p) { n = p.OncekiSiparisler(sbilgi.CARINO())->table().rowCount(); });
        return n;
    }
    static int rowOf(const tarvik::DataTable &t, QStringView column, int value)
    {
        for (int r = 0; r < t.rowCount(); ++r)
            if (t.value(r, column).toInt() == value)
                return r;
        return -1;
    }

    void loadStocks(const QString &text)
    {
        call([&](TServerMethods1Client &p) {
            auto copy = std::make_unique<TSonucBilgisi>();
            copy->Kopyala(sbilgi);
            stok.assignDataPacket(p.StokAraGetir(text, std::move(copy)));
        });
    }
    void loadLists()
    {
        call([&](TServerMethods1Client &p) {
            YENILER.assignDataPacket(p.YenilerVer2(sbilgi.CARINO()));
            kampstok.assignDataPacket(p.KampanyaliVer2(sbilgi.CARINO(), sbilgi.MusteriTipi()));
        });
    }
    // The first row of `t` satisfying `pred`, the cursor on it; -1 when none.
    static int findRow(tarvik::MemTable &t, const std::function<bool(tarvik::MemTable &)> &pred)
    {
        for (t.first(); !t.eof(); t.next()) {
            if (pred(t))
                return t.recNo();
            if (t.recNo() == t.recordCount() - 1)
                break;
        }
        return -1;
    }

    // The main window's side: the environment of an action, with a basket reload that counts.
    SiparisOrtami ortam(std::int32_t musteriTipi = -1)
    {
        SiparisOrtami o;
        o.bagc = &bagc;
        o.sbilgi.Kopyala(sbilgi);
        if (musteriTipi >= 0)
            o.sbilgi.setMusteriTipi(musteriTipi);
        o.SepetYenile = [this] {
            ++reloads;
            sepet.assignDataPacket(serverBasket());
        };
        return o;
    }

    tarvik::RemoteConnection bagc;
    TSonucBilgisi sbilgi;
    tarvik::MemTable stok{QStringLiteral("stok")}, sepet{QStringLiteral("sepet")}, YENILER{QStringLiteral("YENILER")},
        kampstok{QStringLiteral("kampstok")};
    int reloads = 0;

private:
    QTemporaryDir home_;
    std::optional<ServerProcess> server_;
    QString previousPicture_;
};

} // namespace

TEST(OrderingAmounts, CascadeAndRounding)
{
    struct Case
    {
        double price, qty, vat, r1, r2, r3, r4;
        double discount, vatIncluded, total;
    };
    for (const Case &c : {
             Case{100.00, 3, 18, 10, 5, 0, 0, 43.50, 100.89, 302.67},    // 10 then 5: 14.5 percent, not 15
             Case{100.00, 1, 18, -5, 0, 10, 0, 10.00, 106.20, 106.20},   // a negative and a zero rate are skipped
             Case{200.00, 2, 20, 10, 10, 10, 10, 137.56, 157.46, 314.92},  // four rates one after another
             Case{0.333, 3, 18, 10, 0, 0, 0, 0.999 - 0.8991, 0.35, 1.05}, // the discount is not rounded
             Case{50.00, 0, 18, 0, 0, 0, 0, 0, 0, 0},                    // no quantity: unit price 0
         }) {
        SCOPED_TRACE(testing::Message() << c.price << " x " << c.qty);
        const SatirTutarlari t = SatirTutarlariHesapla(c.price, c.qty, c.vat, c.r1, c.r2, c.r3, c.r4);
        EXPECT_DOUBLE_EQ(t.indtutar, c.discount);
        EXPECT_DOUBLE_EQ(t.kdvdahiltutar, c.vatIncluded);
        EXPECT_DOUBLE_EQ(t.geneltutar, c.total);
    }
    const IndirimSonucu i = IndirimHesapla(300, 10, 5, 0, 0, 3);
    EXPECT_DOUBLE_EQ(i.indirim, 43.5);
    EXPECT_DOUBLE_EQ(i.net, 256.5);
    EXPECT_DOUBLE_EQ(i.netBirimFiyat, 85.5);
}

TEST(OrderingDialog, WorkedExampleKeysAndNames)
{
    Tstokayarinti d;
    StokSatiri s;
    s.kaynak = StokKaynagi::Sepet;
    s.fiyat = 100;
    s.miktar = 3;
    s.kdv = 18;
    s.ind1 = 10;
    s.ind2 = 5;
    s.indirimyazi = QStringLiteral("10+5");
    d.Doldur(s, 0);
    d.show();
    EXPECT_EQ(d.indtutar->text(), QStringLiteral("43,50"));
    EXPECT_EQ(d.kdvdahiltutar->text(), QStringLiteral("100,89"));
    EXPECT_EQ(d.geneltutar->text(), QStringLiteral("302,67"));
    EXPECT_EQ(d.indirimoran->text(), QStringLiteral("İndirim: %10+5"));
    EXPECT_EQ(d.Label2->text(), QStringLiteral("Fiyat:"));
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Sepete Ekle"));
    EXPECT_TRUE(d.birimfiyat->isReadOnly()); // a customer does not change prices

    // The quantity recomputes at once.
    d.adet->setValue(1);
    EXPECT_EQ(d.geneltutar->text(), QStringLiteral("100,89"));

    // Enter in the price box does nothing; Enter in the quantity box confirms.
    QTest::keyClick(d.birimfiyat, Qt::Key_Return);
    EXPECT_TRUE(d.isVisible());
    EXPECT_EQ(d.result(), QDialog::Rejected);
    QTest::keyClick(d.adet, Qt::Key_Return);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.miktar(), 1.0);

    // Every control a user acts on is named after its caption.
    EXPECT_EQ(accessibleName(d.adet), QStringLiteral("Adet:"));
    EXPECT_EQ(accessibleName(d.birimfiyat), QStringLiteral("Fiyat:"));
    EXPECT_EQ(accessibleName(d.kdvdahiltutar), QStringLiteral("KDV Dahil:"));
    EXPECT_EQ(accessibleName(d.geneltutar), QStringLiteral("Tutar:"));
    EXPECT_EQ(accessibleName(d.ParcaliTus1), QStringLiteral("Sipariş ekle"));
    EXPECT_EQ(accessibleName(d.ParcaliTus2), QStringLiteral("Vazgeç"));
}

TEST(OrderingDialog, FillTablePerSource)
{
    struct Case
    {
        StokKaynagi source;
        int k, type;
        const char16_t *discountCaption, *priceCaption;
        bool priceEditable, ratesUsed;
        int stokno;
    };
    for (const Case &c : {
             Case{StokKaynagi::StokListesi, 0, 1, u"İndirim: %10", u"Fiyat:", true, true, 7},
             Case{StokKaynagi::StokListesi, 1, 0, u"Kampanyalı 10", u"Kampanyalı Fiyat:", false, true, 7},
             Case{StokKaynagi::StokListesi, -1, 0, u"İndirim:", u"Fiyat:", false, false, 7},
             Case{StokKaynagi::Yeniler, 0, 2, u"İndirim:  % 10", u"Fiyat:", true, false, 0},
             Case{StokKaynagi::Yeniler, 1, 0, u"Kampanyalı 10", u"Kampanyalı Fiyat:", false, false, 0},
             Case{StokKaynagi::Kampanyali, 1, 1, u"Kampanyalı 10", u"Kampanyalı Fiyat:", false, false, 0},
             Case{StokKaynagi::Sepet, 0, 2, u"İndirim: %10", u"Fiyat:", true, true, 7},
         }) {
        SCOPED_TRACE(testing::Message() << int(c.source) << " K=" << c.k << " type " << c.type);
        Tstokayarinti d;
        StokSatiri s;
        s.kaynak = c.source;
        s.stokno = 7;
        s.k = c.k;
        s.fiyat = 50;
        s.kdv = 20;
        s.ind1 = 10;
        s.miktar = 2;
        s.barkod = QStringLiteral("B7");
        s.adi = QStringLiteral("Fren Balatası");
        s.indirimyazi = QStringLiteral("10");
        d.Doldur(s, c.type);
        EXPECT_EQ(d.indirimoran->text(), QString::fromUtf16(c.discountCaption));
        EXPECT_EQ(d.Label2->text(), QString::fromUtf16(c.priceCaption));
        EXPECT_EQ(d.birimfiyat->isReadOnly(), !c.priceEditable);
        EXPECT_EQ(d._stokno, c.stokno);
        EXPECT_EQ(d.adi->text(), QStringLiteral("Fren Balatası"));
        EXPECT_EQ(d.ind1, c.ratesUsed ? 10.0 : 0.0);
        EXPECT_EQ(d.birimfiyat->value(), c.k < 0 ? 0.0 : 50.0);
        EXPECT_EQ(d.adet->value(), c.source == StokKaynagi::Sepet ? 2 : 1);
    }
}

TEST(OrderingDialog, ThePictureFromTheWebOnEveryActivation)
{
    PictureServer web;
    const QString before = ResimAdresi;
    ResimAdresi = web.prefix();
    struct Case
    {
        int size;
        bool shown;
    };
    for (const Case &c : {Case{1199, false}, Case{1200, true}}) {
        SCOPED_TRACE(c.size);
        web.body = jpegOfSize(c.size);
        ASSERT_EQ(web.body.size(), c.size);
        Tstokayarinti d;
        d._stokno = 42;
        d.show();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&d, &activate);
        ASSERT_TRUE(waitUntil([] { return Tstokayarinti::suranIndirmeler() == 0; }, 20000));
        EXPECT_EQ(d.Image1->hasPicture(), c.shown);
    }
    EXPECT_GE(web.requests, 2);

    // A download that ends after its dialog is gone is dropped.
    web.hold = true;
    const int requestsBefore = web.requests;
    {
        auto d = std::make_unique<Tstokayarinti>();
        d->_stokno = 43;
        d->show();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(d.get(), &activate);
        ASSERT_TRUE(waitUntil([&] { return web.requests > requestsBefore; }, 20000));
    }
    web.release();
    EXPECT_TRUE(waitUntil([] { return Tstokayarinti::suranIndirmeler() == 0; }, 20000));
    ResimAdresi = before;
}

TEST_F(OrderingTest, AddFromTheStockListThenChangeTheLine)
{
    loadStocks(QStringLiteral("FREN"));
    ASSERT_GT(stok.recordCount(), 0);
    ASSERT_GE(findRow(stok, [](tarvik::MemTable &t) { return t.fieldInt(u"K") == 0 && t.fieldDouble(u"IND1") > 0; }), 0);
    const int stokno = stok.fieldInt(u"STOK_STOKNO");
    const double rowPrice = stok.fieldDouble(u"FIYAT");
    const QString rowName = stok.fieldText(u"ADI");
    const QString rowDiscount = stok.fieldText(u"INDIRIMYAZI");
    stok.first();

    // A representative types another price: a new line still goes with the row's price.
    RecordedBoxes boxes;
    bool seen = false;
    answerNextModal([&](QWidget *w) {
        auto *d = qobject_cast<Tstokayarinti *>(w);
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_EQ(d->adi->text(), rowName);
        EXPECT_EQ(d->indirimoran->text(), QString(u"İndirim: %" + rowDiscount));
        EXPECT_EQ(d->birimfiyat->value(), rowPrice);
        EXPECT_FALSE(d->birimfiyat->isReadOnly());
        d->birimfiyat->setFocus();
        d->birimfiyat->selectAll();
        QTest::keyClicks(d->birimfiyat, QStringLiteral("1,23"));
        EXPECT_EQ(d->birimfiyat->value(), 1.23);
        QTest::keyClick(d->birimfiyat, Qt::Key_Return); // swallowed
        EXPECT_TRUE(d->isVisible());
        QLineEdit *qty = d->adet->findChild<QLineEdit *>();
        qty->selectAll();
        QTest::keyClicks(qty, QStringLiteral("4"));
        QTest::keyClick(qty, Qt::Key_Return);
    });
    StokSec(ortam(1), StokKaynagi::StokListesi, stok, stokno, sepet);
    EXPECT_TRUE(seen);
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(reloads, 2); // the basket was not loaded yet, and after the add
    tarvik::DataTable basket = serverBasket();
    int line = rowOf(basket, u"STOKNO", stokno);
    ASSERT_GE(line, 0);
    EXPECT_EQ(basket.value(line, u"MIKTAR").toDouble(), 4.0);
    EXPECT_DOUBLE_EQ(basket.value(line, u"BIRIMFIYAT").toDouble(), rowPrice);
    const int sirano = basket.value(line, u"SIRANO").toInt();

    // The same stock again from the list opens its basket line; the typed price is sent for a change.
    seen = false;
    answerNextModal([&](QWidget *w) {
        auto *d = qobject_cast<Tstokayarinti *>(w);
        ASSERT_NE(d, nullptr);
        seen = true;
        EXPECT_EQ(d->adet->value(), 4);
        EXPECT_EQ(d->indirimoran->text().left(10), QStringLiteral("İndirim: %"));
        d->birimfiyat->setFocus();
        d->birimfiyat->selectAll();
        QTest::keyClicks(d->birimfiyat, QStringLiteral("77,7"));
        d->adet->setValue(2);
        QTest::mouseClick(d->ParcaliTus1, Qt::LeftButton);
    });
    reloads = 0;
    StokSec(ortam(1), StokKaynagi::StokListesi, stok, stokno, sepet);
    EXPECT_TRUE(seen);
    EXPECT_EQ(reloads, 1);
    basket = serverBasket();
    EXPECT_EQ(basket.rowCount(), 1); // changed, not added a second time
    line = rowOf(basket, u"SIRANO", sirano);
    ASSERT_GE(line, 0);
    EXPECT_EQ(basket.value(line, u"MIKTAR").toDouble(), 2.0);
    EXPECT_DOUBLE_EQ(basket.value(line, u"BIRIMFIYAT").toDouble(), 77.7);

    // "Vazgeç" sends nothing and reloads nothing.
    answerNextModal([](QWidget *w) { static_cast<Tstokayarinti *>(w)->ParcaliTus2->click(); });
    reloads = 0;
    SepetSatirDegistir(ortam(), sepet, sirano);
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(serverBasket().value(line, u"MIKTAR").toDouble(), 2.0);
}

TEST_F(OrderingTest, AQuantityThatIsNoNumberSendsNothing)
{
    loadStocks(QStringLiteral("FREN"));
    ASSERT_GT(stok.recordCount(), 0);
    const int stokno = stok.fieldInt(u"STOK_STOKNO");
    struct Case
    {
        const char *typed;
        bool byEnter;
    };
    for (const Case &c : {Case{"", true}, Case{"", false}, Case{"0", true}}) {
        SCOPED_TRACE(testing::Message() << '"' << c.typed << "\" " << (c.byEnter ? "Enter" : "button"));
        RecordedBoxes boxes;
        bool stayedOpen = false;
        answerNextModal([&](QWidget *w) {
            auto *d = static_cast<Tstokayarinti *>(w);
            QLineEdit *qty = d->adet->findChild<QLineEdit *>();
            qty->selectAll();
            QTest::keyClick(qty, Qt::Key_Backspace);
            QTest::keyClicks(qty, QString::fromLatin1(c.typed));
            if (c.byEnter)
                QTest::keyClick(qty, Qt::Key_Return);
            else
                QTest::mouseClick(d->ParcaliTus1, Qt::LeftButton);
            stayedOpen = d->isVisible() && d->result() != QDialog::Accepted;
            d->reject();
        });
        reloads = 0;
        StokSec(ortam(), StokKaynagi::StokListesi, stok, stokno, sepet);
        EXPECT_TRUE(stayedOpen);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Uyari);
        EXPECT_TRUE(boxes.shown[0].text.startsWith(QStringLiteral("Adet geçerli bir sayı değil.")));
        EXPECT_EQ(serverBasket().rowCount(), 0);
    }
    double m = 0;
    for (const char *text : {"abc", "10001", "2,5", "-3"}) {
        EXPECT_FALSE(AdetOku(QString::fromLatin1(text), m)) << text;
    }
    EXPECT_TRUE(AdetOku(QStringLiteral(" 12 "), m));
    EXPECT_EQ(m, 12.0);
}

TEST_F(OrderingTest, NewStocksAndCampaignPaths)
{
    loadLists();
    ASSERT_GT(YENILER.recordCount(), 0);
    ASSERT_GT(kampstok.recordCount(), 0);
    struct Case
    {
        StokKaynagi source;
        tarvik::MemTable *list;
    };
    for (const Case &c : {Case{StokKaynagi::Yeniler, &YENILER}, Case{StokKaynagi::Kampanyali, &kampstok}}) {
        SCOPED_TRACE(int(c.source));
        // A stock of the list that is not in the basket yet; with a picture when the list says so.
        const bool hasPictureColumn = c.list->hasField(u"RESIM");
        const tarvik::DataTable basketBefore = serverBasket();
        ASSERT_GE(findRow(*c.list,
                          [&](tarvik::MemTable &t) {
                              return rowOf(basketBefore, u"STOKNO", t.fieldInt(u"STOK_STOKNO")) < 0
                                     && (!hasPictureColumn || t.fieldInt(u"RESIM") == 1);
                          }),
                  0);
        const int stokno = c.list->fieldInt(u"STOK_STOKNO");
        const double rates[] = {c.list->fieldDouble(u"IND1"), c.list->fieldDouble(u"IND2"), c.list->fieldDouble(u"IND3"),
                                c.list->fieldDouble(u"IND4")};
        bool picture = false, noDiscount = false;
        answerNextModal([&](QWidget *w) {
            auto *d = static_cast<Tstokayarinti *>(w);
            picture = d->Image1->hasPicture();
            noDiscount = d->indtutar->value() == 0 && d->ind1 == 0 && d->_stokno == 0;
            QTest::keyClick(d->adet, Qt::Key_Return);
        });
        sepet.close();
        StokSec(ortam(), c.source, *c.list, stokno, sepet);
        EXPECT_EQ(picture, hasPictureColumn); // ResimVer5's JPEG before the dialog showed
        EXPECT_TRUE(noDiscount);
        const tarvik::DataTable basket = serverBasket();
        const int line = rowOf(basket, u"STOKNO", stokno);
        ASSERT_GE(line, 0);
        // The rates still go with the new line.
        EXPECT_DOUBLE_EQ(basket.value(line, u"INDIRIMORANI1").toDouble(), rates[0]);
        EXPECT_DOUBLE_EQ(basket.value(line, u"INDIRIMORANI2").toDouble(), rates[1]);
    }
}

TEST_F(OrderingTest, PicturesFromResimVer5AndTheHandler)
{
    loadStocks(QStringLiteral("FREN"));
    ASSERT_GE(findRow(stok, [](tarvik::MemTable &t) { return t.fieldInt(u"RESIM") == 1; }), 0);
    const int withPicture = stok.fieldInt(u"STOK_STOKNO");
    ResimAlani area;
    EXPECT_TRUE(ResimYukle(bagc, withPicture, &area));
    EXPECT_TRUE(area.hasPicture());
    ResimAlani none;
    EXPECT_FALSE(ResimYukle(bagc, 999999, &none)); // no such stock: length 0 or an error, no picture
    EXPECT_FALSE(none.hasPicture());

    // The server's picture handler on activation: the stock's picture; id 0 answers short and is ignored.
    for (const int id : {withPicture, 0}) {
        SCOPED_TRACE(id);
        RecordedBoxes boxes;
        Tstokayarinti d;
        d._stokno = id;
        d.show();
        QEvent activate(QEvent::WindowActivate);
        QApplication::sendEvent(&d, &activate);
        ASSERT_TRUE(waitUntil([] { return Tstokayarinti::suranIndirmeler() == 0; }, 20000));
        EXPECT_EQ(d.Image1->hasPicture(), id != 0);
    }
}

TEST_F(OrderingTest, ConfirmationWindowListsChecksAndChoices)
{
    EXPECT_EQ(TONAYSIP::Ozet(QStringLiteral("Ali"), QStringLiteral("Örnek Ltd"), QStringLiteral("1.234,50")),
              QStringLiteral("Kullanıcı: Ali\r\nCari     : Örnek Ltd\r\nTutar    : 1.234,50"));

    RecordedBoxes boxes;
    TONAYSIP d(nullptr, bagc, QStringLiteral("Vadesi geçmiş bakiyeniz var."), sbilgi, QStringLiteral("1.234,50"));
    d.show();
    EXPECT_EQ(d.windowTitle(), QStringLiteral("Sipariş Onay"));
    EXPECT_EQ(d.Label3->text(), QStringLiteral("Vadesi geçmiş bakiyeniz var."));
    EXPECT_EQ(d.Label2->text(), TONAYSIP::Ozet(sbilgi.ADI(), sbilgi.CariAdi(), QStringLiteral("1.234,50")));
    EXPECT_TRUE(QFontInfo(d.Label2->font()).fixedPitch());
    ASSERT_EQ(d.teslimSecenekleri().size(), 3u);
    EXPECT_EQ(d.teslimIndex(), 1); // the second delivery mode
    ASSERT_EQ(d.kargoTurleri().size(), 3u);
    EXPECT_EQ(d.kargoTuruIndex(), -1);
    ASSERT_EQ(d.kargocombo->count(), 1);
    EXPECT_EQ(d.kargocombo->itemText(0), QStringLiteral(" "));

    // "Evet" checks in order.
    d.Button1->click();
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Lütfen Kargo Türünü Seçiniz !"));
    EXPECT_EQ(boxes.shown.back().kind, MesajTuru::Uyari);

    // A type with two companies: none chosen, the blank first.
    QTest::mouseClick(d.kargoTurleri()[0], Qt::LeftButton);
    ASSERT_EQ(d.kargocombo->count(), 3);
    EXPECT_EQ(d.kargocombo->currentIndex(), 0);
    EXPECT_TRUE(d.uyarikargo->text().isEmpty());
    d.Button1->click();
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Lütfen Kargo  Seçiniz !"));
    EXPECT_EQ(d.focusWidget(), d.kargocombo);
    EXPECT_TRUE(d.isVisible());
    d.kargocombo->setCurrentIndex(d.kargocombo->findText(QStringLiteral("ANADOLU HIZLI TAŞIMA")));
    EXPECT_EQ(d.uyarikargo->text(), QStringLiteral("Cumartesi günleri teslimat yapılmamaktadır."));

    // A type with one company: chosen at once, its note shown.
    QTest::mouseClick(d.kargoTurleri()[1], Qt::LeftButton);
    ASSERT_EQ(d.kargocombo->count(), 2);
    EXPECT_EQ(d.kargocombo->currentIndex(), 1);
    EXPECT_EQ(d.uyarikargo->text(), QStringLiteral("Gönderici ödemeli gönderilerde 5.000 TL altı siparişlere kargo ücreti yansıtılır."));
    d.aciklamagir->setPlainText(QStringLiteral("Öğlene kadar\nlütfen"));
    EXPECT_EQ(d.aciklama(), QStringLiteral("Öğlene kadar\r\nlütfen"));
    const std::size_t shownBefore = boxes.shown.size();
    d.Button1->click();
    EXPECT_EQ(boxes.shown.size(), shownBefore);
    EXPECT_EQ(d.result(), QDialog::Accepted);
    EXPECT_EQ(d.td, 2);
    EXPECT_EQ(d.kt, 2);
    EXPECT_EQ(d.KN, 3);

    // Without a connection the lists stay empty, and "Evet" first asks for the delivery mode.
    const tarvik::PauseFunction pause = tarvik::setPauseFunction([](int) {});
    tarvik::RemoteConnection dead;
    dead.setHostName(QStringLiteral("127.0.0.1"));
    dead.setPort(QString::number(ServerProcess::freePort()));
    boxes.shown.clear();
    TONAYSIP empty(nullptr, dead, QString(), sbilgi, QStringLiteral("0,00"));
    tarvik::setPauseFunction(pause);
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, kBaglantiKurulamiyor);
    EXPECT_TRUE(empty.teslimSecenekleri().empty());
    empty.Button1->click();
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Lütfen Teslim Durumu Seçiniz !"));
}

TEST_F(OrderingTest, GonderChecksSendsOnceAndReportsTheOutcome)
{
    // Nothing selected (not loaded, empty, lines without a tick): the warning and no window.
    {
        RecordedBoxes boxes;
        tarvik::MemTable closed;
        EXPECT_FALSE(SepetGonder(ortam(), closed, QString(), QString()));
        tarvik::MemTable unticked;
        unticked.createTable({{QStringLiteral("SIRANO"), tarvik::DbxType::Int32}, {QStringLiteral("SEC"), tarvik::DbxType::Int32}});
        EXPECT_FALSE(SepetGonder(ortam(), unticked, QString(), QString()));
        unticked.appendRecord({1, 0});
        unticked.appendRecord({2, 0});
        EXPECT_FALSE(SepetGonder(ortam(), unticked, QString(), QString()));
        ASSERT_EQ(boxes.shown.size(), 3u);
        for (const auto &b : boxes.shown) {
            EXPECT_EQ(b.text, QStringLiteral("Gönderilecek Parça Yok "));
            EXPECT_EQ(b.kind, MesajTuru::Uyari);
        }
    }

    // One selected line in the basket.
    loadStocks(QStringLiteral("FREN"));
    ASSERT_GT(stok.recordCount(), 1);
    auto addSelected = [&](int row) {
        stok.setRecNo(row);
        ASSERT_EQ(SepeteEkle(ortam(), StokSatiriOku(stok, StokKaynagi::StokListesi), 1), 1);
        const tarvik::DataTable b = serverBasket();
        const int line = rowOf(b, u"STOKNO", stok.fieldInt(u"STOK_STOKNO"));
        ASSERT_GE(line, 0);
        call([&](TServerMethods1Client &p) { p.SepetSecimGuncelle(b.value(line, u"SIRANO").toInt(), 1); });
        sepet.assignDataPacket(serverBasket());
    };
    addSelected(0);
    const int ordersBefore = orderCount();

    // "Hayır" sends nothing.
    {
        RecordedBoxes boxes;
        answerNextModal([](QWidget *w) { static_cast<TONAYSIP *>(w)->Button2->click(); });
        reloads = 0;
        EXPECT_FALSE(SepetGonder(ortam(), sepet, QString(), QStringLiteral("10,00")));
        EXPECT_TRUE(boxes.shown.empty());
        EXPECT_EQ(reloads, 0);
        EXPECT_EQ(orderCount(), ordersBefore);
    }

    // A double click on "Gönder", and one on "Evet": one window, one order.
    {
        QWidget tab;
        auto *gonder = new QPushButton(QStringLiteral("Gönder"), &tab);
        QObject::connect(gonder, &QPushButton::clicked, &tab,
                         [&] { SepetGonder(ortam(), sepet, QString(), QStringLiteral("10,00"), gonder); });
        tab.show();
        RecordedBoxes boxes;
        int windows = 0;
        bool disabledWhileOpen = false;
        // Every confirmation window that opens is counted; the first is answered, any other turned away.
        QTimer watch;
        watch.setInterval(20);
        QPointer<QWidget> answered;
        QObject::connect(&watch, &QTimer::timeout, &watch, [&] {
            auto *d = qobject_cast<TONAYSIP *>(QApplication::activeModalWidget());
            if (!d || d == answered)
                return;
            answered = d;
            ++windows;
            disabledWhileOpen = !gonder->isEnabled();
            if (windows > 1) {
                d->reject();
                return;
            }
            QTest::mouseClick(d->kargoTurleri()[1], Qt::LeftButton); // one company: chosen at once
            const QPoint c = d->Button1->rect().center();
            for (int i = 0; i < 2; ++i) {
                QCoreApplication::postEvent(d->Button1, new QMouseEvent(QEvent::MouseButtonPress, QPointF(c), QPointF(d->Button1->mapToGlobal(c)),
                                                                        Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
                QCoreApplication::postEvent(d->Button1, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(c), QPointF(d->Button1->mapToGlobal(c)),
                                                                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
            }
        });
        watch.start();
        reloads = 0;
        const QPoint c = gonder->rect().center();
        for (int i = 0; i < 2; ++i) {
            QCoreApplication::postEvent(gonder, new QMouseEvent(QEvent::MouseButtonPress, QPointF(c), QPointF(gonder->mapToGlobal(c)),
                                                                Qt::LeftButton, Qt::LeftButton, Qt::NoModifier));
            QCoreApplication::postEvent(gonder, new QMouseEvent(QEvent::MouseButtonRelease, QPointF(c), QPointF(gonder->mapToGlobal(c)),
                                                                Qt::LeftButton, Qt::NoButton, Qt::NoModifier));
        }
        ASSERT_TRUE(waitUntil([&] { return !boxes.shown.empty() && gonder->isEnabled(); }, 30000));
        for (int i = 0; i < 20; ++i)
            QCoreApplication::processEvents(); // let any stray second click arrive
        EXPECT_EQ(windows, 1);
        EXPECT_TRUE(disabledWhileOpen);
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Siparişiniz Gönderildi !"));
        EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Bilgi);
        EXPECT_EQ(reloads, 1);
        EXPECT_EQ(orderCount(), ordersBefore + 1);
        EXPECT_EQ(sepet.recordCount(), 0); // the sent line left the basket
    }

    // A stale local tick: the server refuses, the error is shown and the basket is not reloaded.
    addSelected(1);
    call([&](TServerMethods1Client &p) { p.SepetSecimGuncelle(sepet.value(0, sepet.fieldIndex(u"SIRANO")).toInt(), 0); });
    RecordedBoxes boxes;
    reloads = 0;
    answerNextModal([](QWidget *w) {
        auto *d = static_cast<TONAYSIP *>(w);
        d->kargoTurleri()[2]->click();
        d->Button1->click();
        if (d->isVisible())
            d->reject(); // never left hanging
    });
    EXPECT_FALSE(SepetGonder(ortam(), sepet, QString(), QStringLiteral("10,00")));
    ASSERT_EQ(boxes.shown.size(), 1u);
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Sipariş Göndermede Hata"));
    EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Hata);
    EXPECT_EQ(reloads, 0);
    EXPECT_EQ(orderCount(), ordersBefore + 1);
}

// Pictures of both windows as a user sees them; with TARVIK_ORDERING_PNG_DIR set they are written there.
TEST_F(OrderingTest, LookOfBothWindows)
{
    loadStocks(QStringLiteral("FREN"));
    ASSERT_GE(findRow(stok, [](tarvik::MemTable &t) { return t.fieldInt(u"RESIM") == 1 && t.fieldDouble(u"IND1") > 0; }), 0);
    Tstokayarinti d;
    d.Doldur(StokSatiriOku(stok, StokKaynagi::StokListesi), 0);
    d.adet->setValue(3);
    d.show();
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(&d, &activate);
    ASSERT_TRUE(waitUntil([] { return Tstokayarinti::suranIndirmeler() == 0; }, 20000));
    EXPECT_TRUE(d.Image1->hasPicture());
    const QImage stockDialog = d.grab().toImage();
    EXPECT_EQ(stockDialog.size(), QSize(550, 631));

    RecordedBoxes boxes;
    TONAYSIP o(nullptr, bagc, QStringLiteral("Vadesi geçmiş 1.234,56 TL bakiyeniz bulunmaktadır. Lütfen ödemenizi yapınız."), sbilgi,
               QStringLiteral("1.234,50"));
    o.show();
    QTest::mouseClick(o.kargoTurleri()[0], Qt::LeftButton);
    o.kargocombo->setCurrentIndex(o.kargocombo->findText(QStringLiteral("ANADOLU HIZLI TAŞIMA")));
    EXPECT_FALSE(o.uyarikargo->text().isEmpty());
    o.aciklamagir->setPlainText(QStringLiteral("Lütfen öğleden önce teslim ediniz."));
    const QImage confirmation = o.grab().toImage();
    EXPECT_EQ(confirmation.size(), QSize(894, 526));
    const QString dir = qEnvironmentVariable("TARVIK_ORDERING_PNG_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(stockDialog.save(dir + QStringLiteral("/stokayarinti.png")));
        EXPECT_TRUE(confirmation.save(dir + QStringLiteral("/onaysip.png")));
    }
}
