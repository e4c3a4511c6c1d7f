#pragma once

// The distributor's small web site, served next to the application server over plain HTTP:
//   GET  /                      the firm's front page
//   GET  /resimgoster.ashx?id=N a stock's picture (the client's stock dialog fetches it)
//   GET  /formmailgonder.aspx?carino=0&kullanici= &id=MACHINE
//                               the request form the client opens for a machine the server does not
//                               know; POST to the same address files the dealer's details
//   GET  /exe/TarvikSetup.exe   the setup program the client's updater downloads
// Everything else is 404. The site knows nothing about the database: pictures, the outbox for requests
// and the setup file come in through the providers it is built with. It runs on the thread that creates
// it (that thread needs an event loop), and the providers are called there.

#include <QByteArray>
#include <QHostAddress>
#include <QString>

#include <functional>
#include <memory>
#include <optional>

namespace tarvik::server {

// What a dealer sent with the request form. Texts are as typed, with blanks trimmed at both ends.
struct RequestForm
{
    QString machineId;     // the machine identity from the form's address (id=)
    QString companyName;   // "Firma Adı" (required)
    QString contactPerson; // "Yetkili Kişi"
    QString phone;         // "Telefon" (required)
    QString email;         // "E-posta"
    QString city;          // "İl / İlçe"
    QString address;       // "Adres"
    QString taxOffice;     // "Vergi Dairesi"
    QString taxNumber;     // "Vergi No"
    QString note;          // "Notunuz"
    QString remoteAddress; // the address the form was sent from, for the record

    bool operator==(const RequestForm &) const = default;
};

class WebSite
{
public:
    // The bytes of a stock's picture (JPEG), nullopt when the stock or its picture does not exist.
    // May throw: the request then gets a 500.
    using PictureProvider = std::function<std::optional<QByteArray>(int stokNo)>;
    // Files a request form (into the outbox). Throws when it cannot; the dealer then sees an error page
    // with the form still filled in.
    using RequestStore = std::function<void(const RequestForm &)>;

    // `setupFile` is the path of the setup program served as /exe/TarvikSetup.exe; empty for none.
    WebSite(PictureProvider picture, RequestStore storeRequest, QString setupFile = {});
    ~WebSite();
    WebSite(const WebSite &) = delete;
    WebSite &operator=(const WebSite &) = delete;

    // Starts listening; port 0 takes an ephemeral port. Returns false with `error` set when it cannot
    // (also when it is already listening).
    bool listen(const QHostAddress &address, quint16 port, QString *error);
    // Where it listens (null address and 0 before a successful listen()).
    QHostAddress address() const;
    quint16 port() const;

    // Longest text accepted in one field of the request form, in characters.
    static constexpr qsizetype kMaxFieldLength = 500;
    // Largest request body accepted (the form posts well under this).
    static constexpr qsizetype kMaxBodySize = 64 * 1024;

private:
    class Server;
    std::unique_ptr<Server> server_;
};

} // namespace tarvik::server
