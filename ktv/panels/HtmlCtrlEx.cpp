#include "ktv/panels/HtmlCtrlEx.h"

#include "ktv/SongList.h"
#include "settings/WindowMessages.h"
#include "ui/SkinWebView.h"

#include <QUrl>

namespace {

// Names and singers are text; the page's browser hands them over percent-encoded.
std::string Decoded(const std::string& field)
{
    return QUrl::fromPercentEncoding(QByteArray::fromStdString(field)).toStdString();
}

}  // namespace

QWebEngineView* CHtmlCtrlEx::Create(CUIWnd* window, int id, const QString& url)
{
    view_ = CreateSkinWebView(window, id, url, [this](const WebNavigation& navigation) {
        return BeforeNavigate(navigation.url);
    });
    return view_;
}

bool CHtmlCtrlEx::BeforeNavigate(const QUrl& url)
{
    // The song and lyric addresses stay as the browser encoded them: they are fetched as they are.
    if (auto link = ParseCatalogueLink(url.toString(QUrl::FullyEncoded).toStdString()); link && songList_) {
        link->name = Decoded(link->name);
        link->singer = Decoded(link->singer);
        link->rest = Decoded(link->rest);
        SendWindowMessage(songList_, WM_KTV_ADD_SONG, 0, 0, *link);
    }
    const QString scheme = url.scheme();
    return scheme == "http" || scheme == "https" || scheme == "file" || scheme == "about" || scheme == "data";
}
