#pragma once
// The folder tree of the file system: folders only, with expand buttons and lines, hot tracking.
#include <QTreeView>

class QFileSystemModel;

class CShellTree : public QTreeView {
    Q_OBJECT
public:
    explicit CShellTree(QWidget* parent = nullptr);

    // The file-system path of the selected folder; empty when none is selected.
    QString SelectedPath() const;
    // Selects and shows a folder; false when it does not exist.
    bool SelectPath(const QString& path);

signals:
    void folderSelected(const QString& path);

private:
    QFileSystemModel* model_;
};
