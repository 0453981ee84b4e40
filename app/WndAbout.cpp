#include "app/WndAbout.h"

#include "ui/SkinResources.h"

CWndAbout::CWndAbout(QWidget* owner) : CUIWnd(IDR_ABOUT, owner, true)
{
    SetDragAnywhere(true);
}

void CWndAbout::OnCommand(int id)
{
    if (id == 1147)
        EndModal(IDOK_RESULT);
    else if (id == 1148)
        EndModal(IDCANCEL_RESULT);
}
