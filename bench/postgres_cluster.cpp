#include "postgres_cluster.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QVersionNumber>

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <stdexcept>

namespace tarvik::bench {

namespace {

constexpr char kUnprivilegedUser[] = "nobody";

std::runtime_error failure(const QString &what)
{
    return std::runtime_error(what.toStdString());
}

quint16 freePort()
{
    QTcpServer probe;
    if (!probe.listen(QHostAddress(QHostAddress::LocalHost), 0))
        throw failure(QStringLiteral("no free port on 127.0.0.1"));
    return probe.serverPort();
}

} // namespace

QString PostgresCluster::findBinDir()
{
    const QString fromEnv = qEnvironmentVariable("TARVIK_PG_BINDIR");
    if (!fromEnv.isEmpty())
        return QFileInfo::exists(fromEnv + QStringLiteral("/initdb")) ? fromEnv : QString();
    // Debian keeps the server programs under /usr/lib/postgresql/N/bin and puts only the client on PATH.
    QDir versions(QStringLiteral("/usr/lib/postgresql"));
    QVersionNumber best;
    QString bestDir;
    const QStringList entries = versions.entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &v : entries) {
        const QString bin = versions.filePath(v) + QStringLiteral("/bin");
        const QVersionNumber n = QVersionNumber::fromString(v);
        if (QFileInfo::exists(bin + QStringLiteral("/initdb")) && QFileInfo::exists(bin + QStringLiteral("/pg_ctl")) && n > best) {
            best = n;
            bestDir = bin;
        }
    }
    if (!bestDir.isEmpty())
        return bestDir;
    const QString initdb = QStandardPaths::findExecutable(QStringLiteral("initdb"));
    if (!initdb.isEmpty())
        return QFileInfo(QFileInfo(initdb).canonicalFilePath()).absolutePath();
    return {};
}

PostgresCluster::PostgresCluster(const QString &binDir) : binDir_(binDir)
{
    QByteArray tmpl = QDir::tempPath().toLocal8Bit() + "/tarvik-pg-XXXXXX";
    if (!::mkdtemp(tmpl.data()))
        throw failure(QStringLiteral("cannot make a temporary folder"));
    dir_ = QString::fromLocal8Bit(tmpl);
    if (::geteuid() == 0) {
        const passwd *pw = ::getpwnam(kUnprivilegedUser);
        if (!pw)
            throw failure(QStringLiteral("running as root and there is no user '%1' to run PostgreSQL as")
                              .arg(QLatin1String(kUnprivilegedUser)));
        if (::chown(tmpl.constData(), pw->pw_uid, pw->pw_gid) != 0)
            throw failure(QStringLiteral("cannot give %1 to %2").arg(dir_, QLatin1String(kUnprivilegedUser)));
        runAs_ = QLatin1String(kUnprivilegedUser);
    }
    version_ = run(QStringLiteral("postgres"), {QStringLiteral("--version")}, 10000).trimmed();
    const QString data = dir_ + QStringLiteral("/data");
    // C locale: text sorts by code point, as SQLite's default collation does.
    run(QStringLiteral("initdb"), {QStringLiteral("-D"), data, QStringLiteral("-U"), QStringLiteral("bench"), QStringLiteral("-A"),
                                   QStringLiteral("trust"), QStringLiteral("-E"), QStringLiteral("UTF8"),
                                   QStringLiteral("--locale=C"), QStringLiteral("--no-sync")},
        120000);
    port_ = freePort();
    // Durability settings only speed up the loading; the timed queries only read.
    const QString options = QStringLiteral("-c listen_addresses=127.0.0.1 -c port=%1 -c unix_socket_directories=%2"
                                           " -c fsync=off -c synchronous_commit=off -c full_page_writes=off")
                                .arg(port_)
                                .arg(dir_);
    run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), data, QStringLiteral("-l"), dir_ + QStringLiteral("/server.log"),
                                   QStringLiteral("-o"), options, QStringLiteral("-w"), QStringLiteral("-t"),
                                   QStringLiteral("60"), QStringLiteral("start")},
        90000);
    started_ = true;
}

PostgresCluster::~PostgresCluster()
{
    if (started_) {
        try {
            run(QStringLiteral("pg_ctl"), {QStringLiteral("-D"), dir_ + QStringLiteral("/data"), QStringLiteral("-m"),
                                           QStringLiteral("fast"), QStringLiteral("-w"), QStringLiteral("stop")},
                60000);
        } catch (const std::exception &e) {
            std::fprintf(stderr, "postgres: %s\n", e.what());
        }
    }
    if (!dir_.isEmpty())
        QDir(dir_).removeRecursively();
}

std::string PostgresCluster::connectionString() const
{
    return "host=127.0.0.1 port=" + std::to_string(port_) + " dbname=postgres user=bench";
}

QString PostgresCluster::run(const QString &program, const QStringList &args, int timeoutMs)
{
    QProcess p;
    const QString exe = binDir_ + QLatin1Char('/') + program;
    if (runAs_.isEmpty()) {
        p.setProgram(exe);
        p.setArguments(args);
    } else {
        p.setProgram(QStringLiteral("runuser"));
        p.setArguments(QStringList{QStringLiteral("-u"), runAs_, QStringLiteral("--"), exe} + args);
    }
    p.setWorkingDirectory(dir_);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
    if (!p.waitForStarted(10000))
        throw failure(QStringLiteral("cannot start %1").arg(p.program()));
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished(5000);
        throw failure(QStringLiteral("%1 did not finish in time").arg(program));
    }
    const QString out = QString::fromLocal8Bit(p.readAll());
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        throw failure(QStringLiteral("%1 failed (exit %2):\n%3").arg(program).arg(p.exitCode()).arg(out));
    return out;
}

PgConn pgConnect(const std::string &conninfo)
{
    PgConn c(PQconnectdb(conninfo.c_str()));
    if (!c || PQstatus(c.get()) != CONNECTION_OK)
        throw std::runtime_error(std::string("libpq cannot connect: ") + (c ? PQerrorMessage(c.get()) : "out of memory"));
    return c;
}

void pgExec(PGconn *c, const char *sql)
{
    PgResult r(PQexec(c, sql));
    const ExecStatusType s = PQresultStatus(r.get());
    if (s != PGRES_COMMAND_OK && s != PGRES_TUPLES_OK)
        throw std::runtime_error(std::string(sql) + ": " + PQerrorMessage(c));
}

} // namespace tarvik::bench
