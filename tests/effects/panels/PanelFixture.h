#pragma once
// The effects tab's panels over a real frame sink, in a program folder with the shipped skin and effect
// pictures; frames are run through the sink by hand, without the overlays' pauses.
#include "effects/PacingRecorder.h"
#include "effects/panels/EffectPictureList.h"
#include "effects/panels/WndSpeEffect.h"
#include "pipeline/CaptureScr.h"
#include "support/EventLoop.h"
#include "ui/ShellFixture.h"
#include "ui/SkinResources.h"
#include "ui/SkinThumbs.h"

#include <QApplication>
#include <QLabel>
#include <QListWidget>
#include <QMouseEvent>
#include <QTest>

#include <memory>
#include <string>
#include <vector>

inline bool WaitListed(CEffectPictureList& pictures)
{
    return ProcessEventsUntil([&] { return !pictures.Listing(); });
}

// A double click on a thumbnail item with the events the window system sends.
inline void DoubleClickItem(CSkinThumbs* thumbs, int index)
{
    const QPoint at = thumbs->visualItemRect(thumbs->item(index)).center();
    QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, {}, at);
    QMouseEvent doubleClick(QEvent::MouseButtonDblClick, at, thumbs->viewport()->mapToGlobal(at), Qt::LeftButton,
                            Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(thumbs->viewport(), &doubleClick);
    QTest::mouseRelease(thumbs->viewport(), Qt::LeftButton, {}, at);
}

// The index of the thumbnail item with this name; -1 when there is none.
inline int ItemNamed(CSkinThumbs* thumbs, const QString& name)
{
    for (int i = 0; i < thumbs->PictureCount(); ++i)
        if (thumbs->PictureName(i) == name)
            return i;
    return -1;
}

inline std::vector<std::string> ListTexts(QListWidget* list)
{
    std::vector<std::string> texts;
    for (int i = 0; i < list->count(); ++i)
        texts.push_back(list->item(i)->text().toStdString());
    return texts;
}

class EffectPanelTest : public ShellTest {
protected:
    void SetUp() override
    {
        ShellTest::SetUp();
        CaptureSink = &sink_;
    }
    void TearDown() override
    {
        tab_.reset();
        CaptureSink = nullptr;
        ShellTest::TearDown();
    }

    // The effects tab, shown, with every folder listed.
    CWndSpeEffect& BuildTab();

    // One frame of `fill` through the sink's steps.
    std::vector<uint8_t> RunFrame(uint8_t fill = 100)
    {
        std::vector<uint8_t> frame(zendracam::kFrameBytes, fill);
        sink_.ProcessFrame(frame.data());
        return frame;
    }

    std::vector<std::string> LayerPaths() const
    {
        std::vector<std::string> paths;
        for (const LayerInfo& layer : sink_.Layers())
            paths.push_back(layer.Path);
        return paths;
    }

    std::string Folder(int32_t category) const;

    PacingRecorder pacing_;
    CCaptureScr sink_;
    std::unique_ptr<CWndSpeEffect> tab_;
};
