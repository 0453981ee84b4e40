#pragma once
// A PipeWire daemon of the test's own: a session bus, pipewire and its session manager wireplumber,
// in fresh runtime, configuration and state folders, with every device monitor off so that it never
// reaches for the machine's sound cards or cameras. Everything stops when the object goes.
#include <QByteArray>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <functional>
#include <memory>
#include <vector>

class PrivatePipeWire {
public:
    PrivatePipeWire() = default;
    PrivatePipeWire(const PrivatePipeWire&) = delete;
    PrivatePipeWire& operator=(const PrivatePipeWire&) = delete;

    ~PrivatePipeWire()
    {
        Stop();
        if (usedHere_) {
            if (previousRuntime_.isNull())
                qunsetenv("XDG_RUNTIME_DIR");
            else
                qputenv("XDG_RUNTIME_DIR", previousRuntime_);
        }
    }

    // Starts the daemon; false, with the reason in `why`, when PipeWire cannot start on this machine.
    bool Start(QString* why)
    {
        for (const char* program : {"dbus-daemon", "pipewire", "wireplumber", "pw-dump"})
            if (QStandardPaths::findExecutable(program).isEmpty()) {
                *why = QString("%1 is not installed (scripts/setup installs it)").arg(program);
                return false;
            }
        if (!base_.isValid()) {
            *why = "no temporary folder";
            return false;
        }
        QDir(base_.path()).mkpath("config/wireplumber/main.lua.d");
        QDir(base_.path()).mkpath("config/wireplumber/bluetooth.lua.d");
        QDir(base_.path()).mkpath("state");
        WriteText("config/wireplumber/main.lua.d/60-private-daemon.lua",
                  "alsa_monitor.enabled = false\nv4l2_monitor.enabled = false\nlibcamera_monitor.enabled = false\n");
        WriteText("config/wireplumber/bluetooth.lua.d/60-private-daemon.lua", "bluez_monitor.enabled = false\n");

        env_ = QProcessEnvironment::systemEnvironment();
        for (const char* name : {"PIPEWIRE_REMOTE", "PIPEWIRE_RUNTIME_DIR", "PIPEWIRE_CONFIG_DIR", "DISPLAY"})
            env_.remove(name);
        env_.insert("XDG_RUNTIME_DIR", base_.path());  // QTemporaryDir is mode 0700, as a runtime folder is
        env_.insert("XDG_CONFIG_HOME", base_.filePath("config"));
        env_.insert("XDG_STATE_HOME", base_.filePath("state"));
        env_.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=" + base_.filePath("bus"));

        Launch("dbus-daemon", {"--session", "--nofork", "--nopidfile", "--address=unix:path=" + base_.filePath("bus")});
        if (!WaitFor([&] { return QFile::exists(base_.filePath("bus")); }, 10000)) {
            *why = "the session bus did not start: " + Log("dbus-daemon");
            return false;
        }
        Launch("pipewire", {});
        if (!WaitFor([&] { return QFile::exists(base_.filePath("pipewire-0")); }, 10000)) {
            *why = "pipewire did not start: " + Log("pipewire");
            return false;
        }
        Launch("wireplumber", {});
        // Ready once the session manager has shown up as a client.
        WaitFor([&] { return !Find("PipeWire:Interface:Client", "application.name", "WirePlumber").isEmpty(); }, 10000);
        return true;
    }

    // Ends wireplumber, pipewire and the bus, in that order.
    void Stop()
    {
        for (auto process = processes_.rbegin(); process != processes_.rend(); ++process) {
            (*process)->terminate();
            if (!(*process)->waitForFinished(3000))
                (*process)->kill();
            (*process)->waitForFinished(1000);
        }
        processes_.clear();
    }

    // True while the session manager still runs.
    bool SessionManagerRuns() const { return processes_.size() == 3 && processes_[2]->state() == QProcess::Running; }

    QProcessEnvironment Environment() const { return env_; }
    QString RuntimeDir() const { return base_.path(); }
    QString Log(const QString& program) const
    {
        QFile log(base_.filePath(program + ".log"));
        return log.open(QIODevice::ReadOnly) ? QString::fromUtf8(log.readAll().right(2000)) : QString();
    }

