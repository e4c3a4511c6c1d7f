// The web site next to the application server: pictures, the request form, the setup program and the
// front page, asked over real sockets (a raw one where the exact bytes matter, the network access
// manager where a browser-like client matters).
#include "test_support_qt.h"
#include "web_site.h"

#include <QDir>
#include <QFile>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

using tarvik::server::RequestForm;
using tarvik::server::WebSite;

namespace {

struct Answer
{
    int status = 0;
    std::vector<std::pair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray header(const QByteArray &name) const
    {
        for (const auto &[n, v] : headers) {
            if (n.compare(name, Qt::CaseInsensitive) == 0)
                return v;
        }
        return {};
    }
    QString text() const { return QString::fromUtf8(body); }
};

// Sends `request` as it is and reads one answer (by its Content-Length, or to the end of the connection).
Answer exchange(quint16 port, const QByteArray &request, bool head = false)
{
    QTcpSocket socket;
    socket.connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    EXPECT_TRUE(waitUntil([&] { return socket.state() == QAbstractSocket::ConnectedState; }));
    socket.write(request);
    QByteArray data;
    Answer a;
    qsizetype headerEnd = -1;
    qsizetype length = -1;
    const bool done = waitUntil([&] {
        data += socket.readAll();
        if (headerEnd < 0) {
            headerEnd = data.indexOf("\r\n\r\n");
            if (headerEnd < 0)
                return socket.state() == QAbstractSocket::UnconnectedState;
            const QList<QByteArray> lines = data.left(headerEnd).split('\n');
            const QList<QByteArray> statusLine = lines.value(0).trimmed().split(' ');
            a.status = statusLine.value(1).toInt();
            for (qsizetype i = 1; i < lines.size(); ++i) {
                const qsizetype colon = lines[i].indexOf(':');
                if (colon > 0)
                    a.headers.emplace_back(lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed());
            }
            if (head)
                length = 0;
            else if (!a.header("Content-Length").isEmpty())
                length = a.header("Content-Length").toLongLong();
        }
        if (length >= 0 && data.size() - headerEnd - 4 >= length)
            return true;
        return socket.state() == QAbstractSocket::UnconnectedState;
    }, 20000);
    EXPECT_TRUE(done) << request.left(200).constData();
    if (headerEnd >= 0)
        a.body = length >= 0 ? data.mid(headerEnd + 4, length) : data.mid(headerEnd + 4);
    return a;
}

Answer get(quint16 port, const QByteArray &target)
{
    return exchange(port, "GET " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n\r\n");
}

Answer post(quint16 port, const QByteArray &target, const QByteArray &body)
{
    return exchange(port, "POST " + target + " HTTP/1.1\r\nHost: 127.0.0.1\r\nConnection: close\r\n"
                          "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: "
                        + QByteArray::number(body.size()) + "\r\n\r\n" + body);
}

// The same through the network access manager, as a Qt client would ask.
struct NamAnswer
{
    int status = 0;
    QByteArray contentType;
    QByteArray body;
};

NamAnswer namRequest(const QUrl &url, const QByteArray *postBody = nullptr)
{
    QNetworkAccessManager nam;
    QNetworkRequest request(url);
    std::unique_ptr<QNetworkReply> reply;
    if (postBody) {
        request.setHeader(QNetworkRequest::ContentTypeHeader, QByteArrayLiteral("application/x-www-form-urlencoded"));
        reply.reset(nam.post(request, *postBody));
    } else {
        reply.reset(nam.get(request));
    }
    EXPECT_TRUE(waitUntil([&] { return reply->isFinished(); }, 20000));
    NamAnswer a;
    a.status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    a.contentType = reply->rawHeader("Content-Type");
    a.body = reply->readAll();
    return a;
}

// Bytes that look like a JPEG and contain every byte value, NULs included.
QByteArray fakeJpeg(int size)
{
    QByteArray bytes("\xFF\xD8\xFF\xE0", 4);
    for (int i = 0; bytes.size() < size; ++i)
        bytes.append(static_cast<char>(i * 7 % 256));
    return bytes;
}

QByteArray formBody(const std::vector<std::pair<QString, QString>> &fields)
{
    QByteArray body;
    for (const auto &[name, value] : fields) {
        if (!body.isEmpty())
            body += '&';
        body += QUrl::toPercentEncoding(name) + '=' + QUrl::toPercentEncoding(value, " ").replace(' ', '+');
    }
    return body;
}

const QByteArray kFormPath = "/formmailgonder.aspx?carino=0&kullanici=%20&id=";

class WebSiteTest : public ::testing::Test
{
protected:
    void start(QString setupFile = {})
    {
        site = std::make_unique<WebSite>(
            [this](int stokNo) -> std::optional<QByteArray> {
                asked.push_back(stokNo);
                if (stokNo == 666)
                    throw std::runtime_error("disk error");
                auto it = pictures.find(stokNo);
                if (it == pictures.end())
                    return std::nullopt;
                return it->second;
            },
            [this](const RequestForm &form) {
                if (storeFails)
                    throw std::runtime_error("outbox is full");
                stored.push_back(form);
            },
            std::move(setupFile));
        QString error;
        ASSERT_TRUE(site->listen(QHostAddress(QHostAddress::LocalHost), 0, &error)) << qPrintable(error);
        port = site->port();
        ASSERT_NE(port, 0);
    }

    QUrl url(const QString &pathAndQuery) const
    {
        return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port) + pathAndQuery);
    }

