#include "ui/SkinThumbs.h"

#include <QPainter>

namespace {

constexpr int kEmptyRole = Qt::UserRole + 1;
const QSize kGrid(CSkinThumbs::kThumbWidth + 24, CSkinThumbs::kThumbHeight + 30);
// Every item, empty or not, fills its grid cell but for the spacing: a click anywhere on a cell hits
// its item, and no item has to be measured.
const QSize kItemSize = kGrid - QSize(4, 4);

QPixmap FramePicture(const QImage& thumbnail)
{
    QPixmap picture(CSkinThumbs::kThumbWidth, CSkinThumbs::kThumbHeight);
    picture.fill(Qt::white);
    QPainter painter(&picture);
    if (thumbnail.isNull()) {
        painter.setPen(QColor(0xD6, 0xDE, 0xEC));
        painter.drawRect(picture.rect().adjusted(0, 0, -1, -1));
    } else if (thumbnail.size() == picture.size()) {
        painter.drawImage(0, 0, thumbnail);
    } else {
        const QImage fitted = thumbnail.scaled(picture.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation);
        painter.drawImage((picture.width() - fitted.width()) / 2, (picture.height() - fitted.height()) / 2, fitted);
    }
    return picture;
}

}  // namespace

CSkinThumbs::CSkinThumbs(QWidget* parent) : QListWidget(parent)
{
    setViewMode(QListView::IconMode);
    setResizeMode(QListView::Adjust);
    setMovement(QListView::Static);
    setFlow(QListView::LeftToRight);
    setWrapping(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setIconSize(QSize(kThumbWidth, kThumbHeight));
    setGridSize(kGrid);
    setTextElideMode(Qt::ElideMiddle);
    setWordWrap(false);
    // Layout runs in batches between events.
    setUniformItemSizes(true);
    setLayoutMode(QListView::Batched);
    setBatchSize(64);
}

int CSkinThumbs::AddPicture(const QString& name, const QImage& thumbnail)
{
    const int index = PictureCount();
    auto* item = new QListWidgetItem(QIcon(FramePicture(thumbnail)), name);
    item->setSizeHint(kItemSize);
    item->setToolTip(name);
    insertItem(index, item);
    return index;
}

void CSkinThumbs::AddEmptyItems(int count)
{
    for (int i = 0; i < count; ++i) {
        auto* item = new QListWidgetItem;
        item->setSizeHint(kItemSize);
        item->setData(kEmptyRole, true);
        item->setFlags(Qt::ItemIsEnabled);
        addItem(item);
    }
}

int CSkinThumbs::PictureCount() const
{
    int pictures = count();
    while (pictures > 0 && item(pictures - 1)->data(kEmptyRole).toBool())
        --pictures;
    return pictures;
}

bool CSkinThumbs::IsPicture(int index) const
{
    return index >= 0 && index < PictureCount();
}

QString CSkinThumbs::PictureName(int index) const
{
    return IsPicture(index) ? item(index)->text() : QString();
}

int CSkinThumbs::SelectedPicture() const
{
    const QList<QListWidgetItem*> selected = selectedItems();
    const int index = selected.isEmpty() ? -1 : row(selected.first());
    return IsPicture(index) ? index : -1;
}

void CSkinThumbs::SelectPicture(int index)
{
    if (IsPicture(index))
        setCurrentRow(index);
    else
        clearSelection();
}
