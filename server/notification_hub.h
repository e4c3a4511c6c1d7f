#pragma once

// Registered notification channels and the broadcast to them. Every registered connection is a
// subscriber of its own; a broadcast queues the notification to each and waits for their answers.

#include <QMutex>
#include <QString>
#include <QWaitCondition>

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tarvik::server {

class NotificationHub
{
public:
    // Counts the answers of one broadcast.
    struct Tally
    {
        QMutex mutex;
        QWaitCondition done;
        int waiting = 0;
        int answeredTrue = 0;
        void settle(bool answeredTrueNow);
    };

    struct Notification
    {
        std::string argumentJson;
        std::shared_ptr<Tally> tally;
    };

    class Subscriber
    {
    public:
        explicit Subscriber(QString clientId) : clientId_(std::move(clientId)) {}
        const QString &clientId() const { return clientId_; }
        // The next notification, or nullopt after `timeoutMs` or once the subscriber was dropped.
        std::optional<Notification> next(int timeoutMs);
        bool dropped();

    private:
        friend class NotificationHub;
        QString clientId_;
        QMutex mutex_;
        QWaitCondition ready_;
        std::deque<Notification> queue_;
        bool dropped_ = false;
    };

    // A new subscriber. A former registration of the same client (a reconnect) is dropped; other
    // clients' registrations are never touched, whatever their manager id.
    std::shared_ptr<Subscriber> subscribe(const QString &clientId);
    void unsubscribe(const std::shared_ptr<Subscriber> &subscriber);

    struct Result
    {
        int sent = 0;
        int answeredTrue = 0;
    };
    // Sends `argumentJson` to every subscriber and waits up to `timeoutMs` for their answers.
    Result broadcast(const std::string &argumentJson, int timeoutMs);

    int subscriberCount();

private:
    static void unsubscribeLocked(const std::shared_ptr<Subscriber> &subscriber);

    QMutex mutex_;
    std::vector<std::shared_ptr<Subscriber>> subscribers_;
};

} // namespace tarvik::server
