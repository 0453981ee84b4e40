// A program that crashes on purpose, for the crash report tests:
//   crash_child null   dereferences a null pointer on the main thread
//   crash_child wait   prints "ready" and waits for a signal
//   crash_child two    two threads dereference null at the same moment
#include "diag/CrashHandler.h"

#include <cstdio>
#include <cstring>
#include <thread>
#include <unistd.h>

int* volatile nowhere = nullptr;

// The null check of the sanitizer would stop the program before the fault; the fault is the point.
__attribute__((noinline, no_sanitize("undefined"))) void CrashByNullPointer(int* target)
{
    *target = 42;  // the faulting line
}

__attribute__((noinline)) void CallTheCrash()
{
    CrashByNullPointer(nowhere);
    std::puts("not reached");
}

int main(int argc, char** argv)
{
    if (argc < 2 || !InstallCrashHandler())
        return 3;
    if (!std::strcmp(argv[1], "null")) {
        CallTheCrash();
    } else if (!std::strcmp(argv[1], "wait")) {
        std::puts("ready");
        std::fflush(stdout);
        for (;;)
            pause();
    } else if (!std::strcmp(argv[1], "two")) {
        std::thread other(CallTheCrash);
        CallTheCrash();
        other.join();
    }
    return 4;
}
