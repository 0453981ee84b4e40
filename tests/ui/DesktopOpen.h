#pragma once
// Receives the files a window asks the desktop to open, instead of the desktop.
#include <QDesktopServices>
#include <QObject>
#include <QString>
#include <QUrl>

#include <vector>

class DesktopOpen : public QObject {
    Q_OBJECT
public:
    DesktopOpen() { QDesktopServices::setUrlHandler("file", this, "Open"); }
    ~DesktopOpen() override { QDesktopServices::unsetUrlHandler("file"); }
    std::vector<QString> opened;  // local paths, in order

public slots:
    void Open(const QUrl& url) { opened.push_back(url.toLocalFile()); }
};
