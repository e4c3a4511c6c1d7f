// The demo distributor's last year: orders with their deliveries, the invoices of what was delivered,
// collections (some by card through the virtual POS), and what the main window publishes.

#include "artwork.h"
#include "demo.h"
#include "demo_random.h"
#include "ledger.h"
#include "server_methods.h"

#include <QDateTime>
#include <QSqlQuery>

#include <algorithm>
#include <vector>

namespace tarvik::server {

namespace {

QString iso(const QDateTime &t)
{
    return t.toString(Qt::ISODate);
}

struct Account
{
    int no = 0, representative = 0, term = 30, user = 0;
    double rates[2] = {};
};

std::vector<Account> accounts(Database &db)
{
    std::vector<Account> out;
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT c.no, coalesce(c.temsilci, 0), c.vade_gun, c.isk1, c.isk2,"
        "       coalesce((SELECT sirano FROM kullanici WHERE cari = c.no ORDER BY sirano LIMIT 1),"
        "                (SELECT sirano FROM kullanici WHERE temsilci = c.temsilci AND tip IN (1, 2) ORDER BY sirano LIMIT 1), 0)"
        "  FROM cari c ORDER BY c.no"));
    while (q.next())
        out.push_back({q.value(0).toInt(), q.value(1).toInt(), q.value(2).toInt(), q.value(5).toInt(),
                       {q.value(3).toDouble(), q.value(4).toDouble()}});
    return out;
}

QVariant orNull(int v)
{
    return v ? QVariant(v) : QVariant();
}

qlonglong insert(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q = db.exec(sql, values);
    return q.lastInsertId().toLongLong();
}

struct Line
{
    qlonglong sirano;
    int stok;
    double miktar, delivered, price, kdv, rates[2];
};

// One order of `a` taken at `when`, its state following its age; the delivered part is invoiced.
void seedOrder(Database &db, Random &r, const Account &a, const QDateTime &when, const QDate &today, int stocks, int &invoiceNo)
{
    const qint64 age = when.date().daysTo(today);
    const int tur = 1 + r.below(3);
    const int firma = tur == 1 ? 1 + r.below(2) : tur == 2 ? 3 : 4;
    const bool partial = r.below(4) == 0;
    int state;
    if (age > 30)
        state = 5;                                 // Sevk Edildi
    else if (age > 7)
        state = partial ? 4 : 3;                   // Parçalı Hazırlandı / Hazırlandı
    else
        state = std::min<int>(2, static_cast<int>(age) / 3); // Alındı, Görüldü, Onaylandı
    static const char16_t *notes[] = {u"", u"", u"Acil lütfen.", u"Cuma gününe kadar gönderiniz.", u"Eksik parça olursa haber veriniz."};
    const qlonglong idno = insert(db, QStringLiteral("INSERT INTO siparis (cari, tarih, teslim, kargo_turu, kargo_firma, veren, verenin_notu,"
                                                     " alanin_notu, durum) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                                  {a.no, iso(when), 1 + r.below(3), tur, firma, orNull(a.user), QString::fromUtf16(notes[r.below(5)]),
                                   state >= 2 ? QStringLiteral("Siparişiniz onaylanmıştır.") : QStringLiteral(""), state});
    std::vector<Line> lines;
    const int count = 2 + r.below(5);
    for (int i = 0; i < count; ++i) {
        const int stok = 10001 + r.below(stocks);
        QSqlQuery s = db.exec(QStringLiteral("SELECT liste_fiyat, kamp_fiyat, kdv FROM stok WHERE no = ?"), {stok});
        if (!s.next())
            continue;
        const bool campaign = s.value(1).toDouble() > 0 && r.below(2) == 0;
        Line l{0, stok, double(1 + r.below(10)), 0, campaign ? s.value(1).toDouble() : s.value(0).toDouble(), s.value(2).toDouble(),
               {campaign ? 0 : a.rates[0], campaign ? 0 : a.rates[1]}};
        s.finish();
        if (state == 5)
            l.delivered = partial && r.below(2) ? std::floor(l.miktar / 2) : l.miktar;
        else if (state == 4)
            l.delivered = r.below(2) ? std::floor(l.miktar / 2) : 0;
        l.sirano = insert(db, QStringLiteral("INSERT INTO siparis_satir (siparis, stok, miktar, teslim_edilen, birim_fiyat, kdv, isk1, isk2,"
                                             " kampanya, veren, tarih) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                          {idno, stok, l.miktar, l.delivered, l.price, l.kdv, l.rates[0], l.rates[1], campaign ? 1 : 0,
                           orNull(a.user), iso(when)});
        lines.push_back(l);
    }
    // What was delivered is invoiced a day or three later.
    if (std::none_of(lines.begin(), lines.end(), [](const Line &l) { return l.delivered > 0; }))
        return;
    QDateTime invoiced = when.addDays(1 + r.below(3));
    if (invoiced.date() > today)
        invoiced = QDateTime(today, QTime(17, 30));
    invoiced.setTime(QTime(9 + r.below(8), r.below(60)));
    const QString evrak = QStringLiteral("TVF%1%2").arg(invoiced.date().year()).arg(++invoiceNo, 6, 10, QLatin1Char('0'));
    const qlonglong fatura = insert(db, QStringLiteral("INSERT INTO hareket (cari, tarih, tur, evrak, aciklama, vade_gun, temsilci, siparis)"
                                                       " VALUES (?, ?, 'Satış Faturası', ?, ?, ?, ?, ?)"),
                                    {a.no, iso(invoiced), evrak, QStringLiteral("SP%1 nolu siparişin faturası").arg(idno, 6, 10, QLatin1Char('0')),
                                     a.term, orNull(a.representative), idno});
    for (const Line &l : lines)
        if (l.delivered > 0)
            db.exec(QStringLiteral("INSERT INTO fatura_satir (fatura, stok, siparis_satir, miktar, birim_fiyat, kdv, isk1, isk2, irsaliye)"
                                   " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                    {fatura, l.stok, l.sirano, l.delivered, l.price, l.kdv, l.rates[0], l.rates[1],
                     QStringLiteral("IRS%1").arg(invoiceNo, 6, 10, QLatin1Char('0'))});
    db.exec(QStringLiteral("UPDATE hareket SET borc = ? WHERE idno = ?"), {invoiceTotals(db, fatura).kdvDahil, fatura});
}

