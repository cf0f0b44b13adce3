#pragma once
// Creation of external objects by ProgID. The seam through which tests put in recording fakes.
#include <string_view>

#include "automation/object.h"

namespace qb::automation {

class ObjectFactory {
public:
    virtual ~ObjectFactory() = default;
    // Creates the object registered under `progId` (or a "{class id}"); raises 429 when it cannot.
    virtual Object create(std::wstring_view progId) = 0;
};

// The real thing: CLSIDFromProgID + CoCreateInstance (in-process or local server).
class ComObjectFactory final : public ObjectFactory {
public:
    Object create(std::wstring_view progId) override;
};

}  // namespace qb::automation
