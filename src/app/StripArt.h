#pragma once
#include <QPixmap>

// Pictures of the top strip, drawn at start-up rather than shipped as files.
QPixmap StripBackground(int width, int height);
