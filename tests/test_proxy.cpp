// The proxy's mechanics: ordinals, ownership, command reuse. The connection is a loopback through the real
// codec (request encoded and decoded, answer encoded and decoded) with a scripted server side.

#include "catalogue.h"
#include "errors.h"
#include "protocol.h"
#include "servermethods.h"
#include "test_support.h"

#include <gtest/gtest.h>

#include <functional>

using namespace tarvik;

namespace {

class LoopbackConnection final : public Connection
{
public:
    // Receives the request as the server decodes it, fills the answer's values by ordinal.
    std::function<void(const ExecuteRequest &, std::vector<Value> &)> serve;
    std::string lastRequest;
    long liveAfterMarshal = -1;
    bool open = true;

    bool isOpen() const override { return open; }

    ExecuteResult execute(ExecuteRequest request) override
    {
        request.id = 9;
        const QByteArray sent = encodeExecute(request);
        request.params.clear(); // the objects are marshalled: freed here, as the real transport does
        liveAfterMarshal = TransferObject::liveCount();
        lastRequest = sent.toStdString();

        MessageParser serverParser;
        Message m(serverParser, sent, false);
        const ExecuteRequest decoded = m.request();
        std::vector<Value> values(static_cast<std::size_t>(decoded.method->ordinalCount()));
        if (serve)
            serve(decoded, values);
        std::vector<const QByteArray *> streams;
        const QByteArray answer = encodeResult(decoded.id, *decoded.method, values, &streams);

        MessageParser clientParser;
        Message reply(clientParser, answer, false);
        std::vector<std::pair<int, std::int64_t>> sizes;
        ExecuteResult r = reply.result(*request.method, &sizes);
        for (std::size_t i = 0; i < sizes.size(); ++i)
            std::get<StreamValue>(r.values[static_cast<std::size_t>(sizes[i].first)]).bytes = *streams[i];
        return r;
    }
};

DataTable oneColumn(const char *name, std::initializer_list<int> values)
{
    DataTable t;
    t.addColumn(QString::fromLatin1(name), DbxType::Int32);
    for (int v : values)
        t.appendRow({v});
    return t;
}

} // namespace

TEST(Catalogue, HoldsTheHundredAndTwoMethodsInOrder)
{
    const auto &methods = catalogue();
    ASSERT_EQ(methods.size(), 102u);
    EXPECT_EQ(methods.front().command, "TServerMethods1.DSServerModuleCreate");
    EXPECT_EQ(methods[37].command, "TServerMethods1.SepetEkle2");
    EXPECT_EQ(methods.back().command, "TServerMethods1.CariVadeGunGecmismiBul");
    for (std::size_t i = 0; i < methods.size(); ++i) {
        EXPECT_EQ(methods[i].number, static_cast<int>(i + 1));
        EXPECT_EQ(findMethod(methods[i].command), &methods[i]);
        EXPECT_EQ(findMethod(methods[i].name), &methods[i]);
    }
    EXPECT_EQ(findMethod("TServerMethods2.EchoString"), nullptr);
    EXPECT_EQ(findMethod("Echostring"), nullptr);

    const MethodInfo &sepet = methodInfo(MethodId::SepetEkle2);
    ASSERT_EQ(sepet.paramCount(), 14);
    EXPECT_EQ(sepet.params[13].name, "ind4");
    EXPECT_EQ(sepet.params[0].cls, &TSonucBilgisi::staticClassInfo());
    EXPECT_EQ(sepet.resultOrdinal(), 14);
}

TEST(Proxy, RefusesAMissingOrClosedConnection)
{
    const QString text = QStringLiteral("Connection cannot be nil.  Make sure the connection has been opened.");
    try {
        TServerMethods1Client p(nullptr);
        ADD_FAILURE();
    } catch (const RemoteError &e) {
        EXPECT_EQ(e.message(), text);
    }
    TcpConnection closed(QStringLiteral("127.0.0.1"), 9);
    EXPECT_THROW(TServerMethods1Client{&closed}, ConnectionError);
}

TEST(Proxy, MethodWithoutInputsReadsItsResultFromOrdinalZero)
{
    LoopbackConnection c;
    c.serve = [](const ExecuteRequest &r, std::vector<Value> &v) {
        EXPECT_TRUE(r.params.empty());
        ASSERT_EQ(v.size(), 1u);
        v[0] = oneColumn("SIRA", {3, 2, 1});
    };
    TServerMethods1Client p(&c);
    TableReader *reader = p.DuyuruVer();
    EXPECT_EQ(c.lastRequest, R"({"op":"execute","id":9,"command":"TServerMethods1.DuyuruVer","params":[]})");
    ASSERT_NE(reader, nullptr);
    int sum = 0;
    while (reader->next())
        sum += reader->value(u"SIRA").toInt();
    EXPECT_EQ(sum, 6);
}

