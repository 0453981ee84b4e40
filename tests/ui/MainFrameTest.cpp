// The main window: creation, tabs, the close button and the quit question, the tray, the flash, the
// links and shut-down.
#include "MessageSpy.h"
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "app/KorvelMainFrm.h"
#include "app/ShellMessages.h"
#include "effects/panels/WndSpeEffect.h"
#include "ktv/panels/WndKTV.h"
#include "ktv/panels/WndLeftPan.h"
#include "pipeline/panels/WndVideoScr.h"
#include "record/panels/WndOpus.h"
#include "ui/WndUserOptHite.h"
#include "support/Files.h"
#include "ui/SkinResources.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QLabel>
#include <QUrl>

namespace {


class LinkCatcher : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
public slots:
    void Open(const QUrl& url) { opened.push_back(url); }
};

class MainFrameTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        frame = std::make_unique<CKorvelMainFrm>();
        ASSERT_TRUE(frame->Create());
        frame->show();
    }
    void TearDown() override
    {
        frame.reset();
        ShellTest::TearDown();
    }
    // Visibility of the effects, video-source, KTV, left and works panels.
    std::vector<bool> Panels() const
    {
        return {frame->EffectsPanel()->isVisible(), frame->VideoSourcePanel()->isVisible(),
                frame->KtvPanel()->isVisible(), frame->LeftPanel()->isVisible(), frame->WorksPanel()->isVisible()};
    }
    std::unique_ptr<CKorvelMainFrm> frame;
};

}  // namespace

TEST_F(MainFrameTest, OpensOnTheEffectsTab)
{
    EXPECT_EQ(MainFrame, frame.get());
    EXPECT_EQ(CaptureSink, &frame->Sink());
    EXPECT_EQ(frame->Sink().CaptureMode, CAPTURE_PROCESS);  // capture started at creation
    EXPECT_EQ(frame->windowTitle(), QString::fromUtf8("Korvel虚拟视频"));
    EXPECT_EQ(frame->Sink().SourceKind(), 0x10000);
    EXPECT_TRUE(frame->IsControlChecked(1006));
    EXPECT_EQ(Panels(), (std::vector<bool>{true, false, false, true, false}));
    EXPECT_EQ(frame->EffectsPanel()->geometry(), frame->ControlRect(1003));
    EXPECT_EQ(frame->LeftPanel()->geometry(), frame->ControlRect(1004));
    EXPECT_EQ(frame->WorksPanel()->geometry(), frame->ControlRect(1005));
    EXPECT_EQ(frame->BannerView(), nullptr);  // no banner address, no browser
    EXPECT_TRUE(frame->IsFlashing());
    // Missing photo and record folders fall back to the program folder's own.
    EXPECT_EQ(Settings.SavePath.MyPhotoPath, home_.File("Photo"));
    EXPECT_TRUE(QFileInfo(QString::fromStdString(home_.File("Record"))).isDir());
    EXPECT_EQ(frame->TrayIcon().TooltipText(), QString::fromUtf8("Korvel虚拟视频"));
    EXPECT_TRUE(frame->mask().isEmpty());  // the main window has no colour-keyed shape
}

TEST(TrayIcon, TipsAreCutToTheShellsField)
{
    CTrayIcon icon(100);
    icon.SetTooltipText(QString(200, QChar(0x865A)));
    EXPECT_EQ(icon.TooltipText(), QString(127, QChar(0x865A)));
    icon.SetTooltipText("Korvel");
    EXPECT_EQ(icon.TooltipText(), "Korvel");
    icon.RemoveIcon();
    EXPECT_FALSE(icon.IsShown());
}

TEST_F(MainFrameTest, TabsShowTheirPanels)
{
    const struct {
        int tab;
        std::vector<bool> panels;
        bool sourceButton;  // the left panel's mirror of tab 1007
    } cases[] = {
        {1007, {false, true, false, true, false}, true},
        {1009, {false, false, true, true, false}, false},
        {1007, {false, true, false, true, false}, true},
        {1008, {false, false, false, false, true}, true},  // the left panel is hidden, its button untouched
        {1006, {true, false, false, true, false}, false},
    };
    for (const auto& c : cases) {
        frame->Control<QAbstractButton>(c.tab)->click();
        EXPECT_EQ(Panels(), c.panels) << c.tab;
        EXPECT_EQ(frame->LeftPanel()->IsControlChecked(1136), c.sourceButton) << c.tab;
        for (int tab : {1006, 1007, 1008, 1009})
            EXPECT_EQ(frame->IsControlChecked(tab), tab == c.tab) << c.tab << " " << tab;
    }
}

