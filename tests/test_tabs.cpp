// The information tabs of the main window (new stocks, campaign stocks, announcements, previous orders,
// account statement) against a real tarvik-server, and the pieces they are made of: the statement's running
// balance, the hexadecimal picture text, the document a statement movement opens.

#include "datagrid.h"
#include "controls.h"
#include "errors.h"
#include "form1.h"
#include "hexcoz.h"
#include "look.h"
#include "localenv.h"
#include "remote_connection.h"
#include "server_process.h"
#include "servermethods.h"
#include "test_support_qt.h"

#include <QApplication>
#include <QDir>
#include <QHeaderView>
#include <QImage>
#include <QLineEdit>
#include <QMenu>
#include <QTabBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTreeView>

#include <gtest/gtest.h>

#include <cmath>
#include <numeric>
#include <optional>

using tarvik::DataGrid;
using tarvik::DbxType;
using tarvik::MemTable;

// ---- pieces without a server ------------------------------------------------------------------------

TEST(HexCoz, PairsOfDigitsBecomeBytes)
{
    const struct
    {
        const char *text;
        QByteArray bytes;
    } cases[] = {
        {"4A4b", QByteArray("\x4A\x4B", 2)},
        {"ABC", QByteArray("\xAB\x0C", 2)},
        {"", QByteArray()},
        {"0", QByteArray("\x00", 1)},
        {"ff00Fe", QByteArray("\xFF\x00\xFE", 3)},
        {"FFD8FFE0", QByteArray("\xFF\xD8\xFF\xE0", 4)},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(HexCoz(QString::fromLatin1(c.text)), c.bytes);
    }
}

TEST(HexCoz, ANonHexCharacterIsAConversionErrorThatNamesIt)
{
    for (const char16_t *text : {u"4G", u"G4", u"4A 4B", u"4A-", u"ğ1", u"ABCx"}) {
        const QString t = QString::fromUtf16(text);
        SCOPED_TRACE(t.toStdString());
        try {
            HexCoz(t);
            ADD_FAILURE() << "no error";
        } catch (const tarvik::ConversionError &e) {
            EXPECT_TRUE(e.message().startsWith(QStringLiteral("Resim verisi çözülemedi"))) << e.message().toStdString();
        }
    }
}

TEST(Tabs, StatementRunningBalance)
{
    const QVariant null;
    struct Row
    {
        QVariant borc, alacak;
        double bakiye;
        const char *d;
    };
    const std::vector<std::vector<Row>> cases = {
        {{100.0, 0.0, 100, "B"}, {0.0, 40.0, 60, "B"}, {0.0, 60.0, 0, " "}},
        {{0.0, 25.0, -25, "A"}},
        {{null, 10.0, -10, "A"}, {30.0, null, 20, "B"}, {null, null, 20, "B"}}, // empty amounts count as 0
        {{0.1, 0.0, 0.1, "B"}, {0.2, 0.0, 0.3, "B"}, {0.0, 0.3, 0, " "}},    // a money balance of 0,00 is 0
        {},
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        MemTable t(QStringLiteral("EKSTRE"));
        t.createTable({{QStringLiteral("CARINO"), DbxType::Int32},
                       {QStringLiteral("BORC"), DbxType::Double},
                       {QStringLiteral("ALACAK"), DbxType::Double},
                       {QStringLiteral("BAKIYE"), DbxType::Double},
                       {QStringLiteral("D"), DbxType::WideString, 1}});
        for (const Row &r : cases[i])
            t.appendRecord({7, r.borc, r.alacak, 999.0, QStringLiteral("X")}); // the server's values are overwritten
        TForm1::EkstreBakiyeHesapla(t);
        ASSERT_EQ(t.recordCount(), static_cast<int>(cases[i].size()));
        for (std::size_t r = 0; r < cases[i].size(); ++r) {
            SCOPED_TRACE(r);
            EXPECT_DOUBLE_EQ(t.value(static_cast<int>(r), 3).toDouble(), cases[i][r].bakiye);
            EXPECT_EQ(t.value(static_cast<int>(r), 4).toString(), QString::fromLatin1(cases[i][r].d));
        }
        EXPECT_EQ(t.recNo(), t.recordCount() ? 0 : -1);
        EXPECT_FALSE(t.controlsDisabled());
    }
}

