#include "demo.h"

#include "demo_random.h"
#include "search_text.h"

#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>

#include <array>
#include <cmath>

namespace tarvik::server {

namespace {

using Names = std::array<const char16_t *, 12>;

// Invented brands: none of them is a real maker.
constexpr std::array<const char16_t *, 10> kBrands = {u"KARTALPAR", u"DEMİRFREN", u"ASLANFİLTRE", u"MAVİYOL", u"TUNAPAR",
                                                      u"EFESTEK", u"KUZEYOTO", u"YILDIZPAR", u"BOZKURT", u"SELÇUKSAN"};
constexpr std::array<const char16_t *, 10> kModels = {u"K-1400 BENZİNLİ", u"K-1600 DİZEL", u"TX 2.0", u"VANA 1.3",
                                                      u"ARAS 1.5 DCİ", u"PERGE 1.6", u"TOROS 2.2 TDİ", u"MERT 1.2",
                                                      u"ZEFİR 1.4 T", u"ÇINAR 1.9"};
struct Part
{
    const char16_t *name;
    const char16_t *group;
    int minPrice;
    int maxPrice;
};
constexpr std::array<Part, 24> kParts = {{
    {u"FREN BALATASI", u"FREN SİSTEMİ", 300, 1800}, {u"FREN DİSKİ", u"FREN SİSTEMİ", 600, 3500},
    {u"YAĞ FİLTRESİ", u"FİLTRE", 80, 450}, {u"HAVA FİLTRESİ", u"FİLTRE", 120, 650},
    {u"POLEN FİLTRESİ", u"FİLTRE", 90, 500}, {u"YAKIT FİLTRESİ", u"FİLTRE", 150, 900},
    {u"BUJİ", u"ATEŞLEME", 60, 400}, {u"TRİGER SETİ", u"MOTOR", 1500, 7000},
    {u"DEBRİYAJ SETİ", u"ŞANZIMAN", 2500, 12000}, {u"AMORTİSÖR", u"SÜSPANSİYON", 900, 4500},
    {u"ROTİL", u"SÜSPANSİYON", 250, 1200}, {u"ROT BAŞI", u"DİREKSİYON", 200, 1100},
    {u"SU POMPASI", u"SOĞUTMA", 700, 3200}, {u"TERMOSTAT", u"SOĞUTMA", 200, 900},
    {u"RADYATÖR", u"SOĞUTMA", 1800, 8000}, {u"FAR AMPULÜ H7", u"ELEKTRİK", 50, 350},
    {u"SİLECEK SÜPÜRGESİ", u"AKSESUAR", 100, 600}, {u"ŞARJ DİNAMOSU", u"ELEKTRİK", 3000, 14000},
    {u"MARŞ MOTORU", u"ELEKTRİK", 2500, 11000}, {u"EGZOZ SUSTURUCU", u"EGZOZ", 900, 5000},
    {u"V KAYIŞI", u"MOTOR", 120, 700}, {u"AKS KÖRÜĞÜ", u"AKTARMA", 150, 800},
    {u"TEKER RULMANI", u"AKTARMA", 400, 2400}, {u"SALINCAK", u"SÜSPANSİYON", 800, 4200},
}};
constexpr std::array<const char16_t *, 6> kSides = {u"ÖN", u"ARKA", u"ÖN SOL", u"ÖN SAĞ", u"ARKA SOL", u"ARKA SAĞ"};
constexpr std::array<const char16_t *, 12> kCities = {u"İSTANBUL", u"ANKARA", u"İZMİR", u"BURSA", u"KONYA", u"ADANA",
                                                      u"GAZİANTEP", u"KAYSERİ", u"ESKİŞEHİR", u"SAMSUN", u"TRABZON", u"DİYARBAKIR"};
constexpr std::array<const char16_t *, 12> kFirms = {u"ÖZKAN OTO YEDEK PARÇA", u"GÜNEŞ OTOMOTİV", u"ÇELİK OTO", u"YILMAZ MOTOR",
                                                     u"ŞAHİN OTO SANAYİ", u"DOĞAN YEDEK PARÇA", u"AKSOY OTOMOTİV", u"KARA OTO",
                                                     u"ERTÜRK OTO MARKET", u"POLAT YEDEK PARÇA", u"AYDIN OTO", u"KOÇAK OTOMOTİV"};

QString s(const char16_t *t)
{
    return QString::fromUtf16(t);
}

double cents(double v)
{
    return std::round(v * 100.0) / 100.0;
}

// An EAN-13 with a valid check digit.
QString ean13(Random &r)
{
    QString d = QStringLiteral("869") + r.digits(9);
    int sum = 0;
    for (int i = 0; i < 12; ++i)
        sum += (d[i].unicode() - u'0') * (i % 2 ? 3 : 1);
    return d + QChar(u'0' + (10 - sum % 10) % 10);
}

void insertReference(Database &db)
{
    const struct
    {
        int no;
        const char16_t *name, *phone, *mail;
    } reps[] = {{1, u"MEHMET KAYA", u"0532 111 22 33", u"mehmet.kaya@tarvik.example"},
                {2, u"AYŞE DEMİR", u"0533 222 33 44", u"ayse.demir@tarvik.example"},
                {3, u"CAN ÖZTÜRK", u"0535 333 44 55", u"can.ozturk@tarvik.example"}};
    for (const auto &r : reps)
        db.exec(QStringLiteral("INSERT INTO temsilci (no, adi, telefon, mail) VALUES (?, ?, ?, ?)"),
                {r.no, s(r.name), s(r.phone), s(r.mail)});
}

void insertAccounts(Database &db, Random &r)
{
    for (int i = 0; i < 30; ++i) {
        const int no = 100 + i;
        const QString city = s(r.pick(kCities));
        const QString name = s(kFirms[static_cast<std::size_t>(i % 12)]) + (i >= 12 ? QStringLiteral(" %1").arg(city) : QString())
                             + QStringLiteral(" LTD. ŞTİ.");
        const double isk1 = 5.0 * r.below(5);
        const double isk2 = isk1 > 0 ? 2.5 * r.below(3) : 0;
        db.exec(QStringLiteral("INSERT INTO cari (no, kod, adi, temsilci, yetkili, adres1, ilce, sehir, tel1, gsm, email,"
                               " vergi_dairesi, vergi_no, ana_grup, vade_gun, isk1, isk2)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {no, QStringLiteral("120.01.%1").arg(no, 3, 10, QLatin1Char('0')), name, 1 + i % 3,
                 QStringLiteral("YETKİLİ %1").arg(i + 1), QStringLiteral("SANAYİ SİTESİ %1. BLOK NO:%2").arg(1 + r.below(20)).arg(1 + r.below(90)),
                 QStringLiteral("MERKEZ"), city, QStringLiteral("0 (2%1) %2").arg(r.digits(2), r.digits(7)),
                 QStringLiteral("05%1").arg(r.digits(9)), QStringLiteral("cari%1@bayi.example").arg(no), city,
                 r.digits(10), QStringLiteral("BAYİ"), 30 + 15 * r.below(4), isk1, isk2});
    }
}

void insertUsers(Database &db)
{
    int sirano = 1;
    for (const DemoUser &u : demoUsers()) {
        const bool rep = u.type == 1 || u.type == 2;
        db.exec(QStringLiteral("INSERT INTO kullanici (sirano, adi, sifre, aktif, tip, cari, temsilci, mail) VALUES (?, ?, ?, 1, ?, ?, ?, ?)"),
                {sirano, QString::fromLatin1(u.name), QString::fromLatin1(u.password), u.type,
                 rep ? QVariant() : QVariant(100 + sirano - 1), rep ? QVariant(sirano == 2 ? 1 : 2) : QVariant(1),
                 QStringLiteral("%1@bayi.example").arg(QString::fromLatin1(u.name).toLower())});
        ++sirano;
    }
}

void insertStocks(Database &db, Random &r, int count)
{
    QSqlQuery q(db.connection());
    q.prepare(QStringLiteral(
        "INSERT INTO stok (no, kod, adi, diger_adi, marka, model, ana_grup, alt_grup, ozel_kod, finish_kod, uretici_kodu,"
        " oem1, oem2, oem3, oem4, oem_no, barkod, barkod_no, birim, kdv, liste_fiyat, kamp_fiyat, durum, kalan,"
        " alinan_siparis, verilen_siparis, resim, yeni, pkod, dpkod)"
        " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < count; ++i) {
        const int no = 10001 + i;
        const Part &p = r.pick(kParts);
        const QString brand = s(r.pick(kBrands));
        const bool sided = QStringView(s(p.name)).startsWith(u"FREN") || QStringView(s(p.name)).startsWith(u"AMORT")
                           || QStringView(s(p.name)).startsWith(u"SALIN") || QStringView(s(p.name)).startsWith(u"ROT");
        const QString name = s(p.name) + (sided ? QStringLiteral(" ") + s(r.pick(kSides)) : QString());
        const QString makerCode = QStringLiteral("%1 %2 %3").arg(r.digits(1), r.digits(3), r.digits(3));
        const double list = cents(p.minPrice + r.below(p.maxPrice - p.minPrice) + r.below(100) / 100.0);
        const bool campaign = r.below(12) == 0;
        const int roll = r.below(100);
        const int durum = roll < 70 ? 1 : roll < 78 ? 0 : roll < 84 ? 3 : roll < 90 ? 2 : roll < 95 ? 4 : 5;
        const QVariantList values = {
            no, QStringLiteral("%1-%2").arg(brand.left(3), r.digits(6)), name,
            QStringLiteral("%1 %2").arg(s(p.name), s(r.pick(kModels))), brand, s(r.pick(kModels)), s(p.group),
            QString(), r.below(4) == 0 ? QStringLiteral("ÖZEL") : QString(), QStringLiteral("F%1").arg(r.digits(4)), makerCode,
            QStringLiteral("%1 %2 %3").arg(r.digits(3), r.digits(3), r.digits(3)),
            r.below(2) ? QStringLiteral("%1.%2.%3").arg(r.digits(2), r.digits(3), r.digits(2)) : QString(),
            r.below(3) == 0 ? QStringLiteral("A %1 %2").arg(r.digits(3), r.digits(3)) : QString(), QString(),
            QStringLiteral("%1%2").arg(r.digits(5), QChar(u'A' + r.below(26))), ean13(r), no, QStringLiteral("ADET"), 20.0,
            list, campaign ? cents(list * 0.85) : 0.0, durum, durum == 1 ? double(1 + r.below(250)) : 0.0,
            double(r.below(20)), double(r.below(40)), r.below(4) ? 1 : 0, r.below(40) == 0 ? 1 : 0,
            QStringLiteral("P%1").arg(r.digits(3)), QStringLiteral("DP%1").arg(r.digits(3))};
        for (int v = 0; v < values.size(); ++v) {
            // An empty text is stored as '' (a null QString would bind NULL).
            const bool emptyText = values[v].typeId() == QMetaType::QString && values[v].toString().isNull();
            q.bindValue(v, emptyText ? QVariant(QStringLiteral("")) : values[v]);
        }
        if (!q.exec())
            throw DatabaseError(QStringLiteral("seeding stock %1 failed: %2").arg(no).arg(q.lastError().text()));
        indexStock(db, no);
    }
}

} // namespace

const std::vector<DemoUser> &demoUsers()
{
    static const std::vector<DemoUser> users = {
        {"dealer", "DEMO", "1234", 0}, {"rep1", "REP1", "1234", 1}, {"rep2", "REP2", "1234", 2},
        {"type3", "TYPE3", "1234", 3}, {"type4", "TYPE4", "1234", 4},
    };
    return users;
}

void indexStock(Database &db, int stockNo)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT kod, barkod, oem1, oem2, oem3, oem4, oem_no, uretici_kodu, finish_kod,"
                                         " adi, diger_adi, marka, model FROM stok WHERE no = ?"),
                          {stockNo});
    if (!q.next())
        return;
    QStringList codes, names;
    for (int c = 0; c < 9; ++c)
        if (const QString k = codeKey(q.value(c).toString()); !k.isEmpty())
            codes << k;
    for (int c = 9; c < 13; ++c)
        names << nameKey(q.value(c).toString());
    q.finish();
    db.exec(QStringLiteral("DELETE FROM stok_ara WHERE rowid = ?"), {stockNo});
    db.exec(QStringLiteral("INSERT INTO stok_ara (rowid, kodlar, adlar) VALUES (?, ?, ?)"),
            {stockNo, codes.join(u' '), names.join(u' ')});
}

void seedDemo(Database &db, int stocks, quint64 seed)
{
    {
        QSqlQuery q = db.exec(QStringLiteral("SELECT count(*) FROM stok"));
        if (q.next() && q.value(0).toInt() > 0)
            return;
    }
    Random r(seed);
    db.transaction([&](QSqlDatabase &) {
        insertReference(db);
        insertAccounts(db, r);
        insertUsers(db);
        insertStocks(db, r, stocks);
        seedDemoHistory(db, stocks, seed, QDate::currentDate());
    });
}

bool registerDemoMachine(Database &db, const QString &role, const QString &machineId)
{
    int sirano = 1;
    for (const DemoUser &u : demoUsers()) {
        if (role == QLatin1String(u.role)) {
            db.transaction([&](QSqlDatabase &) {
                db.exec(QStringLiteral("INSERT INTO makine (kimlik, kullanici) VALUES (?, ?)"
                                       " ON CONFLICT(kimlik) DO UPDATE SET kullanici = excluded.kullanici"),
                        {machineId, sirano});
            });
            return true;
        }
        ++sirano;
    }
    return false;
}

} // namespace tarvik::server