    std::map<int, QByteArray> pictures;
    std::vector<int> asked;
    std::vector<RequestForm> stored;
    bool storeFails = false;
    std::unique_ptr<WebSite> site;
    quint16 port = 0;
};

} // namespace

TEST_F(WebSiteTest, ListensOnAnEphemeralPortAndReportsWhere)
{
    start();
    EXPECT_EQ(site->address(), QHostAddress(QHostAddress::LocalHost));
    QString error;
    EXPECT_FALSE(site->listen(QHostAddress(QHostAddress::LocalHost), 0, &error));
    EXPECT_FALSE(error.isEmpty());

    WebSite second({}, {}, {});
    EXPECT_EQ(second.port(), 0);
    error.clear();
    EXPECT_FALSE(second.listen(QHostAddress(QHostAddress::LocalHost), port, &error));
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(WebSiteTest, PictureIsServedByteExact)
{
    pictures[42] = fakeJpeg(5000);
    start();
    const Answer a = get(port, "/resimgoster.ashx?id=42");
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.header("Content-Type"), "image/jpeg");
    EXPECT_EQ(a.header("Content-Length"), "5000");
    EXPECT_EQ(a.body, pictures[42]);
    EXPECT_EQ(asked, std::vector<int>{42});

    // As the client's stock dialog asks: the picture prefix and the decimal stock number.
    const NamAnswer n = namRequest(url(QStringLiteral("/resimgoster.ashx?id=42")));
    EXPECT_EQ(n.status, 200);
    EXPECT_EQ(n.body, pictures[42]);
}

TEST_F(WebSiteTest, PictureOfAnUnknownOrAbsurdIdIsA404)
{
    pictures[5] = fakeJpeg(3000);
    start();
    const QByteArray numericButUnknown[] = {"7", "0", "2147483647", "0005"};
    for (const QByteArray &id : numericButUnknown) {
        const Answer a = get(port, "/resimgoster.ashx?id=" + id);
        EXPECT_EQ(a.status, id == "0005" ? 200 : 404) << id.constData();
    }
    EXPECT_EQ(asked, (std::vector<int>{7, 0, 2147483647, 5}));

    asked.clear();
    const QByteArray absurd[] = {
        "/resimgoster.ashx?id=-1", "/resimgoster.ashx?id=-2147483648", "/resimgoster.ashx?id=2147483648",
        "/resimgoster.ashx?id=99999999999999999999999999999999", "/resimgoster.ashx?id=abc",
        "/resimgoster.ashx?id=12abc", "/resimgoster.ashx?id=", "/resimgoster.ashx", "/resimgoster.ashx?",
        "/resimgoster.ashx?id", "/resimgoster.ashx?id=%00", "/resimgoster.ashx?id=%35%", "/resimgoster.ashx?id=+5",
        "/resimgoster.ashx?id=%205", "/resimgoster.ashx?id=1e3", "/resimgoster.ashx?id=0x10",
        "/resimgoster.ashx?id=5.0", "/resimgoster.ashx?id=%C5%9F", "/resimgoster.ashx?&&&==&id==5",
    };
    for (const QByteArray &target : absurd) {
        const Answer a = get(port, target);
        EXPECT_EQ(a.status, 404) << target.constData();
        EXPECT_LT(a.body.size(), 1200) << target.constData();
        EXPECT_TRUE(a.header("Content-Type").startsWith("text/plain")) << target.constData();
    }
    EXPECT_TRUE(asked.empty());

    // Still serving afterwards.
    EXPECT_EQ(get(port, "/resimgoster.ashx?id=5").body, pictures[5]);
}

