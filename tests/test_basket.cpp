// The basket tab of the main window, offscreen, against a real demo server.

#include "datagrid.h"
#include "form1.h"
#include "gridexport.h"
#include "look.h"
#include "server_process.h"
#include "servermethods.h"
#include "stokayarinti.h"
#include "test_support_qt.h"
#include "test_support_widgets.h"

#include <QApplication>
#include <QFile>
#include <QTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <optional>

namespace {

tarvik::DataTable basketLines(std::initializer_list<std::tuple<int, double, double, double>> lines)
{
    tarvik::DataTable t;
    t.addColumn(QStringLiteral("SEC"), tarvik::DbxType::Int32);
    t.addColumn(QStringLiteral("TUTAR"), tarvik::DbxType::Double);
    t.addColumn(QStringLiteral("INDIRIMTUTAR"), tarvik::DbxType::Double);
    t.addColumn(QStringLiteral("VERGITUTARI"), tarvik::DbxType::Double);
    for (const auto &[sec, tutar, indirim, vergi] : lines)
        t.appendRow({sec, tutar, indirim, vergi});
    return t;
}

} // namespace

TEST(BasketTotals, SelectedLinesRoundedAfterEveryLine)
{
    struct Case
    {
        const char *what;
        tarvik::DataTable lines;
        double toplam, indirim, ara, vergi, genel;
    };
    const Case cases[] = {
        {"nothing selected", basketLines({{0, 100, 10, 18}, {0, 50, 0, 9}}), 0, 0, 0, 0, 0},
        {"selected only", basketLines({{1, 100, 10, 18}, {0, 50, 0, 9}}), 100, 10, 90, 18, 108},
        // Three half-cents: rounded after each line 0.01, 0.02 → 0.02… gives 0.03, not the 0.02 of one rounding.
        {"rounded per line", basketLines({{1, 0.005, 0, 0.005}, {1, 0.005, 0, 0.005}, {1, 0.005, 0, 0.005}}), 0.03, 0, 0.03, 0.03, 0.06},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.what);
        tarvik::MemTable t;
        t.assignDataPacket(c.lines);
        const TForm1::SepetToplami s = TForm1::SepetToplamiHesapla(t);
        EXPECT_DOUBLE_EQ(s.toplam, c.toplam);
        EXPECT_DOUBLE_EQ(s.indirim, c.indirim);
        EXPECT_DOUBLE_EQ(s.ara, c.ara);
        EXPECT_DOUBLE_EQ(s.vergi, c.vergi);
        EXPECT_DOUBLE_EQ(s.genel, c.genel);
    }
}

TEST(BasketTotals, RowsOfOneOrLessAreHidden)
{
    TForm1 w(false);
    w.show();
    for (const auto &[indirim, vergi, showsIndirim, showsVergi] :
         {std::tuple{1.0, 1.0, false, false}, std::tuple{1.01, 0.5, true, false}, std::tuple{0.0, 1.01, false, true}}) {
        SCOPED_TRACE(indirim);
        w.sepet.assignDataPacket(basketLines({{1, 10, indirim, vergi}}));
        w.SepetToplamHesapla();
        EXPECT_EQ(w.indiriml->isVisibleTo(w.ssepet), showsIndirim);
        EXPECT_EQ(w.indirimCaption->isVisibleTo(w.ssepet), showsIndirim);
        EXPECT_EQ(w.vergil->isVisibleTo(w.ssepet), showsVergi);
        EXPECT_EQ(w.vergiCaption->isVisibleTo(w.ssepet), showsVergi);
    }
    w.sepet.assignDataPacket(basketLines({}));
    w.SepetToplamHesapla();
    EXPECT_EQ(w.geneltoplaml->text(), QStringLiteral("0,00"));
}

TEST(BasketTotals, TheDescriptionOfADeletedLine)
{
    EXPECT_EQ(TForm1::SilmeAciklamasi(QStringLiteral("X1"), QStringLiteral("Filtre")), QStringLiteral("X1-Filtre"));
    EXPECT_EQ(TForm1::SilmeAciklamasi(QString(), QStringLiteral("Filtre")), QStringLiteral("-Filtre"));
}

