#pragma once
// Asking another process's common controls what they hold: their messages take pointers, which must
// point into that process, so the record travels through memory allocated there.

#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "framework/win32/Handles.h"

namespace vantor::e2e {

// A block of memory in the process that owns `window`, freed at the end.
class RemoteBuffer {
public:
    RemoteBuffer(HWND window, std::size_t size);
    ~RemoteBuffer();
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;

    explicit operator bool() const noexcept { return address_ != nullptr; }
    // The address as the other process sees it, `offset` bytes in.
    void* At(std::size_t offset = 0) const noexcept { return static_cast<char*>(address_) + offset; }
    bool Write(std::size_t offset, const void* data, std::size_t size) const;
    bool Read(std::size_t offset, void* data, std::size_t size) const;

private:
    win32::KernelHandle process_;
    void* address_ = nullptr;
};

// The texts of every tool of the taskbar's tooltip windows: each notification-area icon's tip.
std::vector<std::wstring> TrayTipTexts();

// Where tab `index` of a tab control of another process lies, in screen coordinates.
std::optional<RECT> TabItemRect(HWND tabControl, int index);

}  // namespace vantor::e2e
