// Against the real tarvik-server process: round trips, server errors, broken and oversized frames, the
// handshake, shutting down, and tarvik-call.

#include "connection.h"
#include "errors.h"
#include "frame_socket.h"
#include "localenv.h"
#include "server_process.h"
#include "servermethods.h"
#include "test_support.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QTcpSocket>

#include <gtest/gtest.h>

#include <csignal>

using namespace tarvik;

namespace {

const QString kTurkish = QStringLiteral("ığüşöçİĞÜŞÖÇ");

// A bare socket speaking frames, for what the real client never sends.
class RawClient
{
public:
    explicit RawClient(quint16 port)
    {
        socket_.connectToHost(QStringLiteral("127.0.0.1"), port);
        connected_ = socket_.waitForConnected(5000);
    }
    bool connected() const { return connected_; }
    void sendRaw(const QByteArray &bytes)
    {
        socket_.write(bytes);
        socket_.waitForBytesWritten(5000);
    }
    void send(const QByteArray &json) { frames_.send(FrameKind::Json, json, 5000); }
    QJsonObject receive()
    {
        const Frame f = frames_.receive(5000);
        return QJsonDocument::fromJson(f.payload).object();
    }
    void hello() { send(encodeHello()); }
    bool closedByPeer()
    {
        if (socket_.state() == QAbstractSocket::UnconnectedState)
            return true;
        return !socket_.waitForReadyRead(5000) && socket_.state() == QAbstractSocket::UnconnectedState;
    }

private:
    QTcpSocket socket_;
    FrameSocket frames_{socket_};
    bool connected_ = false;
};

struct CallOutput
{
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
};

CallOutput runCall(const QStringList &args)
{
    QProcess p;
    p.start(QStringLiteral(TARVIK_CALL_EXE), args);
    p.waitForFinished(30000);
    return {p.exitCode(), p.readAllStandardOutput(), p.readAllStandardError()};
}

} // namespace

class ServerTest : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_NE(server.port(), 0) << "tarvik-server did not start"; }

    std::unique_ptr<TcpConnection> connect()
    {
        auto c = std::make_unique<TcpConnection>(QStringLiteral("127.0.0.1"), server.port());
        c->open();
        return c;
    }

    ServerProcess server;
};

TEST_F(ServerTest, EchoesAndReversesTurkishText)
{
    auto c = connect();
    TServerMethods1Client p(c.get());
    EXPECT_EQ(p.EchoString(kTurkish), kTurkish);
    EXPECT_EQ(p.EchoString(QString()), QString());
    EXPECT_EQ(p.ReverseString(QStringLiteral("abcİ😀")), QStringLiteral("😀İcba"));
    const QString big(200000, QChar(u'ş'));
    EXPECT_EQ(p.EchoString(big), big);
}

TEST_F(ServerTest, AServerErrorArrivesWithTheServersClassAndMessage)
{
    auto c = connect();
    TServerMethods1Client p(c.get());
    try {
        p.SepetVer2(120);
        ADD_FAILURE() << "no error";
    } catch (const ServerError &e) {
        EXPECT_EQ(e.className(), QStringLiteral("ENotImplemented"));
        EXPECT_EQ(e.message(), QStringLiteral("TServerMethods1.SepetVer2 is not yet served by this server"));
    }
    EXPECT_EQ(p.EchoString(QStringLiteral("hâlâ")), QStringLiteral("hâlâ")); // the connection goes on
}

