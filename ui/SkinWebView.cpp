#include "ui/SkinWebView.h"

#include "ui/UIWnd.h"

#include <QCoreApplication>
#include <QWebEnginePage>
#include <QWebEngineSettings>
#include <QWebEngineView>

#include <unistd.h>

namespace {

class CSkinWebPage : public QWebEnginePage {
public:
    CSkinWebPage(NavigationFilter filter, QObject* parent) : QWebEnginePage(parent), filter_(std::move(filter))
    {
        settings()->setUnknownUrlSchemePolicy(QWebEngineSettings::AllowAllUnknownUrlSchemes);
    }

    bool Allows(const WebNavigation& navigation) const { return !filter_ || filter_(navigation); }

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType type, bool) override
    {
        return type == NavigationTypeTyped || Allows({url, false});
    }
    QWebEnginePage* createWindow(WebWindowType) override;

private:
    NavigationFilter filter_;
};

// The page a new-window link is opened in: it only takes the link's address to its owner's filter,
// then goes away.
class CNewWindowCatcher : public QWebEnginePage {
public:
    explicit CNewWindowCatcher(CSkinWebPage* owner) : QWebEnginePage(owner), owner_(owner) {}

protected:
    bool acceptNavigationRequest(const QUrl& url, NavigationType, bool) override
    {
        if (!caught_) {
            caught_ = true;
            if (owner_->Allows({url, true}))
                owner_->load(url);
            deleteLater();
        }
        return false;
    }

private:
    CSkinWebPage* owner_;
    bool caught_ = false;
};

QWebEnginePage* CSkinWebPage::createWindow(WebWindowType)
{
    return new CNewWindowCatcher(this);
}

}  // namespace

void PrepareWebEngine()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
    if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
    QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
}

QWebEngineView* CreateSkinWebView(CUIWnd* window, int id, const QString& url, NavigationFilter filter)
{
    const QRect rect = window->ControlRect(id);
    if (url.trimmed().isEmpty() || rect.isEmpty())
        return nullptr;
    auto* view = new QWebEngineView(window);
    view->setPage(new CSkinWebPage(std::move(filter), view));
    view->setObjectName(QString("ctl%1").arg(id));
    view->setGeometry(rect);
    view->load(QUrl::fromUserInput(url.trimmed()));
    view->show();
    return view;
}
