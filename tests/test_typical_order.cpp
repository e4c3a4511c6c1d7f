// The typical order, as a dealer makes it: the real program against a real tarvik-server with its demo
// data — log in, search, double-click a stock, set the quantity, add, open the basket, select the line,
// "Gönder", choose the delivery, the cargo type and company, "Evet" — then the order is among the
// previous orders and the line has left the basket.
//
// With TARVIK_ORDER_PNG_DIR set, a picture of every step is written there (scripts/screenshots.sh runs
// this under Xvfb for docs/screenshots/siparis/).

#include "controls.h"
#include "datagrid.h"
#include "form1.h"
#include "girisform.h"
#include "localenv.h"
#include "look.h"
#include "onaysip.h"
#include "process_end.h"
#include "server_process.h"
#include "stokayarinti.h"
#include "test_support_qt.h"
#include "test_support_widgets.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <optional>

namespace {


// A picture of a window for the step, when pictures are asked for.
void picture(QWidget *w, const char *name)
{
    const QString dir = qEnvironmentVariable("TARVIK_ORDER_PNG_DIR");
    if (dir.isEmpty() || !w)
        return;
    QDir().mkpath(dir);
    QApplication::processEvents();
    w->grab().save(QDir(dir).filePath(QString::fromLatin1(name) + QStringLiteral(".png")));
}

} // namespace

