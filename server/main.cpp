// tarvik-server: the substitute application server.
//   tarvik-server [--listen HOST:PORT] [--http HOST:PORT] [--setup FILE] [--db FILE] [--demo [--demo-user ROLE]]
//   tarvik-server notify [--server HOST:PORT] [JSON]   makes the running server notify every registered
//                                                      client and prints how many answered true

#include "connection.h"
#include "database.h"
#include "artwork.h"
#include "demo.h"
#include "web_site.h"
#include "localenv.h"
#include "errors.h"
#include "frame_socket.h"
#include "json_writer.h"
#include "rpc_server.h"
#include "server_methods.h"

#include <QGuiApplication>
#include <QJsonObject>
#include <QSqlError>
#include <QSqlQuery>
#include <QJsonDocument>
#include <QTcpSocket>
#include <QSocketNotifier>

#include <csignal>
#include <memory>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 1;
    [[maybe_unused]] auto n = ::write(signalPipe[1], &c, 1);
}

int usage(const char *error)
{
    if (error)
        std::fprintf(stderr, "tarvik-server: %s\n", error);
    std::fprintf(stderr, "usage: tarvik-server [--listen HOST:PORT] [--http HOST:PORT] [--setup FILE] [--db FILE]\n"
                         "                     [--demo [--demo-user dealer|rep1|rep2|type3|type4]]\n"
                         "       tarvik-server notify [--server HOST:PORT] [JSON]\n");
    return 2;
}

// tarvik-server notify: asks the running server to send `json` to every registered client.
int notify(const QStringList &args)
{
    QString host;
    quint16 port = 0;
    tarvik::defaultServer(&host, &port);
    QByteArray json = "{}";
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == QLatin1String("--server") && i + 1 < args.size()) {
            if (!tarvik::parseHostPort(args[++i], &host, &port))
                return usage("--server needs HOST:PORT");
        } else if (json == "{}" && !args[i].startsWith(QLatin1String("--"))) {
            json = args[i].toUtf8();
        } else {
            return usage(qPrintable(QStringLiteral("unknown argument %1").arg(args[i])));
        }
    }
    QJsonParseError error;
    QJsonDocument::fromJson("[" + json + "]", &error);
    if (error.error != QJsonParseError::NoError)
        return usage("the notification must be one JSON value");

    QTcpSocket socket;
    socket.connectToHost(host, port);
    if (!socket.waitForConnected(5000)) {
        std::fprintf(stderr, "tarvik-server: cannot connect to %s:%u: %s\n", qPrintable(host), unsigned(port), qPrintable(socket.errorString()));
        return 3;
    }
    try {
        tarvik::FrameSocket frames(socket);
        tarvik::MessageParser parser;
        frames.send(tarvik::FrameKind::Json, tarvik::encodeHello(), 5000);
        tarvik::Frame welcome = frames.receive(5000);
        tarvik::Message w(parser, welcome.payload);
        if (w.op() != "welcome")
            throw tarvik::ProtocolError(w.errorMessage());
        tarvik::JsonWriter request;
        request.beginObject();
        request.key("op"); request.value("notify-all");
        request.key("arg"); request.raw(std::string_view(json.constData(), static_cast<std::size_t>(json.size())));
        request.endObject();
        frames.send(tarvik::FrameKind::Json, request.data(), 5000);
        tarvik::Frame answer = frames.receive(30000);
        tarvik::Message a(parser, answer.payload);
        if (a.op() != "notified")
            throw tarvik::ProtocolError(a.errorClass() + QStringLiteral(": ") + a.errorMessage());
        std::printf("%s\n", a.rawField("answered").c_str());
        return 0;
    } catch (const tarvik::RemoteError &e) {
        std::fprintf(stderr, "tarvik-server: %s\n", qPrintable(e.message()));
        return 3;
    }
}

} // namespace