TEST(Tabs, TheDocumentAMovementOpens)
{
    const struct
    {
        const char16_t *turadi;
        HareketBelgesi belge;
    } cases[] = {
        {u"Tahsilat", HareketBelgesi::Tahsilat},     {u"Tediye", HareketBelgesi::Tahsilat},
        {u"Satış Faturası", HareketBelgesi::Fatura}, {u"Fatura", HareketBelgesi::Fatura},
        {u"İade Faturası", HareketBelgesi::Fatura},  {u"tahsilat", HareketBelgesi::Yok},
        {u"Tahsilat Makbuzu", HareketBelgesi::Yok},  {u"fatura", HareketBelgesi::Yok},
        {u" Tediye", HareketBelgesi::Yok},           {u"", HareketBelgesi::Yok},
    };
    for (const auto &c : cases) {
        const QString t = QString::fromUtf16(c.turadi);
        EXPECT_EQ(HareketBelgesiSec(t), c.belge) << t.toStdString();
    }
}

// ---- the tabs against the demo server ------------------------------------------------------------------

namespace {

class TabsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(home_.isValid());
        tarvik::EnvironmentSources sources;
        sources.dataFolder = [dir = home_.path()] { return dir; };
        previousSources_ = tarvik::setEnvironmentSources(sources);
        previousPause_ = tarvik::setPauseFunction([](int) {}); // a failed connection check fails at once
        server_.emplace(QStringList{QStringLiteral("--db"), home_.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                                    QStringLiteral("--demo-stocks"), QStringLiteral("300"), QStringLiteral("--demo-user"),
                                    QStringLiteral("dealer")});
        ASSERT_NE(server_->port(), 0);
        qputenv("TARVIK_SERVER", server_->address().toUtf8());
        if (!qEnvironmentVariableIsEmpty("TARVIK_SEKME_PNG"))
            tarvik::applyZirconLook(); // pictures as the program looks
        window_ = std::make_unique<TForm1>(false);
        TForm1 &w = *window_;
        {
            // The identity record the login would have fetched for this computer.
            tarvik::RemoteConnection c;
            tarvik::SunucuAyarla(c);
            c.open();
            TServerMethods1Client proxy(c.DBXConnection());
            const TSonucBilgisi *kayit = proxy.BuyukGetir(BilgisayarIdAl());
            ASSERT_NE(kayit, nullptr);
            w.sbilgi.Kopyala(*kayit);
            yeniler_ = proxy.YenilerVer2(w.sbilgi.CARINO()).rowCount();
            kampanyali_ = proxy.KampanyaliVer2(w.sbilgi.CARINO(), w.sbilgi.MusteriTipi()).rowCount();
            oncekiler_ = proxy.OncekiSiparisler(w.sbilgi.CARINO())->table().rowCount();
            const tarvik::DataTable ekstre = proxy.CariEkstreVer(w.sbilgi.CARINO())->table();
            ekstre_ = ekstre.rowCount();
            for (int r = 0; r < ekstre.rowCount(); ++r)
                ekstreBakiye_ += ekstre.real(r, ekstre.indexOf(u"BORC")) - ekstre.real(r, ekstre.indexOf(u"ALACAK"));
            duyurular_ = static_cast<int>(proxy.AcilisEkranlarVer2()->Ekranlar().size());
            c.close();
        }
        w.KullaniciTipiniUygula();
        w.AnaBilgiAl();
        w.resize(1500, 950);
        w.show();
    }
    void TearDown() override
    {
        // Loads still running end before the window goes.
        if (window_)
            waitUntil([this] { return QThreadPool::globalInstance()->activeThreadCount() == 0; }, 30000);
        window_.reset();
        tarvik::setPauseFunction(previousPause_);
        tarvik::setEnvironmentSources(previousSources_);
        qunsetenv("TARVIK_SERVER");
    }

    void stopServer() { server_.reset(); }

    // Runs `start` and waits until `loads` more tab loads have ended.
    bool loaded(const std::function<void()> &start, int loads = 1)
    {
        const int target = window_->bitenSekmeYuklemeleri() + loads;
        start();
        return waitUntil([&] { return window_->bitenSekmeYuklemeleri() >= target; }, 30000);
    }
    bool showTab(QWidget *page)
    {
        return loaded([&] { window_->sPageControl1->setCurrentWidget(page); });
    }
    QString caption(QWidget *page) const
    {
        return window_->sPageControl1->tabBar()->tabText(window_->sPageControl1->indexOf(page));
    }
    // With TARVIK_SEKME_PNG set to a folder, a picture of the window as it is now (docs/screenshots/sekme-*.png:
    // TARVIK_SEKME_PNG=docs/screenshots build/tests/tarvik_client_tests --gtest_filter=TabsTest.Each*).
    void grab(const QString &name)
    {
        const QString dir = qEnvironmentVariable("TARVIK_SEKME_PNG");
        if (dir.isEmpty())
            return;
        QDir().mkpath(dir);
        QApplication::processEvents();
        window_->grab().save(QDir(dir).filePath(name + QStringLiteral(".png")));
    }

    std::unique_ptr<TForm1> window_;
    int yeniler_ = 0, kampanyali_ = 0, oncekiler_ = 0, ekstre_ = 0, duyurular_ = 0;
    double ekstreBakiye_ = 0;

