#include "diag/PlainMessageBox.h"

#include <cstdio>
#include <mutex>

namespace {

std::mutex handlerLock;
PlainMessageHandler& Handler()
{
    static PlainMessageHandler handler;
    return handler;
}

}  // namespace

void ShowPlainMessage(const std::string& text)
{
    PlainMessageHandler handler;
    {
        std::lock_guard<std::mutex> hold(handlerLock);
        handler = Handler();
    }
    if (handler)
        handler(text);
    else
        std::fprintf(stderr, "\a%s\n", text.c_str());
}

PlainMessageHandler SetPlainMessageHandler(PlainMessageHandler handler)
{
    std::lock_guard<std::mutex> hold(handlerLock);
    PlainMessageHandler previous = std::move(Handler());
    Handler() = std::move(handler);
    return previous;
}
