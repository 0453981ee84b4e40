#include "record/panels/WndOpus.h"

#include "record/panels/WorksPage.h"
#include "settings/LinkIni.h"
#include "settings/Settings.h"
#include "ui/SkinResources.h"
#include "ui/SkinWebView.h"

#include <QDesktopServices>
#include <QUrl>
#include <QWebEngineView>

namespace {

constexpr int IDC_WEB = 1139;

}  // namespace

CWndOpus::CWndOpus(QWidget* parent) : CUIWnd(IDR_OPUS, parent)
{
}

bool CWndOpus::OnCreate()
{
    const QString address = QString::fromStdString(ActiveIni.SpaceURL).trimmed();
    if (!address.isEmpty())
        view_ = CreateSkinWebView(this, IDC_WEB, address);
    // The own page waits until the tab is first shown: a browser costs much memory.
    ownPage_ = address.isEmpty();
    return true;
}

void CWndOpus::showEvent(QShowEvent* event)
{
    CUIWnd::showEvent(event);
    if (ownPage_)
        RefreshWorks();
}

void CWndOpus::RefreshWorks()
{
    if (!ownPage_)
        return;
    if (!view_)
        view_ = CreateSkinWebView(this, IDC_WEB, "about:blank", [this](const WebNavigation& navigation) {
            return OnWorkLink(navigation.url);
        });
    if (!view_)
        return;
    const auto& paths = Settings.SavePath;
    const QString page = WorksPageHtml(ListWorks(paths.RecordPath, paths.MyPhotoPath), kShownWorks);
    // A base in the record folder lets the page show the photos from their files.
    view_->setHtml(page, QUrl::fromLocalFile(QString::fromStdString(paths.RecordPath) + "/"));
}

bool CWndOpus::OnWorkLink(const QUrl& url)
{
    if (url.isLocalFile())
        QDesktopServices::openUrl(url);
    return url.scheme() == "about" || url.scheme() == "data";
}
