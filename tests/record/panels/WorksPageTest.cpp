#include "record/panels/WorksPage.h"

#include "support/Files.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QUrl>

#include <gtest/gtest.h>

namespace {

class WorksPageTest : public testing::Test {
protected:
    // A file of `bytes` bytes last changed `minutesAgo` minutes ago.
    std::string Make(const QString& folder, const QString& name, int minutesAgo, int bytes = 10)
    {
        QDir().mkpath(folder);
        const QString path = folder + "/" + name;
        WriteFileBytes(path.toStdString(), std::string(size_t(bytes), 'x'));
        QFile file(path);
        file.open(QIODevice::ReadWrite);
        file.setFileTime(QDateTime::currentDateTime().addSecs(-60 * minutesAgo), QFileDevice::FileModificationTime);
        return path.toStdString();
    }

    QTemporaryDir dir_;
    const QString records_ = dir_.path() + "/Record";
    const QString photos_ = dir_.path() + "/Photo";
};

TEST_F(WorksPageTest, RecordingsAndPhotosNewestFirst)
{
    Make(records_, "old.wmv", 300, 3 * 1024 * 1024);
    Make(records_, "notes.txt", 1);
    Make(records_, "new.wmv", 5);
    Make(photos_, "20240101120000.jpg", 100);
    Make(photos_, "20240102120000.jpg", 2, 2048);
    Make(photos_, "clip.wmv", 1);  // only photos count in the photo folder

    const std::vector<WorkFile> works = ListWorks(records_.toStdString(), photos_.toStdString());
    std::vector<std::string> names;
    for (const WorkFile& work : works)
        names.push_back(work.name);
    EXPECT_EQ(names, (std::vector<std::string>{"20240102120000.jpg", "new.wmv", "20240101120000.jpg", "old.wmv"}));
    EXPECT_TRUE(works[0].photo);
    EXPECT_FALSE(works[1].photo);
    EXPECT_EQ(works[3].bytes, 3 * 1024 * 1024);
    EXPECT_EQ(works[0].path, (photos_ + "/20240102120000.jpg").toStdString());

    const QString html = WorksPageHtml(works, 100);
    EXPECT_TRUE(html.contains("共 4 个"));
    EXPECT_FALSE(html.contains("显示最新"));
    EXPECT_TRUE(html.contains("3.0 MB"));
    EXPECT_TRUE(html.contains("2.0 KB"));
    // Each work links to its file; photos show themselves.
    const QString photoUrl = QUrl::fromLocalFile(photos_ + "/20240102120000.jpg").toString(QUrl::FullyEncoded);
    EXPECT_TRUE(html.contains("href=\"" + photoUrl + "\""));
    EXPECT_TRUE(html.contains("<img src=\"" + photoUrl + "\""));
    EXPECT_LT(html.indexOf("20240102120000.jpg"), html.indexOf("old.wmv"));

    const QString firstTwo = WorksPageHtml(works, 2);
    EXPECT_TRUE(firstTwo.contains("显示最新的 2 个"));
    EXPECT_TRUE(firstTwo.contains("new.wmv"));
    EXPECT_FALSE(firstTwo.contains("old.wmv"));
}

TEST_F(WorksPageTest, NamesAreTextAndLinksStayFileLinks)
{
    Make(records_, "<script>alert(1)<b> & \"x\".wmv", 1);
    Make(records_, "50% 已完成 #1.wmv", 2);
    const std::vector<WorkFile> works = ListWorks(records_.toStdString(), "");
    ASSERT_EQ(works.size(), 2u);
    const QString html = WorksPageHtml(works, 10);
    EXPECT_FALSE(html.contains("<script>"));
    EXPECT_TRUE(html.contains("&lt;script&gt;alert(1)&lt;b&gt; &amp; &quot;x&quot;.wmv"));
    // The "#" and "%" of a name are part of its file's address, not a fragment or an escape.
    const QUrl link = QUrl::fromLocalFile(records_ + "/50% 已完成 #1.wmv");
    EXPECT_TRUE(html.contains(link.toString(QUrl::FullyEncoded)));
    EXPECT_EQ(QUrl(link.toString(QUrl::FullyEncoded)).toLocalFile(), records_ + "/50% 已完成 #1.wmv");
}

TEST_F(WorksPageTest, NoFoldersNoWorks)
{
    EXPECT_TRUE(ListWorks("", "").empty());
    EXPECT_TRUE(ListWorks((dir_.path() + "/missing").toStdString(), (dir_.path() + "/gone").toStdString()).empty());
    const QString html = WorksPageHtml({}, 10);
    EXPECT_TRUE(html.contains("还没有作品"));
}

}  // namespace
