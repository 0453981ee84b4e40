#pragma once
// The thumbnail view: picture items (a name under a 60×40 picture on white), optionally followed by
// empty items that show nothing and are never selected; a click on an empty item deselects and is
// reported with index -1 (NotifyCode::Click / DoubleClick). Appending is cheap, and items are laid out
// in batches while the event loop runs, so a view filled piece by piece between events stays responsive.
#include <QImage>
#include <QListWidget>

class CSkinThumbs : public QListWidget {
    Q_OBJECT
public:
    static constexpr int kThumbWidth = 60;
    static constexpr int kThumbHeight = 40;

    explicit CSkinThumbs(QWidget* parent);

    // Adds a picture item after the other pictures (before any empty items) and returns its index.
    // A 60×40 picture is shown as it is; another size is fitted into 60×40 on white; a null picture
    // (a file that could not be decoded) shows an empty frame.
    int AddPicture(const QString& name, const QImage& thumbnail);
    // Appends `count` empty items after the pictures.
    void AddEmptyItems(int count);

    int PictureCount() const;
    bool IsPicture(int index) const;
    // The picture item's name; empty for an empty item or an index out of range.
    QString PictureName(int index) const;
    // The selected picture's index; -1 when none is selected.
    int SelectedPicture() const;
    void SelectPicture(int index);
};
