// Accounts and documents: CariEkstreVer, FaturaGetir, FaturaAltGetir, Tahsilat, SanalposSiranoVer,
// SAnalPosPdfVer, CariVadeGunGecmismiBul; the representative's account list: CariAra, CariSepetVer,
// SepetSayisi, TusSonuclariVer; reports: RaporGetir, RaporAlinanSiparisler, RaporEnCokSatilanStoklar;
// mail: MobilCariBilgisiGetir, MailGonserCariNormal, MailGonserCari.

#include "database.h"
#include "documents.h"
#include "errors.h"
#include "ledger.h"
#include "money.h"
#include "search_text.h"
#include "server_methods.h"
#include "transfer_objects.h"

#include <QDateTime>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSqlQuery>
#include <QStringList>

#include <algorithm>
#include <map>

namespace tarvik::server {

namespace {

[[noreturn]] void refuse(const QString &message)
{
    throw RemoteError(QStringLiteral("EAccountError"), message);
}

QDateTime stamp(const QVariant &text)
{
    return QDateTime::fromString(text.toString(), Qt::ISODate);
}

QDate day(const QVariant &text)
{
    return QDate::fromString(text.toString().left(10), Qt::ISODate);
}

// ---- the account statement and its documents ----

DataTable statement(Database &db, int carino)
{
    const ColumnSpec columns[] = {{"CARINO", DbxType::Int32},  {"TARIH", DbxType::Date},      {"TURADI", DbxType::WideString},
                              {"EVRAK", DbxType::WideString}, {"BORC", DbxType::Double},   {"ALACAK", DbxType::Double},
                              {"KUR", DbxType::WideString},  {"BAKIYE", DbxType::Double},   {"D", DbxType::WideString},
                              {"IDNO", DbxType::Int32},      {"ACIKLAMA", DbxType::WideString}};
    DataTable t = tableOf(columns);
    QSqlQuery q = db.exec(QStringLiteral("SELECT tarih, tur, evrak, borc, alacak, idno, aciklama FROM hareket WHERE cari = ?"
                                         " ORDER BY tarih, idno"),
                          {carino});
    double balance = 0;
    while (q.next()) {
        const double borc = q.value(3).toDouble(), alacak = q.value(4).toDouble();
        balance = IkiHaneYuvarla(balance + borc - alacak);
        const QString side = balance > 0 ? QStringLiteral("B") : balance < 0 ? QStringLiteral("A") : QStringLiteral(" ");
        t.appendRow({carino, day(q.value(0)), q.value(1), q.value(2), borc, alacak, QStringLiteral("TL"), balance, side, q.value(5),
                     q.value(6)});
    }
    return t;
}

DataTable invoiceLines(Database &db, int carino, int idno)
{
    const ColumnSpec columns[] = {
        {"OEMNO", DbxType::WideString}, {"STOKADI", DbxType::WideString}, {"FINISHKOD", DbxType::WideString},
        {"MARKA", DbxType::WideString}, {"MODEL", DbxType::WideString}, {"ANAGRUP", DbxType::WideString},
        {"BIRIM", DbxType::WideString}, {"STOKHAR_MIKTAR", DbxType::Double}, {"STOKHAR_TLBIRIMFIYATI", DbxType::Double},
        {"STOKHAR_TLTUTAR", DbxType::Double}, {"STOKHAR_INDIRIM1", DbxType::Double}, {"STOKHAR_INDIRIM2", DbxType::Double},
        {"KDV", DbxType::Double}, {"STOKHAR_TOPLAMINDIRIM", DbxType::Double}, {"STOKHAR_TOPLAMMASRAF", DbxType::Double},
        {"STOKHAR_NETTLBIRIMFIYATI", DbxType::Double}, {"STOKHAR_NETTLTUTAR", DbxType::Double}, {"OZELKOD", DbxType::WideString},
        {"BARKOD", DbxType::WideString}, {"STOKHAR_HAREKETTARIHI", DbxType::Date}, {"STOKHAR_HAREKETTIPI2", DbxType::WideString},
        {"EVRAKNO", DbxType::WideString}, {"STOKHAR_TLVERGI", DbxType::Double}, {"IRSALIYEEVRAKNO", DbxType::WideString},
        {"STOKHAR_IRSTARIHI", DbxType::Date}, {"SATIRACIKLMASI", DbxType::WideString}, {"STOKHAR_SAAT", DbxType::WideString},
        {"STOKHAR_VADE", DbxType::Int32}, {"SIPARISEVRAKNO", DbxType::WideString}, {"SIPARISTARIHI", DbxType::Date},
        {"IRSALIYETIP2", DbxType::WideString}, {"STOKHAR_INDIRIM3", DbxType::Double}, {"STOKHAR_INDIRIM4", DbxType::Double},
        {"STOKHAR_INDIRIM5", DbxType::Double}, {"STOKHAR_INDIRIM6", DbxType::Double}, {"STOKHAR_INDIRIM7", DbxType::Double},
        {"STOKHAR_INDIRIM8", DbxType::Double}, {"STOKHAR_DOVIZBIRIMFIYATI", DbxType::Double}, {"STOKHAR_DOVIZVERGI", DbxType::Double},
        {"STOKHAR_DOVIZTUTAR", DbxType::Double}, {"STOKHAR_PARTI", DbxType::WideString}, {"STOKHAR_BEDEN", DbxType::WideString},
        {"STOKHAR_RENK", DbxType::WideString}, {"STOKHAR_MASRAF1", DbxType::Double}, {"STOKHAR_MASRAF2", DbxType::Double},
        {"STOKHAR_DOVIZTOPLAMINDIRIM", DbxType::Double}, {"STOKHAR_DOVIZTOPLAMMASRAF", DbxType::Double},
        {"STOKHAR_NETDOVIZBIRIMFIYATI", DbxType::Double}, {"STOKHAR_NETDOVIZTUTAR", DbxType::Double}, {"STOKHAR_KURTL", DbxType::Double},
        {"SATICIADI", DbxType::WideString}, {"SIPARISTIPI", DbxType::Int32}, {"IRSALIYETIPINO", DbxType::Int32},
        {"STOKCARIKOD", DbxType::WideString}, {"SUBE_NO", DbxType::Int32}, {"STOKHAR_CARINO", DbxType::Int32},
        {"KUR_KURSIMGE", DbxType::WideString}, {"URETICIKODU", DbxType::WideString}, {"DPKOD", DbxType::WideString},
        {"ENADI", DbxType::WideString}, {"PKOD", DbxType::WideString}, {"BELGENO", DbxType::WideString}, {"IDNO", DbxType::Int32},
    };
    DataTable t = tableOf(columns);
    QSqlQuery q = db.exec(QStringLiteral(
        "SELECT s.oem_no, s.adi, s.finish_kod, s.marka, s.model, s.ana_grup, s.birim, f.miktar, f.birim_fiyat, f.isk1, f.isk2,"
        "       f.isk3, f.isk4, f.kdv, s.ozel_kod, s.barkod, h.tarih, h.tur, h.evrak, f.irsaliye, h.vade_gun, o.idno, o.tarih,"
        "       coalesce(r.adi, ''), c.kod, s.uretici_kodu, s.dpkod, s.diger_adi, s.pkod, f.sirano"
        "  FROM hareket h JOIN fatura_satir f ON f.fatura = h.idno JOIN stok s ON s.no = f.stok JOIN cari c ON c.no = h.cari"
        "  LEFT JOIN siparis o ON o.idno = h.siparis LEFT JOIN temsilci r ON r.no = h.temsilci"
        " WHERE h.idno = ? AND h.cari = ? ORDER BY f.sirano"),
        {idno, carino});
    while (q.next()) {
        const double miktar = q.value(7).toDouble(), fiyat = q.value(8).toDouble(), kdv = q.value(13).toDouble();
        const double rates[4] = {q.value(9).toDouble(), q.value(10).toDouble(), q.value(11).toDouble(), q.value(12).toDouble()};
        const LineAmounts a = lineAmounts(miktar, fiyat, kdv, rates);
        const QDateTime when = stamp(q.value(16));
        const bool ordered = !q.value(21).isNull();
        const QString orderNo = ordered ? QStringLiteral("SP%1").arg(q.value(21).toInt(), 6, 10, QLatin1Char('0')) : QString();
        const QDate orderDate = ordered ? day(q.value(22)) : when.date();
        t.appendRow({q.value(0), q.value(1), q.value(2), q.value(3), q.value(4), q.value(5), q.value(6), miktar, fiyat,
                     IkiHaneYuvarla(a.gross), rates[0], rates[1], kdv, IkiHaneYuvarla(a.discount), 0.0, a.netUnit,
                     IkiHaneYuvarla(a.net), q.value(14), q.value(15), when.date(), q.value(17), q.value(18), IkiHaneYuvarla(a.vat),
                     q.value(19), when.date(), QString(), when.time().toString(QStringLiteral("HH:mm")), q.value(20), orderNo, orderDate,
                     QStringLiteral("Satış İrsaliyesi"), rates[2], rates[3], 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, QString(), QString(),
                     QString(), 0.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0, q.value(23), 1, 1, q.value(24), 1, carino, QStringLiteral("TL"),
                     q.value(25), q.value(26), q.value(27), q.value(28), q.value(18), q.value(29)});
    }
    return t;
}

DataTable collectionLines(Database &db, int idno)
{
    DataTable t;
    const std::pair<const char16_t *, DbxType> columns[] = {
        {u"Tarih", DbxType::Date},      {u"Türü", DbxType::WideString}, {u"Cins", DbxType::WideString},
        {u"EvrakNo", DbxType::WideString}, {u"Vade", DbxType::Date},    {u"Tutar", DbxType::Double},
        {u"Kur", DbxType::WideString},  {u"KurTL", DbxType::Double},    {u"Açıklama", DbxType::WideString},
        {u"Döviz Tutar", DbxType::Double}, {u"Ref", DbxType::WideString}, {u"Saat", DbxType::WideString}};
    for (const auto &[name, type] : columns)
        t.addColumn(QString::fromUtf16(name), type);
    QSqlQuery q = db.exec(QStringLiteral("SELECT h.tarih, t.turu, t.cins, t.evrak, t.vade, t.tutar, t.aciklama, t.ref, t.saat"
                                         "  FROM hareket h JOIN tahsilat_satir t ON t.hareket = h.idno WHERE h.idno = ? ORDER BY t.sirano"),
                          {idno});
    while (q.next())
        t.appendRow({day(q.value(0)), q.value(1), q.value(2), q.value(3), day(q.value(4)), q.value(5), QStringLiteral("TL"), 1.0,
                     q.value(6), 0.0, q.value(7), q.value(8)});
    return t;
}

QByteArray receiptPdf(Database &db, int sirano)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT p.zaman, c.kod, c.adi, p.tutar, p.kart_sahibi, p.kart_no, p.taksit, p.onay_kodu, h.aciklama"
                                         "  FROM sanalpos p JOIN hareket h ON h.idno = p.hareket JOIN cari c ON c.no = h.cari"
                                         " WHERE p.sirano = ?"),
                          {sirano});
    if (!q.next())
        return {};
    ReceiptData r;
    r.receiptNo = sirano;
    r.date = stamp(q.value(0));
    r.accountCode = q.value(1).toString();
    r.accountName = q.value(2).toString();
    r.amount = q.value(3).toDouble();
    r.cardHolder = q.value(4).toString();
    r.maskedCardNumber = q.value(5).toString();
    r.installments = q.value(6).toInt();
    r.authorisationCode = q.value(7).toString();
    r.description = q.value(8).toString();
    q.finish();
    return cardPaymentReceiptPdf(r);
}

