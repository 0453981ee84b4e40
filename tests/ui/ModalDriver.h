#pragma once
// Drives modal skinned windows from a test: each step waits until a modal window is active, acts on it
// and moves on. Actions run as queued calls, so a step that opens a further modal window does not hold
// the driver up.
#include "ui/UIWnd.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

#include <functional>
#include <vector>

class ModalDriver : public QObject {
public:
    using Step = std::function<void(CUIWnd*)>;

    ModalDriver()
    {
        connect(&timer_, &QTimer::timeout, this, &ModalDriver::Tick);
        timer_.start(5);
    }
    // Acts on the active modal window of resource `resource`.
    ModalDriver& Then(int resource, Step step)
    {
        steps_.push_back({resource, std::move(step)});
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
    bool Done() const { return next_ == steps_.size(); }
    // The modal windows acted on, by resource, in order.
    std::vector<int> seen;

private:
    void Tick()
    {
        if (Done() || busy_)
            return;
        auto* window = qobject_cast<CUIWnd*>(QApplication::activeModalWidget());
        if (!window || window->Resource() != steps_[next_].resource || !window->isVisible())
            return;
        seen.push_back(window->Resource());
        Step step = steps_[next_++].action;
        busy_ = true;
        QMetaObject::invokeMethod(
            this, [this, step, window] {
                busy_ = false;
                step(window);
            },
            Qt::QueuedConnection);
    }

    struct Entry {
        int resource;
        Step action;
    };
    std::vector<Entry> steps_;
    size_t next_ = 0;
    bool busy_ = false;
    QTimer timer_;
};
