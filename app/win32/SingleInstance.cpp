#include "app/win32/SingleInstance.h"

#include <sddl.h>

#include <string>
#include <vector>

namespace vantor::win32 {
namespace {

// The user's SID names the mutex, so that two users of one session (run as) each get their own program.
std::wstring UserIdentity() {
    std::wstring name;
    HANDLE token = nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &token)) {
        const KernelHandle owned(token);
        DWORD size = 0;
        ::GetTokenInformation(token, TokenUser, nullptr, 0, &size);
        std::vector<unsigned char> user(size);
        wchar_t* sid = nullptr;
        if (size && ::GetTokenInformation(token, TokenUser, user.data(), size, &size) &&
            ::ConvertSidToStringSidW(reinterpret_cast<TOKEN_USER*>(user.data())->User.Sid, &sid)) {
            name = sid;
            ::LocalFree(sid);
        }
    }
    if (name.empty()) {
        wchar_t user[256] = L"";
        DWORD length = 256;
        if (::GetUserNameW(user, &length)) name = user;
    }
    return name;
}

struct Search {
    const wchar_t* className;
    const wchar_t* windowText;
    std::vector<HWND> found;
};

BOOL CALLBACK Collect(HWND window, LPARAM context) {
    auto& search = *reinterpret_cast<Search*>(context);
    wchar_t name[64] = L"", text[64] = L"";
    ::GetClassNameW(window, name, 64);
    ::InternalGetWindowText(window, text, 64);
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    if (process != ::GetCurrentProcessId() && std::wstring_view(name) == search.className &&
        std::wstring_view(text) == search.windowText)
        search.found.push_back(window);
    return TRUE;
}

}  // namespace

SingleInstance::SingleInstance() {
    const std::wstring name = L"Local\\Vantor-" + UserIdentity();
    const HANDLE mutex = ::CreateMutexW(nullptr, FALSE, name.c_str());
    const bool taken = ::GetLastError() == ERROR_ALREADY_EXISTS;
    mutex_.Reset(mutex);
    first_ = !mutex || !taken;
}

UINT SingleInstance::ShowRequestMessage() {
    static const UINT message = ::RegisterWindowMessageW(L"Vantor.ShowMiniWindow");
    return message;
}

void SingleInstance::ShowRunning(const wchar_t* className, const wchar_t* windowText) const {
    for (int attempt = 0; attempt < 50; ++attempt) {
        Search search{className, windowText, {}};
        ::EnumWindows(Collect, reinterpret_cast<LPARAM>(&search));
        for (HWND window : search.found) {
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            ::AllowSetForegroundWindow(process);
            ::PostMessageW(window, ShowRequestMessage(), 0, 0);
        }
        if (!search.found.empty()) return;
        ::Sleep(100);
    }
}

}  // namespace vantor::win32
