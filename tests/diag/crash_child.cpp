// A program that crashes on purpose, for the crash report tests:
//   crash_child null      dereferences a null pointer on the main thread
//   crash_child wait      prints "ready" and waits for a signal
//   crash_child two       two threads dereference null at the same moment
//   crash_child heap      with other threads running, overwrites the size of malloc's top chunk and
//                         allocates: glibc aborts inside malloc with its arena locked
//   crash_child overflow  a second thread overflows its stack
//   crash_child lookup    dereferences null, and the report's source-line lookup crashes as well
#include "diag/CrashHandler.h"
#include "diag/ThreadSignalStack.h"

#include <elfutils/libdwfl.h>

#include <dlfcn.h>
#include <malloc.h>
#include <unistd.h>

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <thread>

int* volatile nowhere = nullptr;
volatile bool crashInLookup = false;

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

// Stands in for libdw's line lookup, which the report calls: with `crashInLookup` it faults.
extern "C" Dwfl_Line* dwfl_module_getsrc(Dwfl_Module* module, Dwarf_Addr address)
{
    if (crashInLookup)
        CrashByNullPointer(nowhere);
    using Lookup = Dwfl_Line* (*)(Dwfl_Module*, Dwarf_Addr);
    static const auto real = reinterpret_cast<Lookup>(dlsym(RTLD_NEXT, "dwfl_module_getsrc"));
    return real ? real(module, address) : nullptr;
}

[[noreturn]] void Idle()
{
    UseOwnSignalStack();
    for (;;)
        pause();
}

// A block that malloc cut from the top chunk, the heap's unused end, whose size field follows the
// block's usable bytes.
__attribute__((noinline)) void CorruptTheTopChunkAndAllocate()
{
    for (size_t size = 100000; size < 120000; size += 4096) {
        char* block = static_cast<char*>(std::malloc(size));
        const size_t usable = malloc_usable_size(block);
        auto* topSize = reinterpret_cast<size_t*>(block + usable);
        const char* top = block + usable - sizeof(size_t);
        if ((*topSize & ~size_t(7)) != size_t(static_cast<char*>(sbrk(0)) - top))
            continue;  // not the last block of the heap
        *topSize = ~size_t(0) & ~size_t(6);
        std::printf("%p\n", std::malloc(100000));  // "malloc(): corrupted top size"
    }
}

__attribute__((noinline)) int Recurse(int depth)
{
    if (depth == INT_MAX)
        return 0;
    volatile char pad[1024];
    pad[0] = char(depth);
    return Recurse(depth + 1) + pad[0];
}

int main(int argc, char** argv)
{
    if (argc < 2 || !InstallCrashHandler())
        return 3;
    const char* mode = argv[1];
    if (!std::strcmp(mode, "null")) {
        CallTheCrash();
    } else if (!std::strcmp(mode, "wait")) {
        std::puts("ready");
        std::fflush(stdout);
        for (;;)
            pause();
    } else if (!std::strcmp(mode, "two")) {
        std::thread other(CallTheCrash);
        CallTheCrash();
        other.join();
    } else if (!std::strcmp(mode, "heap")) {
        std::thread(Idle).detach();
        std::thread(Idle).detach();
        CorruptTheTopChunkAndAllocate();
    } else if (!std::strcmp(mode, "overflow")) {
        std::thread deep([] {
            UseOwnSignalStack();
            std::printf("%d\n", Recurse(0));
        });
        deep.join();
    } else if (!std::strcmp(mode, "lookup")) {
        crashInLookup = true;
        CallTheCrash();
    }
    return 4;
}
