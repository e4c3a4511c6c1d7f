#pragma once

// The real tarvik-server as a child process for the server benchmarks: a demo database in a throw-away
// folder, the remote calls on 127.0.0.1 with an ephemeral port, the web site on an ephemeral port.

#include "transfer_objects.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <memory>
#include <stdexcept>
#include <string>

namespace tarvik::bench {

class DemoServer
{
public:
    // Seeds the demo catalogue with `stocks` stocks (tarvik-server's own default when 0) and waits until
    // the server listens. Throws when it does not come up within two minutes.
    explicit DemoServer(int stocks = 0)
    {
        if (!dir_.isValid())
            throw std::runtime_error("cannot make a temporary folder");
        dbPath_ = dir_.filePath(QStringLiteral("demo.db"));
        QStringList args{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:0"), QStringLiteral("--http"),
                         QStringLiteral("127.0.0.1:0"), QStringLiteral("--db"), dbPath_, QStringLiteral("--demo")};
        if (stocks > 0)
            args << QStringLiteral("--demo-stocks") << QString::number(stocks);
        process_.setProgram(QStringLiteral(TARVIK_SERVER_EXE));
        process_.setArguments(args);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(10000))
            throw std::runtime_error("cannot start " TARVIK_SERVER_EXE);
        const QByteArray prefix = "listening on 127.0.0.1:";
        QByteArray out;
        QDeadlineTimer deadline(120000);
        while (!deadline.hasExpired()) {
            if (process_.state() == QProcess::NotRunning)
                break;
            process_.waitForReadyRead(static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1000)));
            out += process_.readAllStandardOutput();
            for (const QByteArray &line : out.split('\n'))
                if (line.startsWith(prefix) && out.contains("http on"))
                    port_ = static_cast<quint16>(line.mid(prefix.size()).trimmed().toUInt());
            if (port_)
                break;
        }
        if (!port_)
            throw std::runtime_error("tarvik-server did not start listening: " + out.toStdString());
    }

    ~DemoServer()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(30000))
                process_.kill();
            process_.waitForFinished(5000);
        }
    }

    DemoServer(const DemoServer &) = delete;
    DemoServer &operator=(const DemoServer &) = delete;

    quint16 port() const { return port_; }
    const QString &databasePath() const { return dbPath_; }
    QProcess &process() { return process_; }

private:
    QTemporaryDir dir_;
    QString dbPath_;
    QProcess process_;
    quint16 port_ = 0;
};

// What the client sends as its identity: the server reads the account (CARINO) from it.
inline std::unique_ptr<TSonucBilgisi> identityFor(int carino)
{
    auto b = std::make_unique<TSonucBilgisi>();
    b->setBILGISAYARID(QStringLiteral("BENCH-%1").arg(carino));
    b->setCARINO(carino);
    b->setSirano(1);
    b->setAKTIF(1);
    b->setVarmi(true);
    return b;
}

} // namespace tarvik::bench
