// What each kind of control tells its window: push buttons and tabs their clicks through OnCommand,
// every other control through OnNotify, only for what the user does.
#include "SkinFixture.h"
#include "ui/ColorPicker.h"
#include "ui/SkinSpin.h"
#include "ui/SkinThumbs.h"
#include "ui/SkinTree.h"
#include "ui/SkinTreeList.h"
#include "ui/UIWnd.h"

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QSlider>
#include <QTest>

#include <gtest/gtest.h>

#include <vector>

namespace {

enum {
    IDC_SLIDER = 1, IDC_COMBO, IDC_EDIT, IDC_LIST, IDC_TREE, IDC_CHECK, IDC_RADIO_A, IDC_RADIO_B, IDC_SPIN, IDC_COLOR,
    IDC_TREELIST, IDC_THUMBS, IDC_BUTTON, IDC_TAB,
};

class Recorder : public CUIWnd {
public:
    Recorder() : CUIWnd(20) {}
    std::vector<int> commands;
    std::vector<ControlNotify> notes;

    // The notifications since the last call.
    std::vector<ControlNotify> Take() { return std::exchange(notes, {}); }

protected:
    void OnCommand(int id) override { commands.push_back(id); }
    void OnNotify(const ControlNotify& notify) override { notes.push_back(notify); }
};

class NotifyTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(fixture.Write(
            "<window id='20' width='560' height='320'>"
            "  <control id='1' kind='slider' rect='10,10,100,20' min='0' max='50' value='10'/>"
            "  <control id='2' kind='combo' rect='10,40,100,24' items='a|b|c'/>"
            "  <control id='3' kind='edit' rect='10,70,100,24'/>"
            "  <control id='4' kind='list' rect='120,10,100,100' items='one|two'/>"
            "  <control id='5' kind='tree' rect='230,10,100,100'/>"
            "  <control id='6' kind='check' rect='10,100,100,20' text='check'/>"
            "  <control id='7' kind='radio' rect='10,130,100,20' text='first' group='g' checked='1'/>"
            "  <control id='8' kind='radio' rect='10,160,100,20' text='second' group='g'/>"
            "  <control id='9' kind='spin' rect='10,190,80,24' min='0' max='222' value='10'/>"
            "  <control id='10' kind='color' rect='100,190,60,24'/>"
            "  <control id='11' kind='treelist' rect='120,120,200,90' items='name|state'/>"
            "  <control id='12' kind='thumbs' rect='340,10,210,200'/>"
            "  <control id='13' kind='button' rect='10,230,80,24' text='push'/>"
            "  <control id='14' kind='tab' rect='100,230,80,24' text='tab'/>"
            "</window>"))));
        ASSERT_TRUE(window.Create());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override
    {
        SetColorChooser({});
        ReleaseUiSkin();
    }

    SkinFixture fixture;
    Recorder window;
};

// A left click and a double click on a point of an item view, with the events the window system sends:
// a double click is a press, a release, a double-click press and a release.
void ClickAt(QAbstractItemView* view, QPoint at)
{
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
}
void DoubleClickAt(QAbstractItemView* view, QPoint at)
{
    ClickAt(view, at);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, view->viewport()->mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->viewport(), &doubleClick);
    QTest::mouseRelease(view->viewport(), Qt::LeftButton, {}, at);
}

}  // namespace

