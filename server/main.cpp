// tarvik-server: the substitute application server.
//   tarvik-server [--listen HOST:PORT] [--db FILE]

#include "connection.h"
#include "rpc_server.h"
#include "server_methods.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <csignal>
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
    std::fprintf(stderr, "usage: tarvik-server [--listen HOST:PORT] [--db FILE]\n");
    return 2;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QString host = QStringLiteral("127.0.0.1");
    quint16 port = 9090;
    QString db;
    const QStringList args = app.arguments();
    for (qsizetype i = 1; i < args.size(); ++i) {
        const QString &a = args[i];
        if (a == QLatin1String("--listen") && i + 1 < args.size()) {
            if (!tarvik::parseHostPort(args[++i], &host, &port))
                return usage("--listen needs HOST:PORT");
        } else if (a == QLatin1String("--db") && i + 1 < args.size()) {
            db = args[++i];
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

    tarvik::server::RpcServer server(tarvik::server::makeDispatcher());
    QString error;
    if (!server.listen(address, port, &error)) {
        std::fprintf(stderr, "tarvik-server: cannot listen on %s:%u: %s\n", qPrintable(host), unsigned(port), qPrintable(error));
        return 1;
    }
    std::printf("listening on %s:%u\n", qPrintable(server.address().toString()), unsigned(server.port()));
    std::fflush(stdout);
    const int rc = app.exec();
    server.stop();
    return rc;
}