QString overdueWarning(Database &db, int carino)
{
    const double overdue = ageReceivable(db, carino, QDate::currentDate()).overdue();
    if (overdue < 0.01)
        return {};
    return QStringLiteral("Vadesi geçmiş %1 TL bakiyeniz bulunmaktadır. Lütfen ödemenizi yapınız.").arg(turkishAmount(overdue));
}

// ---- the account list of the customer selection ----

// Order states (siparis.durum): 0 Alındı, 1 Görüldü, 2 Onaylandı, 3 Hazırlandı, 4 Parçalı Hazırlandı, 5 Sevk Edildi.
// The selection window's filters 2…7 in that window's order.
int stateOfFilter(int n)
{
    switch (n) {
    case 2: return 0;
    case 3: return 2;
    case 4: return 1;
    case 5: return 4;
    case 6: return 3;
    case 7: return 5;
    default: return -1;
    }
}

struct AccountCounts
{
    int basket = 0;
    int states[6] = {};
};

std::map<int, AccountCounts> accountCounts(Database &db)
{
    std::map<int, AccountCounts> out;
    {
        QSqlQuery q = db.exec(QStringLiteral("SELECT cari, count(*) FROM sepet GROUP BY cari"));
        while (q.next())
            out[q.value(0).toInt()].basket = q.value(1).toInt();
    }
    QSqlQuery q = db.exec(QStringLiteral("SELECT cari, durum, count(*) FROM siparis GROUP BY cari, durum"));
    while (q.next())
        if (const int s = q.value(1).toInt(); s >= 0 && s <= 5)
            out[q.value(0).toInt()].states[s] = q.value(2).toInt();
    return out;
}