TEST(TypicalOrder, FromLoginToThePreviousOrders)
{
    QTemporaryDir home;
    tarvik::EnvironmentSources sources;
    sources.dataFolder = [dir = home.path()] { return dir; };
    const auto previousSources = tarvik::setEnvironmentSources(sources);
    std::optional<int> exitCode;
    const auto previousEnder = tarvik::setProcessEnder([&](int code) { exitCode = code; });
    if (!qEnvironmentVariableIsEmpty("TARVIK_ORDER_PNG_DIR"))
        tarvik::applyZirconLook(); // the pictures show the program as it looks
    ServerProcess server({QStringLiteral("--db"), home.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                          QStringLiteral("--demo-stocks"), QStringLiteral("2000"), QStringLiteral("--demo-user"), QStringLiteral("dealer")});
    ASSERT_NE(server.port(), 0);
    qputenv("TARVIK_SERVER", server.address().toUtf8());
    qputenv("TARVIK_WEB", QStringLiteral("127.0.0.1:%1").arg(server.httpPort()).toUtf8());
    RecordedBoxes boxes;

    // 1. Log in: the main window shows the login while it is made.
    bool loginSeen = false;
    answerNextModal([&](QWidget *modal) {
        auto *login = qobject_cast<Tgirisform *>(modal);
        if (!login)
            return;
        loginSeen = true;
        QTest::keyClicks(login->adi, QStringLiteral("demo"));
        QTest::keyClick(login->adi, Qt::Key_Return);
        QTest::keyClicks(login->sifre, QStringLiteral("1234"));
        picture(login, "1-giris");
        QTest::keyClick(login->sifre, Qt::Key_Return);
    });
    TForm1 w;
    ASSERT_TRUE(loginSeen);
    ASSERT_FALSE(exitCode.has_value());
    w.resize(1500, 950);
    w.show();
    ASSERT_TRUE(waitUntil([&] { return w.startupRuns() == 1; }, 30000));
    EXPECT_EQ(w.kullanicilbl->text(), QStringLiteral("DEMO"));
    const int carino = w.sbilgi.CARINO();
    ASSERT_GT(carino, 0);

    // 2. Search.
    QTest::keyClicks(w.araedit, QStringLiteral("fren balatasi"));
    QTest::keyClick(w.araedit, Qt::Key_Return);
    ASSERT_TRUE(waitUntil([&] { return w.araedit->isEnabled(); }, 30000));
    ASSERT_GT(w.stok.recordCount(), 0);
    picture(&w, "2-arama");

    // 3. Double-click a stock, quantity 3, "Sipariş ekle".
    ASSERT_TRUE(w.cxGrid1DBTableView1->focusRowIndex(0));
    const int stokno = w.cxGrid1DBTableView1->focusedRecord().value(QStringLiteral("STOK_STOKNO")).toInt();
    bool dialogSeen = false;
    answerNextModal([&](QWidget *modal) {
        auto *d = qobject_cast<Tstokayarinti *>(modal);
        if (!d)
            return;
        dialogSeen = true;
        d->adet->setValue(3);
        picture(d, "3-stok-penceresi");
        QTest::mouseClick(d->ParcaliTus1, Qt::LeftButton);
    });
    w.cxGrid1DBTableView1DblClick();
    ASSERT_TRUE(dialogSeen);
    ASSERT_TRUE(w.sepet.isOpen());
    ASSERT_TRUE(w.sepet.locate(u"STOKNO", stokno));
    EXPECT_EQ(w.sepet.fieldDouble(u"MIKTAR"), 3.0);

    // 4. The basket: only this line selected.
    w.sPageControl1->setCurrentWidget(w.ssepet);
    ASSERT_TRUE(waitUntil([&] { return w.cxGridDBTableView1->isEnabled() && w.bitenUyarilar() >= 1; }, 30000));
    w.Button5->click();
    for (int r = 0; r < w.sepet.recordCount(); ++r) {
        w.cxGridDBTableView1->focusRowIndex(r);
        if (w.cxGridDBTableView1->focusedRecord().value(QStringLiteral("STOKNO")).toInt() == stokno) {
            w.cxGridDBTableView1DblClick(QStringLiteral("Seç"));
            break;
        }
    }
    picture(&w, "4-sepet");
    ASSERT_NE(w.geneltoplaml->text(), QStringLiteral("0,00"));

    // 5. "Gönder": delivery (the usual one is chosen already), cargo type and company, "Evet".
    bool confirmSeen = false;
    answerNextModal([&](QWidget *modal) {
        auto *c = qobject_cast<TONAYSIP *>(modal);
        if (!c)
            return;
        confirmSeen = true;
        ASSERT_GE(c->teslimIndex(), 0);
        ASSERT_FALSE(c->kargoTurleri().empty());
        c->kargoTurleri()[0]->click();
        QApplication::processEvents();
        ASSERT_GT(c->kargocombo->count(), 1);
        c->kargocombo->setCurrentIndex(1);
        c->aciklamagir->setPlainText(QStringLiteral("Uçtan uca sipariş"));
        picture(c, "5-onay");
        QTest::mouseClick(c->Button1, Qt::LeftButton);
    });
    const int ordersBefore = w.ONCEKILER.isOpen() ? w.ONCEKILER.recordCount() : -1;
    w.Button1->click();
    ASSERT_TRUE(confirmSeen);
    ASSERT_FALSE(boxes.shown.empty());
    EXPECT_EQ(boxes.shown.back().text, QStringLiteral("Siparişiniz Gönderildi !"));
    EXPECT_FALSE(w.sepet.locate(u"STOKNO", stokno)); // the sent line has left the basket

    // 6. The previous orders list the new order.
    w.sPageControl1->setCurrentWidget(w.sonceki);
    ASSERT_TRUE(waitUntil([&] { return w.ONCEKILER.isOpen() && w.cxGridDBTableView2->isEnabled() && w.ONCEKILER.recordCount() > 0; }, 30000));
    EXPECT_NE(w.ONCEKILER.recordCount(), ordersBefore);
    int newest = 0;
    for (int r = 0; r < w.ONCEKILER.recordCount(); ++r)
        newest = std::max(newest, w.ONCEKILER.value(r, w.ONCEKILER.fieldIndex(u"IDNO")).toInt());
    ASSERT_TRUE(w.ONCEKILER.locate(u"IDNO", newest));
    EXPECT_EQ(w.ONCEKILER.fieldText(u"DURUM"), QStringLiteral("Alındı"));
    EXPECT_EQ(w.ONCEKILER.fieldText(u"VERENINNOTU"), QStringLiteral("Uçtan uca sipariş"));
    picture(&w, "6-onceki-siparisler");

    tarvik::setProcessEnder(previousEnder);
    tarvik::setEnvironmentSources(previousSources);
    qunsetenv("TARVIK_SERVER");
    qunsetenv("TARVIK_WEB");
}
