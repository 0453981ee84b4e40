#pragma once
// Starts tests/net/fixture_http_server.py on 127.0.0.1 and stops it again.
#include <QProcess>
#include <QStringList>

#include <cstdlib>
#include <string>

class FixtureServer {
public:
    explicit FixtureServer(const std::string& staticFolder = {})
    {
        // Loopback only, never through a proxy.
        for (const char* name : {"http_proxy", "https_proxy", "HTTP_PROXY", "HTTPS_PROXY", "ALL_PROXY", "all_proxy"})
            unsetenv(name);
        QStringList args{QStringLiteral(KORVEL_TEST_FIXTURES "/fixture_http_server.py")};
        if (!staticFolder.empty())
            args << QString::fromStdString(staticFolder);
        process_.start(QStringLiteral("/usr/bin/python3"), args);
        if (process_.waitForStarted(10000) && process_.waitForReadyRead(10000))
            port_ = process_.readLine().trimmed().toInt();
    }
    ~FixtureServer()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }
    int Port() const { return port_; }
    std::string Url(const std::string& path) const
    {
        return "http://127.0.0.1:" + std::to_string(port_) + path;
    }

private:
    QProcess process_;
    int port_ = 0;
};