    // PipeWire clients of this process talk to this daemon from now on, until it goes.
    void UseInThisProcess()
    {
        if (!usedHere_)
            previousRuntime_ = qgetenv("XDG_RUNTIME_DIR");
        usedHere_ = true;
        qputenv("XDG_RUNTIME_DIR", base_.path().toUtf8());
    }

    // The first object of `type` whose property `key` is `value`, as pw-dump shows it; empty when none.
    QJsonObject Find(const QString& type, const QString& key, const QString& value) const
    {
        QProcess dump;
        dump.setProcessEnvironment(env_);
        dump.start("pw-dump", {});
        if (!dump.waitForFinished(10000))
            return {};
        for (const auto& entry : QJsonDocument::fromJson(dump.readAllStandardOutput()).array()) {
            const QJsonObject object = entry.toObject();
            if (object["type"].toString() == type && object["info"]["props"][key].toString() == value)
                return object;
        }
        return {};
    }

    // Waits up to `ms` for the node named `name`.
    QJsonObject WaitForNode(const QString& name, int ms) const
    {
        QJsonObject node;
        WaitFor([&] { return !(node = Find("PipeWire:Interface:Node", "node.name", name)).isEmpty(); }, ms);
        return node;
    }

    // Starts GStreamer's pipewiresrc on `node`, asking for 320×240 `format`: `frames` frames into
    // `file`, or with 0 frames for ever into nothing.
    std::unique_ptr<QProcess> StartConsumer(const QJsonObject& node, const QString& format, int frames = 0,
                                            const QString& file = {}) const
    {
        QStringList pipeline = {"-q", "pipewiresrc", "target-object=" + node["info"]["props"]["object.serial"].toVariant().toString()};
        if (frames > 0)
            pipeline << QString("num-buffers=%1").arg(frames);
        pipeline << "!" << "video/x-raw,format=" + format + ",width=320,height=240" << "!";
        pipeline << (frames > 0 ? QStringList{"filesink", "location=" + file} : QStringList{"fakesink"});
        auto consumer = std::make_unique<QProcess>();
        consumer->setProcessEnvironment(env_);
        consumer->start("gst-launch-1.0", pipeline);
        return consumer;
    }

    // The `frames` frames a consumer got in `format`, one after the other; empty, with the reason in
    // `why`, when it got none.
    QByteArray Receive(const QJsonObject& node, const QString& format, int frames, QString* why) const
    {
        const QString file = base_.filePath("received.raw");
        QFile::remove(file);
        const auto consumer = StartConsumer(node, format, frames, file);
        if (!consumer->waitForFinished(30000) || consumer->exitCode() != 0) {
            *why = "pipewiresrc: " + QString::fromUtf8(consumer->readAllStandardError()) + Log("wireplumber");
            return {};
        }
        QFile raw(file);
        return raw.open(QIODevice::ReadOnly) ? raw.readAll() : QByteArray();
    }

private:
    void WriteText(const QString& name, const QByteArray& text)
    {
        QFile file(base_.filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(text);
    }

    void Launch(const QString& program, const QStringList& arguments)
    {
        auto process = std::make_unique<QProcess>();
        process->setProcessEnvironment(env_);
        process->setStandardOutputFile(base_.filePath(program + ".log"));
        process->setProcessChannelMode(QProcess::MergedChannels);
        process->start(program, arguments);
        process->waitForStarted(5000);
        processes_.push_back(std::move(process));
    }

    static bool WaitFor(const std::function<bool()>& done, int ms)
    {
        QElapsedTimer timer;
        timer.start();
        while (!done()) {
            if (timer.elapsed() > ms)
                return false;
            QThread::msleep(50);
        }
        return true;
    }

    QTemporaryDir base_;
    QProcessEnvironment env_;
    std::vector<std::unique_ptr<QProcess>> processes_;
    bool usedHere_ = false;
    QByteArray previousRuntime_;
};