TEST(Proxy, BelgeIndir2TakesTheObjectAtOrdinalThreeAndTheStreamFromFour)
{
    LoopbackConnection c;
    const QByteArray pdf = "%PDF-1.4 dekont" + QByteArray(5000, '\x01');
    c.serve = [&](const ExecuteRequest &r, std::vector<Value> &v) {
        EXPECT_EQ(std::get<std::int32_t>(r.params[0]), 15);
        EXPECT_TRUE(std::holds_alternative<std::monostate>(r.params[1]));
        EXPECT_TRUE(std::holds_alternative<std::monostate>(r.params[2]));
        const auto &bilgi = std::get<std::unique_ptr<TransferObject>>(r.params[3]);
        ASSERT_TRUE(bilgi);
        EXPECT_EQ(static_cast<const TSonucBilgisi &>(*bilgi).CARINO(), 120);
        v[1] = std::int64_t(pdf.size());
        v[2] = QStringLiteral("dekont-15.pdf");
        v[4] = StreamValue{pdf};
    };
    TServerMethods1Client p(&c);
    auto bilgi = std::make_unique<TSonucBilgisi>();
    bilgi->setCARINO(120);
    std::int64_t size = 0;
    QString name;
    QIODevice *stream = p.BelgeIndir2(15, size, name, std::move(bilgi));
    EXPECT_EQ(c.lastRequest.rfind(R"({"op":"execute","id":9,"command":"TServerMethods1.BelgeIndir2","params":[15,null,null,{"type":"baglantiu.TSonucBilgisi","id":1,)", 0), 0u);
    EXPECT_EQ(size, pdf.size());
    EXPECT_EQ(name, QStringLiteral("dekont-15.pdf"));
    ASSERT_NE(stream, nullptr);
    QByteArray copied;
    char block[1024];
    for (qint64 n; (n = stream->read(block, sizeof block)) > 0;)
        copied.append(block, n);
    EXPECT_EQ(copied, pdf);
}

TEST(Proxy, MobilStokaraAdimliReadsOutsFromSixAndSevenAndTheListFromEight)
{
    LoopbackConnection c;
    c.serve = [](const ExecuteRequest &r, std::vector<Value> &v) {
        ASSERT_EQ(v.size(), 9u);
        EXPECT_EQ(std::get<std::int32_t>(r.params[5]), 50);
        v[6] = true;
        v[7] = std::int32_t(1234);
        auto list = std::make_unique<TMobilStoklar>();
        auto s = std::make_unique<TMobilStok>();
        s->setKod(QStringLiteral("0 986 452 041"));
        list->Add(std::move(s));
        v[8] = std::unique_ptr<TransferObject>(std::move(list));
    };
    TServerMethods1Client p(&c);
    bool kalan = false;
    std::int32_t toplam = 0;
    TMobilStoklar *list = p.MobilStokaraAdimli(QStringLiteral("BALATA"), nullptr, 0, 0, 0, 50, kalan, toplam);
    EXPECT_TRUE(kalan);
    EXPECT_EQ(toplam, 1234);
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->Count(), 1u);
    EXPECT_EQ(list->Items(0)->Kod(), QStringLiteral("0 986 452 041"));
    // No identity record given: null is sent.
    EXPECT_NE(c.lastRequest.find(R"("params":["BALATA",null,0,0,0,50,null,null])"), std::string::npos) << c.lastRequest;
}

TEST(Proxy, AnIdentityRecordPassedIsFreedRightAfterMarshalling)
{
    LoopbackConnection c;
    c.serve = [](const ExecuteRequest &r, std::vector<Value> &v) {
        EXPECT_EQ(static_cast<const TSonucBilgisi &>(*std::get<std::unique_ptr<TransferObject>>(r.params[0])).ADI(), QStringLiteral("ALI"));
        v[1] = std::int32_t(1);
    };
    TServerMethods1Client p(&c);
    const long base = TransferObject::liveCount();
    auto copy = std::make_unique<TSonucBilgisi>();
    copy->setADI(QStringLiteral("ALI"));
    EXPECT_EQ(p.SepetHepsiniSil(std::move(copy)), 1);
    EXPECT_EQ(copy, nullptr);
    EXPECT_EQ(c.liveAfterMarshal, base); // gone before the request left
    EXPECT_EQ(TransferObject::liveCount(), base);
}

