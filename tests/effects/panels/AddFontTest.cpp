// The text panel: what it shows when built, the rule that a control stores only a changed value and
// the line takes the settings only while it is switched on, and the close box.
#include "PanelFixture.h"

#include "effects/panels/WndAddFont.h"
#include "ui/ColorPicker.h"
#include "ui/SkinSpin.h"

#include <QComboBox>
#include <QFontDatabase>
#include <QLineEdit>
#include <QSlider>

namespace {

enum {
    IDC_TEXT_COLOR = 1000,
    IDC_BAND_COLOR = 2000,
    IDC_FACE = 1061,
    IDC_SIZE = 1062,
    IDC_POSITION = 1063,
    IDC_MOVEMENT = 1065,
    IDC_CONTENT = 1066,
    IDC_SPEED = 1067,
    IDC_CLOSE = 1068,
};

class AddFontTest : public EffectPanelTest {
protected:
    void SetUp() override
    {
        EffectPanelTest::SetUp();
        auto& font = Settings.AddFont;
        font.Content = "Korvel";
        font.FontName = "DejaVu Sans";
        font.FontSize = 20;
        font.FontHeight = 30;
        font.FontCor = 0x0000FF;
        font.BackGrdCor = 0xFFFFFF;
        font.ChangeType = 0;
        font.ChangSpeed = 0;
    }
    CWndAddFont& Panel()
    {
        panel_ = std::make_unique<CWndAddFont>(nullptr);
        EXPECT_TRUE(panel_->Create());
        panel_->show();
        return *panel_;
    }
    // The lowest frame row the band covers: the first row from the bottom, in column 5, that the line
    // changed; -1 for none.
    int BandRow()
    {
        const std::vector<uint8_t> frame = RunFrame(100);
        for (int row = 0; row < 240; ++row)
            if (frame[size_t(row) * 960 + 15] != 100)
                return row;
        return -1;
    }
    void ToggleClose()
    {
        auto* box = panel_->Control<QAbstractButton>(IDC_CLOSE);
        QTest::mouseClick(box, Qt::LeftButton, {}, box->rect().center());
    }
    void Choose(int comboId, int index)
    {
        auto* combo = panel_->Control<QComboBox>(comboId);
        combo->setCurrentIndex(index);
        emit combo->activated(index);  // as a choice in its list does
    }

    std::unique_ptr<CWndAddFont> panel_;
};

}  // namespace

TEST_F(AddFontTest, ShowsTheSettingsWhenBuilt)
{
    Settings.AddFont.FontName = "No Such Face Installed";
    Settings.AddFont.ChangeType = 2;
    Settings.AddFont.ChangSpeed = 42;
    Settings.AddFont.BackGrdCor = 0x00FF00;
    Panel();
    EXPECT_EQ(panel_->Control<QLineEdit>(IDC_CONTENT)->text(), "Korvel");
    auto* faces = panel_->Control<QComboBox>(IDC_FACE);
    EXPECT_EQ(faces->count(), QFontDatabase::families().size());
    EXPECT_EQ(faces->currentIndex(), 0) << "a face that is not installed shows the first";
    EXPECT_EQ(Settings.AddFont.FontName, "No Such Face Installed") << "and is not stored";
    auto* sizes = panel_->Control<QComboBox>(IDC_SIZE);
    EXPECT_EQ(sizes->count(), 59);
    EXPECT_EQ(sizes->itemText(0), "9");
    EXPECT_EQ(sizes->itemText(58), "67");
    EXPECT_EQ(sizes->currentText(), "20");
    EXPECT_EQ(panel_->Control<QComboBox>(IDC_MOVEMENT)->currentText(), QString::fromUtf8("向右滚动"));
    EXPECT_EQ(panel_->Control<QSlider>(IDC_SPEED)->value(), 42);
    auto* position = panel_->Control<CSkinSpin>(IDC_POSITION);
    EXPECT_EQ(position->value(), 30);
    EXPECT_EQ(position->minimum(), 0);
    EXPECT_EQ(position->maximum(), 222);
    EXPECT_EQ(panel_->Control<CColorPicker>(IDC_TEXT_COLOR)->Color(), 0x0000FFu);
    EXPECT_EQ(panel_->Control<CColorPicker>(IDC_BAND_COLOR)->Color(), 0x00FF00u);
    EXPECT_TRUE(panel_->IsControlChecked(IDC_CLOSE));
}