private:
    QTemporaryDir home_;
    std::optional<ServerProcess> server_;
    tarvik::EnvironmentSources previousSources_;
    tarvik::PauseFunction previousPause_;
};

} // namespace

TEST_F(TabsTest, EachTabShowsTheServersList)
{
    TForm1 &w = *window_;
    RecordedBoxes boxes;
    ASSERT_GT(yeniler_, 0);
    ASSERT_GT(kampanyali_, 0);
    ASSERT_GT(oncekiler_, 0);
    ASSERT_GT(ekstre_, 1);

    // New stocks: the count caption, the footer count under OEM1 once it is shown.
    ASSERT_TRUE(showTab(w.syeniler));
    EXPECT_EQ(w.YENILER.recordCount(), yeniler_);
    EXPECT_EQ(static_cast<int>(w.cxGridDBTableView5->rowsInOrder().size()), yeniler_);
    EXPECT_EQ(caption(w.syeniler), QString::number(yeniler_) + QStringLiteral("=Yeni Stoklar"));
    EXPECT_TRUE(w.cxGridDBTableView5->isEnabled());
    EXPECT_FALSE(w.gifyeniler->isVisibleTo(&w));
    EXPECT_EQ(w.YENILER.displayMask(w.YENILER.fieldIndex(u"NETFIYAT")), QStringLiteral("#,###,##0.00"));
    EXPECT_TRUE(w.cxGridDBTableView5->isColumnVisible(QStringLiteral("K")));
    EXPECT_FALSE(w.cxGridDBTableView5->isColumnVisible(QStringLiteral("OEM1")));
    EXPECT_TRUE(w.cxGridDBTableView5->isColumnOffered(QStringLiteral("OEM1")));
    EXPECT_FALSE(w.cxGridDBTableView5->isColumnOffered(QStringLiteral("STOK_STOKNO")));
    grab(QStringLiteral("sekme-yeni-stoklar"));
    w.cxGridDBTableView5->setColumnVisible(QStringLiteral("OEM1"), true);
    EXPECT_EQ(w.cxGridDBTableView5->footerText(QStringLiteral("OEM1")), QString::number(yeniler_));
    w.cxGridDBTableView5->setColumnVisible(QStringLiteral("OEM1"), false);

    ASSERT_TRUE(showTab(w.skampanyali));
    EXPECT_EQ(w.kampstok.recordCount(), kampanyali_);
    EXPECT_EQ(caption(w.skampanyali), QString::number(kampanyali_) + QStringLiteral("=Kampanyalı"));
    EXPECT_TRUE(w.cxGridDBTableViewkampanyali->isEnabled());
    grab(QStringLiteral("sekme-kampanyali"));

    // Previous orders: fitted to their content, the notes at 200 px.
    ASSERT_TRUE(showTab(w.sonceki));
    EXPECT_EQ(w.ONCEKILER.recordCount(), oncekiler_);
    EXPECT_EQ(w.cxGridDBTableView2->columnWidth(QStringLiteral("VERENINNOTU")), 200);
    EXPECT_EQ(w.cxGridDBTableView2->columnWidth(QStringLiteral("ALANNOTU")), 200);
    EXPECT_GT(w.cxGridDBTableView2->columnWidth(QStringLiteral("KARGOADI")), 60);
    EXPECT_EQ(w.cxGridDBTableView2->rowMenu(), w.poponceki);
    const auto entries = [](QMenu *menu) {
        QStringList texts;
        for (const QAction *a : menu->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : a->text());
        return texts;
    };
    EXPECT_EQ(entries(w.poponceki), QStringList({QStringLiteral("Siparişi İncele"), QStringLiteral("-"), QStringLiteral("Sipariş Bakiyeleriniz"),
                                                 QStringLiteral("-"), QStringLiteral("Tüm Siparişler")}));
    EXPECT_EQ(entries(w.popekstre), QStringList({QStringLiteral("Hareket İncele")}));
    grab(QStringLiteral("sekme-onceki-siparisler"));

    // Statement: the running balance in the server's order, which a header click does not change.
    ASSERT_TRUE(showTab(w.sccariekstre));
    ASSERT_EQ(w.EKSTRE.recordCount(), ekstre_);
    const int bakiye = w.EKSTRE.fieldIndex(u"BAKIYE"), d = w.EKSTRE.fieldIndex(u"D");
    const double son = w.EKSTRE.value(ekstre_ - 1, bakiye).toDouble();
    EXPECT_NEAR(son, ekstreBakiye_, 0.005);
    EXPECT_EQ(w.EKSTRE.value(ekstre_ - 1, d).toString(), son > 0 ? QStringLiteral("B") : son < 0 ? QStringLiteral("A") : QStringLiteral(" "));
    EXPECT_FALSE(w.cxGridDBTableView4->isSortingEnabled());
    EXPECT_EQ(w.EKSTRE.displayMask(bakiye), QStringLiteral("#,###,##0.00"));
    QHeaderView *header = w.cxGridDBTableView4->view()->header();
    const int borc = w.cxGridDBTableView4->columnIndex(QStringLiteral("BORC"));
    QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(header->sectionViewportPosition(borc) + 10, header->height() / 2));
    std::vector<int> inOrder(static_cast<std::size_t>(ekstre_));
    std::iota(inOrder.begin(), inOrder.end(), 0);
    EXPECT_EQ(w.cxGridDBTableView4->rowsInOrder(), inOrder);
    double borcToplam = 0, alacakToplam = 0;
    for (int r = 0; r < ekstre_; ++r) {
        borcToplam += w.EKSTRE.value(r, w.EKSTRE.fieldIndex(u"BORC")).toDouble();
        alacakToplam += w.EKSTRE.value(r, w.EKSTRE.fieldIndex(u"ALACAK")).toDouble();
    }
    EXPECT_EQ(w.cxGridDBTableView4->footerText(QStringLiteral("BORC")), tarvik::formatFloat(borcToplam, u"#,###,##0.00"));
    EXPECT_EQ(w.cxGridDBTableView4->footerText(QStringLiteral("ALACAK")), tarvik::formatFloat(alacakToplam, u"#,###,##0.00"));
    EXPECT_EQ(w.cxGridDBTableView4->rowMenu(), w.popekstre);
    grab(QStringLiteral("sekme-cari-ekstre"));

    // Announcements: one 605 × 405 picture per row, decoded from the hexadecimal text.
    ASSERT_TRUE(showTab(w.sTabSheetduyuru));
    tarvik::UnboundRows *rows = w.cxGridduyuruBandedDuyuru->unboundRows();
    ASSERT_EQ(rows->rowCount(), duyurular_);
    ASSERT_GT(duyurular_, 2);
    const QImage resim = QImage::fromData(rows->value(0, QStringLiteral("RESIM")).toByteArray());
    EXPECT_FALSE(resim.isNull());
    EXPECT_EQ(rows->value(0, QStringLiteral("ARAMA")).toString(), QStringLiteral("#KAMPANYA#"));
    EXPECT_FALSE(rows->value(0, QStringLiteral("BASLIK")).toString().isEmpty());
    EXPECT_EQ(w.cxGridduyuruBandedDuyuru->rowHeight(), 405);
    EXPECT_EQ(w.cxGridduyuruBandedDuyuru->columnWidth(QStringLiteral("RESIM")), 605);
    grab(QStringLiteral("sekme-duyurular"));

    // Shown again, each tab loads again and still holds the server's rows once.
    ASSERT_TRUE(showTab(w.syeniler));
    EXPECT_EQ(w.YENILER.recordCount(), yeniler_);
    ASSERT_TRUE(showTab(w.sTabSheetduyuru));
    EXPECT_EQ(rows->rowCount(), duyurular_);
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TabsTest, OverlappingLoadsOfATabEndWithOneConsistentTable)
{
    TForm1 &w = *window_;
    RecordedBoxes boxes;
    const struct
    {
        const char *name;
        std::function<void()> show;
        std::function<int()> rows;
        int expected;
    } tabs[] = {
        {"yeniler", [&] { w.syenilerShow(); }, [&] { return w.YENILER.recordCount(); }, yeniler_},
        {"kampanyali", [&] { w.skampanyaliShow(); }, [&] { return w.kampstok.recordCount(); }, kampanyali_},
        {"oncekiler", [&] { w.soncekiShow(); }, [&] { return w.ONCEKILER.recordCount(); }, oncekiler_},
        {"ekstre", [&] { w.sccariekstreShow(); }, [&] { return w.EKSTRE.recordCount(); }, ekstre_},
        {"duyurular", [&] { w.sTabSheetduyuruShow(); }, [&] { return w.cxGridduyuruBandedDuyuru->unboundRows()->rowCount(); }, duyurular_},
    };
    for (const auto &t : tabs) {
        SCOPED_TRACE(t.name);
        // The second show starts while the first load still runs.
        ASSERT_TRUE(loaded(
            [&] {
                t.show();
                t.show();
                t.show();
            },
            3));
        EXPECT_EQ(t.rows(), t.expected);
    }
    EXPECT_EQ(caption(w.syeniler), QString::number(yeniler_) + QStringLiteral("=Yeni Stoklar"));
    EXPECT_EQ(static_cast<int>(w.cxGridDBTableView5->rowsInOrder().size()), yeniler_);
    EXPECT_NEAR(w.EKSTRE.value(ekstre_ - 1, w.EKSTRE.fieldIndex(u"BAKIYE")).toDouble(), ekstreBakiye_, 0.005);
    for (DataGrid *g : {w.cxGridDBTableView5, w.cxGridDBTableViewkampanyali, w.cxGridDBTableView2, w.cxGridDBTableView4})
        EXPECT_TRUE(g->isEnabled() && g->isAttached()) << g->objectName().toStdString();
    EXPECT_TRUE(boxes.shown.empty());
}

