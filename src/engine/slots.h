#pragma once
// The slots of the windows the engine's operations open, on the calling thread.
#include "windows/dialogs/edit_dialogs.h"
#include "windows/form_slot.h"
#include "windows/outlook/frm_relation_outlook.h"
#include "windows/relation/frm_quillbox.h"
#include "windows/server/frm_relation_server.h"
#include "windows/web/frm_relation_web.h"

namespace qb::engine {

struct FormSlots {
    windows::FormSlot<windows::frmEditName> editName;
    windows::FormSlot<windows::frmEditComment> editComment;
    windows::FormSlot<windows::frmEditPath> editPath;
    windows::FormSlot<windows::frmQuillbox> quillbox;
    // Reused by the web operations while it is filled.
    windows::FormSlot<windows::frmRelationServer> relationServer;
    windows::FormSlot<windows::frmRelationWeb> relationWeb;
    windows::FormSlot<windows::frmRelationOutlook> relationOutlook;
    // Closes every window of the slots, but one shown modally now.
    void clear();
};

FormSlots& formSlots();

}  // namespace qb::engine
