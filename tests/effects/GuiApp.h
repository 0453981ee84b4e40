#pragma once
// Fonts and text need a GUI application; tests that draw text make one, once for the program.
#include <QGuiApplication>

inline void EnsureGuiApplication()
{
    static int argc = 1;
    static char name[] = "test_effects";
    static char* argv[] = {name, nullptr};
    static QGuiApplication* app = new QGuiApplication(argc, argv);
    (void)app;
}