TEST_F(WebSiteTest, PictureProviderFailureIsA500)
{
    start();
    const Answer a = get(port, "/resimgoster.ashx?id=666");
    EXPECT_EQ(a.status, 500);
    EXPECT_LT(a.body.size(), 1200);
    EXPECT_EQ(get(port, "/resimgoster.ashx?id=1").status, 404);
}

TEST_F(WebSiteTest, FormPageNamesTheMachineAndOffersTheForm)
{
    start();
    for (const QByteArray &blank : {QByteArray("%20"), QByteArray("+"), QByteArray("")}) {
        const Answer a = get(port, "/formmailgonder.aspx?carino=0&kullanici=" + blank + "&id=WD-WCAV12345678");
        EXPECT_EQ(a.status, 200) << blank.constData();
        EXPECT_EQ(a.header("Content-Type"), "text/html; charset=utf-8");
        const QString html = a.text();
        EXPECT_TRUE(html.startsWith(QStringLiteral("<!DOCTYPE html>")));
        EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
        EXPECT_TRUE(html.contains(QStringLiteral("<title>Tarvik Vidovevi B2B İstek Formu</title>")));
        EXPECT_TRUE(html.contains(QStringLiteral("kayıtlı değil")));
        EXPECT_TRUE(html.contains(QStringLiteral("<code>WD-WCAV12345678</code>")));
        EXPECT_TRUE(html.contains(QStringLiteral("<form method=\"post\" action=\"/formmailgonder.aspx?carino=0&amp;kullanici=%20&amp;id=WD-WCAV12345678\"")));
        EXPECT_TRUE(html.contains(QStringLiteral("<input type=\"hidden\" name=\"id\" value=\"WD-WCAV12345678\">")));
        for (const char *name : {"firma", "yetkili", "telefon", "eposta", "sehir", "adres", "vergidairesi", "vergino", "not"}) {
            EXPECT_TRUE(html.contains(QStringLiteral("<label for=\"%1\">").arg(QLatin1String(name)))) << name;
            EXPECT_TRUE(html.contains(QStringLiteral("id=\"%1\" name=\"%1\"").arg(QLatin1String(name)))) << name;
        }
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"firma\" name=\"firma\" maxlength=\"500\" autocomplete=\"organization\" required")));
        EXPECT_TRUE(html.contains(QStringLiteral("id=\"telefon\" name=\"telefon\" maxlength=\"500\" autocomplete=\"tel\" required")));
        EXPECT_EQ(html.count(QStringLiteral(" required")), 2);
        EXPECT_FALSE(html.contains(QStringLiteral("role=\"alert\"")));
    }

    // The address exactly as the client builds it, blank after "kullanici=" included.
    const NamAnswer n = namRequest(url(QStringLiteral("/formmailgonder.aspx?carino=0&kullanici= &id=00-1A-2B-3C-4D-5E")));
    EXPECT_EQ(n.status, 200);
    EXPECT_TRUE(QString::fromUtf8(n.body).contains(QStringLiteral("value=\"00-1A-2B-3C-4D-5E\"")));

    // In the address a "+" is part of the identity, not a blank.
    EXPECT_TRUE(get(port, kFormPath + "AB+CD%2B").text().contains(QStringLiteral("value=\"AB+CD+\"")));
    EXPECT_TRUE(stored.empty());
}

TEST_F(WebSiteTest, FormPageEscapesTheIdentityAndWarnsWhenItIsMissing)
{
    start();
    const Answer a = get(port, kFormPath + "%3Cscript%3Ealert(%22x%22)%3C%2Fscript%3E");
    EXPECT_EQ(a.status, 200);
    EXPECT_FALSE(a.text().contains(QStringLiteral("<script")));
    EXPECT_TRUE(a.text().contains(QStringLiteral("value=\"&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt;\"")));
    EXPECT_TRUE(a.text().contains(QStringLiteral("id=%3Cscript%3Ealert%28%22x%22%29%3C%2Fscript%3E\"")));

    const Answer missing = get(port, "/formmailgonder.aspx?carino=0&kullanici=%20");
    EXPECT_EQ(missing.status, 200);
    EXPECT_TRUE(missing.text().contains(QStringLiteral("role=\"alert\"")));
    EXPECT_TRUE(missing.text().contains(QStringLiteral("Bilgisayar kimliği eksik")));
}