TEST_F(NotifyTest, SliderReportsWhereTheUserMovedItNotWhereTheWindowPutIt)
{
    auto* slider = window.Control<QSlider>(IDC_SLIDER);
    const struct {
        Qt::Key key;
        int expected;  // -1: no notification (no move)
    } cases[] = {{Qt::Key_Right, 11}, {Qt::Key_PageUp, 21}, {Qt::Key_End, 50}, {Qt::Key_End, -1}, {Qt::Key_Home, 0}};
    for (const auto& c : cases) {
        QTest::keyClick(slider, c.key);
        const std::vector<ControlNotify> notes = window.Take();
        if (c.expected < 0) {
            EXPECT_TRUE(notes.empty()) << c.key;
            continue;
        }
        ASSERT_EQ(notes.size(), 1u) << c.key;
        EXPECT_EQ(notes[0].id, IDC_SLIDER);
        EXPECT_EQ(notes[0].code, NotifyCode::ValueChanged);
        EXPECT_EQ(notes[0].value, c.expected);
        EXPECT_EQ(slider->value(), c.expected);  // the handler already sees the new value
    }
    // A drag of the handle, now at the left end, to the right end.
    const QPoint handle(4, slider->height() / 2);
    QTest::mousePress(slider, Qt::LeftButton, {}, handle);
    QMouseEvent move(QEvent::MouseMove, QPointF(slider->width() - 2, handle.y()),
                     slider->mapToGlobal(QPointF(slider->width() - 2, handle.y())), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(slider, &move);
    QTest::mouseRelease(slider, Qt::LeftButton, {}, QPoint(slider->width() - 2, handle.y()));
    const std::vector<ControlNotify> dragged = window.Take();
    ASSERT_FALSE(dragged.empty());
    EXPECT_EQ(dragged.back().value, 50);
    EXPECT_EQ(slider->value(), 50);

    slider->setValue(30);
    EXPECT_TRUE(window.Take().empty());
}

TEST_F(NotifyTest, ComboAndEditReportTheUsersChoiceAndTyping)
{
    auto* combo = window.Control<QComboBox>(IDC_COMBO);
    QTest::keyClick(combo, Qt::Key_Down);
    std::vector<ControlNotify> notes = window.Take();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].code, NotifyCode::SelChanged);
    EXPECT_EQ(notes[0].index, 1);
    EXPECT_EQ(notes[0].text, "b");
    combo->setCurrentIndex(2);
    EXPECT_TRUE(window.Take().empty());

    auto* edit = window.Control<QLineEdit>(IDC_EDIT);
    QTest::keyClicks(edit, "ab");
    notes = window.Take();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].code, NotifyCode::TextChanged);
    EXPECT_EQ(notes[0].id, IDC_EDIT);
    EXPECT_EQ(notes[1].text, "ab");
    edit->setText("xyz");
    EXPECT_TRUE(window.Take().empty());
}

TEST_F(NotifyTest, ListsReportTheClickedItemAndMinusOneBelowTheItems)
{
    auto* list = window.Control<QListWidget>(IDC_LIST);
    auto* rows = window.Control<CSkinTreeList>(IDC_TREELIST);
    rows->AddRow({"song", "done"});
    rows->AddRow({"other", "--"});
    const struct {
        QAbstractItemView* view;
        int id;
        QPoint first, second, below;
    } views[] = {
        {list, IDC_LIST, list->visualItemRect(list->item(0)).center(), list->visualItemRect(list->item(1)).center(),
         QPoint(10, list->viewport()->height() - 4)},
        {rows, IDC_TREELIST, rows->visualItemRect(rows->topLevelItem(0)).center(),
         rows->visualItemRect(rows->topLevelItem(1)).center(), QPoint(10, rows->viewport()->height() - 4)},
    };
    for (const auto& v : views) {
        ClickAt(v.view, v.second);
        DoubleClickAt(v.view, v.first);
        ASSERT_EQ(v.view->selectionModel()->selectedRows().size(), 1);
        EXPECT_EQ(v.view->selectionModel()->selectedRows().first().row(), 0);
        ClickAt(v.view, v.below);
        DoubleClickAt(v.view, v.below);
        const std::vector<ControlNotify> notes = window.Take();
        const std::vector<std::pair<NotifyCode, int>> expected = {
            {NotifyCode::Click, 1}, {NotifyCode::Click, 0}, {NotifyCode::DoubleClick, 0},
            {NotifyCode::Click, -1}, {NotifyCode::Click, -1}, {NotifyCode::DoubleClick, -1}};
        ASSERT_EQ(notes.size(), expected.size()) << v.id;
        for (size_t i = 0; i < notes.size(); ++i) {
            EXPECT_EQ(notes[i].id, v.id);
            EXPECT_EQ(notes[i].code, expected[i].first) << v.id << " #" << i;
            EXPECT_EQ(notes[i].index, expected[i].second) << v.id << " #" << i;
        }
        EXPECT_EQ(notes[0].text, v.id == IDC_LIST ? "two" : "other");
    }
}

