#include "app/HeadlessStudio.h"

#include "app/SettingsLifecycle.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <atomic>
#include <csignal>

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void OnStopSignal(int)
{
    stopRequested = true;
}

}  // namespace

int RunHeadlessStudio(int argc, char** argv, const StudioOptions& options)
{
    // Text and pictures are drawn with Qt's painter, which needs a GUI application but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    LoadSettingsAtStart();

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);

    const bool done = options.frames && *options.frames == 0;
    if (!done) {
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool timeUp = options.seconds && clock.elapsed() >= qint64(*options.seconds * 1000.0);
            if (stopRequested || timeUp)
                app.quit();
        });
        poll.start(20);
        app.exec();
    }

    SaveSettingsAtExit();
    return 0;
}
