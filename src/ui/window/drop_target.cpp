#include "ui/window/drop_target.h"

#include <shellapi.h>

#include <utility>

#include "automation/com_object.h"
#include "ui/window/form.h"

namespace qb::ui {
namespace {

// A held STGMEDIUM, released with it.
struct Medium {
    STGMEDIUM m{};
    ~Medium() {
        if (m.tymed != TYMED_NULL) ::ReleaseStgMedium(&m);
    }
};

FORMATETC fileListFormat() { return {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

class FileDropTarget final : public automation::ComObject<IDropTarget, IID_IDropTarget> {
public:
    explicit FileDropTarget(DropFiles onDrop) : onDrop_(std::move(onDrop)) {}

    STDMETHODIMP DragEnter(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        accepted_ = !droppedFiles(data).empty();
        *effect = answer(*effect);
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        *effect = answer(*effect);
        return S_OK;
    }
    STDMETHODIMP DragLeave() override {
        accepted_ = false;
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        if (!effect) return E_INVALIDARG;
        accepted_ = false;
        std::vector<std::wstring> files = droppedFiles(data);
        if (files.empty()) {
            *effect = DROPEFFECT_NONE;
            return S_OK;
        }
        *effect = answer(*effect, true);
        // The handler reports its own failures; nothing else may leave a COM method.
        try {
            onDrop_(files);
        } catch (...) {
            Form::swallowed(L"FileDropTarget::Drop");
        }
        return S_OK;
    }

private:
    // The files are linked to, never moved: copy is the effect shown (link where only that is offered).
    DWORD answer(DWORD offered, bool take = false) const {
        if (!accepted_ && !take) return DROPEFFECT_NONE;
        if (offered & DROPEFFECT_COPY) return DROPEFFECT_COPY;
        if (offered & DROPEFFECT_LINK) return DROPEFFECT_LINK;
        return DROPEFFECT_NONE;
    }

    DropFiles onDrop_;
    bool accepted_ = false;
};

}  // namespace

std::vector<std::wstring> droppedFiles(IDataObject* data) {
    if (!data) return {};
    FORMATETC format = fileListFormat();
    Medium medium;
    if (FAILED(data->GetData(&format, &medium.m)) || medium.m.tymed != TYMED_HGLOBAL) return {};
    auto drop = static_cast<HDROP>(::GlobalLock(medium.m.hGlobal));
    if (!drop) return {};
    std::vector<std::wstring> files;
    const UINT count = ::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(::DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        path.resize(::DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size())));
        const DWORD attributes = ::GetFileAttributesW(path.c_str());
        if (path.empty() || attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            files.clear();
            break;
        }
        files.push_back(std::move(path));
    }
    ::GlobalUnlock(medium.m.hGlobal);
    return files;
}

automation::ComPtr<IDropTarget> makeFileDropTarget(DropFiles onDrop) {
    return automation::ComPtr<IDropTarget>::attach(new FileDropTarget(std::move(onDrop)));
}

FileDropRegistration::FileDropRegistration(HWND window, DropFiles onDrop) {
    automation::ComPtr<IDropTarget> target = makeFileDropTarget(std::move(onDrop));
    result_ = ::RegisterDragDrop(window, target.get());  // OLE keeps its own reference
    if (SUCCEEDED(result_)) {
        window_ = window;
        target_ = std::move(target);
    }
}

FileDropRegistration& FileDropRegistration::operator=(FileDropRegistration&& other) noexcept {
    if (this != &other) {
        revoke();
        window_ = std::exchange(other.window_, nullptr);
        target_ = std::move(other.target_);
        result_ = other.result_;
    }
    return *this;
}

void FileDropRegistration::revoke() {
    if (window_) ::RevokeDragDrop(std::exchange(window_, nullptr));
    target_.reset();
}

}  // namespace qb::ui
