#include "windows/slots.h"

namespace qb::windows {

FormSlots& formSlots() {
    thread_local FormSlots slots;
    return slots;
}

}  // namespace qb::windows
