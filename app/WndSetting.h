#pragma once
// The settings dialog: the four folders, ten options and what the close button does. Nothing reaches
// the settings record unless the user confirms with OK.
#include "ui/UIWnd.h"

#include <array>

class CWndSetting : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSetting(QWidget* owner = nullptr);

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    // Runs the folder chooser for one of the four folders, starting at its current copy.
    int ChoosePath(int index, QString& path);
    void StoreAndClose();

    std::array<QString, 4> paths_;  // photo, record, song, lyric: the copies the dialog edits
};
