// Ordering: TeslimVer, KargoVer, KargolarVer, SiparisKaydet, OncekiSiparisler, SiparisAyrintisi2,
// SiparisAytintisiDip, TumSiparislerVer; open balances: BakiyelerVer2, BakiyeDuzenle, BakiyeDegistir,
// BakiyeFiyatDegistir.

#include "database.h"
#include "errors.h"
#include "server_methods.h"
#include "transfer_objects.h"

#include <QDateTime>
#include <QSqlQuery>
#include <QStringList>

#include <cmath>
#include <map>

namespace tarvik::server {

namespace {

[[noreturn]] void refuse(const QString &message)
{
    throw RemoteError(QStringLiteral("EOrderError"), message);
}

bool exists(Database &db, const QString &sql, const QVariantList &values)
{
    QSqlQuery q = db.exec(sql, values);
    return q.next();
}

DataTable idAndName(Database &db, const QString &sql, const QVariantList &values = {})
{
    DataTable t;
    t.addColumn(QStringLiteral("SIRANO"), DbxType::Int32);
    t.addColumn(QStringLiteral("ADI"), DbxType::WideString);
    QSqlQuery q = db.exec(sql, values);
    while (q.next())
        t.appendRow({q.value(0), q.value(1)});
    return t;
}

// Lines of orders, as the order detail and the order movements list them.
constexpr ColumnSpec kLineColumns[] = {
    {"VERILISTARIHI", DbxType::DateTime}, {"BARKOD", DbxType::WideString}, {"FINISHKOD", DbxType::WideString},
    {"OEMNO", DbxType::WideString}, {"STOKADI", DbxType::WideString}, {"MIKTAR", DbxType::Double},
    {"BIRIMFIYAT", DbxType::Double}, {"TUTAR", DbxType::Double}, {"INDIRIMYAZI", DbxType::WideString},
    {"NETBIRIMFIYAT", DbxType::Double}, {"KDV", DbxType::Double}, {"VERGITUTARI", DbxType::Double},
    {"NETTUTAR", DbxType::Double}, {"VEREN", DbxType::WideString}, {"TESLIMEDILEN", DbxType::Double},
    {"KALAN", DbxType::Double}, {"SIPARISNO", DbxType::Int32}, {"TARIH", DbxType::Date},
    {"INDIRIMORANI1", DbxType::Double}, {"INDIRIMORANI2", DbxType::Double}, {"INDIRIMORANI3", DbxType::Double},
    {"INDIRIMORANI4", DbxType::Double}, {"KUR", DbxType::WideString}, {"SAAT", DbxType::WideString},
    {"ACIKLAMA", DbxType::WideString}, {"OEM1", DbxType::WideString}, {"OEM2", DbxType::WideString},
    {"OEM3", DbxType::WideString}, {"OEM4", DbxType::WideString}, {"DIGERADI", DbxType::WideString},
    {"DPKOD", DbxType::WideString}, {"MARKA", DbxType::WideString}, {"MODEL", DbxType::WideString},
    {"ANAGRUP", DbxType::WideString}, {"OZELKOD", DbxType::WideString}, {"PKOD", DbxType::WideString},
    {"SIRANO", DbxType::Int32}, {"CARINO", DbxType::Int32}, {"AKTAR", DbxType::Int32}, {"STOKNO", DbxType::Int32},
    {"INDIRIMTUTAR", DbxType::Double}, {"KURTL", DbxType::Double}, {"VERENIDNO", DbxType::Int32},
    {"TESLIMID", DbxType::Int32}, {"KARGOID", DbxType::Int32}, {"IDNO", DbxType::Int32},
    {"VERENSIRANO", DbxType::Int32}, {"CARIKOD", DbxType::WideString}, {"CARIADI", DbxType::WideString},
    {"STOK_STOKNO", DbxType::Int32}, {"URETICIKODU", DbxType::WideString}, {"TESLIM", DbxType::WideString},
    {"KARGO", DbxType::WideString}, {"DURUM", DbxType::Int32}, {"ELDEKI", DbxType::Double},
    {"STOKHAR_NO", DbxType::Int32}, {"ILKFIYAT", DbxType::Double}, {"ALINANSIPARIS", DbxType::Double},
    {"VERILENSIPARIS", DbxType::Double},
};

// The lines of the orders that `where` selects (over siparis o and siparis_satir l), oldest first.
DataTable orderLines(Database &db, const QString &where, const QVariantList &values)
{
    DataTable t = tableOf(kLineColumns);
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT o.tarih, s.barkod, s.finish_kod, s.oem_no, s.adi, l.miktar, l.birim_fiyat, l.isk1, l.isk2, l.isk3, l.isk4, l.kdv,"
        "       coalesce(k.adi, ''), l.teslim_edilen, o.idno, o.verenin_notu, s.oem1, s.oem2, s.oem3, s.oem4, s.diger_adi, s.dpkod,"
        "       s.marka, s.model, s.ana_grup, s.ozel_kod, s.pkod, l.sirano, o.cari, s.no, coalesce(l.veren, 0), o.teslim,"
        "       o.kargo_firma, c.kod, c.adi, s.uretici_kodu, ts.adi, kt.adi, s.durum, s.kalan, l.kampanya,"
        "       coalesce(l.sepet_sirano, l.sirano), l.sirano, coalesce(l.kalan, l.miktar - l.teslim_edilen),"
        "       coalesce(l.ilk_fiyat, l.birim_fiyat), s.alinan_siparis, s.verilen_siparis"
        "  FROM siparis o JOIN siparis_satir l ON l.siparis = o.idno JOIN stok s ON s.no = l.stok JOIN cari c ON c.no = o.cari"
        "  JOIN teslim_sekli ts ON ts.no = o.teslim JOIN kargo_turu kt ON kt.no = o.kargo_turu"
        "  LEFT JOIN kullanici k ON k.sirano = l.veren"
        " WHERE %1 ORDER BY o.idno, l.sirano").arg(where),
        values);
    while (q.next()) {
        const QDateTime when = QDateTime::fromString(q.value(0).toString(), Qt::ISODate);
        const double miktar = q.value(5).toDouble(), fiyat = q.value(6).toDouble(), kdv = q.value(11).toDouble();
        const double rates[4] = {q.value(7).toDouble(), q.value(8).toDouble(), q.value(9).toDouble(), q.value(10).toDouble()};
        const LineAmounts a = lineAmounts(miktar, fiyat, kdv, rates);
        const double delivered = q.value(13).toDouble();
        const double open = q.value(43).toDouble();
        t.appendRow({when, q.value(1), q.value(2), q.value(3), q.value(4), miktar, fiyat, a.gross,
                     discountText(rates, q.value(40).toInt() > 0, QStringLiteral("Kampanyalı")),
                     a.netUnit, kdv, a.vat, a.net, q.value(12), delivered, open, q.value(14), when.date(),
                     rates[0], rates[1], rates[2], rates[3], QStringLiteral("TL"), when.time().toString(QStringLiteral("HH:mm")),
                     q.value(4), q.value(16), q.value(17), q.value(18), q.value(19), q.value(20), q.value(21), q.value(22),
                     q.value(23), q.value(24), q.value(25), q.value(26), q.value(41), q.value(28), 0, q.value(29), a.discount, 1.0,
                     q.value(30), q.value(31), q.value(32), q.value(14), q.value(30), q.value(33), q.value(34), q.value(29),
                     q.value(35), q.value(36), q.value(37), q.value(38), q.value(39), q.value(42), q.value(44),
                     q.value(45), q.value(46)});
    }
    return t;
}


} // namespace

