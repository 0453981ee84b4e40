#include "diag/ThreadSignalStack.h"

#include <csignal>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// The crash report switches to a stack of its own for the symbol lookup; this one only has to hold
// the handler's first part.
constexpr size_t kStackBytes = 64 * 1024;

class CThreadSignalStack {
public:
    CThreadSignalStack()
    {
        // A guard page below the stack, so that a handler overrunning it faults instead of writing
        // into whatever lies below.
        const size_t page = size_t(sysconf(_SC_PAGESIZE));
        void* area = mmap(nullptr, kStackBytes + page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_STACK,
                          -1, 0);
        if (area == MAP_FAILED)
            return;
        mprotect(area, page, PROT_NONE);
        stack_t stack{};
        stack.ss_sp = static_cast<char*>(area) + page;
        stack.ss_size = kStackBytes;
        if (sigaltstack(&stack, &previous_) != 0) {
            munmap(area, kStackBytes + page);
            return;
        }
        area_ = area;
        areaBytes_ = kStackBytes + page;
    }

    ~CThreadSignalStack()
    {
        if (!area_)
            return;
        // Whatever stack the thread had before (a sanitizer's, which it frees itself) comes back.
        stack_t restore = previous_;
        if (restore.ss_flags & SS_DISABLE) {
            restore = stack_t{};
            restore.ss_flags = SS_DISABLE;
        }
        if (sigaltstack(&restore, nullptr) == 0)
            munmap(area_, areaBytes_);
    }

    CThreadSignalStack(const CThreadSignalStack&) = delete;
    CThreadSignalStack& operator=(const CThreadSignalStack&) = delete;

private:
    void* area_ = nullptr;
    size_t areaBytes_ = 0;
    stack_t previous_{};
};

}  // namespace

void UseOwnSignalStack()
{
    thread_local CThreadSignalStack stack;
}
