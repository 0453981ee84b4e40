// The modal boxes of the toolkit: the program's message box, the captioned message boxes, the
// open-file dialog with its Windows filters and the colour dialog.
#include "ModalDriver.h"
#include "SkinFixture.h"
#include "ui/ColorPicker.h"
#include "ui/FileDialog.h"
#include "ui/SkinResources.h"
#include "ui/WndUserOptHite.h"

#include <QColorDialog>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using BoxesTest = ShippedSkinTest;

namespace {

enum { IDC_CLOSE = 1002, IDC_YES = 1141, IDC_NO = 1142, IDC_OK = 1143, IDC_TEXT = 1144, IDC_CAPTION = 1145 };

// What the box showed when it came up.
struct Shown {
    QString text, caption, title, yes, no;
    bool yesNoVisible = false, okVisible = false, questionIcon = false, noticeIcon = false;
};

ModalDriver::Step Record(Shown& shown)
{
    return [&shown](CUIWnd* box) {
        shown.text = box->Control<QLabel>(IDC_TEXT)->text();
        shown.caption = box->Control<QLabel>(IDC_CAPTION)->text();
        shown.title = box->windowTitle();
        shown.yes = box->Control<QAbstractButton>(IDC_YES)->text();
        shown.no = box->Control<QAbstractButton>(IDC_NO)->text();
        shown.yesNoVisible = box->GetControl(IDC_YES)->isVisible() && box->GetControl(IDC_NO)->isVisible();
        shown.okVisible = box->GetControl(IDC_OK)->isVisible();
        shown.questionIcon = box->GetControl(1147)->isVisible();
        shown.noticeIcon = box->GetControl(1146)->isVisible();
    };
}

}  // namespace

TEST_F(BoxesTest, UserOptHiteModesShowTheirButtonsAndReturnTheirResults)
{
    const struct {
        int mode;
        int click;
        int result;
    } cases[] = {
        {CWndUserOptHite::MODE_QUESTION, IDC_YES, 1}, {CWndUserOptHite::MODE_QUESTION, IDC_NO, 2},
        {CWndUserOptHite::MODE_QUESTION, IDC_CLOSE, 2}, {CWndUserOptHite::MODE_NOTICE, IDC_OK, 1},
        {CWndUserOptHite::MODE_NOTICE, IDC_CLOSE, 2},
    };
    for (const auto& c : cases) {
        CWndUserOptHite box(QString::fromUtf8("您已运行了本程序！"), c.mode);
        Shown shown;
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, Record(shown)).Click(IDR_USER_OPT_HITE, c.click);
        EXPECT_EQ(box.DoModal(), c.result) << c.mode << " " << c.click;
        const bool question = c.mode == CWndUserOptHite::MODE_QUESTION;
        EXPECT_EQ(shown.yesNoVisible, question);
        EXPECT_EQ(shown.okVisible, !question);
        EXPECT_EQ(shown.questionIcon, question);
        EXPECT_EQ(shown.noticeIcon, !question);
        EXPECT_EQ(shown.text, QString::fromUtf8("您已运行了本程序！"));
        EXPECT_EQ(shown.caption, QString::fromUtf8("提示"));
        EXPECT_EQ(shown.yes, QString::fromUtf8("确定"));
        EXPECT_EQ(shown.no, QString::fromUtf8("取消"));
    }
}

TEST_F(BoxesTest, MessageBoxesShowTheirCaptionAndTellWhichButtonWasPressed)
{
    const struct {
        BoxButtons buttons;
        int click;
        BoxAnswer answer;
    } cases[] = {
        {BoxButtons::Ok, IDC_OK, BoxAnswer::Ok},       {BoxButtons::Ok, IDC_CLOSE, BoxAnswer::Ok},
        {BoxButtons::YesNo, IDC_YES, BoxAnswer::Yes},  {BoxButtons::YesNo, IDC_NO, BoxAnswer::No},
        {BoxButtons::YesNo, IDC_CLOSE, BoxAnswer::No},
    };
    for (const auto& c : cases) {
        Shown shown;
        ModalDriver driver;
        driver.Then(IDR_USER_OPT_HITE, Record(shown)).Click(IDR_USER_OPT_HITE, c.click);
        const QString caption = QString::fromUtf8(c.buttons == BoxButtons::Ok ? "错误" : "提示");
        EXPECT_EQ(ShowMessageBox(nullptr, QString::fromUtf8("找不到指定路径！"), caption, c.buttons), c.answer)
            << c.click;
        EXPECT_TRUE(driver.Done());
        EXPECT_EQ(shown.text, QString::fromUtf8("找不到指定路径！"));
        EXPECT_EQ(shown.caption, caption);
        EXPECT_EQ(shown.title, caption);
        const bool yesNo = c.buttons == BoxButtons::YesNo;
        EXPECT_EQ(shown.yesNoVisible, yesNo);
        EXPECT_EQ(shown.okVisible, !yesNo);
        if (yesNo) {
            EXPECT_EQ(shown.yes, QString::fromUtf8("是"));
            EXPECT_EQ(shown.no, QString::fromUtf8("否"));
        }
    }
}

