// The basket on the server: SepetVer2, SepetEkle2, SepetGuncelle2, SepetSatirSil, SepetHepsiniSil,
// SepetSecimGuncelle.

#include "database.h"
#include "errors.h"
#include "money.h"
#include "server_methods.h"
#include "transfer_objects.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>

#include <cmath>

namespace tarvik::server {

namespace {

[[noreturn]] void refuse(const QString &message)
{
    throw RemoteError(QStringLiteral("EBasketError"), message);
}


int accountOf(const ServerCall &c, std::string_view param)
{
    const TSonucBilgisi *b = c.objectAs<TSonucBilgisi>(param);
    if (!b)
        refuse(QStringLiteral("Kimlik bilgisi gönderilmedi"));
    return b->CARINO();
}

// The values a basket line is made of, checked before anything is written.
struct LineInput
{
    double miktar, kdv, fiyat, rates[4];
};

LineInput readLine(const ServerCall &c)
{
    LineInput in{c.number("miktar"), c.number("kdv"), c.number("fiyat"), {c.number("ind1"), c.number("ind2"), c.number("ind3"), c.number("ind4")}};
    if (!(in.miktar >= 1 && in.miktar <= 10000) || in.miktar != std::floor(in.miktar))
        refuse(QStringLiteral("Miktar 1 ile 10000 arasında tam sayı olmalıdır: %1").arg(in.miktar));
    if (!(in.fiyat >= 0 && in.fiyat <= 1e9))
        refuse(QStringLiteral("Geçersiz fiyat: %1").arg(in.fiyat));
    if (!(in.kdv >= 0 && in.kdv <= 100))
        refuse(QStringLiteral("Geçersiz KDV oranı: %1").arg(in.kdv));
    for (double r : in.rates)
        if (!(r >= 0 && r <= 100))
            refuse(QStringLiteral("Geçersiz indirim oranı: %1").arg(r));
    return in;
}

QVariant userOrNull(Database &db, int sirano)
{
    if (sirano == 0)
        return {};
    QSqlQuery q = db.exec(QStringLiteral("SELECT 1 FROM kullanici WHERE sirano = ?"), {sirano});
    if (!q.next())
        refuse(QStringLiteral("Kullanıcı bulunamadı: %1").arg(sirano));
    return sirano;
}

// The basket's columns, in the order the basket grid lists them.
constexpr ColumnSpec kBasketColumns[] = {
    {"SEC", DbxType::Int32}, {"VERILISTARIHI", DbxType::DateTime}, {"SIRANO", DbxType::Int32}, {"SIPARISNO", DbxType::Int32},
    {"CARINO", DbxType::Int32}, {"TARIH", DbxType::Date}, {"AKTAR", DbxType::Int32}, {"STOKNO", DbxType::Int32},
    {"BARKOD", DbxType::WideString}, {"FINISHKOD", DbxType::WideString}, {"OEMNO", DbxType::WideString},
    {"STOKADI", DbxType::WideString}, {"MIKTAR", DbxType::Double}, {"BIRIMFIYAT", DbxType::Double}, {"TUTAR", DbxType::Double},
    {"INDIRIMYAZI", DbxType::WideString}, {"INDIRIMORANI1", DbxType::Double}, {"INDIRIMORANI2", DbxType::Double},
    {"INDIRIMORANI3", DbxType::Double}, {"INDIRIMORANI4", DbxType::Double}, {"INDIRIMTUTAR", DbxType::Double},
    {"NETBIRIMFIYAT", DbxType::Double}, {"KDV", DbxType::Double}, {"VERGITUTARI", DbxType::Double}, {"NETTUTAR", DbxType::Double},
    {"KUR", DbxType::WideString}, {"KURTL", DbxType::Double}, {"VERENIDNO", DbxType::Int32}, {"SAAT", DbxType::WideString},
    {"TESLIMID", DbxType::Int32}, {"KARGOID", DbxType::Int32}, {"ACIKLAMA", DbxType::WideString}, {"IDNO", DbxType::Int32},
    {"VERENSIRANO", DbxType::Int32}, {"VEREN", DbxType::WideString}, {"CARIKOD", DbxType::WideString},
    {"CARIADI", DbxType::WideString}, {"OEM1", DbxType::WideString}, {"OEM2", DbxType::WideString}, {"OEM3", DbxType::WideString},
    {"OEM4", DbxType::WideString}, {"STOK_STOKNO", DbxType::Int32}, {"URETICIKODU", DbxType::WideString},
    {"DIGERADI", DbxType::WideString}, {"DPKOD", DbxType::WideString}, {"MARKA", DbxType::WideString},
    {"MODEL", DbxType::WideString}, {"ANAGRUP", DbxType::WideString}, {"OZELKOD", DbxType::WideString},
    {"PKOD", DbxType::WideString}, {"DURUM", DbxType::Int32}, {"KALAN", DbxType::Double},
};

} // namespace

LineAmounts lineAmounts(double quantity, double price, double vat, const double rates[4])
{
    LineAmounts a;
    a.gross = price * quantity;
    double w = a.gross;
    for (int i = 0; i < 4; ++i)
        if (rates[i] > 0)
            w -= w * rates[i] / 100.0;
    a.discount = a.gross - w;
    a.net = IkiHaneYuvarla(w);
    a.netUnit = quantity != 0 ? IkiHaneYuvarla(a.net / quantity) : 0;
    const double vatUnit = IkiHaneYuvarla(a.netUnit * (vat / 100.0 + 1));
    a.total = IkiHaneYuvarla(vatUnit * quantity);
    a.vat = a.total - a.net;
    return a;
}

void addBasket(Dispatcher &d, const std::shared_ptr<Database> &db)
{
    d.add(MethodId::SepetVer2, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        requireAccount(*db, carino);
        DataTable t = tableOf(kBasketColumns);
        QSqlQuery q = db->exec(QStringLiteral(
            "SELECT b.sec, b.tarih, b.sirano, b.cari, b.stok, s.barkod, s.finish_kod, s.oem_no, s.adi, b.miktar, b.birim_fiyat,"
            "       b.isk1, b.isk2, b.isk3, b.isk4, b.kdv, coalesce(b.veren, 0), coalesce(k.adi, ''), c.kod, c.adi,"
            "       s.oem1, s.oem2, s.oem3, s.oem4, s.uretici_kodu, s.diger_adi, s.dpkod, s.marka, s.model, s.ana_grup,"
            "       s.ozel_kod, s.pkod, s.durum, s.kalan, b.kampanya"
            "  FROM sepet b JOIN stok s ON s.no = b.stok JOIN cari c ON c.no = b.cari LEFT JOIN kullanici k ON k.sirano = b.veren"
            " WHERE b.cari = ? ORDER BY b.sirano"),
            {carino});
        while (q.next()) {
            const QDateTime when = QDateTime::fromString(q.value(1).toString(), Qt::ISODate);
            const double rates[4] = {q.value(11).toDouble(), q.value(12).toDouble(), q.value(13).toDouble(), q.value(14).toDouble()};
            const double miktar = q.value(9).toDouble(), fiyat = q.value(10).toDouble(), kdv = q.value(15).toDouble();
            const LineAmounts a = lineAmounts(miktar, fiyat, kdv, rates);
            const int sirano = q.value(2).toInt();
            t.appendRow({q.value(0), when, sirano, 0, q.value(3), when.date(), 0, q.value(4), q.value(5), q.value(6), q.value(7),
                         q.value(8), miktar, fiyat, a.gross,
                         discountText(rates, q.value(34).toInt() > 0, QStringLiteral("Kampanyalı")),
                         rates[0], rates[1], rates[2], rates[3], a.discount, a.netUnit, kdv, a.vat, a.net, QStringLiteral("TL"), 1.0,
                         q.value(16), when.time().toString(QStringLiteral("HH:mm")), 0, 0, QStringLiteral(""), sirano, q.value(16),
                         q.value(17), q.value(18), q.value(19), q.value(20), q.value(21), q.value(22), q.value(23), q.value(4),
                         q.value(24), q.value(25), q.value(26), q.value(27), q.value(28), q.value(29), q.value(30), q.value(31),
                         q.value(32), q.value(33)});
        }
        c.setResult(std::move(t));
    });

