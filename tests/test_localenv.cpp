// Local environment: the machine identity and the facts about machine and user, from injected
// sources; the formats of the real sources of this machine.

#include "localenv.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHostAddress>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <stdexcept>

using tarvik::EnvironmentSources;

namespace {

QByteArray bytes(std::initializer_list<unsigned char> b)
{
    return QByteArray(reinterpret_cast<const char *>(std::data(b)), qsizetype(b.size()));
}

// Sources that never touch the machine; each test changes what it is about.
EnvironmentSources fakeSources()
{
    EnvironmentSources s;
    s.diskSerial = [] { return QString(); };
    s.adapterAddresses = [] { return QList<QByteArray>(); };
    s.hostName = [] { return QStringLiteral("kasa"); };
    s.userName = [] { return QStringLiteral("bayi"); };
    s.resolveIPv4 = [](const QString &) { return QStringList(); };
    s.documentsFolder = [] { return QString(); };
    s.dataFolder = [] { return QString(); };
    return s;
}

class LocalEnv : public ::testing::Test
{
protected:
    void SetUp() override { saved_ = tarvik::setEnvironmentSources(fakeSources()); }
    void TearDown() override { tarvik::setEnvironmentSources(saved_); }

    void use(const EnvironmentSources &s) { tarvik::setEnvironmentSources(s); }

private:
    EnvironmentSources saved_;
};

} // namespace

TEST_F(LocalEnv, MachineIdentity)
{
    const QByteArray zeros(6, '\0');
    const QByteArray second = bytes({0x0a, 0x1b, 0x2c, 0x3d, 0x4e, 0x5f});
    const QByteArray third = bytes({0xde, 0xad, 0xbe, 0xef, 0x00, 0x01});
    const QString fixed = QString::fromUtf16(tarvik::config::kSabitBilgisayarId);
    struct Case
    {
        const char *name;
        QString serial; // "!" makes the serial source throw
        QList<QByteArray> adapters;
        QString diskSerial;
        QString adapterAddress;
        QString identity;
    };
    const Case cases[] = {
        {"blanks before, inside and after the serial; upper case", QStringLiteral(" \t wd-wx 41a 8c\r\n "), {second},
         QStringLiteral(" \t WD-WX 41A 8C\r\n "), QStringLiteral("0A-1B-2C-3D-4E-5F"), QStringLiteral("WD-WX41A8C")},
        {"only spaces are removed from the inside", QStringLiteral("ab\tcd"), {}, QStringLiteral("AB\tCD"), QString(),
         QStringLiteral("AB\tCD")},
        {"no serial, first adapter all zeros: the second adapter", QString(), {zeros, second, third}, QString(),
         QStringLiteral("0A-1B-2C-3D-4E-5F"), QStringLiteral("0A-1B-2C-3D-4E-5F")},
        {"a serial of blanks counts as none", QStringLiteral("  \t "), {third}, QStringLiteral("  \t "),
         QStringLiteral("DE-AD-BE-EF-00-01"), QStringLiteral("DE-AD-BE-EF-00-01")},
        {"a failing serial source falls back to the adapter", QStringLiteral("!"), {second}, QString(),
         QStringLiteral("0A-1B-2C-3D-4E-5F"), QStringLiteral("0A-1B-2C-3D-4E-5F")},
        {"entries that are not six bytes are passed over", QString(), {bytes({1, 2, 3, 4}), third}, QString(),
         QStringLiteral("DE-AD-BE-EF-00-01"), QStringLiteral("DE-AD-BE-EF-00-01")},
        {"every adapter all zeros", QString(), {zeros, zeros}, QString(), QStringLiteral("00-00-00-00-00-00"),
         QStringLiteral("00-00-00-00-00-00")},
        {"nothing at all", QString(), {}, QString(), QString(), QString()},
        {"first registered serial, with blanks", QStringLiteral("  WDZ3K2P9 T71A0C4 "), {}, QStringLiteral("  WDZ3K2P9 T71A0C4 "),
         QString(), fixed},
        {"second registered serial, reported in lower case", QStringLiteral("s4evnx0n812745j"), {},
         QStringLiteral("S4EVNX0N812745J"), QString(), fixed},
        {"one character more is another drive", QStringLiteral("WDZ3K2P9T71A0C4X"), {}, QStringLiteral("WDZ3K2P9T71A0C4X"),
         QString(), QStringLiteral("WDZ3K2P9T71A0C4X")},
        {"one character less is another drive", QStringLiteral("S4EVNX0N812745"), {}, QStringLiteral("S4EVNX0N812745"),
         QString(), QStringLiteral("S4EVNX0N812745")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        EnvironmentSources s = fakeSources();
        const bool fails = c.serial == u"!";
        s.diskSerial = [serial = c.serial, fails]() -> QString {
            if (fails)
                throw std::runtime_error("management service not reachable");
            return serial;
        };
        s.adapterAddresses = [a = c.adapters] { return a; };
        use(s);
        if (fails)
            EXPECT_THROW(DiskSeriNoAl(), std::runtime_error);
        else
            EXPECT_EQ(DiskSeriNoAl(), c.diskSerial);
        EXPECT_EQ(MacAdresiAl(), c.adapterAddress);
        EXPECT_EQ(BilgisayarIdAl(), c.identity);
    }
}

TEST_F(LocalEnv, NamesMustFitFifteenCharacters)
{
    struct Case
    {
        QString host;
        QString computer;
        QString user;
        QString userName;
    };
    const Case cases[] = {
        {QStringLiteral("KASA-0123456789"), QStringLiteral("KASA-0123456789"), QStringLiteral("ahmet.yilmaz123"),
         QStringLiteral("ahmet.yilmaz123")},
        {QStringLiteral("KASA-01234567890"), QString(), QStringLiteral("ahmet.yilmaz1234"), QString()},
        {QStringLiteral("kasa.bayi.example.com"), QStringLiteral("kasa"), QStringLiteral("şükrü"), QStringLiteral("şükrü")},
        {QString(), QString(), QString(), QString()},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.host.toStdString() + " / " + c.user.toStdString());
        EnvironmentSources s = fakeSources();
        s.hostName = [h = c.host] { return h; };
        s.userName = [u = c.user] { return u; };
        use(s);
        EXPECT_EQ(BilgisayarAdiAl(), c.computer);
        EXPECT_EQ(KullaniciAdiAl(), c.userName);
    }
}

