// The effect library's panel half: which files a folder's list shows, listing while the window goes on
// working, the message for a damaged folder, and adding and deleting pictures.
#include "PanelFixture.h"

#include "effects/panels/WndSubVideoSpeEffect.h"
#include "support/Files.h"
#include "ui/FileDialog.h"
#include "ui/ModalDriver.h"

#include <QDir>
#include <QImage>
#include <QLabel>

#include <filesystem>

namespace {

enum { IDC_YES = 1141, IDC_NO = 1142, IDC_OK = 1143, IDC_TEXT = 1144, IDC_CAPTION = 1145 };

// One picture panel on a folder of the test's own, outside the effects tab.
class PictureListTest : public EffectPanelTest {
protected:
    void SetUp() override
    {
        EffectPanelTest::SetUp();
        folder_ = home_.File("pictures");
        QDir().mkpath(QString::fromStdString(folder_));
    }
    void TearDown() override
    {
        SetFileChooser({});
        panel_.reset();
        EffectPanelTest::TearDown();
    }
    // The panel, built on the folder as it is now; its first listing has run.
    CWndSubVideoSpeEffect& Panel()
    {
        panel_ = std::make_unique<CWndSubVideoSpeEffect>(EFFECT_FRAME, folder_, nullptr, nullptr);
        EXPECT_TRUE(panel_->Create());
        panel_->show();
        EXPECT_TRUE(WaitListed(panel_->Pictures()));
        return *panel_;
    }
    CSkinThumbs* Thumbs() { return panel_->Control<CSkinThumbs>(4102); }
    std::vector<std::string> Names()
    {
        std::vector<std::string> names;
        for (int i = 0; i < Thumbs()->PictureCount(); ++i)
            names.push_back(Thumbs()->PictureName(i).toStdString());
        std::sort(names.begin(), names.end());
        return names;
    }
    void Picture(const std::string& name, QColor colour, int w = 320, int h = 240)
    {
        QImage image(w, h, QImage::Format_RGB32);
        image.fill(colour);
        ASSERT_TRUE(image.save(QString::fromStdString(folder_ + "/" + name), "PNG"));
    }
    // The thumbnail shown for the picture item (the view's icon, 60×40).
    QImage Shown(int index) { return Thumbs()->item(index)->icon().pixmap(60, 40).toImage(); }

    std::string folder_;
    std::unique_ptr<CWndSubVideoSpeEffect> panel_;
};

}  // namespace

TEST_F(PictureListTest, ListsPicturesByTheirEndingFollowedByThreeEmptyItems)
{
    Picture("A.GIF", Qt::red, 120, 80);
    WriteFileBytes(folder_ + "/b.txt", "not listed");
    Picture("c.jpeg", Qt::blue);
    Picture("Gif", Qt::green);  // no dot: the whole name is the ending
    WriteFileBytes(folder_ + "/readme", "");
    WriteFileBytes(folder_ + "/broken.png", "not a picture at all");
    Panel();
    EXPECT_EQ(Names(), (std::vector<std::string>{"A.GIF", "Gif", "broken.png", "c.jpeg"}));
    EXPECT_EQ(Thumbs()->count(), 4 + 3);
    for (int i = 4; i < 7; ++i)
        EXPECT_FALSE(Thumbs()->IsPicture(i));

    // Thumbnails by the nearest rule; a picture that cannot be decoded keeps its item with an empty one.
    const QImage red = Shown(ItemNamed(Thumbs(), "A.GIF"));
    EXPECT_EQ(red.size(), QSize(60, 40));
    EXPECT_EQ(red.pixelColor(30, 20), QColor(Qt::red));
    const QImage empty = Shown(ItemNamed(Thumbs(), "broken.png"));
    EXPECT_EQ(empty.pixelColor(30, 20), QColor(Qt::white));
}

TEST_F(PictureListTest, AMissingOrEmptyFolderIsReported)
{
    for (bool exists : {false, true}) {
        std::filesystem::remove_all(folder_);
        if (exists)
            std::filesystem::create_directory(folder_);
        QString text, caption;
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
            text = box->Control<QLabel>(IDC_TEXT)->text();
            caption = box->Control<QLabel>(IDC_CAPTION)->text();
            box->Control<QAbstractButton>(IDC_OK)->click();
        });
        Panel();
        EXPECT_TRUE(ProcessEventsUntil([&] { return driver.Done(); })) << exists;
        EXPECT_EQ(text, QString::fromUtf8("资源文件被破坏， 加载失败！"));
        EXPECT_EQ(caption, QString::fromUtf8("错误"));
        EXPECT_EQ(Thumbs()->count(), 0) << "no items, not even the empty ones";
    }
    // The panel stays usable: once the folder holds a picture, refreshing lists it.
    Picture("late.png", Qt::red);
    panel_->SendCommand(1023);
    ASSERT_TRUE(WaitListed(panel_->Pictures()));
    EXPECT_EQ(Names(), (std::vector<std::string>{"late.png"}));
}

