// Every kind of value over a real loopback socket, against the server library with handlers made for the
// test: streams larger than one chunk, callbacks during a call, tables, JSON arrays, Double outs.

#include "connection.h"
#include "errors.h"
#include "frame_socket.h"
#include "rpc_server.h"
#include "servermethods.h"

#include <QCoreApplication>
#include <QJsonArray>
#include <QJsonObject>
#include <QTcpServer>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <future>
#include <thread>

using namespace tarvik;
using namespace std::chrono_literals;

namespace {

// Runs `work` on a thread of its own while this thread serves the listening socket.
template<class F>
auto whileServing(F work)
{
    auto future = std::async(std::launch::async, std::move(work));
    while (future.wait_for(0ms) != std::future_status::ready)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return future.get();
}

class Recorder final : public RemoteCallback
{
public:
    using RemoteCallback::RemoteCallback;
    std::vector<std::string> received;
    QByteArray Execute(std::string_view arg) override
    {
        received.emplace_back(arg);
        return "true";
    }
};

QByteArray pattern(qsizetype n)
{
    QByteArray b(n, Qt::Uninitialized);
    for (qsizetype i = 0; i < n; ++i)
        b[i] = static_cast<char>((i * 131) ^ (i >> 11));
    return b;
}

} // namespace

class ValueKinds : public ::testing::Test
{
protected:
    void SetUp() override
    {
        auto d = std::make_shared<server::Dispatcher>();
        d->add(MethodId::BelgeIndir2, [](server::ServerCall &c) {
            const QByteArray bytes = pattern(3 * 1024 * 1024 + 5 + c.integer("sirano"));
            c.setOut("size", std::int64_t(bytes.size()));
            c.setOut("adi", QStringLiteral("rapor-%1.pdf").arg(c.objectAs<TSonucBilgisi>("bilgi")->CARINO()));
            c.setResult(StreamValue{bytes});
        });
        d->add(MethodId::DosyaIndir, [](server::ServerCall &c) {
            c.setOut("size", std::int64_t(0));
            c.setResult(StreamValue{});
        });
        d->add(MethodId::MobilStokaraGeri, [](server::ServerCall &c) {
            int trues = 0;
            for (int i = 1; i <= c.integer("nekadar"); ++i)
                trues += c.callBack("geri", "{\"sayfa\":" + std::to_string(i) + "}") == "true";
            c.setResult(std::int32_t(trues));
        });
        d->add(MethodId::KurlariAl, [](server::ServerCall &c) {
            c.setOut("usd", 34.1234);
            c.setOut("eur", 36.5);
            c.setResult(std::int32_t(1));
        });
        d->add(MethodId::CarileriVer, [](server::ServerCall &c) { c.setResult(JsonText{R"([{"CARINO":120,"ADI":"ÖZ OTO"},2])"}); });
        d->add(MethodId::CariAra, [](server::ServerCall &c) {
            DataTable t;
            t.addColumn(QStringLiteral("CARINO"), DbxType::Int32);
            t.addColumn(QStringLiteral("CARIADI"), DbxType::WideString);
            t.appendRow({120, QString(c.string("aranan") + QStringLiteral(" OTO"))});
            t.appendRow({121, QVariant()});
            c.setResult(std::move(t));
        });
        d->add(MethodId::SepetSayisi, [](server::ServerCall &) { throw std::runtime_error("veritabanı kapalı"); });
        d->add(MethodId::SepetVer2, [](server::ServerCall &c) { c.setResult(QStringLiteral("tablo değil")); });
        server_ = std::make_unique<server::RpcServer>(d);
        QString error;
        ASSERT_TRUE(server_->listen(QHostAddress::LocalHost, 0, &error)) << error.toStdString();
    }

    std::unique_ptr<TcpConnection> open()
    {
        auto c = std::make_unique<TcpConnection>(QStringLiteral("127.0.0.1"), server_->port());
        c->open();
        return c;
    }

    std::unique_ptr<server::RpcServer> server_;
};

TEST_F(ValueKinds, StreamsArriveWholeAcrossSeveralChunks)
{
    whileServing([&] {
        auto c = open();
        TServerMethods1Client p(c.get());
        auto bilgi = std::make_unique<TSonucBilgisi>();
        bilgi->setCARINO(77);
        std::int64_t size = 0;
        QString name;
        QIODevice *s = p.BelgeIndir2(2, size, name, std::move(bilgi));
        EXPECT_EQ(size, 3 * 1024 * 1024 + 7);
        EXPECT_EQ(name, QStringLiteral("rapor-77.pdf"));
        EXPECT_EQ(s->readAll(), pattern(size));

        std::int64_t none = -1;
        QIODevice *empty = p.DosyaIndir(none);
        EXPECT_EQ(none, 0);
        ASSERT_NE(empty, nullptr);
        EXPECT_EQ(empty->size(), 0);
    });
}

