#pragma once

#include "rpc_server.h"

#include "datatable.h"

#include <QString>

#include <map>
#include <memory>

namespace tarvik::server {

class Database;

// The handlers of the methods this server serves. Without a database only the methods that need none.
std::shared_ptr<Dispatcher> makeDispatcher(std::shared_ptr<Database> database = nullptr);

void addIdentityAndCatalogue(Dispatcher &dispatcher, const std::shared_ptr<Database> &database);
void addBasket(Dispatcher &dispatcher, const std::shared_ptr<Database> &database);
void addOrders(Dispatcher &dispatcher, const std::shared_ptr<Database> &database);
void addAccounts(Dispatcher &dispatcher, const std::shared_ptr<Database> &database);
void addPublishing(Dispatcher &dispatcher, const std::shared_ptr<Database> &database);

// The amounts of a basket line, as the stock dialog computes them: gross, discount (rates one after
// another, not rounded), net, net unit price, line total with VAT and the VAT in it.
struct LineAmounts
{
    double gross = 0, discount = 0, net = 0, netUnit = 0, total = 0, vat = 0;
};
LineAmounts lineAmounts(double quantity, double price, double vat, const double rates[4]);

// A discount rate as the lists write it: "10", "2,5".
QString rateText(double rate);
// The discount column of a line or stock: its rates joined ("10+5", "0" for none), or `campaignText` for a
// campaign price.
QString discountText(const double rates[4], bool campaign, const QString &campaignText);
// Raises a clear error (class EDatabaseError) when there is no account `carino`.
void requireAccount(Database &db, int carino);

// A result column: its name and its type on the wire.
struct ColumnSpec
{
    const char *name;
    DbxType type;
};
template<std::size_t N>
DataTable tableOf(const ColumnSpec (&columns)[N])
{
    DataTable t;
    for (const ColumnSpec &c : columns)
        t.addColumn(QString::fromLatin1(c.name), c.type);
    return t;
}

// The text of an order state: 0 Alındı, 1 Görüldü, 2 Onaylandı, 3 Hazırlandı, 4 Parçalı Hazırlandı,
// 5 Sevk Edildi; empty for anything else.
QString orderStateText(int durum);

// The amounts of each order of an account from its lines, computed as the lines show them (not rounded).
struct OrderTotals
{
    double tutar = 0, net = 0, vergi = 0;
};
std::map<qlonglong, OrderTotals> orderTotals(Database &db, int carino);

} // namespace tarvik::server
