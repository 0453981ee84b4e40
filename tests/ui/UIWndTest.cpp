// The skinned window: building from the skin, commands, messages, modal results, dragging, colour key.
#include "SkinFixture.h"
#include "ui/SkinControls.h"
#include "ui/UIWnd.h"

#include <QComboBox>
#include <QLineEdit>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <vector>

namespace {

class Recorder : public CUIWnd {
public:
    using CUIWnd::CUIWnd;
    std::vector<int> commands;
    std::vector<CWindowMessage*> messages;
    std::vector<int> messageNumbers;
    std::vector<uintptr_t> wParams;
    int endWith = 0;

protected:
    void OnCommand(int id) override
    {
        commands.push_back(id);
        if (endWith)
            EndModal(endWith);
    }
    bool OnMessage(CWindowMessage& message) override
    {
        messageNumbers.push_back(message.Message());
        wParams.push_back(message.wParam);
        return message.Message() == 1368;
    }
};

class UIWndTest : public testing::Test {
protected:
    void SetUp() override
    {
        fixture.Picture("bg.png", 200, 100, Qt::white, QColor(255, 0, 255));
        ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(fixture.Write(
            "<window id='10' width='200' height='100' background='bg.png' colorkey='#FF00FF'>"
            "  <control id='1' kind='button' rect='10,10,40,20' text='OK'/>"
            "  <control id='2' kind='button' rect='60,10,40,20' text='Cancel' enabled='0'/>"
            "  <control id='3' kind='radio' rect='10,40,40,20' group='g' checked='1'/>"
            "  <control id='4' kind='radio' rect='60,40,40,20' group='g'/>"
            "  <control id='5' kind='edit' rect='110,10,80,20' text='abc'/>"
            "  <control id='6' kind='combo' rect='110,40,80,20' items='a|b'/>"
            "  <control id='7' kind='placeholder' rect='5,70,50,20'/>"
            "  <control id='8' kind='slider' rect='60,70,80,20' min='0' max='99' value='30'/>"
            "  <control id='9' kind='static' rect='150,70,40,20' text='label'/>"
            "</window>"
            "<window id='11' width='50' height='50' color='#102030'/>"))));
    }
    void TearDown() override { ReleaseUiSkin(); }

    SkinFixture fixture;
};

// Closes the first modal skinned window that shows up with the given command.
void ClickInModalLater(int id)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, [timer, id] {
        if (auto* window = qobject_cast<CUIWnd*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            if (auto* button = window->Control<QAbstractButton>(id))
                button->click();
            else
                window->close();
        }
    });
    timer->start(10);
}

}  // namespace

TEST_F(UIWndTest, BuildsItsControlsFromTheSkin)
{
    Recorder window(10);
    ASSERT_TRUE(window.Create());
    EXPECT_EQ(window.size(), QSize(200, 100));
    EXPECT_TRUE(window.windowFlags() & Qt::FramelessWindowHint);
    ASSERT_NE(window.Control<CSkinButton>(1), nullptr);
    EXPECT_EQ(window.Control<CSkinButton>(1)->geometry(), QRect(10, 10, 40, 20));
    EXPECT_FALSE(window.GetControl(2)->isEnabled());
    EXPECT_EQ(window.Control<QLineEdit>(5)->text(), "abc");
    EXPECT_EQ(window.Control<QComboBox>(6)->count(), 2);
    EXPECT_EQ(window.Control<QSlider>(8)->value(), 30);
    EXPECT_EQ(window.Control<QSlider>(8)->maximum(), 99);
    EXPECT_EQ(window.GetControl(7), nullptr);
    EXPECT_EQ(window.ControlRect(7), QRect(5, 70, 50, 20));
    EXPECT_EQ(window.GetControl(99), nullptr);
    EXPECT_EQ(window.Control<QLineEdit>(1), nullptr);  // a button is not an edit

    Recorder missing(12);
    EXPECT_FALSE(missing.Create());
}

TEST_F(UIWndTest, ClicksReachTheCommandHandlerByIdentifier)
{
    Recorder window(10);
    ASSERT_TRUE(window.Create());
    window.show();
    QTest::mouseClick(window.GetControl(1), Qt::LeftButton);
    QTest::mouseClick(window.GetControl(2), Qt::LeftButton);  // disabled: no command
    QTest::mouseClick(window.GetControl(4), Qt::LeftButton);  // a radio notifies instead
    QTest::mouseClick(window.GetControl(1), Qt::LeftButton);
    EXPECT_EQ(window.commands, (std::vector<int>{1, 1}));
}

namespace {

// A child panel with an argument of its own, that counts its kind's living objects.
class CountedPanel : public CUIWnd {
public:
    CountedPanel(int resource, std::vector<int>* gone, int tag, QWidget* parent)
        : CUIWnd(resource, parent), tag_(tag), gone_(gone)
    {
    }
    ~CountedPanel() override { gone_->push_back(tag_); }
    int Tag() const { return tag_; }

private:
    int tag_;
    std::vector<int>* gone_;
};

}  // namespace

