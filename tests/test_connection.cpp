// The connection check, the two call patterns and the notification channel, against the real server.

#include "callback_channel.h"
#include "errors.h"
#include "remote_connection.h"
#include "server_process.h"
#include "servermethods.h"
#include "test_support_qt.h"

#include <QTcpServer>

#include <gtest/gtest.h>

#include <future>
#include <latch>

using namespace tarvik;

namespace {

// Counts the pauses of the check instead of waiting; `onPause` may act on the n-th pause.
class CountedPauses
{
public:
    explicit CountedPauses(std::function<void(int)> onPause = {})
    {
        previous_ = setPauseFunction([this, onPause](int ms) {
            ++count;
            EXPECT_EQ(ms, 500);
            if (onPause)
                onPause(count);
        });
    }
    ~CountedPauses() { setPauseFunction(std::move(previous_)); }
    int count = 0;

private:
    PauseFunction previous_;
};

RemoteConnection connectionTo(quint16 port)
{
    RemoteConnection c;
    c.setHostName(QStringLiteral("127.0.0.1"));
    c.setPort(QString::number(port));
    return c;
}

} // namespace

TEST(BaglantiKontrol, TheTemplateCarriesItsSettings)
{
    RemoteConnection bagc;
    EXPECT_EQ(bagc.ConnectionName(), QStringLiteral("DataSnapCONNECTION"));
    EXPECT_EQ(bagc.DriverName(), QStringLiteral("DataSnap"));
    EXPECT_FALSE(bagc.LoginPrompt());
    EXPECT_EQ(bagc.Port(), QStringLiteral("9090"));
    EXPECT_EQ(bagc.param(QStringLiteral("CommunicationProtocol")), QStringLiteral("tcp/ip"));
    EXPECT_EQ(bagc.param(QStringLiteral("Filters")), QStringLiteral("{}"));
    EXPECT_EQ(bagc.param(QStringLiteral("DSProxyPort")), QStringLiteral("8090"));
    bagc.setHostName(QStringLiteral("10.1.2.3"));
    auto clone = bagc.clone();
    EXPECT_EQ(clone->params(), bagc.params());
    EXPECT_FALSE(clone->Connected());
}

TEST(BaglantiKontrol, AServerThatIsDownGetsElevenAttemptsAndOneBoxOnlyWhenAsked)
{
    const quint16 port = ServerProcess::freePort();
    for (int flag : {0, 1}) {
        SCOPED_TRACE(flag);
        RecordedBoxes boxes;
        CountedPauses pauses;
        RemoteConnection c = connectionTo(port);
        EXPECT_FALSE(BaglantiKontrol(c, flag));
        EXPECT_EQ(pauses.count, 11);
        EXPECT_FALSE(c.Connected());
        if (flag == 0) {
            EXPECT_TRUE(boxes.shown.empty());
        } else {
            ASSERT_EQ(boxes.shown.size(), 1u);
            EXPECT_EQ(boxes.shown[0].text, QStringLiteral("Bağlantı Kurulamıyor Lütfen Tekrar Deneyin ...!"));
            EXPECT_EQ(boxes.shown[0].kind, MesajTuru::Hata);
            EXPECT_EQ(boxes.shown[0].buttons, MesajDugmeleri(MesajDugmesi::Tamam));
        }
    }
}

TEST(BaglantiKontrol, AServerThatComesUpOnTheThirdAttempt)
{
    const quint16 port = ServerProcess::freePort();
    std::unique_ptr<ServerProcess> server;
    RecordedBoxes boxes;
    CountedPauses pauses([&](int n) {
        if (n == 2)
            server = std::make_unique<ServerProcess>(QStringList{}, port);
    });
    RemoteConnection c = connectionTo(port);
    ASSERT_TRUE(BaglantiKontrol(c, 1));
    EXPECT_EQ(pauses.count, 2);
    EXPECT_TRUE(boxes.shown.empty());
    ASSERT_TRUE(c.Connected());
    TServerMethods1Client p(c.DBXConnection());
    EXPECT_EQ(p.EchoString(QStringLiteral("üçüncü")), QStringLiteral("üçüncü"));
}

