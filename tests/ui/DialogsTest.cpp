// The shell's dialogs: the about box, the folder chooser, the settings dialog and the
// loading window.
#include "MessageSpy.h"
#include "ModalDriver.h"
#include "ShellFixture.h"
#include "app/KorvelMainFrm.h"
#include "app/ShellMessages.h"
#include "app/WndAbout.h"
#include "app/WndChoicePath.h"
#include "app/WndSetting.h"
#include "app/WndWelcome.h"
#include "ktv/panels/WndKTV.h"
#include "ui/ShellTree.h"
#include "ui/SkinResources.h"

#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QTest>

using DialogsTest = ShellTest;

TEST_F(DialogsTest, AboutBoxClosesWithEitherButton)
{
    for (const auto& [click, result] : {std::pair{1147, 1}, std::pair{1148, 2}}) {
        CWndAbout about;
        ModalDriver driver;
        driver.Click(IDR_ABOUT, click);
        EXPECT_EQ(about.DoModal(), result);
    }
}

TEST_F(DialogsTest, FolderChooserConfirmsOnlyASelectedFolder)
{
    {
        CWndChoicePath chooser;
        ModalDriver driver;
        driver.Click(IDR_CHOICE_PATH, 1177);
        EXPECT_EQ(chooser.DoModal(), 2);
        EXPECT_TRUE(chooser.ResultPath().isEmpty());
    }
    {
        const QString folder = QString::fromStdString(home_.Path());
        CWndChoicePath chooser;
        QString shown;
        ModalDriver driver;
        driver.Then(IDR_CHOICE_PATH, [&](CUIWnd* window) {
            static_cast<CWndChoicePath*>(window)->Tree()->SelectPath(folder);
            shown = window->Control<QLabel>(1178)->text();
        });
        driver.Click(IDR_CHOICE_PATH, 1177);
        EXPECT_EQ(chooser.DoModal(), 1);
        EXPECT_EQ(chooser.ResultPath(), folder);
        EXPECT_EQ(shown, folder);
    }
    for (int cancel : {1142, 1002}) {
        CWndChoicePath chooser(nullptr, QString::fromStdString(home_.Path()));
        ModalDriver driver;
        driver.Click(IDR_CHOICE_PATH, cancel);
        EXPECT_EQ(chooser.DoModal(), 2);
    }
}

class SettingsDialogTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        QDir().mkpath(QString::fromStdString(home_.File("elsewhere")));
        Settings.SavePath.MyPhotoPath = home_.File("Photo");
        Settings.SavePath.RecordPath = home_.File("Record");
        Settings.SavePath.SongPath = home_.File("Songs");
        Settings.SavePath.LyricPath = home_.File("Lyrics");
    }
    // Chooses `elsewhere` for the photo and lyric folders, flips two options and the close action.
    ModalDriver& ChangeEverything(ModalDriver& driver)
    {
        const QString elsewhere = QString::fromStdString(home_.File("elsewhere"));
        const auto choose = [elsewhere](CUIWnd* window) {
            static_cast<CWndChoicePath*>(window)->Tree()->SelectPath(elsewhere);
            window->Control<QAbstractButton>(1177)->click();
        };
        return driver.Click(IDR_SETTING, 1161)
            .Then(IDR_CHOICE_PATH, choose)
            .Click(IDR_SETTING, 1164)
            .Then(IDR_CHOICE_PATH, choose)
            .Click(IDR_SETTING, 1162)
            .Click(IDR_CHOICE_PATH, 1142)  // cancelled: the record folder stays
            .Click(IDR_SETTING, 1165)
            .Click(IDR_SETTING, 1160)
            .Click(IDR_SETTING, 1166);
    }
};

TEST_F(SettingsDialogTest, ShowsTheSettings)
{
    Settings.ExitOnClose = 1;
    CWndSetting dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.Control<QLineEdit>(1171)->text(), QString::fromStdString(home_.File("Photo")));
    EXPECT_EQ(dialog.Control<QLineEdit>(1174)->text(), QString::fromStdString(home_.File("Lyrics")));
    const int boxes[10] = {1165, 1152, 1153, 1154, 1155, 1156, 1157, 1158, 1159, 1160};
    for (int i = 0; i < 10; ++i)
        EXPECT_EQ(dialog.IsControlChecked(boxes[i]), i >= 3) << boxes[i];
    EXPECT_TRUE(dialog.IsControlChecked(1166));
    EXPECT_FALSE(dialog.IsControlChecked(1167));
}

