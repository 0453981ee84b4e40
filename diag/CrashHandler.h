#pragma once
// The crash report: on SIGSEGV, SIGBUS, SIGFPE, SIGILL or SIGABRT the handler writes the exception, the
// faulting function and source line and up to ten stack frames to ImportantError.log, then ends the
// process with exit code 0 after 200 ms. Access violations carry the Windows code 0xC0000005, other
// signals the matching Windows exception codes, so that reports read alike across platforms.
#include <csignal>
#include <cstdint>

// Sets up symbols and an alternate signal stack and installs the handler; call it early on the main
// thread, after any sanitizer runtime has set up its own handlers. Returns false when the handler could
// not be installed.
bool InstallCrashHandler();

// The Windows exception code for a signal and its si_code.
uint32_t WindowsExceptionCode(int signal, int code);
