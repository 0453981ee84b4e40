#include "PanelFixture.h"

#include "effects/EffectLibrary.h"
#include "effects/panels/WndInnerImg.h"
#include "effects/panels/WndSubVideoSpeEffect.h"

CWndSpeEffect& EffectPanelTest::BuildTab()
{
    tab_ = std::make_unique<CWndSpeEffect>(nullptr);
    EXPECT_TRUE(tab_->Create());
    tab_->show();
    for (int32_t category : {EFFECT_CARTOON, EFFECT_FRAME, EFFECT_DOSSAL, EFFECT_LIGHT})
        EXPECT_TRUE(WaitListed(tab_->PicturePanel(category)->Pictures()));
    EXPECT_TRUE(WaitListed(tab_->PipPanel()->Masks()));
    QCoreApplication::processEvents();
    return *tab_;
}

std::string EffectPanelTest::Folder(int32_t category) const
{
    return home_.File(EffectFolder(category));
}
