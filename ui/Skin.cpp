#include "ui/Skin.h"

#include "xml/WellFormedXml.h"

#include <QFileInfo>

#include <utility>

#include <pugixml.hpp>

namespace {

std::unique_ptr<CSkin> processSkin;

QString Attr(const pugi::xml_node& node, const char* name)
{
    return QString::fromUtf8(node.attribute(name).value());
}

// The skin file's name of each control kind.
const std::pair<const char*, ControlKind> kKindNames[] = {
    {"button", ControlKind::Button},     {"tab", ControlKind::Tab},
    {"check", ControlKind::Check},       {"radio", ControlKind::Radio},
    {"static", ControlKind::Static},     {"edit", ControlKind::Edit},
    {"combo", ControlKind::Combo},       {"slider", ControlKind::Slider},
    {"progress", ControlKind::Progress}, {"list", ControlKind::List},
    {"tree", ControlKind::Tree},         {"treelist", ControlKind::TreeList},
    {"thumbs", ControlKind::Thumbs},     {"scrollbar", ControlKind::ScrollBar},
    {"spin", ControlKind::Spin},         {"color", ControlKind::Color},
    {"foldertree", ControlKind::FolderTree},
    {"web", ControlKind::Web},           {"placeholder", ControlKind::Placeholder},
};

bool ParseKind(const QString& text, ControlKind& kind)
{
    for (const auto& [name, value] : kKindNames) {
        if (text == QLatin1String(name)) {
            kind = value;
            return true;
        }
    }
    return false;
}

// Coordinates and sizes beyond this fit no screen, and the rectangle's far edge must stay an int.
constexpr int kMaxRectValue = 1 << 24;

// "x,y,w,h" with a positive size.
bool ParseRect(const QString& text, QRect& rect)
{
    const QStringList parts = text.split(',');
    if (parts.size() != 4)
        return false;
    int v[4];
    for (int i = 0; i < 4; ++i) {
        bool ok = false;
        v[i] = parts[i].trimmed().toInt(&ok);
        if (!ok || v[i] < -kMaxRectValue || v[i] > kMaxRectValue)
            return false;
    }
    if (v[2] <= 0 || v[3] <= 0)
        return false;
    rect = QRect(v[0], v[1], v[2], v[3]);
    return true;
}

Qt::Alignment ParseAlign(const QString& text, bool& wrap)
{
    Qt::Alignment align;
    wrap = false;
    for (const QString& word : text.split('|', Qt::SkipEmptyParts)) {
        if (word == "left") align |= Qt::AlignLeft;
        else if (word == "right") align |= Qt::AlignRight;
        else if (word == "center") align |= Qt::AlignHCenter;
        else if (word == "top") align |= Qt::AlignTop;
        else if (word == "bottom") align |= Qt::AlignBottom;
        else if (word == "wrap") wrap = true;
    }
    if (!(align & Qt::AlignHorizontal_Mask))
        align |= Qt::AlignLeft;
    if (!(align & Qt::AlignVertical_Mask))
        align |= Qt::AlignVCenter;
    return align;
}

int IntAttr(const pugi::xml_node& node, const char* name, int fallback)
{
    const pugi::xml_attribute attr = node.attribute(name);
    return attr ? attr.as_int(fallback) : fallback;
}

bool ParseControl(const pugi::xml_node& node, SkinControl& control, QString& error)
{
    control.id = IntAttr(node, "id", 0);
    if (!ParseKind(Attr(node, "kind"), control.kind)) {
        error = QString("control %1: unknown kind \"%2\"").arg(control.id).arg(Attr(node, "kind"));
        return false;
    }
    if (!ParseRect(Attr(node, "rect"), control.rect)) {
        error = QString("control %1: bad rect").arg(control.id);
        return false;
    }
    control.text = Attr(node, "text");
    control.tip = Attr(node, "tip");
    control.name = Attr(node, "name");
    control.image = Attr(node, "image");
    control.icon = Attr(node, "icon");
    control.checkedIcon = Attr(node, "checkedicon");
    control.group = Attr(node, "group");
    if (node.attribute("items"))
        control.items = Attr(node, "items").split('|');
    control.expandIcon = Attr(node, "expand");
    control.collapseIcon = Attr(node, "collapse");
    control.itemHeight = IntAttr(node, "itemheight", 0);
    if (node.attribute("color"))
        control.color = QColor(Attr(node, "color"));
    if (node.attribute("checkedcolor"))
        control.checkedColor = QColor(Attr(node, "checkedcolor"));
    control.fontSize = IntAttr(node, "size", 0);
    control.bold = node.attribute("bold").as_bool(false);
    if (node.attribute("align"))
        control.align = ParseAlign(Attr(node, "align"), control.wrap);
    control.visible = node.attribute("visible").as_bool(true);
    control.enabled = node.attribute("enabled").as_bool(true);
    control.checked = node.attribute("checked").as_bool(false);
    control.minimum = IntAttr(node, "min", 0);
    control.maximum = IntAttr(node, "max", 100);
    control.value = IntAttr(node, "value", control.minimum);
    return true;
}

bool ParseWindow(const pugi::xml_node& node, SkinWindow& window, QString& error)
{
    window.id = IntAttr(node, "id", 0);
    window.size = QSize(IntAttr(node, "width", 0), IntAttr(node, "height", 0));
    if (window.id <= 0 || window.size.isEmpty()) {
        error = QString("window %1: missing id or size").arg(window.id);
        return false;
    }
    window.title = Attr(node, "title");
    window.background = Attr(node, "background");
    if (node.attribute("color"))
        window.backColor = QColor(Attr(node, "color"));
    if (node.attribute("colorkey"))
        window.colorKey = QColor(Attr(node, "colorkey"));
    for (pugi::xml_node child : node.children("control")) {
        SkinControl control;
        if (!ParseControl(child, control, error)) {
            error = QString("window %1, %2").arg(window.id).arg(error);
            return false;
        }
        window.controls.push_back(std::move(control));
    }
    return true;
}

}  // namespace

