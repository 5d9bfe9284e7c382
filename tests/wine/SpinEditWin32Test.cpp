// The spin box against the real edit and up-down controls: where it stands, its range rules, and what
// typing, pasting and an input method put into it.

#include <windows.h>
#include <commctrl.h>
#include <imm.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string_view>

#include "framework/win32/SpinEdit.h"
#include "framework/win32/Text.h"
#include "tests/support/Desktop.h"

namespace vantor::win32 {
namespace {

using ::vantor::testing::RectIn;

class SpinEditWin32 : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof controls, ICC_UPDOWN_CLASS};
        ::InitCommonControlsEx(&controls);
        parent = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 400, 200, nullptr, nullptr,
                                   ::GetModuleHandleW(nullptr), nullptr);
    }
    void TearDown() override { ::DestroyWindow(parent); }

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

TEST_F(SpinEditWin32, DigitsOfAnyScriptTypedPastedOrFromAnInputMethodAreKeptInAsciiAndTheArrowsStepFromThem) {
    TSpinEdit spin({parent, 7, 87, 82, 73, 21, 1, 10800, 10, nullptr});
    const auto dispatchPosted = [] {
        for (MSG posted; ::PeekMessageW(&posted, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageW(&posted);
    };
    const auto typeInto = [&](UINT message, std::wstring_view characters) {
        ::SetWindowTextW(spin.Edit(), L"");
        for (const wchar_t c : characters) ::SendMessageW(spin.Edit(), message, c, 1);
        // The system turns an input method's character into a posted WM_CHAR.
        dispatchPosted();
    };
    struct Case {
        UINT message;
        const wchar_t* typed;
        const wchar_t* kept;
    };
    for (const Case& c : {Case{WM_CHAR, L"６０", L"60"}, Case{WM_CHAR, L"٣x७", L"37"}, Case{WM_CHAR, L"²1", L"1"},
                          Case{WM_IME_CHAR, L"１５", L"15"}, Case{WM_IME_CHAR, L"ａ", L""}}) {
        typeInto(c.message, c.typed);
        EXPECT_EQ(Text(spin), c.kept) << ::testing::PrintToString(Narrow(c.typed));
    }

    // What an input method hands over when its composition is confirmed.
    ::SetWindowTextW(spin.Edit(), L"");
    const HIMC inputContext = ::ImmGetContext(spin.Edit());
    ASSERT_NE(inputContext, nullptr);
    const wchar_t composed[] = L"６x０";
    ASSERT_TRUE(::ImmSetCompositionStringW(inputContext, SCS_SETSTR, const_cast<wchar_t*>(composed),
                                           sizeof composed - sizeof(wchar_t), nullptr, 0));
    ASSERT_TRUE(::ImmNotifyIME(inputContext, NI_COMPOSITIONSTR, CPS_COMPLETE, 0));
    ::ImmReleaseContext(spin.Edit(), inputContext);
    dispatchPosted();
    EXPECT_EQ(Text(spin), L"60") << "an input method's result";
    EXPECT_EQ(spin.Value(), 60);
    ::SendMessageW(spin.Edit(), WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(Text(spin), L"70") << "the arrows step from the typed value";

    ASSERT_TRUE(::OpenClipboard(parent));
    ::EmptyClipboard();
    const wchar_t pasted[] = L"１２x０";
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, sizeof pasted);
    std::memcpy(::GlobalLock(memory), pasted, sizeof pasted);
    ::GlobalUnlock(memory);
    ASSERT_NE(::SetClipboardData(CF_UNICODETEXT, memory), nullptr);
    ::CloseClipboard();
    typeInto(WM_CHAR, L"5");
    ::SendMessageW(spin.Edit(), WM_PASTE, 0, 0);
    EXPECT_EQ(Text(spin), L"5120") << "pasted after the typed digit, the letter left out";
    EXPECT_EQ(spin.Value(), 5120);
    ::SendMessageW(spin.Edit(), WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(Text(spin), L"5110");
}

}  // namespace
}  // namespace vantor::win32