TEST(Proxy, AResultObjectLivesUntilTheSameMethodIsCalledAgain)
{
    LoopbackConnection c;
    int calls = 0;
    c.serve = [&](const ExecuteRequest &r, std::vector<Value> &v) {
        if (r.method->id == MethodId::EchoString) {
            v[1] = QStringLiteral("x");
            return;
        }
        if (std::get<QString>(r.params[0]) == QLatin1String("yok"))
            return; // null object
        auto b = std::make_unique<TSonucBilgisi>();
        b->setADI(QStringLiteral("KULLANICI%1").arg(++calls));
        v[1] = std::unique_ptr<TransferObject>(std::move(b));
    };
    const long base = TransferObject::liveCount();
    {
        TServerMethods1Client p(&c);
        TSonucBilgisi *first = p.BuyukGetir(QStringLiteral("M1"));
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->ADI(), QStringLiteral("KULLANICI1"));
        EXPECT_EQ(TransferObject::liveCount(), base + 1);

        TSonucBilgisi mine;
        mine.Kopyala(*first); // the usual way to keep it
        p.EchoString(QStringLiteral("a")); // another method leaves it alone
        EXPECT_EQ(TransferObject::liveCount(), base + 2);

        TSonucBilgisi *second = p.BuyukGetir(QStringLiteral("M1"));
        EXPECT_EQ(second->ADI(), QStringLiteral("KULLANICI2"));
        EXPECT_EQ(TransferObject::liveCount(), base + 2); // the first one was freed
        EXPECT_EQ(mine.ADI(), QStringLiteral("KULLANICI1"));

        EXPECT_EQ(p.BuyukGetir(QStringLiteral("yok")), nullptr);
        EXPECT_EQ(TransferObject::liveCount(), base + 1);
        EXPECT_EQ(p.preparedCommandCount(), 2); // BuyukGetir and EchoString, each prepared once
    }
    EXPECT_EQ(TransferObject::liveCount(), base);
}

TEST(Proxy, ErrorsPropagateUnchangedAndTheProxyStaysUsable)
{
    LoopbackConnection c;
    bool failNext = true;
    c.serve = [&](const ExecuteRequest &, std::vector<Value> &v) {
        if (failNext) {
            failNext = false;
            throw ServerError(QStringLiteral("EDatabaseError"), QStringLiteral("Sepet kilitli"));
        }
        v[1] = std::int32_t(7);
    };
    TServerMethods1Client p(&c);
    try {
        p.SepetSayisi(std::make_unique<TSonucBilgisi>());
        ADD_FAILURE();
    } catch (const ServerError &e) {
        EXPECT_EQ(e.className(), QStringLiteral("EDatabaseError"));
        EXPECT_EQ(e.message(), QStringLiteral("Sepet kilitli"));
    }
    EXPECT_EQ(p.SepetSayisi(std::make_unique<TSonucBilgisi>()), 7);
    EXPECT_EQ(p.preparedCommandCount(), 1);
}

TEST(Proxy, DataPacketsAreTheCallersOwnCopy)
{
    LoopbackConnection c;
    c.serve = [](const ExecuteRequest &, std::vector<Value> &v) { v[1] = oneColumn("SIRANO", {1, 2}); };
    DataTable kept;
    {
        TServerMethods1Client p(&c);
        kept = p.SepetVer2(5);
    }
    EXPECT_EQ(kept.rowCount(), 2);
    EXPECT_EQ(kept.value(1, u"sirano").toInt(), 2);
}

TEST(Proxy, AnswersOfTheWrongKindAreConversionErrors)
{
    // A server that answers a string where the method returns an Integer.
    MessageParser parser;
    const QByteArray answer = R"({"op":"result","id":1,"values":[null,"7"]})";
    Message m(parser, answer, false);
    EXPECT_THROW(m.result(methodInfo(MethodId::SepetSayisi), nullptr), ConversionError);
    const QByteArray shortAnswer = R"({"op":"result","id":1,"values":[7]})";
    Message m2(parser, shortAnswer, false);
    EXPECT_THROW(m2.result(methodInfo(MethodId::SepetSayisi), nullptr), ConversionError);
}
