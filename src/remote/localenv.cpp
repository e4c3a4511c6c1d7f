#include "localenv.h"

#include "connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QNetworkInterface>
#include <QStandardPaths>
#include <QSysInfo>
#include <QUrl>

#include <mutex>
#include <stdexcept>
#include <vector>

#ifdef _WIN32
#  ifndef NOMINMAX
#    define NOMINMAX
#  endif
#  include <winsock2.h>
#  include <ws2tcpip.h>
#  include <windows.h>
#  include <lmcons.h>
#  include <nb30.h>
#  include <shlobj.h>
#  include <wbemidl.h>
#  include <comdef.h>
#  include <cstring>
#  include <string>
#else
#  include <arpa/inet.h>
#  include <netdb.h>
#  include <netinet/in.h>
#  include <pwd.h>
#  include <sys/socket.h>
#  include <sys/types.h>
#  include <unistd.h>
#endif

namespace tarvik {

namespace {

// The room the Windows name calls are given: 15 characters and the terminator.
constexpr qsizetype kNameRoom = 16;

// Trim as the identity has always been trimmed: every character up to and including the space is a
// blank or a control character, at either end.
QString trimBlanksAndControls(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text.at(begin).unicode() <= u' ')
        ++begin;
    while (end > begin && text.at(end - 1).unicode() <= u' ')
        --end;
    return text.mid(begin, end - begin);
}

// Upper case for the identity: ASCII letters only, so that no locale or Unicode case rule (the
// Turkish dotted i, ß) can change a serial that the server stores as it was first sent.
QString asciiUpper(QString text)
{
    for (QChar &c : text) {
        if (c.unicode() >= u'a' && c.unicode() <= u'z')
            c = QChar(char16_t(c.unicode() - u'a' + u'A'));
    }
    return text;
}

QString withoutTrailingSeparators(QString path)
{
    while (path.size() > 1 && (path.endsWith(u'/') || path.endsWith(u'\\')))
        path.chop(1);
    return path;
}

// The adapter address text: six two-digit upper-case hexadecimal numbers joined by "-".
QString adapterAddressText(const QByteArray &address)
{
    return QString::fromLatin1(address.toHex('-').toUpper());
}

// ---- The sources of this platform --------------------------------------------------------------

#ifdef _WIN32

// Component runtime of the calling thread, for the duration of one query.
class ComScope
{
public:
    ComScope() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~ComScope()
    {
        if (SUCCEEDED(hr_))
            CoUninitialize();
    }
    ComScope(const ComScope &) = delete;
    ComScope &operator=(const ComScope &) = delete;

private:
    HRESULT hr_;
};

[[noreturn]] void throwWmi(const char *what, HRESULT hr)
{
    throw std::runtime_error(std::string(what) + " (HRESULT " + std::to_string(static_cast<unsigned long>(hr)) + ")");
}

QString systemDiskSerial()
{
    ComScope com;
    IWbemLocator *locator = nullptr;
    HRESULT hr = CoCreateInstance(CLSID_WbemLocator, nullptr, CLSCTX_INPROC_SERVER, IID_IWbemLocator,
                                  reinterpret_cast<void **>(&locator));
    if (FAILED(hr))
        throwWmi("WMI bulunamadı", hr);
    IWbemServices *services = nullptr;
    hr = locator->ConnectServer(_bstr_t(L"\\\\localhost\\root\\CIMV2"), nullptr, nullptr, nullptr, 0, nullptr,
                                nullptr, &services);
    locator->Release();
    if (FAILED(hr))
        throwWmi("WMI bağlantısı kurulamadı", hr);
    CoSetProxyBlanket(services, RPC_C_AUTHN_WINNT, RPC_C_AUTHZ_NONE, nullptr, RPC_C_AUTHN_LEVEL_CALL,
                      RPC_C_IMP_LEVEL_IMPERSONATE, nullptr, EOAC_NONE);
    IEnumWbemClassObject *items = nullptr;
    hr = services->ExecQuery(
        _bstr_t(L"WQL"),
        _bstr_t(LR"(SELECT SerialNumber FROM Win32_DiskDrive WHERE DeviceID="\\\\.\\PHYSICALDRIVE0")"),
        WBEM_FLAG_FORWARD_ONLY | WBEM_FLAG_RETURN_IMMEDIATELY, nullptr, &items);
    services->Release();
    if (FAILED(hr))
        throwWmi("WMI sorgusu çalışmadı", hr);
    QString serial;
    for (;;) {
        IWbemClassObject *item = nullptr;
        ULONG returned = 0;
        if (FAILED(items->Next(WBEM_INFINITE, 1, &item, &returned)) || returned == 0)
            break;
        VARIANT value;
        VariantInit(&value);
        // The last item wins; a null serial is empty text.
        serial.clear();
        if (SUCCEEDED(item->Get(L"SerialNumber", 0, &value, nullptr, nullptr)) && value.vt == VT_BSTR)
            serial = QString::fromWCharArray(value.bstrVal, SysStringLen(value.bstrVal));
        VariantClear(&value);
        item->Release();
    }
    items->Release();
    return serial;
}

// NetBIOS: the enumerate command lists the adapter numbers; each adapter is reset and asked for its
// status. One control block, zeroed before every command; the status area is zeroed once, so an
// adapter whose status call fails is reported as an empty entry.
QList<QByteArray> systemAdapterAddresses()
{
    NCB ncb;
    LANA_ENUM lanas;
    ZeroMemory(&lanas, sizeof lanas);
    struct
    {
        ADAPTER_STATUS status;
        NAME_BUFFER names[30];
    } status;
    ZeroMemory(&status, sizeof status);

    ZeroMemory(&ncb, sizeof ncb);
    ncb.ncb_command = NCBENUM;
    ncb.ncb_buffer = reinterpret_cast<PUCHAR>(&lanas);
    ncb.ncb_length = 4;
    Netbios(&ncb);

    QList<QByteArray> addresses;
    for (int i = 0; i < lanas.length; ++i) {
        ZeroMemory(&ncb, sizeof ncb);
        ncb.ncb_command = NCBRESET;
        ncb.ncb_lana_num = lanas.lana[i];
        Netbios(&ncb);

        ZeroMemory(&ncb, sizeof ncb);
        ncb.ncb_command = NCBASTAT;
        ncb.ncb_lana_num = lanas.lana[i];
        std::memcpy(ncb.ncb_callname, "*               ", NCBNAMSZ);
        ncb.ncb_buffer = reinterpret_cast<PUCHAR>(&status);
        ncb.ncb_length = 60;
        const UCHAR rc = Netbios(&ncb);
        if (rc == NRC_GOODRET || rc == NRC_BUFLEN)
            addresses.append(QByteArray(reinterpret_cast<const char *>(status.status.adapter_address), 6));
        else
            addresses.append(QByteArray());
    }
    return addresses;
}

QString systemHostName()
{
    wchar_t name[256];
    DWORD size = DWORD(std::size(name));
    if (!GetComputerNameExW(ComputerNameDnsHostname, name, &size))
        return {};
    return QString::fromWCharArray(name, int(size));
}

QString systemUserName()
{
    wchar_t name[UNLEN + 1];
    DWORD size = DWORD(std::size(name));
    if (!GetUserNameW(name, &size) || size == 0)
        return {};
    return QString::fromWCharArray(name, int(size - 1));
}

QString shellFolder(int csidl)
{
    wchar_t path[MAX_PATH];
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path)))
        return {};
    return QDir::fromNativeSeparators(QString::fromWCharArray(path));
}

