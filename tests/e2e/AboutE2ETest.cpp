// The about box of vantor.exe, opened from the popup menu, looked at and closed from outside.

#include <windows.h>

#include <gtest/gtest.h>

#include <set>

#include "app/core/Artwork.h"
#include "tests/e2e/Driving.h"
#include "tests/e2e/VantorProcess.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kCaption[] = L"-About Infomation-";

void ExpectCentredOnTheScreen(HWND box) {
    RECT r{};
    ::GetWindowRect(box, &r);
    EXPECT_EQ(r.left, (::GetSystemMetrics(SM_CXSCREEN) - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (::GetSystemMetrics(SM_CYSCREEN) - (r.bottom - r.top)) / 2);
}

// "2.22" from the executable's version resource, both its fixed part and its text.
std::pair<std::wstring, std::wstring> VersionsOfExecutable(const std::filesystem::path& exe) {
    DWORD ignored = 0;
    std::vector<unsigned char> block(::GetFileVersionInfoSizeW(exe.c_str(), &ignored));
    if (block.empty() || !::GetFileVersionInfoW(exe.c_str(), 0, static_cast<DWORD>(block.size()), block.data()))
        return {};
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    std::wstring fixedText;
    if (::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &size) && fixed)
        fixedText = std::to_wstring(HIWORD(fixed->dwFileVersionMS)) + L"." + std::to_wstring(LOWORD(fixed->dwFileVersionMS));
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    std::wstring text;
    if (::VerQueryValueW(block.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation), &size) &&
        translation) {
        wchar_t key[64];
        std::swprintf(key, 64, L"\\StringFileInfo\\%04x%04x\\FileVersion", translation->language, translation->codePage);
        wchar_t* value = nullptr;
        if (::VerQueryValueW(block.data(), key, reinterpret_cast<void**>(&value), &size) && value) text = value;
    }
    return {fixedText, text};
}

