#pragma once

#include "protocol.h"

#include <QByteArray>
#include <QString>

#include <memory>

class QTcpSocket;

namespace tarvik {

// What the proxy needs of a connection: is it open, and execute one request. execute() consumes the
// request: object arguments are marshalled and freed before anything is sent.
class Connection
{
public:
    virtual ~Connection() = default;
    virtual bool isOpen() const = 0;
    virtual ExecuteResult execute(ExecuteRequest request) = 0;
};

// A connection over TCP to tarvik-server (or any peer of the same protocol). Used by one thread: the
// socket is made by open() in the calling thread.
class TcpConnection final : public Connection
{
public:
    static constexpr int kDefaultConnectTimeoutMs = 5000;
    static constexpr int kDefaultCallTimeoutMs = 120000;

    TcpConnection(QString host, quint16 port);
    ~TcpConnection() override;

    const QString &host() const { return host_; }
    quint16 port() const { return port_; }
    void setHost(const QString &host) { host_ = host; }
    void setPort(quint16 port) { port_ = port; }
    void setConnectTimeout(int ms) { connectTimeoutMs_ = ms; }
    void setCallTimeout(int ms) { callTimeoutMs_ = ms; }

    // Connects and shakes hands. ConnectionError when the peer is not there or does not answer in time,
    // ProtocolError when it speaks another protocol or version.
    void open();
    void close();
    bool isOpen() const override;
    ExecuteResult execute(ExecuteRequest request) override;

    // The local port of the open socket (0 when closed): tells one connection from another.
    quint16 localPort() const;

    // The last execute request exactly as sent.
    const QByteArray &lastRequest() const { return lastRequest_; }

    // A new, closed connection with the same settings.
    std::unique_ptr<TcpConnection> clone() const;

private:
    struct Io;
    QString host_;
    quint16 port_;
    int connectTimeoutMs_ = kDefaultConnectTimeoutMs;
    int callTimeoutMs_ = kDefaultCallTimeoutMs;
    std::unique_ptr<Io> io_;
    std::int64_t nextId_ = 0;
    QByteArray lastRequest_;
};

// host:port parsing for command lines and the TARVIK_SERVER variable; returns false when malformed.
bool parseHostPort(const QString &text, QString *host, quint16 *port);

// The server address: TARVIK_SERVER (host:port) when set, else the compiled-in address and 9090.
void defaultServer(QString *host, quint16 *port);

} // namespace tarvik