void seedCollection(Database &db, Random &r, const Account &a, const QDateTime &when, double amount, int &receiptNo, int &posNo)
{
    static const char16_t *kinds[] = {u"Nakit", u"Kredi Kartı", u"Çek", u"Havale"};
    const int kind = r.below(4);
    const QString turu = QString::fromUtf16(kinds[kind]);
    const QString evrak = QStringLiteral("TM%1%2").arg(when.date().year()).arg(++receiptNo, 6, 10, QLatin1Char('0'));
    const qlonglong hareket = insert(db, QStringLiteral("INSERT INTO hareket (cari, tarih, tur, evrak, alacak, aciklama, temsilci)"
                                                        " VALUES (?, ?, 'Tahsilat', ?, ?, ?, ?)"),
                                     {a.no, iso(when), evrak, amount, QString(turu + QStringLiteral(" tahsilatı")), orNull(a.representative)});
    const QDate due = kind == 2 ? when.date().addDays(30 + 15 * r.below(4)) : when.date();
    db.exec(QStringLiteral("INSERT INTO tahsilat_satir (hareket, turu, cins, evrak, vade, tutar, aciklama, ref, saat)"
                           " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
            {hareket, turu, kind == 2 ? QStringLiteral("Müşteri Çeki") : QStringLiteral("TL"), evrak, due.toString(Qt::ISODate), amount,
             kind == 1 ? QStringLiteral("Sanal POS ile ödeme") : QStringLiteral("Cari hesaba mahsuben"),
             kind == 3 ? QStringLiteral("EFT%1").arg(r.digits(8)) : QStringLiteral(""), when.time().toString(QStringLiteral("HH:mm"))});
    if (kind == 1) {
        static const char16_t *holders[] = {u"AHMET YILMAZ", u"FATMA ŞAHİN", u"MUSTAFA ÇELİK", u"ZEYNEP KOÇ", u"HÜSEYİN ARSLAN"};
        db.exec(QStringLiteral("INSERT INTO sanalpos (sirano, hareket, zaman, kart_sahibi, kart_no, taksit, onay_kodu, tutar)"
                               " VALUES (?, ?, ?, ?, ?, ?, ?, ?)"),
                {++posNo, hareket, iso(when), QString::fromUtf16(holders[r.below(5)]),
                 QStringLiteral("**** **** **** %1").arg(r.digits(4)), r.below(3) == 0 ? 3 : 1, r.digits(6), amount});
    }
}

void seedPublishing(Database &db)
{
    db.exec(QStringLiteral("INSERT INTO yayin (anahtar, metin) VALUES ('kayan_yazi', ?)"),
            {QStringLiteral("<b>TARVİK</b> — Aralık kampanyası başladı: seçili fren ve filtre ürünlerinde "
                            "<font color=\"#c00000\"><b>%15 indirim</b></font>. &nbsp;&nbsp;•&nbsp;&nbsp; "
                            "Saat 15:00'e kadar verilen siparişler aynı gün kargoda. &nbsp;&nbsp;•&nbsp;&nbsp; "
                            "Yeni stoklar için &quot;Yeni Stoklar&quot; sekmesine bakınız.")});
    db.exec(QStringLiteral("INSERT INTO yayin (anahtar, resim) VALUES ('banner1', ?), ('banner2', ?), ('banner3', ?)"),
            {bannerGif(1, QStringLiteral("Aralık kampanyası")), bannerGif(2, QStringLiteral("Aynı gün kargo · Yeni stoklar her hafta")),
             bannerBmp(QStringLiteral("TARVİK — Güvenilir yedek parça"))});
    // Three adverts that lead somewhere, then five announcements.
    const struct
    {
        bool advert;
        const char16_t *title, *action;
    } screens[] = {
        {true, u"Aralık Kampanyası", u"#KAMPANYA#"},
        {true, u"Bu Haftanın Yeni Ürünleri", u"#YENİ#"},
        {true, u"Fren Balatalarında Fırsat", u"FREN BALATASI"},
        {false, u"Yılbaşı Çalışma Saatleri", u""},
        {false, u"Yeni Depomuz Açıldı", u""},
        {false, u"Kargo Anlaşması Yenilendi", u""},
        {false, u"Bayi Toplantısı 20 Ocak'ta", u""},
        {false, u"Fiyat Listesi Güncellendi", u""},
    };
    int sira = 0, advert = 0, announcement = 0;
    for (const auto &s : screens) {
        const QString title = QString::fromUtf16(s.title);
        db.exec(QStringLiteral("INSERT INTO ekran (sira, tur, baslik, arama, resim) VALUES (?, ?, ?, ?, ?)"),
                {++sira, s.advert ? QStringLiteral("reklam") : QStringLiteral("duyuru"), title, QString::fromUtf16(s.action),
                 s.advert ? advertJpeg(advert++, title) : announcementJpeg(announcement++, title)});
    }
}

} // namespace