TEST(BaglantiKontrol, AnOpenConnectionIsClosedAndOpenedAgain)
{
    ServerProcess server;
    RemoteConnection c = connectionTo(server.port());
    ASSERT_TRUE(BaglantiKontrol(c, 0));
    const quint16 first = c.DBXConnection()->localPort();
    ASSERT_TRUE(BaglantiKontrol(c, 0));
    EXPECT_NE(c.DBXConnection()->localPort(), first);
}

TEST(CallPatterns, MainThreadCallClosesTheTemplateAfterwards)
{
    ServerProcess server;
    RemoteConnection bagc = connectionTo(server.port());
    QString echoed;
    EXPECT_TRUE(callOnMainThread(bagc, [&](TcpConnection &c) {
        TServerMethods1Client p(&c);
        echoed = p.EchoString(QStringLiteral("sepet"));
    }));
    EXPECT_EQ(echoed, QStringLiteral("sepet"));
    EXPECT_FALSE(bagc.Connected());

    // A call that fails on the server propagates, and the template is closed all the same.
    EXPECT_THROW(callOnMainThread(bagc, [](TcpConnection &c) { TServerMethods1Client(&c).SepetVer2(1); }), ServerError);
    EXPECT_FALSE(bagc.Connected());
}

TEST(CallPatterns, TwoLoadsAtOnceUseTwoConnections)
{
    ServerProcess server;
    const RemoteConnection bagc = connectionTo(server.port());
    std::latch bothInside(2);
    auto load = [&] {
        quint16 local = 0;
        const bool hata = callOnWorker(bagc, [&](TcpConnection &c) {
            local = c.localPort();
            bothInside.arrive_and_wait(); // both connections are open at this moment
            EXPECT_EQ(TServerMethods1Client(&c).EchoString(QStringLiteral("x")), QStringLiteral("x"));
        });
        EXPECT_FALSE(hata);
        return local;
    };
    auto a = std::async(std::launch::async, load);
    auto b = std::async(std::launch::async, load);
    const quint16 pa = a.get(), pb = b.get();
    EXPECT_NE(pa, 0);
    EXPECT_NE(pa, pb);
    EXPECT_FALSE(bagc.Connected());
}

