#pragma once
// The left pane's time texts.
#include <QString>

// A song's position and duration in seconds as "mm:ss / mm:ss".
QString SongTimeText(double position, double duration);
// A media file's length and position in whole seconds as "hh:mm:ss / hh:mm:ss", the length first.
QString MediaTimeText(long length, long position);
