#include "framework/win32/Hints.h"

#include <commctrl.h>

#include <stdexcept>
#include <string>

namespace vantor::win32 {

THints::THints(HWND owner, std::string_view cannotCreate)
    : owner_(owner),
      tooltip_(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                                 ::GetModuleHandleW(nullptr), nullptr)) {
    if (!tooltip_) throw std::runtime_error(std::string(cannotCreate));
    ::SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_INITIAL, 500);
    ::SendMessageW(tooltip_, TTM_SETDELAYTIME, TTDT_AUTOPOP, 2500);
}

THints::~THints() {
    if (::IsWindow(tooltip_)) ::DestroyWindow(tooltip_);
}

void THints::Add(HWND control, const std::wstring& hint) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = owner_;
    tool.uId = reinterpret_cast<UINT_PTR>(control);
    tool.lpszText = const_cast<wchar_t*>(hint.c_str());
    ::SendMessageW(tooltip_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

}  // namespace vantor::win32
