#include "app/WndChoicePath.h"

#include "ui/ShellTree.h"
#include "ui/SkinResources.h"

#include <QLabel>

namespace {
enum { IDC_CLOSE = 1002, IDC_CANCEL = 1142, IDC_TREE_AREA = 1176, IDC_OK = 1177, IDC_PATH = 1178 };
}

CWndChoicePath::CWndChoicePath(QWidget* owner, const QString& start)
    : CUIWnd(IDR_CHOICE_PATH, owner, true), start_(start)
{
    SetDragAnywhere(true);
}

bool CWndChoicePath::OnCreate()
{
    tree_ = new CShellTree(this);
    tree_->setGeometry(ControlRect(IDC_TREE_AREA));
    connect(tree_, &CShellTree::folderSelected, this, &CWndChoicePath::OnFolderSelected);
    tree_->SelectPath(start_);
    return true;
}

void CWndChoicePath::OnFolderSelected(const QString& path)
{
    resultPath_ = path;
    if (auto* label = Control<QLabel>(IDC_PATH))
        label->setText(path);
}

void CWndChoicePath::OnCommand(int id)
{
    switch (id) {
    case IDC_OK:
        EndModal(resultPath_.isEmpty() ? IDCANCEL_RESULT : IDOK_RESULT);
        break;
    case IDC_CANCEL:
    case IDC_CLOSE:
        EndModal(IDCANCEL_RESULT);
        break;
    }
}