TEST_F(AddFontTest, OnlyAChangedValueIsStoredAndOnlyAnOpenLineTakesIt)
{
    Settings.AddFont.Close = false;
    sink_.SetTextLine(Settings.AddFont);
    Panel();
    ASSERT_EQ(BandRow(), 30);

    // Something else changed the record behind the panel's back: only a handler that stores a new
    // value makes the line take the record again.
    Settings.AddFont.FontHeight = 80;
    Choose(IDC_SIZE, 20 - 9);  // the size it already has
    Choose(IDC_MOVEMENT, 0);
    EXPECT_EQ(BandRow(), 30) << "nothing changed, nothing applied";
    Choose(IDC_SIZE, 22 - 9);
    EXPECT_EQ(Settings.AddFont.FontSize, 22);
    EXPECT_EQ(BandRow(), 80);

    // Each control stores its field.
    auto* position = panel_->Control<CSkinSpin>(IDC_POSITION);
    position->setFocus();
    QTest::keyClick(position, Qt::Key_Up);
    EXPECT_EQ(Settings.AddFont.FontHeight, 31);
    EXPECT_EQ(BandRow(), 31);
    QTest::keyClicks(panel_->Control<QLineEdit>(IDC_CONTENT), "!");
    EXPECT_EQ(Settings.AddFont.Content, "Korvel!");
    Choose(IDC_MOVEMENT, 1);
    EXPECT_EQ(Settings.AddFont.ChangeType, 1);
    auto* speed = panel_->Control<QSlider>(IDC_SPEED);
    speed->setFocus();
    QTest::keyClick(speed, Qt::Key_PageUp);
    EXPECT_EQ(Settings.AddFont.ChangSpeed, speed->value());
    EXPECT_GT(speed->value(), 0);
    Choose(IDC_FACE, 0);
    EXPECT_EQ(Settings.AddFont.FontName, QFontDatabase::families().front().toStdString());
    SetColorChooser([](QWidget*, const QColor&) { return std::optional<QColor>(QColor(10, 20, 30)); });
    panel_->Control<CColorPicker>(IDC_BAND_COLOR)->click();
    SetColorChooser({});
    EXPECT_EQ(Settings.AddFont.BackGrdCor, 0x1E140Au);

    // Switched off: the fields are still stored, but the line is gone and does not take them.
    ToggleClose();
    EXPECT_TRUE(Settings.AddFont.Close);
    EXPECT_EQ(BandRow(), -1);
    QTest::keyClick(position, Qt::Key_Up);
    EXPECT_EQ(Settings.AddFont.FontHeight, 32);
    EXPECT_EQ(BandRow(), -1);
    // Switched on again: it takes the record as it now is.
    ToggleClose();
    EXPECT_FALSE(Settings.AddFont.Close);
    EXPECT_EQ(BandRow(), 32);
}

TEST_F(AddFontTest, ABandAtTheTopStaysInsideThePicture)
{
    Settings.AddFont.Close = false;
    Settings.AddFont.FontSize = 18;
    Panel();
    ToggleClose();
    ToggleClose();
    auto* position = panel_->Control<CSkinSpin>(IDC_POSITION);
    position->setFocus();
    position->selectAll();
    QTest::keyClicks(position, "222");  // the top of its range
    EXPECT_EQ(Settings.AddFont.FontHeight, 222);
    EXPECT_EQ(BandRow(), 240 - 18) << "an 18-pixel band reaches the top row";
}
