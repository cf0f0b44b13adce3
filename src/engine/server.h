#pragma once
// What Quillbox.dll serves and registers: one list for DllRegisterServer and the installer packages.
#include <vector>

#include "automation/registration.h"
#include "automation/server_module.h"

namespace qb::engine {

inline constexpr wchar_t kEngineVersionedProgId[] = L"Quillbox.Engine.1";

const std::vector<automation::ServerClass>& serverClasses();
// The type library embedded in the DLL as resource 1.
const automation::TypeLibraryRegistration* serverTypeLibrary();

}  // namespace qb::engine
