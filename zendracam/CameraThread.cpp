#include "zendracam/CameraThread.h"

#include "diag/ThreadSignalStack.h"

#include <pthread.h>

namespace zendracam {

std::thread StartCameraThread(const char* name, std::function<void()> body)
{
    return std::thread([name, body = std::move(body)] {
        UseOwnSignalStack();
        pthread_setname_np(pthread_self(), name);
        body();
    });
}

}  // namespace zendracam
