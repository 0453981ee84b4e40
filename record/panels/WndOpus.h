#pragma once
// The works tab: the page of Active.ini's SpaceURL, or, without one, the program's own page of the
// recordings and photos made so far, newest first; a click on a work opens it on the desktop.
#include "ui/UIWnd.h"

class QWebEngineView;
class QUrl;

class CWndOpus : public CUIWnd {
    Q_OBJECT
public:
    // The works page shows at most this many, the newest.
    static constexpr size_t kShownWorks = 300;

    explicit CWndOpus(QWidget* parent);

    QWebEngineView* View() const { return view_; }
    // Builds the works page again from the folders (it is also built whenever the tab is shown).
    void RefreshWorks();

protected:
    bool OnCreate() override;
    void showEvent(QShowEvent* event) override;

private:
    // The works page's links: a work opens on the desktop, nothing else is followed.
    bool OnWorkLink(const QUrl& url);

    QWebEngineView* view_ = nullptr;
    bool ownPage_ = false;
};
