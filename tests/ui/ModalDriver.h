#pragma once
// Drives modal windows from a test: skinned windows, Qt's own dialogs (file, colour) and pop-up menus.
// Each step waits until its window is showing, acts on it and moves on. Actions run as queued calls, so
// a step that opens a further modal window does not hold the driver up.
#include "ui/UIWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

class ModalDriver : public QObject {
public:
    using Step = std::function<void(CUIWnd*)>;
    static constexpr int kMenu = -1;    // what `seen` records for a pop-up menu
    static constexpr int kDialog = -2;  // and for a Qt dialog

    ModalDriver()
    {
        connect(&timer_, &QTimer::timeout, this, &ModalDriver::Tick);
        timer_.start(5);
    }
    // Acts on the active modal window of resource `resource`.
    ModalDriver& Then(int resource, Step step)
    {
        return Add(
            resource,
            [resource]() -> QWidget* {
                auto* window = qobject_cast<CUIWnd*>(QApplication::activeModalWidget());
                return window && window->Resource() == resource ? window : nullptr;
            },
            [step](QWidget* window) { step(static_cast<CUIWnd*>(window)); });
    }
    // Clicks control `id` of the active modal window of resource `resource`.
    ModalDriver& Click(int resource, int id)
    {
        return Then(resource, [id](CUIWnd* window) {
            if (auto* button = window->Control<QAbstractButton>(id))
                button->click();
        });
    }
    // Acts on the active modal dialog of class T (QFileDialog, QColorDialog); end it with
    // QMetaObject::invokeMethod(dialog, "accept") or "reject".
    template <class T>
    ModalDriver& ThenDialog(std::function<void(T*)> step)
    {
        return Add(
            kDialog, [] { return qobject_cast<T*>(QApplication::activeModalWidget()); },
            [step](QWidget* dialog) { step(static_cast<T*>(dialog)); });
    }
    // Acts on the pop-up menu that is showing.
    ModalDriver& ThenMenu(std::function<void(QMenu*)> step)
    {
        return Add(
            kMenu, [] { return qobject_cast<QMenu*>(QApplication::activePopupWidget()); },
            [step](QWidget* menu) { step(static_cast<QMenu*>(menu)); });
    }
    // Clicks the menu entry with this text, as the mouse does; a menu without it is dismissed.
    ModalDriver& ChooseMenuItem(const QString& text)
    {
        return ThenMenu([text](QMenu* menu) {
            for (QAction* action : menu->actions()) {
                if (action->text() == text) {
                    QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
                    return;
                }
            }
            menu->close();
        });
    }
    bool Done() const { return next_ == steps_.size(); }
    // The windows acted on, by resource (kMenu, kDialog for the others), in order.
    std::vector<int> seen;

private:
    struct Entry {
        int resource;
        std::function<QWidget*()> find;
        std::function<void(QWidget*)> act;
    };

    ModalDriver& Add(int resource, std::function<QWidget*()> find, std::function<void(QWidget*)> act)
    {
        steps_.push_back({resource, std::move(find), std::move(act)});
        return *this;
    }

    void Tick()
    {
        if (Done() || busy_)
            return;
        QWidget* target = steps_[next_].find();
        if (!target || !target->isVisible())
            return;
        const Entry& step = steps_[next_++];
        seen.push_back(step.resource);
        busy_ = true;
        QMetaObject::invokeMethod(
            this, [this, act = step.act, target] {
                busy_ = false;
                act(target);
            },
            Qt::QueuedConnection);
    }

    std::vector<Entry> steps_;
    size_t next_ = 0;
    bool busy_ = false;
    QTimer timer_;
};
