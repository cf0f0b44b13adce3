#include "automation/text.h"
#include "ui/look/skin.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <vector>

#include "automation/com_error.h"
#include "base/handles.h"

namespace qb::ui {
namespace {

std::string trim(std::string s) {
    const char* ws = " \t\r\n";
    s.erase(0, s.find_first_not_of(ws));
    s.erase(s.find_last_not_of(ws) + 1);
    return s;
}

bool parseColor(const std::string& v, COLORREF& out) {
    int r, g, b;
    if (std::sscanf(v.c_str(), "%d , %d , %d", &r, &g, &b) != 3) return false;
    out = RGB(r & 255, g & 255, b & 255);
    return true;
}

}  // namespace

SkinLook Skin::parse(const std::string& text) {
    SkinLook look;
    std::istringstream in(text);
    std::string line;
    bool inSkin = false, sawSkin = false;
    while (std::getline(in, line)) {
        line = trim(line);
        if (line.size() >= 3 && line.compare(0, 3, "\xEF\xBB\xBF") == 0) line = trim(line.substr(3));
        if (line.empty() || line[0] == ';') continue;
        if (line.front() == '[') {
            inSkin = line == "[Skin]";
            sawSkin |= inSkin;
            continue;
        }
        auto eq = line.find('=');
        if (!inSkin || eq == std::string::npos) continue;
        std::string key = trim(line.substr(0, eq)), value = trim(line.substr(eq + 1));
        if (key == "Name") look.name = automation::fromUtf8(value);
        else if (key == "FontName") look.fontName = automation::fromUtf8(value);
        else if (key == "FontSize") look.fontSize = std::max(1, std::atoi(value.c_str()));
        else if (key == "PanelColor") parseColor(value, look.panelColor);
        else if (key == "PanelTextColor") parseColor(value, look.panelTextColor);
        else if (key == "TextBoxColor") parseColor(value, look.textBoxColor);
    }
    if (!sawSkin) throw automation::ComError::runtime(automation::err::InvalidProcedureCall, L"not a skin file");
    return look;
}

void Skin::loadSkin(const std::wstring& path) {
    UniqueFile file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
    if (!file) throw automation::ComError::runtime(automation::err::FileNotFound, path);
    std::string text;
    char buf[4096];
    DWORD got = 0;
    while (::ReadFile(file.get(), buf, sizeof buf, &got, nullptr) && got) text.append(buf, got);
    look_ = parse(text);
}

void Skin::applySkin(HWND window) {
    if (window) ::SendMessageW(window, kApplySkinMessage, 0, reinterpret_cast<LPARAM>(&look_));
}

}  // namespace qb::ui
