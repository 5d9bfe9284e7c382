#include "tests/e2e/Driving.h"

#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <iostream>

#include "app/core/Artwork.h"
#include "tests/support/Xdotool.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

// The open popup menu of this process, if any.
HWND OwnOpenMenu() {
    struct Find {
        DWORD process;
        HWND menu;
    } find{::GetCurrentProcessId(), nullptr};
    ::EnumWindows(
        [](HWND window, LPARAM context) -> BOOL {
            auto& f = *reinterpret_cast<Find*>(context);
            wchar_t name[16] = L"";
            ::GetClassNameW(window, name, 16);
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == f.process && std::wstring_view(name) == L"#32768" && ::IsWindowVisible(window)) {
                f.menu = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.menu;
}

// What the timer below sees while the reference menu runs its own modal loop; a timer procedure takes
// no context of its own.
struct MenuCapture {
    HMENU menu;
    int items;
    std::optional<testing::ScreenPixels> last;
    std::optional<MenuLayout> done;
    int ticks = 0;
};
MenuCapture* capture = nullptr;

void CALLBACK CaptureOpenMenu(HWND, UINT, UINT_PTR, DWORD) {
    constexpr int kGiveUpTicks = 50;
    const HWND menu = OwnOpenMenu();
    if (menu) {
        // Two equal pictures in a row: the menu has finished drawing.
        testing::ScreenPixels now = PictureOf(menu);
        if (capture->last && capture->last->SamePictureAs(now)) {
            const RECT corner = now.Area();
            capture->done = MenuLayout{std::move(now), {}};
            for (int i = 0; i < capture->items; ++i) {
                RECT item{};
                ::GetMenuItemRect(nullptr, capture->menu, static_cast<UINT>(i), &item);
                ::OffsetRect(&item, -corner.left, -corner.top);
                capture->done->items.push_back(item);
            }
        } else {
            capture->last = std::move(now);
        }
    }
    if (capture->done || ++capture->ticks > kGiveUpTicks) ::EndMenu();
}

// Lets the pointer rest before a press: a press that arrives with the pointer is sometimes half lost.
void Settle() { Pause(300ms); }

}  // namespace

bool MovePointer(POINT to) {
    if (!testing::StartXdotool(testing::MouseMoveArguments(to))) return false;
    return WaitUntil([&] { return testing::PointerAt(to); });
}

bool Click(POINT at, int button) {
    if (!MovePointer(at)) return false;
    Settle();
    return testing::StartXdotool(L"click " + std::to_wstring(button));
}

bool DoubleClick(POINT at) {
    if (!MovePointer(at)) return false;
    Settle();
    return testing::StartXdotool(L"click --repeat 2 --delay 80 1");
}

POINT CentreOf(const RECT& r) { return {(r.left + r.right) / 2, (r.top + r.bottom) / 2}; }

POINT CentreOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return CentreOf(r);
}

bool PressKeys(const std::wstring& keys) { return testing::StartXdotool(L"key " + keys); }

bool PressKeysUntil(const std::wstring& keys, const std::function<bool()>& done) {
    if (!PressKeys(keys)) return false;
    if (WaitUntil(done, 2s)) return true;
    wchar_t foreground[64] = L"", focus[64] = L"";
    const HWND active = ::GetForegroundWindow();
    ::GetClassNameW(active, foreground, 64);
    ::GetClassNameW(FocusOfThreadOf(active), focus, 64);
    std::wcerr << L"keys \"" << keys << L"\" showed no effect; pressed again (foreground " << foreground
               << L", focus " << focus << L")\n";
    return PressKeys(keys) && WaitUntil(done);
}

std::optional<TrayPicture> FindTrayPicture() {
    const testing::ScreenPixels taskbar(testing::TaskbarBand());
    for (int index = 0; index < art::TrayImageCount; ++index) {
        const art::Image image = art::TrayImage(index);
        if (const auto at = taskbar.Find(image))
            return TrayPicture{index, {at->x + image.width / 2, at->y + image.height / 2}};
    }
    return std::nullopt;
}

std::optional<MenuLayout> ReferenceMenu(const std::vector<std::wstring>& captions, int checked, POINT at) {
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                                         ::GetModuleHandleW(nullptr), nullptr);
    const HMENU menu = ::CreatePopupMenu();
    for (UINT id = 1; const std::wstring& caption : captions) {
        if (caption == L"-")
            ::AppendMenuW(menu, MF_SEPARATOR, id, nullptr);
        else
            ::AppendMenuW(menu, MF_STRING, id, caption.c_str());
        ++id;
    }
    if (checked >= 0) ::CheckMenuItem(menu, static_cast<UINT>(checked + 1), MF_BYCOMMAND | MF_CHECKED);

    MenuCapture run{menu, static_cast<int>(captions.size())};
    capture = &run;
    const UINT_PTR timer = ::SetTimer(nullptr, 0, 100, CaptureOpenMenu);
    ::TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
                     owner, nullptr);
    ::KillTimer(nullptr, timer);
    capture = nullptr;
    ::DestroyMenu(menu);
    ::DestroyWindow(owner);
    return std::move(run.done);
}

