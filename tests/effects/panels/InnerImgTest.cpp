// The picture-in-picture panel: what it shows, the mask list, the sliders and their rule for the
// default picture, the background button, the reset and its hint, and the close box.
#include "PanelFixture.h"

#include "effects/EffectLibrary.h"
#include "effects/panels/WndInnerImg.h"
#include "ui/FileDialog.h"
#include "ui/ModalDriver.h"

#include <QComboBox>
#include <QLabel>
#include <QSlider>

namespace {

enum { IDC_MOVEMENT = 1051, IDC_RESET = 1056, IDC_BACKGROUND = 1057, IDC_CLOSE = 1058, IDC_MASKS = 4112 };
const int kSliders[] = {1052, 1053, 1054, 1055};

class InnerImgTest : public EffectPanelTest {
protected:
    void TearDown() override
    {
        SetFileChooser({});
        panel_.reset();
        EffectPanelTest::TearDown();
    }
    CWndInnerImg& Panel()
    {
        panel_ = std::make_unique<CWndInnerImg>(nullptr);
        EXPECT_TRUE(panel_->Create());
        panel_->show();
        EXPECT_TRUE(WaitListed(panel_->Masks()));
        QCoreApplication::processEvents();
        return *panel_;
    }
    CSkinThumbs* Masks() { return panel_->Control<CSkinThumbs>(IDC_MASKS); }
    void ToggleClose()
    {
        auto* box = panel_->Control<QAbstractButton>(IDC_CLOSE);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    }
    void MoveSlider(int id, Qt::Key key)
    {
        auto* slider = panel_->Control<QSlider>(id);
        slider->setFocus();
        QTest::keyClick(slider, key);
    }
    std::vector<int> Numbers() const
    {
        const auto& p = Settings.InnerImg;
        return {p.FloatType, p.HOffset, p.VOffset, p.ZoomSize, p.Contrast};
    }
    // Runs a frame whose rows and columns differ in colour; whether each point (column, row from the
    // bottom) came out changed.
    std::vector<bool> ChangedAt(const std::vector<std::pair<int, int>>& points)
    {
        std::vector<uint8_t> frame(zendracam::kFrameBytes);
        for (size_t i = 0; i < frame.size(); ++i)
            frame[i] = uint8_t(i % 3 == 0 ? i / 960 : (i % 960) / 3);
        const std::vector<uint8_t> original = frame;
        sink_.ProcessFrame(frame.data());
        std::vector<bool> changed;
        for (const auto& [x, y] : points) {
            const size_t at = size_t(y) * 960 + size_t(x) * 3;
            changed.push_back(!std::equal(&frame[at], &frame[at] + 3, &original[at]));
        }
        return changed;
    }
    // Frame points the picture-in-picture changed, of a sample across the picture above the logo.
    size_t Changed()
    {
        std::vector<std::pair<int, int>> points;
        for (int y = 40; y < 240; y += 8)
            for (int x = 0; x < 320; x += 8)
                points.emplace_back(x, y);
        const std::vector<bool> changed = ChangedAt(points);
        return size_t(std::count(changed.begin(), changed.end(), true));
    }

    std::unique_ptr<CWndInnerImg> panel_;
};

}  // namespace

TEST_F(InnerImgTest, ShowsTheSettingsAndTheMasks)
{
    Settings.InnerImg.FloatType = 3;
    Settings.InnerImg.HOffset = 12;
    Settings.InnerImg.Contrast = 70;
    Panel();
    auto* movement = panel_->Control<QComboBox>(IDC_MOVEMENT);
    QStringList entries;
    for (int i = 0; i < movement->count(); ++i)
        entries << movement->itemText(i);
    EXPECT_EQ(entries, QString::fromUtf8("固定|动态叠加|平面飘动|水平飘动|垂直飘动").split('|'));
    EXPECT_EQ(movement->currentIndex(), 3);
    const int positions[] = {12, 50, 60, 70};
    for (int i = 0; i < 4; ++i) {
        auto* slider = panel_->Control<QSlider>(kSliders[i]);
        EXPECT_EQ(slider->value(), positions[i]);
        EXPECT_EQ(slider->maximum(), 99);
        EXPECT_EQ(panel_->Control<QLabel>(2110 + i)->text(), QString::number(positions[i]));
    }
    EXPECT_TRUE(panel_->IsControlChecked(IDC_CLOSE));
    EXPECT_EQ(panel_->Masks().Folder(), home_.File(EffectFolder(EFFECT_DOUBLE_IMAGE)));
    EXPECT_EQ(Masks()->PictureCount(), 4);
    EXPECT_EQ(Masks()->count(), 7);
}

