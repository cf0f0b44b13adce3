#pragma once
// A stand-in for ADODB.Stream with the members the component uses (Wine's cannot save to disk):
// Mode, Type, Position, Size (properties), Open, Write(bytes), SaveToFile(path, options), Close.
// Registered in the test prefix only.
#include <vector>

#include "automation/dispatch_object.h"

namespace platform {

class AdoStream final : public qb::automation::DispatchObject {
protected:
    const qb::automation::MemberTable& members() const override;

private:
    std::vector<unsigned char> bytes_;
    long position_ = 0, mode_ = 0, type_ = 2;
    bool open_ = false;
};

}  // namespace platform