QString systemDocumentsFolder() { return shellFolder(CSIDL_PERSONAL); }
QString systemDataFolder() { return shellFolder(CSIDL_APPDATA); }

// Windows sockets, version 1.1, for the lifetime of one lookup.
class SocketsScope
{
public:
    SocketsScope()
    {
        WSADATA data;
        ok_ = WSAStartup(MAKEWORD(1, 1), &data) == 0;
    }
    ~SocketsScope()
    {
        if (ok_)
            WSACleanup();
    }
    SocketsScope(const SocketsScope &) = delete;
    SocketsScope &operator=(const SocketsScope &) = delete;
    bool ok() const { return ok_; }

private:
    bool ok_ = false;
};

#else // Linux and other POSIX systems

QByteArray readSysfs(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return file.readAll();
}

// A serial file ends with a newline and may be padded with NULs; the blanks are the serial's own.
QString serialText(QByteArray bytes)
{
    const qsizetype nul = bytes.indexOf('\0');
    if (nul >= 0)
        bytes.truncate(nul);
    while (bytes.endsWith('\n') || bytes.endsWith('\r'))
        bytes.chop(1);
    return QString::fromLatin1(bytes);
}

// Unit serial number page (0x80): four header bytes, the page length in bytes 2-3, then the serial.
QString vpdSerial(const QByteArray &page)
{
    if (page.size() < 4 || static_cast<unsigned char>(page.at(1)) != 0x80)
        return {};
    const int length = (static_cast<unsigned char>(page.at(2)) << 8) | static_cast<unsigned char>(page.at(3));
    return serialText(page.mid(4, length));
}