// Accounts of `accounts` that filter `n` lists (1: basket lines; 2…7: orders in that state).
QList<int> filtered(Database &db, const QList<int> &accounts, int n)
{
    const int state = stateOfFilter(n);
    if (n != 1 && state < 0)
        refuse(QStringLiteral("Geçersiz liste numarası: %1").arg(n));
    const auto counts = accountCounts(db);
    QList<int> out;
    for (int a : accounts) {
        const auto it = counts.find(a);
        if (it != counts.end() && (n == 1 ? it->second.basket : it->second.states[state]) > 0)
            out << a;
    }
    return out;
}

DataTable accountList(Database &db, const QList<int> &accounts)
{
    const ColumnSpec columns[] = {
        {"CARIKOD", DbxType::WideString}, {"CARIADI", DbxType::WideString}, {"SATICISI", DbxType::WideString},
        {"TLBAKIYE", DbxType::Double}, {"DURUM", DbxType::WideString}, {"SEPET", DbxType::Int32}, {"ALINDI", DbxType::Int32},
        {"ONAYLANDI", DbxType::Int32}, {"GORULDU", DbxType::Int32}, {"HAZIRLANDI", DbxType::Int32},
        {"PARCALIHAZIRLANDI", DbxType::Int32}, {"CARINO", DbxType::Int32}, {"OZELKOD", DbxType::WideString},
        {"KOD1", DbxType::WideString}, {"KOD2", DbxType::WideString}, {"KOD3", DbxType::WideString}, {"KOD4", DbxType::WideString},
        {"KOD5", DbxType::WideString}, {"TEL1", DbxType::WideString}, {"TEL2", DbxType::WideString}, {"ILCE", DbxType::WideString},
        {"IL", DbxType::WideString}, {"GSM", DbxType::WideString}, {"YETKILI", DbxType::WideString}, {"INDIRIM", DbxType::Double},
        {"VADE", DbxType::Int32}, {"VADEKONTROLGUN", DbxType::Int32}, {"VADEKONTROLAY", DbxType::Int32},
        {"VERGIDAIRESI", DbxType::WideString}, {"VERGINO", DbxType::WideString}, {"ADRES1", DbxType::WideString},
        {"ADRES2", DbxType::WideString}, {"ANAGRUP", DbxType::WideString}, {"ALTGRUP", DbxType::WideString},
        {"FAX1", DbxType::WideString}, {"FAX2", DbxType::WideString}, {"EMAIL", DbxType::WideString},
    };
    DataTable t = tableOf(columns);
    const auto counts = accountCounts(db);
    for (int a : accounts) {
        QSqlQuery q = db.exec(QStringLiteral(
            "SELECT c.kod, c.adi, coalesce(r.adi, ''), c.ozel_kod, c.tel1, c.tel2, c.ilce, c.sehir, c.gsm, c.yetkili, c.isk1,"
            "       c.vade_gun, c.vergi_dairesi, c.vergi_no, c.adres1, c.adres2, c.ana_grup, c.alt_grup, c.fax1, c.fax2, c.email"
            "  FROM cari c LEFT JOIN temsilci r ON r.no = c.temsilci WHERE c.no = ?"),
            {a});
        if (!q.next())
            continue;
        const double balance = accountBalance(db, a);
        const auto it = counts.find(a);
        const AccountCounts n = it != counts.end() ? it->second : AccountCounts{};
        t.appendRow({q.value(0), q.value(1), q.value(2), std::abs(balance),
                     balance > 0 ? QStringLiteral("B") : balance < 0 ? QStringLiteral("A") : QString(), n.basket, n.states[0],
                     n.states[2], n.states[1], n.states[3], n.states[4], a, q.value(3), QString(), QString(), QString(), QString(),
                     QString(), q.value(4), q.value(5), q.value(6), q.value(7), q.value(8), q.value(9), q.value(10), q.value(11),
                     q.value(11), 0, q.value(12), q.value(13), q.value(14), q.value(15), q.value(16), q.value(17), q.value(18),
                     q.value(19), q.value(20)});
    }
    return t;
}

