#pragma once

// The server's storage: one SQLite file, opened in WAL mode with foreign keys on, one connection per
// thread (a connection thread of the server never shares its connection), a versioned schema brought up
// to date at open, and every write inside a transaction.

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QString>
#include <QVariant>

#include <functional>
#include <mutex>
#include <stdexcept>
#include <vector>

namespace tarvik::server {

class DatabaseError : public std::runtime_error
{
public:
    explicit DatabaseError(const QString &message) : std::runtime_error(message.toStdString()) {}
};

// One step of the schema: applied once, in order, inside a transaction, and recorded.
struct Migration
{
    int version;
    const char *description;
    std::vector<const char *> statements;
};

class Database
{
public:
    // Opens (creating when missing) the file and applies the migrations it has not seen yet.
    // DatabaseError when the file cannot be opened, is not a database, or is newer than this server.
    explicit Database(QString path, std::vector<Migration> migrations = standardMigrations());
    ~Database();
    Database(const Database &) = delete;
    Database &operator=(const Database &) = delete;

    const QString &path() const { return path_; }
    // The schema version the file is at.
    int schemaVersion();

    // This thread's connection (made on first use; closed when the Database goes).
    QSqlDatabase connection();

    // Runs `work` inside BEGIN IMMEDIATE … COMMIT on this thread's connection; an exception rolls back
    // and propagates. Writers of this process queue on a lock, in turn, instead of polling SQLite's
    // busy handler (which under many writers starves some of them into a time-out); readers never wait. Queries made
    // inside must be finished (or gone) before `work` returns, or the commit fails.
    void transaction(const std::function<void(QSqlDatabase &)> &work);

    // Prepares and runs one statement with positional values; DatabaseError on failure.
    QSqlQuery exec(const QString &sql, const QVariantList &values = {});

    static std::vector<Migration> standardMigrations();

private:
    QString connectionName() const;

    std::recursive_mutex writers_;
    void migrate(const std::vector<Migration> &migrations);

    QString path_;
    QString id_;
};

} // namespace tarvik::server