// The open-balance line a balance change names: the order line `siparissirano` of the identity's account,
// which came from basket line `sepetsirano`. Raises a clear error when there is no such open line.
qlonglong balanceLine(Database &db, const ServerCall &c)
{
    const TSonucBilgisi *k = c.objectAs<TSonucBilgisi>("k");
    if (!k)
        refuse(QStringLiteral("Kimlik bilgisi gönderilmedi"));
    const int line = c.integer("siparissirano"), basketLine = c.integer("sepetsirano");
    QSqlQuery q = db.exec(QStringLiteral("SELECT l.sirano FROM siparis_satir l JOIN siparis o ON o.idno = l.siparis"
                                         " WHERE l.sirano = ? AND coalesce(l.sepet_sirano, l.sirano) = ? AND o.cari = ?"
                                         "   AND coalesce(l.kalan, l.miktar - l.teslim_edilen) > 0"),
                          {line, basketLine, k->CARINO()});
    if (!q.next())
        refuse(QStringLiteral("Açık sipariş bakiyesi bulunamadı: %1/%2").arg(basketLine).arg(line));
    return q.value(0).toLongLong();
}

QString orderStateText(int durum)
{
    static const QString states[] = {QStringLiteral("Alındı"), QStringLiteral("Görüldü"), QStringLiteral("Onaylandı"),
                                     QStringLiteral("Hazırlandı"), QStringLiteral("Parçalı Hazırlandı"), QStringLiteral("Sevk Edildi")};
    return durum >= 0 && durum <= 5 ? states[durum] : QString();
}

