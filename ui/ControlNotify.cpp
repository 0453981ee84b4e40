#include "ui/ControlNotify.h"

#include "ui/ColorPicker.h"
#include "ui/ShellTree.h"
#include "ui/SkinControls.h"
#include "ui/SkinSpin.h"
#include "ui/SkinTree.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QItemSelectionModel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScrollBar>
#include <QSlider>

#include <memory>

namespace {

ControlNotify Notify(int id, NotifyCode code, int index = -1, int value = 0, const QString& text = {})
{
    return {id, code, index, value, text};
}

// Clicks and double clicks on the items of a list, a tree-list or a thumbnail view, with the item
// under the mouse: -1 for none and for items that cannot be selected (the empty items of a thumbnail
// view), whose click clears the selection. The release that ends a double click is not a click.
class ItemClickReporter : public QObject {
public:
    ItemClickReporter(QAbstractItemView* view, int id, NotifySink sink)
        : QObject(view), view_(view), id_(id), sink_(std::move(sink))
    {
        view->viewport()->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        const QEvent::Type type = event->type();
        if (type == QEvent::MouseButtonPress)
            endsDoubleClick_ = false;
        if (type != QEvent::MouseButtonRelease && type != QEvent::MouseButtonDblClick)
            return false;
        const auto* mouse = static_cast<QMouseEvent*>(event);
        if (mouse->button() != Qt::LeftButton)
            return false;
        if (type == QEvent::MouseButtonRelease && endsDoubleClick_) {
            endsDoubleClick_ = false;
            return false;
        }
        endsDoubleClick_ = type == QEvent::MouseButtonDblClick;
        const QModelIndex index = view_->indexAt(mouse->position().toPoint());
        const bool item = index.isValid() && (index.flags() & Qt::ItemIsSelectable);
        if (index.isValid() && !item)
            view_->clearSelection();
        ControlNotify notify = Notify(id_, endsDoubleClick_ ? NotifyCode::DoubleClick : NotifyCode::Click);
        if (item) {
            notify.index = index.row();
            notify.text = index.siblingAtColumn(0).data().toString();
        }
        sink_(notify);
        return false;
    }

private:
    QAbstractItemView* view_;
    int id_;
    NotifySink sink_;
    bool endsDoubleClick_ = false;
};

// A slider or scroll bar moved by the user: the mouse, the keys or the wheel trigger an action, and
// the value the action sets follows at once. setValue by the window triggers no action.
void ConnectSlider(QAbstractSlider* slider, int id, const NotifySink& sink)
{
    auto pending = std::make_shared<bool>(false);
    QObject::connect(slider, &QAbstractSlider::actionTriggered, slider, [slider, pending] {
        *pending = slider->sliderPosition() != slider->value();
    });
    QObject::connect(slider, &QAbstractSlider::valueChanged, slider, [id, sink, pending](int value) {
        if (!*pending)
            return;
        *pending = false;
        sink(Notify(id, NotifyCode::ValueChanged, -1, value));
    });
}

void ConnectTree(CSkinTree* tree, int id, const NotifySink& sink)
{
    QObject::connect(tree, &QTreeWidget::itemSelectionChanged, tree, [tree, id, sink] {
        const QList<QTreeWidgetItem*> selected = tree->selectedItems();
        if (selected.isEmpty())
            return;
        QTreeWidgetItem* item = selected.first();
        sink(Notify(id, NotifyCode::SelChanged, tree->ItemPosition(item), CSkinTree::ItemData(item), item->text(0)));
    });
}

}  // namespace

void ConnectNotifications(QWidget* control, int id, NotifySink sink)
{
    if (auto* slider = qobject_cast<QAbstractSlider*>(control)) {
        ConnectSlider(slider, id, sink);
    } else if (auto* spin = qobject_cast<CSkinSpin*>(control)) {
        QObject::connect(spin, &CSkinSpin::valueEdited, spin, [spin, id, sink](int value) {
            sink(Notify(id, NotifyCode::ValueChanged, -1, value, spin->text()));
        });
    } else if (auto* picker = qobject_cast<CColorPicker*>(control)) {
        QObject::connect(picker, &CColorPicker::colorChosen, picker, [id, sink](uint32_t color) {
            sink(Notify(id, NotifyCode::ValueChanged, -1, int(color)));
        });
    } else if (auto* combo = qobject_cast<QComboBox*>(control)) {
        QObject::connect(combo, &QComboBox::activated, combo, [combo, id, sink](int index) {
            sink(Notify(id, NotifyCode::SelChanged, index, 0, combo->itemText(index)));
        });
    } else if (auto* edit = qobject_cast<QLineEdit*>(control)) {
        QObject::connect(edit, &QLineEdit::textEdited, edit, [id, sink](const QString& text) {
            sink(Notify(id, NotifyCode::TextChanged, -1, 0, text));
        });
    } else if (auto* tree = qobject_cast<CSkinTree*>(control)) {
        ConnectTree(tree, id, sink);
    } else if (auto* folders = qobject_cast<CShellTree*>(control)) {
        QObject::connect(folders, &CShellTree::folderSelected, folders, [id, sink](const QString& path) {
            sink(Notify(id, NotifyCode::SelChanged, -1, 0, path));
        });
    } else if (auto* view = qobject_cast<QAbstractItemView*>(control)) {
        new ItemClickReporter(view, id, std::move(sink));
    } else if (auto* button = qobject_cast<CSkinButton*>(control)) {
        if (button->Kind() == ControlKind::Check || button->Kind() == ControlKind::Radio)
            QObject::connect(button, &QAbstractButton::clicked, button, [id, sink](bool checked) {
                sink(Notify(id, NotifyCode::Toggled, -1, checked ? 1 : 0));
            });
    }
}
