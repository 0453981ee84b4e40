// The camera settings: what its lists offer and preselect, the frame gap, the wait-video picture,
// refresh, apply and the colour button.
#include "SourceTabFixture.h"

#include "pipeline/panels/WndSubVideoSetting.h"

#include <QComboBox>
#include <QAbstractButton>

namespace {

QStringList Items(QComboBox* combo)
{
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items << combo->itemText(i);
    return items;
}

// As the user picks an entry.
void Pick(QComboBox* combo, int index)
{
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace

TEST_F(SourceTab, CameraListsOfferWhatTheyShould)
{
    devices.Add(2, "USB Camera", "usb-3");  // a twin of the first
    devices.Add(3, "ZENDRA Capture", "platform:v4l2loopback-000");
    sink->RefreshDeviceLists();
    DefaultDevice = "USB Camera (usb-3)";
    Settings.CameraSrc.DefImg = waitFolder + "/waiting.png";
    Build();
    auto* camera = Sub<CWndSubVideoSetting>();
    ASSERT_NE(camera, nullptr);
    auto* devicesList = camera->Control<QComboBox>(1076);
    EXPECT_EQ(Items(devicesList), QStringList({"USB Camera (usb-1)", "USB Camera (usb-3)"}));
    EXPECT_EQ(devicesList->currentIndex(), 1);
    EXPECT_EQ(Items(camera->Control<QComboBox>(1080)), QStringList({"YUYV", "MJPG"}));
    EXPECT_EQ(Items(camera->Control<QComboBox>(1081)), QStringList({"640 x 480", "320 x 240"}));
    EXPECT_EQ(camera->Control<QComboBox>(1081)->currentText(), "320 x 240");
    auto* gaps = camera->Control<QComboBox>(1082);
    ASSERT_EQ(gaps->count(), 15);
    EXPECT_EQ(gaps->itemText(0), "1");
    EXPECT_EQ(gaps->itemText(14), "15");
    EXPECT_EQ(gaps->currentText(), "10");
    Pick(gaps, 2);
    EXPECT_EQ(sink->FrameInterval, 3u);

    // The wait-video pictures, without their extensions; the saved one is selected.
    ASSERT_TRUE(RunUntil([&] { return camera->WaitPicturesListed(); }));
    auto* waits = camera->Control<QComboBox>(1083);
    EXPECT_EQ(Items(waits), QStringList({"colourbars", "waiting"}));
    EXPECT_EQ(waits->currentText(), "waiting");

    // Choosing one shows it: the output switches to the picture.
    Pick(waits, 0);
    EXPECT_EQ(Settings.CameraSrc.DefImg, waitFolder + "/colourbars.jpg");
    EXPECT_EQ(sink->SourceKind(), SOURCE_PICTURE);
    EXPECT_EQ(sink->PicturePath(), waitFolder + "/colourbars.jpg");
    EXPECT_FALSE(devices.Streaming(0));

    // Apply connects the chosen twin and brings the camera back.
    camera->Control<QAbstractButton>(1079)->click();
    EXPECT_EQ(sink->ConnectedCamera(), "USB Camera (usb-3)");
    EXPECT_EQ(DefaultDevice, "USB Camera (usb-3)");
    EXPECT_TRUE(devices.Streaming(2));
    EXPECT_FALSE(sink->PictureActive);
    EXPECT_EQ(sink->SourceKind(), SOURCE_CAMERA);

    // The colour button asks the main window for the colour adjustment.
    camera->Control<QAbstractButton>(1078)->click();
    EXPECT_EQ(spy.messages, std::vector<int>{WM_SWITCH_TO_EFFECTS});
}

TEST_F(SourceTab, RefreshWithoutADeviceOrWaitPictures)
{
    Settings.CameraSrc.DefImg = home_.File("gone.png");
    Build();
    auto* camera = Sub<CWndSubVideoSetting>();
    ASSERT_TRUE(RunUntil([&] { return camera->WaitPicturesListed(); }));
    // A saved picture that is gone: the first is selected and saved instead.
    EXPECT_EQ(camera->Control<QComboBox>(1083)->currentText(), "colourbars");
    EXPECT_EQ(Settings.CameraSrc.DefImg, waitFolder + "/colourbars.jpg");
    EXPECT_EQ(camera->Choices().RememberedName(), "USB Camera");

    devices.Unplug(0);
    std::filesystem::remove_all(waitFolder);
    camera->SendCommand(1077);
    EXPECT_EQ(camera->Control<QComboBox>(1076)->count(), 0);
    EXPECT_EQ(camera->Choices().RememberedIndex(), -1);
    EXPECT_EQ(camera->Choices().RememberedName(), "flag--nocam");
    ASSERT_TRUE(RunUntil([&] { return camera->WaitPicturesListed(); }));
    EXPECT_EQ(camera->Control<QComboBox>(1083)->count(), 0);

    // Apply with nothing to choose still leaves the camera source on, connecting nothing.
    camera->SendCommand(1079);
    EXPECT_EQ(sink->SourceKind(), SOURCE_CAMERA);
    EXPECT_EQ(sink->ConnectedCamera(), "");

    // The camera is back: refresh lists it, apply connects it.
    devices.Replug(0);
    camera->SendCommand(1077);
    EXPECT_EQ(Items(camera->Control<QComboBox>(1076)), QStringList({"USB Camera"}));
    camera->SendCommand(1079);
    EXPECT_EQ(sink->ConnectedCamera(), "USB Camera");
    EXPECT_TRUE(devices.Streaming(0));
}
