#pragma once

// The PDF documents the server hands out: the receipt of a card payment made through the virtual POS
// (SAnalPosPdfVer) and the account reports a representative asks for (RaporGetir 6 and 7).
//
// A4, Turkish text, amounts as 1.234,50. Drawn with QPdfWriter, so a QGuiApplication must exist (fonts);
// without one the generators throw DocumentError. The bytes are not repeatable: the writer stamps the
// current time and orders its embedded fonts as it likes; what the pages show depends on the data only.

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

#include <stdexcept>
#include <vector>

namespace tarvik::server {

class DocumentError : public std::runtime_error
{
public:
    explicit DocumentError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// The distributor, as it heads every document.
struct CompanyInfo
{
    QString name = QStringLiteral("TARVİK OTOMOTİV YEDEK PARÇA SAN. VE TİC. A.Ş.");
    QString address = QStringLiteral("Ostim OSB 1234. Cadde No: 56, Yenimahalle / ANKARA");
    QString phone = QStringLiteral("0 (312) 555 12 34");
    QString taxOffice = QStringLiteral("Ostim");
    QString taxNo = QStringLiteral("8610012345");
    QString web = QStringLiteral("www.tarvik.example");
};

// ---- Card payment receipt ----

struct ReceiptData
{
    int receiptNo = 0;          // the virtual POS payment number (SanalposSiranoVer)
    QDateTime date;             // when the payment was taken
    QString accountCode;
    QString accountName;
    double amount = 0;
    QString currency = QStringLiteral("TL");
    QString cardHolder;
    QString maskedCardNumber;   // "**** **** **** 1234"; only the last four digits are ever printed
    int installments = 1;       // 1 = single payment
    QString authorisationCode;
    QString description;
    CompanyInfo company;
};

// A one-page "Tahsilat Makbuzu / Sanal POS Dekontu".
QByteArray cardPaymentReceiptPdf(const ReceiptData &data);

// ---- Account reports ----

// Report 6 for one account: a movement of the account statement.
struct StatementLine
{
    QDate date;
    QString kind;          // "Satış Faturası", "Tahsilat", …
    QString document;      // document number
    QString description;
    double debit = 0;      // borç
    double credit = 0;     // alacak
};

// Report 6 over all accounts (account number 0): the receivable of one account by due date.
struct ReceivableLine
{
    QString accountCode;
    QString accountName;
    QString representative;
    double notDue = 0;      // vadesi gelmemiş
    double days1to30 = 0;   // vadesi 1–30 gün geçmiş
    double days31to60 = 0;
    double days61to90 = 0;
    double over90 = 0;
};

// Report 7: one purchase or sale document of the account, with the representative who made it.
struct TradeLine
{
    QString representative;
    QDate date;
    QString kind;          // "Satış Faturası", "Alış Faturası", "Satış İade", …
    QString document;
    QString description;
    double sale = 0;       // satış tutarı
    double purchase = 0;   // alış (or return) tutarı
};

struct AccountReportData
{
    // What the client asked for (RaporGetir's parameters).
    int section = 0;
    int userNo = 0;
    int accountNo = 0;            // 0 with report 6: every account ("Cari Toplu Alacak Vadeleri")
    QString representative;       // "." or empty: every representative
    QDate dateFrom;
    QDate dateTo;                 // equal to dateFrom (or dateFrom invalid): "as of" that day
    // The account (when accountNo is not 0).
    QString accountCode;
    QString accountName;
    // When the report was made; printed in the footer (an invalid value prints nothing).
    QDateTime printedAt;
    // Report 6, one account: balance brought forward (debit positive) and the movements, oldest first.
    double openingBalance = 0;
    std::vector<StatementLine> movements;
    // Report 6, every account: one line per account, grouped by representative in the order given.
    std::vector<ReceivableLine> receivables;
    // Report 7: the documents, grouped by representative in the order given.
    std::vector<TradeLine> trades;
    CompanyInfo company;
};

// Report 6: "Cari Özeti" (one account's statement with a running balance) or, for account 0,
// "Cari Toplu Alacak Vadeleri"; report 7: "Cari Alış Satış Tablosu (Satıcılı)". Several pages when the
// rows need them, each with the page header, the column titles and "Sayfa n / N". Any other report
// number: DocumentError.
QByteArray accountReportPdf(int reportNo, const AccountReportData &data);

// ---- Helpers the documents use, offered to the server as well ----

// 1234.5 → "1.234,50"; -0.001 → "0,00".
QString turkishAmount(double value);
// Keeps the last four digits only: "4543 1234 5678 9012" or "****1234" → "**** **** **** 9012" / "… 1234".
QString maskCardNumber(const QString &cardNumber);
// 1234.5 → "bin iki yüz otuz dört Türk lirası elli kuruş"; 0 → "sıfır Türk lirası".
QString amountInWords(double amount);

} // namespace tarvik::server
