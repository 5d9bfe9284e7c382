// The spin box against the real edit and up-down controls: where it stands, and its range rules.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "framework/win32/SpinEdit.h"

namespace vantor::win32 {
namespace {

class SpinEditWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
        ::InitCommonControlsEx(&controls);
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override { ::DestroyWindow(parent); }

    static RECT RectIn(HWND window, HWND reference) {
        RECT r{};
        ::GetWindowRect(window, &r);
        ::MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    std::wstring Text(const TSpinEdit& spin) const {
        wchar_t text[32] = L"";
        ::GetWindowTextW(spin.Edit(), text, 32);
        return text;
    }

    HWND parent = nullptr;
};

TEST_F(SpinEditWin32, TheTextAndTheArrowsTogetherFillTheGivenRectangle) {
    const TSpinEdit spin({parent, 7, 140, 47, 81, 21, 1, 100000, 1, nullptr});
    const RECT text = RectIn(spin.Edit(), parent), arrows = RectIn(spin.Arrows(), parent);
    EXPECT_EQ(text.left, 140);
    EXPECT_EQ(text.top, 47);
    EXPECT_EQ(text.bottom, 68);
    EXPECT_EQ(arrows.right, 140 + 81) << "the arrows end where the box ends";
    EXPECT_EQ(arrows.left, text.right) << "the arrows sit right of the text, neither apart nor over it";
    EXPECT_EQ(arrows.top, 47);
    EXPECT_EQ(arrows.bottom, 68);
}

TEST_F(SpinEditWin32, ValuesArePulledIntoTheRangeAndTheArrowKeysStepByTheIncrement) {
    TSpinEdit spin({parent, 7, 87, 82, 73, 21, 1, 10800, 10, nullptr});
    spin.SetValue(20000);
    EXPECT_EQ(Text(spin), L"10800");
    spin.SetValue(0);
    EXPECT_EQ(Text(spin), L"1");
    ::SetWindowTextW(spin.Edit(), L"abc");
    EXPECT_EQ(spin.Value(), 1) << "not a number: the minimum";
    ::SetWindowTextW(spin.Edit(), L"50000");
    spin.PullIntoRange();
    EXPECT_EQ(Text(spin), L"10800");

    spin.SetValue(60);
    ::SendMessageW(spin.Edit(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Text(spin), L"70");
    ::SendMessageW(spin.Edit(), WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(spin.Edit(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Text(spin), L"50");
}

}  // namespace
}  // namespace vantor::win32
