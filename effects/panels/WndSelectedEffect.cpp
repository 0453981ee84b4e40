#include "effects/panels/WndSelectedEffect.h"

#include "effects/SelectedEffects.h"
#include "pipeline/CaptureScr.h"
#include "settings/Settings.h"
#include "ui/SkinResources.h"

#include <QListWidget>

namespace {

enum {
    IDC_SELECTED_LIST = 4104,
    IDC_REMOVE_SELECTED = 1032,
    IDC_CLEAR_SELECTED = 1033,
};

}  // namespace

CWndSelectedEffect::CWndSelectedEffect(QWidget* parent) : CUIWnd(IDR_SELECTED_EFFECT, parent)
{
}

bool CWndSelectedEffect::OnCreate()
{
    list_ = Control<QListWidget>(IDC_SELECTED_LIST);
    if (list_)
        list_->setIconSize(QSize(16, 16));
    RefreshList();
    return true;
}

void CWndSelectedEffect::AddSelectedEffect(int32_t type, const std::string& name, const std::string& folder)
{
    if (CaptureSink)
        CaptureSink->AddSelectedEffect(type, name, folder);
    RefreshList();
}

void CWndSelectedEffect::RemoveSelectedEffect(const std::string& full)
{
    if (CaptureSink)
        CaptureSink->RemoveSelectedEffect(full);
    RefreshList();
}

void CWndSelectedEffect::RefreshList()
{
    if (!list_)
        return;
    list_->clear();
    if (!CaptureSink)
        return;
    const QIcon icon(UiSkin()->ImagePath("icon_effect.png"));
    for (const SubEffImg& picture : CaptureSink->SelectedEffects())
        list_->insertItem(0, new QListWidgetItem(icon, QString::fromStdString(picture.ImgName)));
}

void CWndSelectedEffect::OnCommand(int id)
{
    if (!CaptureSink || !list_)
        return;
    switch (id) {
    case IDC_REMOVE_SELECTED: {
        const QList<QListWidgetItem*> chosen = list_->selectedItems();
        const std::vector<SubEffImg>& selection = CaptureSink->SelectedEffects();
        if (chosen.isEmpty())
            return;
        // The list shows the newest first.
        const size_t index = size_t(list_->row(chosen.first()));
        if (index >= selection.size())
            return;
        RemoveSelectedEffect(CSelectedEffects::FullPath(selection[selection.size() - 1 - index]));
        break;
    }
    case IDC_CLEAR_SELECTED:
        CaptureSink->ClearSelected();
        RefreshList();
        break;
    }
}