TEST_F(ServerTest, MalformedRequestsGetAClearErrorAndTheConnectionGoesOn)
{
    RawClient raw(server.port());
    ASSERT_TRUE(raw.connected());
    raw.hello();
    EXPECT_EQ(raw.receive().value(u"op").toString(), QStringLiteral("welcome"));

    const struct
    {
        QByteArray json;
        const char *cls;
        const char *message;
    } cases[] = {
        {"{nope", "EConversionError", "malformed JSON"},
        {R"({"op":"execute","id":2,"command":"TServerMethods1.Yok","params":[]})", "EUnknownMethod", "unknown command TServerMethods1.Yok"},
        {R"({"op":"execute","id":3,"command":"TServerMethods1.EchoString","params":[]})", "EConversionError", "takes 1 parameters, 0 given"},
        {R"({"op":"execute","id":4,"command":"TServerMethods1.EchoString","params":[5]})", "EConversionError", "EchoString.Value: expected a string"},
        {R"({"op":"execute","id":5,"command":"TServerMethods1.SepetHepsiniSil","params":[{"type":"TSonucBilgisi","id":1,"fields":{}}]})", "EConversionError", "unknown class TSonucBilgisi"},
        {R"({"op":"dance","id":6})", "EProtocolError", "unexpected \"dance\""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.json.constData());
        raw.send(c.json);
        const QJsonObject e = raw.receive();
        EXPECT_EQ(e.value(u"op").toString(), QStringLiteral("error"));
        EXPECT_EQ(e.value(u"class").toString(), QString::fromLatin1(c.cls));
        EXPECT_TRUE(e.value(u"message").toString().contains(QString::fromUtf8(c.message))) << e.value(u"message").toString().toStdString();
    }
    raw.send(R"({"op":"execute","id":7,"command":"TServerMethods1.EchoString","params":["tamam"]})");
    const QJsonObject ok = raw.receive();
    EXPECT_EQ(ok.value(u"op").toString(), QStringLiteral("result"));
    EXPECT_EQ(ok.value(u"id").toInt(), 7);
    EXPECT_EQ(ok.value(u"values").toArray().at(1).toString(), QStringLiteral("tamam"));
}

TEST_F(ServerTest, AnOversizedFrameClosesThatConnectionAndOthersAreServed)
{
    auto other = connect();
    TServerMethods1Client p(other.get());
    EXPECT_EQ(p.EchoString(QStringLiteral("önce")), QStringLiteral("önce"));

    RawClient raw(server.port());
    ASSERT_TRUE(raw.connected());
    raw.hello();
    raw.receive();
    raw.sendRaw(QByteArray("\x01\x31\x2D\x00\x4A", 5)); // 20,000,000 bytes announced
    const QJsonObject e = raw.receive();
    EXPECT_EQ(e.value(u"class").toString(), QStringLiteral("EProtocolError"));
    EXPECT_EQ(e.value(u"message").toString(), QStringLiteral("frame of 20000000 bytes exceeds the limit of 16777216 bytes"));
    EXPECT_TRUE(raw.closedByPeer());

    EXPECT_EQ(p.EchoString(QStringLiteral("sonra")), QStringLiteral("sonra"));
    auto fresh = connect();
    TServerMethods1Client q(fresh.get());
    EXPECT_EQ(q.EchoString(kTurkish), kTurkish);
}

TEST_F(ServerTest, TheClientRefusesToSendAnOversizedRequest)
{
    auto c = connect();
    TServerMethods1Client p(c.get());
    const QString tooBig(9 * 1024 * 1024, QChar(u'ğ')); // 18 MiB of UTF-8
    try {
        p.EchoString(tooBig);
        ADD_FAILURE() << "sent";
    } catch (const ProtocolError &e) {
        EXPECT_TRUE(e.message().contains(QStringLiteral("exceeds the limit of 16777216 bytes"))) << e.message().toStdString();
    }
}

TEST_F(ServerTest, TheHandshakeChecksTheProtocolVersion)
{
    RawClient raw(server.port());
    ASSERT_TRUE(raw.connected());
    raw.send(R"({"op":"hello","protocol":"tarvik-rpc","version":2})");
    const QJsonObject e = raw.receive();
    EXPECT_EQ(e.value(u"class").toString(), QStringLiteral("EProtocolVersion"));
    EXPECT_TRUE(raw.closedByPeer());

    RawClient early(server.port());
    early.send(R"({"op":"execute","id":1,"command":"TServerMethods1.EchoString","params":["x"]})");
    EXPECT_EQ(early.receive().value(u"class").toString(), QStringLiteral("EProtocolError"));
}

