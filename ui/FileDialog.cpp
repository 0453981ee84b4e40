#include "ui/FileDialog.h"

#include <QFileDialog>
#include <QRegularExpression>

namespace {

QStringList DialogChooser(const OpenFileRequest& request)
{
    // Qt's own dialog, not the desktop's: it takes the skin's style and a test can drive it.
    QFileDialog dialog(request.owner, QString::fromUtf8("打开"), request.folder);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(request.multiple ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
    if (!request.nameFilters.isEmpty())
        dialog.setNameFilters(request.nameFilters);
    return dialog.exec() == QDialog::Accepted ? dialog.selectedFiles() : QStringList();
}

FileChooser& Chooser()
{
    static FileChooser chooser = DialogChooser;
    return chooser;
}

QStringList Choose(QWidget* owner, const QString& windowsFilter, const QString& folder, bool multiple)
{
    return Chooser()({owner, NameFiltersFromWindows(windowsFilter), folder, multiple});
}

}  // namespace

QStringList NameFiltersFromWindows(const QString& windowsFilter)
{
    static const QRegularExpression shownPatterns(R"(\s*\([^()]*\)\s*$)");
    QStringList filters;
    const QStringList parts = windowsFilter.split('|');
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString text = parts[i].trimmed();
        if (text.isEmpty())
            break;  // the "||" that ends the list
        QStringList patterns;
        for (const QString& part : parts[i + 1].split(';')) {
            const QString pattern = part.trimmed();
            if (!pattern.isEmpty())
                patterns << (pattern == "*.*" ? QString("*") : pattern);
        }
        if (patterns.isEmpty())
            continue;
        text.remove(shownPatterns);
        filters << QString("%1 (%2)").arg(text, patterns.join(' '));
    }
    return filters;
}

std::string ChooseFileToOpen(QWidget* owner, const QString& windowsFilter, const QString& folder)
{
    const QStringList chosen = Choose(owner, windowsFilter, folder, false);
    return chosen.isEmpty() ? std::string() : chosen.first().toStdString();
}

std::vector<std::string> ChooseFilesToOpen(QWidget* owner, const QString& windowsFilter, const QString& folder)
{
    std::vector<std::string> paths;
    for (const QString& path : Choose(owner, windowsFilter, folder, true))
        paths.push_back(path.toStdString());
    return paths;
}

void SetFileChooser(FileChooser chooser)
{
    Chooser() = chooser ? std::move(chooser) : FileChooser(DialogChooser);
}
