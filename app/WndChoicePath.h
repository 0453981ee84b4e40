#pragma once
// The folder chooser: a folder tree and the selected folder's path below it.
#include "ui/UIWnd.h"

class CShellTree;

class CWndChoicePath : public CUIWnd {
    Q_OBJECT
public:
    // `start` is the folder shown selected at first, when it exists.
    explicit CWndChoicePath(QWidget* owner = nullptr, const QString& start = QString());

    // The folder chosen; empty until one is selected.
    const QString& ResultPath() const { return resultPath_; }
    CShellTree* Tree() const { return tree_; }

protected:
    bool OnCreate() override;
    void OnCommand(int id) override;

private:
    void OnFolderSelected(const QString& path);

    QString start_;
    QString resultPath_;
    CShellTree* tree_ = nullptr;
};
