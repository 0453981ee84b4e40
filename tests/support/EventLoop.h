#pragma once
// Runs the calling thread's events until `done` holds; false after 60 s (a hang, not a slow machine).
#include <QCoreApplication>

#include <chrono>
#include <functional>

inline bool ProcessEventsUntil(const std::function<bool()>& done)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return true;
}
