#pragma once

// Waiting without sleeping: spin the event loop until a condition holds or a deadline passes.

#include <QCoreApplication>
#include <QDeadlineTimer>

#include <functional>

inline bool waitUntil(const std::function<bool()> &condition, int timeoutMs = 10000)
{
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}

// Records every message box instead of showing it, answering with `answer`.
#include "messages.h"

#include <vector>

class RecordedBoxes
{
public:
    explicit RecordedBoxes(int answer = mrOk)
    {
        previous_ = tarvik::setMessagePresenter([this, answer](const tarvik::MessageRequest &r) {
            shown.push_back(r);
            return answer;
        });
    }
    ~RecordedBoxes() { tarvik::setMessagePresenter(std::move(previous_)); }
    std::vector<tarvik::MessageRequest> shown;

private:
    tarvik::MessagePresenter previous_;
};
