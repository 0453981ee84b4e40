#include "record/panels/WorksPage.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QUrl>

#include <algorithm>

namespace {

void AddFolder(std::vector<WorkFile>& works, const std::string& folder, const QString& pattern, bool photo)
{
    if (folder.empty())
        return;
    const QDir dir(QString::fromStdString(folder));
    for (const QFileInfo& info : dir.entryInfoList({pattern}, QDir::Files | QDir::Readable)) {
        works.push_back({info.absoluteFilePath().toStdString(), info.fileName().toStdString(), info.size(),
                         info.lastModified().toSecsSinceEpoch(), photo});
    }
}

QString SizeText(int64_t bytes)
{
    if (bytes < 1024 * 1024)
        return QString("%1 KB").arg(double(bytes) / 1024.0, 0, 'f', 1);
    return QString("%1 MB").arg(double(bytes) / (1024.0 * 1024.0), 0, 'f', 1);
}

const char kStyle[] = R"(
body { margin: 0; padding: 14px 16px; font-family: "WenQuanYi Micro Hei", "Noto Sans CJK SC", sans-serif;
       font-size: 13px; color: #333333; background: #FFFFFF; }
h1 { margin: 0 0 12px; font-size: 16px; }
h1 span { margin-left: 10px; color: #78829A; font-size: 12px; font-weight: normal; }
.grid { display: flex; flex-wrap: wrap; gap: 12px; }
a.work { display: block; width: 160px; color: #333333; text-decoration: none; background: #F4F7FC;
         border: 1px solid #D6DEEC; border-radius: 6px; overflow: hidden; }
a.work:hover { border-color: #2E6BD6; background: #E3ECFD; }
.picture { width: 160px; height: 120px; display: flex; align-items: center; justify-content: center;
           background: #1B2333; }
.picture img { width: 160px; height: 120px; object-fit: cover; }
.name { padding: 5px 8px 0; font-size: 12px; white-space: nowrap; overflow: hidden; text-overflow: ellipsis; }
.facts { padding: 2px 8px 6px; color: #78829A; font-size: 11px; }
.empty { margin-top: 120px; text-align: center; color: #78829A; line-height: 1.8; }
.empty b { color: #333333; font-size: 15px; }
)";

const char kFilm[] =
    R"(<svg width="48" height="48" viewBox="0 0 48 48" fill="none" stroke="#A6C2FF" stroke-width="3">)"
    R"(<rect x="6" y="10" width="36" height="28" rx="3"/><path d="M20 17l10 7-10 7z" fill="#A6C2FF"/></svg>)";

}  // namespace

std::vector<WorkFile> ListWorks(const std::string& recordFolder, const std::string& photoFolder)
{
    std::vector<WorkFile> works;
    AddFolder(works, recordFolder, "*.wmv", false);
    AddFolder(works, photoFolder, "*.jpg", true);
    std::stable_sort(works.begin(), works.end(), [](const WorkFile& a, const WorkFile& b) {
        return a.modified != b.modified ? a.modified > b.modified : a.name > b.name;
    });
    return works;
}

QString WorksPageHtml(const std::vector<WorkFile>& works, size_t limit)
{
    QString html = QString("<!DOCTYPE html><html lang=\"zh-CN\"><head><meta charset=\"utf-8\"><title>我的作品</title>"
                           "<style>%1</style></head><body>")
                       .arg(kStyle);
    if (works.empty()) {
        html += "<div class=\"empty\"><b>还没有作品</b><br>点击左侧的「录像」录制视频，点击「拍照」保存照片，"
                "它们会出现在这里。</div></body></html>";
        return html;
    }
    const size_t shown = std::min(limit, works.size());
    html += QString("<h1>我的作品<span>共 %1 个").arg(works.size());
    if (shown < works.size())
        html += QString("，显示最新的 %1 个").arg(shown);
    html += "</span></h1><div class=\"grid\">";
    for (size_t i = 0; i < shown; ++i) {
        const WorkFile& work = works[i];
        const QString url = QUrl::fromLocalFile(QString::fromStdString(work.path)).toString(QUrl::FullyEncoded);
        const QString name = QString::fromStdString(work.name).toHtmlEscaped();
        const QString when = QDateTime::fromSecsSinceEpoch(work.modified).toString("yyyy-MM-dd HH:mm");
        const QString picture = work.photo ? QString("<img src=\"%1\" alt=\"\">").arg(url) : QString(kFilm);
        html += QString("<a class=\"work\" href=\"%1\" title=\"%2\"><div class=\"picture\">%3</div>"
                        "<div class=\"name\">%2</div><div class=\"facts\">%4 · %5<br>%6</div></a>")
                    .arg(url, name, picture, work.photo ? "照片" : "录像", SizeText(work.bytes), when);
    }
    html += "</div></body></html>";
    return html;
}