// ---- reports ----

QByteArray accountReport(Database &db, const ServerCall &c)
{
    const int report = c.integer("raporno"), carino = c.integer("carino");
    if (report != 6 && report != 7)
        refuse(QStringLiteral("Rapor bulunamadı: %1").arg(report));
    AccountReportData d;
    d.section = c.integer("bolum");
    d.userNo = c.integer("idno");
    d.accountNo = carino;
    d.representative = c.string("saticiadi").trimmed();
    d.dateFrom = dateFromDayCount(c.number("tarih1"));
    d.dateTo = dateFromDayCount(c.number("tarih2"));
    if (d.dateTo < d.dateFrom)
        std::swap(d.dateFrom, d.dateTo);
    d.printedAt = QDateTime::currentDateTime();
    if (carino != 0) {
        requireAccount(db, carino);
        QSqlQuery a = db.exec(QStringLiteral("SELECT kod, adi FROM cari WHERE no = ?"), {carino});
        a.next();
        d.accountCode = a.value(0).toString();
        d.accountName = a.value(1).toString();
    }
    if (report == 6 && carino == 0) {
        // Every account (of one representative when a name is given), by due date on the chosen day.
        const bool all = d.representative.isEmpty() || d.representative == QLatin1String(".");
        QSqlQuery q = db.exec(QStringLiteral("SELECT c.no, c.kod, c.adi, coalesce(r.adi, '') FROM cari c LEFT JOIN temsilci r ON r.no = c.temsilci"
                                             " ORDER BY r.adi, c.kod"));
        std::vector<std::pair<int, ReceivableLine>> rows;
        while (q.next())
            if (all || q.value(3).toString() == d.representative)
                rows.push_back({q.value(0).toInt(), {q.value(1).toString(), q.value(2).toString(), q.value(3).toString()}});
        q.finish();
        for (auto &[no, line] : rows) {
            const Ageing a = ageReceivable(db, no, d.dateTo);
            if (a.total() < 0.01)
                continue;
            line.notDue = a.notDue;
            line.days1to30 = a.days1to30;
            line.days31to60 = a.days31to60;
            line.days61to90 = a.days61to90;
            line.over90 = a.over90;
            d.receivables.push_back(line);
        }
    } else if (report == 6) {
        // The account's year up to the chosen day, with what it brought from the year before.
        const QDate from(d.dateTo.year(), 1, 1);
        d.dateFrom = d.dateTo;
        d.openingBalance = accountBalance(db, carino, from.addDays(-1));
        QSqlQuery q = db.exec(QStringLiteral("SELECT tarih, tur, evrak, aciklama, borc, alacak FROM hareket"
                                             " WHERE cari = ? AND substr(tarih, 1, 10) BETWEEN ? AND ? ORDER BY tarih, idno"),
                              {carino, from.toString(Qt::ISODate), d.dateTo.toString(Qt::ISODate)});
        while (q.next())
            d.movements.push_back({day(q.value(0)), q.value(1).toString(), q.value(2).toString(), q.value(3).toString(),
                                   q.value(4).toDouble(), q.value(5).toDouble()});
    } else {
        // The account's invoices in the period, by the representative who made them.
        QSqlQuery q = db.exec(QStringLiteral("SELECT coalesce(r.adi, ''), h.tarih, h.tur, h.evrak, h.aciklama, h.borc, h.alacak"
                                             "  FROM hareket h LEFT JOIN temsilci r ON r.no = h.temsilci"
                                             " WHERE h.cari = ? AND h.tur LIKE '%Fatura%' AND substr(h.tarih, 1, 10) BETWEEN ? AND ?"
                                             " ORDER BY r.adi, h.tarih, h.idno"),
                              {carino, d.dateFrom.toString(Qt::ISODate), d.dateTo.toString(Qt::ISODate)});
        while (q.next())
            d.trades.push_back({q.value(0).toString(), day(q.value(1)), q.value(2).toString(), q.value(3).toString(), q.value(4).toString(),
                                q.value(5).toDouble(), q.value(6).toDouble()});
    }
    return accountReportPdf(report, d);
}