TEST(AboutE2E, AToolWindowCentredOnTheScreenWithTheIconTheThreeLinesAndClose) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    const HWND box = OpenDialog(vantor, cmdAbout, kCaption);
    ASSERT_NE(box, nullptr) << "バージョン情報... opens the box";

    const WindowState state = StateOf(box);
    EXPECT_TRUE(state.exStyle & WS_EX_TOOLWINDOW) << "a small caption and no taskbar button";
    EXPECT_FALSE(state.exStyle & WS_EX_APPWINDOW);
    EXPECT_EQ(state.style & WS_CAPTION, static_cast<DWORD>(WS_CAPTION));
    EXPECT_TRUE(state.style & WS_SYSMENU) << "the close box";
    EXPECT_FALSE(state.style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "not resizable, close box only";
    EXPECT_EQ(state.client.right, 354);
    EXPECT_EQ(state.client.bottom, 62);
    ExpectCentredOnTheScreen(box);
    EXPECT_FALSE(::IsWindowEnabled(form)) << "modal: the mini window takes no input meanwhile";

    const auto memos = ChildrenOfClass(box, L"Edit");
    ASSERT_EQ(memos.size(), 1u);
    const HWND memo = memos.front();
    const std::wstring text = TextOf(memo);
    const auto firstBreak = text.find(L"\r\n"), secondBreak = text.find(L"\r\n", firstBreak + 2);
    ASSERT_NE(secondBreak, std::wstring::npos) << "three lines: " << ::testing::PrintToString(text);
    const std::wstring first = text.substr(0, firstBreak);
    const std::wstring web = text.substr(firstBreak + 2, secondBreak - firstBreak - 2);
    const std::wstring mail = text.substr(secondBreak + 2);
    EXPECT_EQ(first, L"Vantor Information Version 2.22");
    EXPECT_TRUE(web.starts_with(L"http")) << ::testing::PrintToString(web);
    EXPECT_NE(mail.find(L'@'), std::wstring::npos) << ::testing::PrintToString(mail);
    EXPECT_EQ(mail.find(L"\r\n"), std::wstring::npos) << "no break after the last line";
    const WindowState memoState = StateOf(memo);
    EXPECT_TRUE(memoState.style & ES_READONLY);
    EXPECT_TRUE(memoState.style & ES_MULTILINE);
    EXPECT_FALSE(memoState.style & WS_BORDER) << "no border";
    EXPECT_FALSE(memoState.exStyle & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE)) << "no bevels";
    EXPECT_EQ(PlacementIn(memo, box), (Placement{44, 8, 245, 44}));

    const auto buttons = ChildrenOfClass(box, L"Button", L"Close");
    ASSERT_EQ(buttons.size(), 1u);
    EXPECT_EQ(::GetDlgCtrlID(buttons.front()), IDCANCEL) << "the cancel button";
    EXPECT_EQ(PlacementIn(buttons.front(), box), (Placement{300, 7, 47, 18}));
    EXPECT_EQ(FocusOfThreadOf(box), buttons.front()) << "the focus starts on the button";

    // The program's icon at 5, 2, stretched to 34 x 34: its colours fill the place.
    std::set<DWORD> iconColours;
    for (std::uint32_t pixel : art::MainIcon().pixels)
        if ((pixel >> 24) == 0xFF) iconColours.insert(pixel & 0xFFFFFF);
    POINT corner{5, 2};
    ::ClientToScreen(box, &corner);
    const testing::ScreenPixels icon({corner.x, corner.y, corner.x + 34, corner.y + 34});
    int ofIcon = 0;
    for (int y = corner.y; y < corner.y + 34; ++y)
        for (int x = corner.x; x < corner.x + 34; ++x) ofIcon += iconColours.contains(icon.At(x, y));
    EXPECT_GT(ofIcon, 34 * 34 * 8 / 10) << "pixels of the icon's colours at its place";
    // The text lies flat on the window's background.
    POINT memoCorner{44 + 244, 8 + 43}, boxCorner{350, 58};
    ::ClientToScreen(box, &memoCorner);
    ::ClientToScreen(box, &boxCorner);
    const testing::ScreenPixels whole(state.rect);
    EXPECT_EQ(whole.At(memoCorner.x, memoCorner.y), whole.At(boxCorner.x, boxCorner.y));

    // The memo's version is the executable's.
    const auto [fixed, resourceText] = VersionsOfExecutable(folder.File(L"vantor.exe"));
    const std::wstring shown = first.substr(first.rfind(L' ') + 1);
    EXPECT_EQ(fixed, shown);
    EXPECT_EQ(resourceText, shown);

    EXPECT_TRUE(PressKeysUntil(box, L"Escape", [&] { return !::IsWindow(box); })) << "Esc closes the box and it is destroyed";
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowEnabled(form) != FALSE; }));
    ASSERT_TRUE(vantor.Quit());
}

TEST(AboutE2E, EscInTheTextClosesItTooTheTextStaysAndTheNextOpeningIsCentredAgain) {
    TempFolder folder;
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; }));
    HWND box = OpenDialog(vantor, cmdAbout, kCaption);
    ASSERT_NE(box, nullptr);
    const HWND memo = ChildrenOfClass(box, L"Edit").front();
    const std::wstring text = TextOf(memo);
    // Moved away by the user, as far as the next opening is concerned.
    ::SetWindowPos(box, nullptr, 20, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);

    ASSERT_TRUE(Click(CentreOf(memo)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOfThreadOf(box) == memo; })) << "the text takes the focus";
    // Tab, which moves the focus on to Close, comes after the keys that must change nothing; Tab again
    // brings it back.
    const HWND close = ChildrenOfClass(box, L"Button", L"Close").front();
    ASSERT_TRUE(PressKeysUntil(memo, L"x BackSpace Delete Tab", [&] { return FocusOfThreadOf(box) == close; }));
    EXPECT_EQ(TextOf(memo), text) << "read-only";
    ASSERT_TRUE(PressKeysUntil(close, L"Tab", [&] { return FocusOfThreadOf(box) == memo; }));
    ASSERT_TRUE(PressKeysUntil(memo, L"Escape", [&] { return !::IsWindow(box); })) << "Esc in the text closes the box";

    box = OpenDialog(vantor, cmdAbout, kCaption);
    ASSERT_NE(box, nullptr) << "a fresh box";
    ExpectCentredOnTheScreen(box);
    ASSERT_TRUE(Click(CentreOf(ChildrenOfClass(box, L"Button", L"Close").front())));
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); })) << "Close closes it";
    ASSERT_TRUE(vantor.Quit());
}

