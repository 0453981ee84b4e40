// The controls' own behaviour: the tree's items and pictures, the thumbnail view's pictures and empty
// items, the report list's columns, colour values, and the pop-up menus of choices.
#include "ModalDriver.h"
#include "SkinFixture.h"
#include "ui/MenuEx.h"
#include "ui/PlayModeMenu.h"
#include "ui/SkinThumbs.h"
#include "ui/SkinTree.h"
#include "ui/SkinTreeList.h"
#include "ui/UIWnd.h"

#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class ControlsTest : public testing::Test {
protected:
    void SetUp() override
    {
        // Pictures of plain colours, so a grab shows which one was drawn where.
        fixture.Picture("expand.bmp", 11, 11, Qt::red, Qt::red);
        fixture.Picture("collapse.bmp", 11, 11, Qt::green, Qt::green);
        fixture.Picture("rootbk.bmp", 160, 24, Qt::blue, Qt::blue);
        ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(fixture.Write(
            "<window id='30' width='500' height='300'>"
            "  <control id='1' kind='tree' rect='0,0,150,300' itemheight='24' expand='expand.bmp'"
            "           collapse='collapse.bmp' image='rootbk.bmp'/>"
            "  <control id='2' kind='thumbs' rect='160,0,200,200'/>"
            "  <control id='3' kind='treelist' rect='160,200,300,100' items='歌曲|状态'/>"
            "</window>"))));
        ASSERT_TRUE(window.Create());
        window.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    }
    void TearDown() override { ReleaseUiSkin(); }

    SkinFixture fixture;
    CUIWnd window{30};
};

QImage Filled(int w, int h, QColor colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

}  // namespace

TEST_F(ControlsTest, TreeRowsHaveTheirHeightAndTheSkinsPictures)
{
    auto* tree = window.Control<CSkinTree>(1);
    QTreeWidgetItem* root = tree->AddItem("视频特效", 1);
    QTreeWidgetItem* child = tree->AddItem("动画效果", 2, root);
    QTreeWidgetItem* plain = tree->AddItem("色彩调节", 64);
    EXPECT_EQ(tree->FindItem(2), child);
    EXPECT_EQ(tree->FindItem(5), nullptr);
    EXPECT_EQ(CSkinTree::ItemData(plain), 64);
    EXPECT_EQ(tree->SelectedData(), -1);
    tree->clearFocus();

    const auto pixel = [tree](QPoint at) { return tree->viewport()->grab().toImage().pixelColor(at); };
    const QRect rootRow = tree->visualItemRect(root);
    EXPECT_EQ(rootRow.height(), 24);
    const QPoint branch(tree->indentation() / 2 + 1, rootRow.center().y() + 1);
    EXPECT_EQ(pixel(branch), QColor(Qt::red));  // collapsed: the expand picture
    EXPECT_EQ(pixel(QPoint(tree->viewport()->width() - 2, rootRow.center().y())), QColor(Qt::blue));
    tree->expandItem(root);
    EXPECT_EQ(pixel(branch), QColor(Qt::green));
    EXPECT_EQ(tree->visualItemRect(child).height(), 24);
    // A child row is not drawn on the root items' background; an item without children has no button.
    EXPECT_NE(pixel(QPoint(tree->viewport()->width() - 2, tree->visualItemRect(child).center().y())), QColor(Qt::blue));
    const QRect plainRow = tree->visualItemRect(plain);
    EXPECT_NE(pixel(QPoint(branch.x(), plainRow.center().y() + 1)), QColor(Qt::red));

    tree->SetItemHeight(30);
    QTest::qWait(20);
    EXPECT_EQ(tree->visualItemRect(root).height(), 30);
}

