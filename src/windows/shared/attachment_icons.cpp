#include "windows/shared/attachment_icons.h"

#include <commctrl.h>

#include <shellapi.h>
#include "ui/look/pictures.h"

namespace qb::windows {
namespace {

std::wstring lower(std::wstring s) {
    if (!s.empty()) ::CharLowerBuffW(s.data(), static_cast<DWORD>(s.size()));
    return s;
}

// ".txt" of "C:\a.b\c.txt"; empty when the name has no extension.
std::wstring extensionOf(const std::wstring& path) {
    size_t dot = path.find_last_of(L'.'), slash = path.find_last_of(L"\\/");
    if (dot == std::wstring::npos || (slash != std::wstring::npos && dot < slash)) return {};
    return path.substr(dot);
}

std::wstring regDefault(HKEY root, const std::wstring& key) {
    wchar_t value[512] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key.c_str(), nullptr, RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, value,
                       &size) != ERROR_SUCCESS)
        return {};
    return value;
}

// The shell's small icon of a file (the one the file facts show, at list size), taken from the
// shell's own image list, where it is kept once made. With `ofType` the type's icon, asked for by
// the name alone (the shell then does not open the file).
UniqueIcon shellIcon(const std::wstring& path, bool ofType, bool large) {
    SHFILEINFOW shell{};
    UINT flags = SHGFI_SYSICONINDEX | (large ? SHGFI_LARGEICON : SHGFI_SMALLICON) | (ofType ? SHGFI_USEFILEATTRIBUTES : 0);
    auto system = reinterpret_cast<HIMAGELIST>(
        ::SHGetFileInfoW(path.c_str(), FILE_ATTRIBUTE_NORMAL, &shell, sizeof shell, flags));
    if (!system || shell.iIcon < 0) return UniqueIcon();
    return UniqueIcon(ImageList_GetIcon(system, shell.iIcon, ILD_NORMAL));
}

}  // namespace

AttachmentIcons::AttachmentIcons(Lookup lookup, size_t bound)
    // Above 16 pixels the shell's large icon, made smaller to the list's size rather than larger.
    : lookup_(lookup ? std::move(lookup) : Lookup([this](const std::wstring& p, bool t) { return shellIcon(p, t, size_ > 16); })),
      bound_(bound),
      images_(ui::attachmentPictures()),
      fixed_(ImageList_GetImageCount(images_.get())) {}

void AttachmentIcons::rebuilding() {
    if (byKey_.size() > bound_) forget();
}

void AttachmentIcons::forget(int size) {
    if (size != size_) images_ = ui::attachmentPictures(size_ = size);
    ImageList_SetImageCount(images_.get(), static_cast<UINT>(fixed_));
    byKey_.clear();
    ownIcon_.clear();
}

bool AttachmentIcons::ownIconType(const std::wstring& extension) {
    // What the shell itself goes by: the type's icon is "%1" (the file's own), or an icon handler
    // answers per file. The common such types count as such where the registry does not say.
    static const wchar_t* const known[] = {L".exe", L".lnk", L".ico", L".cur", L".ani", L".scr", L".cpl", L".url"};
    const std::wstring ext = lower(extension);
    for (const wchar_t* k : known)
        if (ext == k) return true;
    if (ext.empty()) return false;
    const std::wstring type = regDefault(HKEY_CLASSES_ROOT, ext);
    if (type.empty()) return false;
    if (regDefault(HKEY_CLASSES_ROOT, type + L"\\DefaultIcon").starts_with(L"%1")) return true;
    HKEY key = nullptr;
    if (::RegOpenKeyExW(HKEY_CLASSES_ROOT, (type + L"\\shellex\\IconHandler").c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    UniqueRegKey handler(key);
    return true;
}

int AttachmentIcons::pictureOf(const std::wstring& path) {
    const std::wstring ext = lower(extensionOf(path));
    auto own = ownIcon_.find(ext);
    if (own == ownIcon_.end()) own = ownIcon_.emplace(ext, ownIconType(ext)).first;
    // Files without an extension share one icon as well.
    const std::wstring key = own->second ? lower(path) : L"*" + ext;
    if (auto found = byKey_.find(key); found != byKey_.end()) return found->second;
    int picture = ui::kMissingFilePicture;
    if (UniqueIcon icon = lookup_(path, !own->second)) {
        int index = ImageList_ReplaceIcon(images_.get(), -1, icon.get());
        if (index >= 0) picture = index + 1;
    }
    byKey_.emplace(key, picture);
    return picture;
}

}  // namespace qb::windows
