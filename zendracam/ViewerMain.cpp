// zendracam-view: shows what the virtual camera sends, read from the user's shared-memory frame area
// (or the one at --area PATH), or saves one frame with --snapshot FILE.png.
#include "zendracam/ZendraCameraHelper.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QPixmap>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <mutex>
#include <string>
#include <vector>

namespace {

constexpr auto kSnapshotWait = std::chrono::seconds(5);

// Keeps the latest frame handed over by the capture thread.
class LatestFrame : public IVideoCaptureNotify {
public:
    int OnVideoFrame(uint8_t* frame, size_t length) override
    {
        if (length < zendracam::kFrameBytes)
            return 0;
        {
            std::lock_guard lock(mutex_);
            frame_.assign(frame, frame + zendracam::kFrameBytes);
            ++count_;
        }
        arrived_.notify_all();
        return 1;
    }

    // The frame as a picture the right way up; null when none has come within `wait`.
    QImage Take(std::chrono::milliseconds wait, unsigned long* count = nullptr)
    {
        std::unique_lock lock(mutex_);
        if (!arrived_.wait_for(lock, wait, [&] { return !frame_.empty(); }))
            return {};
        if (count)
            *count = count_;
        const QImage bottomUp(frame_.data(), zendracam::kFrameWidth, zendracam::kFrameHeight,
                              int(zendracam::kFrameStride), QImage::Format_BGR888);
        return bottomUp.mirrored(false, true);
    }

private:
    std::mutex mutex_;
    std::condition_variable arrived_;
    std::vector<uint8_t> frame_;
    unsigned long count_ = 0;
};

int Usage()
{
    std::fprintf(stderr, "usage: zendracam-view [--area PATH] [--snapshot FILE.png]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string area;  // the user's own
    std::string snapshot;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (std::strcmp(argv[i], "--area") == 0 && hasValue)
            area = argv[++i];
        else if (std::strcmp(argv[i], "--snapshot") == 0 && hasValue)
            snapshot = argv[++i];
        else
            return Usage();
    }

    LatestFrame latest;
    CZendraCameraHelper camera(area);
    camera.Connect(&latest);
    camera.StartCapture();

    if (!snapshot.empty()) {
        const QImage image = latest.Take(kSnapshotWait);
        camera.StopCapture();
        if (image.isNull()) {
            std::fprintf(stderr, "zendracam-view: no frame from the virtual camera\n");
            return 1;
        }
        if (!image.save(QString::fromLocal8Bit(snapshot.c_str()), "PNG")) {
            std::fprintf(stderr, "zendracam-view: cannot write %s\n", snapshot.c_str());
            return 1;
        }
        return 0;
    }

    QApplication app(argc, argv);
    QLabel view;
    view.setWindowTitle(QString::fromUtf8(zendracam::kVirtualCameraName));
    view.setMinimumSize(zendracam::kFrameWidth, zendracam::kFrameHeight);
    view.setAlignment(Qt::AlignCenter);
    view.setText("waiting for frames…");
    view.show();
    QTimer refresh;
    unsigned long shown = 0;
    QObject::connect(&refresh, &QTimer::timeout, [&] {
        unsigned long count = 0;
        const QImage image = latest.Take(std::chrono::milliseconds(0), &count);
        if (image.isNull() || count == shown)
            return;
        shown = count;
        view.setPixmap(QPixmap::fromImage(image));
    });
    refresh.start(30);
    const int code = app.exec();
    camera.StopCapture();
    return code;
}