// Orders of the user's accounts taken between two days (both included).
DataTable ordersTaken(Database &db, const QList<int> &accounts, const QDate &from, const QDate &to)
{
    const ColumnSpec columns[] = {{"SATICIADI", DbxType::WideString}, {"IDNO", DbxType::Double}, {"CARINO", DbxType::Int32},
                              {"TARIH", DbxType::Date}, {"KUR", DbxType::WideString}, {"KURTL", DbxType::Double},
                              {"VERENIDNO", DbxType::Int32}, {"KARGO", DbxType::WideString}, {"TESLIM", DbxType::WideString},
                              {"VEREN", DbxType::WideString}, {"CARIKOD", DbxType::WideString}, {"CARIADI", DbxType::WideString},
                              {"DURUM", DbxType::WideString}, {"KARGOADI", DbxType::WideString}, {"VERGI", DbxType::Double},
                              {"NETTUTAR", DbxType::Double}, {"TUTAR", DbxType::Double}};
    DataTable t = tableOf(columns);
    for (int a : accounts) {
        const std::map<qlonglong, OrderTotals> totals = orderTotals(db, a);
        QSqlQuery q = db.exec(QStringLiteral(
            "SELECT coalesce(r.adi, ''), o.idno, o.tarih, coalesce(o.veren, 0), kt.adi, ts.adi, coalesce(k.adi, ''), c.kod, c.adi,"
            "       o.durum, kf.adi"
            "  FROM siparis o JOIN cari c ON c.no = o.cari LEFT JOIN temsilci r ON r.no = c.temsilci"
            "  JOIN teslim_sekli ts ON ts.no = o.teslim JOIN kargo_turu kt ON kt.no = o.kargo_turu"
            "  JOIN kargo_firma kf ON kf.no = o.kargo_firma LEFT JOIN kullanici k ON k.sirano = o.veren"
            " WHERE o.cari = ? AND substr(o.tarih, 1, 10) BETWEEN ? AND ? ORDER BY o.idno"),
            {a, from.toString(Qt::ISODate), to.toString(Qt::ISODate)});
        while (q.next()) {
            const auto it = totals.find(q.value(1).toLongLong());
            const OrderTotals sum = it != totals.end() ? it->second : OrderTotals{};
            t.appendRow({q.value(0), q.value(1).toDouble(), a, day(q.value(2)), QStringLiteral("TL"), 1.0, q.value(3), q.value(4), q.value(5),
                         q.value(6), q.value(7), q.value(8), orderStateText(q.value(9).toInt()), q.value(10),
                         IkiHaneYuvarla(sum.vergi), IkiHaneYuvarla(sum.net), IkiHaneYuvarla(sum.tutar)});
        }
    }
    return t;
}