// The first physical drive: block devices in name order, those with a device behind them (loop, ram,
// zram, dm and md devices have none) that are not removable (optical drives, card readers, sticks).
QString systemDiskSerial()
{
    const QDir block(QStringLiteral("/sys/block"));
    const QStringList names = block.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString &name : names) {
        const QString dir = block.filePath(name);
        if (!QFileInfo::exists(dir + u"/device"))
            continue;
        if (readSysfs(dir + u"/removable").trimmed() == "1")
            continue;
        for (const QString &file : {QStringLiteral("/device/serial"), QStringLiteral("/serial")}) {
            const QString serial = serialText(readSysfs(dir + file));
            if (!serial.trimmed().isEmpty())
                return serial;
        }
        return vpdSerial(readSysfs(dir + u"/device/vpd_pg80"));
    }
    return {};
}

QList<QByteArray> systemAdapterAddresses()
{
    // Adapters with a device behind them (network cards) come before bridges, tunnels and the
    // interfaces of containers, which come and go; each group keeps the system's interface order.
    QList<QByteArray> physical;
    QList<QByteArray> others;
    const QList<QNetworkInterface> interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : interfaces) {
        if (iface.flags().testFlag(QNetworkInterface::IsLoopBack))
            continue;
        const QString text = iface.hardwareAddress();
        if (text.size() != 17)
            continue;
        const QByteArray address = QByteArray::fromHex(text.toLatin1());
        if (address.size() != 6)
            continue;
        if (QFileInfo::exists(u"/sys/class/net/" % iface.name() % u"/device"))
            physical.append(address);
        else
            others.append(address);
    }
    return physical + others;
}

QString systemHostName() { return QSysInfo::machineHostName(); }

QString systemUserName()
{
    long room = sysconf(_SC_GETPW_R_SIZE_MAX);
    if (room <= 0)
        room = 16384;
    std::vector<char> buffer(static_cast<size_t>(room));
    passwd entry{};
    passwd *found = nullptr;
    if (getpwuid_r(geteuid(), &entry, buffer.data(), buffer.size(), &found) == 0 && found && found->pw_name
        && *found->pw_name)
        return QString::fromLocal8Bit(found->pw_name);
    QString name = qEnvironmentVariable("USER");
    if (name.isEmpty())
        name = qEnvironmentVariable("LOGNAME");
    return name;
}

QString systemDocumentsFolder() { return QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation); }

// The roaming application-data folder of Windows holds the program's settings; here that is the XDG
// config home (~/.config unless XDG_CONFIG_HOME says otherwise).
QString systemDataFolder() { return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation); }

class SocketsScope
{
public:
    bool ok() const { return true; }
};

#endif

QStringList systemResolveIPv4(const QString &hostName)
{
    SocketsScope sockets;
    if (!sockets.ok() || hostName.isEmpty())
        return {};
    const QByteArray name = QUrl::toAce(hostName);
    if (name.isEmpty())
        return {};
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo *list = nullptr;
    if (getaddrinfo(name.constData(), nullptr, &hints, &list) != 0)
        return {};
    QStringList addresses;
    for (const addrinfo *a = list; a; a = a->ai_next) {
        if (a->ai_family != AF_INET || !a->ai_addr)
            continue;
        char text[INET_ADDRSTRLEN] = {};
        const auto *ipv4 = reinterpret_cast<const sockaddr_in *>(a->ai_addr);
        if (inet_ntop(AF_INET, &ipv4->sin_addr, text, sizeof text))
            addresses.append(QString::fromLatin1(text));
    }
    freeaddrinfo(list);
    return addresses;
}

// ---- Installed sources ---------------------------------------------------------------------------

void fillMissing(EnvironmentSources &s)
{
    if (!s.diskSerial)
        s.diskSerial = systemDiskSerial;
    if (!s.adapterAddresses)
        s.adapterAddresses = systemAdapterAddresses;
    if (!s.hostName)
        s.hostName = systemHostName;
    if (!s.userName)
        s.userName = systemUserName;
    if (!s.resolveIPv4)
        s.resolveIPv4 = systemResolveIPv4;
    if (!s.documentsFolder)
        s.documentsFolder = systemDocumentsFolder;
    if (!s.dataFolder)
        s.dataFolder = systemDataFolder;
}

struct Installed
{
    std::mutex mutex;
    EnvironmentSources sources = systemEnvironmentSources();
};

Installed &installed()
{
    static Installed i;
    return i;
}

// A copy of one source, so that it runs outside the lock.
template <typename F>
F source(F EnvironmentSources::*member)
{
    Installed &i = installed();
    const std::lock_guard lock(i.mutex);
    return i.sources.*member;
}

QString serverHost()
{
    QString host;
    quint16 port = 0;
    defaultServer(&host, &port);
    return host;
}

} // namespace

