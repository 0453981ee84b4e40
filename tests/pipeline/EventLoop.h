#pragma once
// A Qt application object for tests that need timers or posted events, and a way to run its loop.
#include "zendracam/MovieParseHelper.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <functional>

inline QCoreApplication& TestApplication()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    static QCoreApplication* app = [] {
        if (QCoreApplication::instance())
            return QCoreApplication::instance();
        auto* made = new QCoreApplication(argc, argv);
        PrepareMovieLocale();
        return made;
    }();
    return *app;
}

// Runs the event loop until `done` holds or `timeoutMs` passed; returns `done()`.
inline bool RunEventsUntil(const std::function<bool()>& done, int timeoutMs)
{
    TestApplication();
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < timeoutMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}
