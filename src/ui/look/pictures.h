#pragma once
// Pictures the component draws itself, as image lists owned by the caller. Each is designed on 16
// (or 32) units square and drawn at the size asked for: a window asks for its monitor's size
// (pictureSize), so that its pictures keep their place beside text of that DPI.
#include <span>
#include <string_view>

#include "base/handles.h"

namespace qb::ui {

// `design` pixels at 96 dpi, at `dpi`.
inline int pictureSize(int design, int dpi) { return design * dpi / 96; }

// 16 x 16: a group (folder) and a keyword (tag), numbered as the controls count pictures (from 1).
UniqueImageList keywordPictures(int size = 16);
inline constexpr int kGroupPicture = 1, kKeywordPicture = 2;

// 32 x 32 pictures of the kinds of items that are not local files, in this order:
// "Mail", "Contact", "Task", "Appointment", "Note", "Web", "Server"; then the two ways of keeping
// an item that is not local: "Link" and "LocalCopy".
UniqueImageList itemKindPictures(int size = 32);
int itemKindPicture(std::wstring_view key);  // index in that list, -1 for an unknown key

// 16 x 16, numbered from 1 as a list of attachments counts them: 1 a local file that is missing,
// 2 mail, 3 task, 4 contact, 5 appointment, 6 note, 7 web page, 8 file-server item.
UniqueImageList attachmentPictures(int size = 16);
inline constexpr int kMissingFilePicture = 1, kWebPicture = 7, kServerPicture = 8;

// Notes (a sheet with its corner folded), one in each of `inks`, numbered from 0 as a grid counts
// pictures.
UniqueImageList notePictures(int size, std::span<const COLORREF> inks);

}  // namespace qb::ui
