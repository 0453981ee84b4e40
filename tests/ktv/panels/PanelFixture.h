#pragma once
// A program folder with the shipped skin, sounds, sample songs and demo catalogue, fresh settings, a
// frame sink as CaptureSink (no camera started) and a stand-in for the main window that keeps the
// window messages the panels send it.
#include "pipeline/CaptureScr.h"
#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "settings/WindowMessages.h"
#include "ui/ShellFixture.h"

#include <QProcess>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <vector>

struct SentMessage {
    int message;
    uintptr_t wParam;
    std::any payload;
};

// The main window as the panels see it: the top-level window their messages go to.
class MainWindowStandIn : public QWidget {
public:
    std::vector<SentMessage> sent;
    // Messages of one number, in order.
    std::vector<SentMessage> Sent(int message) const
    {
        std::vector<SentMessage> found;
        for (const SentMessage& m : sent)
            if (m.message == message)
                found.push_back(m);
        return found;
    }
    // Whatever else it does with a message (forwarding it, as the main window does).
    std::function<void(CWindowMessage&)> onMessage;

protected:
    bool event(QEvent* event) override
    {
        if (auto* message = dynamic_cast<CWindowMessage*>(event)) {
            sent.push_back({message->Message(), message->wParam, message->payload});
            if (onMessage)
                onMessage(*message);
            return true;
        }
        return QWidget::event(event);
    }
};

class PanelTest : public testing::Test {
protected:
    void SetUp() override
    {
        CopyShippedSkin(home_.Path());
        for (const char* folder : {"Sound", "DownLoad", "KtvDemo"})
            QProcess::execute("cp", {"-r", QString(KORVEL_SOURCE_DIR "/assets/") + folder,
                                     QString::fromStdString(home_.Path())});
        ASSERT_TRUE(SetUiSkinFile(QString::fromStdString(home_.File("Skins/Korvel/the.ui"))));
        Settings = SettingsRecord{};
        ActiveIni = ActiveLinks{};
        Settings.SavePath.RecordPath = home_.File("Record");
        Settings.SavePath.MyPhotoPath = home_.File("Photo");
        sink_ = std::make_unique<CCaptureScr>();
        CaptureSink = sink_.get();
        host_ = std::make_unique<MainWindowStandIn>();
        host_->resize(900, 620);
    }
    void TearDown() override
    {
        // Panels go before the sink they call, as in the main window.
        host_.reset();
        CaptureSink = nullptr;
        sink_.reset();
        ReleaseUiSkin();
    }

    // A panel of type T inside the stand-in, created from the skin and shown.
    template <class T>
    T* MakePanel()
    {
        auto* panel = new T(host_.get());
        if (!panel->Create()) {
            delete panel;
            return nullptr;
        }
        panel->show();
        host_->show();
        return panel;
    }

    TempHome home_;
    std::unique_ptr<CCaptureScr> sink_;
    std::unique_ptr<MainWindowStandIn> host_;
};
