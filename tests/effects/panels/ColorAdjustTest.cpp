// The colour panel: the switch and its hint, the sliders, the reset and the four presets, and what the
// output frame then holds.
#include "PanelFixture.h"

#include "effects/panels/WndColorAdjust.h"
#include "settings/SharedValue.h"
#include "ui/ModalDriver.h"

#include <QLabel>
#include <QSlider>

#include <algorithm>

namespace {

enum { IDC_FORBID = 1040, IDC_PRESETS = 1047, IDC_RESET = 1048 };
const int kSliders[] = {1041, 1042, 1043, 1044, 1045, 1046};

// The colour formula, written out per channel.
uint8_t Adjusted(int c, int d, int bright, int contrast)
{
    const int brightness = int((bright - 100) * 2.55);
    const int c1 = std::clamp(c + d, 0, 255);
    const int c2 = c1 * contrast / 100 + brightness + 127 - contrast * 127 / 100;
    return uint8_t(std::clamp(c2, 0, 255));
}

class ColorAdjustTest : public EffectPanelTest {
protected:
    CWndColorAdjust& Panel()
    {
        panel_ = std::make_unique<CWndColorAdjust>(nullptr);
        EXPECT_TRUE(panel_->Create());
        panel_->show();
        return *panel_;
    }
    void ClickPreset(int index)
    {
        auto* list = panel_->Control<QListWidget>(IDC_PRESETS);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(index)).center());
    }
    void ToggleForbid()
    {
        auto* box = panel_->Control<QAbstractButton>(IDC_FORBID);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    }
    std::vector<int> Values() const
    {
        const auto& c = Settings.AdjustColor;
        return {c.Bright, c.Contrast, c.Composite, c.Red, c.Green, c.Blue};
    }
    std::vector<int> SliderPositions() const
    {
        std::vector<int> positions;
        for (int id : kSliders)
            positions.push_back(panel_->Control<QSlider>(id)->value());
        return positions;
    }

    std::unique_ptr<CWndColorAdjust> panel_;
};

}  // namespace

TEST_F(ColorAdjustTest, WhileSwitchedOffTheSlidersRestAndTheButtonsGiveTheHint)
{
    Settings.AdjustColor.Bright = 150;
    Panel();
    EXPECT_TRUE(panel_->IsControlChecked(IDC_FORBID));
    EXPECT_EQ(SliderPositions(), (std::vector<int>{150, 100, 100, 0, 0, 0}));
    for (int id : kSliders)
        EXPECT_FALSE(panel_->GetControl(id)->isEnabled()) << id;
    const std::vector<int> before = Values();

    // The reset button and a preset both answer with the hint and change nothing.
    std::vector<QString> hints;
    auto record = [&](CUIWnd* box) {
        hints.push_back(box->Control<QLabel>(1144)->text());
        box->Control<QAbstractButton>(1143)->click();
    };
    // One driver per box: two boxes of one resource in a row are told apart by nothing.
    {
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, record);
        panel_->SendCommand(IDC_RESET);
        EXPECT_TRUE(driver.Done());
    }
    {
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, record);
        ClickPreset(2);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(hints, std::vector<QString>(2, QString::fromUtf8("请先启用色彩调节功能,再设置！")));
    EXPECT_EQ(Values(), before);
    const std::vector<uint8_t> frame = RunFrame(100);
    EXPECT_TRUE(std::all_of(frame.begin() + 960 * 40, frame.end(), [](uint8_t b) { return b == 100; }))
        << "the frame goes unadjusted";

    // Switched on: the sliders work; switched off again they rest.
    ToggleForbid();
    EXPECT_FALSE(Settings.AdjustColor.Forbid);
    for (int id : kSliders)
        EXPECT_TRUE(panel_->GetControl(id)->isEnabled()) << id;
    ToggleForbid();
    EXPECT_TRUE(Settings.AdjustColor.Forbid);
    EXPECT_FALSE(panel_->GetControl(kSliders[0])->isEnabled());
}

TEST_F(ColorAdjustTest, PresetsAndSlidersChangeTheOutputByTheFormula)
{
    Settings.AdjustColor.Forbid = false;
    Settings.AdjustColor.Composite = 40;
    Panel();
    auto* presets = panel_->Control<QListWidget>(IDC_PRESETS);
    ASSERT_EQ(presets->count(), 4);
    const char* labels[] = {"蓝色光", "黄色光", "紫色光", "红色光"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(presets->item(i)->text(), QString::fromUtf8(labels[i]));
        EXPECT_FALSE(presets->item(i)->icon().isNull()) << "icon " << i + 1 << ".bmp";
    }

    const struct {
        int preset;
        std::vector<int> values;  // Bright, Contrast, Composite, Red, Green, Blue
    } cases[] = {{0, {90, 120, 100, 0, 102, 150}},
                 {1, {90, 120, 100, 102, 90, 0}},
                 {2, {90, 120, 100, 60, 60, 120}},
                 {3, {120, 120, 100, 60, 0, 0}}};
    for (const auto& c : cases) {
        ClickPreset(c.preset);
        EXPECT_EQ(Values(), c.values) << c.preset;
        EXPECT_EQ(SliderPositions(), c.values) << c.preset;
        // Each byte of the next frame: blue, green, red.
        std::vector<uint8_t> input(zendracam::kFrameBytes);
        for (size_t i = 0; i < input.size(); ++i)
            input[i] = uint8_t(i * 7);
        std::vector<uint8_t> frame = input;
        sink_.ProcessFrame(frame.data());
        const int offsets[3] = {c.values[5], c.values[4], c.values[3]};
        // Away from the logo in the bottom rows.
        for (size_t i = 960 * 40; i < input.size(); ++i)
            ASSERT_EQ(frame[i], Adjusted(input[i], offsets[i % 3], c.values[0], c.values[1]))
                << c.preset << " at " << i;
    }

    // A slider moved by the user stores its value at once; its number follows.
    auto* contrast = panel_->Control<QSlider>(1042);
    contrast->setFocus();
    QTest::keyClick(contrast, Qt::Key_End);
    EXPECT_EQ(Settings.AdjustColor.Contrast, 200);
    EXPECT_EQ(panel_->Control<QLabel>(2111)->text(), "200");
    EXPECT_EQ(RunFrame(100)[960 * 100], Adjusted(100, 0, 120, 200)) << "contrast 200 doubles the distance";

    // The reset puts the factory values back.
    panel_->SendCommand(IDC_RESET);
    EXPECT_EQ(Values(), (std::vector<int>{100, 100, 100, 0, 0, 0}));
    EXPECT_EQ(SliderPositions(), (std::vector<int>{100, 100, 100, 0, 0, 0}));
    EXPECT_EQ(RunFrame(77)[960 * 100], 77);
}
