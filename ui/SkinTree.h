#pragma once
// The skinned tree: items carry an integer (a category or source code), rows have a fixed height,
// items with children show the skin's expand and collapse pictures, and root items are drawn on the
// skin's item background. Selecting an item, by the user or by SelectByData, notifies the window
// (NotifyCode::SelChanged with the item's data).
#include <QPixmap>
#include <QTreeWidget>

class CSkin;
struct SkinControl;

class CSkinTree : public QTreeWidget {
    Q_OBJECT
public:
    CSkinTree(const CSkin& skin, const SkinControl& control, QWidget* parent);

    // Appends an item with its label and data: under `parent`, or as a root item when it is null.
    QTreeWidgetItem* AddItem(const QString& text, int data, QTreeWidgetItem* parent = nullptr);
    // The first item, in top-down order, that carries `data`; null when none does.
    QTreeWidgetItem* FindItem(int data) const;
    // Selects the first item carrying `data` and scrolls it into view; false (selection unchanged)
    // when none does.
    bool SelectByData(int data);
    // The selected item's data; -1 when no item is selected.
    int SelectedData() const;
    // The item's data (-1 for null).
    static int ItemData(const QTreeWidgetItem* item);
    // The item's place counting every item from the top, expanded or not; -1 for null.
    int ItemPosition(const QTreeWidgetItem* item) const;

    void SetItemHeight(int height);
    int ItemHeight() const { return itemHeight_; }

protected:
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override;
    void drawBranches(QPainter* painter, const QRect& rect, const QModelIndex& index) const override;

private:
    int itemHeight_;
    QPixmap expand_;
    QPixmap collapse_;
    QPixmap rootBackground_;
};