const char* ControlKindName(ControlKind kind)
{
    for (const auto& [name, value] : kKindNames)
        if (value == kind)
            return name;
    return "";
}

const SkinControl* SkinWindow::Control(int id) const
{
    for (const SkinControl& control : controls)
        if (control.id == id)
            return &control;
    return nullptr;
}

std::unique_ptr<CSkin> CSkin::Load(const QString& path, QString* error)
{
    QString reason;
    auto fail = [&](const QString& why) -> std::unique_ptr<CSkin> {
        if (error)
            *error = why;
        return nullptr;
    };
    const QFileInfo info(path);
    if (!info.isFile())
        return fail("no skin file at " + path);

    pugi::xml_document doc;
    std::string why;
    if (!LoadWellFormedXmlFile(doc, info.absoluteFilePath().toStdString(), &why))
        return fail(QString("%1: %2").arg(path, QString::fromStdString(why)));
    const pugi::xml_node root = doc.child("skin");
    if (!root)
        return fail(path + ": no <skin> element");

    auto skin = std::make_unique<CSkin>();
    skin->folder_ = info.absolutePath();
    skin->styleSheet_ = QString::fromUtf8(root.child("style").text().get());
    skin->styleSheet_.replace("${skin}", skin->folder_);
    for (pugi::xml_node node : root.children("window")) {
        SkinWindow window;
        if (!ParseWindow(node, window, reason))
            return fail(path + ": " + reason);
        const int id = window.id;
        if (!skin->windows_.emplace(id, std::move(window)).second)
            return fail(QString("%1: window %2 defined twice").arg(path).arg(id));
    }
    if (skin->windows_.empty())
        return fail(path + ": no windows");
    return skin;
}

const SkinWindow* CSkin::Window(int resource) const
{
    const auto found = windows_.find(resource);
    return found == windows_.end() ? nullptr : &found->second;
}

QString CSkin::ImagePath(const QString& name) const
{
    return folder_ + '/' + name;
}

bool SetUiSkinFile(const QString& path)
{
    QString error;
    std::unique_ptr<CSkin> skin = CSkin::Load(path, &error);
    if (!skin) {
        qDebug("skin: %s", qPrintable(error));
        return false;
    }
    processSkin = std::move(skin);
    return true;
}

const CSkin* UiSkin()
{
    return processSkin.get();
}

void ReleaseUiSkin()
{
    processSkin.reset();
}
