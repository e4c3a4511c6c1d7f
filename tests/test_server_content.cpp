// The server's identity and catalogue methods on a seeded demo database, through the client's proxy.

#include "errors.h"
#include "localenv.h"
#include "money.h"
#include "server_process.h"
#include "servermethods.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTcpSocket>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <thread>

using namespace tarvik;

namespace {

class DemoServer
{
public:
    explicit DemoServer(const char *role = "dealer")
        : server_({QStringLiteral("--db"), dir_.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                   QStringLiteral("--demo-stocks"), QStringLiteral("3000"), QStringLiteral("--demo-user"), QString::fromLatin1(role)})
    {
    }
    quint16 port() const { return server_.port(); }
    std::unique_ptr<TcpConnection> connect()
    {
        auto c = std::make_unique<TcpConnection>(QStringLiteral("127.0.0.1"), server_.port());
        c->open();
        return c;
    }

private:
    QTemporaryDir dir_;
    ServerProcess server_;
};

std::unique_ptr<TSonucBilgisi> identity(int carino)
{
    auto b = std::make_unique<TSonucBilgisi>();
    b->setCARINO(carino);
    return b;
}

std::set<int> stockNumbers(const DataTable &t)
{
    std::set<int> out;
    const int c = t.indexOf(u"STOK_STOKNO");
    for (int r = 0; r < t.rowCount(); ++r)
        out.insert(static_cast<int>(t.integer(r, c)));
    return out;
}

} // namespace

TEST(ServerIdentity, TheRegisteredMachineGetsItsUsersRecord)
{
    for (const auto &[role, name, type, hasAccount] : {std::tuple{"dealer", "DEMO", 0, true}, std::tuple{"rep1", "REP1", 1, false},
                                                       std::tuple{"rep2", "REP2", 2, false}, std::tuple{"type4", "TYPE4", 4, true}}) {
        SCOPED_TRACE(role);
        DemoServer server(role);
        ASSERT_NE(server.port(), 0);
        auto c = server.connect();
        TServerMethods1Client p(c.get());
        const TSonucBilgisi *b = p.BuyukGetir(BilgisayarIdAl());
        ASSERT_NE(b, nullptr);
        EXPECT_TRUE(b->Varmi());
        EXPECT_EQ(b->Version(), 4);
        EXPECT_EQ(b->ADI(), QString::fromLatin1(name));
        EXPECT_EQ(b->SIFRE(), QStringLiteral("1234"));
        EXPECT_EQ(b->AKTIF(), 1);
        EXPECT_EQ(b->MusteriTipi(), type);
        EXPECT_EQ(b->CARINO() != 0, hasAccount);
        EXPECT_FALSE(b->SaticiAdi().isEmpty());
        EXPECT_GT(b->Sirano(), 0);

        const TSonucBilgisi *stranger = p.BuyukGetir(QStringLiteral("00-00-5E-00-53-01"));
        ASSERT_NE(stranger, nullptr); // an unknown machine is not a failed connection
        EXPECT_FALSE(stranger->Varmi());
        EXPECT_EQ(stranger->Version(), 4);
        EXPECT_TRUE(stranger->ADI().isEmpty());
    }
}

class ServerCatalogue : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { server = new DemoServer(); }
    static void TearDownTestSuite()
    {
        delete server;
        server = nullptr;
    }
    DataTable search(const QString &term, int carino = 100)
    {
        auto c = server->connect();
        TServerMethods1Client p(c.get());
        return p.StokAraGetir(term, identity(carino));
    }
    static DemoServer *server;
};

DemoServer *ServerCatalogue::server = nullptr;