TEST_F(ServerTest, StopsCleanlyOnSigterm)
{
    auto c = connect(); // an idle client does not hold the server up
    ::kill(static_cast<pid_t>(server.process().processId()), SIGTERM);
    ASSERT_TRUE(server.process().waitForFinished(5000));
    EXPECT_EQ(server.process().exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(server.process().exitCode(), 0);
}

TEST_F(ServerTest, TarvikCallPrintsTheRequestAndTheResponse)
{
    const CallOutput r = runCall({QStringLiteral("--server"), server.address(), QStringLiteral("EchoString"), QStringLiteral("\"Merhaba ığüşöç\"")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    EXPECT_EQ(r.out.trimmed(), QByteArray(R"({"command":"TServerMethods1.EchoString","request":{"op":"execute","id":1,"command":"TServerMethods1.EchoString","params":["Merhaba ığüşöç"]},"response":{"result":"Merhaba ığüşöç"}})"));
}

TEST_F(ServerTest, TarvikCallExitCodes)
{
    const QString s = server.address();
    const struct
    {
        QStringList args;
        int code;
        const char *err;
    } cases[] = {
        {{QStringLiteral("--server"), s, QStringLiteral("Yok")}, 2, "unknown method Yok"},
        {{QStringLiteral("--server"), s, QStringLiteral("EchoString")}, 2, "takes 1 input arguments, 0 given"},
        {{QStringLiteral("--server"), s, QStringLiteral("SepetVer2"), QStringLiteral("\"bir\"")}, 2, "SepetVer2.carino: expected an integer"},
        {{QStringLiteral("--server"), s, QStringLiteral("SepetHepsiniSil"), QStringLiteral("{\"FAD\":1}")}, 2, "has no field FAD"},
        {{QStringLiteral("--server"), s, QStringLiteral("TServerMethods1.SepetVer2"), QStringLiteral("120")}, 4, "ENotImplemented"},
        {{QStringLiteral("--server"), QStringLiteral("127.0.0.1:1"), QStringLiteral("EchoString"), QStringLiteral("\"x\"")}, 3, "cannot connect"},
        {{QStringLiteral("--bogus")}, 2, "unknown option"},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.args.join(u' ').toStdString());
        const CallOutput r = runCall(c.args);
        EXPECT_EQ(r.exitCode, c.code);
        EXPECT_TRUE(r.err.contains(c.err)) << r.err.constData();
        EXPECT_TRUE(r.out.isEmpty());
    }
}

TEST(TarvikCall, DryRunPrintsTheMarshalledIdentityRecord)
{
    const CallOutput r = runCall({QStringLiteral("--dry-run"), QStringLiteral("SepetHepsiniSil"), QStringLiteral("{\"FADI\":\"ALI\"}")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    QByteArray expected = readTestData("tsonucbilgisi_default.json");
    expected.replace(R"("FADI":"")", R"("FADI":"ALI")");
    EXPECT_EQ(r.out.trimmed(), R"({"command":"TServerMethods1.SepetHepsiniSil","request":{"op":"execute","id":1,"command":"TServerMethods1.SepetHepsiniSil","params":[)" + expected + "]}}");
}

TEST(TarvikCall, WhoamiPrintsTheMachineFieldsTheClientSends)
{
    const CallOutput r = runCall({QStringLiteral("--whoami")});
    ASSERT_EQ(r.exitCode, 0) << r.err.constData();
    const QJsonObject o = QJsonDocument::fromJson(r.out).object();
    EXPECT_EQ(o.keys(), (QStringList{QStringLiteral("AyarKlasoru"), QStringLiteral("BILGISAYARID"), QStringLiteral("BilgiSayarAdi"),
                                     QStringLiteral("BilgisayarKullanici"), QStringLiteral("Icip")}));
    EXPECT_EQ(o.value(u"BILGISAYARID").toString(), BilgisayarIdAl());
    EXPECT_EQ(o.value(u"Icip").toString(), YerelIpAl());
    EXPECT_EQ(o.value(u"AyarKlasoru").toString(), AyarKlasoruAl());
}
