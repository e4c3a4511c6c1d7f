#pragma once

// Answering modal windows in widget tests without blocking.

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <functional>

// Answers the next modal window that is shown with `answer`. A polling timer finds it from inside the
// window's own event loop, so the test's call that opened it returns once `answer` has closed it.
inline void answerNextModal(std::function<void(QWidget *)> answer)
{
    auto *timer = new QTimer(qApp);
    timer->setInterval(20);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, answer] {
        QWidget *modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible())
            return;
        timer->stop();
        timer->deleteLater();
        answer(modal);
    });
    timer->start();
}
