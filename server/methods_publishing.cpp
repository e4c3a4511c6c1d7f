// What the distributor publishes: KayanYaziGetir, BalonGetir, BannerResimVer, BannerResimVer2,
// BannerResimVer3, AcilisReklamAdet, AcilisREklamVer, AcilisEkranlarVer2.

#include "artwork.h"
#include "database.h"
#include "errors.h"
#include "server_methods.h"
#include "transfer_objects.h"

#include <QSqlQuery>

namespace tarvik::server {

namespace {

QByteArray published(Database &db, const QString &key)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT resim FROM yayin WHERE anahtar = ? AND resim IS NOT NULL"), {key});
    return q.next() ? q.value(0).toByteArray() : QByteArray();
}

int scalar(Database &db, const QString &sql, const QVariantList &values = {})
{
    QSqlQuery q = db.exec(sql, values);
    return q.next() ? q.value(0).toInt() : 0;
}

std::unique_ptr<TAcilisEkran> screen(const QSqlQuery &q)
{
    auto e = std::make_unique<TAcilisEkran>();
    e->setSiraNo(q.value(0).toInt());
    e->setBaslik(q.value(1).toString());
    e->setArama(q.value(2).toString());
    e->setResim(toHexText(q.value(3).toByteArray()));
    return e;
}

void addBanner(Dispatcher &d, const std::shared_ptr<Database> &db, MethodId method, const char *key)
{
    d.add(method, [db, key](ServerCall &c) {
        const QByteArray picture = published(*db, QString::fromLatin1(key));
        c.setOut("size", std::int64_t(picture.size()));
        c.setResult(StreamValue{picture});
    });
}

} // namespace

void addPublishing(Dispatcher &d, const std::shared_ptr<Database> &db)
{
    d.add(MethodId::KayanYaziGetir, [db](ServerCall &c) {
        QSqlQuery q = db->exec(QStringLiteral("SELECT metin FROM yayin WHERE anahtar = 'kayan_yazi'"));
        c.setResult(q.next() ? q.value(0).toString() : QString());
    });

    // The tab counters, each counted as its list counts it.
    d.add(MethodId::BalonGetir, [db](ServerCall &c) {
        const TSonucBilgisi *bil = c.objectAs<TSonucBilgisi>("bil");
        const int carino = bil ? bil->CARINO() : 0;
        DataTable t;
        t.addColumn(QStringLiteral("SEPET"), DbxType::Int32);
        t.addColumn(QStringLiteral("YENISTOK"), DbxType::Int32);
        t.addColumn(QStringLiteral("KAMPANYALI"), DbxType::Int32);
        t.addColumn(QStringLiteral("DUYURU"), DbxType::Int32);
        t.addColumn(QStringLiteral("BAKIYE"), DbxType::Double);
        const int basket = scalar(*db, QStringLiteral("SELECT count(*) FROM sepet WHERE cari = ?"), {carino});
        const int fresh = scalar(*db, QStringLiteral("SELECT count(*) FROM stok WHERE yeni = 1"));
        const int campaign = scalar(*db, QStringLiteral("SELECT count(*) FROM stok WHERE kamp_fiyat > 0"));
        const int screens = scalar(*db, QStringLiteral("SELECT count(*) FROM ekran"));
        const int balances = scalar(*db, QStringLiteral("SELECT count(*) FROM siparis_satir l JOIN siparis o ON o.idno = l.siparis"
                                                        " WHERE o.cari = ? AND coalesce(l.kalan, l.miktar - l.teslim_edilen) > 0"),
                                    {carino});
        t.appendRow({basket, fresh, campaign, screens, double(balances)});
        c.setResult(std::move(t));
    });

    addBanner(d, db, MethodId::BannerResimVer, "banner1");
    addBanner(d, db, MethodId::BannerResimVer2, "banner2");
    addBanner(d, db, MethodId::BannerResimVer3, "banner3");

    d.add(MethodId::AcilisReklamAdet, [db](ServerCall &c) {
        c.setResult(std::int32_t(scalar(*db, QStringLiteral("SELECT count(*) FROM ekran"))));
    });

    // Screen `sira` counted from 0; outside the range an empty screen.
    d.add(MethodId::AcilisREklamVer, [db](ServerCall &c) {
        const int sira = c.integer("sira");
        QSqlQuery q = db->exec(QStringLiteral("SELECT sira, baslik, arama, resim FROM ekran ORDER BY sira LIMIT 1 OFFSET ?"),
                               {sira < 0 ? 1 << 30 : sira});
        c.setResult(std::unique_ptr<TransferObject>(q.next() ? screen(q) : std::make_unique<TAcilisEkran>()));
    });

    d.add(MethodId::AcilisEkranlarVer2, [db](ServerCall &c) {
        TAcilisEkranlariki::Array screens;
        QSqlQuery q = db->exec(QStringLiteral("SELECT sira, baslik, arama, resim FROM ekran ORDER BY sira"));
        while (q.next())
            screens.push_back(screen(q));
        auto all = std::make_unique<TAcilisEkranlariki>();
        all->setEkranlar(std::move(screens));
        c.setResult(std::unique_ptr<TransferObject>(std::move(all)));
    });
}

} // namespace tarvik::server
