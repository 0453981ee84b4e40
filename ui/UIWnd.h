#pragma once
// The skinned window: a frameless Qt window (or a child area) built from one resource of the skin.
// Its controls are found by identifier; clicks of push buttons and tabs reach OnCommand, everything
// else the user does to a control reaches OnNotify (ui/ControlNotify.h); numbered window messages
// reach OnMessage. It owns the child panels it makes in its placeholders, a press anywhere can move
// it, and it can run modally with the results 1 and 2.
#include "settings/WindowMessages.h"
#include "ui/ControlNotify.h"
#include "ui/Skin.h"

#include <QPixmap>
#include <QPoint>
#include <QWidget>

#include <map>
#include <memory>
#include <utility>
#include <vector>

class QEventLoop;

enum ModalResult { IDOK_RESULT = 1, IDCANCEL_RESULT = 2 };

class CUIWnd : public QWidget {
    Q_OBJECT
public:
    // A window of the given skin resource. With a parent it is a child area of that window, unless
    // `ownedWindow` makes it a window of its own that stays above its owner (dialogs).
    explicit CUIWnd(int resource, QWidget* parent = nullptr, bool ownedWindow = false);
    ~CUIWnd() override;

    // Builds the window and its controls from the process-wide skin, then runs OnCreate. False when
    // the skin has no such resource or OnCreate refuses.
    bool Create();
    bool IsCreated() const { return created_; }
    int Resource() const { return resource_; }

    QWidget* GetControl(int id) const;
    template <class T>
    T* Control(int id) const
    {
        return qobject_cast<T*>(GetControl(id));
    }
    // The skin's rectangle of a control (also of placeholders and web views, which have no widget).
    QRect ControlRect(int id) const;
    void SetControlChecked(int id, bool checked);
    bool IsControlChecked(int id) const;
    void ShowControl(int id, bool visible);

    // Centres the window on its owner, or on the screen when it has none.
    void CentreWindow();
    // Runs the window modally until EndModal; returns its result (2 when it was closed otherwise).
    int DoModal();
    void EndModal(int result);
    bool IsModal() const { return modalLoop_ != nullptr; }

    // A left-button press anywhere in the window starts moving it.
    void SetDragAnywhere(bool on) { dragAnywhere_ = on; }
    // Cuts the skin's colour-key pixels out of the window's shape.
    void SetColorKeyEnabled(bool on);

    // Ends the window: the child windows' OnDestroy first, then its own; once only. The object itself
    // lives on until its owner deletes it.
    void DestroyWindow();
    bool IsDestroyed() const { return destroyed_; }

    // The handlers, for whoever acts for the user (the toolkit, tests).
    void SendCommand(int id) { OnCommand(id); }
    void SendNotify(const ControlNotify& notify) { OnNotify(notify); }

    // Makes a child panel in the rectangle of placeholder `placeholderId`: constructs
    // T(args..., this), creates it from the skin, gives it the placeholder's place and size, and shows
    // or hides it. The window owns the panel: panels go, newest first, when the window is deleted,
    // after the window's own members, so a panel's destructor must not reach its parent (OnDestroy,
    // which runs first, may). Null when the skin has no such placeholder or the panel's Create fails.
    // A panel that takes only part of the placeholder is placed afterwards with move and setFixedSize.
    template <class T, class... Args>
    T* CreateChildPanel(int placeholderId, bool visible, Args&&... args)
    {
        const QRect area = ControlRect(placeholderId);
        if (area.isEmpty())
            return nullptr;
        auto panel = std::make_unique<T>(std::forward<Args>(args)..., this);
        if (!panel->Create())
            return nullptr;
        panel->setFixedSize(area.size());
        panel->move(area.topLeft());
        panel->setVisible(visible);
        T* made = panel.get();
        childPanels_.push_back(std::move(panel));
        return made;
    }

protected:
    // Called once the controls exist; false makes Create fail.
    virtual bool OnCreate() { return true; }
    // A click of a push button or tab.
    virtual void OnCommand(int id) { Q_UNUSED(id); }
    // Any other control's notification: a slider moved, a choice, a text, an item clicked, a box ticked.
    virtual void OnNotify(const ControlNotify& notify) { Q_UNUSED(notify); }
    // Work that must happen while the window still exists, before its owner goes on with shut-down.
    virtual void OnDestroy() {}
    // A numbered window message; true when handled.
    virtual bool OnMessage(CWindowMessage& message)
    {
        Q_UNUSED(message);
        return false;
    }
    // Whether a press at this point may move the window (only asked when dragging is on).
    virtual bool CanDragAt(const QPoint& pos) const
    {
        Q_UNUSED(pos);
        return true;
    }

    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

    const SkinWindow* SkinResource() const { return skinWindow_; }

private:
    void BuildControls(const CSkin& skin);
    void NameFromLabels();
    void UpdateShape();

    int resource_;
    const SkinWindow* skinWindow_ = nullptr;
    bool created_ = false;
    bool destroyed_ = false;
    QPixmap background_;
    std::map<int, QWidget*> controls_;
    std::vector<std::unique_ptr<CUIWnd>> childPanels_;
    bool dragAnywhere_ = false;
    bool colorKey_ = true;
    bool dragging_ = false;
    QPoint dragOffset_;
    QEventLoop* modalLoop_ = nullptr;
    int modalResult_ = IDCANCEL_RESULT;
};