TEST_F(ServerCatalogue, EveryColumnOfTheStockListWithCoherentPrices)
{
    const DataTable t = search(QStringLiteral("FREN"));
    ASSERT_GT(t.rowCount(), 10);
    const char *columns[] = {"DURUM", "OEM1", "OEM2", "OEM3", "BARKOD", "ADI", "OEM4", "STOK_STOKNO", "FINISHKOD", "URETICIKODU",
                             "RESIM", "BARKOD_BARKODNO", "DIGERADI", "DPKOD", "OEMNO", "BIRIM", "MARKA", "MODEL", "ANAGRUP",
                             "OZELKOD", "KALAN", "PKOD", "KDV", "ALINANSIPARIS", "VERILENSIPARIS", "LISTEFIYAT1", "KAMPFIYAT",
                             "FIYAT", "Y", "K", "INDIRIMYAZI", "NETFIYAT", "KDVDAHIL", "IND1", "IND2", "IND3", "IND4"};
    for (const char *name : columns)
        EXPECT_GE(t.indexOf(QString::fromLatin1(name)), 0) << name;
    auto col = [&](const char *n) { return t.indexOf(QString::fromLatin1(n)); };
    for (int r = 0; r < t.rowCount(); ++r) {
        SCOPED_TRACE(r);
        EXPECT_TRUE(t.text(r, col("ADI")).contains(u"FREN") || t.text(r, col("MARKA")).contains(u"FREN"));
        const bool campaign = t.integer(r, col("K")) > 0;
        EXPECT_EQ(campaign, t.real(r, col("KAMPFIYAT")) > 0);
        EXPECT_EQ(t.real(r, col("FIYAT")), campaign ? t.real(r, col("KAMPFIYAT")) : t.real(r, col("LISTEFIYAT1")));
        double net = t.real(r, col("FIYAT"));
        for (const char *ind : {"IND1", "IND2", "IND3", "IND4"})
            if (t.real(r, col(ind)) > 0)
                net -= net * t.real(r, col(ind)) / 100;
        EXPECT_DOUBLE_EQ(t.real(r, col("NETFIYAT")), IkiHaneYuvarla(net));
        EXPECT_DOUBLE_EQ(t.real(r, col("KDVDAHIL")), IkiHaneYuvarla(t.real(r, col("NETFIYAT")) * (1 + t.real(r, col("KDV")) / 100)));
        const auto durum = t.integer(r, col("DURUM"));
        EXPECT_TRUE(durum >= 0 && durum <= 5);
    }
}

TEST_F(ServerCatalogue, FindsAStockByAnyOfItsCodesWhateverTheBlanksAndCase)
{
    const DataTable t = search(QStringLiteral("BUJİ"));
    ASSERT_GT(t.rowCount(), 0);
    const int no = static_cast<int>(t.integer(0, t.indexOf(u"STOK_STOKNO")));
    auto mangle = [](QString code) -> QString {
        code.remove(u' ');
        QString out;
        for (qsizetype i = 0; i < code.size(); ++i)
            out += (i % 3 == 2 ? QStringLiteral("-") : QString()) + code[i].toLower();
        return QStringLiteral("  ") + out + QStringLiteral(" ");
    };
    for (const char *column : {"BARKOD", "URETICIKODU", "OEM1", "OEMNO"}) {
        SCOPED_TRACE(column);
        const QString code = t.value(0, QString::fromLatin1(column)).toString();
        ASSERT_FALSE(code.isEmpty());
        EXPECT_TRUE(stockNumbers(search(code)).contains(no)) << code.toStdString();
        EXPECT_TRUE(stockNumbers(search(mangle(code))).contains(no)) << mangle(code).toStdString();
    }
}

TEST_F(ServerCatalogue, NamesMatchWordByWordIgnoringCaseAndTurkishLetters)
{
    const std::set<int> exact = stockNumbers(search(QStringLiteral("FREN BALATASI")));
    ASSERT_FALSE(exact.empty());
    EXPECT_EQ(stockNumbers(search(QStringLiteral("fren balatası"))), exact);
    EXPECT_EQ(stockNumbers(search(QStringLiteral("BALATASI FREN"))), exact);
    EXPECT_EQ(stockNumbers(search(QStringLiteral("FREN BALATASI"))), stockNumbers(search(QStringLiteral("Fren Balatasi"))));
    EXPECT_EQ(search(QStringLiteral("ZZZQQQ")).rowCount(), 0);
    const DataTable shortTerm = search(QStringLiteral("ab"));
    EXPECT_EQ(shortTerm.rowCount(), 0);
    EXPECT_GE(shortTerm.indexOf(u"IND1"), 0); // an empty result still has its columns
}