TEST_F(WebSiteTest, FormPostStoresExactlyWhatWasSent)
{
    start();
    const QByteArray body = formBody({
        {QStringLiteral("id"), QStringLiteral("WD-WCAV12345678")},
        {QStringLiteral("firma"), QStringLiteral("Çağlar Oto Yedek Parça Ltd. Şti.")},
        {QStringLiteral("yetkili"), QStringLiteral("Ömer Işık")},
        {QStringLiteral("telefon"), QStringLiteral("+90 (212) 555 01 02")},
        {QStringLiteral("eposta"), QStringLiteral("omer@caglaroto.com.tr")},
        {QStringLiteral("sehir"), QStringLiteral("Esenyurt / İstanbul")},
        {QStringLiteral("adres"), QStringLiteral("Sanayi Mah. 3. Sok. No: 5 & 7\r\nKat 2")},
        {QStringLiteral("vergidairesi"), QStringLiteral("Güneşli")},
        {QStringLiteral("vergino"), QStringLiteral("1234567890")},
        {QStringLiteral("not"), QStringLiteral("  Ğğ Üü Şş İı Öö Çç = 100% ")},
    });
    const NamAnswer n = namRequest(url(QStringLiteral("/formmailgonder.aspx?carino=0&kullanici= &id=WD-WCAV12345678")), &body);
    EXPECT_EQ(n.status, 200);
    EXPECT_EQ(n.contentType, "text/html; charset=utf-8");
    const QString html = QString::fromUtf8(n.body);
    EXPECT_TRUE(html.contains(QStringLiteral("Teşekkür ederiz")));
    EXPECT_TRUE(html.contains(QStringLiteral("Çağlar Oto Yedek Parça Ltd. Şti.")));

    ASSERT_EQ(stored.size(), 1u);
    RequestForm expected;
    expected.machineId = QStringLiteral("WD-WCAV12345678");
    expected.companyName = QStringLiteral("Çağlar Oto Yedek Parça Ltd. Şti.");
    expected.contactPerson = QStringLiteral("Ömer Işık");
    expected.phone = QStringLiteral("+90 (212) 555 01 02");
    expected.email = QStringLiteral("omer@caglaroto.com.tr");
    expected.city = QStringLiteral("Esenyurt / İstanbul");
    expected.address = QStringLiteral("Sanayi Mah. 3. Sok. No: 5 & 7\r\nKat 2");
    expected.taxOffice = QStringLiteral("Güneşli");
    expected.taxNumber = QStringLiteral("1234567890");
    expected.note = QStringLiteral("Ğğ Üü Şş İı Öö Çç = 100%");
    expected.remoteAddress = QStringLiteral("127.0.0.1");
    EXPECT_EQ(stored[0], expected);
}

TEST_F(WebSiteTest, FormPostTakesTheIdentityFromTheAddressFirst)
{
    start();
    const QByteArray body = "id=FROM-BODY&firma=A&telefon=1";
    EXPECT_EQ(post(port, kFormPath + "FROM-QUERY", body).status, 200);
    EXPECT_EQ(post(port, "/formmailgonder.aspx?carino=0&kullanici=+", body).status, 200);
    ASSERT_EQ(stored.size(), 2u);
    EXPECT_EQ(stored[0].machineId, QStringLiteral("FROM-QUERY"));
    EXPECT_EQ(stored[1].machineId, QStringLiteral("FROM-BODY"));
    // Only the required fields: the rest is empty.
    EXPECT_EQ(stored[0].companyName, QStringLiteral("A"));
    EXPECT_EQ(stored[0].phone, QStringLiteral("1"));
    EXPECT_TRUE(stored[0].note.isEmpty());
}