void seedDemoHistory(Database &db, int stocks, quint64 seed, const QDate &today)
{
    Random r(seed ^ 0x5EED0F0A11ULL);
    const QDate start = today.addDays(-365);
    int invoiceNo = 0, receiptNo = 0, posNo = 1000;
    for (const Account &a : accounts(db)) {
        // What the account brought from the year before.
        const double carried = 1000.0 * r.below(25);
        if (carried > 0)
            db.exec(QStringLiteral("INSERT INTO hareket (cari, tarih, tur, evrak, borc, aciklama, vade_gun, temsilci)"
                                   " VALUES (?, ?, 'Devir', 'DEVİR', ?, 'Önceki yıldan devir', 0, ?)"),
                    {a.no, iso(QDateTime(start, QTime(8, 0))), carried, orNull(a.representative)});
        std::vector<QDateTime> orders;
        const int count = 5 + r.below(8);
        for (int i = 0; i < count; ++i)
            orders.push_back(QDateTime(start.addDays(1 + r.below(365)), QTime(8 + r.below(10), r.below(60))));
        std::sort(orders.begin(), orders.end());
        for (const QDateTime &when : orders)
            seedOrder(db, r, a, when, today, stocks, invoiceNo);
        // Collections about once a month; the account pays most of what it owes then, rarely all of it.
        for (QDate d = start.addDays(20 + r.below(15)); d <= today; d = d.addDays(25 + r.below(15))) {
            const double owed = accountBalance(db, a.no, d);
            if (owed < 100 || r.below(5) == 0)
                continue;
            const double share = (55 + r.below(46)) / 100.0;
            seedCollection(db, r, a, QDateTime(d, QTime(10 + r.below(7), r.below(60))), std::round(owed * share), receiptNo, posNo);
        }
        // Now and then the distributor pays an account back (a returned overpayment).
        if (r.below(6) == 0) {
            const QDateTime when(today.addDays(-r.below(200)), QTime(14, 0));
            const qlonglong h = insert(db, QStringLiteral("INSERT INTO hareket (cari, tarih, tur, evrak, borc, aciklama, temsilci)"
                                                          " VALUES (?, ?, 'Tediye', ?, ?, 'Fazla ödeme iadesi', ?)"),
                                       {a.no, iso(when), QStringLiteral("TD%1").arg(a.no), 250.0, orNull(a.representative)});
            db.exec(QStringLiteral("INSERT INTO tahsilat_satir (hareket, turu, cins, evrak, vade, tutar, aciklama, saat)"
                                   " VALUES (?, 'Havale', 'TL', ?, ?, 250, 'Fazla ödeme iadesi', '14:00')"),
                    {h, QStringLiteral("TD%1").arg(a.no), when.date().toString(Qt::ISODate)});
        }
    }
    seedPublishing(db);
}

} // namespace tarvik::server