TEST_F(ServerCatalogue, NewAndCampaignListsCarryTheStockListColumns)
{
    auto c = server->connect();
    TServerMethods1Client p(c.get());
    const DataTable yeni = p.YenilerVer2(100);
    const DataTable kamp = p.KampanyaliVer2(100, 0);
    ASSERT_GT(yeni.rowCount(), 0);
    ASSERT_GT(kamp.rowCount(), 0);
    for (int r = 0; r < yeni.rowCount(); ++r)
        EXPECT_EQ(yeni.integer(r, yeni.indexOf(u"Y")), 1);
    for (int r = 0; r < kamp.rowCount(); ++r) {
        EXPECT_EQ(kamp.integer(r, kamp.indexOf(u"K")), 1);
        EXPECT_EQ(kamp.real(r, kamp.indexOf(u"FIYAT")), kamp.real(r, kamp.indexOf(u"KAMPFIYAT")));
        EXPECT_LT(kamp.real(r, kamp.indexOf(u"FIYAT")), kamp.real(r, kamp.indexOf(u"ESKIFIYAT")));
    }
    for (const DataTable *t : {&yeni, &kamp})
        for (const char *col : {"STOK_STOKNO", "IND1", "INDIRIM", "INDIRIMYAZI", "NETFIYAT", "KDVDAHIL", "DURUM", "RESIM"})
            EXPECT_GE(t->indexOf(QString::fromLatin1(col)), 0) << col;
    EXPECT_THROW(p.YenilerVer2(424242), ServerError);
}

TEST_F(ServerCatalogue, PicturesComeAsJpegStreamsWithTheirLength)
{
    const DataTable t = search(QStringLiteral("FREN"));
    int with = 0, without = 0;
    for (int r = 0; r < t.rowCount() && (!with || !without); ++r)
        (t.integer(r, t.indexOf(u"RESIM")) ? with : without) = static_cast<int>(t.integer(r, t.indexOf(u"STOK_STOKNO")));
    ASSERT_TRUE(with && without);
    auto c = server->connect();
    TServerMethods1Client p(c.get());
    std::int64_t boy = -1;
    QIODevice *picture = p.ResimVer5(with, boy);
    ASSERT_NE(picture, nullptr);
    const QByteArray bytes = picture->readAll();
    EXPECT_EQ(bytes.size(), boy);
    EXPECT_TRUE(bytes.startsWith("\xFF\xD8"));
    QIODevice *none = p.ResimVer5(without, boy);
    EXPECT_EQ(boy, 0);
    EXPECT_EQ(none->size(), 0);
}

TEST_F(ServerCatalogue, HostileTermsAndUnknownAccounts)
{
    const int before = search(QStringLiteral("FİLTRE")).rowCount();
    for (const char *term : {"'; DROP TABLE stok; --", "\"", "* OR 1=1", "kodlar:\"1\" OR", "NEAR(a b)", "%_%"})
        EXPECT_NO_THROW(search(QString::fromUtf8(term))) << term;
    EXPECT_NO_THROW(search(QString(5000, u'Ş')));
    EXPECT_EQ(search(QStringLiteral("FİLTRE")).rowCount(), before);
    try {
        search(QStringLiteral("FİLTRE"), 999999);
        ADD_FAILURE() << "an unknown account was accepted";
    } catch (const ServerError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("999999")));
    }
}

// ---- basket ----

