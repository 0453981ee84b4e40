#include "app/HeadlessStudio.h"

#include "app/FrameLog.h"
#include "app/SingleInstance.h"
#include "app/StopSignals.h"
#include "app/StudioCore.h"
#include "diag/CrashHandler.h"
#include "fileio/ProgramFolder.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/PhotoSnapshot.h"
#include "pipeline/SourceKind.h"
#include "record/OutputRecorder.h"
#include "record/RecordingPath.h"
#include "settings/Settings.h"
#include "settings/WindowMessages.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QThread>
#include <QTimer>

#include <cstdio>
#include <memory>

namespace {

constexpr int kPollMs = 20;
constexpr int kStatusMs = 1000;

// Without windows, the left pane's notifications become lines on stderr.
class HeadlessLeftPane : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != CWindowMessage::EventType(WM_PHOTO_TAKEN))
            return QObject::event(e);
        const auto* message = static_cast<CWindowMessage*>(e);
        const auto* path = std::any_cast<std::string>(&message->payload);
        std::fprintf(stderr, "korvel: photo %s\n", path ? path->c_str() : "");
        return true;
    }
};

// Switches the sink to the chosen source as the source panel would. False, with the reason, when the
// source cannot be read.
bool StartSource(CCaptureScr& sink, const StudioOptions& options, std::string& error)
{
    switch (options.source) {
    case StudioSource::Camera:
        if (!sink.DeviceList())
            std::fprintf(stderr, "korvel: no capture device; the camera source sends no frames\n");
        return true;
    case StudioSource::Picture:
        SwitchToPictureFile(sink, options.sourcePath);
        if (!sink.Picture().FramePointer()) {
            error = "cannot read the picture " + options.sourcePath;
            return false;
        }
        return true;
    case StudioSource::Media:
        SwitchSource(sink, SOURCE_MEDIA);
        sink.PlayMovie(options.sourcePath);
        // The file opens in the background; here nothing else waits, so see whether it opens.
        while (!sink.IsMovieOpen() && sink.GetMoviePos() > -1)
            QThread::msleep(10);
        if (!sink.IsMovieOpen()) {
            error = "cannot play the media file " + options.sourcePath;
            return false;
        }
        return true;
    case StudioSource::Screen: {
        SwitchSource(sink, SOURCE_SCREEN);
        const auto& r = options.screenRect;
        sink.SetCaptureRect(r[0], r[1], r[2], r[3]);
        if (!sink.StartScreenCapture()) {
            error = "no X display to grab the screen from";
            return false;
        }
        return true;
    }
    }
    return false;
}

// The saved layers decode on threads of their own; the first frames show them once they are ready.
void WaitForLayers(const CCaptureScr& sink)
{
    QElapsedTimer waited;
    waited.start();
    while (!sink.LayersLoaded() && waited.elapsed() < 5000)
        QThread::msleep(10);
}

}  // namespace

int RunHeadlessStudio(int argc, char** argv, const StudioOptions& options)
{
    // Text and pictures are drawn with Qt's painter, which needs a GUI application but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    PrepareMovieLocale();
    InstallCrashHandler();
    CStopSignals stopSignals([&app] { app.quit(); });

    // Two studios would write the same virtual camera and each other's settings.
    CSingleInstance instance;
    if (!instance.ClaimLock()) {
        std::fprintf(stderr, "korvel: another Korvel is running for this user; this one ends\n");
        return kAnotherStudioRuns;
    }

    if (!options.dumpFolder.empty() && !MakeFolder(options.dumpFolder)) {
        std::fprintf(stderr, "korvel: cannot create the folder %s\n", options.dumpFolder.c_str());
        return 2;
    }

    CStudioCore core;
    CCaptureScr& sink = core.Sink();
    HeadlessLeftPane leftPane;
    sink.SetLeftPane(&leftPane);
    FrameLog log(options);
    sink.SetFrameTap([&log](const uint8_t* frame, size_t length) { log.Take(frame, length); });
    core.Start();
    WaitForLayers(sink);
    std::string error;
    bool started = StartSource(sink, options, error);
    if (started && options.photo)
        PhotoRequested = true;
    if (started && !options.songPath.empty())
        sink.PlaySong(options.songPath, options.lyricPath);
    COutputRecorder recording;
    if (started && !options.recordName.empty()) {
        const std::string path = RecordFilePath(Settings.SavePath.RecordPath, options.recordName);
        if (path.empty()) {
            error = "cannot record under the name " + options.recordName;
            started = false;
        } else {
            recording.Start(path);
            std::fprintf(stderr, "korvel: recording to %s\n", path.c_str());
        }
    }

    const bool done = !started || (options.frames && *options.frames == 0);
    if (!done) {
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool timeUp = options.seconds && clock.elapsed() >= qint64(*options.seconds * 1000.0);
            const bool movieEnded = sink.SourceKind() == SOURCE_MEDIA && sink.GetMoviePos() <= -1;
            if (movieEnded)
                std::fprintf(stderr, "korvel: the media file has ended\n");
            if (timeUp || log.LimitReached() || movieEnded)
                app.quit();
        });
        long lastCount = 0;
        qint64 lastTime = 0;
        QTimer status;
        QObject::connect(&status, &QTimer::timeout, [&] {
            const long count = log.Written();
            const qint64 now = clock.elapsed();
            const double fps = now > lastTime ? (count - lastCount) * 1000.0 / double(now - lastTime) : 0;
            std::fprintf(stderr, "korvel: source %s, %ld frames written, %.1f fps\n", SourceName(options.source),
                         count, fps);
            lastCount = count;
            lastTime = now;
        });
        poll.start(kPollMs);
        status.start(kStatusMs);
        app.exec();
    }

    recording.Stop();
    core.StopCapture();
    core.SaveSettings();
    if (!started) {
        std::fprintf(stderr, "korvel: %s\n", error.c_str());
        return 2;
    }
    return 0;
}
