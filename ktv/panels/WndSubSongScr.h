#pragma once
// The song catalogue: the catalogue page (Active.ini's KtvLstURL, or the demo catalogue shipped in the
// program folder when none is set) in a browser that hands catalogue links to the song list.
#include "ktv/panels/HtmlCtrlEx.h"
#include "ui/UIWnd.h"

class CWndSubSongScr : public CUIWnd {
    Q_OBJECT
public:
    explicit CWndSubSongScr(QWidget* parent);

    CHtmlCtrlEx& Browser() { return browser_; }

protected:
    bool OnCreate() override;

private:
    CHtmlCtrlEx browser_;
};

// The catalogue page's address: KtvLstURL, else the demo catalogue's file, else empty.
QString CatalogueAddress();