TEST_F(UIWndTest, ChildPanelsTakeTheirPlaceholderAndGoWithTheWindow)
{
    std::vector<int> gone;
    {
        Recorder window(10);
        ASSERT_TRUE(window.Create());
        CountedPanel* shown = window.CreateChildPanel<CountedPanel>(7, true, 11, &gone, 1);
        CountedPanel* hidden = window.CreateChildPanel<CountedPanel>(7, false, 11, &gone, 2);
        ASSERT_NE(shown, nullptr);
        ASSERT_NE(hidden, nullptr);
        EXPECT_EQ(shown->Tag(), 1);  // the concrete type, with its own members
        EXPECT_EQ(shown->parentWidget(), &window);
        EXPECT_FALSE(shown->isWindow());
        EXPECT_EQ(shown->geometry(), QRect(5, 70, 50, 20));
        EXPECT_TRUE(shown->IsCreated());
        window.show();
        EXPECT_TRUE(shown->isVisible());
        EXPECT_FALSE(hidden->isVisible());

        EXPECT_EQ(window.CreateChildPanel<CountedPanel>(99, true, 11, &gone, 3), nullptr);  // no such placeholder
        EXPECT_EQ(window.CreateChildPanel<CountedPanel>(7, true, 12, &gone, 4), nullptr);   // no such resource
        EXPECT_EQ(gone, (std::vector<int>{4}));  // the failed one is not kept
        EXPECT_EQ(window.findChildren<CountedPanel*>().size(), 2);
    }
    EXPECT_EQ(gone, (std::vector<int>{4, 2, 1}));
}

TEST_F(UIWndTest, GroupedRadiosExcludeEachOtherButTheWindowMayUncheckThem)
{
    Recorder window(10);
    ASSERT_TRUE(window.Create());
    EXPECT_TRUE(window.IsControlChecked(3));
    window.SetControlChecked(4, true);
    EXPECT_FALSE(window.IsControlChecked(3));
    window.SetControlChecked(4, false);
    EXPECT_FALSE(window.IsControlChecked(3));
    EXPECT_FALSE(window.IsControlChecked(4));
    window.Control<QAbstractButton>(3)->click();
    EXPECT_TRUE(window.IsControlChecked(3));
    window.Control<QAbstractButton>(3)->click();  // a user click never unchecks the checked one
    EXPECT_TRUE(window.IsControlChecked(3));
}

TEST_F(UIWndTest, NumberedMessagesReachTheHandler)
{
    Recorder window(10);
    ASSERT_TRUE(window.Create());
    EXPECT_TRUE(SendWindowMessage(&window, 1368, 5));
    EXPECT_FALSE(SendWindowMessage(&window, 1355));
    PostWindowMessage(&window, 1046, 100, 7);
    EXPECT_EQ(window.messageNumbers.size(), 2u);
    QCoreApplication::sendPostedEvents(&window);
    EXPECT_EQ(window.messageNumbers, (std::vector<int>{1368, 1355, 1046}));
    EXPECT_EQ(window.wParams, (std::vector<uintptr_t>{5, 0, 100}));
}

TEST_F(UIWndTest, ModalRunEndsWithTheResultItWasGiven)
{
    const struct {
        int endWith;
        int click;
        int expected;
    } cases[] = {{1, 1, 1}, {2, 1, 2}, {0, -1, 2}};  // -1: closed by the window manager
    for (const auto& c : cases) {
        Recorder window(10);
        window.endWith = c.endWith;
        ClickInModalLater(c.click);
        EXPECT_EQ(window.DoModal(), c.expected);
        EXPECT_FALSE(window.isVisible());
        EXPECT_FALSE(window.IsModal());
    }
}

TEST_F(UIWndTest, APressAnywhereMovesTheWindowWhenAllowed)
{
    for (bool allowed : {true, false}) {
        Recorder window(10);
        ASSERT_TRUE(window.Create());
        window.SetDragAnywhere(allowed);
        window.move(100, 100);
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
        const QPoint start = window.pos();
        // The static text does not take the mouse: the press reaches the window under it.
        QWidget* label = window.GetControl(9);
        QTest::mousePress(label, Qt::LeftButton, {}, QPoint(5, 5));
        QMouseEvent move(QEvent::MouseMove, QPointF(25, 35), label->mapToGlobal(QPointF(25, 35)), Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(&window, &move);
        QTest::mouseRelease(label, Qt::LeftButton, {}, QPoint(25, 35));
        if (allowed)
            EXPECT_EQ(window.pos(), start + QPoint(20, 30));
        else
            EXPECT_EQ(window.pos(), start);
    }
}

TEST_F(UIWndTest, ColourKeyCutsTheWindowShape)
{
    Recorder window(10);
    ASSERT_TRUE(window.Create());
    EXPECT_FALSE(window.mask().contains(QPoint(0, 0)));
    EXPECT_TRUE(window.mask().contains(QPoint(1, 0)));
    EXPECT_TRUE(window.mask().contains(QPoint(199, 99)));
    window.SetColorKeyEnabled(false);
    EXPECT_TRUE(window.mask().isEmpty());

    Recorder plain(11);
    ASSERT_TRUE(plain.Create());
    EXPECT_TRUE(plain.mask().isEmpty());
    EXPECT_EQ(plain.grab().toImage().pixelColor(25, 25), QColor("#102030"));
}
