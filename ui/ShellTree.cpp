#include "ui/ShellTree.h"

#include <QDir>
#include <QFileSystemModel>
#include <QHeaderView>

CShellTree::CShellTree(QWidget* parent) : QTreeView(parent), model_(new QFileSystemModel(this))
{
    setObjectName("ctl272");
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    model_->setRootPath(QDir::rootPath());
    setModel(model_);
    for (int column = 1; column < model_->columnCount(); ++column)
        hideColumn(column);
    setHeaderHidden(true);
    setRootIsDecorated(true);
    setMouseTracking(true);
    setAnimated(true);
    setUniformRowHeights(true);
    // Folders load in the background: keep the selected one in view as its parents fill in.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this] {
        if (currentIndex().isValid())
            scrollTo(currentIndex(), QAbstractItemView::PositionAtCenter);
    });
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) {
                if (current.isValid())
                    emit folderSelected(QDir::toNativeSeparators(model_->filePath(current)));
            });
}

QString CShellTree::SelectedPath() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? model_->filePath(current) : QString();
}

bool CShellTree::SelectPath(const QString& path)
{
    if (path.isEmpty() || !QDir(path).exists())
        return false;
    const QModelIndex index = model_->index(QDir(path).absolutePath());
    if (!index.isValid())
        return false;
    setCurrentIndex(index);
    scrollTo(index);
    return true;
}
