#pragma once
// The windowed program: start-up in its order, the event loop, shut-down.
class QApplication;

// Sets what the embedded browser needs before the application object exists (run as root it needs
// its sandbox off; without a GPU it draws in software).
void PrepareGuiEnvironment();

// Runs Korvel with windows on an existing application object; returns the process exit code.
int RunKorvelApp(QApplication& app);
