// Identity and catalogue methods: BuyukGetir, StokAraGetir.

#include "artwork.h"
#include "database.h"
#include "demo.h"
#include "errors.h"
#include "money.h"
#include "search_text.h"
#include "server_methods.h"
#include "transfer_objects.h"

#include <QSqlQuery>
#include <QStringList>

#include <cmath>

namespace tarvik::server {

namespace {

constexpr int kSearchLimit = 20000;

struct Rates
{
    double r[4] = {0, 0, 0, 0};
};

// The discount rates of an account; 0 (no account chosen yet) has none. An unknown account is an error.
Rates accountRates(Database &db, int carino)
{
    Rates rates;
    if (carino == 0)
        return rates;
    QSqlQuery q = db.exec(QStringLiteral("SELECT isk1, isk2, isk3, isk4 FROM cari WHERE no = ?"), {carino});
    if (!q.next())
        throw RemoteError(QStringLiteral("EDatabaseError"), QStringLiteral("Cari bulunamadı: %1").arg(carino));
    for (int i = 0; i < 4; ++i)
        rates.r[i] = q.value(i).toDouble();
    return rates;
}

DataTable stockListColumns()
{
    DataTable t;
    const struct
    {
        const char *name;
        DbxType type;
    } columns[] = {
        {"DURUM", DbxType::Int32}, {"OEM1", DbxType::WideString}, {"OEM2", DbxType::WideString}, {"OEM3", DbxType::WideString},
        {"BARKOD", DbxType::WideString}, {"ADI", DbxType::WideString}, {"OEM4", DbxType::WideString},
        {"STOK_STOKNO", DbxType::Int32}, {"FINISHKOD", DbxType::WideString}, {"URETICIKODU", DbxType::WideString},
        {"RESIM", DbxType::Int32}, {"BARKOD_BARKODNO", DbxType::Int32}, {"DIGERADI", DbxType::WideString},
        {"DPKOD", DbxType::WideString}, {"OEMNO", DbxType::WideString}, {"BIRIM", DbxType::WideString},
        {"MARKA", DbxType::WideString}, {"MODEL", DbxType::WideString}, {"ANAGRUP", DbxType::WideString},
        {"OZELKOD", DbxType::WideString}, {"KALAN", DbxType::Double}, {"PKOD", DbxType::WideString},
        {"KDV", DbxType::Double}, {"ALINANSIPARIS", DbxType::Double}, {"VERILENSIPARIS", DbxType::Double},
        {"LISTEFIYAT1", DbxType::Double}, {"KAMPFIYAT", DbxType::Double}, {"FIYAT", DbxType::Double},
        {"Y", DbxType::Int32}, {"K", DbxType::Int32}, {"INDIRIMYAZI", DbxType::WideString},
        {"NETFIYAT", DbxType::Double}, {"KDVDAHIL", DbxType::Double}, {"IND1", DbxType::Double},
        {"IND2", DbxType::Double}, {"IND3", DbxType::Double}, {"IND4", DbxType::Double},
        // The new-stocks and campaign lists read the first rate as INDIRIM and the list price as ESKIFIYAT.
        {"INDIRIM", DbxType::Double}, {"ESKIFIYAT", DbxType::Double},
    };
    for (const auto &c : columns)
        t.addColumn(QString::fromLatin1(c.name), c.type);
    return t;
}

// The stock-list rows of the stocks that `filter` selects from stok s, priced for an account: FIYAT is the
// campaign price when there is one (K 1, no discounts), else the list price with the account's rates.
DataTable stockList(Database &db, const Rates &rates, const QString &filter, const QVariantList &values)
{
    DataTable t = stockListColumns();
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT s.durum, s.oem1, s.oem2, s.oem3, s.barkod, s.adi, s.oem4, s.no, s.finish_kod, s.uretici_kodu, s.resim,"
        "       s.barkod_no, s.diger_adi, s.dpkod, s.oem_no, s.birim, s.marka, s.model, s.ana_grup, s.ozel_kod,"
        "       s.kalan, s.pkod, s.kdv, s.alinan_siparis, s.verilen_siparis, s.liste_fiyat, s.kamp_fiyat, s.yeni"
        "  FROM stok s %1 ORDER BY s.adi, s.no LIMIT %2").arg(filter).arg(kSearchLimit),
        values);
    while (q.next()) {
        std::vector<QVariant> row;
        row.reserve(39);
        for (int i = 0; i < 26; ++i)
            row.push_back(q.value(i));
        const double list = q.value(25).toDouble();
        const double campaign = q.value(26).toDouble();
        const bool k = campaign > 0;
        const double price = k ? campaign : list;
        const double kdv = q.value(22).toDouble();
        const Rates applied = k ? Rates{} : rates;
        const LineAmounts unit = lineAmounts(1, price, kdv, applied.r);
        row.push_back(campaign);          // KAMPFIYAT
        row.push_back(price);             // FIYAT
        row.push_back(q.value(27).toInt()); // Y
        row.push_back(k ? 1 : 0);         // K
        row.push_back(discountText(applied.r, k, QStringLiteral("Fiyat")));
        row.push_back(unit.net);          // NETFIYAT
        row.push_back(unit.total);        // KDVDAHIL
        for (double r : applied.r)
            row.push_back(r);             // IND1..IND4
        row.push_back(applied.r[0]);      // INDIRIM
        row.push_back(list);              // ESKIFIYAT
        t.appendRow(row);
    }
    return t;
}

} // namespace

