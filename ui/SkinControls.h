#pragma once
// The skinned controls a window is built of, one per control kind of the skin. A window reaches them
// with Control<class>(id):
//   button, tab, check, radio  CSkinButton       static      CSkinStatic
//   edit                       QLineEdit         combo       QComboBox
//   slider                     QSlider           progress    QProgressBar
//   scrollbar                  QScrollBar        list        QListWidget (single selection)
//   tree                       CSkinTree         treelist    CSkinTreeList
//   thumbs                     CSkinThumbs       spin        CSkinSpin
//   color                      CColorPicker      foldertree  CShellTree
// A web control's view is made on demand with CreateSkinWebView, a placeholder's panel with
// CUIWnd::CreateChildPanel.
#include "ui/Skin.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPixmap>

class CSkin;

// Buttons, tabs, check boxes and radio buttons. A push button or tab paints the picture of its state
// (normal, hover, pressed, checked, disabled) with its text over it; a check box or radio button paints
// its state picture as the indicator and the text beside it.
class CSkinButton : public QAbstractButton {
    Q_OBJECT
public:
    CSkinButton(const CSkin& skin, const SkinControl& control, QWidget* parent);

    ControlKind Kind() const { return kind_; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;

private:
    enum State { Normal, Hover, Pressed, Checked, Disabled, StateCount };
    const QPixmap& Picture(State state) const;

    ControlKind kind_;
    QPixmap pictures_[StateCount];
    QPixmap icon_;
    QPixmap checkedIcon_;
    QColor color_;
    QColor checkedColor_;
    Qt::Alignment align_;
    bool hovered_ = false;
};

// Static text, optionally with a picture behind it.
class CSkinStatic : public QLabel {
    Q_OBJECT
public:
    CSkinStatic(const CSkin& skin, const SkinControl& control, QWidget* parent);

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QPixmap picture_;
};

// Builds the control of the given kind as a child of `parent` at the skin's rectangle. Web views and
// placeholders are not built here: they are areas the window's owner fills.
QWidget* CreateSkinControl(const CSkin& skin, const SkinControl& control, QWidget* parent);
