#include "errors.h"

namespace tarvik {

RemoteError::RemoteError(QString className, QString message)
    : std::runtime_error(QString(className + QStringLiteral(": ") + message).toStdString())
    , className_(std::move(className))
    , message_(std::move(message))
{
}

ConversionError::ConversionError(const QString &message)
    : RemoteError(QStringLiteral("EConversionError"), message)
{
}

ProtocolError::ProtocolError(const QString &message, const QString &className)
    : RemoteError(className, message)
{
}

ConnectionError::ConnectionError(const QString &message)
    : RemoteError(QStringLiteral("EConnectionError"), message)
{
}

} // namespace tarvik