TEST_F(WebSiteTest, FormValidationShowsTheFormAgainWithEscapedValues)
{
    start();
    const QString evil = QStringLiteral("<script>alert(\"x\")</script> & 'şey'");
    const Answer a = post(port, kFormPath + "ABC123",
                          formBody({{QStringLiteral("firma"), QStringLiteral("   ")},
                                    {QStringLiteral("yetkili"), evil},
                                    {QStringLiteral("telefon"), QStringLiteral("0212")},
                                    {QStringLiteral("not"), evil}}));
    EXPECT_EQ(a.status, 400);
    EXPECT_EQ(a.header("Content-Type"), "text/html; charset=utf-8");
    const QString html = a.text();
    EXPECT_TRUE(html.contains(QStringLiteral("role=\"alert\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("«Firma Adı» boş bırakılamaz.")));
    EXPECT_FALSE(html.contains(QStringLiteral("«Telefon»")));
    EXPECT_FALSE(html.contains(QStringLiteral("<script")));
    const QString escaped = QStringLiteral("&lt;script&gt;alert(&quot;x&quot;)&lt;/script&gt; &amp; 'şey'");
    EXPECT_TRUE(html.contains(QStringLiteral("value=\"") + escaped + QStringLiteral("\"")));
    EXPECT_TRUE(html.contains(QStringLiteral(">") + escaped + QStringLiteral("</textarea>")));
    EXPECT_TRUE(html.contains(QStringLiteral("value=\"0212\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("value=\"ABC123\"")));
    EXPECT_TRUE(html.contains(QStringLiteral("class=\"invalid\"")));
    EXPECT_TRUE(stored.empty());

    const Answer noPhone = post(port, kFormPath + "ABC123", "firma=Firma&telefon=");
    EXPECT_EQ(noPhone.status, 400);
    EXPECT_TRUE(noPhone.text().contains(QStringLiteral("«Telefon» boş bırakılamaz.")));
    EXPECT_TRUE(noPhone.text().contains(QStringLiteral("value=\"Firma\"")));

    const Answer noId = post(port, "/formmailgonder.aspx?carino=0&kullanici=%20&id=", "firma=Firma&telefon=1");
    EXPECT_EQ(noId.status, 400);
    EXPECT_TRUE(noId.text().contains(QStringLiteral("Bilgisayar kimliği eksik")));

    const QString longText(WebSite::kMaxFieldLength + 1, QChar(u'ş'));
    const Answer tooLong = post(port, kFormPath + "ABC123",
                                formBody({{QStringLiteral("firma"), QStringLiteral("F")},
                                          {QStringLiteral("telefon"), QStringLiteral("1")},
                                          {QStringLiteral("adres"), longText}}));
    EXPECT_EQ(tooLong.status, 400);
    EXPECT_TRUE(tooLong.text().contains(QStringLiteral("«Adres» en çok 500 karakter olabilir (yazılan: 501).")));
    EXPECT_TRUE(stored.empty());

    // Exactly the limit is fine.
    const Answer atLimit = post(port, kFormPath + "ABC123",
                                formBody({{QStringLiteral("firma"), QStringLiteral("F")},
                                          {QStringLiteral("telefon"), QStringLiteral("1")},
                                          {QStringLiteral("adres"), longText.left(WebSite::kMaxFieldLength)}}));
    EXPECT_EQ(atLimit.status, 200);
    ASSERT_EQ(stored.size(), 1u);
    EXPECT_EQ(stored[0].address.size(), WebSite::kMaxFieldLength);

    // A body far beyond what the form can produce is refused without looking at it.
    const Answer huge = post(port, kFormPath + "ABC123", "firma=F&telefon=1&not=" + QByteArray(WebSite::kMaxBodySize, 'x'));
    EXPECT_EQ(huge.status, 413);
    EXPECT_EQ(stored.size(), 1u);
}

TEST_F(WebSiteTest, FormStoreFailureIsA500WithTheFormKept)
{
    storeFails = true;
    start();
    const Answer a = post(port, kFormPath + "ABC123", formBody({{QStringLiteral("firma"), QStringLiteral("Şahin Oto")},
                                                                {QStringLiteral("telefon"), QStringLiteral("0312 444")}}));
    EXPECT_EQ(a.status, 500);
    EXPECT_EQ(a.header("Content-Type"), "text/html; charset=utf-8");
    EXPECT_TRUE(a.text().contains(QStringLiteral("İsteğiniz şu anda kaydedilemedi")));
    EXPECT_TRUE(a.text().contains(QStringLiteral("value=\"Şahin Oto\"")));
    EXPECT_TRUE(stored.empty());
}

TEST_F(WebSiteTest, SetupProgramIsServedByteExact)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.filePath(QStringLiteral("TarvikSetup.exe"));
    QByteArray content(3 * 1024 * 1024 + 17, Qt::Uninitialized);
    std::mt19937 random(1234);
    for (char &c : content)
        c = static_cast<char>(random() & 0xFF);
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        ASSERT_EQ(f.write(content), content.size());
    }
    start(path);

    const Answer a = get(port, "/exe/TarvikSetup.exe");
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.header("Content-Type"), "application/octet-stream");
    EXPECT_EQ(a.header("Content-Length"), QByteArray::number(content.size()));
    EXPECT_EQ(a.body.size(), content.size());
    EXPECT_TRUE(a.body == content);

    const NamAnswer n = namRequest(url(QStringLiteral("/exe/TarvikSetup.exe")));
    EXPECT_EQ(n.status, 200);
    EXPECT_TRUE(n.body == content);

    const Answer head = exchange(port, "HEAD /exe/TarvikSetup.exe HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n", true);
    EXPECT_EQ(head.status, 200);
    EXPECT_EQ(head.header("Content-Length"), QByteArray::number(content.size()));

    // The front page offers the download when there is one.
    EXPECT_TRUE(get(port, "/").text().contains(QStringLiteral("href=\"/exe/TarvikSetup.exe\"")));

    // Gone from the disk: 404.
    ASSERT_TRUE(QFile::remove(path));
    EXPECT_EQ(get(port, "/exe/TarvikSetup.exe").status, 404);
}

