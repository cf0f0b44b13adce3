#pragma once
// Facts about the module (DLL or EXE) this code is linked into.
#include <windows.h>

#include <string>

namespace qb::automation {

HMODULE thisModule();
// Full path of the module file.
std::wstring modulePath();
// The module's folder, without a trailing backslash.
std::wstring moduleFolder();

}  // namespace qb::automation
