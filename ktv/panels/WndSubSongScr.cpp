#include "ktv/panels/WndSubSongScr.h"

#include "fileio/ProgramFolder.h"
#include "settings/LinkIni.h"
#include "ui/SkinResources.h"

#include <QFileInfo>
#include <QUrl>

namespace {

constexpr int IDC_BROWSER = 200;
constexpr char kDemoCatalogue[] = "KtvDemo/index.html";

}  // namespace

QString CatalogueAddress()
{
    const QString address = QString::fromStdString(ActiveIni.KtvLstURL).trimmed();
    if (!address.isEmpty())
        return address;
    const QString demo = QString::fromStdString(ProgramFile(kDemoCatalogue));
    return QFileInfo(demo).isFile() ? QUrl::fromLocalFile(demo).toString() : QString();
}

CWndSubSongScr::CWndSubSongScr(QWidget* parent) : CUIWnd(IDR_SUB_SONG_SCR, parent)
{
}

bool CWndSubSongScr::OnCreate()
{
    browser_.Create(this, IDC_BROWSER, CatalogueAddress());
    return true;
}
