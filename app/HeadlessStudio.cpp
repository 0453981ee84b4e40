#include "app/HeadlessStudio.h"

#include "app/Settings.h"
#include "app/SettingsLifecycle.h"
#include "app/WindowMessages.h"
#include "fileio/ProgramFolder.h"
#include "pipeline/CaptureScr.h"
#include "pipeline/PhotoSnapshot.h"
#include "pipeline/SourceKind.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <memory>

namespace {

std::atomic<bool> stopRequested{false};

extern "C" void OnStopSignal(int)
{
    stopRequested = true;
}

constexpr int kPollMs = 20;
constexpr int kStatusMs = 1000;

// Without windows, the left pane's notifications become lines on stderr.
class HeadlessLeftPane : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() != CWindowMessage::EventType(WM_PHOTO_TAKEN))
            return QObject::event(e);
        std::fprintf(stderr, "korvel: photo %s\n", LastPhotoPath.c_str());
        return true;
    }
};

// A 24-bit bottom-up BMP holding the frame buffer as it is.
bool WriteFrameBmp(const std::string& path, const uint8_t* frame, size_t length)
{
    uint8_t header[54] = {'B', 'M'};
    const auto put = [&](size_t at, uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header[at + size_t(i)] = uint8_t(v >> (8 * i));
    };
    put(2, uint32_t(sizeof header + length), 4);
    put(10, sizeof header, 4);
    put(14, 40, 4);
    put(18, uint32_t(zendracam::kFrameWidth), 4);
    put(22, uint32_t(zendracam::kFrameHeight), 4);
    put(26, 1, 2);
    put(28, 24, 2);
    put(34, uint32_t(length), 4);
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    return file && std::fwrite(header, 1, sizeof header, file.get()) == sizeof header &&
           std::fwrite(frame, 1, length, file.get()) == length && std::fflush(file.get()) == 0;
}

// Counts the frames written to the virtual camera (on whichever thread wrote them) and dumps them.
class FrameLog {
public:
    FrameLog(const StudioOptions& options) : limit_(options.frames), folder_(options.dumpFolder) {}

    void Take(const uint8_t* frame, size_t length)
    {
        const long n = ++taken_;
        if (limit_ && n > *limit_)
            return;
        if (!folder_.empty() && length >= zendracam::kFrameBytes) {
            char name[16];
            std::snprintf(name, sizeof name, "%06ld.bmp", n);
            if (!WriteFrameBmp(folder_ + "/" + name, frame, zendracam::kFrameBytes) && !dumpFailed_.exchange(true))
                std::fprintf(stderr, "korvel: cannot write frames to %s\n", folder_.c_str());
        }
        written_ = n;
    }
    long Written() const { return written_; }
    bool LimitReached() const { return limit_ && written_ >= *limit_; }

private:
    const std::optional<long> limit_;
    const std::string folder_;
    std::atomic<long> taken_{0};
    std::atomic<long> written_{0};
    std::atomic<bool> dumpFailed_{false};
};

// Switches the sink to the chosen source as the source panel would. False, with the reason, when the
// source cannot be read.
bool StartSource(CCaptureScr& sink, int32_t& sourceKind, const StudioOptions& options, std::string& error)
{
    switch (options.source) {
    case StudioSource::Camera:
        if (!sink.DeviceList())
            std::fprintf(stderr, "korvel: no capture device; the camera source sends no frames\n");
        return true;
    case StudioSource::Picture:
        SwitchToPictureFile(sink, sourceKind, options.sourcePath);
        if (!sink.Picture().FramePointer()) {
            error = "cannot read the picture " + options.sourcePath;
            return false;
        }
        return true;
    case StudioSource::Media:
        SwitchSource(sink, sourceKind, SOURCE_MEDIA);
        sink.PlayMovie(options.sourcePath);
        if (!sink.IsMovieOpen()) {
            error = "cannot play the media file " + options.sourcePath;
            return false;
        }
        return true;
    case StudioSource::Screen: {
        SwitchSource(sink, sourceKind, SOURCE_SCREEN);
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

}  // namespace

int RunHeadlessStudio(int argc, char** argv, const StudioOptions& options)
{
    // Text and pictures are drawn with Qt's painter, which needs a GUI application but no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    if (!options.dumpFolder.empty() && !MakeFolder(options.dumpFolder)) {
        std::fprintf(stderr, "korvel: cannot create the folder %s\n", options.dumpFolder.c_str());
        return 2;
    }

    LoadSettingsAtStart();

    std::signal(SIGINT, OnStopSignal);
    std::signal(SIGTERM, OnStopSignal);

    int32_t sourceKind = SOURCE_CAMERA;
    auto sink = std::make_unique<CCaptureScr>(sourceKind);
    CaptureSink = sink.get();
    HeadlessLeftPane leftPane;
    sink->SetLeftPane(&leftPane);
    FrameLog log(options);
    sink->SetFrameTap([&log](const uint8_t* frame, size_t length) { log.Take(frame, length); });
    sink->StartCamera();

    std::string error;
    const bool started = StartSource(*sink, sourceKind, options, error);
    if (started && options.photo)
        PhotoRequested = true;

    const bool done = !started || (options.frames && *options.frames == 0);
    if (!done) {
        QElapsedTimer clock;
        clock.start();
        QTimer poll;
        QObject::connect(&poll, &QTimer::timeout, [&] {
            const bool timeUp = options.seconds && clock.elapsed() >= qint64(*options.seconds * 1000.0);
            const bool movieEnded = sourceKind == SOURCE_MEDIA && sink->GetMoviePos() <= -1;
            if (movieEnded)
                std::fprintf(stderr, "korvel: the media file has ended\n");
            if (stopRequested || timeUp || log.LimitReached() || movieEnded)
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

    // The order of the main window's end: its destroy handler, then its destructor.
    sink->Shutdown();
    SaveSettingsAtExit();
    sink.reset();
    CaptureSink = nullptr;
    if (!started) {
        std::fprintf(stderr, "korvel: %s\n", error.c_str());
        return 2;
    }
    return 0;
}
