#pragma once

#include <QString>

#include <stdexcept>

namespace tarvik {

// Every failure of the remote layer is one of these. `className()` is the class name of the exception
// as the server reported it (or the one this side raised), `message()` its Turkish or English text.
class RemoteError : public std::runtime_error
{
public:
    RemoteError(QString className, QString message);

    const QString &className() const noexcept { return className_; }
    const QString &message() const noexcept { return message_; }

private:
    QString className_;
    QString message_;
};

// A value does not fit its kind, class or limit (JSON of the wrong shape, unknown class, dangling ref…).
class ConversionError : public RemoteError
{
public:
    explicit ConversionError(const QString &message);
};

// The framing or the sequence of frames is broken, or a limit of the wire was exceeded.
class ProtocolError : public RemoteError
{
public:
    explicit ProtocolError(const QString &message, const QString &className = QStringLiteral("EProtocolError"));
};

// The transport could not be opened or broke down (refused, timed out, closed by the peer).
class ConnectionError : public RemoteError
{
public:
    explicit ConnectionError(const QString &message);
};

// The server method raised an exception; className() and message() are the server's.
class ServerError : public RemoteError
{
public:
    using RemoteError::RemoteError;
};

} // namespace tarvik
