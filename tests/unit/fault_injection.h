#pragma once
// Stands between the component and the suite: every object the component creates, and every
// object those answer (records, collections and their items), is a proxy that counts the calls
// made on it and can make one of them fail with a suite error. The proxies also count
// themselves, so that a test sees whether the component let go of every reference it took.
#include <memory>
#include <string>

#include "automation/object_factory.h"

namespace qb::testing {

struct Injection {
    long calls = 0;   // creations and calls made since the count was last reset
    long failAt = 0;  // the call (counted from 1) that fails; 0: none
    long live = 0;    // proxies alive
    std::wstring failed;  // what the failing call was: "Tesra.File.GetOneById"
    void reset(long fail = 0) {
        calls = 0;
        failAt = fail;
        failed.clear();
    }
};

class FaultInjectingFactory final : public automation::ObjectFactory {
public:
    FaultInjectingFactory(automation::ObjectFactory& inner, std::shared_ptr<Injection> state)
        : inner_(inner), state_(std::move(state)) {}
    // A creation is a call point too: it fails as a missing component does (429).
    automation::Object create(std::wstring_view progId) override;

private:
    automation::ObjectFactory& inner_;
    std::shared_ptr<Injection> state_;
};

}  // namespace qb::testing
