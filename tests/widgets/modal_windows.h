#pragma once
// Helpers of the widget tests for the windows a command opens modally.
#include <functional>

#include <QApplication>
#include <QTimer>

namespace accise::testing {

// Acts on the modal window of type T once the command has shown it (the command runs
// its windows with exec(), so the test waits for them from the event loop).
template <class T>
void whenShown(std::function<void(T&)> act) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, act] {
        auto* window = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!window || !window->isVisible()) return;
        timer->stop();
        timer->deleteLater();
        act(*window);
    });
    timer->start();
}

} // namespace accise::testing
