#include "notification_hub.h"

#include <QDeadlineTimer>

#include <algorithm>

namespace tarvik::server {

void NotificationHub::Tally::settle(bool answeredTrueNow)
{
    QMutexLocker lock(&mutex);
    if (answeredTrueNow)
        ++answeredTrue;
    if (--waiting == 0)
        done.wakeAll();
}

std::optional<NotificationHub::Notification> NotificationHub::Subscriber::next(int timeoutMs)
{
    QMutexLocker lock(&mutex_);
    if (queue_.empty() && !dropped_)
        ready_.wait(&mutex_, QDeadlineTimer(timeoutMs));
    if (dropped_ || queue_.empty())
        return std::nullopt;
    Notification n = std::move(queue_.front());
    queue_.pop_front();
    return n;
}

bool NotificationHub::Subscriber::dropped()
{
    QMutexLocker lock(&mutex_);
    return dropped_;
}

std::shared_ptr<NotificationHub::Subscriber> NotificationHub::subscribe(const QString &clientId)
{
    auto s = std::make_shared<Subscriber>(clientId);
    QMutexLocker lock(&mutex_);
    for (auto it = subscribers_.begin(); it != subscribers_.end();) {
        if (!clientId.isEmpty() && (*it)->clientId() == clientId) {
            unsubscribeLocked(*it);
            it = subscribers_.erase(it);
        } else {
            ++it;
        }
    }
    subscribers_.push_back(s);
    return s;
}

void NotificationHub::unsubscribeLocked(const std::shared_ptr<Subscriber> &s)
{
    QMutexLocker lock(&s->mutex_);
    s->dropped_ = true;
    // What was queued for it will not be answered.
    for (Notification &n : s->queue_)
        n.tally->settle(false);
    s->queue_.clear();
    s->ready_.wakeAll();
}

void NotificationHub::unsubscribe(const std::shared_ptr<Subscriber> &subscriber)
{
    QMutexLocker lock(&mutex_);
    auto it = std::find(subscribers_.begin(), subscribers_.end(), subscriber);
    if (it != subscribers_.end()) {
        unsubscribeLocked(*it);
        subscribers_.erase(it);
    }
}

NotificationHub::Result NotificationHub::broadcast(const std::string &argumentJson, int timeoutMs)
{
    auto tally = std::make_shared<Tally>();
    int sent = 0;
    {
        QMutexLocker lock(&mutex_);
        tally->waiting = static_cast<int>(subscribers_.size());
        for (const auto &s : subscribers_) {
            QMutexLocker sl(&s->mutex_);
            s->queue_.push_back(Notification{argumentJson, tally});
            s->ready_.wakeAll();
            ++sent;
        }
    }
    QMutexLocker lock(&tally->mutex);
    QDeadlineTimer deadline(timeoutMs);
    while (tally->waiting > 0)
        if (!tally->done.wait(&tally->mutex, deadline))
            break;
    return Result{sent, tally->answeredTrue};
}

int NotificationHub::subscriberCount()
{
    QMutexLocker lock(&mutex_);
    return static_cast<int>(subscribers_.size());
}

} // namespace tarvik::server