TEST(FileFilters, WindowsFiltersBecomeQtNameFilters)
{
    const QString tabs(6, '\t');
    const struct {
        QString windows;
        QStringList qt;
    } cases[] = {
        {QString::fromUtf8("图片文件(*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif|所有文件(*.*)|*.*||"),
         {QString::fromUtf8("图片文件 (*.bmp *.jpg *.gif)"), QString::fromUtf8("所有文件 (*)")}},
        {QString::fromUtf8("图像文件(*.bmp;*.jpg;*.jpeg;*.gif;)|*.bmp;*.jpg;*.jpeg;*.gif;||"),
         {QString::fromUtf8("图像文件 (*.bmp *.jpg *.jpeg *.gif)")}},
        {"Audio Files(*.mp3;*.wma;*.mpg;)|*.mp3;*.wma;*.mpg;||", {"Audio Files (*.mp3 *.wma *.mpg)"}},
        {QString::fromUtf8("常用媒体文件|*.avi;*.wmv;*.ra;*.rm;*.rmvb;|") + tabs +
             QString::fromUtf8("Windows   视频文件(*.avi;*.wmv;*.asf;)|*.avi;*.wmv;*.asf;|") + tabs +
             QString::fromUtf8("RealVideo 文件(*.ra;*.rm;*.rmvb;)|*.ra;*.rm;*.rmvb;|") + tabs +
             QString::fromUtf8("QuickTime 文件(*.mov;*.qt;)|*.mov;*.qt;||"),
         {QString::fromUtf8("常用媒体文件 (*.avi *.wmv *.ra *.rm *.rmvb)"),
          QString::fromUtf8("Windows   视频文件 (*.avi *.wmv *.asf)"), QString::fromUtf8("RealVideo 文件 (*.ra *.rm *.rmvb)"),
          QString::fromUtf8("QuickTime 文件 (*.mov *.qt)")}},
        {"Text Files (*.txt)|*.txt|All Files (*.*)|*.*||", {"Text Files (*.txt)", "All Files (*)"}},
        {"No end|*.a", {"No end (*.a)"}},
        {"Nothing|;;|Some|*.b||", {"Some (*.b)"}},
        {"||Hidden|*.c||", {}},
        {"", {}},
        {"text only", {}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(NameFiltersFromWindows(c.windows), c.qt) << c.windows.toStdString();
}

TEST(FileChooser, AsksForOneOrManyFilesAndReturnsUtf8Paths)
{
    std::vector<OpenFileRequest> asked;
    QStringList answer = {QString::fromUtf8("/照片/一.bmp"), "/b.gif"};
    SetFileChooser([&](const OpenFileRequest& request) {
        asked.push_back(request);
        return answer;
    });
    QWidget owner;
    const QString filter = QString::fromUtf8("图片文件(*.bmp;*.gif)|*.bmp;*.gif||");
    EXPECT_EQ(ChooseFileToOpen(&owner, filter, "/start"), "/照片/一.bmp");
    EXPECT_EQ(ChooseFilesToOpen(&owner, filter), (std::vector<std::string>{"/照片/一.bmp", "/b.gif"}));
    answer.clear();  // cancelled
    EXPECT_EQ(ChooseFileToOpen(&owner, filter), "");
    EXPECT_TRUE(ChooseFilesToOpen(&owner, filter).empty());
    SetFileChooser({});

    ASSERT_EQ(asked.size(), 4u);
    EXPECT_EQ(asked[0].owner, &owner);
    EXPECT_EQ(asked[0].nameFilters, QStringList{QString::fromUtf8("图片文件 (*.bmp *.gif)")});
    EXPECT_EQ(asked[0].folder, "/start");
    EXPECT_FALSE(asked[0].multiple);
    EXPECT_TRUE(asked[1].multiple);
    EXPECT_TRUE(asked[1].folder.isEmpty());
}

TEST(FileChooser, TheDialogShowsTheFiltersAndReturnsTheChosenFile)
{
    QTemporaryDir dir;
    const QString picture = dir.filePath(QString::fromUtf8("照片.bmp"));
    QFile(picture).open(QIODevice::WriteOnly);
    QStringList filters;
    ModalDriver driver;
    driver.ThenDialog<QFileDialog>([&](QFileDialog* dialog) {
        filters = dialog->nameFilters();
        // What the user types into the name field (selectFile leaves a focused field alone).
        dialog->findChild<QLineEdit*>("fileNameEdit")->setText(picture);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    const std::string chosen =
        ChooseFileToOpen(nullptr, QString::fromUtf8("图片文件(*.bmp)|*.bmp|所有文件(*.*)|*.*||"), dir.path());
    EXPECT_EQ(chosen, picture.toStdString());
    EXPECT_EQ(filters, (QStringList{QString::fromUtf8("图片文件 (*.bmp)"), QString::fromUtf8("所有文件 (*)")}));
}

TEST(ColorDialog, StartsAtTheGivenColourAndReturnsTheChosenOneAsAWindowsValue)
{
    for (bool accept : {true, false}) {
        QColor offered;
        ModalDriver driver;
        driver.ThenDialog<QColorDialog>([&](QColorDialog* dialog) {
            offered = dialog->currentColor();
            dialog->setCurrentColor(QColor(1, 2, 3));
            QMetaObject::invokeMethod(dialog, accept ? "accept" : "reject");
        });
        const std::optional<uint32_t> chosen = ChooseColor(nullptr, 0x0000FF);
        EXPECT_EQ(offered, QColor(255, 0, 0));
        EXPECT_EQ(chosen, accept ? std::optional<uint32_t>(0x030201) : std::nullopt);
    }
}