namespace {

struct BasketLine
{
    int sirano, stokno, sec;
    double miktar, fiyat, tutar, indirim, net, vergi, netBirim;
};

std::vector<BasketLine> lines(const DataTable &t)
{
    std::vector<BasketLine> out;
    auto c = [&](const char *n) { return t.indexOf(QString::fromLatin1(n)); };
    for (int r = 0; r < t.rowCount(); ++r)
        out.push_back({int(t.integer(r, c("SIRANO"))), int(t.integer(r, c("STOKNO"))), int(t.integer(r, c("SEC"))),
                       t.real(r, c("MIKTAR")), t.real(r, c("BIRIMFIYAT")), t.real(r, c("TUTAR")), t.real(r, c("INDIRIMTUTAR")),
                       t.real(r, c("NETTUTAR")), t.real(r, c("VERGITUTARI")), t.real(r, c("NETBIRIMFIYAT"))});
    return out;
}

} // namespace

class ServerBasket : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_NE(server.port(), 0);
        conn = server.connect();
        p = std::make_unique<TServerMethods1Client>(conn.get());
    }
    int add(int stokno, double miktar, double fiyat, double ind1 = 0, double ind2 = 0, int carino = 101)
    {
        return p->SepetEkle2(identity(carino), carino, stokno, QStringLiteral("869"), QStringLiteral("PARÇA"), miktar, 18, fiyat, ind1, 1, 0,
                             ind2, 0, 0);
    }
    DemoServer server;
    std::unique_ptr<TcpConnection> conn;
    std::unique_ptr<TServerMethods1Client> p;
};

TEST_F(ServerBasket, AnAddedLineShowsUpWithTheDialogsAmounts)
{
    ASSERT_EQ(add(10001, 3, 100.0, 10, 5), 1);
    const auto b = lines(p->SepetVer2(101));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].stokno, 10001);
    EXPECT_EQ(b[0].miktar, 3);
    EXPECT_DOUBLE_EQ(b[0].tutar, 300.0);
    EXPECT_DOUBLE_EQ(b[0].indirim, 43.5);           // 10 then 5 percent
    EXPECT_DOUBLE_EQ(b[0].net, 256.5);
    EXPECT_DOUBLE_EQ(b[0].net + b[0].vergi, 302.67); // 3 × 100.89
    EXPECT_DOUBLE_EQ(b[0].netBirim, 85.5);
    auto representative = identity(101);
    representative->setSirano(3); // REP2 sees every account
    EXPECT_EQ(p->SepetSayisi(std::move(representative)), 1); // accounts with basket lines
    EXPECT_EQ(p->SepetVer2(102).rowCount(), 0); // another account's basket is its own

    // The same stock again adds to its line.
    ASSERT_EQ(add(10001, 2, 100.0, 10, 5), 1);
    const auto again = lines(p->SepetVer2(101));
    ASSERT_EQ(again.size(), 1u);
    EXPECT_EQ(again[0].miktar, 5);
}

TEST_F(ServerBasket, ChangeSelectDeleteAndEmpty)
{
    add(10001, 1, 50);
    add(10002, 2, 75);
    add(10003, 4, 20);
    auto b = lines(p->SepetVer2(101));
    ASSERT_EQ(b.size(), 3u);

    p->SepetGuncelle2(identity(101), 101, 0, QStringLiteral("869"), QStringLiteral("PARÇA"), 7, 18, 80, 0, 1, b[1].sirano, 0, 0, 0);
    p->SepetSecimGuncelle(b[2].sirano, 0);
    b = lines(p->SepetVer2(101));
    EXPECT_EQ(b[1].miktar, 7);
    EXPECT_EQ(b[1].fiyat, 80);
    EXPECT_DOUBLE_EQ(b[1].tutar, 560);
    EXPECT_EQ(b[2].sec, 0);
    EXPECT_EQ(b[0].sec, 1);

    p->SepetSatirSil(identity(101), b[0].sirano, QStringLiteral("869-PARÇA"));
    EXPECT_EQ(p->SepetVer2(101).rowCount(), 2);
    EXPECT_THROW(p->SepetSatirSil(identity(102), b[1].sirano, QString()), ServerError); // not that account's line
    EXPECT_EQ(p->SepetHepsiniSil(identity(101)), 2);
    EXPECT_EQ(p->SepetVer2(101).rowCount(), 0);
}

