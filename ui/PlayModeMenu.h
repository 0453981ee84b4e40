#pragma once
// The play-mode menu of the song list and the media-file list: the five modes by their numbers
// (0 in order, 1 loop the list, 2 random, 3 repeat one, 4 play one), the current one checked.
class QPoint;
class QWidget;

// Returns the chosen mode, or -1 when the menu was dismissed.
int ChoosePlayMode(QWidget* owner, int currentMode, const QPoint& globalPos);
