#pragma once
// THints: the hints of a window's controls, each shown in a tooltip while the mouse rests on its
// control, after the usual half-second pause.

#include <windows.h>

#include <string>
#include <string_view>

namespace vantor::win32 {

class THints {
public:
    // `cannotCreate` is what a failure to make the tooltip says, in the program's language (UTF-8).
    THints(HWND owner, std::string_view cannotCreate);
    ~THints();
    THints(const THints&) = delete;
    THints& operator=(const THints&) = delete;

    void Add(HWND control, const std::wstring& hint);
    HWND Handle() const noexcept { return tooltip_; }

private:
    HWND owner_;
    HWND tooltip_;
};

}  // namespace vantor::win32
