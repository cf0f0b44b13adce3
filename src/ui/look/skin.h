#pragma once
// The skinning control every window carries: a skin file read at load and applied to the window.
//
// A skin file is UTF-8 text of "key=value" lines under a "[Skin]" header; ';' starts a comment.
// Keys: Name, FontName, FontSize (points), PanelColor, PanelTextColor, ButtonColor, TextBoxColor
// (colours as "r,g,b"). Unknown keys are ignored; missing keys keep the defaults.
#include <windows.h>

#include <string>

namespace qb::ui {

// Sent to a window by applySkin; lParam points to the SkinLook to take over.
constexpr UINT kApplySkinMessage = WM_APP + 0x51;

struct SkinLook {
    std::wstring name = L"Default";
    std::wstring fontName = L"Tahoma";
    int fontSize = 8;
    COLORREF panelColor = RGB(224, 224, 224);
    COLORREF panelTextColor = RGB(0, 0, 0);
    COLORREF textBoxColor = RGB(255, 255, 255);
};

class Skin {
public:
    // Reads a skin file; raises 53 "File not found" when it is missing and 5 when it is not a skin.
    void loadSkin(const std::wstring& path);
    // Applies the loaded skin to a window: its font and colours for the window and its controls.
    void applySkin(HWND window);
    const SkinLook& look() const { return look_; }

    static SkinLook parse(const std::string& utf8Text);  // raises 5 when there is no [Skin] section

private:
    SkinLook look_;
};

}  // namespace qb::ui
