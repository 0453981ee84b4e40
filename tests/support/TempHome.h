#pragma once
// A fresh program folder for one test: KORVEL_HOME points at a new temporary folder, removed afterwards.
// XDG_RUNTIME_DIR points at a private folder of its own too, so that the single-instance lock, the
// virtual camera's frame area and the PipeWire connection of the code under test never meet those of
// a Korvel the user is running.
#include <QByteArray>
#include <QTemporaryDir>

#include <string>

class TempHome {
public:
    TempHome() : previous_(qgetenv("KORVEL_HOME")), previousRuntime_(qgetenv("XDG_RUNTIME_DIR"))
    {
        qputenv("KORVEL_HOME", dir_.path().toUtf8());
        qputenv("XDG_RUNTIME_DIR", runtime_.path().toUtf8());
    }
    ~TempHome()
    {
        Restore("KORVEL_HOME", previous_);
        Restore("XDG_RUNTIME_DIR", previousRuntime_);
    }
    TempHome(const TempHome&) = delete;
    TempHome& operator=(const TempHome&) = delete;

    std::string Path() const { return dir_.path().toStdString(); }
    std::string File(const std::string& name) const { return Path() + "/" + name; }
    std::string RuntimePath() const { return runtime_.path().toStdString(); }

private:
    static void Restore(const char* name, const QByteArray& value)
    {
        if (value.isEmpty())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    QByteArray previous_;
    QByteArray previousRuntime_;
    QTemporaryDir dir_;
    QTemporaryDir runtime_;  // made with mode 0700, as a runtime folder is
};
