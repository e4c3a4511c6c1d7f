#pragma once

// The client's notification channel: a connection of its own to the server's channel "Lumaro", on a
// thread of its own, on which the registered callback receives the server's notifications and answers
// them. The connection is re-established when it drops; a server that never confirms the registration
// just leaves the program without notifications.

#include "protocol.h"

#include <QString>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

namespace tarvik {

class CallbackChannelManager
{
public:
    CallbackChannelManager();
    ~CallbackChannelManager();
    CallbackChannelManager(const CallbackChannelManager &) = delete;
    CallbackChannelManager &operator=(const CallbackChannelManager &) = delete;

    QString DSHostname = QStringLiteral("127.0.0.1");
    QString DSPort = QStringLiteral("9090");
    QString CommunicationProtocol = QStringLiteral("tcp/ip");
    QString ChannelName = QStringLiteral("Lumaro");
    QString ManagerId = QStringLiteral("LumaroId");
    // Pause before connecting again after the channel dropped or could not be opened.
    int reconnectDelayMs = 1000;

    // Registers `callback` (its name is the callback id) and starts listening. Once per manager.
    void RegisterCallback(std::shared_ptr<RemoteCallback> callback);
    // Stops listening and closes the channel's connection.
    void stop();

    // True while the server has confirmed the registration and the connection stands.
    bool registered() const { return registered_.load(); }
    // How many times a registration was confirmed (reconnects count again).
    int registrations() const { return registrations_.load(); }
    // Unique per manager: lets the server tell this client's registrations from any other's.
    const QString &clientId() const { return clientId_; }

private:
    void run();
    void listenOnce();

    QString clientId_;
    std::shared_ptr<RemoteCallback> callback_;
    std::thread thread_;
    std::atomic<bool> stopping_{false};
    std::atomic<bool> registered_{false};
    std::atomic<int> registrations_{0};
};

} // namespace tarvik

// The client's callback: ignores what the server sends, queues one refresh through GeriBildirimAlQue and
// answers true.
class TGeriBildirim final : public tarvik::RemoteCallback
{
public:
    TGeriBildirim(const QString &name, std::function<void()> GeriBildirimAlQue)
        : RemoteCallback(name), queue_(std::move(GeriBildirimAlQue))
    {
    }
    QByteArray Execute(std::string_view argument) override;

private:
    std::function<void()> queue_;
};

class QObject;

namespace tarvik {
// Queues `job` to the thread of `guard` (the main thread for a window); the job is dropped when `guard`
// is destroyed before it runs. Callable from any thread.
void queueTo(QObject *guard, std::function<void()> job);
} // namespace tarvik
