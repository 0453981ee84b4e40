// The recording dialogs: the name dialog's checks and results, the report window's text and buttons.
#include "record/panels/WndName.h"
#include "record/panels/WndRecordFinishHite.h"

#include "settings/Settings.h"
#include "support/Files.h"
#include "ui/DesktopOpen.h"
#include "ui/ModalDriver.h"
#include "ui/ShellFixture.h"
#include "ui/SkinResources.h"

#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QUrl>

namespace {

enum {
    IDC_CLOSE = 1002,
    IDC_BOX_YES = 1141,
    IDC_BOX_NO = 1142,
    IDC_BOX_OK = 1143,
    IDC_BOX_TEXT = 1144,
    IDC_NAME_EDIT = 1189,
    IDC_NAME_OK = 1190,
    IDC_OPEN_FILE = 1192,
    IDC_OPEN_FOLDER = 1193,
    IDC_DONE = 1194,
    IDC_REPORT_CLOSE = 1195,
    IDC_REPORT = 1196,
};

class RecordDialogs : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        Settings.SavePath.RecordPath = home_.File("Record");
        QDir().mkpath(QString::fromStdString(Settings.SavePath.RecordPath));
    }
    std::string Recording(const std::string& name) const { return Settings.SavePath.RecordPath + "/" + name; }

    // Types `text` into the name dialog and presses OK.
    static ModalDriver::Step Enter(const QString& text)
    {
        return [text](CUIWnd* dialog) {
            dialog->Control<QLineEdit>(IDC_NAME_EDIT)->setText(text);
            dialog->Control<QAbstractButton>(IDC_NAME_OK)->click();
        };
    }
    // Remembers the message box's text and presses `button`.
    static ModalDriver::Step Answer(QString& text, int button)
    {
        return [&text, button](CUIWnd* box) {
            text = box->Control<QLabel>(IDC_BOX_TEXT)->text();
            box->Control<QAbstractButton>(button)->click();
        };
    }
};

}  // namespace

TEST_F(RecordDialogs, NameIsAskedAgainUntilItIsUsable)
{
    WriteFileBytes(Recording("old.wmv"), "old");
    QString empty, refused, replace;
    ModalDriver driver;
    driver.Then(IDR_NAME, Enter(""))
        .Then(IDR_USER_OPT_HITE, Answer(empty, IDC_BOX_OK))
        .Then(IDR_NAME, Enter("../outside"))
        .Then(IDR_USER_OPT_HITE, Answer(refused, IDC_BOX_OK))
        .Then(IDR_NAME, Enter("old"))
        .Then(IDR_USER_OPT_HITE, Answer(replace, IDC_BOX_NO))  // keep the old file: the dialog stays
        .Then(IDR_NAME, Enter("old"))
        .Click(IDR_USER_OPT_HITE, IDC_BOX_YES);
    CWndName dialog(nullptr);
    EXPECT_EQ(dialog.DoModal(), IDOK_RESULT);
    EXPECT_TRUE(driver.Done());
    EXPECT_EQ(empty, QString::fromUtf8("请您填写一个文件名"));
    EXPECT_TRUE(refused.contains(QString::fromUtf8("文件名不能")));
    EXPECT_EQ(replace, QString::fromUtf8("存在名字相同的文件, 是否覆盖?"));
    EXPECT_EQ(dialog.Name(), "old");
    EXPECT_EQ(dialog.Path(), Recording("old.wmv"));
    EXPECT_EQ(ReadFileBytes(Recording("old.wmv")), "old");  // the dialog only names the file
}

TEST_F(RecordDialogs, FreshNameByReturnAndLeavingTheDialog)
{
    {
        ModalDriver driver;
        driver.Then(IDR_NAME, [](CUIWnd* dialog) {
            auto* edit = dialog->Control<QLineEdit>(IDC_NAME_EDIT);
            edit->setText(QString::fromUtf8("我的录像"));
            QTest::keyClick(edit, Qt::Key_Return);
        });
        CWndName dialog(nullptr);
        EXPECT_EQ(dialog.DoModal(), IDOK_RESULT);
        EXPECT_EQ(dialog.Path(), Recording("我的录像.wmv"));
    }
    // The close button: result 2, no path, the text still there for the caller.
    ModalDriver driver;
    driver.Then(IDR_NAME, [](CUIWnd* dialog) {
        dialog->Control<QLineEdit>(IDC_NAME_EDIT)->setText("draft");
        dialog->Control<QAbstractButton>(IDC_CLOSE)->click();
    });
    CWndName dialog(nullptr);
    EXPECT_EQ(dialog.DoModal(), IDCANCEL_RESULT);
    EXPECT_EQ(dialog.Path(), "");
    EXPECT_EQ(dialog.Name(), "draft");
}

TEST_F(RecordDialogs, ReportShowsTheSizeAndOpensTheFileOrItsFolder)
{
    const std::string path = Recording("three.wmv");
    WriteFileBytes(path, std::string(3145728, 'w'));
    DesktopOpen desktop;
    const struct {
        int button;
        std::string opened;  // empty: nothing
    } cases[] = {{IDC_OPEN_FILE, path}, {IDC_OPEN_FOLDER, Settings.SavePath.RecordPath}, {IDC_DONE, ""},
                 {IDC_REPORT_CLOSE, ""}};
    for (const auto& c : cases) {
        desktop.opened.clear();
        QString text;
        ModalDriver driver;
        driver.Then(IDR_RECORD_FINISH, [&](CUIWnd* window) {
            text = window->Control<QLabel>(IDC_REPORT)->text();
            window->Control<QAbstractButton>(c.button)->click();
        });
        CWndRecordFinishHite report(path, nullptr);
        EXPECT_EQ(report.DoModal(), IDCANCEL_RESULT) << c.button;
        EXPECT_EQ(text, QString::fromStdString("文件大小为：3.000000M， 文件名为：" + path));
        if (c.opened.empty())
            EXPECT_TRUE(desktop.opened.empty()) << c.button;
        else
            EXPECT_EQ(desktop.opened, std::vector<QString>{QString::fromStdString(c.opened)}) << c.button;
    }
}

TEST_F(RecordDialogs, ReportOfAFileThatCannotBeRead)
{
    const std::string path = Recording("missing.wmv");
    QString text;
    bool canOpen = true;
    ModalDriver driver;
    driver.Then(IDR_RECORD_FINISH, [&](CUIWnd* window) {
        text = window->Control<QLabel>(IDC_REPORT)->text();
        canOpen = window->GetControl(IDC_OPEN_FILE)->isEnabled();
        window->Control<QAbstractButton>(IDC_DONE)->click();
    });
    CWndRecordFinishHite report(path, nullptr);
    EXPECT_EQ(report.DoModal(), IDCANCEL_RESULT);
    EXPECT_TRUE(text.contains(QString::fromUtf8("无法读取")));
    EXPECT_TRUE(text.contains(QString::fromStdString(path)));
    EXPECT_FALSE(canOpen);
}