TEST_F(ControlsTest, ThumbnailViewKeepsPicturesBeforeItsEmptyItems)
{
    auto* thumbs = window.Control<CSkinThumbs>(2);
    EXPECT_EQ(thumbs->AddPicture("A.GIF", Filled(60, 40, Qt::red)), 0);
    thumbs->AddEmptyItems(3);
    EXPECT_EQ(thumbs->AddPicture("c.jpeg", QImage()), 1);  // before the empty items
    EXPECT_EQ(thumbs->count(), 5);
    EXPECT_EQ(thumbs->PictureCount(), 2);
    const struct {
        int index;
        bool picture;
        const char* name;
    } items[] = {{-1, false, ""}, {0, true, "A.GIF"}, {1, true, "c.jpeg"}, {2, false, ""}, {4, false, ""}, {5, false, ""}};
    for (const auto& item : items) {
        EXPECT_EQ(thumbs->IsPicture(item.index), item.picture) << item.index;
        EXPECT_EQ(thumbs->PictureName(item.index), item.name) << item.index;
    }
    thumbs->SelectPicture(1);
    EXPECT_EQ(thumbs->SelectedPicture(), 1);
    thumbs->SelectPicture(3);
    EXPECT_EQ(thumbs->SelectedPicture(), -1);
    thumbs->clear();
    EXPECT_EQ(thumbs->PictureCount(), 0);
}

TEST_F(ControlsTest, ThumbnailPicturesAreShownAsGivenOrFittedOnWhite)
{
    auto* thumbs = window.Control<CSkinThumbs>(2);
    QImage exact = Filled(60, 40, Qt::red);
    exact.setPixelColor(59, 39, Qt::blue);
    thumbs->AddPicture("exact", exact);
    thumbs->AddPicture("wide", Filled(120, 40, Qt::green));
    thumbs->AddPicture("broken", QImage());
    const auto shown = [thumbs](int index) {
        return thumbs->item(index)->icon().pixmap(QSize(60, 40)).toImage().convertToFormat(QImage::Format_RGB32);
    };
    EXPECT_EQ(shown(0), exact.convertToFormat(QImage::Format_RGB32));
    const QImage wide = shown(1);  // 60×20 in the middle, white above and below
    EXPECT_EQ(wide.pixelColor(30, 2), QColor(Qt::white));
    EXPECT_EQ(wide.pixelColor(30, 20), QColor(Qt::green));
    EXPECT_EQ(wide.pixelColor(30, 37), QColor(Qt::white));
    const QImage empty = shown(2);
    EXPECT_EQ(empty.pixelColor(30, 20), QColor(Qt::white));
    EXPECT_NE(empty.pixelColor(0, 0), QColor(Qt::white));  // its frame
}

TEST_F(ControlsTest, ThumbnailViewFilledBetweenEventsLaysOutEveryItemOnItsGrid)
{
    auto* thumbs = window.Control<CSkinThumbs>(2);
    for (int i = 0; i < 200; ++i) {
        thumbs->AddPicture(QString("p%1.bmp").arg(i), Filled(60, 40, Qt::gray));
        if (i % 20 == 19)
            QCoreApplication::processEvents();
    }
    thumbs->AddEmptyItems(3);
    QTest::qWait(50);
    const QSize grid = thumbs->gridSize();
    const int perRow = thumbs->viewport()->width() / grid.width();
    ASSERT_GT(perRow, 0);
    for (int i : {0, 1, perRow, 150, 202}) {
        const QRect rect = thumbs->visualItemRect(thumbs->item(i));
        const QPoint corner((i % perRow) * grid.width(), (i / perRow) * grid.height() - thumbs->verticalScrollBar()->value());
        const QRect cell(corner, grid);
        EXPECT_TRUE(cell.contains(rect.center())) << i;
    }
}

