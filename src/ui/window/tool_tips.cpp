#include "ui/window/tool_tips.h"

#include <commctrl.h>

#include "automation/module.h"

namespace qb::ui {

void ToolTips::add(HWND owner, HWND control, const std::wstring& tip) {
    if (window_) addTool({owner, control, tip});
    else waiting_.push_back({owner, control, tip});
}

void ToolTips::addTool(const Tip& tip) {
    // The size of the first version of the structure is understood by every version of the control.
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = tip.owner;
    tool.uId = reinterpret_cast<UINT_PTR>(tip.control);
    tool.lpszText = const_cast<wchar_t*>(tip.text.c_str());
    ::SendMessageW(window_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void ToolTips::relay(HWND control, UINT msg, WPARAM wp, LPARAM lp) {
    if (!window_) {
        if (waiting_.empty()) return;
        window_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX,
                                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, waiting_.front().owner,
                                    nullptr, automation::thisModule(), nullptr);
        if (!window_) {
            waiting_.clear();
            return;
        }
        for (const Tip& tip : waiting_)
            if (::IsWindow(tip.control)) addTool(tip);
        waiting_.clear();
    }
    MSG relayed{control, msg, wp, lp, static_cast<DWORD>(::GetMessageTime()), {}};
    ::SendMessageW(window_, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
}

void ToolTips::forget() {
    window_ = nullptr;
    waiting_.clear();
}

}  // namespace qb::ui
