#include "ledger.h"

#include "database.h"
#include "errors.h"
#include "money.h"
#include "server_methods.h"
#include "transfer_objects.h"

#include <QSqlQuery>

#include <cmath>
#include <deque>

namespace tarvik::server {

InvoiceTotals invoiceTotals(Database &db, qlonglong invoice)
{
    InvoiceTotals t;
    QSqlQuery q = db.exec(QStringLiteral("SELECT miktar, birim_fiyat, kdv, isk1, isk2, isk3, isk4 FROM fatura_satir WHERE fatura = ?"),
                          {invoice});
    while (q.next()) {
        const double rates[4] = {q.value(3).toDouble(), q.value(4).toDouble(), q.value(5).toDouble(), q.value(6).toDouble()};
        const LineAmounts a = lineAmounts(q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toDouble(), rates);
        t.toplam += a.gross;
        t.indirim += a.discount;
        t.kdv += a.vat;
    }
    t.toplam = IkiHaneYuvarla(t.toplam);
    t.indirim = IkiHaneYuvarla(t.indirim);
    t.kdv = IkiHaneYuvarla(t.kdv);
    t.matrah = IkiHaneYuvarla(t.toplam - t.indirim);
    t.kdvDahil = IkiHaneYuvarla(t.matrah + t.kdv);
    return t;
}

double accountBalance(Database &db, int carino, const QDate &upTo)
{
    QSqlQuery q = upTo.isValid()
                      ? db.exec(QStringLiteral("SELECT total(borc) - total(alacak) FROM hareket WHERE cari = ? AND substr(tarih, 1, 10) <= ?"),
                                {carino, upTo.toString(Qt::ISODate)})
                      : db.exec(QStringLiteral("SELECT total(borc) - total(alacak) FROM hareket WHERE cari = ?"), {carino});
    return q.next() ? IkiHaneYuvarla(q.value(0).toDouble()) : 0.0;
}

Ageing ageReceivable(Database &db, int carino, const QDate &asOf)
{
    struct Debit
    {
        QDate due;
        double open;
    };
    std::deque<Debit> debits;
    double credit = 0;
    QSqlQuery q = db.exec(QStringLiteral("SELECT tarih, borc, alacak, vade_gun FROM hareket WHERE cari = ? AND substr(tarih, 1, 10) <= ?"
                                         " ORDER BY tarih, idno"),
                          {carino, asOf.toString(Qt::ISODate)});
    while (q.next()) {
        const QDate day = QDate::fromString(q.value(0).toString().left(10), Qt::ISODate);
        if (const double borc = q.value(1).toDouble(); borc > 0)
            debits.push_back({day.addDays(q.value(3).toInt()), borc});
        credit += q.value(2).toDouble();
        // Credits pay the oldest debits first; what is left over waits for the next debit.
        while (credit > 0 && !debits.empty()) {
            const double paid = std::min(credit, debits.front().open);
            debits.front().open -= paid;
            credit -= paid;
            if (debits.front().open < 0.005)
                debits.pop_front();
        }
    }
    Ageing a;
    for (const Debit &d : debits) {
        const qint64 late = d.due.daysTo(asOf);
        double &bucket = late <= 0 ? a.notDue : late <= 30 ? a.days1to30 : late <= 60 ? a.days31to60 : late <= 90 ? a.days61to90 : a.over90;
        bucket += d.open;
    }
    for (double *v : {&a.notDue, &a.days1to30, &a.days31to60, &a.days61to90, &a.over90})
        *v = IkiHaneYuvarla(*v);
    return a;
}

QList<int> visibleAccounts(Database &db, const TSonucBilgisi *identity)
{
    if (!identity)
        throw RemoteError(QStringLiteral("EAccountError"), QStringLiteral("Kimlik bilgisi gönderilmedi"));
    QSqlQuery user = db.exec(QStringLiteral("SELECT tip, coalesce(cari, 0), coalesce(temsilci, 0) FROM kullanici WHERE sirano = ? AND aktif = 1"),
                             {identity->Sirano()});
    if (!user.next())
        throw RemoteError(QStringLiteral("EAccountError"), QStringLiteral("Kullanıcı bulunamadı: %1").arg(identity->Sirano()));
    const int type = user.value(0).toInt(), own = user.value(1).toInt(), rep = user.value(2).toInt();
    user.finish();
    QSqlQuery q = type == 2   ? db.exec(QStringLiteral("SELECT no FROM cari ORDER BY kod"))
                  : type == 1 ? db.exec(QStringLiteral("SELECT no FROM cari WHERE temsilci = ? ORDER BY kod"), {rep})
                              : db.exec(QStringLiteral("SELECT no FROM cari WHERE no = ?"), {own});
    QList<int> out;
    while (q.next())
        out << q.value(0).toInt();
    return out;
}

QDate dateFromDayCount(double days)
{
    // 1 January 1900 … 31 December 9999.
    if (!std::isfinite(days) || days < 2 || days >= 2958466)
        throw RemoteError(QStringLiteral("EConvertError"), QStringLiteral("Geçersiz tarih: %1").arg(days));
    return QDate(1899, 12, 30).addDays(static_cast<qint64>(std::floor(days)));
}

} // namespace tarvik::server
