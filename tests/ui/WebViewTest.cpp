// The embedded web view: made only for an address, and its page asks before every navigation it makes.
#include "SkinFixture.h"
#include "ui/SkinWebView.h"
#include "ui/UIWnd.h"

#include <QFile>
#include <QTest>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <gtest/gtest.h>

namespace {

class WebViewTest : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(
            fixture.Write("<window id='40' width='320' height='240'>"
                          "  <control id='200' kind='web' rect='0,0,320,240'/>"
                          "</window>"))));
        ASSERT_TRUE(window.Create());
        window.show();
    }
    void TearDown() override { ReleaseUiSkin(); }

    QString Page(const QString& name, const QString& body)
    {
        const QString path = QString::fromStdString(fixture.Folder()) + "/" + name;
        QFile file(path);
        file.open(QIODevice::WriteOnly);
        file.write(("<html><head><title>" + name + "</title></head><body>" + body + "</body></html>").toUtf8());
        return path;
    }

    SkinFixture fixture;
    CUIWnd window{40};
};

bool WaitForTitle(QWebEngineView* view, const QString& title)
{
    return QTest::qWaitFor([&] { return view->title() == title; }, 20000);
}

}  // namespace

TEST_F(WebViewTest, NoBrowserWithoutAnAddressOrAPlace)
{
    EXPECT_EQ(CreateSkinWebView(&window, 200, "  "), nullptr);
    EXPECT_EQ(CreateSkinWebView(&window, 201, "http://127.0.0.1/"), nullptr);
    EXPECT_TRUE(window.findChildren<QWebEngineView*>().isEmpty());
}

TEST_F(WebViewTest, ThePageAsksBeforeEveryLinkItFollows)
{
    const QString second = Page("second.html", "second page");
    const QString first = Page("first.html",
                               "<a id='song' href='http://127.0.0.1:9/a.mp3#6403MTV;http://s/a.mp3;http://s/a.lrc;name;singer;x'>song</a>"
                               "<a id='scheme' href='korvel-song:add;1;2'>scheme</a>"
                               "<a id='blank' href='second.html' target='_blank'>blank</a>"
                               "<a id='plain' href='second.html'>plain</a>");
    std::vector<WebNavigation> asked;
    // Local pages may open; everything else is refused.
    QWebEngineView* view = CreateSkinWebView(&window, 200, QUrl::fromLocalFile(first).toString(),
                                             [&](const WebNavigation& navigation) {
                                                 asked.push_back(navigation);
                                                 return navigation.url.isLocalFile();
                                             });
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->geometry(), QRect(0, 0, 320, 240));
    ASSERT_TRUE(WaitForTitle(view, "first.html"));
    EXPECT_TRUE(asked.empty());  // the window's own load is not asked

    const auto click = [view](const char* id) {
        view->page()->runJavaScript(QString("document.getElementById('%1').click()").arg(id));
    };
    click("song");
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 1; }, 20000));
    EXPECT_EQ(asked[0].url.fragment(), "6403MTV;http://s/a.mp3;http://s/a.lrc;name;singer;x");
    EXPECT_FALSE(asked[0].newWindow);
    click("scheme");
    ASSERT_TRUE(QTest::qWaitFor([&] { return asked.size() == 2; }, 20000));
    EXPECT_EQ(asked[1].url.toString(), "korvel-song:add;1;2");
    EXPECT_EQ(view->title(), "first.html");  // both refused

    click("blank");
    ASSERT_TRUE(WaitForTitle(view, "second.html"));  // accepted: opened in this view
    ASSERT_EQ(asked.size(), 3u);
    EXPECT_TRUE(asked[2].newWindow);
    EXPECT_EQ(asked[2].url, QUrl::fromLocalFile(second));

    view->load(QUrl::fromLocalFile(first));
    ASSERT_TRUE(WaitForTitle(view, "first.html"));
    click("plain");
    ASSERT_TRUE(WaitForTitle(view, "second.html"));
    ASSERT_EQ(asked.size(), 4u);
    EXPECT_FALSE(asked[3].newWindow);
}
