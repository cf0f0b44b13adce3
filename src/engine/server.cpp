#include "engine/server.h"

#include "engine/engine.h"

namespace qb::engine {

const std::vector<automation::ServerClass>& serverClasses() {
    static const std::vector<automation::ServerClass> list = {
        {{CLSID_Engine, kEngineProgId, L"Quillbox Engine", kEngineVersionedProgId}, &createEngine},
    };
    return list;
}

const automation::TypeLibraryRegistration* serverTypeLibrary() {
    static const automation::TypeLibraryRegistration lib = {
        kTypeLibId, L"1.0", L"Quillbox relation windows", L"8" /* LIBFLAG_FHASDISKIMAGE, as compiled */,
        {{DIID_Engine, L"_Engine"}}};
    return &lib;
}

}  // namespace qb::engine