TEST_F(NotifyTest, ThumbnailClicksOnEmptyItemsDeselectAndReportNoItem)
{
    auto* thumbs = window.Control<CSkinThumbs>(IDC_THUMBS);
    thumbs->AddPicture("a.gif", QImage());
    thumbs->AddPicture("b.gif", QImage());
    thumbs->AddEmptyItems(3);
    QTest::qWait(50);  // laid out between events
    const auto at = [thumbs](int index) { return thumbs->visualItemRect(thumbs->item(index)).center(); };
    ClickAt(thumbs, at(1));
    EXPECT_EQ(thumbs->SelectedPicture(), 1);
    ClickAt(thumbs, at(3));
    EXPECT_EQ(thumbs->SelectedPicture(), -1);
    EXPECT_TRUE(thumbs->selectedItems().isEmpty());
    DoubleClickAt(thumbs, at(0));
    DoubleClickAt(thumbs, at(4));
    EXPECT_TRUE(thumbs->selectedItems().isEmpty());
    const std::vector<ControlNotify> notes = window.Take();
    const std::vector<std::pair<NotifyCode, int>> expected = {{NotifyCode::Click, 1},       {NotifyCode::Click, -1},
                                                              {NotifyCode::Click, 0},       {NotifyCode::DoubleClick, 0},
                                                              {NotifyCode::Click, -1},      {NotifyCode::DoubleClick, -1}};
    ASSERT_EQ(notes.size(), expected.size());
    for (size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(notes[i].code, expected[i].first) << i;
        EXPECT_EQ(notes[i].index, expected[i].second) << i;
    }
    EXPECT_EQ(notes[0].text, "b.gif");
    EXPECT_EQ(notes[3].text, "a.gif");
}

TEST_F(NotifyTest, TreeReportsEverySelectionWithTheItemsData)
{
    auto* tree = window.Control<CSkinTree>(IDC_TREE);
    QTreeWidgetItem* root = tree->AddItem("视频特效", 1);
    tree->AddItem("动画效果", 2, root);
    tree->AddItem("边框效果", 4, root);
    tree->AddItem("色彩调节", 64);
    tree->expandAll();
    EXPECT_TRUE(window.Take().empty());

    EXPECT_TRUE(tree->SelectByData(4));
    EXPECT_TRUE(tree->SelectByData(4));  // already selected: nothing new
    EXPECT_FALSE(tree->SelectByData(99));
    QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, tree->visualItemRect(tree->FindItem(64)).center());
    const std::vector<ControlNotify> notes = window.Take();
    ASSERT_EQ(notes.size(), 2u);
    EXPECT_EQ(notes[0].id, IDC_TREE);
    EXPECT_EQ(notes[0].code, NotifyCode::SelChanged);
    EXPECT_EQ(notes[0].value, 4);
    EXPECT_EQ(notes[0].text, QString::fromUtf8("边框效果"));
    EXPECT_EQ(notes[0].index, 2);
    EXPECT_EQ(notes[1].value, 64);
    EXPECT_EQ(notes[1].index, 3);
    EXPECT_EQ(tree->SelectedData(), 64);
}

