#include "ui/PlayModeMenu.h"

#include "ui/MenuEx.h"

int ChoosePlayMode(QWidget* owner, int currentMode, const QPoint& globalPos)
{
    static const std::vector<MenuChoice> modes = {
        {0, QString::fromUtf8("顺序播放")}, {1, QString::fromUtf8("循环播放")}, {2, QString::fromUtf8("随机播放")},
        {3, QString::fromUtf8("单曲循环")}, {4, QString::fromUtf8("单曲播放")},
    };
    return ChooseFromMenu(owner, modes, currentMode, globalPos);
}
