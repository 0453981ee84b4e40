#pragma once
#include "app/CommandLine.h"

// The exit code when another studio already runs for this user.
inline constexpr int kAnotherStudioRuns = 3;

// Runs the studio without windows: start-up, frames until a limit or SIGINT/SIGTERM, shut-down.
// Returns the process exit code.
int RunHeadlessStudio(int argc, char** argv, const StudioOptions& options);