// Stocks ordered by the user's accounts between two days, the most sold first.
DataTable stocksSold(Database &db, const QList<int> &accounts, const QDate &from, const QDate &to)
{
    const ColumnSpec columns[] = {{"BARKOD", DbxType::WideString}, {"KOD", DbxType::WideString},   {"ADI", DbxType::WideString},
                              {"DEPARTMAN", DbxType::WideString}, {"MIKTAR", DbxType::Double}, {"NETTUTAR", DbxType::Double},
                              {"TLVERGI", DbxType::Double},     {"TUTAR", DbxType::Double}};
    struct Sold
    {
        QString barkod, kod, adi, departman;
        double miktar = 0, net = 0, vergi = 0, tutar = 0;
    };
    std::map<int, Sold> sold;
    for (int a : accounts) {
        QSqlQuery q = db.exec(QStringLiteral(
            "SELECT s.no, s.barkod, s.kod, s.adi, s.ana_grup, l.miktar, l.birim_fiyat, l.kdv, l.isk1, l.isk2, l.isk3, l.isk4"
            "  FROM siparis o JOIN siparis_satir l ON l.siparis = o.idno JOIN stok s ON s.no = l.stok"
            " WHERE o.cari = ? AND substr(o.tarih, 1, 10) BETWEEN ? AND ?"),
            {a, from.toString(Qt::ISODate), to.toString(Qt::ISODate)});
        while (q.next()) {
            Sold &s = sold[q.value(0).toInt()];
            s.barkod = q.value(1).toString();
            s.kod = q.value(2).toString();
            s.adi = q.value(3).toString();
            s.departman = q.value(4).toString();
            const double rates[4] = {q.value(8).toDouble(), q.value(9).toDouble(), q.value(10).toDouble(), q.value(11).toDouble()};
            const LineAmounts x = lineAmounts(q.value(5).toDouble(), q.value(6).toDouble(), q.value(7).toDouble(), rates);
            s.miktar += q.value(5).toDouble();
            s.net += x.net;
            s.vergi += x.vat;
            s.tutar += x.gross;
        }
    }
    std::vector<const Sold *> order;
    for (const auto &[no, s] : sold)
        order.push_back(&s);
    std::stable_sort(order.begin(), order.end(), [](const Sold *a, const Sold *b) { return a->miktar > b->miktar; });
    DataTable t = tableOf(columns);
    for (const Sold *s : order)
        t.appendRow({s->barkod, s->kod, s->adi, s->departman, s->miktar, IkiHaneYuvarla(s->net), IkiHaneYuvarla(s->vergi),
                     IkiHaneYuvarla(s->tutar)});
    return t;
}

// ---- mail ----

// Lines of a message sent in comma-text form: commas outside double quotes separate the lines, a quoted
// line has its inner quotes doubled.
QStringList commaTextLines(const QString &text)
{
    QStringList lines;
    QString current;
    bool quoted = false, wasQuoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar ch = text[i];
        if (quoted) {
            if (ch == u'"') {
                if (i + 1 < text.size() && text[i + 1] == u'"') {
                    current += u'"';
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                current += ch;
            }
        } else if (ch == u'"' && current.isEmpty() && !wasQuoted) {
            quoted = wasQuoted = true;
        } else if (ch == u',') {
            lines << current;
            current.clear();
            wasQuoted = false;
        } else {
            current += ch;
        }
    }
    if (!text.isEmpty())
        lines << current;
    return lines;
}

void fileInOutbox(Database &db, const QString &kind, const QString &machine, const QJsonObject &content)
{
    db.transaction([&](QSqlDatabase &) {
        db.exec(QStringLiteral("INSERT INTO giden (tur, kimlik, icerik) VALUES (?, ?, ?)"),
                {kind, machine, QString::fromUtf8(QJsonDocument(content).toJson(QJsonDocument::Compact))});
    });
}

QJsonObject mailFields(const ServerCall &c, std::initializer_list<const char *> names)
{
    QJsonObject o;
    for (const char *name : names) {
        const QString value = c.string(name);
        if (value.size() > 20000)
            refuse(QStringLiteral("'%1' çok uzun (%2 karakter)").arg(QString::fromLatin1(name)).arg(value.size()));
        o.insert(QString::fromLatin1(name), value);
    }
    return o;
}

} // namespace

