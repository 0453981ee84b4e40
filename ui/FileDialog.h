#pragma once
// The open-file dialog. Filters are given as the Windows programs write them:
// "text|patterns|text|patterns||", the patterns of one entry separated by ";", e.g.
// "图片文件(*.bmp;*.jpg;*.gif)|*.bmp;*.jpg;*.gif|所有文件(*.*)|*.*||". Paths come back as UTF-8.
#include <QString>
#include <QStringList>

#include <functional>
#include <string>
#include <vector>

class QWidget;

// The Windows filter as Qt name filters, one per entry: "text (pattern pattern)". A bracketed pattern
// list at the end of the text gives way to the entry's patterns (so it is not shown twice), "*.*"
// becomes "*" (every file, as on Windows), and empty patterns (a trailing ";") and entries without any
// pattern are left out.
QStringList NameFiltersFromWindows(const QString& windowsFilter);

// One file (empty when cancelled), or several (none when cancelled), starting in `folder` (empty: the
// dialog's last folder).
std::string ChooseFileToOpen(QWidget* owner, const QString& windowsFilter, const QString& folder = {});
std::vector<std::string> ChooseFilesToOpen(QWidget* owner, const QString& windowsFilter, const QString& folder = {});

// What the dialog is asked for, and the seam tests replace it at: a chooser returns the chosen paths
// (none when cancelled). An empty chooser restores the dialog, which is Qt's own QFileDialog (a test
// can also drive it with ModalDriver::ThenDialog).
struct OpenFileRequest {
    QWidget* owner = nullptr;
    QStringList nameFilters;
    QString folder;
    bool multiple = false;
};
using FileChooser = std::function<QStringList(const OpenFileRequest&)>;
void SetFileChooser(FileChooser chooser);