TEST(CallPatterns, AWorkerCallReportsAFailedCheckWithoutABox)
{
    RecordedBoxes boxes;
    CountedPauses pauses;
    const RemoteConnection bagc = connectionTo(ServerProcess::freePort());
    bool called = false;
    EXPECT_TRUE(callOnWorker(bagc, [&](TcpConnection &) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_TRUE(boxes.shown.empty());
}

// ---- notification channel ----

namespace {

int runNotify(const ServerProcess &server, const QString &json)
{
    QProcess p;
    p.start(QStringLiteral(TARVIK_SERVER_EXE), {QStringLiteral("notify"), QStringLiteral("--server"), server.address(), json});
    p.waitForFinished(30000);
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().constData();
    return p.readAllStandardOutput().trimmed().toInt();
}

struct Receiver
{
    CallbackChannelManager manager;
    QObject guard;
    int refreshes = 0;

    explicit Receiver(const ServerProcess &server)
    {
        manager.DSHostname = QStringLiteral("127.0.0.1");
        manager.DSPort = QString::number(server.port());
        manager.reconnectDelayMs = 100;
        manager.RegisterCallback(std::make_shared<TGeriBildirim>(manager.ChannelName, [this] {
            queueTo(&guard, [this] { ++refreshes; });
        }));
    }
};

} // namespace

TEST(NotificationChannel, ANotificationQueuesExactlyOneRefreshAndIsAnsweredTrue)
{
    ServerProcess server;
    Receiver a(server), b(server); // both register with the same manager id "LumaroId"
    ASSERT_TRUE(waitUntil([&] { return a.manager.registered() && b.manager.registered(); }));
    EXPECT_EQ(a.manager.ManagerId, b.manager.ManagerId);

    for (const QString &json : {QStringLiteral("{}"), QStringLiteral("[1,\"iki\",{\"üç\":null}]"), QStringLiteral("\"duyuru\""), QStringLiteral("42")}) {
        SCOPED_TRACE(json.toStdString());
        const int before = a.refreshes;
        EXPECT_EQ(runNotify(server, json), 2);
        QCoreApplication::processEvents();
        EXPECT_EQ(a.refreshes, before + 1);
        EXPECT_EQ(b.refreshes, before + 1);
    }
}

TEST(NotificationChannel, ARefreshForAWindowThatIsGoneIsDropped)
{
    ServerProcess server;
    int refreshes = 0;
    auto window = std::make_unique<QObject>();
    CallbackChannelManager manager;
    manager.DSPort = QString::number(server.port());
    QObject *target = window.get();
    manager.RegisterCallback(std::make_shared<TGeriBildirim>(manager.ChannelName, [&, target] {
        queueTo(target, [&] { ++refreshes; });
    }));
    ASSERT_TRUE(waitUntil([&] { return manager.registered(); }));
    EXPECT_EQ(runNotify(server, QStringLiteral("{}")), 1);
    window.reset(); // the queued refresh goes with it
    QCoreApplication::processEvents();
    EXPECT_EQ(refreshes, 0);
}

TEST(NotificationChannel, TheChannelIsReestablishedAfterTheServerComesBack)
{
    const quint16 port = ServerProcess::freePort();
    auto server = std::make_unique<ServerProcess>(QStringList{}, port);
    Receiver r(*server);
    ASSERT_TRUE(waitUntil([&] { return r.manager.registrations() == 1; }));
    server.reset();
    ASSERT_TRUE(waitUntil([&] { return !r.manager.registered(); }));
    server = std::make_unique<ServerProcess>(QStringList{}, port);
    ASSERT_TRUE(waitUntil([&] { return r.manager.registrations() == 2; }));
    EXPECT_EQ(runNotify(*server, QStringLiteral("{}")), 1); // one registration, not two
    QCoreApplication::processEvents();
    EXPECT_EQ(r.refreshes, 1);
}

TEST(NotificationChannel, AServerThatNeverAnswersLeavesTheClientWorking)
{
    QTcpServer silent;
    ASSERT_TRUE(silent.listen(QHostAddress::LocalHost, 0));
    CallbackChannelManager manager;
    manager.DSPort = QString::number(silent.serverPort());
    manager.RegisterCallback(std::make_shared<TGeriBildirim>(manager.ChannelName, [] {}));
    ASSERT_TRUE(waitUntil([&] { return silent.hasPendingConnections(); }));
    QCoreApplication::processEvents();
    EXPECT_FALSE(manager.registered());
    manager.stop(); // returns: nothing waits on the silent server
    EXPECT_FALSE(manager.registered());
}

TEST(NotificationChannel, TarvikCallListensLikeTheClient)
{
    ServerProcess server;
    QProcess listener;
    listener.start(QStringLiteral(TARVIK_CALL_EXE), {QStringLiteral("--server"), server.address(), QStringLiteral("--listen")});
    QByteArray err;
    ASSERT_TRUE(waitUntil([&] {
        listener.waitForReadyRead(10);
        err += listener.readAllStandardError();
        return err.contains("registered");
    }));
    EXPECT_EQ(runNotify(server, QStringLiteral("{\"metin\":\"Yeni ürünler\"}")), 1);
    QByteArray out;
    ASSERT_TRUE(waitUntil([&] {
        listener.waitForReadyRead(10);
        out += listener.readAllStandardOutput();
        return out.contains('\n');
    }));
    EXPECT_EQ(out, QByteArray("notification: {\"metin\":\"Yeni ürünler\"}\n"));
    listener.terminate();
    EXPECT_TRUE(listener.waitForFinished(5000));
    EXPECT_EQ(listener.exitCode(), 0);
}

TEST(TarvikCallCheck, ExitsZeroWhenTheConnectionOpens)
{
    ServerProcess server;
    QProcess p;
    p.start(QStringLiteral(TARVIK_CALL_EXE), {QStringLiteral("--server"), server.address(), QStringLiteral("--check")});
    ASSERT_TRUE(p.waitForFinished(30000));
    EXPECT_EQ(p.exitCode(), 0);
}