EnvironmentSources systemEnvironmentSources()
{
    EnvironmentSources s;
    fillMissing(s);
    return s;
}

EnvironmentSources setEnvironmentSources(EnvironmentSources sources)
{
    fillMissing(sources);
    Installed &i = installed();
    const std::lock_guard lock(i.mutex);
    std::swap(i.sources, sources);
    return sources;
}

QString serverWebAddress(const QString &path)
{
    // TARVIK_WEB=host:port points the web pages somewhere else (a test server's site on its own port).
    const QString web = qEnvironmentVariable("TARVIK_WEB").trimmed();
    if (!web.isEmpty())
        return u"http://" % web % path;
    QString host = serverHost();
    if (host.contains(u':'))
        host = u'[' % host % u']';
    return u"http://" % host % path;
}

} // namespace tarvik

QString ResimAdresi = tarvik::serverWebAddress(QStringLiteral("/resimgoster.ashx?id="));
QString WebAdresi = tarvik::serverWebAddress(QStringLiteral("/"));

void AdresleriAyarla()
{
    const QString resim = tarvik::serverWebAddress(QStringLiteral("/resimgoster.ashx?id="));
    const QString web = tarvik::serverWebAddress(QStringLiteral("/"));
    if (ResimAdresi != resim)
        ResimAdresi = resim;
    if (WebAdresi != web)
        WebAdresi = web;
}

QString MacAdresiAl()
{
    static const QString zeros = QStringLiteral("00-00-00-00-00-00");
    const QList<QByteArray> addresses = tarvik::source(&tarvik::EnvironmentSources::adapterAddresses)();
    QString result;
    for (const QByteArray &address : addresses) {
        if (address.size() != 6)
            continue;
        result = tarvik::adapterAddressText(address);
        if (result != zeros)
            break;
    }
    return result;
}

QString DiskSeriNoAl()
{
    return tarvik::asciiUpper(tarvik::source(&tarvik::EnvironmentSources::diskSerial)());
}

QString BilgisayarIdAl()
{
    QString id;
    try {
        id = tarvik::trimBlanksAndControls(DiskSeriNoAl());
    } catch (...) {
        id.clear();
    }
    if (id.isEmpty()) {
        try {
            id = tarvik::trimBlanksAndControls(MacAdresiAl());
        } catch (...) {
            id.clear();
        }
    }
    id.remove(u' ');
    if (id == QStringView(tarvik::config::kKayitliDiskSeri1) || id == QStringView(tarvik::config::kKayitliDiskSeri2))
        return QString::fromUtf16(tarvik::config::kSabitBilgisayarId);
    return id;
}

QString BilgisayarAdiAl()
{
    QString name;
    try {
        name = tarvik::source(&tarvik::EnvironmentSources::hostName)();
    } catch (...) {
        return {};
    }
    // The computer name is the host's own label, without its domain.
    const qsizetype dot = name.indexOf(u'.');
    if (dot >= 0)
        name.truncate(dot);
    if (name.size() >= tarvik::kNameRoom)
        return {};
    return name;
}

QString KullaniciAdiAl()
{
    QString name;
    try {
        name = tarvik::source(&tarvik::EnvironmentSources::userName)();
    } catch (...) {
        return {};
    }
    if (name.size() >= tarvik::kNameRoom)
        return {};
    return name;
}

QString YerelIpAl()
{
    static const QString loopback = QStringLiteral("127.0.0.1");
    try {
        const QString host = tarvik::source(&tarvik::EnvironmentSources::hostName)();
        if (host.isEmpty())
            return loopback;
        const QStringList addresses = tarvik::source(&tarvik::EnvironmentSources::resolveIPv4)(host);
        if (addresses.isEmpty() || addresses.constFirst().isEmpty())
            return loopback;
        return addresses.constFirst();
    } catch (...) {
        return loopback;
    }
}

QString BelgelerKlasoruAl()
{
    try {
        const QString folder = tarvik::source(&tarvik::EnvironmentSources::documentsFolder)();
        return folder.isEmpty() ? QString() : tarvik::withoutTrailingSeparators(folder);
    } catch (...) {
        return {};
    }
}

QString AyarKlasoruAl()
{
    QString base;
    try {
        base = tarvik::source(&tarvik::EnvironmentSources::dataFolder)();
    } catch (...) {
        base.clear();
    }
    if (base.isEmpty())
        return {};
    QString folder = tarvik::withoutTrailingSeparators(base);
    if (!folder.endsWith(u'/') && !folder.endsWith(u'\\'))
        folder += u'/';
    folder += u"tarvik";
    // One level only; a failure shows when the caller writes into the folder.
    if (!QFileInfo(folder).isDir())
        QDir().mkdir(folder);
    return folder;
}
