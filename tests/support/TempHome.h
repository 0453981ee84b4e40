#pragma once
// A fresh program folder for one test: KORVEL_HOME points at a new temporary folder, removed afterwards.
#include <QByteArray>
#include <QTemporaryDir>

#include <string>

class TempHome {
public:
    TempHome() : previous_(qgetenv("KORVEL_HOME")) { qputenv("KORVEL_HOME", dir_.path().toUtf8()); }
    ~TempHome()
    {
        if (previous_.isEmpty())
            qunsetenv("KORVEL_HOME");
        else
            qputenv("KORVEL_HOME", previous_);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    std::string Path() const { return dir_.path().toStdString(); }
    std::string File(const std::string& name) const { return Path() + "/" + name; }

private:
    QByteArray previous_;
    QTemporaryDir dir_;
};
