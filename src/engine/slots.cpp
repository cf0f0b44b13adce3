#include "engine/slots.h"
#include "base/per_thread.h"

namespace qb::engine {

FormSlots& formSlots() {
    return perThread<FormSlots>();
}

void FormSlots::clear() {
    editName.clearUnlessShown();
    editComment.clearUnlessShown();
    editPath.clearUnlessShown();
    quillbox.clearUnlessShown();
    relationServer.clearUnlessShown();
    relationWeb.clearUnlessShown();
    relationOutlook.clearUnlessShown();
}

}  // namespace qb::engine
