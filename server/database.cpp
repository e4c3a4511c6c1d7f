#include "database.h"

#include <QSqlError>
#include <QThread>
#include <QUuid>

#include <atomic>
#include <vector>

namespace tarvik::server {

namespace {

constexpr int kBusyTimeoutMs = 10000;

QString lastError(const QSqlQuery &q)
{
    return q.lastError().text();
}

void closeConnection(const QString &name)
{
    if (!QSqlDatabase::contains(name))
        return;
    {
        QSqlDatabase db = QSqlDatabase::database(name, false);
        if (db.isValid())
            db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

// The connections this thread made; closed in this thread when it ends (a connection belongs to the
// thread that made it).
struct ThreadConnections
{
    std::vector<QString> names;
    ~ThreadConnections()
    {
        for (const QString &name : names)
            closeConnection(name);
    }
};

thread_local ThreadConnections threadConnections;

std::atomic<quint64> threadCounter{0};
thread_local const quint64 threadNumber = ++threadCounter;

} // namespace

Database::Database(QString path, std::vector<Migration> migrations)
    : path_(std::move(path))
    , id_(QUuid::createUuid().toString(QUuid::WithoutBraces))
{
    if (!QSqlDatabase::isDriverAvailable(QStringLiteral("QSQLITE")))
        throw DatabaseError(QStringLiteral("the SQLite driver of Qt is not installed (libqt6sql6-sqlite)"));
    {
        QSqlQuery mode(connection());
        if (!mode.exec(QStringLiteral("PRAGMA journal_mode=WAL")) || !mode.next())
            throw DatabaseError(QStringLiteral("%1 is not a database the server can use: %2").arg(path_, lastError(mode)));
    }
    migrate(migrations);
}

Database::~Database()
{
    // Threads that used the file have ended and closed theirs; this closes the current thread's and
    // forgets any other.
    const QString mine = connectionName();
    closeConnection(mine);
    std::erase(threadConnections.names, mine);
    for (const QString &name : QSqlDatabase::connectionNames())
        if (name.startsWith(id_))
            QSqlDatabase::removeDatabase(name);
}

QString Database::connectionName() const
{
    return id_ + QLatin1Char('/') + QString::number(threadNumber);
}

QSqlDatabase Database::connection()
{
    const QString name = connectionName();
    if (QSqlDatabase::contains(name))
        return QSqlDatabase::database(name);
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
    db.setDatabaseName(path_);
    db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=%1").arg(kBusyTimeoutMs));
    if (!db.open())
        throw DatabaseError(QStringLiteral("cannot open %1: %2").arg(path_, db.lastError().text()));
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("PRAGMA foreign_keys=ON")))
        throw DatabaseError(lastError(q));
    threadConnections.names.push_back(name);
    return db;
}

QSqlQuery Database::exec(const QString &sql, const QVariantList &values)
{
    QSqlQuery q(connection());
    if (!q.prepare(sql))
        throw DatabaseError(QStringLiteral("%1: %2").arg(sql, lastError(q)));
    for (const QVariant &v : values)
        q.addBindValue(v);
    if (!q.exec())
        throw DatabaseError(QStringLiteral("%1: %2").arg(sql, lastError(q)));
    return q;
}

void Database::transaction(const std::function<void(QSqlDatabase &)> &work)
{
    const std::lock_guard writer(writers_);
    QSqlDatabase db = connection();
    QSqlQuery begin(db);
    if (!begin.exec(QStringLiteral("BEGIN IMMEDIATE")))
        throw DatabaseError(QStringLiteral("cannot start a transaction: %1").arg(lastError(begin)));
    try {
        work(db);
    } catch (...) {
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw;
    }
    QSqlQuery commit(db);
    if (!commit.exec(QStringLiteral("COMMIT"))) {
        const QString error = lastError(commit);
        QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
        throw DatabaseError(QStringLiteral("cannot commit: %1").arg(error));
    }
}

int Database::schemaVersion()
{
    QSqlQuery q = exec(QStringLiteral("PRAGMA user_version"));
    const int version = q.next() ? q.value(0).toInt() : 0;
    q.finish();
    return version;
}

void Database::migrate(const std::vector<Migration> &migrations)
{
    const int current = schemaVersion();
    const int newest = migrations.empty() ? 0 : migrations.back().version;
    if (current > newest)
        throw DatabaseError(QStringLiteral("%1 has schema version %2; this server knows up to %3").arg(path_).arg(current).arg(newest));
    for (const Migration &m : migrations) {
        if (m.version <= current)
            continue;
        transaction([&](QSqlDatabase &db) {
            for (const char *statement : m.statements) {
                QSqlQuery q(db);
                if (!q.exec(QString::fromUtf8(statement)))
                    throw DatabaseError(QStringLiteral("schema step %1 (%2) failed: %3")
                                            .arg(m.version).arg(QString::fromUtf8(m.description), lastError(q)));
            }
            // The version travels in the file header, inside the same transaction as the step.
            QSqlQuery v(db);
            if (!v.exec(QStringLiteral("PRAGMA user_version=%1").arg(m.version)))
                throw DatabaseError(lastError(v));
        });
    }
}

} // namespace tarvik::server
