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
    bool andLater = false;  // every later call fails too (the suite gone for good), the system's
                            // own objects' (Scripting.*) excepted
    long live = 0;    // proxies alive
    std::wstring failed;  // what the (first) failing call was: "Tesra.File.GetOneById"
    void reset(long fail = 0, bool later = false) {
        calls = 0;
        failAt = fail;
        andLater = later;
        failed.clear();
    }
    // Counts a call on (or the creation of) an object of `progId`; answers whether it fails.
    bool fails(const std::wstring& progId) {
        ++calls;
        return failAt && (calls == failAt || (andLater && calls > failAt && !progId.starts_with(L"Scripting.")));
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
