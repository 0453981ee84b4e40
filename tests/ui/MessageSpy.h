#pragma once
// Records the numbered window messages an object receives.
#include "settings/WindowMessages.h"

#include <vector>

class MessageSpy : public QObject {
public:
    explicit MessageSpy(QObject* target) { target->installEventFilter(this); }
    std::vector<int> messages;

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (auto* message = dynamic_cast<CWindowMessage*>(event))
            messages.push_back(message->Message());
        return false;
    }
};
