// The picture browser: folders shown through the tree and the history, the thumbnails filled in the
// background, a missing folder's message, and a double click that shows the picture.
#include "SourceTabFixture.h"

#include "pipeline/panels/WndSubImgView.h"
#include "ui/ModalDriver.h"
#include "ui/ShellTree.h"
#include "ui/SkinResources.h"
#include "ui/SkinThumbs.h"
#include "ui/SkinTree.h"

#include <QComboBox>

class PictureTab : public SourceTab {
protected:
    void SetUp() override
    {
        SourceTab::SetUp();
        for (const char* folder : {"holiday", "party"})
            std::filesystem::create_directories(home_.File(std::string("pictures/") + folder));
        for (int i = 0; i < 45; ++i)
            WritePicture(home_.File("pictures/holiday/h" + std::to_string(10 + i) + ".png"), Qt::yellow, 64, 48);
        WritePicture(home_.File("pictures/party/cake.jpg"), Qt::magenta);
        WriteFileBytes(home_.File("pictures/party/notes.txt"), "no picture");
        Build();
        panel->Control<CSkinTree>(4201)->SelectByData(SOURCE_PICTURE);
        browser = Sub<CWndSubImgView>();
        ASSERT_NE(browser, nullptr);
        folders = browser->Control<CShellTree>(4220);
        thumbs = browser->Control<CSkinThumbs>(4221);
        history = browser->Control<QComboBox>(1200);
    }
    void Open(const std::string& folder)
    {
        ASSERT_TRUE(folders->SelectPath(QString::fromStdString(folder)));
        ASSERT_TRUE(RunUntil([&] { return browser->PicturesListed(); }));
    }
    QStringList History() const
    {
        QStringList items;
        for (int i = 0; i < history->count(); ++i)
            items << history->itemText(i);
        return items;
    }

    CWndSubImgView* browser = nullptr;
    CShellTree* folders = nullptr;
    CSkinThumbs* thumbs = nullptr;
    QComboBox* history = nullptr;
};

TEST_F(PictureTab, FoldersThumbnailsAndHistory)
{
    const std::string holiday = home_.File("pictures/holiday"), party = home_.File("pictures/party");
    Open(holiday);
    EXPECT_EQ(thumbs->PictureCount(), 45);
    EXPECT_EQ(thumbs->PictureName(0), "h10.png");
    Open(party);
    EXPECT_EQ(thumbs->PictureCount(), 1);
    EXPECT_EQ(thumbs->PictureName(0), "cake.jpg");
    EXPECT_EQ(History().mid(0, 2), QStringList({QString::fromStdString(party), QString::fromStdString(holiday)}));

    // A folder chosen from the history is shown in the tree, and moves to the top.
    history->setCurrentIndex(1);
    emit history->activated(1);
    ASSERT_TRUE(RunUntil([&] { return browser->PicturesListed() && browser->Folder() == holiday; }));
    EXPECT_EQ(folders->SelectedPath(), QString::fromStdString(holiday));
    EXPECT_EQ(thumbs->PictureCount(), 45);
    EXPECT_EQ(History().mid(0, 2), QStringList({QString::fromStdString(holiday), QString::fromStdString(party)}));
    EXPECT_EQ(History().count(QString::fromStdString(holiday)), 1);

    // A double click shows the picture.
    Open(party);
    QTest::mouseDClick(thumbs->viewport(), Qt::LeftButton, {}, thumbs->visualItemRect(thumbs->item(0)).center());
    EXPECT_EQ(sink->SourceKind(), SOURCE_PICTURE);
    EXPECT_EQ(sink->PicturePath(), party + "/cake.jpg");
    EXPECT_TRUE(sink->PictureActive);
}

TEST_F(PictureTab, AFolderThatIsGoneSaysSo)
{
    const std::string holiday = home_.File("pictures/holiday"), party = home_.File("pictures/party");
    Open(holiday);
    Open(party);
    std::filesystem::remove_all(holiday);
    QString text, caption;
    ModalDriver driver;
    driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
        text = box->Control<QLabel>(1144)->text();
        caption = box->Control<QLabel>(1145)->text();
        box->Control<QAbstractButton>(1143)->click();
    });
    const int gone = History().indexOf(QString::fromStdString(holiday));
    ASSERT_GE(gone, 0);
    history->setCurrentIndex(gone);
    emit history->activated(gone);
    ASSERT_TRUE(RunUntil([&] { return driver.Done(); }));
    EXPECT_EQ(text, QString::fromUtf8("找不到指定路径！"));
    EXPECT_EQ(caption, QString::fromUtf8("错误"));
    // What was shown stays, and the list shows it again.
    EXPECT_EQ(browser->Folder(), party);
    EXPECT_EQ(history->currentText(), QString::fromStdString(party));
    EXPECT_EQ(thumbs->PictureCount(), 1);
}
