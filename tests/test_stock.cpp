// The stock search and the stock list of the main window, offscreen, against a real demo server.

#include "controls.h"
#include "datagrid.h"
#include "form1.h"
#include "look.h"
#include "server_process.h"
#include "test_support_qt.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <gtest/gtest.h>

#include <optional>

namespace {

class StockSearch : public ::testing::Test
{
protected:
    void TearDown() override { qunsetenv("TARVIK_SERVER"); }
    void startServer()
    {
        server_.emplace(QStringList{QStringLiteral("--db"), dir_.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                                    QStringLiteral("--demo-stocks"), QStringLiteral("2000")});
        ASSERT_NE(server_->port(), 0);
        qputenv("TARVIK_SERVER", server_->address().toUtf8());
    }
    static QString stockTabCaption(TForm1 &w) { return w.sPageControl1->tabBar()->accessibleTabName(w.sPageControl1->indexOf(w.sstoklistesi)); }

private:
    QTemporaryDir dir_;
    std::optional<ServerProcess> server_;
};

} // namespace

TEST(StockSearchText, TurkishLettersBecomePlainCapitals)
{
    const std::pair<const char16_t *, const char16_t *> cases[] = {
        {u"ğüşöç", u"GUSOC"}, {u"ĞÜŞİÖÇ", u"GUSIOC"}, {u"ı", u"I"}, {u"fren balatası", u"FREN BALATASI"},
        {u"kartalpar-123 456", u"KARTALPAR-123 456"}, {u"", u""},
    };
    for (const auto &[typed, shown] : cases)
        EXPECT_EQ(TForm1::AramaMetniSuz(QString::fromUtf16(typed)), QString::fromUtf16(shown)) << QString::fromUtf16(typed).toStdString();

    TForm1 w(false);
    for (const QChar c : QString::fromUtf16(u"ğüşöçı")) { // typed one key at a time, as a keyboard does
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
        QApplication::sendEvent(w.araedit, &press);
    }
    EXPECT_EQ(w.araedit->text(), QStringLiteral("GUSOCI")); // as the user types
}

TEST(StockSearchText, ThePriceSummaryCell)
{
    EXPECT_EQ(TForm1::FiyatBilgisiMetni(1250.0, 0.0, 1000.0, 1200.0),
              QStringLiteral("Liste Fiyatı: 1.250,00\r\nNetFiyat: 1.000,00\r\nKDV li Fiyat: 1.200,00\r\n"));
    EXPECT_EQ(TForm1::FiyatBilgisiMetni(1250.0, 1100.0, 1000.0, 1200.0),
              QStringLiteral("Liste Fiyatı: 1.250,00\r\nKampanyalı Fiyat: 1.100,00\r\nNetFiyat: 1.000,00\r\nKDV li Fiyat: 1.200,00\r\n"));
    // A missing price is an empty value, never garbage.
    EXPECT_EQ(TForm1::FiyatBilgisiMetni(QVariant(), QVariant(), QVariant(), QVariant()),
              QStringLiteral("Liste Fiyatı: \r\nNetFiyat: \r\nKDV li Fiyat: \r\n"));
}

TEST(StockSearchText, NarrowAndWideLayouts)
{
    TForm1 w(false);
    tarvik::DataGrid *g = w.cxGrid1DBTableView1;
    g->resize(1000, 400);
    for (const auto &[width, narrow] : {std::pair{1152, true}, std::pair{1153, false}, std::pair{800, true}, std::pair{1600, false}}) {
        SCOPED_TRACE(width);
        TForm1::StokKolonDuzenle(g, width);
        EXPECT_EQ(g->isColumnVisible(QStringLiteral("Fiyat Bilgisi")), narrow);
        for (const char *c : {"KDVDAHIL", "NETFIYAT", "KAMPFIYAT", "LISTEFIYAT1"})
            EXPECT_EQ(g->isColumnVisible(QString::fromLatin1(c)), !narrow) << c;
        EXPECT_EQ(g->rowHeight(), narrow ? 100 : 60);
        if (narrow) {
            EXPECT_EQ(g->columnWidth(QStringLiteral("Fiyat Bilgisi")), 150);
        }
    }
}

