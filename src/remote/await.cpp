#include "await.h"

#include "errors.h"
#include "messages.h"

#include <QCoreApplication>
#include <QThreadPool>

namespace tarvik {

QString errorText(std::exception_ptr error)
{
    try {
        std::rethrow_exception(error);
    } catch (const RemoteError &e) {
        return e.message();
    } catch (const std::exception &e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Beklenmeyen bir hata oluştu.");
    }
}

} // namespace tarvik

void TAwait::Await(std::function<void()> continuation)
{
    // The pool's task holds this object (and so X) and the continuation until the main thread has run Y.
    QThreadPool::globalInstance()->start([self = shared_from_this(), continuation = std::move(continuation)]() mutable {
        std::exception_ptr error;
        try {
            self->FAsync();
        } catch (...) {
            error = std::current_exception();
        }
        QMetaObject::invokeMethod(
            QCoreApplication::instance(),
            [self, continuation = std::move(continuation), error]() {
                // Nothing may escape into the event loop: an error of Y is shown like one of X.
                try {
                    if (continuation)
                        continuation();
                } catch (...) {
                    tarvik::showApplicationError(tarvik::errorText(std::current_exception()));
                }
                if (error)
                    tarvik::showApplicationError(tarvik::errorText(error));
            },
            Qt::QueuedConnection);
    });
}

std::shared_ptr<IAwait> Baslat(std::function<void()> work)
{
    return std::make_shared<TAwait>(std::move(work));
}
