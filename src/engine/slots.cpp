#include "engine/slots.h"

namespace qb::engine {

FormSlots& formSlots() {
    thread_local FormSlots slots;
    return slots;
}

void FormSlots::clear() {
    editName.clearUnlessShown();
    editComment.clearUnlessShown();
    editPath.clearUnlessShown();
    quillbox.clearUnlessShown();
    relationServer.clearUnlessShown();
}

}  // namespace qb::engine