TEST_F(TabsTest, AFailedLoadShowsTheBoxOnceAndKeepsTheRows)
{
    TForm1 &w = *window_;
    const struct
    {
        const char *name;
        QWidget *page;
        DataGrid *grid;
        tarvik::BusyIndicator *indicator;
        std::function<int()> rows;
    } tabs[] = {
        {"yeniler", w.syeniler, w.cxGridDBTableView5, w.gifyeniler, [&] { return w.YENILER.recordCount(); }},
        {"oncekiler", w.sonceki, w.cxGridDBTableView2, w.gifoncekiler, [&] { return w.ONCEKILER.recordCount(); }},
        {"ekstre", w.sccariekstre, w.cxGridDBTableView4, w.gifekstre, [&] { return w.EKSTRE.recordCount(); }},
        {"duyurular", w.sTabSheetduyuru, w.cxGridduyuruBandedDuyuru, w.gifduyuru,
         [&] { return w.cxGridduyuruBandedDuyuru->unboundRows()->rowCount(); }},
    };
    std::vector<int> before;
    for (const auto &t : tabs) {
        ASSERT_TRUE(showTab(t.page)) << t.name;
        before.push_back(t.rows());
        ASSERT_GT(before.back(), 0) << t.name;
    }
    w.sPageControl1->setCurrentWidget(w.sstoklistesi);
    stopServer();
    std::size_t i = 0;
    for (const auto &t : tabs) {
        SCOPED_TRACE(t.name);
        RecordedBoxes boxes;
        ASSERT_TRUE(showTab(t.page));
        ASSERT_EQ(boxes.shown.size(), 1u);
        EXPECT_EQ(boxes.shown[0].text, kBaglantiKurulamiyor);
        EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Hata);
        EXPECT_TRUE(t.grid->isEnabled());
        EXPECT_FALSE(t.indicator->isVisibleTo(&w));
        EXPECT_EQ(t.rows(), before[i++]); // the previous rows stay
    }
    EXPECT_EQ(caption(w.syeniler), QString::number(yeniler_) + QStringLiteral("=Yeni Stoklar"));
}