bool ClickMenuItem(HWND menu, const RECT& item) {
    RECT corner{};
    if (!::GetWindowRect(menu, &corner)) return false;
    return Click({corner.left + (item.left + item.right) / 2, corner.top + (item.top + item.bottom) / 2});
}

bool ClickAwayFromMenus() {
    // Near the top right corner of the screen, where no window of the program stands.
    return Click({::GetSystemMetrics(SM_CXSCREEN) - 40, 12});
}

// Where the program's menu items lie does not depend on where the menu opens: it is learnt once from a
// copy, before any check runs, since a menu opened here would close the program's.
const std::optional<MenuLayout>& ProgramMenuLayout() {
    static const std::optional<MenuLayout> layout = ReferenceMenu(MenuCaptions(), -1, {100, 100});
    return layout;
}

class ProgramMenuLayoutEnvironment final : public ::testing::Environment {
public:
    void SetUp() override { ProgramMenuLayout(); }
};
[[maybe_unused]] auto* const programMenuLayoutEnvironment =
    ::testing::AddGlobalTestEnvironment(new ProgramMenuLayoutEnvironment);

namespace {

std::vector<DWORD> ProcessesNamed(std::wstring_view name) {
    std::vector<DWORD> found;
    const HANDLE taken = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (taken == INVALID_HANDLE_VALUE) return found;
    const win32::KernelHandle snapshot(taken);
    PROCESSENTRY32W entry{sizeof entry};
    for (BOOL more = ::Process32FirstW(snapshot.Get(), &entry); more; more = ::Process32NextW(snapshot.Get(), &entry))
        if (_wcsicmp(entry.szExeFile, std::wstring(name).c_str()) == 0) found.push_back(entry.th32ProcessID);
    return found;
}

// Each check starts where no program of ours runs and no icon of ours shows: a leftover of an earlier check
// would be taken for this check's program. What had to be cleared is written to the output.
class CleanDesktopEnvironment final : public ::testing::Environment {
public:
    void SetUp() override {
        for (const DWORD id : ProcessesNamed(L"vantor.exe")) {
            std::wcerr << L"ending a vantor.exe left running before this check (process " << id << L")\n";
            const win32::KernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
            if (!process.Get()) continue;
            ::TerminateProcess(process.Get(), 1);
            ::WaitForSingleObject(process.Get(), 5000);
        }
        // Under Wine an icon whose window is gone stays until the pointer passes over it.
        if (const auto ghost = FindTrayPicture()) {
            std::wcerr << L"an icon of ours showed with no program behind it; the pointer passes over it\n";
            MovePointer(ghost->centre);
            WaitUntil([] { return !FindTrayPicture(); });
        }
    }
};
[[maybe_unused]] auto* const cleanDesktopEnvironment = ::testing::AddGlobalTestEnvironment(new CleanDesktopEnvironment);

}  // namespace

const std::vector<std::wstring>& MenuCaptions() {
    return PRIMARYLANGID(::GetUserDefaultUILanguage()) == LANG_JAPANESE ? kMenuCaptions : kEnglishMenuCaptions;
}

bool PickMenuCommand(const VantorProcess& vantor, MenuCommand command) {
    const auto& layout = ProgramMenuLayout();
    const HWND menu = vantor.WaitForMenu();
    return layout && menu && ClickMenuItem(menu, layout->items[static_cast<std::size_t>(command)]);
}

HWND FocusOfThreadOf(HWND window) {
    GUITHREADINFO info{sizeof info};
    if (!::GetGUIThreadInfo(::GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className, const wchar_t* text) {
    struct Find {
        const wchar_t* className;
        const wchar_t* text;
        std::vector<HWND> found;
    } find{className, text, {}};
    ::EnumChildWindows(
        parent,
        [](HWND child, LPARAM context) -> BOOL {
            auto& f = *reinterpret_cast<Find*>(context);
            wchar_t name[64] = L"";
            ::GetClassNameW(child, name, 64);
            if (_wcsicmp(name, f.className) == 0 && (!f.text || TextOf(child) == f.text)) f.found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

Placement PlacementIn(HWND window, HWND reference) {
    RECT r{};
    ::GetWindowRect(window, &r);
    ::MapWindowPoints(nullptr, reference, reinterpret_cast<POINT*>(&r), 2);
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

std::ostream& operator<<(std::ostream& out, const Placement& p) {
    return out << "(" << p.left << ", " << p.top << "; " << p.width << " x " << p.height << ")";
}

testing::ScreenPixels PictureOf(HWND window) {
    RECT r{};
    ::GetWindowRect(window, &r);
    return testing::ScreenPixels(r);
}

}  // namespace vantor::e2e
