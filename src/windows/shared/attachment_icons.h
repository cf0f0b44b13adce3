#pragma once
// The pictures of a list of attached items: the fixed pictures of the kinds, then the shell icons
// of local files. A file's icon is asked for once per extension, or once per file for the types
// whose files carry their own icon (programs, shortcuts, icon files); the pictures stay for the
// life of the list, up to a bound past which a rebuild starts the list afresh.
#include <windows.h>

#include <functional>
#include <string>
#include <unordered_map>

#include "base/handles.h"

namespace qb::windows {

class AttachmentIcons {
public:
    // The shell icon of a file (null when it has none); `ofType`: the icon of the file's type
    // will do, the file need not be looked at.
    using Lookup = std::function<UniqueIcon(const std::wstring& path, bool ofType)>;
    static constexpr size_t kDefaultBound = 256;

    // By default icons come from the shell (SHGetFileInfo), as the file facts (CFileInfo) take them.
    explicit AttachmentIcons(Lookup lookup = {}, size_t bound = kDefaultBound);

    HIMAGELIST images() const { return images_.get(); }
    // Before the list is filled again: the icons added so far are kept unless there are more
    // than the bound, when only the fixed pictures are.
    void rebuilding();
    // Only the fixed pictures are kept (a window loaded again asks the shell afresh), drawn at
    // `size` pixels (the list's monitor's size).
    void forget(int size = 16);
    // The picture (counted from 1) for an existing local file; the missing-file picture when the
    // shell has no icon for it.
    int pictureOf(const std::wstring& path);
    // The shell icons held now.
    size_t iconCount() const { return byKey_.size(); }

    // Whether the files of an extension (".exe") each show an icon of their own.
    static bool ownIconType(const std::wstring& extension);

private:
    Lookup lookup_;
    size_t bound_;
    UniqueImageList images_;
    int fixed_;  // the fixed pictures' count
    int size_ = 16;
    std::unordered_map<std::wstring, int> byKey_;  // lower-case extension or path -> picture
    std::unordered_map<std::wstring, bool> ownIcon_;  // lower-case extension -> ownIconType
};

}  // namespace qb::windows
