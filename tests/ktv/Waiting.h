#pragma once
// Waits for a condition that a background thread or the player brings about, handling posted events
// meanwhile. The deadline only bounds a broken run; passing never depends on it.
#include <QCoreApplication>
#include <QThread>

#include <chrono>

template <typename Condition>
bool WaitFor(Condition condition, std::chrono::milliseconds deadline = std::chrono::seconds(20))
{
    const auto end = std::chrono::steady_clock::now() + deadline;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > end)
            return false;
        if (QCoreApplication::instance())
            QCoreApplication::processEvents();
        QThread::msleep(10);
    }
    return true;
}
