// The PipeWire camera on a daemon of the test's own: the node as consumers look for it, and a real
// consumer (GStreamer's pipewiresrc) getting the frames in each format it may pick.
#include "zendracam/CameraWriterHelper.h"

#include "support/PrivatePipeWire.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace zendracam;

namespace {

// Colours change every second column, so that the two pixels sharing their chroma in YUY2 are alike.
std::vector<uint8_t> Pattern()
{
    std::vector<uint8_t> frame(kFrameBytes);
    for (int y = 0; y < kFrameHeight; ++y)
        for (int x = 0; x < kFrameWidth; ++x) {
            uint8_t* p = frame.data() + size_t(y) * kFrameStride + 3 * size_t(x);
            p[0] = uint8_t(x / 2 * 5 + y);
            p[1] = uint8_t(y * 3 + x / 2);
            p[2] = uint8_t(x / 2 * 11 ^ y);
        }
    return frame;
}

int Clamp(int v)
{
    return std::clamp(v, 0, 255);
}

// The picture's pixel at column x of row `row` from the top, as B, G, R, read back from one frame the
// consumer got in `format`.
std::array<int, 3> PixelOf(const QByteArray& frame, const QString& format, int row, int x)
{
    const auto* at = reinterpret_cast<const uint8_t*>(frame.constData());
    if (format == "YUY2") {
        const uint8_t* pair = at + size_t(row) * 640 + size_t(x / 2) * 4;
        // BT.601 studio range back to RGB.
        const int c = (x % 2 ? pair[2] : pair[0]) - 16, d = pair[1] - 128, e = pair[3] - 128;
        return {Clamp((298 * c + 516 * d + 128) >> 8), Clamp((298 * c - 100 * d - 208 * e + 128) >> 8),
                Clamp((298 * c + 409 * e + 128) >> 8)};
    }
    const uint8_t* p = at + size_t(row) * 1280 + size_t(x) * 4;
    return format == "RGBx" ? std::array<int, 3>{p[2], p[1], p[0]} : std::array<int, 3>{p[0], p[1], p[2]};
}

}  // namespace

TEST(PipeWireCamera, ConsumersFindTheCameraAndGetItsFramesInTheFormatTheyPick)
{
    PrivatePipeWire daemon;
    QString why;
    if (!daemon.Start(&why))
        GTEST_SKIP() << "PipeWire cannot start here: " << why.toStdString();
    daemon.UseInThisProcess();

    QTemporaryDir dir;
    CCameraWriterHelper writer(dir.filePath("area").toStdString());
    CCameraWriterHelper::Outputs outputs;
    outputs.pipeWire = CPipeWireOutput::Start(kVirtualCameraName, kWriterFramesPerSecond);
    ASSERT_TRUE(outputs.pipeWire) << daemon.Log("pipewire").toStdString();
    ASSERT_TRUE(writer.InitDevice(std::move(outputs)));
    EXPECT_TRUE(writer.HasPipeWireNode());
    const auto frame = Pattern();
    ASSERT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);  // and then the sources are quiet

    const QJsonObject node = daemon.WaitForNode(kVirtualCameraName, 10000);
    ASSERT_FALSE(node.isEmpty()) << daemon.Log("pipewire").toStdString();
    const QJsonObject props = node["info"]["props"].toObject();
    EXPECT_EQ(props["media.class"].toString(), "Video/Source");
    EXPECT_EQ(props["media.role"].toString(), "Camera");
    EXPECT_EQ(props["node.description"].toString(), kVirtualCameraName);
    QStringList offered;
    for (const auto& entry : node["info"]["params"]["EnumFormat"].toArray()) {
        const QJsonObject param = entry.toObject();
        offered << param["format"].toString();
        EXPECT_EQ(param["size"]["width"].toInt(), kFrameWidth);
        EXPECT_EQ(param["size"]["height"].toInt(), kFrameHeight);
        EXPECT_EQ(param["framerate"]["num"].toInt(), kWriterFramesPerSecond);
        EXPECT_EQ(param["framerate"]["denom"].toInt(), 1);
    }
    EXPECT_EQ(offered, (QStringList{"YUY2", "BGRx", "RGBx"}));

    for (const QString format : {"YUY2", "BGRx", "RGBx"}) {
        // Three frames although only one was written: the quiet camera repeats it.
        QString why;
        const QByteArray all = daemon.Receive(node, format, 3, &why);
        ASSERT_FALSE(all.isEmpty()) << format.toStdString() << ": " << why.toStdString();
        const qsizetype frameBytes = format == "YUY2" ? 640 * 240 : 1280 * 240;
        ASSERT_EQ(all.size(), 3 * frameBytes) << format.toStdString();
        for (int n = 0; n < 3; ++n) {
            const QByteArray got = all.mid(n * frameBytes, frameBytes);
            int worst = 0;
            for (int row = 0; row < kFrameHeight; ++row)
                for (int x = 0; x < kFrameWidth; ++x) {
                    const uint8_t* p = frame.data() + size_t(kFrameHeight - 1 - row) * kFrameStride + 3 * size_t(x);
                    const auto pixel = PixelOf(got, format, row, x);
                    for (int c = 0; c < 3; ++c)
                        worst = std::max(worst, std::abs(pixel[c] - p[c]));
                }
            // YUY2 holds within the rounding of the studio-range conversion; the others exactly.
            EXPECT_LE(worst, format == "YUY2" ? 3 : 0) << format.toStdString() << " frame " << n;
        }
    }

    // A daemon that goes away leaves the other outputs working.
    daemon.Stop();
    EXPECT_EQ(writer.SetOrgBmp24Data(frame.data(), frame.size()), 1);
    writer.UninitDevice();
}