void addAccounts(Dispatcher &d, const std::shared_ptr<Database> &db)
{
    d.add(MethodId::CariEkstreVer, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        requireAccount(*db, carino);
        c.setResult(statement(*db, carino));
    });

    d.add(MethodId::FaturaGetir, [db](ServerCall &c) {
        const int carino = c.integer("carino"), idno = c.integer("idnosu");
        DataTable t = invoiceLines(*db, carino, idno);
        if (t.rowCount() == 0)
            refuse(QStringLiteral("Fatura bulunamadı: %1").arg(idno));
        c.setResult(std::move(t));
    });

    d.add(MethodId::FaturaAltGetir, [db](ServerCall &c) {
        const int idno = c.integer("idnosu");
        {
            QSqlQuery q = db->exec(QStringLiteral("SELECT 1 FROM fatura_satir WHERE fatura = ? LIMIT 1"), {idno});
            if (!q.next())
                refuse(QStringLiteral("Fatura bulunamadı: %1").arg(idno));
        }
        const InvoiceTotals s = invoiceTotals(*db, idno);
        const ColumnSpec columns[] = {{"TOPLAM", DbxType::Double}, {"TOPLAMINDIRIM", DbxType::Double}, {"MATRAH", DbxType::Double},
                                  {"KDVTUTAR", DbxType::Double}, {"KDVDAHIL", DbxType::Double}};
        DataTable t = tableOf(columns);
        t.appendRow({s.toplam, s.indirim, s.matrah, s.kdv, s.kdvDahil});
        c.setResult(std::move(t));
    });

    d.add(MethodId::Tahsilat, [db](ServerCall &c) {
        const int idno = c.integer("idnosu");
        DataTable t = collectionLines(*db, idno);
        if (t.rowCount() == 0)
            refuse(QStringLiteral("Tahsilat bulunamadı: %1").arg(idno));
        c.setResult(std::move(t));
    });

    d.add(MethodId::SanalposSiranoVer, [db](ServerCall &c) {
        QSqlQuery q = db->exec(QStringLiteral("SELECT sirano FROM sanalpos WHERE hareket = ?"), {c.integer("idnosu")});
        c.setResult(std::int32_t(q.next() ? q.value(0).toInt() : 0));
    });

    d.add(MethodId::SAnalPosPdfVer, [db](ServerCall &c) {
        const QByteArray pdf = receiptPdf(*db, c.integer("sirano"));
        c.setOut("boy", std::int64_t(pdf.size()));
        c.setResult(StreamValue{pdf});
    });

    d.add(MethodId::CariVadeGunGecmismiBul, [db](ServerCall &c) {
        const int carino = c.integer("carino");
        requireAccount(*db, carino);
        c.setResult(overdueWarning(*db, carino));
    });

    d.add(MethodId::CariAra, [db](ServerCall &c) {
        const QList<int> visible = visibleAccounts(*db, c.objectAs<TSonucBilgisi>("bil"));
        const QString term = c.string("aranan");
        if (term.size() > 200)
            refuse(QStringLiteral("Aranan metin çok uzun"));
        const QString key = foldText(term).simplified();
        QList<int> found;
        for (int a : visible) {
            if (key.isEmpty()) {
                found << a;
                continue;
            }
            QSqlQuery q = db->exec(QStringLiteral("SELECT kod, adi FROM cari WHERE no = ?"), {a});
            if (q.next() && foldText(QString(q.value(0).toString() + u' ' + q.value(1).toString())).simplified().contains(key))
                found << a;
        }
        c.setResult(accountList(*db, found));
    });

    d.add(MethodId::CariSepetVer, [db](ServerCall &c) {
        const QList<int> visible = visibleAccounts(*db, c.objectAs<TSonucBilgisi>("bil"));
        c.setResult(accountList(*db, filtered(*db, visible, c.integer("n"))));
    });

    d.add(MethodId::SepetSayisi, [db](ServerCall &c) {
        const QList<int> visible = visibleAccounts(*db, c.objectAs<TSonucBilgisi>("bil"));
        c.setResult(std::int32_t(filtered(*db, visible, 1).size()));
    });

    d.add(MethodId::TusSonuclariVer, [db](ServerCall &c) {
        const QList<int> visible = visibleAccounts(*db, c.objectAs<TSonucBilgisi>("bil"));
        auto t = std::make_unique<TTusSonuclari>();
        t->setAlindi(std::int32_t(filtered(*db, visible, 2).size()));
        t->setOnaylandi(std::int32_t(filtered(*db, visible, 3).size()));
        t->setGoruldu(std::int32_t(filtered(*db, visible, 4).size()));
        t->setParcaliHazirlandi(std::int32_t(filtered(*db, visible, 5).size()));
        t->setHazirlandi(std::int32_t(filtered(*db, visible, 6).size()));
        t->setSevkEdildi(std::int32_t(filtered(*db, visible, 7).size()));
        c.setResult(std::unique_ptr<TransferObject>(std::move(t)));
    });

    d.add(MethodId::RaporGetir, [db](ServerCall &c) {
        const QByteArray pdf = accountReport(*db, c);
        c.setOut("size", std::int64_t(pdf.size()));
        c.setResult(StreamValue{pdf});
    });

    d.add(MethodId::RaporAlinanSiparisler, [db](ServerCall &c) {
        const QList<int> visible = visibleAccounts(*db, c.objectAs<TSonucBilgisi>("bilgi"));
        c.setResult(ordersTaken(*db, visible, dateFromDayCount(c.number("tarih1")), dateFromDayCount(c.number("tarih2"))));
    });

    d.add(MethodId::RaporEnCokSatilanStoklar, [db](ServerCall &c) {
        const QList<int> visible = visibleAccounts(*db, c.objectAs<TSonucBilgisi>("bilgi"));
        c.setResult(stocksSold(*db, visible, dateFromDayCount(c.number("tarih1")), dateFromDayCount(c.number("tarih2"))));
    });

    // The contact data of the account this machine belongs to; empty fields for an unknown machine.
    d.add(MethodId::MobilCariBilgisiGetir, [db](ServerCall &c) {
        auto m = std::make_unique<TMobilCariBilgisi>();
        const QString machine = c.string("_idsi").trimmed();
        m->setBILGISAYARID(machine);
        QSqlQuery q = db->exec(QStringLiteral(
            "SELECT k.adi, k.mail, c.no, c.kod, c.adi, c.adres1, c.adres2, c.ilce, c.sehir, c.ulke, c.tel1, c.tel2, c.gsm, c.fax1,"
            "       c.fax2, c.email, c.vergi_dairesi, c.vergi_no, c.yetkili, c.ana_grup, c.alt_grup, c.ozel_kod,"
            "       coalesce(r.adi, ''), coalesce(r.telefon, ''), coalesce(r.mail, '')"
            "  FROM makine m JOIN kullanici k ON k.sirano = m.kullanici LEFT JOIN cari c ON c.no = k.cari"
            "  LEFT JOIN temsilci r ON r.no = coalesce(c.temsilci, k.temsilci)"
            " WHERE m.kimlik = ?"),
            {machine});
        if (q.next()) {
            m->setKULLANICIADI(q.value(0).toString());
            m->setMAIL(q.value(1).toString());
            const int carino = q.value(2).toInt();
            m->setCARINO(carino);
            m->setCARIKOD(q.value(3).toString());
            m->setCARIADI(q.value(4).toString());
            m->setADRES1(q.value(5).toString());
            m->setADRES2(q.value(6).toString());
            m->setILCE(q.value(7).toString());
            m->setSEHIR(q.value(8).toString());
            m->setULKE(q.value(9).toString());
            m->setTEL1(q.value(10).toString());
            m->setTEL2(q.value(11).toString());
            m->setGSM(q.value(12).toString());
            m->setFAX1(q.value(13).toString());
            m->setFAX2(q.value(14).toString());
            m->setEMAIL(q.value(15).toString());
            m->setVERGIDAIRESI(q.value(16).toString());
            m->setVERGINO(q.value(17).toString());
            m->setYETKILI(q.value(18).toString());
            m->setAnaGrup(q.value(19).toString());
            m->setAltGrup(q.value(20).toString());
            m->setOzelKod(q.value(21).toString());
            m->setSATICIADI(q.value(22).toString());
            m->setSATICITELEFON(q.value(23).toString());
            m->setSATICIMAIL(q.value(24).toString());
            q.finish();
            if (carino > 0) {
                QSqlQuery s = db->exec(QStringLiteral("SELECT total(borc), total(alacak) FROM hareket WHERE cari = ?"), {carino});
                if (s.next()) {
                    m->setTLBORC(IkiHaneYuvarla(s.value(0).toDouble()));
                    m->setTLALACAK(IkiHaneYuvarla(s.value(1).toDouble()));
                    m->setTLBAKIYE(IkiHaneYuvarla(s.value(0).toDouble() - s.value(1).toDouble()));
                }
            }
            // The password stays on the server: a mail to the distributor has no use for it.
        }
        c.setResult(std::unique_ptr<TransferObject>(std::move(m)));
    });

    d.add(MethodId::MailGonserCariNormal, [db](ServerCall &c) {
        QJsonObject mail = mailFields(c, {"idsi", "baslik", "firmaadi", "adres1", "adres2", "ilce", "sehir", "telefon", "fax", "vd",
                                          "vn", "yetkili", "kullaniciadi", "sifre", "mail", "kargoambar", "konu"});
        mail.remove(QStringLiteral("sifre"));
        mail.insert(QStringLiteral("satirlar"), QJsonArray::fromStringList(commaTextLines(c.string("konu"))));
        fileInOutbox(*db, QStringLiteral("mail"), c.string("idsi").trimmed(), mail);
        c.setResult(std::int32_t(1));
    });

    // A password change request: filed for the distributor's people, who apply it.
    d.add(MethodId::MailGonserCari, [db](ServerCall &c) {
        const QJsonObject request = mailFields(c, {"idsi", "baslik", "firmaadi", "adres1", "adres2", "ilce", "sehir", "telefon", "fax",
                                                   "vd", "vn", "yetkili", "kullaniciadi", "sifre", "mail", "kargoambar"});
        if (c.string("kullaniciadi").trimmed().isEmpty() || c.string("sifre").trimmed().isEmpty())
            refuse(QStringLiteral("Kullanıcı adı ve yeni şifre boş olamaz"));
        fileInOutbox(*db, QStringLiteral("şifre değiştirme"), c.string("idsi").trimmed(), request);
        c.setResult(std::int32_t(1));
    });
}

} // namespace tarvik::server
