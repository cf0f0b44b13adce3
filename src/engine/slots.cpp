#include "engine/slots.h"

namespace qb::engine {

FormSlots& formSlots() {
    thread_local FormSlots slots;
    return slots;
}

void FormSlots::clear() {
    editName.clear();
    editComment.clear();
    editPath.clear();
    quillbox.clear();
    relationServer.clear();
}

}  // namespace qb::engine