TEST_F(ServerBasket, BadValuesAreRefusedAndChangeNothing)
{
    add(10001, 1, 50);
    const struct
    {
        const char *name;
        std::function<void()> call;
    } cases[] = {
        {"zero quantity", [&] { add(10002, 0, 10); }},
        {"negative quantity", [&] { add(10002, -5, 10); }},
        {"fractional quantity", [&] { add(10002, 1.5, 10); }},
        {"absurd quantity", [&] { add(10002, 1e9, 10); }},
        {"negative price", [&] { add(10002, 1, -10); }},
        {"rate over 100", [&] { add(10002, 1, 10, 150); }},
        {"unknown stock", [&] { add(999999, 1, 10); }},
        {"unknown account", [&] { add(10002, 1, 10, 0, 0, 424242); }},
        {"unknown line", [&] { p->SepetSecimGuncelle(987654, 1); }},
        {"selection not 0 or 1", [&] { p->SepetSecimGuncelle(lines(p->SepetVer2(101))[0].sirano, 2); }},
        {"basket of an unknown account", [&] { p->SepetVer2(424242); }},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(c.call(), ServerError);
    }
    const auto b = lines(p->SepetVer2(101));
    ASSERT_EQ(b.size(), 1u);
    EXPECT_EQ(b[0].miktar, 1);
}

TEST_F(ServerBasket, TwoClientsAddingAtOnceLoseNothing)
{
    auto worker = [&](int firstStock) {
        auto c = server.connect();
        TServerMethods1Client q(c.get());
        for (int i = 0; i < 40; ++i)
            EXPECT_EQ(q.SepetEkle2(identity(103), 103, firstStock + i, QString(), QString(), 1, 18, 10, 0, 1, 0, 0, 0, 0), 1);
        for (int i = 0; i < 40; ++i) // the same stocks again: each line grows, none is doubled
            EXPECT_EQ(q.SepetEkle2(identity(103), 103, 10001 + i, QString(), QString(), 1, 18, 10, 0, 1, 0, 0, 0, 0), 1);
    };
    std::thread a(worker, 10001), b(worker, 10041);
    a.join();
    b.join();
    const auto all = lines(p->SepetVer2(103));
    ASSERT_EQ(all.size(), 80u);
    double total = 0;
    for (const auto &l : all)
        total += l.miktar;
    EXPECT_EQ(total, 160);
}

// ---- ordering ----

class ServerOrders : public ServerBasket
{
protected:
    bool send(int carino = 101, int teslim = 2, int tur = 1, int firma = 2, const QString &note = QStringLiteral("Acil lütfen.\r\nTeşekkürler"))
    {
        return p->SiparisKaydet(identity(carino), carino, teslim, tur, note, 1, firma);
    }
};

TEST_F(ServerOrders, ReferenceListsForTheConfirmationWindow)
{
    TableReader *teslim = p->TeslimVer();
    ASSERT_TRUE(teslim && teslim->next() && teslim->next());
    EXPECT_EQ(teslim->value(1).toString(), QStringLiteral("Kargo ile Gönderilsin")); // the usual choice is second
    EXPECT_EQ(p->KargoVer()->table().rowCount(), 3);
    const DataTable firms = p->KargolarVer(1)->table();
    ASSERT_EQ(firms.rowCount(), 2);
    for (const char *c : {"ADI", "SIRANO", "UYARI"})
        EXPECT_GE(firms.indexOf(QString::fromLatin1(c)), 0);
    EXPECT_EQ(p->KargolarVer(99)->table().rowCount(), 0);
}