TEST_F(PictureListTest, AFolderOfHundredsFillsWhileTheWindowWorks)
{
    QImage tiny(8, 8, QImage::Format_RGB32);
    tiny.fill(Qt::yellow);
    for (int i = 0; i < 500; ++i)
        ASSERT_TRUE(tiny.save(QString::fromStdString(folder_ + "/p" + std::to_string(i) + ".png")));
    panel_ = std::make_unique<CWndSubVideoSpeEffect>(EFFECT_FRAME, folder_, nullptr, nullptr);
    ASSERT_TRUE(panel_->Create());
    panel_->show();
    // Building the panel did not wait for the folder; the items arrive while events are handled.
    EXPECT_TRUE(panel_->Pictures().Listing());
    std::vector<int> seen;
    ASSERT_TRUE(ProcessEventsUntil([&] {
        seen.push_back(Thumbs()->PictureCount());
        return !panel_->Pictures().Listing();
    }));
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(), [](int n) { return n > 0 && n < 500; }))
        << "the list grew while the window handled events";
    EXPECT_EQ(Thumbs()->PictureCount(), 500);
    EXPECT_EQ(Thumbs()->count(), 503);
}

TEST_F(PictureListTest, AddingAPictureAsksBeforeOverwriting)
{
    Picture("pendant.png", Qt::red);
    Panel();
    const std::string mine = home_.File("mine");
    QDir().mkpath(QString::fromStdString(mine));
    QImage blue(320, 240, QImage::Format_RGB32);
    blue.fill(Qt::blue);
    ASSERT_TRUE(blue.save(QString::fromStdString(mine + "/pendant.png"), "PNG"));
    ASSERT_TRUE(blue.save(QString::fromStdString(mine + "/new.png"), "PNG"));
    QStringList filters;
    std::string chosen;
    SetFileChooser([&](const OpenFileRequest& request) {
        filters = request.nameFilters;
        return chosen.empty() ? QStringList() : QStringList{QString::fromStdString(chosen)};
    });
    const std::string before = ReadFileBytes(folder_ + "/pendant.png");

    // Cancelled: nothing asked, nothing copied.
    panel_->SendCommand(1026);
    EXPECT_EQ(filters, NameFiltersFromWindows(QString::fromUtf8(CEffectPictureList::kPictureFilter)));

    // The same name, refused: the folder and the list stay as they were.
    chosen = mine + "/pendant.png";
    QString question;
    {
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, [&](CUIWnd* box) {
            question = box->Control<QLabel>(IDC_TEXT)->text() + "|" + box->Control<QLabel>(IDC_CAPTION)->text();
            box->Control<QAbstractButton>(IDC_NO)->click();
        });
        panel_->SendCommand(1026);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(question, QString::fromUtf8("文件已存在，是否覆盖？|提示"));
    EXPECT_EQ(ReadFileBytes(folder_ + "/pendant.png"), before);
    EXPECT_FALSE(panel_->Pictures().Listing());
    EXPECT_EQ(Names(), (std::vector<std::string>{"pendant.png"}));

    // Confirmed: copied over and listed again.
    {
        ModalDriver driver;
        driver.Click(IDR_USER_OPT_HITE, IDC_YES);
        panel_->SendCommand(1026);
        EXPECT_TRUE(driver.Done());
    }
    EXPECT_EQ(ReadFileBytes(folder_ + "/pendant.png"), ReadFileBytes(chosen));
    ASSERT_TRUE(WaitListed(panel_->Pictures()));
    EXPECT_EQ(Shown(0).pixelColor(30, 20), QColor(Qt::blue));

    // A new name is copied without a question.
    chosen = mine + "/new.png";
    ModalDriver untouched;
    panel_->SendCommand(1026);
    ASSERT_TRUE(WaitListed(panel_->Pictures()));
    EXPECT_TRUE(untouched.seen.empty());
    EXPECT_EQ(Names(), (std::vector<std::string>{"new.png", "pendant.png"}));
}

TEST_F(PictureListTest, DeletingNeedsAPictureAndAYes)
{
    Picture("a.png", Qt::red);
    Picture("b.png", Qt::green);
    Panel();
    // Nothing or an empty item selected: nothing is asked.
    for (int index : {-1, 2}) {
        Thumbs()->SelectPicture(index);
        ModalDriver driver;
        driver.Click(IDR_USER_OPT_HITE, IDC_YES);
        panel_->SendCommand(1027);
        QCoreApplication::processEvents();
        EXPECT_TRUE(driver.seen.empty()) << index;
    }
    EXPECT_TRUE(std::filesystem::exists(folder_ + "/a.png"));
    Thumbs()->SelectPicture(ItemNamed(Thumbs(), "a.png"));
    ModalDriver driver;
    driver.Click(IDR_USER_OPT_HITE, IDC_YES);
    panel_->SendCommand(1027);
    EXPECT_TRUE(driver.Done());
    EXPECT_FALSE(std::filesystem::exists(folder_ + "/a.png"));
    ASSERT_TRUE(WaitListed(panel_->Pictures()));
    EXPECT_EQ(Names(), (std::vector<std::string>{"b.png"}));
    EXPECT_EQ(Thumbs()->count(), 4);
}
