// Every control of the tab moved end to end while another thread runs frames through the sink, as the
// camera's thread does.
#include "PanelFixture.h"

#include "effects/panels/WndAddFont.h"
#include "effects/panels/WndColorAdjust.h"
#include "effects/panels/WndInnerImg.h"
#include "effects/panels/WndSelectedEffect.h"
#include "effects/panels/WndSubVideoSpeEffect.h"
#include "ui/SkinTree.h"

#include <QLineEdit>
#include <QSlider>

#include <atomic>
#include <thread>

TEST_F(EffectPanelTest, SlidersListsAndBoxesWhileFramesRun)
{
    Settings.AdjustColor.Forbid = false;
    Settings.InnerImg.Close = false;
    Settings.InnerImg.FrontImg = home_.File("Effect/DoubleImage/star.jpg");
    Settings.AddFont.Close = false;
    Settings.AddFont.Content = "Korvel";
    sink_.ApplySavedEffectChoice();
    CWndSpeEffect& tab = BuildTab();

    std::atomic<bool> stop{false};
    std::atomic<int> frames{0};
    std::thread camera([&] {
        std::vector<uint8_t> frame(zendracam::kFrameBytes);
        while (!stop) {
            std::fill(frame.begin(), frame.end(), uint8_t(frames * 13));
            sink_.ProcessFrame(frame.data());
            ++frames;
        }
    });

    auto sweep = [&](CUIWnd* panel, int page) {
        tab.Control<CSkinTree>(4101)->SelectByData(page);
        ASSERT_TRUE(panel->isVisible());
        for (QSlider* slider : panel->findChildren<QSlider*>()) {
            slider->setFocus();
            for (Qt::Key key : {Qt::Key_End, Qt::Key_Home, Qt::Key_PageUp, Qt::Key_End, Qt::Key_Home}) {
                QTest::keyClick(slider, key);
                QCoreApplication::processEvents();
            }
        }
    };
    for (int round = 0; round < 3; ++round) {
        sweep(tab.ColorPanel(), 64);
        sweep(tab.PipPanel(), 128);
        sweep(tab.TextPanel(), 1024);
        QTest::keyClicks(tab.TextPanel()->Control<QLineEdit>(1066), " live");
        for (int32_t category : {EFFECT_CARTOON, EFFECT_FRAME, EFFECT_DOSSAL, EFFECT_LIGHT}) {
            tab.Control<CSkinTree>(4101)->SelectByData(category);
            CSkinThumbs* thumbs = tab.PicturePanel(category)->Control<CSkinThumbs>(4102);
            DoubleClickItem(thumbs, round % thumbs->PictureCount());
        }
        tab.Control<CSkinTree>(4101)->SelectByData(128);
        DoubleClickItem(tab.PipPanel()->Control<CSkinThumbs>(4112), round);
        tab.SelectedEffects()->SendCommand(1033);
    }
    const int during = frames;
    stop = true;
    camera.join();
    EXPECT_GT(during, 0);
    EXPECT_TRUE(sink_.SelectedEffects().empty());
}
