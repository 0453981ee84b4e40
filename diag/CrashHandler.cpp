#include "diag/CrashHandler.h"

#include "diag/LogManager.h"
#include "fileio/ProgramFolder.h"

#include <elfutils/libdwfl.h>
#include <execinfo.h>
#include <cxxabi.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cinttypes>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

namespace {

constexpr int kMaxFrames = 10;
constexpr size_t kMaxFunctionName = 1024;
constexpr size_t kMaxFileName = 260;
constexpr size_t kAltStackBytes = 64 * 1024;
// Symbol lookup needs far more stack than a signal stack gives (other threads may run the handler on a
// small one of the sanitizer's), so the report is written on a stack of its own; the handler's lock
// keeps it to one thread at a time.
constexpr size_t kReportStackBytes = 1024 * 1024;
constexpr int kWalkDepth = 64;
constexpr int kSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

struct CrashHandlerState {
    std::atomic_flag lock = ATOMIC_FLAG_INIT;  // a second crashing thread waits here
    Dwfl* dwfl = nullptr;
    std::string searchPath;
    char* searchPathPointer = nullptr;
    Dwfl_Callbacks callbacks{};
};

CrashHandlerState crash;
alignas(64) char altStack[kAltStackBytes];
alignas(64) char reportStack[kReportStackBytes];

// What the handler hands over to the report.
struct Fault {
    uint32_t code = 0;
    uintptr_t address = 0;
    void* frames[kWalkDepth];
    int frameCount = 0;
    ucontext_t handlerContext;
    ucontext_t reportContext;
};
Fault fault;

void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Log(const char* format, ...)
{
    va_list arguments;
    va_start(arguments, format);
    TheLogManager().PrintV(0, 0, format, arguments);
    va_end(arguments);
}

bool ReportModules(Dwfl* dwfl)
{
    dwfl_report_begin(dwfl);
    const bool ok = dwfl_linux_proc_report(dwfl, getpid()) == 0;
    return dwfl_report_end(dwfl, nullptr, nullptr) == 0 && ok;
}

Dwfl* OpenSymbols(char** searchPath)
{
    crash.callbacks.find_elf = dwfl_linux_proc_find_elf;
    crash.callbacks.find_debuginfo = dwfl_standard_find_debuginfo;
    crash.callbacks.debuginfo_path = searchPath;
    Dwfl* dwfl = dwfl_begin(&crash.callbacks);
    if (dwfl && !ReportModules(dwfl)) {
        dwfl_end(dwfl);
        dwfl = nullptr;
    }
    return dwfl;
}

struct Place {
    std::string module;
    std::string function;
    std::string file;
    int line = 0;
};

// Module, function and, where line information exists, file and line of one address.
bool Describe(uintptr_t address, Place& place)
{
    if (!crash.dwfl)
        return false;
    Dwfl_Module* module = dwfl_addrmodule(crash.dwfl, address);
    if (!module) {
        // A library loaded after start-up.
        dwfl_report_begin_add(crash.dwfl);
        dwfl_linux_proc_report(crash.dwfl, getpid());
        dwfl_report_end(crash.dwfl, nullptr, nullptr);
        module = dwfl_addrmodule(crash.dwfl, address);
    }
    if (!module)
        return false;
    const char* moduleName = dwfl_module_info(module, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    place.module = moduleName ? moduleName : "";
    const char* symbol = dwfl_module_addrname(module, address);
    if (!symbol)
        return false;
    int status = -1;
    char* demangled = abi::__cxa_demangle(symbol, nullptr, nullptr, &status);
    place.function.assign(status == 0 && demangled ? demangled : symbol);
    std::free(demangled);
    if (place.function.size() > kMaxFunctionName)
        place.function.resize(kMaxFunctionName);
    place.file.clear();
    place.line = 0;
    if (Dwfl_Line* line = dwfl_module_getsrc(module, address)) {
        int number = 0;
        if (const char* file = dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr)) {
            place.file.assign(file, std::min(std::strlen(file), kMaxFileName));
            place.line = number;
        }
    }
    return true;
}

void LogPlace(const Place& place)
{
    Log("地址描述:函数(%s),文件(%s)(%d)", place.function.c_str(), place.file.c_str(), place.line);
}

uintptr_t FaultingInstruction([[maybe_unused]] const siginfo_t* info, const void* context)
{
    const auto* uc = static_cast<const ucontext_t*>(context);
#if defined(__x86_64__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__i386__)
    return uintptr_t(uc->uc_mcontext.gregs[REG_EIP]);
#elif defined(__aarch64__)
    return uintptr_t(uc->uc_mcontext.pc);
#else
    (void)uc;
    return uintptr_t(info->si_addr);
#endif
}

void LogStack(void* const* frames, int count, uintptr_t faultPc)
{
    // The walk starts at the interrupted instruction; the frames above it are this handler's.
    int first = 0;
    while (first < count && uintptr_t(frames[first]) != faultPc)
        ++first;
    if (first == count)
        first = count > 2 ? 2 : count;
    std::string previousModule;
    for (int i = first; i < count && i < first + kMaxFrames; ++i) {
        const uintptr_t pc = uintptr_t(frames[i]);
        if (pc == 0)
            break;
        // Return addresses point after the call; its line is the one before.
        Place place;
        if (!Describe(i == first ? pc : pc - 1, place))
            continue;
        if (place.module != previousModule)
            Log("调用模块:%s", place.module.c_str());
        previousModule = place.module;
        Log("调用地址:0x%" PRIXPTR, pc);
        LogPlace(place);
    }
}

void WriteReport()
{
    Log("程序发生异常:类型: 0x%x  地址: 0x%" PRIxPTR, fault.code, fault.address);
    Place place;
    Describe(fault.address, place);
    LogPlace(place);
    Log("调用堆栈:");
    LogStack(fault.frames, fault.frameCount, fault.address);
    Log("强制程序退出");
}

extern "C" void OnCrash(int signal, siginfo_t* info, void* context)
{
    while (crash.lock.test_and_set(std::memory_order_acquire)) {
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    fault.code = WindowsExceptionCode(signal, info->si_code);
    fault.address = FaultingInstruction(info, context);
    // The stack is walked here, where the interrupted frames are reachable; the rest runs on the
    // report stack.
    fault.frameCount = backtrace(fault.frames, kWalkDepth);
    if (getcontext(&fault.reportContext) == 0) {
        fault.reportContext.uc_stack.ss_sp = reportStack;
        fault.reportContext.uc_stack.ss_size = sizeof reportStack;
        fault.reportContext.uc_link = &fault.handlerContext;
        makecontext(&fault.reportContext, WriteReport, 0);
        if (swapcontext(&fault.handlerContext, &fault.reportContext) != 0)
            WriteReport();
    }
    crash.lock.clear(std::memory_order_release);
    const timespec wait{0, 200 * 1000 * 1000};
    nanosleep(&wait, nullptr);
    _exit(0);
}

}  // namespace

uint32_t WindowsExceptionCode(int signal, int code)
{
    switch (signal) {
    case SIGSEGV:
    case SIGBUS: return 0xC0000005;  // access violation
    case SIGILL: return code == ILL_PRVOPC || code == ILL_PRVREG ? 0xC0000096 : 0xC000001D;
    case SIGFPE:
        switch (code) {
        case FPE_INTDIV: return 0xC0000094;
        case FPE_INTOVF: return 0xC0000095;
        case FPE_FLTDIV: return 0xC000008E;
        case FPE_FLTOVF: return 0xC0000091;
        case FPE_FLTUND: return 0xC0000093;
        case FPE_FLTRES: return 0xC000008F;
        case FPE_FLTSUB: return 0xC000008C;  // array bounds exceeded
        default: return 0xC0000090;          // invalid floating-point operation
        }
    case SIGABRT: return 0x40000015;  // fatal application exit
    default: return 0xE0000000u | uint32_t(signal);
    }
}

bool InstallCrashHandler()
{
    TheLogManager();  // the log file is open before anything can crash
    if (!crash.dwfl) {
        crash.searchPath = ProgramFolder();
        crash.searchPathPointer = crash.searchPath.data();
        crash.dwfl = OpenSymbols(&crash.searchPathPointer);
        if (!crash.dwfl) {
            Log("无法在当前模块路径找到PDB文件，尝试进行目录搜索");
            crash.dwfl = OpenSymbols(nullptr);
            if (!crash.dwfl)
                Log("无法到PDB文件");
        }
    }
    // Loads the unwinder now rather than inside the handler.
    void* warmUp[4];
    backtrace(warmUp, 4);

    stack_t stack{};
    stack.ss_sp = altStack;
    stack.ss_size = sizeof altStack;
    if (sigaltstack(&stack, nullptr) != 0)
        return false;
    struct sigaction action{};
    action.sa_sigaction = OnCrash;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    bool ok = true;
    for (int signal : kSignals)
        ok = sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}
