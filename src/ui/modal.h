#pragma once
// Running a window modally. Behind a seam so that tests can drive a modal window step by step.
namespace qb::ui {

class Form;

class ModalRunner {
public:
    virtual ~ModalRunner() = default;
    // Returns when `form` is no longer visible (hidden or unloaded).
    virtual void runModal(Form& form) = 0;
};

// The real modal loop: the thread's other top-level windows are disabled while it runs.
class MessageLoopRunner final : public ModalRunner {
public:
    void runModal(Form& form) override;
};

}  // namespace qb::ui
