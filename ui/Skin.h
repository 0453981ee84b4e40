#pragma once
// The skin: every window of the program by its resource number and every control by its identifier,
// read from the XML skin file. One skin is loaded per process; windows build themselves from it.
#include <QColor>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <map>
#include <memory>
#include <vector>

enum class ControlKind {
    Button,
    Tab,          // a push button that stays checked (tabs share a group)
    Check,
    Radio,
    Static,
    Edit,
    Combo,
    Slider,
    Progress,
    List,
    Tree,
    TreeList,
    Thumbs,
    ScrollBar,
    Spin,         // an edit with an up-down: integer range and value
    Color,        // a colour picker button
    FolderTree,   // the folder tree of the file system
    Web,          // created on demand, only for a non-empty address
    Placeholder,  // an invisible area that gives a child window its place
};

// The kind's name in the skin file ("button", "tree", ...).
const char* ControlKindName(ControlKind kind);

struct SkinControl {
    int id = 0;
    ControlKind kind = ControlKind::Static;
    QRect rect;
    QString text;
    QString tip;
    QString name;       // what a screen reader calls the control; empty = its text, or else its tip
    QString image;      // base name of the state pictures: <image>_normal.png, _hover, _pressed, _checked, _disabled;
                        // of a static text or a tree's root items, the picture behind them
    QString icon;       // a picture drawn left of the text
    QString checkedIcon;  // the icon of a checked button; empty = `icon`
    QString group;      // radio buttons and tabs of one group exclude each other
    QStringList items;  // entries of combo boxes, lists and tree-lists (columns)
    QString expandIcon;    // a tree's pictures of a collapsed and an expanded item with children
    QString collapseIcon;
    int itemHeight = 0;    // rows of trees and lists, pixels; 0 = the style's
    QColor color;       // text colour; invalid = the style's
    QColor checkedColor;  // text colour of a checked or pressed button; invalid = `color`
    int fontSize = 0;   // pixels; 0 = the style's
    bool bold = false;
    Qt::Alignment align = Qt::AlignLeft | Qt::AlignVCenter;
    bool wrap = false;
    bool visible = true;
    bool enabled = true;
    bool checked = false;
    int minimum = 0;
    int maximum = 100;
    int value = 0;
};

struct SkinWindow {
    int id = 0;
    QSize size;
    QString title;
    QString background;  // picture file of the whole window
    QColor backColor;    // used where there is no picture
    QColor colorKey;     // pixels of this colour are cut out of the window's shape; invalid = none
    std::vector<SkinControl> controls;

    const SkinControl* Control(int id) const;
};

class CSkin {
public:
    // Parses the skin file; on failure returns null and puts the reason in `error`.
    static std::unique_ptr<CSkin> Load(const QString& path, QString* error = nullptr);

    const SkinWindow* Window(int resource) const;
    // Full path of a picture of the skin (pictures live beside the skin file).
    QString ImagePath(const QString& name) const;
    // The style sheet every skinned window uses, with ${skin} replaced by the skin's folder.
    const QString& StyleSheet() const { return styleSheet_; }
    const QString& Folder() const { return folder_; }

private:
    QString folder_;
    QString styleSheet_;
    std::map<int, SkinWindow> windows_;
};

// The process-wide skin: loads the skin file and keeps it; false (and the previous skin kept) when the
// file is missing or unreadable.
bool SetUiSkinFile(const QString& path);
const CSkin* UiSkin();
void ReleaseUiSkin();

// The text shown when the skin cannot be loaded.
inline constexpr const char* kSkinMissingMessage = "Failed to set the ui path or the ui path isn't exist!";
