#pragma once
// Move-only owners for every kind of handle the program creates. Each counts the handles it holds
// alive, so a test can show that a long run frees everything it makes.

#include <windows.h>

#include <atomic>
#include <optional>
#include <utility>

namespace vantor::win32 {

// Live handles held by all the owners below, per kind.
struct HandleCounts {
    static inline std::atomic<long> gdi{0};
    static inline std::atomic<long> icons{0};
    static inline std::atomic<long> dcs{0};
    static inline std::atomic<long> kernel{0};
    static inline std::atomic<long> modules{0};
};

template <class Traits>
class UniqueHandle {
public:
    using Type = typename Traits::Type;
    UniqueHandle() noexcept = default;
    explicit UniqueHandle(Type handle) noexcept : handle_(handle) {
        if (Valid()) ++Traits::Count();
    }
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(std::exchange(other.handle_, Traits::Invalid())) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            handle_ = std::exchange(other.handle_, Traits::Invalid());
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Reset(); }

    Type Get() const noexcept { return handle_; }
    bool Valid() const noexcept { return handle_ != Traits::Invalid(); }
    explicit operator bool() const noexcept { return Valid(); }

    void Reset(Type handle = Traits::Invalid()) noexcept {
        if (Valid()) {
            Traits::Close(handle_);
            --Traits::Count();
        }
        handle_ = handle;
        if (Valid()) ++Traits::Count();
    }
    // Gives up ownership, e.g. to a caller that destroys the handle itself.
    Type Release() noexcept {
        if (Valid()) --Traits::Count();
        return std::exchange(handle_, Traits::Invalid());
    }

private:
    Type handle_ = Traits::Invalid();
};

struct GdiTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteObject(h); }
    static std::atomic<long>& Count() { return HandleCounts::gdi; }
};
struct IconTraits {
    using Type = HICON;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DestroyIcon(h); }
    static std::atomic<long>& Count() { return HandleCounts::icons; }
};
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::DeleteDC(h); }
    static std::atomic<long>& Count() { return HandleCounts::dcs; }
};
struct KernelTraits {
    using Type = HANDLE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::CloseHandle(h); }
    static std::atomic<long>& Count() { return HandleCounts::kernel; }
};
struct ModuleTraits {
    using Type = HMODULE;
    static Type Invalid() { return nullptr; }
    static void Close(Type h) { ::FreeLibrary(h); }
    static std::atomic<long>& Count() { return HandleCounts::modules; }
};

using GdiObject = UniqueHandle<GdiTraits>;
using IconHandle = UniqueHandle<IconTraits>;
using MemoryDc = UniqueHandle<MemoryDcTraits>;
using KernelHandle = UniqueHandle<KernelTraits>;
using ModuleHandle = UniqueHandle<ModuleTraits>;

// A window's DC from GetDC, given back to that window.
class WindowDc {
public:
    explicit WindowDc(HWND window) noexcept : window_(window), dc_(::GetDC(window)) {
        if (dc_) ++HandleCounts::dcs;
    }
    ~WindowDc() {
        if (dc_) {
            ::ReleaseDC(window_, dc_);
            --HandleCounts::dcs;
        }
    }
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    HDC Get() const noexcept { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC and selects the previous one back into that same DC.
class SelectGuard {
public:
    SelectGuard(HDC dc, HGDIOBJ object) noexcept : dc_(dc), previous_(::SelectObject(dc, object)) {}
    ~SelectGuard() {
        if (previous_ && previous_ != HGDI_ERROR) ::SelectObject(dc_, previous_);
    }
    SelectGuard(const SelectGuard&) = delete;
    SelectGuard& operator=(const SelectGuard&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// A bitmap in the format of a reference DC, selected into a memory DC of its own for as long as both live.
class MemoryBitmap {
public:
    MemoryBitmap(HDC reference, int width, int height) noexcept
        : dc_(::CreateCompatibleDC(reference)),
          bitmap_(dc_ ? ::CreateCompatibleBitmap(reference, width, height) : nullptr) {
        if (bitmap_) selection_.emplace(dc_.Get(), bitmap_.Get());
    }
    MemoryBitmap(const MemoryBitmap&) = delete;
    MemoryBitmap& operator=(const MemoryBitmap&) = delete;

    // False when GDI refused the DC or the bitmap.
    explicit operator bool() const noexcept { return selection_.has_value(); }
    HDC Dc() const noexcept { return dc_.Get(); }

private:
    // Declared in this order so that the bitmap is selected out before it and then the DC are freed.
    MemoryDc dc_;
    GdiObject bitmap_;
    std::optional<SelectGuard> selection_;
};

}  // namespace vantor::win32
