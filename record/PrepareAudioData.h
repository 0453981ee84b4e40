#pragma once
// The microphone side of a recording: two one-second capture buffers alternate on the wave input, each
// completed block, stamped with the time it was complete, reaches the writer on the thread this object
// lives on (the user-interface thread), and the recorder's frames go to the same writer from its
// writer thread.
#include "record/WaveInDevice.h"
#include "record/WmvWriter.h"

#include <QObject>

#include <atomic>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

// B, G, R per pixel in; B, G, R, 0 out, in the same order.
void WidenTo32Bits(const uint8_t* bgr, size_t pixels, uint8_t* bgr0);

class CPrepareAudioData : public QObject {
public:
    static constexpr uint32_t kBlockBytes = 88200;  // one second at 22050 Hz, 16 bits, 2 channels
    static constexpr int MM_WIM_DATA = 0x3C0;       // a capture buffer is full

    explicit CPrepareAudioData(std::unique_ptr<IWaveInDevice> device, FileTimeClock clock = SystemFileTime);
    ~CPrepareAudioData() override;

    // Buffers, the microphone and the file path; 1 on success, 0 when the microphone is not usable.
    int Open(const std::string& path);
    void StartRecording();
    void StopRecording();
    void CloseInput();
    void Free();
    // A 24-bit frame (width × height × 3 bytes) is widened to 32 bits; a 32-bit frame goes as it is.
    // `capturedAt` is on the writer's clock. Returns the writer's result (WMV_S_OK while paused).
    WmvResult WriteFrame(const uint8_t* pixels, int width, int height, size_t size, int64_t capturedAt);

    // Sound blocks that reached this object from the microphone (paused ones included).
    int ReceivedBlocks() const { return received_; }
    int Overruns() const { return device_->Overruns(); }

    std::atomic<int> paused{1};

protected:
    bool event(QEvent* event) override;

private:
    void ReadBlocks(unsigned generation);
    void OnBlock(int index, unsigned generation, int64_t endedAt);

    std::unique_ptr<IWaveInDevice> device_;
    std::vector<uint8_t> copyBlock_;
    std::unique_ptr<uint8_t[]> capture_[2];
    WaveFormat format_;
    std::string path_;
    const FileTimeClock clock_;
    CWmvWriter writer_;
    std::vector<uint8_t> widened_;  // the writer thread's 32-bit frame

    bool inputOpen_ = false;
    std::thread reader_;
    std::mutex queueLock_;  // the buffers queued to the device
    std::condition_variable queued_;
    std::deque<int> queue_;
    bool stopReading_ = false;
    std::atomic<unsigned> generation_{0};  // blocks from an earlier opening are ignored
    int received_ = 0;
};
