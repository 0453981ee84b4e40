#include "ui/SkinTree.h"

#include "ui/Skin.h"

#include <QPainter>
#include <QStyledItemDelegate>

namespace {

constexpr int kDataRole = Qt::UserRole;

// Rows of the tree's own height.
class FixedHeightDelegate : public QStyledItemDelegate {
public:
    explicit FixedHeightDelegate(CSkinTree* tree) : QStyledItemDelegate(tree), tree_(tree) {}
    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (tree_->ItemHeight() > 0)
            size.setHeight(tree_->ItemHeight());
        return size;
    }

private:
    const CSkinTree* tree_;
};

// The first item below `parent`, top-down, that `match` accepts; `position` counts the items passed
// on the way, from 0.
template <class Match>
QTreeWidgetItem* FindBelow(QTreeWidgetItem* parent, int& position, const Match& match)
{
    for (int i = 0; i < parent->childCount(); ++i) {
        QTreeWidgetItem* child = parent->child(i);
        if (match(child))
            return child;
        ++position;
        if (QTreeWidgetItem* found = FindBelow(child, position, match))
            return found;
    }
    return nullptr;
}

QPixmap SkinPicture(const CSkin& skin, const QString& name)
{
    return name.isEmpty() ? QPixmap() : QPixmap(skin.ImagePath(name));
}

}  // namespace

CSkinTree::CSkinTree(const CSkin& skin, const SkinControl& control, QWidget* parent)
    : QTreeWidget(parent),
      itemHeight_(control.itemHeight),
      expand_(SkinPicture(skin, control.expandIcon)),
      collapse_(SkinPicture(skin, control.collapseIcon)),
      rootBackground_(SkinPicture(skin, control.image))
{
    setHeaderHidden(true);
    setColumnCount(1);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformRowHeights(true);
    setRootIsDecorated(true);
    setItemDelegate(new FixedHeightDelegate(this));
}

QTreeWidgetItem* CSkinTree::AddItem(const QString& text, int data, QTreeWidgetItem* parent)
{
    auto* item = new QTreeWidgetItem({text});
    item->setData(0, kDataRole, data);
    if (parent)
        parent->addChild(item);
    else
        addTopLevelItem(item);
    return item;
}

QTreeWidgetItem* CSkinTree::FindItem(int data) const
{
    int position = 0;
    return FindBelow(invisibleRootItem(), position, [data](const QTreeWidgetItem* item) { return ItemData(item) == data; });
}

bool CSkinTree::SelectByData(int data)
{
    QTreeWidgetItem* item = FindItem(data);
    if (!item)
        return false;
    setCurrentItem(item);
    scrollToItem(item);
    return true;
}

int CSkinTree::SelectedData() const
{
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? -1 : ItemData(selected.first());
}

int CSkinTree::ItemData(const QTreeWidgetItem* item)
{
    return item ? item->data(0, kDataRole).toInt() : -1;
}

int CSkinTree::ItemPosition(const QTreeWidgetItem* item) const
{
    int position = 0;
    const bool found = item && FindBelow(invisibleRootItem(), position, [item](const QTreeWidgetItem* visited) {
        return visited == item;
    });
    return found ? position : -1;
}

void CSkinTree::SetItemHeight(int height)
{
    itemHeight_ = height;
    scheduleDelayedItemsLayout();
}

void CSkinTree::drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const
{
    if (!index.parent().isValid() && !rootBackground_.isNull())
        painter->drawPixmap(QRect(0, option.rect.top(), viewport()->width(), option.rect.height()), rootBackground_);
    QTreeWidget::drawRow(painter, option, index);
}

void CSkinTree::drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const
{
    // Only the expand button of the item's own level; no lines.
    if (!model()->hasChildren(index))
        return;
    const QPixmap& picture = isExpanded(index) ? collapse_ : expand_;
    if (picture.isNull()) {
        QTreeWidget::drawBranches(painter, rect, index);
        return;
    }
    const QRect cell(rect.right() + 1 - indentation(), rect.top(), indentation(), rect.height());
    painter->drawPixmap(cell.center() - QPoint(picture.width() / 2, picture.height() / 2) + QPoint(1, 1), picture);
}