TEST_F(TabsTest, AnnouncementActions)
{
    TForm1 &w = *window_;
    RecordedBoxes boxes;
    ASSERT_TRUE(showTab(w.sTabSheetduyuru));
    DataGrid *grid = w.cxGridduyuruBandedDuyuru;
    tarvik::UnboundRows *rows = grid->unboundRows();
    ASSERT_GT(rows->rowCount(), 1);

    // A double-click on the first announcement ("#KAMPANYA#") opens the campaign tab, which loads.
    QTreeView *view = grid->view();
    const QRect first = view->visualRect(grid->model()->index(0, grid->columnIndex(QStringLiteral("RESIM"))));
    ASSERT_TRUE(first.isValid());
    ASSERT_TRUE(loaded([&] { QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, first.center()); }));
    EXPECT_EQ(w.sPageControl1->currentWidget(), w.skampanyali);
    EXPECT_EQ(w.kampstok.recordCount(), kampanyali_);

    const struct
    {
        const char16_t *action;
        QWidget *page; // the tab shown afterwards
        const char16_t *search; // the search box afterwards
    } cases[] = {
        {u"#KAMPANYA#", w.skampanyali, u"ÖNCE"},
        {u"#YENİ#", w.syeniler, u"ÖNCE"},
        {u"ab", w.sstoklistesi, u"ab"},                 // a search text, however short
        {u"#kampanya#", w.sstoklistesi, u"#kampanya#"}, // compared exactly: a search
        {u"#YENI#", w.sstoklistesi, u"#YENI#"},
        {u"   ", w.sonceki, u"ÖNCE"}, // blank: nothing
        {u"", w.sonceki, u"ÖNCE"},
    };
    for (const auto &c : cases) {
        const QString action = QString::fromUtf16(c.action);
        SCOPED_TRACE(action.toStdString());
        w.sPageControl1->setCurrentWidget(w.sstoklistesi);
        ASSERT_TRUE(showTab(w.sonceki));
        w.araedit->setText(QStringLiteral("ÖNCE"));
        rows->setValue(1, QStringLiteral("ARAMA"), action);
        ASSERT_TRUE(grid->focusSourceRow(1));
        const bool loads = c.page != w.sonceki && c.page != w.sstoklistesi;
        if (loads) {
            ASSERT_TRUE(loaded([&] { w.cxGridduyuruBandedDuyuruDblClick(); }));
        } else {
            w.cxGridduyuruBandedDuyuruDblClick();
        }
        EXPECT_EQ(w.sPageControl1->currentWidget(), c.page);
        EXPECT_EQ(w.araedit->text().compare(QString::fromUtf16(c.search), Qt::CaseInsensitive), 0) << w.araedit->text().toStdString();
    }
}