QString rateText(double r)
{
    return r == std::floor(r) ? QString::number(static_cast<qint64>(r)) : QString::number(r, 'f', 1).replace(u'.', u',');
}

QString discountText(const double rates[4], bool campaign, const QString &campaignText)
{
    if (campaign)
        return campaignText;
    QStringList shown;
    for (int i = 0; i < 4; ++i)
        if (rates[i] > 0)
            shown << rateText(rates[i]);
    return shown.isEmpty() ? QStringLiteral("0") : shown.join(u'+');
}

void requireAccount(Database &db, int carino)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT 1 FROM cari WHERE no = ?"), {carino});
    if (!q.next())
        throw RemoteError(QStringLiteral("EDatabaseError"), QStringLiteral("Cari bulunamadı: %1").arg(carino));
}

void addIdentityAndCatalogue(Dispatcher &d, const std::shared_ptr<Database> &db)
{
    d.add(MethodId::BuyukGetir, [db](ServerCall &c) {
        const QString id = c.string("idsi").trimmed();
        auto b = std::make_unique<TSonucBilgisi>();
        b->setBILGISAYARID(id);
        b->setVersion(4);
        QSqlQuery q = db->exec(QStringLiteral(
            "SELECT k.sirano, k.adi, k.sifre, k.aktif, k.tip, k.mail, coalesce(c.no, 0), coalesce(c.kod, ''), coalesce(c.adi, ''),"
            "       coalesce(t.no, 0), coalesce(t.adi, ''), coalesce(t.telefon, ''), coalesce(t.mail, '')"
            "  FROM makine m JOIN kullanici k ON k.sirano = m.kullanici"
            "  LEFT JOIN cari c ON c.no = k.cari"
            "  LEFT JOIN temsilci t ON t.no = coalesce(k.temsilci, c.temsilci)"
            " WHERE m.kimlik = ?"),
            {id});
        if (q.next()) {
            b->setVarmi(true);
            b->setSirano(q.value(0).toInt());
            b->setADI(q.value(1).toString());
            b->setSIFRE(q.value(2).toString());
            b->setAKTIF(q.value(3).toInt());
            b->setMusteriTipi(q.value(4).toInt());
            b->setKullanicimail(q.value(5).toString());
            b->setCARINO(q.value(6).toInt());
            b->setcarikod(q.value(7).toString());
            b->setCariAdi(q.value(8).toString());
            b->setSaticiNo(q.value(9).toInt());
            b->setSaticiAdi(q.value(10).toString());
            b->setSaticiTelefon(q.value(11).toString());
            b->setSaticiMail(q.value(12).toString());
        }
        c.setResult(std::unique_ptr<TransferObject>(std::move(b)));
    });

    d.add(MethodId::StokAraGetir, [db](ServerCall &c) {
        const TSonucBilgisi *bilgi = c.objectAs<TSonucBilgisi>("bilgi");
        const Rates rates = accountRates(*db, bilgi ? bilgi->CARINO() : 0);
        const QString query = stockSearchQuery(c.string("kod").trimmed());
        if (query.isEmpty()) {
            c.setResult(stockListColumns());
            return;
        }
        c.setResult(stockList(*db, rates, QStringLiteral("JOIN stok_ara a ON a.rowid = s.no WHERE stok_ara MATCH ?"), {query}));
    });

    // The stock's picture as a JPEG stream with its length; length 0 and no bytes when it has none.
    d.add(MethodId::ResimVer5, [db](ServerCall &c) {
        QSqlQuery q = db->exec(QStringLiteral("SELECT adi, marka FROM stok WHERE no = ? AND resim <> 0"), {c.integer("stokno")});
        QByteArray jpeg;
        if (q.next())
            jpeg = stockPictureJpeg(c.integer("stokno"), q.value(0).toString(), q.value(1).toString());
        c.setOut("boy", std::int64_t(jpeg.size()));
        c.setResult(StreamValue{jpeg});
    });

    d.add(MethodId::YenilerVer2, [db](ServerCall &c) {
        c.setResult(stockList(*db, accountRates(*db, c.integer("carino")), QStringLiteral("WHERE s.yeni = 1"), {}));
    });

    d.add(MethodId::KampanyaliVer2, [db](ServerCall &c) {
        c.setResult(stockList(*db, accountRates(*db, c.integer("cario")), QStringLiteral("WHERE s.kamp_fiyat > 0"), {}));
    });
}

} // namespace tarvik::server
