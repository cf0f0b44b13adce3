#pragma once
// The four memo themes: the colour a memo's text is shown in, wherever memos are shown or
// written. Themes are numbered from 1; other numbers have no colour of their own.
#include <windows.h>

#include "ui/controls/image_combo.h"

namespace qb::windows {

// Green, red, ochre and blue (COLORREF).
inline constexpr COLORREF kThemeColors[] = {32768, 192, 49344, 12582912};

// The theme's colour, or CLR_INVALID for a number that is no theme.
constexpr COLORREF themeColor(long theme) { return theme >= 1 && theme <= 4 ? kThemeColors[theme - 1] : CLR_INVALID; }

// The suite's themes 1 to 4 into a picture combo (each with its picture), the first chosen: the
// position of a theme in the list is its number.
void fillThemes(ui::ImageCombo& combo);

}  // namespace qb::windows