TEST_F(MainFrameTest, EffectsPanelsCanAskForTheEffectsTab)
{
    MessageSpy effects(frame->EffectsPanel());
    frame->Control<QAbstractButton>(1007)->click();
    EXPECT_TRUE(SendWindowMessage(frame.get(), WM_SWITCH_TO_EFFECTS));
    EXPECT_EQ(Panels(), (std::vector<bool>{true, false, false, true, false}));
    EXPECT_TRUE(frame->IsControlChecked(1006));
    EXPECT_FALSE(frame->IsControlChecked(1007));
    EXPECT_FALSE(frame->LeftPanel()->IsControlChecked(1136));
    EXPECT_EQ(effects.messages, std::vector<int>{WM_SHOW_EFFECTS});
}

TEST_F(MainFrameTest, MessagesBetweenPanelsGoThroughTheMainWindow)
{
    MessageSpy source(frame->VideoSourcePanel());
    MessageSpy left(frame->LeftPanel());
    MessageSpy ktv(frame->KtvPanel());
    for (int message : {WM_MEDIA_LIST_ENDED, WM_SELECT_SCREEN_SOURCE, WM_KTV_PLAY_SONG, WM_KTV_SONG_ENDED})
        SendWindowMessage(frame.get(), message);
    EXPECT_EQ(source.messages, (std::vector<int>{WM_MEDIA_LIST_ENDED, WM_SELECT_SCREEN_SOURCE}));
    EXPECT_EQ(left.messages, std::vector<int>{WM_KTV_PLAY_SONG});
    EXPECT_EQ(ktv.messages, std::vector<int>{WM_KTV_SONG_ENDED});

    // The left pane's video-source button opens the video-source tab.
    EXPECT_TRUE(SendWindowMessage(frame.get(), WM_SHOW_SOURCE_TAB));
    EXPECT_EQ(Panels(), (std::vector<bool>{false, true, false, true, false}));
    EXPECT_TRUE(frame->LeftPanel()->IsControlChecked(1136));
}

TEST_F(MainFrameTest, CloseButtonHidesWhenExitOnCloseIs0)
{
    Settings.ExitOnClose = 0;
    ModalDriver driver;
    driver.Click(IDR_USER_OPT_HITE, 1142);  // must not be needed
    frame->Control<QAbstractButton>(1002)->click();
    QCoreApplication::processEvents();
    EXPECT_TRUE(driver.seen.empty());
    // Without a tray to come back from, hiding minimises.
    EXPECT_TRUE(frame->isMinimized() || frame->isHidden());
    EXPECT_FALSE(frame->IsDestroyed());
}

TEST_F(MainFrameTest, CloseButtonAsksWhenExitOnCloseIs1AndRefusingKeepsRunning)
{
    Settings.ExitOnClose = 1;
    ModalDriver driver;
    QString question;
    driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) { question = box->Control<QLabel>(1144)->text(); })
        .Click(IDR_USER_OPT_HITE, 1142);
    frame->Control<QAbstractButton>(1002)->click();
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(question, QString::fromUtf8("您确定要退出虚拟视频程序吗？"));
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(frame->isMinimized());
    EXPECT_FALSE(frame->IsDestroyed());
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(home_.File("User_Config.xml"))));
}

TEST_F(MainFrameTest, ConfirmedQuitDestroysTheWindowAndSavesOnDeletion)
{
    Settings.ExitOnClose = 1;
    Settings.LoopMode.Musiz = 3;
    ModalDriver driver;
    driver.Click(IDR_USER_OPT_HITE, 1141);
    frame->Control<QAbstractButton>(1002)->click();
    EXPECT_TRUE(driver.Done());
    EXPECT_TRUE(frame->IsDestroyed());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_FALSE(frame->TrayIcon().IsShown());
    frame.reset();
    EXPECT_EQ(MainFrame, nullptr);
    EXPECT_EQ(CaptureSink, nullptr);
    EXPECT_NE(ReadFileBytes(home_.File("User_Config.xml")).find("Musiz=\"3\""), std::string::npos);
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(home_.File("Active.ini"))));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(home_.File("Camera.ini"))));
}

