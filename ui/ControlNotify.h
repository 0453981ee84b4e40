#pragma once
// What a control tells its window, besides the clicks of push buttons and tabs (those reach
// OnCommand). Every notification reports something the user did; what the window does to its own
// controls (setValue, setText, setCurrentIndex, SetColor, ...) is silent, with one exception: the trees
// (the item tree and the folder tree) report every change of their selected item, also
// CSkinTree::SelectByData and CShellTree::SelectPath, since selecting a tree item is how a panel
// switches its pages. Tests act as the user does (QTest key and mouse events) or call SendNotify.
//
//   control          code          fields
//   slider, scroll   ValueChanged  value: the new position
//   spin             ValueChanged  value: the new value; text: the edit's text
//   colour picker    ValueChanged  value: the chosen colour, 0x00BBGGRR
//   combo box        SelChanged    index: the chosen entry; text: its text
//   tree             SelChanged    value: the selected item's data; text: its label;
//                                  index: its place counting every item from the top, expanded or not
//   folder tree      SelChanged    text: the selected folder's path
//   edit             TextChanged   text: the new text
//   list, tree-list, Click,        index: the item under the mouse, -1 for none (and for the empty
//   thumbnails       DoubleClick   items of a thumbnail view, which a click deselects); text: its text
//   check box, radio Toggled       value: 1 when checked after the click, 0 when not
#include <QString>

#include <functional>

class QWidget;

enum class NotifyCode { ValueChanged, SelChanged, TextChanged, Click, DoubleClick, Toggled };

struct ControlNotify {
    int id = 0;
    NotifyCode code = NotifyCode::ValueChanged;
    int index = -1;
    int value = 0;
    QString text;
};

using NotifySink = std::function<void(const ControlNotify&)>;

// Sends the notifications of a control the toolkit built (any kind of the table above) to `sink`,
// under the control's identifier `id`. Kinds without notifications (static texts, progress bars, push
// buttons) are left alone.
void ConnectNotifications(QWidget* control, int id, NotifySink sink);
