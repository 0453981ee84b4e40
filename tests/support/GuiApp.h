#pragma once
// Text drawing needs a QGuiApplication; tests make one (offscreen) for the whole program.
#include <QGuiApplication>

inline QGuiApplication& GuiApp()
{
    static int argc = 1;
    static char name[] = "test";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(argc, argv);
    return app;
}