TEST_F(InnerImgTest, MasksAreChosenOnlyWhileSwitchedOn)
{
    Panel();
    const int heart = ItemNamed(Masks(), "heart.jpg");
    ASSERT_GE(heart, 0);
    DoubleClickItem(Masks(), heart);
    EXPECT_TRUE(Settings.InnerImg.FrontImg.empty()) << "switched off: the mask is not taken";

    ToggleClose();
    EXPECT_FALSE(Settings.InnerImg.Close);
    EXPECT_EQ(Changed(), 0u) << "on, but no mask yet";
    DoubleClickItem(Masks(), heart);
    EXPECT_EQ(Settings.InnerImg.FrontImg, home_.File(EffectFolder(EFFECT_DOUBLE_IMAGE)) + "/heart.jpg");
    EXPECT_GT(Changed(), 100u) << "the copy shows in the next frame";
    // An empty item chooses nothing.
    DoubleClickItem(Masks(), Masks()->count() - 1);
    EXPECT_EQ(Settings.InnerImg.FrontImg, home_.File(EffectFolder(EFFECT_DOUBLE_IMAGE)) + "/heart.jpg");
    ToggleClose();
    EXPECT_EQ(Changed(), 0u) << "switched off again";
}

TEST_F(InnerImgTest, SlidersStoreAndApplyAndTheSizeBringsTheDefaultPicture)
{
    Settings.CameraSrc.DefImg = home_.File("Effect/waitvideo/waiting.jpg");
    Settings.InnerImg.Close = false;
    Settings.InnerImg.FrontImg = home_.File("Effect/DoubleImage/circle.jpg");
    sink_.SetPipClose(false);
    Panel();
    MoveSlider(kSliders[0], Qt::Key_Home);
    EXPECT_EQ(Settings.InnerImg.HOffset, 0);
    EXPECT_TRUE(Settings.InnerImg.BackImg.empty()) << "only the size slider brings the default picture";
    MoveSlider(kSliders[2], Qt::Key_PageDown);
    EXPECT_EQ(Settings.InnerImg.ZoomSize, 50);
    EXPECT_EQ(Settings.InnerImg.BackImg, Settings.CameraSrc.DefImg);
    EXPECT_EQ(panel_->Control<QLabel>(2112)->text(), "50");
    // The next frame of black video shows the default picture around the copy.
    std::vector<uint8_t> frame(zendracam::kFrameBytes, 0);
    sink_.ProcessFrame(frame.data());
    const uint8_t* outside = &frame[size_t(220) * 960 + 300 * 3];
    EXPECT_GT(outside[0] + outside[1] + outside[2], 0);

    // A chosen background replaces it, through the open-file dialog's filter.
    QStringList filters;
    SetFileChooser([&](const OpenFileRequest& request) {
        filters = request.nameFilters;
        return QStringList{QString::fromStdString(home_.File("Effect/waitvideo/colourbars.jpg"))};
    });
    panel_->SendCommand(IDC_BACKGROUND);
    EXPECT_EQ(filters, NameFiltersFromWindows(QString::fromUtf8(CEffectPictureList::kPictureFilter)));
    EXPECT_EQ(Settings.InnerImg.BackImg, home_.File("Effect/waitvideo/colourbars.jpg"));
    MoveSlider(kSliders[2], Qt::Key_PageDown);
    EXPECT_EQ(Settings.InnerImg.BackImg, home_.File("Effect/waitvideo/colourbars.jpg")) << "kept once set";
}

TEST_F(InnerImgTest, ResetNeedsThePictureInPictureSwitchedOn)
{
    Settings.InnerImg.FloatType = 2;
    Settings.InnerImg.HOffset = 5;
    Settings.InnerImg.ZoomSize = 33;
    Settings.InnerImg.FrontImg = home_.File("Effect/DoubleImage/rounded.jpg");
    Panel();
    QString hint;
    {
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
            hint = box->Control<QLabel>(1144)->text();
            box->Control<QAbstractButton>(1143)->click();
        });
        panel_->SendCommand(IDC_RESET);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(hint, QString::fromUtf8("请先启用画中画功能,再设置！"));
    EXPECT_EQ(Numbers(), (std::vector<int>{2, 5, 50, 33, 100}));

    ToggleClose();
    ModalDriver untouched;
    panel_->SendCommand(IDC_RESET);
    QCoreApplication::processEvents();
    EXPECT_TRUE(untouched.seen.empty());
    EXPECT_EQ(Numbers(), (std::vector<int>{0, 50, 50, 60, 100}));
    EXPECT_EQ(panel_->Control<QComboBox>(IDC_MOVEMENT)->currentIndex(), 0);
    EXPECT_EQ(panel_->Control<QSlider>(kSliders[2])->value(), 60);
    // The overlay took the factory values: a 192 × 144 copy at (50, 50) that stays there.
    for (int frames = 0; frames < 2; ++frames) {
        // The rounded mask hides the copy's rim.
        const std::vector<bool> changed =
            ChangedAt({{45, 122}, {70, 122}, {230, 122}, {245, 122}, {146, 70}, {146, 196}});
        EXPECT_EQ(changed, (std::vector<bool>{false, true, true, false, true, false})) << frames;
    }
}
