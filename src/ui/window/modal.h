#pragma once
// Running a window modally. Behind a seam so that tests can drive a modal window step by step.
namespace qb::ui {

class Form;

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Shows `form` and returns when it is no longer visible (hidden or unloaded). The form has
    // already disabled the host's windows and enables them again as it ends the show.
    virtual void runModal(Form& form) = 0;
};

// The real modal loop, on the thread's message queue.
class MessageLoopRunner final : public ModalRunner {
public:
    void runModal(Form& form) override;
};

}  // namespace qb::ui
