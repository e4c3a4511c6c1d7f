// Every method the client calls, through the client's proxy, against a fresh demo server: the columns the
// windows bind and read, and the invariants that tie the methods together (counters and the lists they
// count, keys that travel from one result into later calls, amounts that meet on screen).
//
// The cases run in order on one server: the basket and order cases build on each other.

#include "errors.h"
#include "localenv.h"
#include "server_process.h"
#include "servermethods.h"

#include <QDate>
#include <QIODevice>
#include <QImage>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <set>

using namespace tarvik;

namespace {

// What the client calls, as its windows call it.
const std::set<std::string> kClientMethods = {
    "BuyukGetir", "StokAraGetir", "SepetVer2", "SepetEkle2", "SepetGuncelle2", "SepetSatirSil", "SepetHepsiniSil",
    "SepetSecimGuncelle", "CariVadeGunGecmismiBul", "TeslimVer", "KargoVer", "KargolarVer", "SiparisKaydet", "OncekiSiparisler",
    "SiparisAyrintisi2", "SiparisAytintisiDip", "TumSiparislerVer", "BakiyelerVer2", "BakiyeDuzenle", "BakiyeDegistir",
    "BakiyeFiyatDegistir", "CariEkstreVer", "FaturaGetir", "FaturaAltGetir", "Tahsilat", "SanalposSiranoVer", "SAnalPosPdfVer",
    "YenilerVer2", "KampanyaliVer2", "AcilisEkranlarVer2", "KayanYaziGetir", "BalonGetir", "BannerResimVer", "BannerResimVer2",
    "BannerResimVer3", "AcilisReklamAdet", "AcilisREklamVer", "ResimVer5", "CariAra", "CariSepetVer", "SepetSayisi",
    "TusSonuclariVer", "RaporGetir", "RaporAlinanSiparisler", "RaporEnCokSatilanStoklar", "MobilCariBilgisiGetir",
    "MailGonserCari", "MailGonserCariNormal"};

constexpr int kDealerAccount = 100; // the demo dealer's account
constexpr int kRepWithPricing = 3;  // REP2, user type 2: every account

void expectColumns(const DataTable &t, std::initializer_list<std::pair<const char16_t *, DbxType>> columns)
{
    for (const auto &[name, type] : columns) {
        const int c = t.indexOf(name);
        ASSERT_GE(c, 0) << QString::fromUtf16(name).toStdString();
        EXPECT_EQ(t.column(c).type, type) << QString::fromUtf16(name).toStdString();
    }
}

double sum(const DataTable &t, QStringView column)
{
    double s = 0;
    const int c = t.indexOf(column);
    for (int r = 0; r < t.rowCount(); ++r)
        s += t.real(r, c);
    return s;
}

QByteArray readStream(QIODevice *stream)
{
    return stream ? stream->readAll() : QByteArray();
}

double dayCount(const QDate &d)
{
    return static_cast<double>(QDate(1899, 12, 30).daysTo(d));
}

struct Context
{
    TServerMethods1Client *p = nullptr;
    QString machine;
    QString dbPath;
    TSonucBilgisi dealer;
    // Handed from case to case.
    int basketLine = 0, order = 0, invoice = 0, collection = 0, payment = 0;

    std::unique_ptr<TSonucBilgisi> me() const
    {
        auto b = std::make_unique<TSonucBilgisi>();
        b->Kopyala(dealer);
        return b;
    }
    std::unique_ptr<TSonucBilgisi> representative() const
    {
        auto b = me();
        b->setSirano(kRepWithPricing);
        b->setMusteriTipi(2);
        return b;
    }
    DataTable statement() const { return p->CariEkstreVer(kDealerAccount)->table(); }
    int outbox(const QString &kind) const
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("outbox-check"));
        db.setDatabaseName(dbPath);
        int n = -1;
        if (db.open()) {
            QSqlQuery q(db);
            q.prepare(QStringLiteral("SELECT count(*) FROM giden WHERE tur = ?"));
            q.addBindValue(kind);
            if (q.exec() && q.next())
                n = q.value(0).toInt();
        }
        db = QSqlDatabase();
        QSqlDatabase::removeDatabase(QStringLiteral("outbox-check"));
        return n;
    }
};

using Case = std::pair<const char *, std::function<void(Context &)>>;