TEST_F(MainFrameTest, WindowManagerCloseOnlyHides)
{
    for (int exitOnClose : {0, 1}) {
        Settings.ExitOnClose = exitOnClose;
        frame->showNormal();
        ModalDriver driver;
        driver.Click(IDR_USER_OPT_HITE, 1142);
        EXPECT_FALSE(frame->close());  // Alt+F4 and the window manager's close
        QCoreApplication::processEvents();
        EXPECT_TRUE(driver.seen.empty());
        EXPECT_TRUE(frame->isMinimized() || frame->isHidden());
        EXPECT_FALSE(frame->IsDestroyed());
    }
}

TEST_F(MainFrameTest, TrayMenuOffersHideOrShowByVisibility)
{
    const auto texts = [](const CMenuEx& menu) {
        QStringList list;
        for (QAction* action : menu.actions())
            list << (action->isSeparator() ? "-" : action->text());
        return list;
    };
    auto menu = frame->TrayIcon().BuildMenu();
    EXPECT_EQ(texts(*menu), QStringList({"隐藏", "关于...", "-", "退出程序"}));
    EXPECT_EQ(menu->actions()[0]->data().toInt(), 100000);
    menu->actions()[0]->trigger();
    EXPECT_TRUE(frame->isHidden());

    menu = frame->TrayIcon().BuildMenu();
    EXPECT_EQ(texts(*menu), QStringList({"显示", "关于...", "-", "退出程序"}));
    EXPECT_EQ(menu->actions()[0]->data().toInt(), 100010);
    menu->actions()[0]->trigger();
    EXPECT_TRUE(frame->isVisible());
    EXPECT_TRUE(frame->IsFlashing());

    ModalDriver driver;
    driver.Click(IDR_ABOUT, 1147).Click(IDR_USER_OPT_HITE, 1142);
    menu->actions()[1]->trigger();
    menu->actions()[3]->trigger();
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(frame->IsDestroyed());
}

TEST_F(MainFrameTest, TrayDoubleClickTogglesTheWindow)
{
    const auto doubleClick = [&](int icon) {
        SendWindowMessage(frame.get(), WM_TRAY_NOTIFY, uintptr_t(icon), TRAY_LBUTTONDBLCLK);
    };
    doubleClick(100);
    EXPECT_TRUE(frame->isHidden());
    doubleClick(101);  // another icon's notification is not ours
    EXPECT_TRUE(frame->isHidden());
    doubleClick(100);
    EXPECT_TRUE(frame->isVisible());
    frame->showMinimized();
    doubleClick(100);
    EXPECT_TRUE(frame->isVisible());
    EXPECT_FALSE(frame->isMinimized());
}

TEST_F(MainFrameTest, FlashesSixTimesThenStops)
{
    for (int round = 0; round < 2; ++round) {
        int alerts = 0;
        frame->Alert = [&](QWidget* window) {
            EXPECT_EQ(window, frame.get());
            ++alerts;
        };
        frame->SendCommand(LowWord(ID_TRAY_SHOW));  // "显示" starts it again
        for (int tick = 0; tick < 7; ++tick)
            frame->OnFlashTimer();
        EXPECT_EQ(alerts, 6);
        EXPECT_FALSE(frame->IsFlashing());
    }
}

TEST_F(MainFrameTest, TitleAreaMenuAndTrayOpenTheAboutBox)
{
    for (int command : {ID_SYS_ABOUT, LowWord(ID_TRAY_ABOUT)}) {
        ModalDriver driver;
        driver.Click(IDR_ABOUT, 1148);
        frame->SendCommand(command);
        EXPECT_TRUE(driver.Done()) << command;
    }
}

TEST_F(MainFrameTest, LinkButtonsOpenTheirLinksAndIgnoreEmptyOnes)
{
    LinkCatcher catcher;
    QDesktopServices::setUrlHandler("http", &catcher, "Open");
    ActiveIni.ForumURL = "http://127.0.0.1/forum";
    ActiveIni.HelpURL = "";
    ActiveIni.IniteBudMkMoneyURL = "http://127.0.0.1/invite";
    ActiveIni.MkMoneyMethodURL = "http://127.0.0.1/method";
    for (int id : {1011, 1012, 1014, 1015})
        frame->Control<QAbstractButton>(id)->click();
    QDesktopServices::unsetUrlHandler("http");
    EXPECT_EQ(catcher.opened, (std::vector<QUrl>{QUrl("http://127.0.0.1/forum"), QUrl("http://127.0.0.1/invite"),
                                                 QUrl("http://127.0.0.1/method")}));
}

#include "MainFrameTest.moc"