TEST_F(SettingsDialogTest, OkStoresTheChoices)
{
    CKorvelMainFrm frame;
    ASSERT_TRUE(frame.Create());
    MessageSpy ktv(frame.KtvPanel());
    CWndSetting dialog(&frame);
    ModalDriver driver;
    ChangeEverything(driver).Click(IDR_SETTING, 1169);
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_TRUE(driver.Done());
    const std::string elsewhere = home_.File("elsewhere");
    EXPECT_EQ(Settings.SavePath.MyPhotoPath, elsewhere);
    EXPECT_EQ(Settings.SavePath.RecordPath, home_.File("Record"));
    EXPECT_EQ(Settings.SavePath.SongPath, home_.File("Songs"));
    EXPECT_EQ(Settings.SavePath.LyricPath, elsewhere);
    const uint8_t expected[10] = {1, 0, 0, 1, 1, 1, 1, 1, 1, 0};
    EXPECT_TRUE(std::equal(expected, expected + 10, Settings.SettingChecks));
    EXPECT_EQ(Settings.ExitOnClose, 1);
    EXPECT_EQ(ktv.messages, std::vector<int>{WM_KTV_RELOAD_SONGS});  // the song list is asked to reload
}

TEST_F(SettingsDialogTest, OkWithoutChangesKeepsEverything)
{
    const SettingsRecord before = Settings;
    CWndSetting dialog;
    ModalDriver driver;
    driver.Click(IDR_SETTING, 1169);
    EXPECT_EQ(dialog.DoModal(), 1);
    EXPECT_EQ(Settings.SavePath.MyPhotoPath, before.SavePath.MyPhotoPath);
    EXPECT_EQ(Settings.SavePath.LyricPath, before.SavePath.LyricPath);
    EXPECT_TRUE(std::equal(before.SettingChecks, before.SettingChecks + 10, Settings.SettingChecks));
    EXPECT_EQ(Settings.ExitOnClose, 0);
}

TEST_F(SettingsDialogTest, CancelAndCloseStoreNothing)
{
    for (int leave : {1170, 1002}) {
        const SettingsRecord before = Settings;
        CWndSetting dialog;
        ModalDriver driver;
        ChangeEverything(driver).Click(IDR_SETTING, leave);
        EXPECT_EQ(dialog.DoModal(), 2);
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(Settings.SavePath.MyPhotoPath, before.SavePath.MyPhotoPath);
        EXPECT_EQ(Settings.SavePath.LyricPath, before.SavePath.LyricPath);
        EXPECT_TRUE(std::equal(before.SettingChecks, before.SettingChecks + 10, Settings.SettingChecks));
        EXPECT_EQ(Settings.ExitOnClose, 0);
    }
}

TEST_F(DialogsTest, LoadingWindowCyclesItsTextAndClosesOnMessage)
{
    LoadingTextIndex = 0;
    QPointer<CWndWelcome> welcome = new CWndWelcome;
    ASSERT_TRUE(welcome->Create());
    welcome->ShowLoading();
    EXPECT_TRUE(welcome->isVisible());
    EXPECT_TRUE(welcome->windowFlags() & Qt::Tool);  // no taskbar button
    auto* label = welcome->Control<QLabel>(1116);
    EXPECT_EQ(label->text(), QString::fromUtf8("正在加载"));
    const char* const cycle[] = {"正在加载。", "正在加载。。", "正在加载。。。", "正在加载", "正在加载。"};
    for (const char* text : cycle)
        EXPECT_TRUE(QTest::qWaitFor([&] { return label->text() == QString::fromUtf8(text); }, 5000)) << text;
    PostWindowMessage(welcome, WM_CLOSE_LOADING);
    QCoreApplication::sendPostedEvents(welcome);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(welcome.isNull());
}
