#pragma once
// The embedded web view of a skinned window, made in the rectangle of its web control. Its page asks
// the window's filter before each navigation it makes: links of any scheme (unknown schemes
// included), form posts, script navigations, redirects and links that ask for a new window
// (target=_blank). The window's own loads (the address it was made with, QWebEngineView::load) are not
// asked. A refused navigation does not happen (the view reports loadFinished(false)); an accepted
// new-window link opens in this view, since the program has no browser windows of its own; an accepted
// link of a scheme the view cannot show is handed to the desktop, as a browser does.
#include <QUrl>

#include <functional>

class CUIWnd;
class QString;
class QWebEngineView;

struct WebNavigation {
    QUrl url;
    bool newWindow = false;  // the link asked for a window of its own
};

// True lets the navigation happen.
using NavigationFilter = std::function<bool(const WebNavigation&)>;

// Call before the QApplication is made: the web engine's sandbox cannot run as root, and the machine
// may have no GPU.
void PrepareWebEngine();

// Null when the address is empty or the window has no such control: no browser is started for
// nothing. Without a filter every navigation happens.
QWebEngineView* CreateSkinWebView(CUIWnd* window, int id, const QString& url, NavigationFilter filter = {});
