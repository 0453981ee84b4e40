#pragma once
// Reports a finished recording or a saved photo: its size and path, with buttons that open the file
// or its folder on the desktop. Every button closes it with result 2.
#include "ui/UIWnd.h"

#include <string>

class CWndRecordFinishHite : public CUIWnd {
    Q_OBJECT
public:
    CWndRecordFinishHite(const std::string& path, QWidget* owner);

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    std::string path_;
};