TEST_F(NotifyTest, CheckBoxesAndRadiosReportTheirStateNotACommand)
{
    window.Control<QAbstractButton>(IDC_CHECK)->click();
    window.Control<QAbstractButton>(IDC_CHECK)->click();
    QTest::mouseClick(window.GetControl(IDC_RADIO_B), Qt::LeftButton);
    QTest::mouseClick(window.GetControl(IDC_RADIO_B), Qt::LeftButton);  // stays checked
    window.SetControlChecked(IDC_CHECK, true);
    const std::vector<ControlNotify> notes = window.Take();
    const std::vector<std::pair<int, int>> expected = {{IDC_CHECK, 1}, {IDC_CHECK, 0}, {IDC_RADIO_B, 1}, {IDC_RADIO_B, 1}};
    ASSERT_EQ(notes.size(), expected.size());
    for (size_t i = 0; i < notes.size(); ++i) {
        EXPECT_EQ(notes[i].code, NotifyCode::Toggled);
        EXPECT_EQ(notes[i].id, expected[i].first) << i;
        EXPECT_EQ(notes[i].value, expected[i].second) << i;
    }
    EXPECT_FALSE(window.IsControlChecked(IDC_RADIO_A));
    EXPECT_TRUE(window.commands.empty());

    QTest::mouseClick(window.GetControl(IDC_BUTTON), Qt::LeftButton);
    QTest::mouseClick(window.GetControl(IDC_TAB), Qt::LeftButton);
    EXPECT_EQ(window.commands, (std::vector<int>{IDC_BUTTON, IDC_TAB}));
    EXPECT_TRUE(window.Take().empty());
}

TEST_F(NotifyTest, SpinReportsArrowsKeysAndTypingWithinItsRange)
{
    auto* spin = window.Control<CSkinSpin>(IDC_SPIN);
    EXPECT_EQ(spin->value(), 10);
    EXPECT_EQ(spin->maximum(), 222);
    QTest::keyClick(spin, Qt::Key_Up);
    QTest::keyClick(spin, Qt::Key_Down);
    QTest::keyClick(spin, Qt::Key_Down);
    spin->selectAll();
    QTest::keyClicks(spin, "3009");  // 300 is out of range: the 0 that makes it is refused
    const std::vector<ControlNotify> notes = window.Take();
    std::vector<int> values;
    for (const ControlNotify& n : notes) {
        EXPECT_EQ(n.id, IDC_SPIN);
        EXPECT_EQ(n.code, NotifyCode::ValueChanged);
        EXPECT_EQ(n.text, QString::number(n.value));
        values.push_back(n.value);
    }
    EXPECT_EQ(values, (std::vector<int>{11, 10, 9, 3, 30}));
    EXPECT_EQ(spin->value(), 30);

    spin->setValue(100);
    spin->setValue(500);
    EXPECT_EQ(spin->value(), 222);
    EXPECT_TRUE(window.Take().empty());
}

TEST_F(NotifyTest, ColourPickerReportsAChosenColourAsAWindowsValue)
{
    auto* picker = window.Control<CColorPicker>(IDC_COLOR);
    picker->SetColor(0x0000FF);  // red
    QColor offered;
    std::optional<QColor> answer = QColor(0x11, 0x22, 0x33);
    SetColorChooser([&](QWidget*, const QColor& initial) {
        offered = initial;
        return answer;
    });
    QTest::mouseClick(picker, Qt::LeftButton);
    EXPECT_EQ(offered, QColor(255, 0, 0));
    EXPECT_EQ(picker->Color(), 0x332211u);
    QTest::mouseClick(picker, Qt::LeftButton);  // the same colour again: no change
    answer.reset();
    QTest::mouseClick(picker, Qt::LeftButton);  // cancelled
    EXPECT_EQ(picker->Color(), 0x332211u);
    picker->SetColor(0x00FF00);
    const std::vector<ControlNotify> notes = window.Take();
    ASSERT_EQ(notes.size(), 1u);
    EXPECT_EQ(notes[0].id, IDC_COLOR);
    EXPECT_EQ(notes[0].code, NotifyCode::ValueChanged);
    EXPECT_EQ(notes[0].value, 0x332211);
}
