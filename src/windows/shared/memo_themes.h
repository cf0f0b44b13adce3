#pragma once
// The four memo themes: the colour a memo's text is shown in, wherever memos are shown or
// written. Themes are numbered from 1; other numbers have no colour of their own.
#include <windows.h>

#include "base/handles.h"
#include "ui/controls/image_combo.h"

namespace qb::windows {

// Green, red, ochre and blue (COLORREF), each readable on white (4.5:1 or better): the ochre is a
// dark one, a light ochre was not. Under high contrast every theme is written in the system's text
// colour; its picture and name tell them apart.
inline constexpr COLORREF kThemeColors[] = {RGB(0, 128, 0), RGB(192, 0, 0), RGB(153, 102, 0), RGB(0, 0, 192)};
// The themes' names, as screen readers read them.
inline constexpr const wchar_t* kThemeNames[] = {L"Green", L"Red", L"Ochre", L"Blue"};

// The themes' pictures at `size` pixels, numbered from 0: a note in each theme's colour.
UniqueImageList themePictures(int size);

// The theme's colour, or CLR_INVALID for a number that is no theme.
constexpr COLORREF themeColor(long theme) { return theme >= 1 && theme <= 4 ? kThemeColors[theme - 1] : CLR_INVALID; }

// The suite's themes 1 to 4 into a picture combo (each with its picture), the first chosen: the
// position of a theme in the list is its number.
void fillThemes(ui::ImageCombo& combo);

}  // namespace qb::windows
