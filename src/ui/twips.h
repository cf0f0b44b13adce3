#pragma once
// Design sizes are in twips (1/1440 inch); the screen's logical pixels per inch turn them into pixels.
#include <windows.h>

namespace qb::ui {

enum class Direction { Horizontal, Vertical };

// Logical pixels per inch of the screen in one direction, as this process sees it.
int screenDpi(Direction d);
// Twips to pixels, rounded to the nearest pixel (negative positions work too).
int twipsToPixels(int twips, Direction d);
int twipsToPixels(int twips, int dpi);

}  // namespace qb::ui