std::map<qlonglong, OrderTotals> orderTotals(Database &db, int carino)
{
    std::map<qlonglong, OrderTotals> totals;
    QSqlQuery l = db.exec(QStringLiteral("SELECT l.siparis, l.miktar, l.birim_fiyat, l.kdv, l.isk1, l.isk2, l.isk3, l.isk4"
                                         "  FROM siparis_satir l JOIN siparis o ON o.idno = l.siparis WHERE o.cari = ?"),
                          {carino});
    while (l.next()) {
        const double rates[4] = {l.value(4).toDouble(), l.value(5).toDouble(), l.value(6).toDouble(), l.value(7).toDouble()};
        const LineAmounts a = lineAmounts(l.value(1).toDouble(), l.value(2).toDouble(), l.value(3).toDouble(), rates);
        OrderTotals &t = totals[l.value(0).toLongLong()];
        t.tutar += a.gross;
        t.net += a.net;
        t.vergi += a.vat;
    }
    return totals;
}

void addOrders(Dispatcher &d, const std::shared_ptr<Database> &db)
{
    d.add(MethodId::TeslimVer, [db](ServerCall &c) {
        c.setResult(idAndName(*db, QStringLiteral("SELECT no, adi FROM teslim_sekli ORDER BY sira, no")));
    });
    d.add(MethodId::KargoVer, [db](ServerCall &c) {
        c.setResult(idAndName(*db, QStringLiteral("SELECT no, adi FROM kargo_turu ORDER BY sira, no")));
    });
    d.add(MethodId::KargolarVer, [db](ServerCall &c) {
        DataTable t;
        t.addColumn(QStringLiteral("ADI"), DbxType::WideString);
        t.addColumn(QStringLiteral("SIRANO"), DbxType::Int32);
        t.addColumn(QStringLiteral("UYARI"), DbxType::WideString);
        QSqlQuery q = db->exec(QStringLiteral("SELECT adi, no, uyari FROM kargo_firma WHERE tur = ? ORDER BY adi"), {c.integer("gn")});
        while (q.next())
            t.appendRow({q.value(0), q.value(1), q.value(2)});
        c.setResult(std::move(t));
    });

    // The account's selected basket lines become one order, all or nothing.
    d.add(MethodId::SiparisKaydet, [db](ServerCall &c) {
        const int carino = c.integer("_carino");
        const int teslim = c.integer("_teslim"), tur = c.integer("_kargo"), firma = c.integer("_kargoyeni");
        const QString note = c.string("_aciklama");
        if (note.size() > 4000)
            refuse(QStringLiteral("Mesaj en çok 4000 karakter olabilir"));
        bool accepted = false;
        db->transaction([&](QSqlDatabase &) {
            requireAccount(*db, carino);
            if (!exists(*db, QStringLiteral("SELECT 1 FROM teslim_sekli WHERE no = ?"), {teslim}))
                refuse(QStringLiteral("Teslim şekli bulunamadı: %1").arg(teslim));
            if (!exists(*db, QStringLiteral("SELECT 1 FROM kargo_firma WHERE no = ? AND tur = ?"), {firma, tur}))
                refuse(QStringLiteral("Kargo firması %1, kargo türü %2 için tanımlı değil").arg(firma).arg(tur));
            const int verenid = c.integer("_verenid");
            if (verenid != 0 && !exists(*db, QStringLiteral("SELECT 1 FROM kullanici WHERE sirano = ?"), {verenid}))
                refuse(QStringLiteral("Kullanıcı bulunamadı: %1").arg(verenid));
            if (!exists(*db, QStringLiteral("SELECT 1 FROM sepet WHERE cari = ? AND sec = 1"), {carino}))
                return; // nothing selected: not accepted
            QSqlQuery order = db->exec(QStringLiteral("INSERT INTO siparis (cari, teslim, kargo_turu, kargo_firma, veren, verenin_notu)"
                                                      " VALUES (?, ?, ?, ?, ?, ?)"),
                                       {carino, teslim, tur, firma, verenid ? QVariant(verenid) : QVariant(), note});
            const qlonglong idno = order.lastInsertId().toLongLong();
            order.finish();
            db->exec(QStringLiteral("INSERT INTO siparis_satir (siparis, stok, miktar, birim_fiyat, kdv, isk1, isk2, isk3, isk4,"
                                    " kampanya, veren, tarih, sepet_sirano)"
                                    " SELECT ?, stok, miktar, birim_fiyat, kdv, isk1, isk2, isk3, isk4, kampanya, veren, tarih, sirano"
                                    "   FROM sepet WHERE cari = ? AND sec = 1 ORDER BY sirano"),
                     {idno, carino});
            db->exec(QStringLiteral("DELETE FROM sepet WHERE cari = ? AND sec = 1"), {carino});
            accepted = true;
        });
        c.setResult(accepted);
    });

    d.add(MethodId::OncekiSiparisler, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        requireAccount(*db, carino);
        std::map<qlonglong, OrderTotals> totals = orderTotals(*db, carino);
        const ColumnSpec columns[] = {{"CARINO", DbxType::Int32}, {"IDNO", DbxType::Int32}, {"TARIH", DbxType::DateTime},
                                  {"KUR", DbxType::WideString}, {"KURTL", DbxType::Double}, {"VERENIDNO", DbxType::Int32},
                                  {"KARGO", DbxType::WideString}, {"TESLIM", DbxType::WideString}, {"VEREN", DbxType::WideString},
                                  {"CARIKOD", DbxType::WideString}, {"CARIADI", DbxType::WideString}, {"VERGI", DbxType::Double},
                                  {"NETTUTAR", DbxType::Double}, {"TUTAR", DbxType::Double}, {"DURUM", DbxType::WideString},
                                  {"KARGOADI", DbxType::WideString}, {"VERENINNOTU", DbxType::WideString},
                                  {"ALANNOTU", DbxType::WideString}};
        DataTable t = tableOf(columns);
        QSqlQuery q = db->exec(QStringLiteral(
            "SELECT o.cari, o.idno, o.tarih, coalesce(o.veren, 0), kt.adi, ts.adi, coalesce(k.adi, ''), c.kod, c.adi, o.durum, kf.adi,"
            "       o.verenin_notu, o.alanin_notu"
            "  FROM siparis o JOIN cari c ON c.no = o.cari JOIN teslim_sekli ts ON ts.no = o.teslim"
            "  JOIN kargo_turu kt ON kt.no = o.kargo_turu JOIN kargo_firma kf ON kf.no = o.kargo_firma"
            "  LEFT JOIN kullanici k ON k.sirano = o.veren"
            " WHERE o.cari = ? ORDER BY o.idno DESC"),
            {carino});
        while (q.next()) {
            const OrderTotals &sum = totals[q.value(1).toLongLong()];
            t.appendRow({q.value(0), q.value(1), QDateTime::fromString(q.value(2).toString(), Qt::ISODate), QStringLiteral("TL"), 1.0,
                         q.value(3), q.value(4), q.value(5), q.value(6), q.value(7), q.value(8), sum.vergi, sum.net, sum.tutar,
                         orderStateText(q.value(9).toInt()), q.value(10), q.value(11), q.value(12)});
        }
        c.setResult(std::move(t));
    });

    d.add(MethodId::SiparisAyrintisi2, [db](ServerCall &c) {
        const int carino = c.integer("carino"), idno = c.integer("idnosu");
        if (!exists(*db, QStringLiteral("SELECT 1 FROM siparis WHERE idno = ? AND cari = ?"), {idno, carino}))
            refuse(QStringLiteral("Sipariş bulunamadı: %1").arg(idno));
        c.setResult(orderLines(*db, QStringLiteral("o.idno = ? AND o.cari = ?"), {idno, carino}));
    });

    d.add(MethodId::SiparisAytintisiDip, [db](ServerCall &c) {
        auto dip = std::make_unique<TSiparisDipAyrinti>();
        QSqlQuery q = db->exec(QStringLiteral(
            "SELECT o.durum, ts.adi, kt.adi, kf.adi, coalesce(k.adi, ''), o.verenin_notu, o.alanin_notu, o.satici_notu"
            "  FROM siparis o JOIN teslim_sekli ts ON ts.no = o.teslim JOIN kargo_turu kt ON kt.no = o.kargo_turu"
            "  JOIN kargo_firma kf ON kf.no = o.kargo_firma LEFT JOIN kullanici k ON k.sirano = o.veren WHERE o.idno = ?"),
            {c.integer("siranosu")});
        if (q.next()) { // an unknown number gives an empty footer, never no object
            dip->setDurumu(orderStateText(q.value(0).toInt()));
            dip->setTeslimCinsi(q.value(1).toString());
            dip->setKargoCinsi(q.value(2).toString());
            dip->setKargo(q.value(3).toString());
            dip->setVeren(q.value(4).toString());
            dip->setSizinMesaj(q.value(5).toString());
            dip->setBizimMesaj(q.value(6).toString());
            dip->setSaticiNotu(q.value(7).toString());
        }
        c.setResult(std::unique_ptr<TransferObject>(std::move(dip)));
    });

    d.add(MethodId::TumSiparislerVer, [db](ServerCall &c) {
        const int carino = c.integer("carino"), stokno = c.integer("stokno");
        requireAccount(*db, carino);
        if (stokno == 0)
            c.setResult(orderLines(*db, QStringLiteral("o.cari = ?"), {carino}));
        else
            c.setResult(orderLines(*db, QStringLiteral("o.cari = ? AND l.stok = ?"), {carino, stokno}));
    });

    // Open balances: the order lines still to deliver.
    d.add(MethodId::BakiyelerVer2, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        requireAccount(*db, carino);
        c.setResult(orderLines(*db, QStringLiteral("o.cari = ? AND coalesce(l.kalan, l.miktar - l.teslim_edilen) > 0"), {carino}));
    });

    // Closes the balance: nothing more will be delivered.
    d.add(MethodId::BakiyeDuzenle, [db](ServerCall &c) {
        db->transaction([&](QSqlDatabase &) {
            db->exec(QStringLiteral("UPDATE siparis_satir SET kalan = 0 WHERE sirano = ?"), {balanceLine(*db, c)});
        });
        c.setResult(std::int32_t(1));
    });

    // A new open balance. The quantity ordered stays as it was.
    d.add(MethodId::BakiyeDegistir, [db](ServerCall &c) {
        const double balance = c.number("Bakiye");
        if (!(balance >= 0 && balance <= 10000) || balance != std::floor(balance))
            refuse(QStringLiteral("Bakiye 0 ile 10000 arasında tam sayı olmalıdır: %1").arg(balance));
        db->transaction([&](QSqlDatabase &) {
            db->exec(QStringLiteral("UPDATE siparis_satir SET kalan = ? WHERE sirano = ?"), {balance, balanceLine(*db, c)});
        });
        c.setResult(std::int32_t(1));
    });

    // A new unit price and one discount rate for the rest of the line; the first price is kept.
    d.add(MethodId::BakiyeFiyatDegistir, [db](ServerCall &c) {
        const double price = c.number("fiyat"), rate = c.number("ind");
        if (!(price >= 0 && price <= 1e9))
            refuse(QStringLiteral("Geçersiz fiyat: %1").arg(price));
        if (!(rate >= 0 && rate <= 100))
            refuse(QStringLiteral("İndirim oranı 0 ile 100 arasında olmalıdır: %1").arg(rate));
        db->transaction([&](QSqlDatabase &) {
            db->exec(QStringLiteral("UPDATE siparis_satir SET ilk_fiyat = coalesce(ilk_fiyat, birim_fiyat), birim_fiyat = ?,"
                                    " isk1 = ?, isk2 = 0, isk3 = 0, isk4 = 0, kampanya = 0 WHERE sirano = ?"),
                     {price, rate, balanceLine(*db, c)});
        });
        c.setResult(std::int32_t(1));
    });
}

} // namespace tarvik::server
