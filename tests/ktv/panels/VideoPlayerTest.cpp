// The output preview: the virtual camera's frames painted the right way up, handed to a recording,
// and shown full screen on a double click.
#include "PanelFixture.h"
#include "ktv/panels/VideoPlayer.h"
#include "zendracam/CameraWriterHelper.h"

#include <QProcess>

namespace {

class VideoPlayerTest : public PanelTest {
protected:
    void SetUp() override
    {
        PanelTest::SetUp();
        ASSERT_TRUE(camera_.InitDevice(CCameraWriterHelper::Outputs{}));
        preview_ = new CVideoPlayer(host_.get());
        preview_->setGeometry(10, 10, 320, 240);
        host_->show();
    }
    void TearDown() override
    {
        camera_.UninitDevice();
        PanelTest::TearDown();
    }
    // A frame whose bottom row (first in memory) is red and the rest blue.
    static std::vector<uint8_t> Frame()
    {
        std::vector<uint8_t> frame(zendracam::kFrameBytes);
        for (size_t i = 0; i < frame.size(); i += 3) {
            const bool bottomRow = i < zendracam::kFrameStride;
            frame[i] = bottomRow ? 0 : 255;      // blue
            frame[i + 2] = bottomRow ? 255 : 0;  // red
        }
        return frame;
    }
    void Send(const std::vector<uint8_t>& frame) { camera_.SetOrgBmp24Data(frame.data(), frame.size()); }

    CCameraWriterHelper camera_;
    CVideoPlayer* preview_ = nullptr;
};

TEST_F(VideoPlayerTest, ShowsWhatTheVirtualCameraSends)
{
    Send(Frame());
    ASSERT_TRUE(QTest::qWaitFor([&] {
        const QImage picture = preview_->Picture();
        return !picture.isNull() && picture.pixelColor(5, 239) == QColor(255, 0, 0);
    }, 10000));
    const QImage picture = preview_->Picture();
    EXPECT_EQ(picture.size(), QSize(320, 240));
    EXPECT_EQ(picture.pixelColor(5, 0), QColor(0, 0, 255));
    // And it is on the screen, one to one.
    QTest::qWait(100);
    const QImage shown = preview_->grab().toImage();
    EXPECT_EQ(shown.pixelColor(5, 239), QColor(255, 0, 0));
    EXPECT_EQ(shown.pixelColor(160, 120), QColor(0, 0, 255));
}

TEST_F(VideoPlayerTest, DoubleClickTogglesFullScreenAndTheRecordingGoesOn)
{
    const std::string path = home_.File("full.wmv");
    preview_->StartRecording(path);
    QTest::mouseDClick(preview_, Qt::LeftButton);
    CVideoPlayer* full = preview_->FullScreenWindow();
    ASSERT_NE(full, nullptr);
    EXPECT_TRUE(full->isWindow());
    EXPECT_TRUE(full->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(full->windowState() & Qt::WindowFullScreen);
    EXPECT_EQ(full->geometry(), preview_->screen()->geometry());

    // The normal preview stops reading; the full-screen one reads and records.
    const int before = preview_->FramesReceived();
    const int taken = preview_->Recorder()->TakenFrames();
    std::vector<uint8_t> frame = Frame();
    for (int i = 0; i < 20; ++i) {
        frame[500] = uint8_t(i);
        Send(frame);
        QTest::qWait(40);
    }
    ASSERT_TRUE(QTest::qWaitFor([&] { return full->FramesReceived() > 5; }, 10000));
    EXPECT_EQ(preview_->FramesReceived(), before);
    EXPECT_GT(preview_->Recorder()->TakenFrames(), taken);
    // Scaled over the screen in its own proportions: the middle shows the picture.
    const QImage shown = full->grab().toImage();
    EXPECT_EQ(shown.pixelColor(shown.width() / 2, shown.height() / 2), QColor(0, 0, 255));

    QTest::mouseDClick(full, Qt::LeftButton);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview_->FullScreenWindow() == nullptr; }, 5000));
    Send(frame);
    ASSERT_TRUE(QTest::qWaitFor([&] { return preview_->FramesReceived() > before; }, 10000));
    preview_->StopRecording();

    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-show_entries", "stream=codec_name", "-of", "csv=p=0",
                            QString::fromStdString(path)});
    ASSERT_TRUE(probe.waitForFinished(20000));
    EXPECT_TRUE(probe.readAllStandardOutput().contains("wmv2"));
}

}  // namespace