    d.add(MethodId::SepetEkle2, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        const int stokno = c.integer("stokno");
        const LineInput in = readLine(c);
        db->transaction([&](QSqlDatabase &) {
            requireAccount(*db, carino);
            const QVariant veren = userOrNull(*db, c.integer("verenid"));
            {
                QSqlQuery s = db->exec(QStringLiteral("SELECT 1 FROM stok WHERE no = ?"), {stokno});
                if (!s.next())
                    refuse(QStringLiteral("Stok bulunamadı: %1").arg(stokno));
            }
            // The same stock again adds to its line rather than making a second one.
            QSqlQuery existing = db->exec(QStringLiteral("SELECT sirano, miktar FROM sepet WHERE cari = ? AND stok = ?"), {carino, stokno});
            if (existing.next()) {
                const int sirano = existing.value(0).toInt();
                const double total = existing.value(1).toDouble() + in.miktar;
                existing.finish();
                if (total > 10000)
                    refuse(QStringLiteral("Sepetteki miktar 10000'i aşamaz"));
                db->exec(QStringLiteral("UPDATE sepet SET miktar = ? WHERE sirano = ?"), {total, sirano});
                return;
            }
            existing.finish();
            db->exec(QStringLiteral("INSERT INTO sepet (cari, stok, miktar, birim_fiyat, kdv, isk1, isk2, isk3, isk4, kampanya, veren)"
                                    " VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                     {carino, stokno, in.miktar, in.fiyat, in.kdv, in.rates[0], in.rates[1], in.rates[2], in.rates[3],
                      c.integer("k") > 0 ? 1 : 0, veren});
        });
        c.setResult(std::int32_t(1));
    });

    d.add(MethodId::SepetGuncelle2, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        const int sirano = c.integer("_sepetsirano");
        const LineInput in = readLine(c);
        db->transaction([&](QSqlDatabase &) {
            QSqlQuery q = db->exec(QStringLiteral("UPDATE sepet SET miktar = ?, birim_fiyat = ?, kdv = ?, isk1 = ?, isk2 = ?, isk3 = ?, isk4 = ?"
                                                  " WHERE sirano = ? AND cari = ?"),
                                   {in.miktar, in.fiyat, in.kdv, in.rates[0], in.rates[1], in.rates[2], in.rates[3], sirano, carino});
            if (q.numRowsAffected() != 1)
                refuse(QStringLiteral("Sepet satırı bulunamadı: %1").arg(sirano));
        });
        c.setResult(std::int32_t(1));
    });

    d.add(MethodId::SepetSatirSil, [db](ServerCall &c) {
        const int carino = accountOf(c, "bilgi");
        const int sirano = c.integer("satirno");
        db->transaction([&](QSqlDatabase &) {
            QSqlQuery q = db->exec(QStringLiteral("DELETE FROM sepet WHERE sirano = ? AND cari = ?"), {sirano, carino});
            if (q.numRowsAffected() != 1)
                refuse(QStringLiteral("Sepet satırı bulunamadı: %1").arg(sirano));
        });
        c.setResult(std::int32_t(1));
    });

    d.add(MethodId::SepetHepsiniSil, [db](ServerCall &c) {
        const int carino = accountOf(c, "bilgi");
        int removed = 0;
        db->transaction([&](QSqlDatabase &) {
            requireAccount(*db, carino);
            removed = db->exec(QStringLiteral("DELETE FROM sepet WHERE cari = ?"), {carino}).numRowsAffected();
        });
        c.setResult(std::int32_t(removed));
    });

    d.add(MethodId::SepetSecimGuncelle, [db](ServerCall &c) {
        const int sirano = c.integer("sirano");
        const int secim = c.integer("secim");
        if (secim != 0 && secim != 1)
            refuse(QStringLiteral("Seçim 0 ya da 1 olmalıdır: %1").arg(secim));
        db->transaction([&](QSqlDatabase &) {
            if (db->exec(QStringLiteral("UPDATE sepet SET sec = ? WHERE sirano = ?"), {secim, sirano}).numRowsAffected() != 1)
                refuse(QStringLiteral("Sepet satırı bulunamadı: %1").arg(sirano));
        });
    });
}

} // namespace tarvik::server
