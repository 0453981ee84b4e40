#include "ui/SkinWebView.h"

#include "ui/UIWnd.h"

#include <QUrl>
#include <QWebEngineView>

QWebEngineView* CreateSkinWebView(CUIWnd* window, int id, const QString& url)
{
    const QRect rect = window->ControlRect(id);
    if (url.trimmed().isEmpty() || rect.isEmpty())
        return nullptr;
    auto* view = new QWebEngineView(window);
    view->setObjectName(QString("ctl%1").arg(id));
    view->setGeometry(rect);
    view->load(QUrl::fromUserInput(url.trimmed()));
    view->show();
    return view;
}
