#pragma once

// The connection component: settings of the application server connection (the template `bagc` owned
// by the main window, and its clones), opening and closing, and the connection check BaglantiKontrol.

#include "connection.h"

#include <QMap>
#include <QString>

#include <functional>
#include <memory>

namespace tarvik {

class RemoteConnection
{
public:
    // The template's settings: driver "DataSnap", host "localhost", port "9090", tcp/ip, no filters.
    RemoteConnection();
    ~RemoteConnection();
    RemoteConnection(RemoteConnection &&) noexcept;
    RemoteConnection &operator=(RemoteConnection &&) noexcept;

    const QString &ConnectionName() const { return connectionName_; }
    const QString &DriverName() const { return driverName_; }
    bool LoginPrompt() const { return false; }

    // Named parameters: DriverUnit, DriverName, HostName, Port, CommunicationProtocol, DatasnapContext,
    // Filters, DSProxyPort.
    QString param(const QString &name) const { return params_.value(name); }
    void setParam(const QString &name, const QString &value) { params_[name] = value; }
    const QMap<QString, QString> &params() const { return params_; }

    QString HostName() const { return param(QStringLiteral("HostName")); }
    void setHostName(const QString &host) { setParam(QStringLiteral("HostName"), host); }
    QString Port() const { return param(QStringLiteral("Port")); }
    void setPort(const QString &port) { setParam(QStringLiteral("Port"), port); }

    // Time one open attempt may take before it fails.
    int connectTimeout() const { return connectTimeoutMs_; }
    void setConnectTimeout(int ms) { connectTimeoutMs_ = ms; }

    // A new, closed connection with the same settings, owned by the caller.
    std::unique_ptr<RemoteConnection> clone() const;

    // One attempt. ConnectionError when the server cannot be reached or the port is not a number.
    void open();
    void close();
    bool Connected() const;
    // The open connection the proxy works on; nullptr while closed.
    TcpConnection *DBXConnection() const;

private:
    QString connectionName_ = QStringLiteral("DataSnapCONNECTION");
    QString driverName_ = QStringLiteral("DataSnap");
    QMap<QString, QString> params_;
    int connectTimeoutMs_ = 5000;
    std::unique_ptr<TcpConnection> tcp_;
};

// How long the check waits after a failed attempt; tests replace it to count the pauses instead.
using PauseFunction = std::function<void(int ms)>;
PauseFunction setPauseFunction(PauseFunction pause);

// Points a connection at the application server: the compiled-in address and "9090", or TARVIK_SERVER.
void SunucuAyarla(RemoteConnection &connection);

} // namespace tarvik

// Opens `con`: closes it first, then up to 11 attempts with a 500 ms pause after every failed one (the
// last included). With `mesaj` 1 a failure shows the error box "Bağlantı Kurulamıyor Lütfen Tekrar
// Deneyin ...!"; with 0 it stays silent. True means the connection is open (and stays open).
bool BaglantiKontrol(tarvik::RemoteConnection &con, int mesaj);

inline const QString kBaglantiKurulamiyor = QStringLiteral("Bağlantı Kurulamıyor Lütfen Tekrar Deneyin ...!");

namespace tarvik {

// The two ways the windows call the server.
//
// On the main thread, with the template: check with the message, call, close. Returns false when the
// connection could not be opened (the message has been shown). Errors of the call propagate.
bool callOnMainThread(RemoteConnection &bagc, const std::function<void(TcpConnection &)> &call);

// On a worker thread, with a clone of its own: check silently, call, close, free the clone. Returns true
// on failure of the check (the `hata` flag the continuation reports). Errors of the call propagate.
bool callOnWorker(const RemoteConnection &bagc, const std::function<void(TcpConnection &)> &call);

} // namespace tarvik