class BasketTab : public ::testing::Test
{
protected:
    void SetUp() override
    {
        server_.emplace(QStringList{QStringLiteral("--db"), dir_.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                                    QStringLiteral("--demo-stocks"), QStringLiteral("500")});
        ASSERT_NE(server_->port(), 0);
        qputenv("TARVIK_SERVER", server_->address().toUtf8());
        connection_ = std::make_unique<tarvik::TcpConnection>(QStringLiteral("127.0.0.1"), server_->port());
        connection_->open();
        proxy_ = std::make_unique<TServerMethods1Client>(connection_.get());
    }
    void TearDown() override { qunsetenv("TARVIK_SERVER"); }

    std::unique_ptr<TSonucBilgisi> identity() const
    {
        auto b = std::make_unique<TSonucBilgisi>();
        b->setCARINO(100);
        b->setSirano(1);
        return b;
    }
    void add(int stokno, double miktar, double fiyat)
    {
        ASSERT_EQ(proxy_->SepetEkle2(identity(), 100, stokno, QString(), QString(), miktar, 20, fiyat, 10, 1, 0, 0, 0, 0), 1);
    }
    std::vector<int> serverSelections()
    {
        const tarvik::DataTable t = proxy_->SepetVer2(100);
        std::vector<int> out;
        for (int r = 0; r < t.rowCount(); ++r)
            out.push_back(t.value(r, u"SEC").toInt());
        return out;
    }
    static QString caption(TForm1 &w) { return w.sPageControl1->tabBar()->accessibleTabName(w.sPageControl1->indexOf(w.ssepet)); }
    // The main window of the demo dealer, its basket tab shown and loaded.
    std::unique_ptr<TForm1> basketWindow()
    {
        auto w = std::make_unique<TForm1>(false);
        w->sbilgi.setCARINO(100);
        w->sbilgi.setSirano(1);
        w->resize(1400, 900);
        w->show();
        w->sPageControl1->setCurrentWidget(w->ssepet);
        waitUntil([&] { return w->cxGridDBTableView1->isEnabled() && w->bitenUyarilar() == 1; }, 30000);
        return w;
    }

    std::unique_ptr<TServerMethods1Client> proxy_;

private:
    QTemporaryDir dir_;
    std::optional<ServerProcess> server_;
    std::unique_ptr<tarvik::TcpConnection> connection_;
};

TEST_F(BasketTab, ShowsTheServersBasketWithItsTotalsAndWarning)
{
    add(10001, 2, 100);
    add(10002, 1, 50);
    add(10003, 3, 10);
    RecordedBoxes boxes;
    auto w = basketWindow();
    EXPECT_TRUE(boxes.shown.empty());
    EXPECT_EQ(w->sepet.recordCount(), 3);
    EXPECT_EQ(caption(*w), QStringLiteral("Sepet (3)"));
    // 2×100 + 50 + 3×10 = 280, 10 % off = 28, VAT 20 % of 252.
    EXPECT_EQ(w->aratoplaml->text(), QStringLiteral("280,00"));
    EXPECT_EQ(w->indiriml->text(), QStringLiteral("28,00"));
    EXPECT_EQ(w->nettutarl->text(), QStringLiteral("252,00"));
    EXPECT_EQ(w->vergil->text(), QStringLiteral("50,40"));
    EXPECT_EQ(w->geneltoplaml->text(), QStringLiteral("302,40"));
    EXPECT_EQ(w->lbluyarbakiye->text(), proxy_->CariVadeGunGecmismiBul(100)); // shown as the server sends it
    EXPECT_EQ(w->cxGridDBTableView1->footerText(QStringLiteral("MIKTAR")), QStringLiteral("6,00"));
}

