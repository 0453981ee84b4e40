// The works panel: its own page of the works when no address is set, the address's page otherwise.
#include "record/panels/WndOpus.h"

#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "support/Files.h"
#include "ui/DesktopOpen.h"
#include "ui/SkinFixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

namespace {

class WndOpusTest : public ShippedSkinTest {
protected:
    void SetUp() override
    {
        ShippedSkinTest::SetUp();
        Settings = SettingsRecord{};
        ActiveIni = ActiveLinks{};
        Settings.SavePath.RecordPath = (dir_.path() + "/Record").toStdString();
        Settings.SavePath.MyPhotoPath = (dir_.path() + "/Photo").toStdString();
        QDir().mkpath(QString::fromStdString(Settings.SavePath.RecordPath));
        QDir().mkpath(QString::fromStdString(Settings.SavePath.MyPhotoPath));
    }
    static bool WaitForTitle(QWebEngineView* view, const QString& title)
    {
        return QTest::qWaitFor([&] { return view->title() == title; }, 30000);
    }
    static QString BodyText(QWebEngineView* view)
    {
        QString text;
        bool done = false;
        view->page()->runJavaScript("document.body.innerText", [&](const QVariant& v) {
            text = v.toString();
            done = true;
        });
        QTest::qWaitFor([&] { return done; }, 10000);
        return text;
    }

    QTemporaryDir dir_;
};

TEST_F(WndOpusTest, OwnPageListsTheWorksAndOpensThemOnTheDesktop)
{
    const std::string recording = Settings.SavePath.RecordPath + "/生日.wmv";
    WriteFileBytes(recording, std::string(2048, 'w'));
    CWndOpus works(nullptr);
    ASSERT_TRUE(works.Create());
    EXPECT_EQ(works.View(), nullptr);  // no browser until the tab is shown
    works.show();
    ASSERT_NE(works.View(), nullptr);
    ASSERT_TRUE(WaitForTitle(works.View(), "我的作品"));
    EXPECT_TRUE(BodyText(works.View()).contains("生日.wmv"));

    DesktopOpen desktop;
    works.View()->page()->runJavaScript("document.querySelector('a.work').click()");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !desktop.opened.empty(); }, 20000));
    EXPECT_EQ(desktop.opened[0].toStdString(), recording);
    QTest::qWait(300);
    EXPECT_EQ(works.View()->title(), "我的作品");  // the page stays

    // A photo taken since shows when the tab is shown again.
    WriteFileBytes(Settings.SavePath.MyPhotoPath + "/20260101120000.jpg", "jpeg");
    works.hide();
    works.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return BodyText(works.View()).contains("20260101120000.jpg"); }, 20000));
}

TEST_F(WndOpusTest, SpaceAddressIsShownInstead)
{
    const QString page = dir_.path() + "/space.html";
    WriteFileBytes(page.toStdString(), "<html><head><title>space</title></head><body>space</body></html>");
    ActiveIni.SpaceURL = QUrl::fromLocalFile(page).toString().toStdString();
    CWndOpus works(nullptr);
    ASSERT_TRUE(works.Create());
    ASSERT_NE(works.View(), nullptr);
    works.show();
    ASSERT_TRUE(WaitForTitle(works.View(), "space"));
}

}  // namespace