TEST_F(StockSearch, ThreeLettersAtLeast)
{
    TForm1 w(false);
    RecordedBoxes boxes;
    for (const char *text : {"AB", "  AB  ", ""}) {
        w.araedit->setText(QString::fromLatin1(text));
        QTest::keyClick(w.araedit, Qt::Key_Return);
    }
    ASSERT_EQ(boxes.shown.size(), 3u);
    for (const auto &b : boxes.shown)
        EXPECT_EQ(b.text, QStringLiteral("Lütfen en az 3 harf giriniz !"));
    EXPECT_TRUE(w.araedit->isEnabled()); // nothing started
    EXPECT_TRUE(w.gifstokara->isHidden());
}

TEST_F(StockSearch, FindsStocksWithEveryColumnAndTheMasks)
{
    startServer();
    TForm1 w(false);
    w.sbilgi.setCARINO(100);
    w.resize(1400, 900);
    w.show();
    RecordedBoxes boxes;
    w.sPageControl1->setCurrentWidget(w.sonceki);
    ASSERT_TRUE(waitUntil([&] { return w.bitenSekmeYuklemeleri() == 1; }));
    w.araedit->setText(QStringLiteral("FREN"));
    w.SpeedButton2->click();
    EXPECT_FALSE(w.araedit->isEnabled());
    EXPECT_EQ(w.sPageControl1->currentWidget(), w.sstoklistesi); // the list comes to the front
    ASSERT_TRUE(waitUntil([&] { return w.araedit->isEnabled(); }, 30000));
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_GT(w.stok.recordCount(), 10);
    for (const char *c : {"IND1", "STOK_STOKNO", "DURUM", "LISTEFIYAT1", "KDVDAHIL", "INDIRIMYAZI", "K", "Y"})
        EXPECT_TRUE(w.stok.hasField(QString::fromLatin1(c))) << c;
    EXPECT_EQ(w.stok.displayMask(w.stok.fieldIndex(u"KDVDAHIL")), QStringLiteral("#,###,##0.00"));
    EXPECT_TRUE(w.cxGrid1DBTableView1->isAttached());
    EXPECT_EQ(w.cxGrid1DBTableView1->model()->rowCount(), w.stok.recordCount());
    EXPECT_TRUE(w.gifstokara->isHidden());
    EXPECT_EQ(w.araedit->selectedText(), QStringLiteral("FREN"));

    // "Temizle" empties the list and the box.
    w.SpeedButton1->click();
    EXPECT_EQ(w.stok.recordCount(), 0);
    EXPECT_TRUE(w.araedit->text().isEmpty());
    EXPECT_EQ(stockTabCaption(w), QStringLiteral("Stok Listesi"));
}

TEST_F(StockSearch, AFailedSearchEmptiesTheListOnceAndTheButtonsWaitForIt)
{
    startServer();
    TForm1 w(false);
    w.show();
    RecordedBoxes boxes;
    w.araedit->setText(QStringLiteral("FREN"));
    w.SpeedButton2->click();
    ASSERT_TRUE(waitUntil([&] { return w.araedit->isEnabled(); }, 30000));
    ASSERT_GT(w.stok.recordCount(), 0);

    // Now a server that is not there: the check tries for a while.
    qputenv("TARVIK_SERVER", QStringLiteral("127.0.0.1:%1").arg(ServerProcess::freePort()).toUtf8());
    tarvik::SunucuAyarla(w.bagc);
    w.araedit->setText(QStringLiteral("FİLTRE"));
    QTest::keyClick(w.araedit, Qt::Key_Return);
    ASSERT_FALSE(w.araedit->isEnabled());
    // "Ara" and "Temizle" do nothing while it runs.
    w.SpeedButton1->click();
    w.SpeedButton2->click();
    EXPECT_EQ(w.araedit->text(), QStringLiteral("FİLTRE"));
    ASSERT_TRUE(waitUntil([&] { return w.araedit->isEnabled(); }, 30000));
    ASSERT_EQ(boxes.shown.size(), 1u); // one search, one box
    EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Bağlantı Kurulamıyor Lütfen Tekrar Deneyin ...!"));
    EXPECT_EQ(w.stok.recordCount(), 0);
    EXPECT_EQ(stockTabCaption(w), QStringLiteral("Stok Listesi"));
    EXPECT_TRUE(w.gifstokara->isHidden());
}
