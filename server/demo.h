#pragma once

#include "database.h"

#include <QDate>
#include <QString>

namespace tarvik::server {

// Fills an empty database with a believable distributor: representatives, dealer accounts with their
// discounts, demo users and a stock catalogue of `stocks` items over invented brands. Deterministic:
// the same seed gives the same data. Does nothing when the catalogue already has stocks.
void seedDemo(Database &db, int stocks = 20000, quint64 seed = 20261211);

// The demo distributor's year up to `today`: orders with partial deliveries, invoices, collections (some by
// card), the published news text, banners, adverts and announcements. Part of seedDemo; needs the
// accounts and `stocks` stocks in place and a QGuiApplication (the pictures are drawn).
void seedDemoHistory(Database &db, int stocks, quint64 seed, const QDate &today);

// The demo users, by the name --demo-user takes: dealer, rep1, rep2, type3, type4.
struct DemoUser
{
    const char *role;
    const char *name;     // as typed at login (upper case)
    const char *password;
    int type;             // MusteriTipi
};
const std::vector<DemoUser> &demoUsers();

// Registers `machineId` for the demo user `role` (a former registration of that machine is replaced).
// Returns false when there is no such role.
bool registerDemoMachine(Database &db, const QString &role, const QString &machineId);

// Keeps the search index in step with one stock row (after an insert or a change of its codes or names).
void indexStock(Database &db, int stockNo);

} // namespace tarvik::server
