#include "remote_connection.h"

#include "errors.h"
#include "messages.h"

#include <QThread>

namespace tarvik {

namespace {

PauseFunction &pauseFunction()
{
    static PauseFunction f = [](int ms) { QThread::msleep(static_cast<unsigned long>(ms)); };
    return f;
}

constexpr int kAttempts = 11;
constexpr int kPauseMs = 500;

} // namespace

PauseFunction setPauseFunction(PauseFunction pause)
{
    std::swap(pauseFunction(), pause);
    return pause;
}

RemoteConnection::RemoteConnection()
{
    params_ = {
        {QStringLiteral("DriverUnit"), QStringLiteral("Data.DBXDataSnap")},
        {QStringLiteral("DriverName"), QStringLiteral("DataSnap")},
        {QStringLiteral("HostName"), QStringLiteral("localhost")},
        {QStringLiteral("Port"), QStringLiteral("9090")},
        {QStringLiteral("CommunicationProtocol"), QStringLiteral("tcp/ip")},
        {QStringLiteral("DatasnapContext"), QStringLiteral("datasnap/")},
        {QStringLiteral("Filters"), QStringLiteral("{}")},
        {QStringLiteral("DSProxyPort"), QStringLiteral("8090")},
    };
}

RemoteConnection::~RemoteConnection() = default;
RemoteConnection::RemoteConnection(RemoteConnection &&) noexcept = default;
RemoteConnection &RemoteConnection::operator=(RemoteConnection &&) noexcept = default;

std::unique_ptr<RemoteConnection> RemoteConnection::clone() const
{
    auto c = std::make_unique<RemoteConnection>();
    c->connectionName_ = connectionName_;
    c->driverName_ = driverName_;
    c->params_ = params_;
    c->connectTimeoutMs_ = connectTimeoutMs_;
    return c;
}

void RemoteConnection::open()
{
    close();
    bool ok = false;
    const uint port = Port().toUInt(&ok);
    if (!ok || port == 0 || port > 65535)
        throw ConnectionError(QStringLiteral("port \"%1\" is not a port number").arg(Port()));
    auto tcp = std::make_unique<TcpConnection>(HostName(), static_cast<quint16>(port));
    tcp->setConnectTimeout(connectTimeoutMs_);
    tcp->open();
    tcp_ = std::move(tcp);
}

void RemoteConnection::close()
{
    tcp_.reset();
}

bool RemoteConnection::Connected() const
{
    return tcp_ && tcp_->isOpen();
}

TcpConnection *RemoteConnection::DBXConnection() const
{
    return Connected() ? tcp_.get() : nullptr;
}

void SunucuAyarla(RemoteConnection &connection)
{
    QString host;
    quint16 port = 9090;
    defaultServer(&host, &port);
    connection.setHostName(host);
    connection.setPort(QString::number(port));
}

bool callOnMainThread(RemoteConnection &bagc, const std::function<void(TcpConnection &)> &call)
{
    if (!BaglantiKontrol(bagc, 1))
        return false;
    struct Closer
    {
        RemoteConnection &c;
        ~Closer() { c.close(); }
    } closer{bagc};
    call(*bagc.DBXConnection());
    return true;
}

bool callOnWorker(const RemoteConnection &bagc, const std::function<void(TcpConnection &)> &call)
{
    std::unique_ptr<RemoteConnection> clone = bagc.clone();
    if (!BaglantiKontrol(*clone, 0))
        return true;
    call(*clone->DBXConnection());
    clone->close();
    return false;
}

} // namespace tarvik

bool BaglantiKontrol(tarvik::RemoteConnection &con, int mesaj)
{
    con.close();
    bool result = false;
    for (int attempt = 0; attempt < tarvik::kAttempts; ++attempt) {
        try {
            con.open();
            result = true;
            break;
        } catch (const tarvik::RemoteError &) {
            con.close();
            tarvik::pauseFunction()(tarvik::kPauseMs);
        }
    }
    if (!result && mesaj == 1)
        MesajGoster(kBaglantiKurulamiyor, MesajTuru::Hata, MesajDugmesi::Tamam, MesajDugmesi::Tamam);
    return result;
}