TEST_F(ControlsTest, ReportListColumnsFollowTheirProportionsOfTheWidth)
{
    auto* rows = window.Control<CSkinTreeList>(3);
    EXPECT_EQ(rows->headerItem()->text(0), QString::fromUtf8("歌曲"));
    EXPECT_EQ(rows->columnCount(), 2);
    const int width = rows->viewport()->width();
    EXPECT_NEAR(rows->columnWidth(0), width / 2, 1);  // equal until told
    rows->SetColumnProportions({2 / 3.0, 1 / 3.0});
    EXPECT_NEAR(rows->columnWidth(0), width * 2 / 3, 1);
    EXPECT_EQ(rows->columnWidth(0) + rows->columnWidth(1), width);
    rows->resize(rows->width() + 90, rows->height());
    const int wider = rows->viewport()->width();
    EXPECT_EQ(wider, width + 90);
    EXPECT_NEAR(rows->columnWidth(0), wider * 2 / 3, 1);
    EXPECT_EQ(rows->columnWidth(0) + rows->columnWidth(1), wider);

    EXPECT_EQ(rows->AddRow({"song", QString::fromUtf8("初始化...")}), 0);
    EXPECT_EQ(rows->AddRow({"other", "--"}), 1);
    rows->SetCellText(0, 1, QString::fromUtf8("加载中..."));
    rows->SetCellText(7, 1, "ignored");
    rows->SetCellText(0, 5, "ignored");
    EXPECT_EQ(rows->CellText(0, 1), QString::fromUtf8("加载中..."));
    EXPECT_EQ(rows->CellText(1, 0), "other");
    EXPECT_EQ(rows->CellText(2, 0), "");
    EXPECT_EQ(rows->SelectedRow(), -1);
    rows->SelectRow(1);
    rows->SelectRow(0);
    EXPECT_EQ(rows->SelectedRow(), 0);
    EXPECT_EQ(rows->selectedItems().size(), 1);
    rows->SelectRow(-1);
    EXPECT_EQ(rows->SelectedRow(), -1);
}

TEST(ColorRef, RedIsTheLowestByte)
{
    const struct {
        uint32_t ref;
        QColor colour;
    } cases[] = {{0x0000FF, QColor(255, 0, 0)},   {0x00FF00, QColor(0, 255, 0)}, {0xFF0000, QColor(0, 0, 255)},
                 {0xAA593E, QColor(0x3E, 0x59, 0xAA)}, {0, QColor(0, 0, 0)}};
    for (const auto& c : cases) {
        EXPECT_EQ(ColorFromRef(c.ref), c.colour) << std::hex << c.ref;
        EXPECT_EQ(ColorToRef(c.colour), c.ref) << std::hex << c.ref;
    }
    EXPECT_EQ(ColorToRef(QColor(1, 2, 3, 4)), 0x030201u);  // no alpha in a Windows colour
}

TEST(MenuChoices, ReturnTheChosenIdentifierWithTheCurrentOneChecked)
{
    QWidget owner;
    std::vector<std::pair<QString, bool>> shown;
    ModalDriver driver;
    driver
        .ThenMenu([&](QMenu* menu) {
            for (QAction* action : menu->actions())
                shown.emplace_back(action->text(), action->isChecked());
        })
        .ChooseMenuItem(QString::fromUtf8("随机播放"))
        .ChooseMenuItem("none such")  // dismisses the second menu
        .ChooseMenuItem("b");
    EXPECT_EQ(ChoosePlayMode(&owner, 3, QPoint(10, 10)), 2);
    const std::vector<std::pair<QString, bool>> modes = {
        {QString::fromUtf8("顺序播放"), false}, {QString::fromUtf8("循环播放"), false},
        {QString::fromUtf8("随机播放"), false}, {QString::fromUtf8("单曲循环"), true},
        {QString::fromUtf8("单曲播放"), false}};
    EXPECT_EQ(shown, modes);
    EXPECT_EQ(ChoosePlayMode(&owner, 1, QPoint(10, 10)), -1);
    EXPECT_EQ(ChooseFromMenu(&owner, {{100000, "a"}, {100030, "b"}}, -1, QPoint(10, 10)), 100030);
    EXPECT_TRUE(driver.Done());
}
