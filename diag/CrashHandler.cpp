#include "diag/CrashHandler.h"

#include "diag/LogManager.h"
#include "diag/MappedModules.h"
#include "diag/SignalSafeLine.h"
#include "diag/ThreadSignalStack.h"
#include "fileio/ProgramFolder.h"

#include <elfutils/libdwfl.h>
#include <execinfo.h>
#include <cxxabi.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>

// The report comes in two parts. The first (the exception, its address and the raw stack with the
// files it runs in) is written with write() alone, because the crash may have come while another part
// of the process, or this very thread, held the allocator's lock. The second (functions, files and
// lines) needs libdw, which allocates; it runs under a watchdog that ends the process with the
// report's last line when it does not finish in time.

namespace {

constexpr int kMaxFrames = 10;
constexpr size_t kMaxFunctionName = 1024;
constexpr size_t kMaxFileName = 260;
// Symbol lookup needs far more stack than a signal stack gives, so the second part runs on a stack of
// its own; only one thread at a time writes a report.
constexpr size_t kReportStackBytes = 1024 * 1024;
constexpr int kWalkDepth = 64;
constexpr unsigned kWatchdogSeconds = 2;
constexpr int kCrashSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};
constexpr const char* kLastLine = "强制程序退出";

struct CrashHandlerState {
    std::atomic<pid_t> reporter{0};  // the thread writing the report; others wait for the end
    int logFile = -1;
    long utcOffset = 0;  // seconds, taken at installation (localtime is not for signal handlers)
    Dwfl* dwfl = nullptr;
    std::string searchPath;
    char* searchPathPointer = nullptr;
    Dwfl_Callbacks callbacks{};
};

CrashHandlerState crash;
alignas(64) char reportStack[kReportStackBytes];

// What the handler hands over to the report; one reporter at a time.
struct Fault {
    uint32_t code = 0;
    uintptr_t address = 0;
    void* walk[kWalkDepth];
    uintptr_t frames[kMaxFrames];  // from the interrupted instruction outwards
    int frameCount = 0;
    MappedPlace places[kMaxFrames];
    ucontext_t handlerContext;
    ucontext_t reportContext;
};
Fault fault;
CSignalSafeLine line;  // the reporter's

CSignalSafeLine& StartLine(CSignalSafeLine& text)
{
    text = CSignalSafeLine{};
    return text.AddTimePrefix(crash.utcOffset);
}

[[noreturn]] void EndProcess()
{
    CSignalSafeLine last;
    StartLine(last).Add(kLastLine).WriteTo(crash.logFile);
    const timespec wait{0, 200 * 1000 * 1000};
    nanosleep(&wait, nullptr);
    _exit(0);
}

extern "C" void OnWatchdog(int)
{
    EndProcess();
}

// The second part may take the allocator's lock that the crash left taken; the watchdog ends it. A
// fault inside it comes back to the handler, which ends the process at once.
void StartWatchdog()
{
    struct sigaction action{};
    action.sa_handler = OnWatchdog;
    action.sa_flags = SA_ONSTACK;
    sigfillset(&action.sa_mask);
    sigaction(SIGALRM, &action, nullptr);
    sigset_t wanted;
    sigemptyset(&wanted);
    sigaddset(&wanted, SIGALRM);
    for (int signal : kCrashSignals)
        sigaddset(&wanted, signal);
    pthread_sigmask(SIG_UNBLOCK, &wanted, nullptr);
    alarm(kWatchdogSeconds);
}

// ---- the first part: write() only ----

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

// The walk starts inside this handler; the report's stack starts at the interrupted instruction.
void KeepInterruptedFrames(int walked)
{
    int first = 0;
    while (first < walked && uintptr_t(fault.walk[first]) != fault.address)
        ++first;
    if (first == walked)
        first = walked > 2 ? 2 : walked;
    fault.frameCount = 0;
    for (int i = first; i < walked && fault.frameCount < kMaxFrames && fault.walk[i]; ++i)
        fault.frames[fault.frameCount++] = uintptr_t(fault.walk[i]);
}

void WriteRawReport()
{
    StartLine(line).Add("程序发生异常:类型: 0x").AddHex(fault.code, false).Add("  地址: 0x");
    line.AddHex(fault.address, false).WriteTo(crash.logFile);
    // The unwinder was loaded at installation; walking takes no lock and allocates nothing.
    KeepInterruptedFrames(backtrace(fault.walk, kWalkDepth));
    FindMappedPlaces(fault.frames, fault.frameCount, fault.places);
    for (int i = 0; i < fault.frameCount; ++i) {
        StartLine(line).Add("调用地址:0x").AddHex(fault.frames[i], true);
        if (fault.places[i].path[0])
            line.Add(" ").Add(fault.places[i].path).Add("+0x").AddHex(fault.places[i].fileOffset, true);
        line.WriteTo(crash.logFile);
    }
}

