#pragma once
// The video-source tab on a top-level window, over a frame sink whose capture devices are stand-ins,
// in a program folder with the shipped skin and two wait-video pictures.
#include "pipeline/CaptureScr.h"
#include "pipeline/SourceKind.h"
#include "pipeline/panels/WndVideoScr.h"
#include "settings/Settings.h"
#include "ui/MessageSpy.h"
#include "ui/ShellFixture.h"
#include "zendracam/FakeVideoDevices.h"
#include "support/Files.h"
#include "zendracam/MovieParseHelper.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <filesystem>
#include <memory>

// Runs the event loop until `done` holds or `ms` passed; returns `done()`.
template <typename Done>
bool RunUntil(Done done, int ms = 10000)
{
    QElapsedTimer clock;
    clock.start();
    while (!done() && clock.elapsed() < ms)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    return done();
}

inline void WritePicture(const std::string& path, QColor colour, int w = 320, int h = 240)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    image.save(QString::fromStdString(path));
}

inline bool MakeMovie(const std::string& path, int seconds = 2)
{
    QProcess ffmpeg;
    ffmpeg.start("ffmpeg", {"-v", "error", "-y", "-f", "lavfi", "-i",
                            QString("testsrc2=size=160x120:rate=25:duration=%1").arg(seconds), "-c:v", "mpeg4",
                            QString::fromStdString(path)});
    return ffmpeg.waitForFinished(60000) && ffmpeg.exitCode() == 0;
}

class SourceTab : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        PrepareMovieLocale();
        // Wait pictures of its own in place of the shipped ones.
        waitFolder = home_.File("Effect/waitvideo");
        std::filesystem::remove_all(waitFolder);
        std::filesystem::create_directories(waitFolder);
        WritePicture(waitFolder + "/colourbars.jpg", Qt::blue);
        WritePicture(waitFolder + "/waiting.png", Qt::green);
        ExcludeDevices = "Pelmora;";
        DefaultDevice = "USB Camera";
        devices.Add(0, "USB Camera", "usb-1");
        devices.Add(1, "Pelmora", "usb-2");
        sink = std::make_unique<CCaptureScr>(devices);
        sink->SetFrameTap([this](const uint8_t*, size_t) { ++written; });
        CaptureSink = sink.get();
        sink->StartCamera();
        top.resize(600, 500);
    }
    void TearDown() override
    {
        panel.reset();
        CaptureSink = nullptr;
        sink->Shutdown();
        sink.reset();
        ShellTest::TearDown();
    }
    // Builds the tab; the camera is chosen.
    CWndVideoScr& Build()
    {
        panel = std::make_unique<CWndVideoScr>(&top);
        EXPECT_TRUE(panel->Create());
        top.show();
        return *panel;
    }
    template <class T>
    T* Sub() const
    {
        return panel->findChild<T*>();
    }
    CUIWnd* SubWindow(int resource) const
    {
        for (CUIWnd* window : panel->findChildren<CUIWnd*>())
            if (window->Resource() == resource)
                return window;
        return nullptr;
    }

    std::string waitFolder;
    FakeVideoDevices devices;
    std::unique_ptr<CCaptureScr> sink;
    size_t written = 0;
    QWidget top;
    MessageSpy spy{&top};
    std::unique_ptr<CWndVideoScr> panel;
};
