#pragma once
// modDownloadFiles: one resource fetched over HTTP and written byte for byte to a file.
#include <string>

#include "automation/variant.h"

namespace qb::shell {

// XML HTTP request, synchronous GET; whatever body arrives (an error page too) is written.
automation::Variant StartDownload(const std::wstring& url, const std::wstring& file);
void FileSave(const automation::Variant& data, const std::wstring& file);
// Writes the bytes through ADODB.Stream (binary, create or overwrite).
void CubeFileSaveAdo(const automation::Variant& data, const std::wstring& file);

// Lets pending window messages run (repaint, a click on Cancel).
void DoEvents();

// The XML HTTP request class of Microsoft XML Core Services.
inline constexpr wchar_t kXmlHttpClass[] = L"{F6D90F16-9C73-11D3-B32E-00C04F990BB4}";

}  // namespace qb::shell