TEST_F(BasketTab, SelectionGoesToTheServerLineByLine)
{
    add(10001, 1, 100);
    add(10002, 1, 100);
    RecordedBoxes boxes;
    auto w = basketWindow();
    w->Button5->click(); // "Seçimleri Kaldır"
    EXPECT_EQ(serverSelections(), (std::vector<int>{0, 0}));
    EXPECT_EQ(w->geneltoplaml->text(), QStringLiteral("0,00"));

    // A double-click on the "Seç" cell toggles that line; on another cell it opens the line instead.
    ASSERT_TRUE(w->cxGridDBTableView1->focusRowIndex(0));
    const int sirano = w->cxGridDBTableView1->focusedRecord().value(QStringLiteral("SIRANO")).toInt();
    w->cxGridDBTableView1DblClick(QStringLiteral("Seç"));
    const tarvik::DataTable after = proxy_->SepetVer2(100);
    for (int r = 0; r < after.rowCount(); ++r) {
        EXPECT_EQ(after.value(r, u"SEC").toInt(), after.value(r, u"SIRANO").toInt() == sirano ? 1 : 0);
    }
    // On another cell: the stock dialog on that line (closed with "Vazgeç": nothing changes).
    QString opened;
    answerNextModal([&opened](QWidget *modal) {
        if (auto *d = qobject_cast<Tstokayarinti *>(modal)) {
            opened = d->adi->text();
            d->ParcaliTus2->click();
        }
    });
    w->cxGridDBTableView1DblClick(QStringLiteral("Barkod"));
    EXPECT_FALSE(opened.isEmpty());
    EXPECT_EQ(serverSelections().size(), 2u);

    w->Button4->click(); // "Hepsini Seç"
    EXPECT_EQ(serverSelections(), (std::vector<int>{1, 1}));
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(BasketTab, DeletingALineAndTheWholeBasket)
{
    add(10001, 1, 100);
    add(10002, 1, 100);
    auto w = basketWindow();
    ASSERT_TRUE(w->cxGridDBTableView1->focusRowIndex(0));
    {
        RecordedBoxes no(mrNo);
        w->SatrSil1Click();
        ASSERT_EQ(no.shown.size(), 1u);
        EXPECT_EQ(no.shown[0].text, QStringLiteral("Satırı silmek istiyor musunuz "));
        EXPECT_EQ(no.shown[0].defaultButton, MesajDugmesi::Hayir);
        EXPECT_EQ(serverSelections().size(), 2u);
    }
    {
        RecordedBoxes yes(mrYes);
        w->SatrSil1Click();
        ASSERT_EQ(yes.shown.size(), 2u);
        EXPECT_EQ(yes.shown[1].text, QStringLiteral("Satır silindi !"));
        EXPECT_EQ(serverSelections().size(), 1u);
        EXPECT_EQ(w->sepet.recordCount(), 1);
        EXPECT_EQ(caption(*w), QStringLiteral("Sepet (1)"));
    }
    {
        RecordedBoxes cancel(mrCancel); // the question closed with the window's button
        w->HepsiniSil1Click();
        EXPECT_EQ(serverSelections().size(), 1u);
    }
    {
        RecordedBoxes yes(mrYes);
        w->HepsiniSil1Click();
        ASSERT_EQ(yes.shown.size(), 2u);
        EXPECT_EQ(yes.shown[0].text, QStringLiteral("Tüm Sepeti Silmek İstiyor musunuz "));
        EXPECT_EQ(yes.shown[1].text, QStringLiteral("Sepet Silindi !"));
        EXPECT_TRUE(serverSelections().empty());
        EXPECT_EQ(caption(*w), QStringLiteral("Sepet"));
    }
}

TEST_F(BasketTab, ExcelCopyOfTheBasket)
{
    add(10001, 1, 100);
    auto w = basketWindow();
    QTemporaryDir out;
    const QString file = out.filePath(QStringLiteral("sepet.xlsx"));
    const auto previous = tarvik::setSaveFileDialog([&](QWidget *, const QString &, const QString &filter) {
        EXPECT_TRUE(filter.contains(QStringLiteral("xls")));
        return file;
    });
    w->Button2->click();
    tarvik::setSaveFileDialog(previous);
    EXPECT_TRUE(QFile::exists(file));
}
