#pragma once

// Starts the real tarvik-server on 127.0.0.1 with an ephemeral port for the length of a test.

#include <QDeadlineTimer>
#include <QProcess>
#include <QTcpServer>
#include <QString>
#include <QStringList>

class ServerProcess
{
public:
    explicit ServerProcess(const QStringList &extraArgs = {}, quint16 port = 0)
    {
        process_.setProgram(QStringLiteral(TARVIK_SERVER_EXE));
        process_.setArguments(QStringList{QStringLiteral("--listen"), QStringLiteral("127.0.0.1:%1").arg(port),
                                          QStringLiteral("--http"), QStringLiteral("127.0.0.1:0")}
                              + extraArgs);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        process_.start();
        if (!process_.waitForStarted(10000))
            return;
        // Seeding a demo database takes a while, longer under the sanitizers on a busy machine.
        QByteArray out;
        QDeadlineTimer deadline(120000);
        while (out.count('\n') < 2 && !deadline.hasExpired() && process_.state() != QProcess::NotRunning) {
            process_.waitForReadyRead(1000);
            out += process_.readAllStandardOutput();
        }
        const QList<QByteArray> lines = out.split('\n');
        const QByteArray prefix = "listening on 127.0.0.1:", httpPrefix = "http on 127.0.0.1:";
        for (const QByteArray &line : lines) {
            if (line.startsWith(prefix))
                port_ = static_cast<quint16>(line.mid(prefix.size()).toUInt());
            else if (line.startsWith(httpPrefix))
                httpPort_ = static_cast<quint16>(line.mid(httpPrefix.size()).toUInt());
        }
    }

    ~ServerProcess()
    {
        if (process_.state() != QProcess::NotRunning) {
            process_.terminate();
            if (!process_.waitForFinished(10000))
                process_.kill();
        }
    }

    quint16 port() const { return port_; }
    quint16 httpPort() const { return httpPort_; }
    QString address() const { return QStringLiteral("127.0.0.1:%1").arg(port_); }
    QProcess &process() { return process_; }

    // A port that was free a moment ago, for a server that must come up on a known port later.
    static quint16 freePort();

private:
    QProcess process_;
    quint16 port_ = 0;
    quint16 httpPort_ = 0;
};

inline quint16 ServerProcess::freePort()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}