TEST_F(ServerOrders, TheSelectedLinesBecomeAnOrderSeenEverywhere)
{
    add(10001, 3, 100, 10, 5);
    add(10002, 2, 40);
    add(10003, 1, 15);
    const auto basket = lines(p->SepetVer2(101));
    p->SepetSecimGuncelle(basket[2].sirano, 0);
    // The demo accounts have a year of orders already.
    const int ordersBefore = p->OncekiSiparisler(101)->table().rowCount();
    const int linesBefore = p->TumSiparislerVer(101, 0)->table().rowCount();
    const int stockLinesBefore = p->TumSiparislerVer(101, 10002)->table().rowCount();
    const int otherBefore = p->TumSiparislerVer(102, 0)->table().rowCount();

    ASSERT_TRUE(send());
    const auto left = lines(p->SepetVer2(101));
    ASSERT_EQ(left.size(), 1u);
    EXPECT_EQ(left[0].stokno, 10003);

    const DataTable orders = p->OncekiSiparisler(101)->table();
    ASSERT_EQ(orders.rowCount(), ordersBefore + 1); // the newest first
    const int idno = static_cast<int>(orders.integer(0, orders.indexOf(u"IDNO")));
    EXPECT_DOUBLE_EQ(orders.real(0, orders.indexOf(u"TUTAR")), 380.0);
    EXPECT_DOUBLE_EQ(orders.real(0, orders.indexOf(u"NETTUTAR")), 256.5 + 80.0);
    EXPECT_EQ(orders.value(0, u"DURUM").toString(), QStringLiteral("Alındı"));
    EXPECT_EQ(orders.value(0, u"TESLIM").toString(), QStringLiteral("Kargo ile Gönderilsin"));
    EXPECT_EQ(orders.value(0, u"KARGO").toString(), QStringLiteral("Alıcı Ödemeli"));
    EXPECT_EQ(orders.value(0, u"KARGOADI").toString(), QStringLiteral("ANADOLU HIZLI TAŞIMA"));
    EXPECT_EQ(orders.value(0, u"VERENINNOTU").toString(), QStringLiteral("Acil lütfen.\r\nTeşekkürler"));

    const DataTable detail = p->SiparisAyrintisi2(101, idno)->table();
    ASSERT_EQ(detail.rowCount(), 2);
    const std::map<int, double> quantities = {{10001, 3}, {10002, 2}};
    for (int r = 0; r < detail.rowCount(); ++r) {
        const int stok = static_cast<int>(detail.integer(r, detail.indexOf(u"STOKNO")));
        EXPECT_EQ(detail.integer(r, detail.indexOf(u"STOK_STOKNO")), stok);
        EXPECT_EQ(detail.real(r, detail.indexOf(u"MIKTAR")), quantities.at(stok));
        EXPECT_EQ(detail.real(r, detail.indexOf(u"KALAN")), quantities.at(stok)); // nothing delivered yet
        EXPECT_EQ(detail.real(r, detail.indexOf(u"TESLIMEDILEN")), 0);
        EXPECT_EQ(detail.integer(r, detail.indexOf(u"IDNO")), idno);
        EXPECT_EQ(detail.value(r, u"TESLIM").toString(), QStringLiteral("Kargo ile Gönderilsin"));
        EXPECT_FALSE(detail.isNull(r, detail.indexOf(u"ELDEKI")));
    }

    const TSiparisDipAyrinti *dip = p->SiparisAytintisiDip(0, idno);
    ASSERT_NE(dip, nullptr);
    EXPECT_EQ(dip->Durumu(), QStringLiteral("Alındı"));
    EXPECT_EQ(dip->KargoCinsi(), QStringLiteral("Alıcı Ödemeli"));
    EXPECT_EQ(dip->Kargo(), QStringLiteral("ANADOLU HIZLI TAŞIMA"));
    EXPECT_EQ(dip->SizinMesaj(), QStringLiteral("Acil lütfen.\r\nTeşekkürler"));
    EXPECT_EQ(dip->Veren(), QStringLiteral("DEMO"));
    EXPECT_TRUE(p->SiparisAytintisiDip(0, 987654)->Durumu().isEmpty()); // unknown: an empty footer

    EXPECT_EQ(p->TumSiparislerVer(101, 10002)->table().rowCount(), stockLinesBefore + 1);
    EXPECT_EQ(p->TumSiparislerVer(101, 0)->table().rowCount(), linesBefore + 2);
    EXPECT_EQ(p->TumSiparislerVer(102, 0)->table().rowCount(), otherBefore);
    EXPECT_THROW(p->SiparisAyrintisi2(102, idno), ServerError); // another account's order
}

