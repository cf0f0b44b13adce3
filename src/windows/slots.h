#pragma once
// One instance slot per window class (the class's default instance) on the host's UI thread.
#include <memory>

#include "windows/dialogs/edit_dialogs.h"
#include "windows/relation/frm_quillbox.h"

namespace qb::windows {

template <class T>
class FormSlot {
public:
    // Discards the window in the slot (if any) and puts a new one there.
    T& renew() {
        slot_.reset();
        slot_ = std::make_unique<T>();
        return *slot_;
    }
    // The window in the slot, created when the slot is empty.
    T& getOrCreate() {
        if (!slot_) slot_ = std::make_unique<T>();
        return *slot_;
    }
    T* get() const { return slot_.get(); }
    void clear() { slot_.reset(); }

private:
    std::unique_ptr<T> slot_;
};

struct FormSlots {
    FormSlot<frmEditName> editName;
    FormSlot<frmEditComment> editComment;
    FormSlot<frmEditPath> editPath;
    FormSlot<frmQuillbox> quillbox;
};

// The slots of the calling thread.
FormSlots& formSlots();

}  // namespace qb::windows
