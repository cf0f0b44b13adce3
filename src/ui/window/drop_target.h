#pragma once
// Files dropped on a window from the desktop or a file manager: the shell's CF_HDROP through an
// OLE drop target. Only files are taken; a folder among them, or data that is no file list,
// shows the no-drop cursor.
#include <windows.h>
#include <oleidl.h>

#include <functional>
#include <string>
#include <vector>

#include "automation/com_ptr.h"

namespace qb::ui {

// The paths of a CF_HDROP data object, when every one of them is an existing file; empty
// otherwise (no CF_HDROP, nothing in it, a folder or a missing path among them).
std::vector<std::wstring> droppedFiles(IDataObject* data);

using DropFiles = std::function<void(const std::vector<std::wstring>& paths)>;

// The drop target itself; `onDrop` runs inside IDropTarget::Drop, which lets nothing through.
automation::ComPtr<IDropTarget> makeFileDropTarget(DropFiles onDrop);

// A window registered as a drop target for as long as this lives. Registration needs OLE on the
// thread (OleInitialize); where it is missing the window simply takes no drops.
class FileDropRegistration {
public:
    FileDropRegistration() = default;
    FileDropRegistration(HWND window, DropFiles onDrop);
    ~FileDropRegistration() { revoke(); }
    FileDropRegistration(const FileDropRegistration&) = delete;
    FileDropRegistration& operator=(const FileDropRegistration&) = delete;
    FileDropRegistration& operator=(FileDropRegistration&& other) noexcept;

    bool registered() const { return window_ != nullptr; }
    // The target registered (null when none is).
    const automation::ComPtr<IDropTarget>& target() const { return target_; }
    HRESULT result() const { return result_; }
    void revoke();

private:
    HWND window_ = nullptr;
    automation::ComPtr<IDropTarget> target_;
    HRESULT result_ = S_FALSE;
};

}  // namespace qb::ui
