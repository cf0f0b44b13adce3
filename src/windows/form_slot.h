#pragma once
// One instance slot per window class (the class's default instance) on the host's UI thread.
#include <memory>

#include "automation/com_error.h"

namespace qb::windows {

template <class T>
class FormSlot {
public:
    // A window put in the slot for one operation; the slot is emptied when the operation ends,
    // unless another window has taken its place meanwhile.
    class Lease {
    public:
        explicit Lease(FormSlot& slot) : slot_(slot), window_(slot.slot_.get()) {}
        ~Lease() {
            if (slot_.slot_.get() == window_) slot_.clear();
        }
        Lease(const Lease&) = delete;
        Lease& operator=(const Lease&) = delete;
        T& operator*() const { return *window_; }
        T* operator->() const { return window_; }

    private:
        FormSlot& slot_;
        T* window_;
    };

    // Discards the window in the slot (if any) and puts a new one there. A window of the slot
    // that is loading or shown modally (an operation called again from a message its load or its
    // modal loop let run) is not discarded under the code that runs it: that call raises 400.
    Lease renew() {
        if (slot_ && slot_->isInUse())
            throw automation::ComError(400, L"Form already displayed; can't show modally", automation::kComponentSource);
        slot_.reset();
        slot_ = std::make_unique<T>();
        return Lease(*this);
    }
    // The window in the slot, reused as it is (loaded again by its next show), created when the
    // slot is empty; a window of the slot loading or shown modally now is not touched: 400.
    T& reuse() {
        if (slot_ && slot_->isInUse())
            throw automation::ComError(400, L"Form already displayed; can't show modally", automation::kComponentSource);
        return getOrCreate();
    }
    // The window in the slot, created when the slot is empty.
    T& getOrCreate() {
        if (!slot_) slot_ = std::make_unique<T>();
        return *slot_;
    }
    T* get() const { return slot_.get(); }
    void clear() { slot_.reset(); }
    // Empties the slot unless its window is loading or shown modally now: a load step or a modal
    // loop never runs on over a window that is gone.
    void clearUnlessShown() {
        if (!slot_ || !slot_->isInUse()) slot_.reset();
    }

private:
    std::unique_ptr<T> slot_;
};

}  // namespace qb::windows
