#pragma once
// A signal stack of the calling thread's own. A stack overflow leaves no room on the thread's stack
// for the crash report, and signal stacks are per thread: every thread the program starts calls
// this first. The stack is given back when the thread ends. Calling it again on the same thread does
// nothing.
void UseOwnSignalStack();
