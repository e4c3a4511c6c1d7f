#pragma once
// The account side shared by the methods and the demo seeding: invoice totals, balances, the ageing of
// what an account owes, and which accounts a user may see.

#include <QDate>
#include <QList>

class TSonucBilgisi;

namespace tarvik::server {

class Database;

// The totals of an invoice from its lines, computed line by line as the basket computes a line.
struct InvoiceTotals
{
    double toplam = 0;   // gross
    double indirim = 0;  // discounts
    double matrah = 0;   // tax base: toplam − indirim
    double kdv = 0;      // VAT
    double kdvDahil = 0; // matrah + kdv, what the statement debits
};
InvoiceTotals invoiceTotals(Database &db, qlonglong invoice);

// Σ(borç − alacak) of the account's movements up to and including `upTo` (all when invalid). Above 0: the
// account owes.
double accountBalance(Database &db, int carino, const QDate &upTo = {});

// What the account owes on `asOf`, by how far past its due date (invoice date + its term): debits are paid
// off oldest first by the credits.
struct Ageing
{
    double notDue = 0, days1to30 = 0, days31to60 = 0, days61to90 = 0, over90 = 0;
    double overdue() const { return days1to30 + days31to60 + days61to90 + over90; }
    double total() const { return notDue + overdue(); }
};
Ageing ageReceivable(Database &db, int carino, const QDate &asOf);

// The accounts the user of an identity record may work with, in account-code order: a representative
// with pricing rights (type 2) every account, a representative (type 1) the accounts he looks after, any
// other user his own account. Raises a clear error for a missing record or an unknown user.
QList<int> visibleAccounts(Database &db, const TSonucBilgisi *identity);

// A date the reports receive as a day count (days since 30 December 1899, the time of day cut off).
// Raises a clear error for a value that is not a date.
QDate dateFromDayCount(double days);

} // namespace tarvik::server