int main(int argc, char **argv)
{
    // The pictures and documents are drawn with Qt's painter, which needs a (headless) GUI application.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc > 1 && std::string_view(argv[1]) == "notify")
        return notify(app.arguments().mid(2));
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 9090;
    QString db;
    QString httpHost = QStringLiteral("127.0.0.1");
    quint16 httpPort = 8080;
    QString setupFile;
    bool demo = false;
    QString demoUser;
    int demoStocks = 20000;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--listen") && i + 1 < args.size()) {
            if (!tarvik::parseHostPort(args[++i], &host, &port))
                return usage("--listen needs HOST:PORT");
        } else if (a == QLatin1String("--http") && i + 1 < args.size()) {
            if (!tarvik::parseHostPort(args[++i], &httpHost, &httpPort))
                return usage("--http needs HOST:PORT");
        } else if (a == QLatin1String("--setup") && i + 1 < args.size()) {
            setupFile = args[++i];
        } else if (a == QLatin1String("--db") && i + 1 < args.size()) {
            db = args[++i];
        } else if (a == QLatin1String("--demo")) {
            demo = true;
        } else if (a == QLatin1String("--demo-user") && i + 1 < args.size()) {
            demoUser = args[++i];
        } else if (a == QLatin1String("--demo-stocks") && i + 1 < args.size()) {
            demoStocks = args[++i].toInt();
            if (demoStocks < 1 || demoStocks > 1000000)
                return usage("--demo-stocks needs a number from 1 to 1000000");
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            usage(nullptr);
            return 0;
        } else {
            return usage(qPrintable(QStringLiteral("unknown argument %1").arg(a)));
        }
    }
    QHostAddress address;
    if (!address.setAddress(host)) {
        if (host == QLatin1String("localhost"))
            address = QHostAddress(QHostAddress::LocalHost);
        else
            return usage("--listen needs a numeric address");
    }

    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) != 0)
        return 1;
    QSocketNotifier notifier(signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&notifier, &QSocketNotifier::activated, &app, &QCoreApplication::quit);
    struct sigaction sa = {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &sa, nullptr);
    sigaction(SIGINT, &sa, nullptr);
    std::signal(SIGPIPE, SIG_IGN);

    if (demo && db.isEmpty())
        db = QStringLiteral("tarvik-demo.db");
    if (!demoUser.isEmpty() && !demo)
        return usage("--demo-user goes with --demo");
    std::shared_ptr<tarvik::server::Database> database;
    if (!db.isEmpty()) {
        try {
            database = std::make_shared<tarvik::server::Database>(db);
            if (demo) {
                tarvik::server::seedDemo(*database, demoStocks);
                const QString role = demoUser.isEmpty() ? QStringLiteral("dealer") : demoUser;
                const QString machine = BilgisayarIdAl();
                if (!tarvik::server::registerDemoMachine(*database, role, machine))
                    return usage("--demo-user takes dealer, rep1, rep2, type3 or type4");
                std::fprintf(stderr, "tarvik-server: demo data in %s; this computer (%s) logs in as the demo user '%s'\n",
                             qPrintable(db), qPrintable(machine), qPrintable(role));
            }
        } catch (const std::exception &e) {
            std::fprintf(stderr, "tarvik-server: %s\n", e.what());
            return 1;
        }
    }

    QHostAddress httpAddress;
    if (!httpAddress.setAddress(httpHost)) {
        if (httpHost != QLatin1String("localhost"))
            return usage("--http needs a numeric address");
        httpAddress = QHostAddress(QHostAddress::LocalHost);
    }

    tarvik::server::RpcServer server(tarvik::server::makeDispatcher(database));
    tarvik::server::WebSite web(
        [database](int stokNo) -> std::optional<QByteArray> {
            if (!database)
                return std::nullopt;
            QSqlQuery q = database->exec(QStringLiteral("SELECT adi, marka FROM stok WHERE no = ? AND resim <> 0"), {stokNo});
            if (!q.next())
                return std::nullopt;
            return tarvik::server::stockPictureJpeg(stokNo, q.value(0).toString(), q.value(1).toString());
        },
        [database](const tarvik::server::RequestForm &f) {
            if (!database)
                throw std::runtime_error("no database to keep the request in");
            const QJsonObject form{{QStringLiteral("firma"), f.companyName}, {QStringLiteral("yetkili"), f.contactPerson},
                                   {QStringLiteral("telefon"), f.phone},     {QStringLiteral("eposta"), f.email},
                                   {QStringLiteral("sehir"), f.city},        {QStringLiteral("adres"), f.address},
                                   {QStringLiteral("vergidairesi"), f.taxOffice}, {QStringLiteral("vergino"), f.taxNumber},
                                   {QStringLiteral("not"), f.note},          {QStringLiteral("adresip"), f.remoteAddress}};
            database->transaction([&](QSqlDatabase &) {
                database->exec(QStringLiteral("INSERT INTO giden (tur, kimlik, icerik) VALUES ('istek formu', ?, ?)"),
                               {f.machineId, QString::fromUtf8(QJsonDocument(form).toJson(QJsonDocument::Compact))});
            });
        },
        setupFile);
    QString error;
    if (!server.listen(address, port, &error)) {
        std::fprintf(stderr, "tarvik-server: cannot listen on %s:%u: %s\n", qPrintable(host), unsigned(port), qPrintable(error));
        return 1;
    }
    if (!web.listen(httpAddress, httpPort, &error)) {
        std::fprintf(stderr, "tarvik-server: cannot serve the web site on %s:%u: %s\n", qPrintable(httpHost), unsigned(httpPort), qPrintable(error));
        return 1;
    }
    std::printf("listening on %s:%u\n", qPrintable(server.address().toString()), unsigned(server.port()));
    std::printf("http on %s:%u\n", qPrintable(web.address().toString()), unsigned(web.port()));
    std::fflush(stdout);
    const int rc = app.exec();
    server.stop();
    return rc;
}