TEST_F(LocalEnv, LocalAddress)
{
    struct Case
    {
        const char *name;
        QString host;
        QStringList addresses; // "!" makes the resolver throw
        QString expected;
    };
    const Case cases[] = {
        {"first address of the full host name", QStringLiteral("kasa.bayi.example.com"),
         {QStringLiteral("10.1.2.3"), QStringLiteral("192.168.1.5")}, QStringLiteral("10.1.2.3")},
        {"name that does not resolve", QStringLiteral("kasa"), {}, QStringLiteral("127.0.0.1")},
        {"no host name", QString(), {QStringLiteral("10.9.9.9")}, QStringLiteral("127.0.0.1")},
        {"resolver failure", QStringLiteral("kasa"), {QStringLiteral("!")}, QStringLiteral("127.0.0.1")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.name);
        QStringList asked;
        EnvironmentSources s = fakeSources();
        s.hostName = [h = c.host] { return h; };
        s.resolveIPv4 = [&asked, a = c.addresses](const QString &host) -> QStringList {
            asked.append(host);
            if (a == QStringList{QStringLiteral("!")})
                throw std::runtime_error("resolver down");
            return a;
        };
        use(s);
        EXPECT_EQ(YerelIpAl(), c.expected);
        EXPECT_EQ(asked, c.host.isEmpty() ? QStringList() : QStringList{c.host});
    }
}

TEST_F(LocalEnv, SettingsFolderIsCreatedOnceAndKept)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    EnvironmentSources s = fakeSources();
    s.dataFolder = [path = root.path()] { return path; };
    use(s);

    const QString expected = root.path() + u"/tarvik";
    ASSERT_FALSE(QFileInfo::exists(expected));
    const QString first = AyarKlasoruAl();
    EXPECT_EQ(first, expected);
    ASSERT_TRUE(QFileInfo(expected).isDir());

    QFile marker(expected + u"/ayar.ini");
    ASSERT_TRUE(marker.open(QIODevice::WriteOnly));
    marker.write("[Giris]\n");
    marker.close();

    EXPECT_EQ(AyarKlasoruAl(), first);
    EXPECT_TRUE(QFileInfo::exists(expected + u"/ayar.ini")) << "the second call must leave the folder as it is";

    // A trailing separator in the source gives no doubled separator.
    s.dataFolder = [path = root.path()]() -> QString { return path + u'/'; };
    use(s);
    EXPECT_EQ(AyarKlasoruAl(), expected);
}

