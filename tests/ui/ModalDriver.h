#pragma once
// Drives modal skinned windows and pop-up menus from a test: each step waits until a modal window (or
// a menu) is showing, acts on it and moves on. Actions run as queued calls, so a step that opens a
// further modal window does not hold the driver up.
#include "ui/UIWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <functional>
#include <vector>

class ModalDriver : public QObject {
public:
    using Step = std::function<void(CUIWnd*)>;
    using MenuStep = std::function<void(QMenu*)>;
    static constexpr int kMenu = -1;  // what `seen` records for a pop-up menu

    ModalDriver()
    {
        connect(&timer_, &QTimer::timeout, this, &ModalDriver::Tick);
        timer_.start(5);
    }
    // Acts on the active modal window of resource `resource`.
    ModalDriver& Then(int resource, Step step)
    {
        steps_.push_back({resource, std::move(step), {}});
        return *this;
    }
    // Clicks control `id` of the active modal window of resource `resource`.
    ModalDriver& Click(int resource, int id)
    {
        return Then(resource, [id](CUIWnd* window) {
            if (auto* button = window->Control<QAbstractButton>(id))
                button->click();
        });
    }
    // Acts on the pop-up menu that is showing.
    ModalDriver& ThenMenu(MenuStep step)
    {
        steps_.push_back({kMenu, {}, std::move(step)});
        return *this;
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
    // The modal windows acted on, by resource (kMenu for a menu), in order.
    std::vector<int> seen;

private:
    void Tick()
    {
        if (Done() || busy_)
            return;
        const Entry& entry = steps_[next_];
        QWidget* target = nullptr;
        if (entry.resource == kMenu) {
            target = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        } else if (auto* window = qobject_cast<CUIWnd*>(QApplication::activeModalWidget());
                   window && window->Resource() == entry.resource) {
            target = window;
        }
        if (!target || !target->isVisible())
            return;
        seen.push_back(entry.resource);
        Entry step = steps_[next_++];
        busy_ = true;
        QMetaObject::invokeMethod(
            this, [this, step, target] {
                busy_ = false;
                if (step.menuAction)
                    step.menuAction(static_cast<QMenu*>(target));
                else
                    step.action(static_cast<CUIWnd*>(target));
            },
            Qt::QueuedConnection);
    }

    struct Entry {
        int resource;
        Step action;
        MenuStep menuAction;
    };
    std::vector<Entry> steps_;
    size_t next_ = 0;
    bool busy_ = false;
    QTimer timer_;
};