// ---- the second part: symbols and lines, under the watchdog ----

struct Place {
    std::string module;
    std::string function;
    std::string file;
    int line = 0;
};

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
    if (Dwfl_Line* source = dwfl_module_getsrc(module, address)) {
        int number = 0;
        if (const char* file = dwfl_lineinfo(source, nullptr, &number, nullptr, nullptr, nullptr)) {
            place.file.assign(file, std::min(std::strlen(file), kMaxFileName));
            place.line = number;
        }
    }
    return true;
}

void WritePlace(const Place& place)
{
    StartLine(line).Add("地址描述:函数(").Add(place.function.c_str()).Add("),文件(").Add(place.file.c_str());
    line.Add(")(").AddDecimal(place.line).Add(")").WriteTo(crash.logFile);
}

void WriteDescribedStack()
{
    StartLine(line).Add("调用堆栈:").WriteTo(crash.logFile);
    std::string previousModule;
    for (int i = 0; i < fault.frameCount; ++i) {
        const uintptr_t pc = fault.frames[i];
        // Return addresses point after the call; its line is the one before.
        Place place;
        if (!Describe(i == 0 ? pc : pc - 1, place))
            continue;
        if (place.module != previousModule)
            StartLine(line).Add("调用模块:").Add(place.module.c_str()).WriteTo(crash.logFile);
        previousModule = place.module;
        StartLine(line).Add("调用地址:0x").AddHex(pc, true).WriteTo(crash.logFile);
        WritePlace(place);
    }
}

void WriteDescriptions()
{
    StartWatchdog();
    Place place;
    Describe(fault.address, place);
    WritePlace(place);
    WriteDescribedStack();
    alarm(0);
}

pid_t CurrentThread()
{
    return pid_t(gettid());
}

extern "C" void OnCrash(int signal, siginfo_t* info, void* context)
{
    const pid_t self = CurrentThread();
    if (crash.reporter.load() == self)
        EndProcess();  // a second crash while reporting: what the report has is all it gets
    pid_t nobody = 0;
    while (!crash.reporter.compare_exchange_strong(nobody, self)) {
        // Another thread reports; it ends the process, and its watchdog sees that it does.
        nobody = 0;
        const timespec pause{0, 10 * 1000 * 1000};
        nanosleep(&pause, nullptr);
    }
    fault.code = WindowsExceptionCode(signal, info->si_code);
    fault.address = FaultingInstruction(info, context);
    WriteRawReport();
    if (getcontext(&fault.reportContext) == 0) {
        fault.reportContext.uc_stack.ss_sp = reportStack;
        fault.reportContext.uc_stack.ss_size = sizeof reportStack;
        fault.reportContext.uc_link = &fault.handlerContext;
        makecontext(&fault.reportContext, WriteDescriptions, 0);
        if (swapcontext(&fault.handlerContext, &fault.reportContext) != 0)
            WriteDescriptions();
    }
    EndProcess();
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
    // The log file is open before anything can crash.
    crash.logFile = TheLogManager().Printer()->FileDescriptor();
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    if (localtime_r(&now, &local))
        crash.utcOffset = local.tm_gmtoff;
    if (!crash.dwfl) {
        crash.searchPath = ProgramFolder();
        crash.searchPathPointer = crash.searchPath.data();
        crash.dwfl = OpenSymbols(&crash.searchPathPointer);
        if (!crash.dwfl) {
            TheLogManager().Print(0, 0, "无法在当前模块路径找到PDB文件，尝试进行目录搜索");
            crash.dwfl = OpenSymbols(nullptr);
            if (!crash.dwfl)
                TheLogManager().Print(0, 0, "无法到PDB文件");
        }
    }
    // Loads the unwinder now rather than inside the handler.
    void* warmUp[4];
    backtrace(warmUp, 4);

    UseOwnSignalStack();
    struct sigaction action{};
    action.sa_sigaction = OnCrash;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    // No crash signal interrupts the report's first part; the second unblocks them again, so that a
    // crash inside the symbol lookup ends the process at once instead of waiting for the watchdog.
    sigemptyset(&action.sa_mask);
    for (int signal : kCrashSignals)
        sigaddset(&action.sa_mask, signal);
    bool ok = true;
    for (int signal : kCrashSignals)
        ok = sigaction(signal, &action, nullptr) == 0 && ok;
    return ok;
}