TEST_F(LocalEnv, SettingsFolderOneLevelOnlyAndUnknownBase)
{
    QTemporaryDir root;
    ASSERT_TRUE(root.isValid());
    EnvironmentSources s = fakeSources();
    const QString missingBase = root.path() + u"/roaming";
    s.dataFolder = [missingBase] { return missingBase; };
    use(s);
    EXPECT_EQ(AyarKlasoruAl(), missingBase + u"/tarvik");
    EXPECT_FALSE(QFileInfo::exists(missingBase)) << "only the last level is created";

    s.dataFolder = [] { return QString(); };
    use(s);
    EXPECT_EQ(AyarKlasoruAl(), QString());
}

TEST_F(LocalEnv, DocumentsFolder)
{
    EnvironmentSources s = fakeSources();
    s.documentsFolder = [] { return QStringLiteral("/home/bayi/Belgeler/"); };
    use(s);
    EXPECT_EQ(BelgelerKlasoruAl(), QStringLiteral("/home/bayi/Belgeler"));
    s.documentsFolder = [] { return QString(); };
    use(s);
    EXPECT_EQ(BelgelerKlasoruAl(), QString());
}

TEST(LocalEnvAddresses, PrefixesFollowTheServerHost)
{
    const QByteArray saved = qgetenv("TARVIK_SERVER");
    const bool wasSet = qEnvironmentVariableIsSet("TARVIK_SERVER");
    struct Case
    {
        const char *env; // nullptr: unset
        QString picture;
        QString web;
    };
    const Case cases[] = {
        {"10.0.0.7:19090", QStringLiteral("http://10.0.0.7/resimgoster.ashx?id="), QStringLiteral("http://10.0.0.7/")},
        {"[::1]:9090", QStringLiteral("http://[::1]/resimgoster.ashx?id="), QStringLiteral("http://[::1]/")},
        {nullptr, QStringLiteral("http://" TARVIK_SERVER_ADDRESS "/resimgoster.ashx?id="),
         QStringLiteral("http://" TARVIK_SERVER_ADDRESS "/")},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(c.env ? c.env : "unset");
        if (c.env)
            qputenv("TARVIK_SERVER", c.env);
        else
            qunsetenv("TARVIK_SERVER");
        AdresleriAyarla();
        EXPECT_EQ(ResimAdresi, c.picture);
        EXPECT_EQ(WebAdresi, c.web);
    }
    if (wasSet)
        qputenv("TARVIK_SERVER", saved);
    else
        qunsetenv("TARVIK_SERVER");
    AdresleriAyarla();
}

// The real sources of this machine keep the formats the server stores machines under.
TEST(LocalEnvSystem, FormatsOfThisMachine)
{
    const EnvironmentSources saved = tarvik::setEnvironmentSources(tarvik::systemEnvironmentSources());
    const QString mac = MacAdresiAl();
    EXPECT_TRUE(mac.isEmpty() || QRegularExpression(QStringLiteral("^([0-9A-F]{2}-){5}[0-9A-F]{2}$")).match(mac).hasMatch())
        << mac.toStdString();
    const QString id = BilgisayarIdAl();
    EXPECT_FALSE(id.contains(u' ')) << id.toStdString();
    EXPECT_EQ(id, id.trimmed());
    for (QChar ch : id)
        EXPECT_FALSE(ch.unicode() >= u'a' && ch.unicode() <= u'z') << id.toStdString();
    const QString ip = YerelIpAl();
    EXPECT_EQ(QHostAddress(ip).protocol(), QAbstractSocket::IPv4Protocol) << ip.toStdString();
    EXPECT_LE(BilgisayarAdiAl().size(), 15);
    EXPECT_LE(KullaniciAdiAl().size(), 15);
    tarvik::setEnvironmentSources(saved);
}
