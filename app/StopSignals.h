#pragma once
// SIGTERM, SIGINT and SIGHUP (a kill, Ctrl+C, a closed terminal or a logout) end the program the normal
// way: the handler only notes the signal, and `onStop` runs in the event loop, where the shut-down may
// stop capture and save the settings.
#include <QObject>

#include <functional>

class QSocketNotifier;

class CStopSignals : public QObject {
public:
    explicit CStopSignals(std::function<void()> onStop);
    // The signals get their default handling back.
    ~CStopSignals() override;
    CStopSignals(const CStopSignals&) = delete;
    CStopSignals& operator=(const CStopSignals&) = delete;

    // Whether a stop signal has arrived since the object was made.
    bool Received() const { return received_; }

private:
    void OnSignalNoted();

    std::function<void()> onStop_;
    QSocketNotifier* notifier_ = nullptr;
    bool received_ = false;
};