TEST_F(WebSiteTest, SetupProgramIsA404WhenNotConfigured)
{
    start();
    const Answer a = get(port, "/exe/TarvikSetup.exe");
    EXPECT_EQ(a.status, 404);
    EXPECT_FALSE(get(port, "/").text().contains(QStringLiteral("TarvikSetup.exe")));

    WebSite directory({}, {}, QDir::tempPath());
    QString error;
    ASSERT_TRUE(directory.listen(QHostAddress(QHostAddress::LocalHost), 0, &error));
    EXPECT_EQ(get(directory.port(), "/exe/TarvikSetup.exe").status, 404);
}

TEST_F(WebSiteTest, FrontPageIntroducesTheFirm)
{
    start();
    const Answer a = get(port, "/");
    EXPECT_EQ(a.status, 200);
    EXPECT_EQ(a.header("Content-Type"), "text/html; charset=utf-8");
    const QString html = a.text();
    EXPECT_TRUE(html.contains(QStringLiteral("<meta charset=\"utf-8\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("<html lang=\"tr\">")));
    EXPECT_TRUE(html.contains(QStringLiteral("Tarvik Vidovevi")));
    EXPECT_TRUE(html.contains(QStringLiteral("yedek parça")));
}

TEST_F(WebSiteTest, EverythingElseIsA404)
{
    start();
    const QByteArray targets[] = {"/index.html", "/resimgoster.ashx/1", "/resimgoster.ashx.bak?id=1",
                                  "/resimgosterXashx?id=1", "/exe/", "/exe/TarvikSetup.exe.bak",
                                  "/exe/../etc/passwd", "/formmailgonder.aspx/x", "/%00", "/a%2Fb"};
    for (const QByteArray &t : targets)
        EXPECT_EQ(get(port, t).status, 404) << t.constData();

    // Paths compare without regard to case, as on the old site.
    pictures[3] = fakeJpeg(2000);
    EXPECT_EQ(get(port, "/ResimGoster.ashx?ID=3").status, 200);

    // Known paths refuse methods they do not take.
    const Answer del = exchange(port, "DELETE /resimgoster.ashx?id=3 HTTP/1.1\r\nHost: x\r\nConnection: close\r\n\r\n");
    EXPECT_EQ(del.status, 405);
    EXPECT_EQ(del.header("Allow"), "GET, HEAD");
    EXPECT_EQ(post(port, "/", "x=1").status, 405);
}

TEST_F(WebSiteTest, SeveralRequestsOnOneConnection)
{
    pictures[1] = fakeJpeg(1500);
    start();
    QNetworkAccessManager nam;
    std::vector<std::unique_ptr<QNetworkReply>> replies;
    for (int i = 0; i < 6; ++i)
        replies.emplace_back(nam.get(QNetworkRequest(url(i % 2 ? QStringLiteral("/") : QStringLiteral("/resimgoster.ashx?id=1")))));
    ASSERT_TRUE(waitUntil([&] {
        for (const auto &r : replies) {
            if (!r->isFinished())
                return false;
        }
        return true;
    }, 20000));
    for (int i = 0; i < 6; ++i) {
        EXPECT_EQ(replies[i]->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt(), 200) << i;
        if (i % 2 == 0) {
            EXPECT_EQ(replies[i]->readAll(), pictures[1]);
        }
    }
}
