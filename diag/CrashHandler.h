#pragma once
// The crash report: on SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT the handler writes the exception and
// up to ten raw stack frames with their files to ImportantError.log, then the faulting function and
// source line and the described stack, then "强制程序退出", and ends the process with exit code 0 after
// 200 ms. The descriptions get two seconds; a second crash while reporting ends the process at once.
// Access violations carry the Windows code 0xC0000005, other signals the matching Windows exception
// codes, so that reports read alike across platforms.
#include <csignal>
#include <cstdint>

// Sets up symbols and the calling thread's signal stack and installs the handler; call it early on the
// main thread, after any sanitizer runtime has set up its own handlers. Every other thread calls
// UseOwnSignalStack (diag/ThreadSignalStack.h) when it starts. Returns false when the handler could not
// be installed.
bool InstallCrashHandler();

// The Windows exception code for a signal and its si_code.
uint32_t WindowsExceptionCode(int signal, int code);
