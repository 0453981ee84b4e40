#pragma once
// Asks for the name of a recording. OK accepts a name that is not empty, stays inside the record
// folder and, when a file of that name exists, may replace it; the name and the recording's path stay
// available after the dialog has closed.
#include "ui/UIWnd.h"

#include <QString>

#include <string>

class CWndName : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndName(QWidget* owner);

    // DoModal (inherited) returns 1 when a name was accepted, 2 when the dialog was left otherwise.

    // The text entered.
    QString Name() const;
    // RecordPath/name.wmv once a name was accepted; empty otherwise.
    const std::string& Path() const { return path_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    void Accept();

    std::string path_;
};
