#pragma once

// A throw-away PostgreSQL cluster for a benchmark's reference: initdb in a temporary folder, the server on
// a free port of 127.0.0.1 (and a Unix socket in the same folder), stopped and removed at the end.
// As root the PostgreSQL programs run as the unprivileged user "nobody" (initdb refuses root).

#include <QString>

#include <libpq-fe.h>

#include <memory>
#include <string>

namespace tarvik::bench {

class PostgresCluster
{
public:
    // The folder of initdb/pg_ctl: TARVIK_PG_BINDIR, else initdb on PATH, else the newest
    // /usr/lib/postgresql/N/bin. Empty when PostgreSQL's server programs are not installed.
    static QString findBinDir();

    // Makes and starts the cluster; throws std::runtime_error with the tool's output when that fails.
    explicit PostgresCluster(const QString &binDir);
    ~PostgresCluster();
    PostgresCluster(const PostgresCluster &) = delete;
    PostgresCluster &operator=(const PostgresCluster &) = delete;

    quint16 port() const { return port_; }
    // libpq connection string for TCP on 127.0.0.1 (database "postgres", user "bench", no password).
    std::string connectionString() const;
    // The server's version line (postgres --version).
    const QString &version() const { return version_; }

private:
    QString run(const QString &program, const QStringList &args, int timeoutMs);
    QString binDir_;
    QString dir_;
    QString runAs_;
    QString version_;
    quint16 port_ = 0;
    bool started_ = false;
};

// A libpq connection that finishes itself.
struct PgConnDeleter
{
    void operator()(PGconn *c) const { PQfinish(c); }
};
using PgConn = std::unique_ptr<PGconn, PgConnDeleter>;

struct PgResultDeleter
{
    void operator()(PGresult *r) const { PQclear(r); }
};
using PgResult = std::unique_ptr<PGresult, PgResultDeleter>;

// Connects or throws with libpq's message.
PgConn pgConnect(const std::string &conninfo);
// Runs a statement that returns no rows (or whose rows are not wanted); throws on failure.
void pgExec(PGconn *c, const char *sql);

} // namespace tarvik::bench
