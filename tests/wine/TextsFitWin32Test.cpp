// The settings dialog and the about box in each language: every caption fits its control, and no control
// of a page lies over another. English captions run longer than the Japanese ones the layout was drawn for.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/win32/AboutBox.h"
#include "app/win32/SettingsDialog.h"
#include "framework/win32/Application.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"
#include "framework/win32/Window.h"
#include "tests/support/Desktop.h"

namespace vantor::win32 {
namespace {

using ::vantor::testing::ChildrenOf;
using ::vantor::testing::ClassOf;
using ::vantor::testing::RectIn;

// The width a control's caption needs: the text, and for a check box its box and the gap after it, for a
// push button its edges.
int NeededWidth(HWND control) {
    const std::wstring text = WindowText(control);
    const int textWidth = TextExtent(reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0)), text).cx;
    if (ClassOf(control) != L"Button") return textWidth;
    const LONG kind = ::GetWindowLongW(control, GWL_STYLE) & BS_TYPEMASK;
    if (kind == BS_AUTOCHECKBOX) return ::GetSystemMetrics(SM_CXMENUCHECK) + 4 + textWidth;
    return textWidth + 4 * ::GetSystemMetrics(SM_CXEDGE);
}

// The height a note of several lines needs, wrapped at its control's width.
int NeededHeight(HWND control, int width) {
    const WindowDc screen(nullptr);
    const SelectGuard font(screen.Get(), reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    RECT area{0, 0, width, 0};
    const std::wstring text = WindowText(control);
    ::DrawTextW(screen.Get(), text.c_str(), static_cast<int>(text.size()), &area, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    return area.bottom;
}

void ExpectCaptionsFit(HWND parent, const std::string& where) {
    for (HWND control : ChildrenOf(parent)) {
        const std::wstring cls = ClassOf(control);
        if (cls != L"Button" && cls != L"Static") continue;
        const RECT r = RectIn(control, parent);
        if (WindowText(control).find(L'\n') != std::wstring::npos) {
            EXPECT_LE(NeededHeight(control, r.right - r.left), r.bottom - r.top)
                << where << ": " << Narrow(WindowText(control)) << " is cut off";
            continue;
        }
        EXPECT_LE(NeededWidth(control), r.right - r.left)
            << where << ": " << Narrow(WindowText(control)) << " is clipped";
    }
}

// Each pair of a page's controls, but an edit and the arrows it is the buddy of, lie apart, and inside the page.
void ExpectNoOverlap(HWND page, const std::string& where) {
    RECT area{};
    ::GetClientRect(page, &area);
    const std::vector<HWND> controls = ChildrenOf(page);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const RECT a = RectIn(controls[i], page);
        RECT inside{};
        ::IntersectRect(&inside, &a, &area);
        EXPECT_TRUE(::EqualRect(&inside, &a)) << where << ": " << Narrow(WindowText(controls[i])) << " leaves the page";
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            const RECT b = RectIn(controls[j], page);
            RECT common{};
            EXPECT_FALSE(::IntersectRect(&common, &a, &b))
                << where << ": " << Narrow(WindowText(controls[i])) << " overlaps " << Narrow(WindowText(controls[j]));
        }
    }
}

TEST(TextsFit, TheSettingsDialogAndTheAboutBoxHoldTheirCaptionsInBothLanguages) {
    Application application(::GetModuleHandleW(nullptr));
    for (const Language language : {Language::Japanese, Language::English}) {
        const std::string name = language == Language::Japanese ? "Japanese" : "English";
        TSettingsDialog dialog(language);
        ExpectCaptionsFit(dialog.Handle(), name + " dialog");
        int page = 0;
        for (HWND child : ChildrenOf(dialog.Handle())) {
            if (ClassOf(child) != L"TTabSheet") continue;
            const std::string where = name + " page " + std::to_string(++page);
            ExpectCaptionsFit(child, where);
            ExpectNoOverlap(child, where);
        }
        EXPECT_EQ(page, 3);
        RECT tabs{}, lastTab{};
        ::GetClientRect(dialog.pageTabs, &tabs);
        ASSERT_TRUE(::SendMessageW(dialog.pageTabs, TCM_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&lastTab)));
        EXPECT_LE(lastTab.right, tabs.right) << name << ": the page titles fit in one row";

        TAboutBox about(language);
        ExpectCaptionsFit(about.Handle(), name + " about box");
        const HWND info = ::FindWindowExW(about.Handle(), nullptr, L"Edit", nullptr);
        const RECT infoRect = RectIn(info, about.Handle());
        const auto font = reinterpret_cast<HFONT>(::SendMessageW(info, WM_GETFONT, 0, 0));
        const std::wstring text = WindowText(info);
        for (std::size_t start = 0, end = 0; start < text.size(); start = end + 2) {
            end = std::min(text.find(L"\r\n", start), text.size());
            EXPECT_LE(TextExtent(font, std::wstring_view(text).substr(start, end - start)).cx,
                      infoRect.right - infoRect.left)
                << name << " about box: a line of its text is clipped";
        }
    }
}

}  // namespace
}  // namespace vantor::win32
