#include "tests/e2e/RemoteMemory.h"

#include <commctrl.h>

namespace vantor::e2e {
namespace {

constexpr DWORD kTimeoutMs = 2000;

LRESULT SendWithTimeout(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    DWORD_PTR result = 0;
    if (!::SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, kTimeoutMs, &result)) return 0;
    return static_cast<LRESULT>(result);
}

DWORD ProcessOf(HWND window) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(window, &process);
    return process;
}

// The tools of one tooltip window, with their texts.
void CollectToolTexts(HWND tooltip, std::vector<std::wstring>& texts) {
    constexpr std::size_t kTextChars = 1024;
    RemoteBuffer remote(tooltip, sizeof(TTTOOLINFOW) + kTextChars * sizeof(wchar_t));
    if (!remote) return;
    const auto count = static_cast<int>(SendWithTimeout(tooltip, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TTTOOLINFOW tool{};
        tool.cbSize = sizeof tool;
        if (!remote.Write(0, &tool, sizeof tool) ||
            !SendWithTimeout(tooltip, TTM_ENUMTOOLSW, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(remote.At())) ||
            !remote.Read(0, &tool, sizeof tool))
            continue;
        // The enumeration leaves the text out; asking for it by the tool's identity fills it in.
        tool.lpszText = static_cast<wchar_t*>(remote.At(sizeof tool));
        const wchar_t empty = L'\0';
        if (!remote.Write(0, &tool, sizeof tool) || !remote.Write(sizeof tool, &empty, sizeof empty)) continue;
        SendWithTimeout(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(remote.At()));
        std::wstring text(kTextChars, L'\0');
        if (!remote.Read(sizeof tool, text.data(), text.size() * sizeof(wchar_t))) continue;
        text.resize(text.find(L'\0') == std::wstring::npos ? kTextChars - 1 : text.find(L'\0'));
        texts.push_back(text);
    }
}

}  // namespace

RemoteBuffer::RemoteBuffer(HWND window, std::size_t size)
    : process_(::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, ProcessOf(window))) {
    if (process_)
        address_ = ::VirtualAllocEx(process_.Get(), nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
}

RemoteBuffer::~RemoteBuffer() {
    if (address_) ::VirtualFreeEx(process_.Get(), address_, 0, MEM_RELEASE);
}

bool RemoteBuffer::Write(std::size_t offset, const void* data, std::size_t size) const {
    SIZE_T written = 0;
    return address_ && ::WriteProcessMemory(process_.Get(), At(offset), data, size, &written) && written == size;
}

bool RemoteBuffer::Read(std::size_t offset, void* data, std::size_t size) const {
    SIZE_T read = 0;
    return address_ && ::ReadProcessMemory(process_.Get(), At(offset), data, size, &read) && read == size;
}

std::vector<std::wstring> TrayTipTexts() {
    std::vector<std::wstring> texts;
    const HWND taskbar = ::FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return texts;
    const DWORD shell = ProcessOf(taskbar);
    for (HWND tip = ::FindWindowExW(nullptr, nullptr, TOOLTIPS_CLASSW, nullptr); tip;
         tip = ::FindWindowExW(nullptr, tip, TOOLTIPS_CLASSW, nullptr))
        if (ProcessOf(tip) == shell) CollectToolTexts(tip, texts);
    return texts;
}

std::optional<RECT> TabItemRect(HWND tabControl, int index) {
    RemoteBuffer remote(tabControl, sizeof(RECT));
    RECT item{};
    if (!remote ||
        !SendWithTimeout(tabControl, TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(remote.At())) ||
        !remote.Read(0, &item, sizeof item))
        return std::nullopt;
    ::MapWindowPoints(tabControl, nullptr, reinterpret_cast<POINT*>(&item), 2);
    return item;
}

}  // namespace vantor::e2e