// A window of this process with a taskbar button of its own, shown without taking the front: once its
// button shows, the taskbar has dealt with the windows shown before it.
class WindowWithAButton {
public:
    WindowWithAButton()
        : window_(::CreateWindowExW(0, L"STATIC", L"marker", WS_OVERLAPPED | WS_CAPTION, 0, 0, 120, 40, nullptr,
                                    nullptr, nullptr, nullptr)) {
        ::ShowWindow(window_, SW_SHOWNOACTIVATE);
    }
    ~WindowWithAButton() { ::DestroyWindow(window_); }
    WindowWithAButton(const WindowWithAButton&) = delete;
    WindowWithAButton& operator=(const WindowWithAButton&) = delete;

private:
    HWND window_;
};

TEST(AboutE2E, FromTheTrayWhileHiddenTheBoxShowsWithoutATaskbarButtonAndTheWindowStaysHidden) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Window]\r\nmain=0\r\n");
    VantorProcess vantor(folder);
    const HWND form = vantor.Form();
    ASSERT_NE(form, nullptr);
    std::optional<TrayPicture> icon;
    ASSERT_TRUE(WaitUntil([&] { return (icon = FindTrayPicture()).has_value(); }));
    // The taskbar left of the notification area, where buttons show, with no button and with one of ours.
    RECT buttons = testing::TaskbarBand();
    buttons.right -= 200;
    const testing::ScreenPixels before(buttons);
    std::optional<testing::ScreenPixels> withOurs;
    {
        const WindowWithAButton ours;
        ASSERT_TRUE(WaitUntil([&] {
            testing::ScreenPixels now(buttons);
            const bool settled = !now.SamePictureAs(before) && withOurs && withOurs->SamePictureAs(now);
            withOurs = std::move(now);
            return settled;
        })) << "our window gets a button";
    }
    ASSERT_TRUE(WaitUntil([&] { return testing::ScreenPixels(buttons).SamePictureAs(before); }));

    const HWND box = OpenDialog(vantor, cmdAbout, kCaption);
    ASSERT_NE(box, nullptr);
    ExpectCentredOnTheScreen(box);
    EXPECT_TRUE(WaitUntil([&] { return ::GetForegroundWindow() == box; })) << "the box is in front";
    {
        const WindowWithAButton ours;
        EXPECT_TRUE(WaitUntil([&] { return testing::ScreenPixels(buttons).SamePictureAs(*withOurs); }))
            << "no taskbar button came for the box, only ours after it";
    }
    // A key the box answers is handled after whatever came before it.
    const HWND focus = FocusOfThreadOf(box);
    ASSERT_TRUE(PressKeysUntil(box, L"Tab", [&] { return FocusOfThreadOf(box) != focus; }));
    EXPECT_FALSE(::IsWindowVisible(form)) << "the mini window stays hidden";
    ASSERT_TRUE(Click(CentreOf(ChildrenOfClass(box, L"Button", L"Close").front())));
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(box); }));
    ASSERT_TRUE(OpenAndCloseMenu(vantor, icon->centre));
    EXPECT_FALSE(::IsWindowVisible(form));
    ASSERT_TRUE(vantor.Quit());
}

}  // namespace
}  // namespace vantor::e2e
