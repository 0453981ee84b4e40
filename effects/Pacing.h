#pragma once
// The pauses the overlays take on the frame thread (text line 20 ms, picture-in-picture 30 ms). They
// pace the output and the per-frame movements, so they are behaviour; tests and benchmarks replace them
// to measure the work alone.

using PaceFunction = void (*)(int milliseconds);

// nullptr restores the real sleep.
void SetPaceFunction(PaceFunction pace);
void PaceFrame(int milliseconds);
