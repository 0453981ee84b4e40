// The windows as an X server shows them: the skin's pictures reach the screen, colour-keyed corners
// are cut out, and the main window has none. Each screen is also saved beside the test program for
// looking at.
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "app/KorvelMainFrm.h"
#include "app/WndSetting.h"
#include "ui/WndUserOptHite.h"
#include "app/WndWelcome.h"
#include "ui/MenuEx.h"
#include "ui/SkinResources.h"

#include <QImage>
#include <QScreen>
#include <QTest>

extern bool XvfbRunning;

namespace {

QImage GrabScreen(const char* saveAs)
{
    QCoreApplication::processEvents();
    QTest::qWait(100);
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(QImage::Format_RGB32);
    screen.save(QString("screen_%1.png").arg(saveAs));
    return screen;
}

// The pixel of the window's skin picture at `pos`.
QColor SkinPixel(const QString& picture, QPoint pos)
{
    return QImage(UiSkin()->ImagePath(picture)).pixelColor(pos);
}

QColor ScreenPixel(const QImage& screen, const CUIWnd& window, QPoint pos)
{
    return screen.pixelColor(window.mapToGlobal(pos));
}

class ScreenTest : public ShellTest {
protected:
    void SetUp() override
    {
        if (!XvfbRunning)
            GTEST_SKIP() << "Xvfb is not installed";
        ShellTest::SetUp();
    }
};

}  // namespace

TEST_F(ScreenTest, MainWindowShowsItsSkinWithoutCutCorners)
{
    CKorvelMainFrm frame;
    ASSERT_TRUE(frame.Create());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    const QImage screen = GrabScreen("main");
    for (QPoint pos : {QPoint(0, 0), QPoint(300, 20), QPoint(899, 619)})
        EXPECT_EQ(ScreenPixel(screen, frame, pos), SkinPixel("main_bg.png", pos)) << pos.x() << "," << pos.y();
    // The checked tab is drawn in its checked state.
    const QRect tab = frame.ControlRect(1006);
    EXPECT_EQ(ScreenPixel(screen, frame, tab.topLeft() + QPoint(60, 30)),
              QImage(UiSkin()->ImagePath("btn_tab_120x40_checked.png")).pixelColor(60, 30));
}

TEST_F(ScreenTest, LoadingWindowAndMessageBoxHaveRoundedCorners)
{
    CWndWelcome* welcome = new CWndWelcome;
    ASSERT_TRUE(welcome->Create());
    welcome->ShowLoading();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(welcome));
    QImage screen = GrabScreen("welcome");
    EXPECT_NE(ScreenPixel(screen, *welcome, QPoint(0, 0)), QColor(255, 0, 255));  // cut out
    EXPECT_EQ(ScreenPixel(screen, *welcome, QPoint(190, 40)), SkinPixel("welcome_bg.png", QPoint(190, 40)));
    delete welcome;

    QColor corner, inside, expected;
    ModalDriver driver;
    bool boxShown = false;
    driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
        boxShown = QTest::qWaitForWindowExposed(box);
        const QImage shot = GrabScreen("msgbox");
        corner = ScreenPixel(shot, *box, QPoint(0, 0));
        inside = ScreenPixel(shot, *box, QPoint(200, 20));
        expected = SkinPixel("msgbox_bg.png", QPoint(200, 20));
        box->Control<QAbstractButton>(1142)->click();
    });
    EXPECT_EQ(ShowUserOptHite(nullptr, QString::fromUtf8("您确定要退出虚拟视频程序吗？"), 0), 2);
    EXPECT_TRUE(boxShown);
    EXPECT_NE(corner, QColor(255, 0, 255));
    EXPECT_EQ(inside, expected);
}

TEST_F(ScreenTest, SettingsDialogAndFolderChooser)
{
    Settings.SavePath.MyPhotoPath = home_.Path();
    CKorvelMainFrm frame;
    ASSERT_TRUE(frame.Create());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    bool settingsShown = false, chooserShown = false, aboutShown = false;
    ModalDriver driver;
    driver
        .Then(IDR_SETTING,
              [&](CUIWnd* dialog) {
                  settingsShown = QTest::qWaitForWindowExposed(dialog);
                  GrabScreen("settings");
                  dialog->Control<QAbstractButton>(1161)->click();
              })
        .Then(IDR_CHOICE_PATH,
              [&](CUIWnd* chooser) {
                  chooserShown = QTest::qWaitForWindowExposed(chooser);
                  GrabScreen("choosepath");
                  chooser->Control<QAbstractButton>(1142)->click();
              })
        .Click(IDR_SETTING, 1170)
        .Then(IDR_ABOUT, [&](CUIWnd* about) {
            aboutShown = QTest::qWaitForWindowExposed(about);
            GrabScreen("about");
            about->Control<QAbstractButton>(1147)->click();
        });
    frame.SendCommand(1010);
    frame.SendCommand(12345);
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(settingsShown);
    EXPECT_TRUE(chooserShown);
    EXPECT_TRUE(aboutShown);
}

TEST_F(ScreenTest, TrayMenuIsDrawnInItsColours)
{
    CKorvelMainFrm frame;
    ASSERT_TRUE(frame.Create());
    frame.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&frame));
    std::unique_ptr<CMenuEx> menu = frame.TrayIcon().BuildMenu();
    menu->popup(frame.mapToGlobal(QPoint(300, 300)));
    ASSERT_TRUE(QTest::qWaitForWindowExposed(menu.get()));
    // Hover the second entry: it takes the gradient between the two given colours.
    const QRect about = menu->actionGeometry(menu->actions()[1]);
    QTest::mouseMove(menu.get(), about.center());
    QTest::qWait(200);
    const QImage screen = GrabScreen("traymenu");
    const QPoint origin = menu->mapToGlobal(QPoint(0, 0));
    const QRect first = menu->actionGeometry(menu->actions()[0]);
    EXPECT_EQ(screen.pixelColor(origin + first.topLeft() + QPoint(4, 4)), QColor(0xFF, 0xFF, 0xFF));
    const QColor hovered = screen.pixelColor(origin + about.center() + QPoint(about.width() / 3, 0));
    EXPECT_LT(hovered.red(), hovered.blue());  // a blue between #A6C2FF and #3E59AA
    EXPECT_GT(hovered.blue(), 0xA0);
    menu->close();
}
