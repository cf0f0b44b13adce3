// qb_regrows: prints the registry rows Quillbox.dll registers, for the installer packages.
//   qb_regrows win64|win32
// One row a line, UTF-8: key TAB value-name TAB value; an empty value name is the default value.
// The module's path and folder appear as the tokens "<module>" and "<folder>".
#include <windows.h>

#include <cstdio>
#include <string>

#include "automation/text.h"
#include "engine/server.h"

int wmain(int argc, wchar_t** argv) {
    using qb::automation::Platform;
    if (argc != 2 || (std::wstring(argv[1]) != L"win64" && std::wstring(argv[1]) != L"win32")) {
        std::fputs("usage: qb_regrows win64|win32\n", stderr);
        return 2;
    }
    const Platform platform = std::wstring(argv[1]) == L"win64" ? Platform::win64 : Platform::win32;
    for (const auto& row : qb::automation::registryRows(qb::automation::registrations(qb::engine::serverClasses()),
                                                        qb::engine::serverTypeLibrary(), platform)) {
        std::string line = qb::automation::toUtf8(row.key + L"\t" + row.name + L"\t" + row.value) + "\n";
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}
