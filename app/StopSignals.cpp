#include "app/StopSignals.h"

#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kStopSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The handler's end of the pipe is written from the signal handler, the other end read by the loop.
int notePipe[2] = {-1, -1};

extern "C" void NoteStopSignal(int)
{
    const int saved = errno;
    const char byte = 1;
    // A full pipe already holds a note; nothing is lost.
    [[maybe_unused]] const ssize_t written = ::write(notePipe[1], &byte, 1);
    errno = saved;
}

}  // namespace

CStopSignals::CStopSignals(std::function<void()> onStop) : onStop_(std::move(onStop))
{
    if (::pipe2(notePipe, O_CLOEXEC | O_NONBLOCK) != 0)
        return;
    notifier_ = new QSocketNotifier(notePipe[0], QSocketNotifier::Read, this);
    connect(notifier_, &QSocketNotifier::activated, this, [this] { OnSignalNoted(); });
    struct sigaction action {};
    action.sa_handler = NoteStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int signal : kStopSignals)
        sigaction(signal, &action, nullptr);
}

CStopSignals::~CStopSignals()
{
    for (int signal : kStopSignals)
        std::signal(signal, SIG_DFL);
    delete notifier_;
    for (int& fd : notePipe) {
        if (fd >= 0)
            ::close(fd);
        fd = -1;
    }
}

void CStopSignals::OnSignalNoted()
{
    char bytes[16];
    while (::read(notePipe[0], bytes, sizeof bytes) > 0) {
    }
    if (received_)
        return;
    received_ = true;
    if (onStop_)
        onStop_();
}
