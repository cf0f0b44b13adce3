#pragma once
// The Server page of a local item's relation window: uploads the item's file to the suite's file
// server, lets the suite register it as a new item with the local item's relations, and can
// remove the local item from the suite's local data. A busy panel plays while the file goes.
// The mail item window has the same page with an upload of its own behind the button.
#include <functional>

#include "windows/pages/relation_context.h"

namespace qb::windows {

class ServerPage {
public:
    // What the window does once the file is on the server: shows the new item (its record), and,
    // after the local item was removed where asked, marks the upload done.
    struct Uploaded {
        std::function<void(const automation::Object& serverItem)> showServerItem;
        std::function<void()> done;
    };
    ServerPage(RelationContext context, Uploaded uploaded);
    // The button runs `upload` instead, the window taking no input meanwhile.
    ServerPage(RelationContext context, std::function<void()> upload);
    ServerPage(const ServerPage&) = delete;
    ServerPage& operator=(const ServerPage&) = delete;

    ui::Label lblUpload;
    ui::Button cmdUpload;
    ui::CheckBox chkRemove;
    ui::Panel sspSending;
    ui::Animation Animation1;
    ui::LayoutTable layout(int page);
    // Once the window exists: the busy panel hidden.
    void prepare();

    void cmdUpload_Click();
    // An upload is under way (the suite's upload lets the window's messages run meanwhile).
    bool busy() const { return busy_; }

private:
    void upload();
    void showBusy();
    void hideBusy() noexcept;

    RelationContext ctx_;
    Uploaded uploaded_;
    std::function<void()> uploadInstead_;
    bool busy_ = false;
};

}  // namespace qb::windows
