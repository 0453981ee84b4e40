#include "effects/panels/WndSpeEffect.h"

#include "effects/EffectLibrary.h"
#include "effects/panels/EffectCategories.h"
#include "effects/panels/WndAddFont.h"
#include "effects/panels/WndColorAdjust.h"
#include "effects/panels/WndInnerImg.h"
#include "effects/panels/WndSelectedEffect.h"
#include "effects/panels/WndSubVideoSpeEffect.h"
#include "fileio/ProgramFolder.h"
#include "ui/SkinResources.h"
#include "ui/SkinTree.h"

namespace {

enum {
    IDC_CATEGORY_TREE = 4101,
    IDC_SUB_PANEL_AREA = 4103,
};

constexpr int kTreeItemHeight = 24;

}  // namespace

CWndSpeEffect::CWndSpeEffect(QWidget* parent) : CUIWnd(IDR_SPE_EFFECT, parent)
{
}

bool CWndSpeEffect::OnCreate()
{
    // The pictures fill the area; the effects in use lie over its lower part.
    selected_ = CreateChildPanel<CWndSelectedEffect>(IDC_SUB_PANEL_AREA, false);
    for (int32_t category : {EFFECT_CARTOON, EFFECT_FRAME, EFFECT_DOSSAL, EFFECT_LIGHT})
        pictures_[category] = CreateChildPanel<CWndSubVideoSpeEffect>(
            IDC_SUB_PANEL_AREA, false, category, ProgramFile(EffectFolder(category)), selected_);
    color_ = CreateChildPanel<CWndColorAdjust>(IDC_SUB_PANEL_AREA, false);
    pip_ = CreateChildPanel<CWndInnerImg>(IDC_SUB_PANEL_AREA, false);
    text_ = CreateChildPanel<CWndAddFont>(IDC_SUB_PANEL_AREA, false);
    if (selected_) {
        const QRect area = ControlRect(IDC_SUB_PANEL_AREA);
        const QSize size = UiSkin()->Window(IDR_SELECTED_EFFECT)->size;
        selected_->setFixedSize(size);
        selected_->move(area.left(), area.bottom() + 1 - size.height());
        selected_->raise();
    }

    tree_ = Control<CSkinTree>(IDC_CATEGORY_TREE);
    if (!tree_)
        return true;
    tree_->SetItemHeight(kTreeItemHeight);
    QTreeWidgetItem* videoEffects = nullptr;
    for (const EffectTreeItem& item : kEffectTreeItems) {
        QTreeWidgetItem* added = tree_->AddItem(QString::fromUtf8(item.Label), item.Code,
                                                item.UnderVideoEffects ? videoEffects : nullptr);
        if (item.Code == PAGE_VIDEO_EFFECTS)
            videoEffects = added;
    }
    tree_->expandAll();
    tree_->SelectByData(EFFECT_CARTOON);
    return true;
}

CWndSubVideoSpeEffect* CWndSpeEffect::PicturePanel(int32_t category) const
{
    const auto found = pictures_.find(category);
    return found == pictures_.end() ? nullptr : found->second;
}

void CWndSpeEffect::ShowCategory(int32_t code)
{
    if (code == PAGE_VIDEO_EFFECTS)
        return;
    for (const auto& [category, panel] : pictures_)
        if (panel)
            panel->setVisible(category == code);
    if (selected_)
        selected_->setVisible(pictures_.count(code) != 0);
    if (color_)
        color_->setVisible(code == PAGE_COLOR_ADJUST);
    if (pip_)
        pip_->setVisible(code == PAGE_INNER_IMG);
    if (text_)
        text_->setVisible(code == PAGE_ADD_FONT);
}

void CWndSpeEffect::OnNotify(const ControlNotify& notify)
{
    if (notify.id == IDC_CATEGORY_TREE && notify.code == NotifyCode::SelChanged)
        ShowCategory(notify.value);
}

void CWndSpeEffect::SelectItemAfterFirstVisible()
{
    if (!tree_)
        return;
    QTreeWidgetItem* first = tree_->itemAt(0, 0);
    if (!first)
        first = tree_->topLevelItem(0);
    while (first && first->parent())
        first = first->parent();
    const int next = tree_->indexOfTopLevelItem(first) + 1;
    if (QTreeWidgetItem* item = tree_->topLevelItem(next))
        tree_->setCurrentItem(item);
}

bool CWndSpeEffect::OnMessage(CWindowMessage& message)
{
    if (message.Message() != WM_SHOW_EFFECTS)
        return false;
    SelectItemAfterFirstVisible();
    return true;
}