TEST_F(ServerOrders, NothingSelectedOrBadChoicesSendNothing)
{
    const int ordersBefore = p->OncekiSiparisler(101)->table().rowCount();
    EXPECT_FALSE(send()); // empty basket
    add(10001, 1, 10);
    p->SepetSecimGuncelle(lines(p->SepetVer2(101))[0].sirano, 0);
    EXPECT_FALSE(send()); // nothing selected
    p->SepetSecimGuncelle(lines(p->SepetVer2(101))[0].sirano, 1);
    EXPECT_THROW(send(101, 2, 1, 4), ServerError);  // a company of another cargo type
    EXPECT_THROW(send(101, 9, 1, 2), ServerError);  // unknown delivery mode
    EXPECT_THROW(send(424242), ServerError);        // unknown account
    EXPECT_THROW(send(101, 2, 1, 2, QString(5000, u'x')), ServerError);
    EXPECT_EQ(p->OncekiSiparisler(101)->table().rowCount(), ordersBefore);
    EXPECT_EQ(p->SepetVer2(101).rowCount(), 1);
}

// An order save cut short by the server dying leaves the whole order or none of it.
TEST(ServerOrderAtomicity, AKilledServerLeavesAllOrNothing)
{
    QTemporaryDir dir;
    const QStringList args = {QStringLiteral("--db"), dir.filePath(QStringLiteral("demo.db")), QStringLiteral("--demo"),
                              QStringLiteral("--demo-stocks"), QStringLiteral("200")};
    constexpr int kLines = 60;
    int wholeOrders = 0;
    std::set<qint64> history; // the demo account's orders before the test's saves
    for (int round = 0; round < 4; ++round) {
        SCOPED_TRACE(round);
        auto server = std::make_unique<ServerProcess>(args);
        ASSERT_NE(server->port(), 0);
        {
            TcpConnection c(QStringLiteral("127.0.0.1"), server->port());
            c.open();
            TServerMethods1Client p(&c);
            if (round == 0) {
                const DataTable before = p.OncekiSiparisler(104)->table();
                for (int r = 0; r < before.rowCount(); ++r)
                    history.insert(before.integer(r, before.indexOf(u"IDNO")));
            }
            p.SepetHepsiniSil(identity(104));
            for (int i = 0; i < kLines; ++i)
                p.SepetEkle2(identity(104), 104, 10001 + i, QString(), QString(), 1, 18, 10, 0, 1, 0, 0, 0, 0);
        }
        const quint16 port = server->port();
        std::thread sender([port] {
            try {
                TcpConnection c(QStringLiteral("127.0.0.1"), port);
                c.open();
                TServerMethods1Client(&c).SiparisKaydet(identity(104), 104, 2, 1, QStringLiteral("yarıda"), 1, 1);
            } catch (const RemoteError &) {
                // the server died under the call
            }
        });
        if (round > 0) // round 0 lets the save finish; the others kill it as early as they can
            server->process().kill();
        sender.join();
        server.reset();

        ServerProcess again(args);
        TcpConnection c(QStringLiteral("127.0.0.1"), again.port());
        c.open();
        TServerMethods1Client p(&c);
        const int inBasket = p.SepetVer2(104).rowCount();
        const DataTable orders = p.OncekiSiparisler(104)->table();
        int ordered = 0;
        for (int r = 0; r < orders.rowCount(); ++r) {
            if (history.count(orders.integer(r, orders.indexOf(u"IDNO"))))
                continue;
            const int lineCount = p.SiparisAyrintisi2(104, static_cast<int>(orders.integer(r, orders.indexOf(u"IDNO"))))->table().rowCount();
            EXPECT_EQ(lineCount, kLines); // never part of an order
            ordered += lineCount;
        }
        EXPECT_EQ(ordered, wholeOrders * kLines + (inBasket == 0 ? kLines : 0));
        EXPECT_TRUE(inBasket == 0 || inBasket == kLines) << inBasket;
        if (inBasket == 0)
            ++wholeOrders;
        EXPECT_EQ(orders.rowCount(), static_cast<int>(history.size()) + wholeOrders);
    }
    EXPECT_GE(wholeOrders, 1); // round 0 at least
}

