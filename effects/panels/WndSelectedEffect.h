#pragma once
// The effect pictures in use, one per category, newest first: the frame sink's selection shown as a
// list, with buttons to remove the chosen one and to clear them all.
#include "ui/UIWnd.h"

#include <string>

class QListWidget;

class CWndSelectedEffect : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSelectedEffect(QWidget* parent);

    // Makes the picture the choice of its category (its layer is shown unless it was handed to the
    // chain before) and shows the list again.
    void AddSelectedEffect(int32_t type, const std::string& name, const std::string& folder);
    // Drops the choices of this full path and their layers, and shows the list again.
    void RemoveSelectedEffect(const std::string& full);
    // Shows the sink's selection again, newest first.
    void RefreshList();

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    QListWidget* list_ = nullptr;
};