const std::vector<Case> &cases()
{
    static const std::vector<Case> table = {
        {"BuyukGetir",
         [](Context &x) {
             const TSonucBilgisi *b = x.p->BuyukGetir(x.machine);
             ASSERT_NE(b, nullptr);
             EXPECT_TRUE(b->Varmi());
             EXPECT_EQ(b->Version(), 4);
             EXPECT_EQ(b->CARINO(), kDealerAccount);
             x.dealer.Kopyala(*b);
         }},
        {"StokAraGetir",
         [](Context &x) {
             const DataTable t = x.p->StokAraGetir(QStringLiteral("FREN BALATASI"), x.me());
             ASSERT_GT(t.rowCount(), 0);
             expectColumns(t, {{u"STOK_STOKNO", DbxType::Int32}, {u"IND1", DbxType::Double}, {u"IND4", DbxType::Double},
                               {u"K", DbxType::Int32}, {u"Y", DbxType::Int32}, {u"INDIRIMYAZI", DbxType::WideString},
                               {u"KDVDAHIL", DbxType::Double}, {u"FIYAT", DbxType::Double}, {u"DURUM", DbxType::Int32}});
         }},
        {"YenilerVer2", [](Context &x) { EXPECT_GT(x.p->YenilerVer2(kDealerAccount).rowCount(), 0); }},
        {"KampanyaliVer2", [](Context &x) { EXPECT_GT(x.p->KampanyaliVer2(kDealerAccount, 4).rowCount(), 0); }},
        {"ResimVer5",
         [](Context &x) {
             std::int64_t size = -1;
             QByteArray jpeg;
             for (int stok = 10001; stok < 10010 && jpeg.isEmpty(); ++stok)
                 jpeg = readStream(x.p->ResimVer5(stok, size));
             EXPECT_EQ(size, jpeg.size());
             EXPECT_FALSE(QImage::fromData(jpeg, "JPEG").isNull());
         }},
        {"SepetEkle2",
         [](Context &x) {
             EXPECT_EQ(x.p->SepetEkle2(x.me(), kDealerAccount, 10005, QString(), QString(), 2, 20, 100, 10, x.dealer.Sirano(), 0, 0, 0, 0), 1);
             EXPECT_EQ(x.p->SepetEkle2(x.me(), kDealerAccount, 10006, QString(), QString(), 1, 20, 50, 0, x.dealer.Sirano(), 0, 0, 0, 0), 1);
         }},
        {"SepetVer2",
         [](Context &x) {
             const DataTable t = x.p->SepetVer2(kDealerAccount);
             ASSERT_EQ(t.rowCount(), 2);
             expectColumns(t, {{u"SIRANO", DbxType::Int32}, {u"STOKNO", DbxType::Int32}, {u"SEC", DbxType::Int32},
                               {u"MIKTAR", DbxType::Double}, {u"TUTAR", DbxType::Double}, {u"INDIRIMTUTAR", DbxType::Double},
                               {u"NETTUTAR", DbxType::Double}, {u"VERGITUTARI", DbxType::Double}});
             for (int r = 0; r < t.rowCount(); ++r)
                 EXPECT_NEAR(t.value(r, u"TUTAR").toDouble() - t.value(r, u"INDIRIMTUTAR").toDouble(), t.value(r, u"NETTUTAR").toDouble(), 0.005);
             x.basketLine = static_cast<int>(t.integer(0, t.indexOf(u"SIRANO")));
         }},
        {"SepetGuncelle2",
         [](Context &x) {
             x.p->SepetGuncelle2(x.me(), kDealerAccount, 10005, QString(), QString(), 3, 20, 90, 10, x.dealer.Sirano(), x.basketLine, 0, 0, 0);
             const DataTable t = x.p->SepetVer2(kDealerAccount);
             const int r = t.value(0, u"SIRANO").toInt() == x.basketLine ? 0 : 1;
             EXPECT_EQ(t.value(r, u"MIKTAR").toDouble(), 3);
             EXPECT_EQ(t.value(r, u"BIRIMFIYAT").toDouble(), 90);
         }},
        {"SepetSecimGuncelle",
         [](Context &x) {
             x.p->SepetSecimGuncelle(x.basketLine, 0);
             x.p->SepetSecimGuncelle(x.basketLine, 1);
             const DataTable t = x.p->SepetVer2(kDealerAccount);
             for (int r = 0; r < t.rowCount(); ++r)
                 EXPECT_EQ(t.value(r, u"SEC").toInt(), 1);
         }},
        {"CariVadeGunGecmismiBul",
         [](Context &x) {
             // Shown as it comes; an account that owes nothing past its term gets no warning.
             const QString warning = x.p->CariVadeGunGecmismiBul(kDealerAccount);
             EXPECT_TRUE(warning.isEmpty() || warning.contains(QStringLiteral("Vadesi geçmiş")));
         }},
        {"TeslimVer", [](Context &x) { EXPECT_GE(x.p->TeslimVer()->table().rowCount(), 2); }},
        {"KargoVer", [](Context &x) { EXPECT_GE(x.p->KargoVer()->table().rowCount(), 1); }},
        {"KargolarVer",
         [](Context &x) {
             const DataTable t = x.p->KargolarVer(1)->table();
             expectColumns(t, {{u"ADI", DbxType::WideString}, {u"SIRANO", DbxType::Int32}, {u"UYARI", DbxType::WideString}});
         }},
        {"SiparisKaydet",
         [](Context &x) {
             const int before = x.p->OncekiSiparisler(kDealerAccount)->table().rowCount();
             EXPECT_TRUE(x.p->SiparisKaydet(x.me(), kDealerAccount, 2, 1, QStringLiteral("Deneme"), x.dealer.Sirano(), 1));
             EXPECT_EQ(x.p->SepetVer2(kDealerAccount).rowCount(), 0);
             EXPECT_EQ(x.p->OncekiSiparisler(kDealerAccount)->table().rowCount(), before + 1);
         }},
        {"OncekiSiparisler",
         [](Context &x) {
             const DataTable t = x.p->OncekiSiparisler(kDealerAccount)->table();
             expectColumns(t, {{u"IDNO", DbxType::Int32}, {u"TUTAR", DbxType::Double}, {u"NETTUTAR", DbxType::Double},
                               {u"VERGI", DbxType::Double}, {u"DURUM", DbxType::WideString}});
             x.order = static_cast<int>(t.integer(0, t.indexOf(u"IDNO"))); // the newest first
         }},
        {"SiparisAyrintisi2",
         [](Context &x) {
             const DataTable t = x.p->SiparisAyrintisi2(kDealerAccount, x.order)->table();
             EXPECT_EQ(t.rowCount(), 2);
             expectColumns(t, {{u"STOKHAR_NO", DbxType::Int32}, {u"KALAN", DbxType::Double}, {u"ILKFIYAT", DbxType::Double}});
         }},
        {"SiparisAytintisiDip",
         [](Context &x) { EXPECT_EQ(x.p->SiparisAytintisiDip(0, x.order)->SizinMesaj(), QStringLiteral("Deneme")); }},
        {"TumSiparislerVer", [](Context &x) { EXPECT_GE(x.p->TumSiparislerVer(kDealerAccount, 10005)->table().rowCount(), 1); }},
        {"BakiyelerVer2",
         [](Context &x) {
             const DataTable t = x.p->BakiyelerVer2(kDealerAccount)->table();
             ASSERT_GE(t.rowCount(), 2); // at least the order just sent
             const DataTable orders = x.p->OncekiSiparisler(kDealerAccount)->table();
             std::set<qint64> orderNumbers;
             for (int r = 0; r < orders.rowCount(); ++r)
                 orderNumbers.insert(orders.integer(r, orders.indexOf(u"IDNO")));
             std::set<std::pair<qint64, qint64>> keys;
             for (int r = 0; r < t.rowCount(); ++r) {
                 EXPECT_GT(t.value(r, u"KALAN").toDouble(), 0);
                 EXPECT_TRUE(orderNumbers.count(t.integer(r, t.indexOf(u"IDNO"))));
                 keys.insert({t.integer(r, t.indexOf(u"SIRANO")), t.integer(r, t.indexOf(u"STOKHAR_NO"))});
             }
             EXPECT_EQ(keys.size(), std::size_t(t.rowCount())); // the pair identifies the line
         }},
        {"BakiyeDegistir",
         [](Context &x) {
             const DataTable t = x.p->BakiyelerVer2(kDealerAccount)->table();
             const int line = static_cast<int>(t.integer(0, t.indexOf(u"STOKHAR_NO")));
             x.p->BakiyeDegistir(x.me(), t.value(0, u"STOK_STOKNO").toInt(), t.value(0, u"SIRANO").toInt(), line, 7, 7,
                                 t.value(0, u"BARKOD").toString());
             const DataTable after = x.p->BakiyelerVer2(kDealerAccount)->table();
             for (int r = 0; r < after.rowCount(); ++r)
                 if (after.integer(r, after.indexOf(u"STOKHAR_NO")) == line) {
                     EXPECT_EQ(after.value(r, u"KALAN").toDouble(), 7);
                 }
         }},
        {"BakiyeFiyatDegistir",
         [](Context &x) {
             const DataTable t = x.p->BakiyelerVer2(kDealerAccount)->table();
             const int line = static_cast<int>(t.integer(0, t.indexOf(u"STOKHAR_NO")));
             const double first = t.value(0, u"ILKFIYAT").toDouble(), kalan = t.value(0, u"KALAN").toDouble();
             x.p->BakiyeFiyatDegistir(x.me(), 0, t.value(0, u"SIRANO").toInt(), line, t.value(0, u"MIKTAR").toDouble(),
                                      t.value(0, u"MIKTAR").toDouble(), t.value(0, u"BARKOD").toString(), 123.45, 12.5);
             const DataTable after = x.p->BakiyelerVer2(kDealerAccount)->table();
             ASSERT_EQ(after.integer(0, after.indexOf(u"STOKHAR_NO")), line);
             EXPECT_EQ(after.value(0, u"BIRIMFIYAT").toDouble(), 123.45);
             EXPECT_EQ(after.value(0, u"INDIRIMORANI1").toDouble(), 12.5);
             EXPECT_EQ(after.value(0, u"ILKFIYAT").toDouble(), first);
             EXPECT_EQ(after.value(0, u"KALAN").toDouble(), kalan); // the quantity sent as Bakiye is not the balance
         }},
        {"BakiyeDuzenle",
         [](Context &x) {
             const DataTable t = x.p->BakiyelerVer2(kDealerAccount)->table();
             x.p->BakiyeDuzenle(x.me(), t.value(0, u"STOK_STOKNO").toInt(), t.value(0, u"SIRANO").toInt(),
                                t.value(0, u"STOKHAR_NO").toInt(), t.value(0, u"MIKTAR").toDouble(), t.value(0, u"KALAN").toDouble(),
                                t.value(0, u"BARKOD").toString());
             EXPECT_EQ(x.p->BakiyelerVer2(kDealerAccount)->table().rowCount(), t.rowCount() - 1);
             // A closed balance cannot be closed again.
             EXPECT_THROW(x.p->BakiyeDuzenle(x.me(), 0, t.value(0, u"SIRANO").toInt(), t.value(0, u"STOKHAR_NO").toInt(), 1, 1, QString()),
                          ServerError);
         }},
        {"CariEkstreVer",
         [](Context &x) {
             const DataTable t = x.statement();
             ASSERT_GT(t.rowCount(), 3);
             expectColumns(t, {{u"CARINO", DbxType::Int32}, {u"TARIH", DbxType::Date}, {u"TURADI", DbxType::WideString},
                               {u"EVRAK", DbxType::WideString}, {u"BORC", DbxType::Double}, {u"ALACAK", DbxType::Double},
                               {u"KUR", DbxType::WideString}, {u"BAKIYE", DbxType::Double}, {u"D", DbxType::WideString},
                               {u"IDNO", DbxType::Int32}, {u"ACIKLAMA", DbxType::WideString}});
             QDate last;
             for (int r = 0; r < t.rowCount(); ++r) {
                 EXPECT_FALSE(t.isNull(r, t.indexOf(u"BORC")) || t.isNull(r, t.indexOf(u"ALACAK")));
                 const QDate d = t.value(r, u"TARIH").toDate();
                 EXPECT_LE(last, d); // oldest first: the client adds up in this order
                 last = d;
                 const QString kind = t.value(r, u"TURADI").toString();
                 const int idno = t.value(r, u"IDNO").toInt();
                 if (kind.contains(QStringLiteral("Fatura")) && !x.invoice)
                     x.invoice = idno;
                 if (kind == QStringLiteral("Tahsilat") && !x.collection)
                     x.collection = idno;
             }
             EXPECT_GT(x.invoice, 0);
             EXPECT_GT(x.collection, 0);
         }},
        {"FaturaGetir",
         [](Context &x) {
             const DataTable t = x.p->FaturaGetir(kDealerAccount, x.invoice)->table();
             ASSERT_GT(t.rowCount(), 0);
             expectColumns(t, {{u"STOKHAR_HAREKETTARIHI", DbxType::Date}, {u"STOKHAR_HAREKETTIPI2", DbxType::WideString},
                               {u"SATICIADI", DbxType::WideString}, {u"EVRAKNO", DbxType::WideString}, {u"STOKHAR_VADE", DbxType::Int32},
                               {u"STOKHAR_MIKTAR", DbxType::Double}, {u"STOKHAR_NETTLTUTAR", DbxType::Double},
                               {u"SATIRACIKLMASI", DbxType::WideString}, {u"STOKHAR_INDIRIM8", DbxType::Double}});
             for (int r = 1; r < t.rowCount(); ++r) // every line carries the same header values
                 EXPECT_EQ(t.value(r, u"EVRAKNO"), t.value(0, u"EVRAKNO"));
             EXPECT_THROW(x.p->FaturaGetir(kDealerAccount + 1, x.invoice), ServerError); // another account's invoice
         }},
        {"FaturaAltGetir",
         [](Context &x) {
             const DataTable t = x.p->FaturaAltGetir(x.invoice)->table();
             ASSERT_EQ(t.rowCount(), 1);
             const DataTable lines = x.p->FaturaGetir(kDealerAccount, x.invoice)->table();
             EXPECT_NEAR(t.real(0, t.indexOf(u"TOPLAM")), sum(lines, u"STOKHAR_TLTUTAR"), 0.02);
             EXPECT_NEAR(t.real(0, t.indexOf(u"MATRAH")), t.real(0, t.indexOf(u"TOPLAM")) - t.real(0, t.indexOf(u"TOPLAMINDIRIM")), 0.005);
             EXPECT_NEAR(t.real(0, t.indexOf(u"KDVDAHIL")), t.real(0, t.indexOf(u"MATRAH")) + t.real(0, t.indexOf(u"KDVTUTAR")), 0.005);
             // The statement debits what the invoice comes to.
             const DataTable s = x.statement();
             for (int r = 0; r < s.rowCount(); ++r)
                 if (s.value(r, u"IDNO").toInt() == x.invoice) {
                     EXPECT_DOUBLE_EQ(s.value(r, u"BORC").toDouble(), t.real(0, t.indexOf(u"KDVDAHIL")));
                 }
         }},
        {"Tahsilat",
         [](Context &x) {
             const DataTable t = x.p->Tahsilat(x.collection)->table();
             ASSERT_GT(t.rowCount(), 0);
             expectColumns(t, {{u"Tarih", DbxType::Date}, {u"Türü", DbxType::WideString}, {u"Cins", DbxType::WideString},
                               {u"EvrakNo", DbxType::WideString}, {u"Vade", DbxType::Date}, {u"Tutar", DbxType::Double},
                               {u"Kur", DbxType::WideString}, {u"KurTL", DbxType::Double}, {u"Açıklama", DbxType::WideString},
                               {u"Döviz Tutar", DbxType::Double}, {u"Ref", DbxType::WideString}, {u"Saat", DbxType::WideString}});
             const DataTable s = x.statement();
             for (int r = 0; r < s.rowCount(); ++r)
                 if (s.value(r, u"IDNO").toInt() == x.collection) {
                     EXPECT_DOUBLE_EQ(s.value(r, u"ALACAK").toDouble(), sum(t, u"Tutar"));
                 }
         }},
        {"SanalposSiranoVer",
         [](Context &x) {
             // Card collections have a receipt, the others none.
             for (int account = 100; account < 130 && !x.payment; ++account) {
                 const DataTable s = x.p->CariEkstreVer(account)->table();
                 for (int r = 0; r < s.rowCount() && !x.payment; ++r) {
                     if (s.value(r, u"TURADI").toString() != QStringLiteral("Tahsilat"))
                         continue;
                     const int idno = s.value(r, u"IDNO").toInt();
                     const int payment = x.p->SanalposSiranoVer(idno);
                     const DataTable lines = x.p->Tahsilat(idno)->table();
                     EXPECT_EQ(payment > 0, lines.value(0, u"Türü").toString() == QStringLiteral("Kredi Kartı"));
                     x.payment = payment;
                 }
             }
             EXPECT_GT(x.payment, 0);
             EXPECT_EQ(x.p->SanalposSiranoVer(987654), 0);
         }},
        {"SAnalPosPdfVer",
         [](Context &x) {
             std::int64_t size = -1;
             const QByteArray pdf = readStream(x.p->SAnalPosPdfVer(x.payment, size));
             EXPECT_EQ(size, pdf.size());
             EXPECT_TRUE(pdf.startsWith("%PDF-"));
             EXPECT_TRUE(readStream(x.p->SAnalPosPdfVer(987654, size)).isEmpty());
             EXPECT_EQ(size, 0);
         }},
        {"KayanYaziGetir", [](Context &x) { EXPECT_FALSE(x.p->KayanYaziGetir().trimmed().isEmpty()); }},
        {"BannerResimVer",
         [](Context &x) {
             std::int64_t size = -1;
             const QByteArray gif = readStream(x.p->BannerResimVer(size));
             EXPECT_EQ(size, gif.size());
             EXPECT_TRUE(gif.startsWith("GIF89a"));
         }},
        {"BannerResimVer2",
         [](Context &x) {
             std::int64_t size = -1;
             const QByteArray gif = readStream(x.p->BannerResimVer2(size));
             EXPECT_EQ(size, gif.size());
             EXPECT_TRUE(gif.startsWith("GIF89a"));
         }},
        {"BannerResimVer3",
         [](Context &x) {
             std::int64_t size = -1;
             const QByteArray bmp = readStream(x.p->BannerResimVer3(size));
             EXPECT_EQ(size, bmp.size());
             EXPECT_TRUE(bmp.startsWith("BM"));
             EXPECT_FALSE(QImage::fromData(bmp, "BMP").isNull());
         }},
        {"AcilisEkranlarVer2",
         [](Context &x) {
             const TAcilisEkranlariki *all = x.p->AcilisEkranlarVer2();
             ASSERT_NE(all, nullptr);
             EXPECT_EQ(all->Ekranlar().size(), 8u); // three adverts and five announcements
             for (const auto &e : all->Ekranlar()) {
                 const QByteArray picture = QByteArray::fromHex(e->Resim().toLatin1());
                 EXPECT_EQ(picture.size() * 2, e->Resim().size()); // whole pairs of hex digits
                 EXPECT_FALSE(QImage::fromData(picture, "JPEG").isNull());
             }
         }},
        {"AcilisReklamAdet", [](Context &x) { EXPECT_EQ(x.p->AcilisReklamAdet(), 8); }},
        {"AcilisREklamVer",
         [](Context &x) {
             const TAcilisEkranlariki *all = x.p->AcilisEkranlarVer2();
             const int count = x.p->AcilisReklamAdet();
             std::set<QString> actions;
             for (int i = 0; i < count; ++i) {
                 const TAcilisEkran *e = x.p->AcilisREklamVer(i);
                 ASSERT_NE(e, nullptr);
                 EXPECT_EQ(e->Baslik(), all->Ekranlar()[std::size_t(i)]->Baslik());
                 EXPECT_EQ(e->Resim(), all->Ekranlar()[std::size_t(i)]->Resim());
                 actions.insert(e->Arama());
             }
             EXPECT_TRUE(actions.count(QStringLiteral("#KAMPANYA#")) && actions.count(QStringLiteral("#YENİ#")));
             EXPECT_TRUE(x.p->AcilisREklamVer(count)->Resim().isEmpty()); // out of range: an empty screen
             EXPECT_TRUE(x.p->AcilisREklamVer(-1)->Resim().isEmpty());
         }},
        {"BalonGetir",
         [](Context &x) {
             x.p->SepetEkle2(x.me(), kDealerAccount, 10007, QString(), QString(), 1, 20, 10, 0, x.dealer.Sirano(), 0, 0, 0, 0);
             const DataTable t = x.p->BalonGetir(x.me())->table();
             ASSERT_EQ(t.rowCount(), 1);
             ASSERT_EQ(t.columnCount(), 5);
             EXPECT_EQ(t.integer(0, 0), x.p->SepetVer2(kDealerAccount).rowCount());
             EXPECT_EQ(t.integer(0, 1), x.p->YenilerVer2(kDealerAccount).rowCount());
             EXPECT_EQ(t.integer(0, 2), x.p->KampanyaliVer2(kDealerAccount, 0).rowCount());
             EXPECT_EQ(t.integer(0, 3), x.p->AcilisReklamAdet());
             EXPECT_EQ(t.real(0, 4), x.p->BakiyelerVer2(kDealerAccount)->table().rowCount());
             EXPECT_EQ(t.real(0, 4), std::floor(t.real(0, 4))); // a whole number the tab can show
         }},
        {"CariAra",
         [](Context &x) {
             const DataTable all = x.p->CariAra(x.representative(), QString())->table();
             EXPECT_EQ(all.rowCount(), 30);
             expectColumns(all, {{u"CARIKOD", DbxType::WideString}, {u"CARIADI", DbxType::WideString}, {u"SATICISI", DbxType::WideString},
                                 {u"TLBAKIYE", DbxType::Double}, {u"DURUM", DbxType::WideString}, {u"SEPET", DbxType::Int32},
                                 {u"CARINO", DbxType::Int32}, {u"INDIRIM", DbxType::Double}, {u"VADE", DbxType::Int32},
                                 {u"EMAIL", DbxType::WideString}, {u"PARCALIHAZIRLANDI", DbxType::Int32}});
             // Case and Turkish letters do not matter; the client sends "ı" as "i".
             const DataTable found = x.p->CariAra(x.representative(), QStringLiteral("ozkan oto"))->table();
             ASSERT_GT(found.rowCount(), 0);
             EXPECT_TRUE(found.value(0, u"CARIADI").toString().startsWith(QStringLiteral("ÖZKAN OTO")));
             // A representative of type 1 sees only his accounts.
             auto rep1 = x.representative();
             rep1->setSirano(2);
             EXPECT_LT(x.p->CariAra(std::move(rep1), QString())->table().rowCount(), 30);
             EXPECT_THROW(x.p->CariAra(nullptr, QString()), ServerError);
         }},
        {"CariSepetVer",
         [](Context &x) {
             const DataTable t = x.p->CariSepetVer(x.representative(), 1)->table();
             ASSERT_EQ(t.rowCount(), 1); // only the dealer has basket lines now
             EXPECT_EQ(t.value(0, u"CARINO").toInt(), kDealerAccount);
             EXPECT_THROW(x.p->CariSepetVer(x.representative(), 8), ServerError);
         }},
        {"SepetSayisi", [](Context &x) { EXPECT_EQ(x.p->SepetSayisi(x.representative()), x.p->CariSepetVer(x.representative(), 1)->table().rowCount()); }},
        {"TusSonuclariVer",
         [](Context &x) {
             const TTusSonuclari *t = x.p->TusSonuclariVer(x.representative());
             ASSERT_NE(t, nullptr);
             const std::pair<int, int> counts[] = {{t->Alindi(), 2}, {t->Onaylandi(), 3}, {t->Goruldu(), 4},
                                                   {t->ParcaliHazirlandi(), 5}, {t->Hazirlandi(), 6}, {t->SevkEdildi(), 7}};
             for (const auto &[count, filter] : counts)
                 EXPECT_EQ(count, x.p->CariSepetVer(x.representative(), filter)->table().rowCount()) << filter;
             EXPECT_GT(t->SevkEdildi(), 0);
         }},
        {"RaporGetir",
         [](Context &x) {
             const double today = dayCount(QDate::currentDate());
             for (const auto &[report, account, rep, from] : {std::tuple{6, kDealerAccount, QStringLiteral("MEHMET KAYA"), today},
                                                              std::tuple{7, kDealerAccount, QStringLiteral("MEHMET KAYA"), today - 365},
                                                              std::tuple{6, 0, QStringLiteral("."), today}}) {
                 std::int64_t size = -1;
                 const QByteArray pdf = readStream(x.p->RaporGetir(report, report, x.dealer.Sirano(), account, rep, from, today, size));
                 EXPECT_EQ(size, pdf.size()) << report;
                 EXPECT_TRUE(pdf.startsWith("%PDF-")) << report;
             }
             std::int64_t size = -1;
             EXPECT_THROW(x.p->RaporGetir(5, 5, 1, kDealerAccount, QString(), today, today, size), ServerError);
             EXPECT_THROW(x.p->RaporGetir(6, 6, 1, kDealerAccount, QString(), 1e12, today, size), ServerError); // not a date
         }},
        {"RaporAlinanSiparisler",
         [](Context &x) {
             const QDate today = QDate::currentDate();
             const DataTable t = x.p->RaporAlinanSiparisler(x.representative(), dayCount(today.addDays(-365)), dayCount(today))->table();
             ASSERT_GT(t.rowCount(), 30);
             expectColumns(t, {{u"SATICIADI", DbxType::WideString}, {u"IDNO", DbxType::Double}, {u"CARINO", DbxType::Int32},
                               {u"TARIH", DbxType::Date}, {u"KARGOADI", DbxType::WideString}, {u"TUTAR", DbxType::Double}});
             // Only what was taken in the period: the last week is part of the year.
             const DataTable week = x.p->RaporAlinanSiparisler(x.representative(), dayCount(today.addDays(-7)), dayCount(today))->table();
             EXPECT_LT(week.rowCount(), t.rowCount());
             EXPECT_GE(week.rowCount(), 1); // the order sent above
         }},
        {"RaporEnCokSatilanStoklar",
         [](Context &x) {
             const QDate today = QDate::currentDate();
             const DataTable t = x.p->RaporEnCokSatilanStoklar(x.representative(), dayCount(today.addDays(-365)), dayCount(today))->table();
             ASSERT_GT(t.rowCount(), 10);
             expectColumns(t, {{u"BARKOD", DbxType::WideString}, {u"KOD", DbxType::WideString}, {u"ADI", DbxType::WideString},
                               {u"DEPARTMAN", DbxType::WideString}, {u"MIKTAR", DbxType::Double}, {u"NETTUTAR", DbxType::Double},
                               {u"TLVERGI", DbxType::Double}, {u"TUTAR", DbxType::Double}});
             for (int r = 1; r < t.rowCount(); ++r)
                 EXPECT_GE(t.real(r - 1, t.indexOf(u"MIKTAR")), t.real(r, t.indexOf(u"MIKTAR"))); // best sellers first
         }},
        {"MobilCariBilgisiGetir",
         [](Context &x) {
             const TMobilCariBilgisi *m = x.p->MobilCariBilgisiGetir(0, x.machine);
             ASSERT_NE(m, nullptr);
             EXPECT_EQ(m->CARIADI(), x.dealer.CariAdi());
             EXPECT_FALSE(m->ADRES1().isEmpty());
             EXPECT_FALSE(m->SEHIR().isEmpty());
             const TMobilCariBilgisi *stranger = x.p->MobilCariBilgisiGetir(0, QStringLiteral("unknown"));
             ASSERT_NE(stranger, nullptr); // always an object
             EXPECT_TRUE(stranger->CARIADI().isEmpty());
         }},
        {"MailGonserCariNormal",
         [](Context &x) {
             const int before = x.outbox(QStringLiteral("mail"));
             x.p->MailGonserCariNormal(x.machine, QStringLiteral("Konu"), QStringLiteral("FİRMA"), QString(), QString(), QString(), QString(),
                                       QString(), QString(), QString(), QString(), QString(), QStringLiteral("DEMO"), QString(), QString(),
                                       QString(), QStringLiteral("\"Merhaba, dünya\",Tesekkurler"));
             EXPECT_EQ(x.outbox(QStringLiteral("mail")), before + 1);
         }},
        {"MailGonserCari",
         [](Context &x) {
             const int before = x.outbox(QStringLiteral("şifre değiştirme"));
             x.p->MailGonserCari(x.machine, QStringLiteral("Şifre Değiştirme İsteği"), QStringLiteral("FİRMA"), QStringLiteral("ADRES"),
                                 QString(), QStringLiteral("İLÇE"), QStringLiteral("ŞEHİR"), QStringLiteral("0312"), QString(), QString(),
                                 QString(), QStringLiteral("YETKİLİ"), QStringLiteral("DEMO"), QStringLiteral("yeniSifre"),
                                 QStringLiteral("a@b.example"), QString());
             EXPECT_EQ(x.outbox(QStringLiteral("şifre değiştirme")), before + 1);
         }},
        {"SepetSatirSil",
         [](Context &x) {
             const DataTable t = x.p->SepetVer2(kDealerAccount);
             ASSERT_EQ(t.rowCount(), 1);
             x.p->SepetSatirSil(x.me(), t.value(0, u"SIRANO").toInt(), QString());
             EXPECT_EQ(x.p->SepetVer2(kDealerAccount).rowCount(), 0);
         }},
        {"SepetHepsiniSil",
         [](Context &x) {
             x.p->SepetEkle2(x.me(), kDealerAccount, 10008, QString(), QString(), 1, 20, 10, 0, x.dealer.Sirano(), 0, 0, 0, 0);
             x.p->SepetHepsiniSil(x.me());
             EXPECT_EQ(x.p->SepetVer2(kDealerAccount).rowCount(), 0);
         }},
    };
    return table;
}

} // namespace

TEST(ServerMethods, TheTableNamesEveryMethodTheClientCallsOnce)
{
    std::set<std::string> named;
    for (const auto &[name, check] : cases())
        EXPECT_TRUE(named.insert(name).second) << name;
    EXPECT_EQ(named, kClientMethods);
    EXPECT_EQ(kClientMethods.size(), 48u);
}

TEST(ServerMethods, EveryMethodAnswersWithWhatItsCallerReads)
{
    QTemporaryDir dir;
    const QString db = dir.filePath(QStringLiteral("demo.db"));
    ServerProcess server({QStringLiteral("--db"), db, QStringLiteral("--demo"), QStringLiteral("--demo-stocks"), QStringLiteral("3000")});
    ASSERT_NE(server.port(), 0);
    TcpConnection connection(QStringLiteral("127.0.0.1"), server.port());
    connection.open();
    TServerMethods1Client proxy(&connection);
    Context x;
    x.p = &proxy;
    x.machine = BilgisayarIdAl();
    x.dbPath = db;
    for (const auto &[name, check] : cases()) {
        SCOPED_TRACE(name);
        try {
            check(x);
        } catch (const RemoteError &e) {
            ADD_FAILURE() << name << ": " << e.what();
        }
    }
}