TEST_F(ValueKinds, TheServerCallsBackWhileTheMethodRuns)
{
    whileServing([&] {
        auto c = open();
        TServerMethods1Client p(c.get());
        auto geri = std::make_shared<Recorder>(QStringLiteral("geri"));
        EXPECT_EQ(p.MobilStokaraGeri(QStringLiteral("FİLTRE"), nullptr, 0, 3, geri), 3);
        EXPECT_EQ(geri->received, (std::vector<std::string>{R"({"sayfa":1})", R"({"sayfa":2})", R"({"sayfa":3})"}));
    });
}

TEST_F(ValueKinds, DoublesTablesAndJsonArrays)
{
    whileServing([&] {
        auto c = open();
        TServerMethods1Client p(c.get());
        double usd = 0, eur = 0;
        EXPECT_EQ(p.KurlariAl(usd, eur), 1);
        EXPECT_EQ(usd, 34.1234);
        EXPECT_EQ(eur, 36.5);

        TableReader *r = p.CariAra(std::make_unique<TSonucBilgisi>(), QStringLiteral("ÇAĞLAR"));
        ASSERT_TRUE(r && r->next());
        EXPECT_EQ(r->value(u"CARIADI").toString(), QStringLiteral("ÇAĞLAR OTO"));
        ASSERT_TRUE(r->next());
        EXPECT_FALSE(r->value(u"CARIADI").isValid());
        EXPECT_FALSE(r->next());

        const QJsonArray *a = p.CarileriVer();
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->size(), 2);
        EXPECT_EQ(a->at(0).toObject().value(u"ADI").toString(), QStringLiteral("ÖZ OTO"));
    });
}

TEST_F(ValueKinds, HandlerFailuresBecomeServerErrors)
{
    whileServing([&] {
        auto c = open();
        TServerMethods1Client p(c.get());
        try {
            p.SepetSayisi(std::make_unique<TSonucBilgisi>());
            ADD_FAILURE();
        } catch (const ServerError &e) {
            EXPECT_EQ(e.className(), QStringLiteral("Exception"));
            EXPECT_EQ(e.message(), QStringLiteral("veritabanı kapalı"));
        }
        // A handler that answers with the wrong kind is caught by the server, not sent half-made.
        try {
            p.SepetVer2(1);
            ADD_FAILURE();
        } catch (const ServerError &e) {
            EXPECT_TRUE(e.message().contains(QStringLiteral("could not encode"))) << e.message().toStdString();
        }
        EXPECT_TRUE(c->isOpen());
    });
}

TEST_F(ValueKinds, ClonesAreIndependentConnections)
{
    whileServing([&] {
        auto a = open();
        auto b = a->clone();
        EXPECT_FALSE(b->isOpen());
        b->open();
        TServerMethods1Client pa(a.get()), pb(b.get());
        double u1 = 0, e1 = 0, u2 = 0, e2 = 0;
        pa.KurlariAl(u1, e1);
        a->close();
        pb.KurlariAl(u2, e2);
        EXPECT_EQ(u1, u2);
        EXPECT_THROW(pa.KurlariAl(u1, e1), ConnectionError);
    });
}

// A peer that answers with a stream and hangs up half-way: the call fails and no partial stream is given.
TEST(TruncatedAnswers, AStreamCutShortFailsTheCallAndHandsOverNothing)
{
    std::promise<quint16> portPromise;
    std::thread peer([&] {
        QTcpServer listener;
        listener.listen(QHostAddress::LocalHost, 0);
        portPromise.set_value(listener.serverPort());
        if (!listener.waitForNewConnection(10000))
            return;
        QTcpSocket *s = listener.nextPendingConnection();
        FrameSocket frames(*s);
        frames.receive(5000); // hello
        frames.send(FrameKind::Json, encodeWelcome("kesik"), 5000);
        frames.receive(5000); // execute
        frames.send(FrameKind::Json, R"({"op":"result","id":1,"values":[100,{"stream":100}]})", 5000);
        frames.send(FrameKind::Binary, QByteArray(40, 'x'), 5000);
        s->disconnectFromHost();
        if (s->state() != QAbstractSocket::UnconnectedState)
            s->waitForDisconnected(5000);
    });
    TcpConnection c(QStringLiteral("127.0.0.1"), portPromise.get_future().get());
    c.open();
    TServerMethods1Client p(&c);
    std::int64_t size = 0;
    EXPECT_THROW(p.DosyaIndir(size), ConnectionError);
    EXPECT_EQ(size, 0);
    EXPECT_FALSE(c.isOpen());
    peer.join();
}