// ---- the web site of the running server ----

namespace {

// One HTTP/1.0 exchange over a plain socket: status line and body.
std::pair<QByteArray, QByteArray> http(quint16 port, const QByteArray &request)
{
    QTcpSocket s;
    s.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!s.waitForConnected(5000))
        return {};
    s.write(request);
    s.waitForBytesWritten(5000);
    // Read until the headers and Content-Length bytes of body are in (the server may keep the connection).
    QByteArray reply;
    qsizetype split = -1, length = -1;
    while (s.waitForReadyRead(5000) || s.bytesAvailable() > 0) {
        reply += s.readAll();
        if (split < 0 && (split = reply.indexOf("\r\n\r\n")) >= 0) {
            const qsizetype at = reply.toLower().indexOf("content-length:");
            length = at >= 0 && at < split ? reply.mid(at + 15, reply.indexOf("\r\n", at) - at - 15).trimmed().toLongLong() : -1;
        }
        if (split >= 0 && length >= 0 && reply.size() >= split + 4 + length)
            break;
    }
    return {reply.left(reply.indexOf("\r\n")), split < 0 ? QByteArray() : reply.mid(split + 4)};
}

} // namespace

TEST(ServerWebSite, PicturesAndTheRequestFormReachTheDatabase)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("demo.db"));
    ServerProcess server({QStringLiteral("--db"), file, QStringLiteral("--demo"), QStringLiteral("--demo-stocks"), QStringLiteral("50")});
    ASSERT_NE(server.httpPort(), 0);

    // A stock that has a picture.
    int withPicture = 0;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("webtest"));
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(QStringLiteral("SELECT no FROM stok WHERE resim = 1 LIMIT 1"), db);
        ASSERT_TRUE(q.next());
        withPicture = q.value(0).toInt();
    }
    QSqlDatabase::removeDatabase(QStringLiteral("webtest"));

    const auto [status, body] = http(server.httpPort(), "GET /resimgoster.ashx?id=" + QByteArray::number(withPicture) + " HTTP/1.0\r\n\r\n");
    EXPECT_TRUE(status.contains("200")) << status.constData();
    EXPECT_GT(body.size(), 1200); // the client ignores anything smaller
    EXPECT_TRUE(body.startsWith("\xFF\xD8")) << "not a JPEG";
    EXPECT_TRUE(http(server.httpPort(), "GET /resimgoster.ashx?id=99999999 HTTP/1.0\r\n\r\n").first.contains("404"));

    const QByteArray form = "firma=%C3%96Z+OTO&telefon=0532+111+22+33&not=Merhaba";
    const auto posted = http(server.httpPort(), "POST /formmailgonder.aspx?carino=0&kullanici=%20&id=ABC-123 HTTP/1.0\r\n"
                                                "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                                                    + QByteArray::number(form.size()) + "\r\n\r\n" + form);
    EXPECT_TRUE(posted.first.contains("200")) << posted.first.constData();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("webtest2"));
        db.setDatabaseName(file);
        ASSERT_TRUE(db.open());
        QSqlQuery q(QStringLiteral("SELECT tur, kimlik, icerik FROM giden"), db);
        ASSERT_TRUE(q.next());
        EXPECT_EQ(q.value(1).toString(), QStringLiteral("ABC-123"));
        EXPECT_TRUE(q.value(2).toString().contains(QStringLiteral("ÖZ OTO")));
    }
    QSqlDatabase::removeDatabase(QStringLiteral("webtest2"));
}
