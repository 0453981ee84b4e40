// The media list: adding with the program's file types, moving, deleting, clearing after a question,
// the play-mode menu, a double click to play, and the next file at the end of one.
#include "SourceTabFixture.h"

#include "pipeline/panels/WndMedList.h"
#include "ui/FileDialog.h"
#include "ui/ModalDriver.h"
#include "ui/SkinResources.h"
#include "ui/SkinTree.h"

#include <QListWidget>
#include <QAbstractButton>

namespace {

QStringList Shown(const CWndMedList& list)
{
    QStringList names;
    auto* view = list.Control<QListWidget>(4210);
    for (int i = 0; i < view->count(); ++i)
        names << view->item(i)->text();
    return names;
}

}  // namespace

class MediaTab : public SourceTab {
protected:
    void SetUp() override
    {
        SourceTab::SetUp();
        Build();
        tree = panel->Control<CSkinTree>(4201);
        tree->SelectByData(SOURCE_MEDIA);
        list = Sub<CWndMedList>();
        ASSERT_NE(list, nullptr);
        SetFileChooser([this](const OpenFileRequest& request) {
            filters = request.nameFilters;
            return chosen.empty() ? QStringList() : QStringList{QString::fromStdString(chosen)};
        });
    }
    void TearDown() override
    {
        SetFileChooser({});
        SourceTab::TearDown();
    }
    void Add(const std::string& path)
    {
        chosen = path;
        list->Control<QAbstractButton>(1187)->click();
    }
    void Click(int id) { list->Control<QAbstractButton>(id)->click(); }
    void Highlight(int row) { list->Control<QListWidget>(4210)->setCurrentRow(row); }

    CSkinTree* tree = nullptr;
    CWndMedList* list = nullptr;
    std::string chosen;
    QStringList filters;
};

TEST_F(MediaTab, AddMoveDeleteAndClear)
{
    Add("/films/a.avi");
    // The program's four kinds of media file, the common ones first.
    ASSERT_EQ(filters.size(), 4);
    EXPECT_TRUE(filters[0].startsWith(QString::fromUtf8("常用媒体文件"))) << filters[0].toStdString();
    EXPECT_TRUE(filters[0].contains("*.avi *.wmv *.ra *.rm *.rmvb")) << filters[0].toStdString();
    EXPECT_TRUE(filters[1].startsWith(QString::fromUtf8("Windows   视频文件"))) << filters[1].toStdString();
    EXPECT_TRUE(filters[3].startsWith(QString::fromUtf8("QuickTime 文件"))) << filters[3].toStdString();
    Add("/films/b.wmv");
    Add("/films/c.rmvb");
    Add("");  // cancelled
    EXPECT_EQ(Shown(*list), QStringList({"c.rmvb", "b.wmv", "a.avi"}));
    Add("/films/a.avi");
    EXPECT_EQ(Shown(*list), QStringList({"a.avi", "c.rmvb", "b.wmv"}));
    EXPECT_EQ(list->SelectedEntry(), 0);

    Click(1185);  // up from the top: to the bottom
    EXPECT_EQ(Shown(*list), QStringList({"c.rmvb", "b.wmv", "a.avi"}));
    EXPECT_EQ(list->SelectedEntry(), 2);
    Click(1186);  // down from the bottom: to the top
    EXPECT_EQ(Shown(*list), QStringList({"a.avi", "c.rmvb", "b.wmv"}));
    Click(1186);
    EXPECT_EQ(Shown(*list), QStringList({"c.rmvb", "a.avi", "b.wmv"}));
    Highlight(0);
    Click(1183);
    EXPECT_EQ(Shown(*list), QStringList({"a.avi", "b.wmv"}));

    // Clearing asks first: refused, then confirmed; an empty list asks nothing.
    ModalDriver driver;
    driver
        .Then(IDR_USER_OPT_HITE,
              [](CUIWnd* box) {
                  EXPECT_EQ(box->Control<QLabel>(1144)->text(), QString::fromUtf8("您确定要清空视频列表吗？"));
                  box->Control<QAbstractButton>(1142)->click();
              })
        .Click(IDR_USER_OPT_HITE, 1141);
    Click(1184);
    EXPECT_EQ(list->List().Count(), 2u);
    Click(1184);
    EXPECT_TRUE(list->List().Empty());
    EXPECT_TRUE(Shown(*list).isEmpty());
    Click(1184);
    EXPECT_EQ(driver.seen.size(), 2u);
}

TEST_F(MediaTab, PlaysByDoubleClickAndGoesOnByPlayMode)
{
    const std::string first = home_.File("first.avi"), second = home_.File("second.avi");
    ASSERT_TRUE(MakeMovie(first));
    ASSERT_TRUE(MakeMovie(second));
    WriteFileBytes(home_.File("broken.wmv"), "no movie at all");
    Add(home_.File("broken.wmv"));
    Add(second);
    Add(first);
    ASSERT_EQ(Shown(*list), QStringList({"first.avi", "second.avi", "broken.wmv"}));

    // The play-mode menu stores the mode.
    ModalDriver driver;
    driver.ChooseMenuItem(QString::fromUtf8("顺序播放"));
    Click(1182);
    ASSERT_TRUE(RunUntil([&] { return driver.Done(); }));
    EXPECT_EQ(Settings.LoopMode.MedFile, PLAY_IN_ORDER);

    // A double click plays the entry; its frames reach the output.
    auto* view = list->Control<QListWidget>(4210);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->item(0)).center());
    EXPECT_EQ(CurrentMediaPath, first);
    EXPECT_TRUE(sink->MoviePlaying);
    ASSERT_TRUE(RunUntil([&] { return written >= 3; }));

    // What the left pane does at the end of a file: the next entry plays, then the one that does not
    // open ends at once and, the last in order, nothing follows.
    SendWindowMessage(panel.get(), WM_MEDIA_LIST_ENDED);
    EXPECT_EQ(CurrentMediaPath, second);
    SendWindowMessage(panel.get(), WM_MEDIA_LIST_ENDED);
    EXPECT_EQ(CurrentMediaPath, home_.File("broken.wmv"));
    ASSERT_TRUE(RunUntil([&] { return sink->GetMoviePos() <= -1; }));
    SendWindowMessage(panel.get(), WM_MEDIA_LIST_ENDED);
    EXPECT_FALSE(sink->MoviePlaying);

    // Looping the list, the end of the last starts the first again.
    Settings.LoopMode.MedFile = PLAY_LOOP_LIST;
    SendWindowMessage(panel.get(), WM_MEDIA_LIST_ENDED);
    EXPECT_EQ(CurrentMediaPath, first);
    EXPECT_TRUE(sink->MoviePlaying);
    // Another double click stops the running movie first.
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->item(1)).center());
    EXPECT_EQ(CurrentMediaPath, second);
    // Leaving the media source stops the movie for the next source.
    tree->SelectByData(SOURCE_CAMERA);
    EXPECT_FALSE(sink->MoviePlaying);
}
