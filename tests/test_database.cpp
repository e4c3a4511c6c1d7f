// The server's storage: versioned schema, WAL, transactions, a connection per thread.

#include "database.h"

#include <QFile>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <thread>

using tarvik::server::Database;
using tarvik::server::DatabaseError;
using tarvik::server::Migration;

namespace {

const Migration kStocks{1, "stocks", {"CREATE TABLE stok (no INTEGER PRIMARY KEY, adi TEXT NOT NULL)"}};
const Migration kBasket{2, "basket",
                        {"CREATE TABLE sepet (no INTEGER PRIMARY KEY, stok INTEGER NOT NULL REFERENCES stok(no))",
                         "CREATE INDEX sepet_stok ON sepet(stok)"}};

int count(Database &db, const char *table)
{
    QSqlQuery q = db.exec(QStringLiteral("SELECT count(*) FROM %1").arg(QLatin1String(table)));
    return q.next() ? q.value(0).toInt() : -1;
}

} // namespace

class DatabaseTest : public ::testing::Test
{
protected:
    QString file() const { return dir.filePath(QStringLiteral("tarvik.db")); }
    QTemporaryDir dir;
};

TEST_F(DatabaseTest, AFreshFileGetsTheSchemaInWalModeWithForeignKeys)
{
    Database db(file());
    EXPECT_EQ(db.schemaVersion(), Database::standardMigrations().back().version);
    QSqlQuery mode = db.exec(QStringLiteral("PRAGMA journal_mode"));
    ASSERT_TRUE(mode.next());
    EXPECT_EQ(mode.value(0).toString(), QStringLiteral("wal"));
    QSqlQuery fk = db.exec(QStringLiteral("PRAGMA foreign_keys"));
    ASSERT_TRUE(fk.next());
    EXPECT_EQ(fk.value(0).toInt(), 1);
    QSqlQuery fts = db.exec(QStringLiteral("CREATE VIRTUAL TABLE ara USING fts5(metin, tokenize='trigram')"));
    EXPECT_TRUE(fts.isActive()); // the search of the catalogue relies on it
}

TEST_F(DatabaseTest, MigrationsRunOnceInOrderAndKeepTheData)
{
    {
        Database db(file(), {kStocks});
        db.exec(QStringLiteral("INSERT INTO stok (no, adi) VALUES (?, ?)"), {7, QStringLiteral("BUJİ")});
        EXPECT_EQ(db.schemaVersion(), 1);
    }
    {
        Database db(file(), {kStocks, kBasket});
        EXPECT_EQ(db.schemaVersion(), 2);
        EXPECT_EQ(count(db, "stok"), 1);
        EXPECT_THROW(db.exec(QStringLiteral("INSERT INTO sepet (no, stok) VALUES (1, 99)")), DatabaseError); // foreign key
    }
    EXPECT_THROW(Database(file(), {kStocks}), DatabaseError); // a file newer than the server
}

TEST_F(DatabaseTest, AFailingSchemaStepLeavesTheFileAsItWas)
{
    { Database db(file(), {kStocks}); }
    const Migration broken{2, "broken", {"CREATE TABLE yarim (a)", "THIS IS NOT SQL"}};
    EXPECT_THROW(Database(file(), {kStocks, broken}), DatabaseError);
    Database db(file(), {kStocks});
    EXPECT_EQ(db.schemaVersion(), 1);
    EXPECT_THROW(count(db, "yarim"), DatabaseError);
}

TEST_F(DatabaseTest, AnErrorInsideATransactionRollsItBack)
{
    Database db(file(), {kStocks});
    EXPECT_THROW(db.transaction([&](QSqlDatabase &) {
        db.exec(QStringLiteral("INSERT INTO stok (no, adi) VALUES (1, 'A')"));
        db.exec(QStringLiteral("INSERT INTO stok (no, adi) VALUES (1, 'B')")); // same key
    }),
                 DatabaseError);
    EXPECT_EQ(count(db, "stok"), 0);
    db.transaction([&](QSqlDatabase &) { db.exec(QStringLiteral("INSERT INTO stok (no, adi) VALUES (1, 'A')")); });
    EXPECT_EQ(count(db, "stok"), 1);
}

TEST_F(DatabaseTest, ThreadsWriteAtOnceEachOnItsOwnConnection)
{
    Database db(file(), {kStocks});
    auto writer = [&](int base) {
        for (int i = 0; i < 100; ++i)
            db.transaction([&](QSqlDatabase &c) {
                QSqlQuery q(c);
                q.prepare(QStringLiteral("INSERT INTO stok (no, adi) VALUES (?, ?)"));
                q.addBindValue(base + i);
                q.addBindValue(QStringLiteral("PARÇA %1").arg(base + i));
                ASSERT_TRUE(q.exec());
            });
    };
    std::thread a(writer, 0), b(writer, 1000);
    a.join();
    b.join();
    EXPECT_EQ(count(db, "stok"), 200);
}

TEST_F(DatabaseTest, AFileThatIsNotADatabaseIsRefused)
{
    QFile f(file());
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(4096, 'x'));
    f.close();
    EXPECT_THROW(Database{file()}, DatabaseError);
}
