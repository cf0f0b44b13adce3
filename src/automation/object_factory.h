#pragma once
// Creation of external objects by ProgID. The seam through which tests put in recording fakes.
#include <map>
#include <string>
#include <string_view>

#include "automation/object.h"

namespace qb::automation {

class ObjectFactory {
public:
    virtual ~ObjectFactory() = default;
    // Creates the object registered under `progId` (or a "{class id}"); raises 429 when it cannot.
    virtual Object create(std::wstring_view progId) = 0;
    // Between these two calls a factory may keep what it looked up (nested calls count).
    virtual void beginReuse() {}
    virtual void endReuse() {}
};

// Keeps a factory's look-ups for the lifetime of the object: one window operation.
class FactoryReuse {
public:
    explicit FactoryReuse(ObjectFactory& f) : f_(f) { f_.beginReuse(); }
    ~FactoryReuse() { f_.endReuse(); }
    FactoryReuse(const FactoryReuse&) = delete;
    FactoryReuse& operator=(const FactoryReuse&) = delete;

private:
    ObjectFactory& f_;
};

// The real thing: the class of a ProgID, its class factory, a new instance (in-process or local
// server). Every creation makes a new object; while reuse is on, the class factories looked up
// are kept, so that a creation costs microseconds instead of a registry walk.
class ComObjectFactory final : public ObjectFactory {
public:
    ~ComObjectFactory() override;
    Object create(std::wstring_view progId) override;
    void beginReuse() override { ++reuse_; }
    void endReuse() override;

private:
    int reuse_ = 0;
    std::map<std::wstring, ComPtr<IClassFactory>, std::less<>> factories_;
};

}  // namespace qb::automation
