#include <winsock2.h>
#include <ws2tcpip.h>

#include "tests/e2e/Driving.h"

#include <iphlpapi.h>
#include <netioapi.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <regex>
#include <sstream>

#include "app/core/Artwork.h"
#include "framework/win32/Text.h"
#include "tests/e2e/RemoteMemory.h"

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
            DWORD process = 0;
            ::GetWindowThreadProcessId(window, &process);
            if (process == f.process && testing::ClassOf(window) == L"#32768" && ::IsWindowVisible(window)) {
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

// Where the keyboard is now, for the output.
// The front window, its focus, whether its thread answers and the modifier keys held, for failure messages.
std::wstring KeyboardNow() {
    const HWND front = ::GetForegroundWindow();
    std::wstring now = L"foreground " + ClassOf(front) + L", focus " + ClassOf(FocusOfThreadOf(front));
    DWORD_PTR ignored = 0;
    if (front && !::SendMessageTimeoutW(front, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 1000, &ignored))
        now += L", its thread not answering";
    for (const auto& [key, name] : {std::pair{VK_SHIFT, L"Shift"}, {VK_CONTROL, L"Ctrl"}, {VK_MENU, L"Alt"}})
        if (::GetAsyncKeyState(key) < 0) now += L", " + std::wstring(name) + L" held";
    return now;
}

// The key presses in an xdotool key list: each name, and each key of a combination such as ctrl+a.
int KeyPresses(const std::wstring& keys) {
    std::wistringstream names(keys);
    int presses = 0;
    for (std::wstring name; names >> name;) presses += 1 + static_cast<int>(std::count(name.begin(), name.end(), L'+'));
    return presses;
}

// The key presses that come through to the system's input while this lives, whichever window they go to.
// The hook is called on this thread, so it counts only while the thread waits for messages.
class KeyArrivals {
public:
    KeyArrivals() : hook_(::SetWindowsHookExW(WH_KEYBOARD_LL, Seen, ::GetModuleHandleW(nullptr), 0)) { current_ = this; }
    ~KeyArrivals() {
        if (hook_) ::UnhookWindowsHookEx(hook_);
        current_ = nullptr;
    }
    KeyArrivals(const KeyArrivals&) = delete;
    KeyArrivals& operator=(const KeyArrivals&) = delete;
    bool Watching() const noexcept { return hook_ != nullptr; }
    int Presses() const noexcept { return presses_; }

private:
    static LRESULT CALLBACK Seen(int code, WPARAM message, LPARAM data) {
        if (code == HC_ACTION && current_ && (message == WM_KEYDOWN || message == WM_SYSKEYDOWN)) ++current_->presses_;
        return ::CallNextHookEx(nullptr, code, message, data);
    }
    static inline KeyArrivals* current_ = nullptr;
    HHOOK hook_;
    int presses_ = 0;
};

std::string CurrentTestName() {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    return test ? std::string(test->test_suite_name()) + "." + test->name() : "(outside a test)";
}

// A key pressed again is told in the test's output and written as a line to the run's retry log.
void RecordKeyRetry(const std::wstring& keys, const std::wstring& reason) {
    const std::string line = CurrentTestName() + ": \"" + win32::Narrow(keys) + "\" pressed again: " + win32::Narrow(reason);
    std::cerr << line << "\n";
    if (std::getenv("VANTOR_KEY_RETRY_LOG")) {
        std::ofstream log(PathFromEnvironment("VANTOR_KEY_RETRY_LOG"), std::ios::binary | std::ios::app);
        log << line << "\n";
    }
}

// The open menu's picture once it has finished drawing.
std::optional<testing::ScreenPixels> SettledPicture(HWND menu) {
    std::optional<testing::ScreenPixels> last, settled;
    WaitUntil([&] {
        testing::ScreenPixels now = PictureOf(menu);
        if (last && last->SamePictureAs(now)) settled = std::move(now);
        else last = std::move(now);
        return settled.has_value();
    }, 3s);
    return settled;
}

std::wstring SavedForLooking(const testing::ScreenPixels& picture, const wchar_t* name) {
    wchar_t directory[MAX_PATH] = L"";
    ::GetTempPathW(MAX_PATH, directory);
    const std::wstring path = std::wstring(directory) + name;
    picture.SaveBmp(path);
    return path;
}

}  // namespace

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

bool HasKeyboard(HWND window) {
    const HWND focus = FocusOfThreadOf(window);
    return focus && ::GetForegroundWindow() == ::GetAncestor(window, GA_ROOT) && (focus == window || ::IsChild(window, focus));
}

bool PressKeysUntil(HWND keyboard, const std::wstring& keys, const std::function<bool()>& done,
                    std::chrono::milliseconds limit) {
    constexpr int kPresses = 3;
    for (int press = 1;; ++press) {
        if (!WaitUntil([&] { return HasKeyboard(keyboard); })) {
            std::wcerr << L"keys \"" << keys << L"\" not pressed: the " << ClassOf(keyboard)
                       << L" window never had the keyboard (" << KeyboardNow() << L")\n";
            return false;
        }
        const KeyArrivals arrivals;
        if (!testing::StartXdotool(L"key " + keys)) return false;
        if (WaitUntil(done, limit)) return true;
        if (arrivals.Presses() > 0 || !arrivals.Watching() || press == kPresses) {
            std::wcerr << L"keys \"" << keys << L"\" showed no effect in " << limit.count() << L" ms; "
                       << arrivals.Presses() << L" of " << KeyPresses(keys) << L" key presses came through ("
                       << KeyboardNow() << L")" << (arrivals.Watching() ? L"" : L"; no keyboard hook to tell") << L"\n";
            return false;
        }
        RecordKeyRetry(keys, L"no key press came through to the system's input while the " + ClassOf(keyboard) +
                                 L" window had the keyboard (" + KeyboardNow() + L")");
    }
}

bool OpenAndCloseMenu(const VantorProcess& vantor, POINT at) {
    return Click(at, 3) && vantor.WaitForMenu() && ClickAwayFromMenus() &&
           WaitUntil([&] { return vantor.VisibleWindows(L"#32768").empty(); });
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

std::optional<std::wstring> ProgramTip() {
    for (const std::wstring& tip : TrayTipTexts())
        if (tip == kStartTip || tip.find(L"\r\n速度:") != std::wstring::npos) return tip;
    return std::nullopt;
}

std::optional<StatusTip> ReadStatusTip(const std::wstring& tip) {
    std::wsmatch lines;
    if (!std::regex_match(tip, lines,
                          std::wregex(L"([^\r\n]+)\r\n速度:(\\d\\d+\\.\\dMbps)\r\n送信:([0-9,]+) KB\r\n受信:([0-9,]+) KB"
                                      L"(?:\r\n([^\r\n]+))?")))
        return std::nullopt;
    const auto kilobytes = [](std::wstring grouped) {
        std::erase(grouped, L',');
        return std::stoll(grouped);
    };
    return StatusTip{lines[1].str(), lines[2].str(), kilobytes(lines[3].str()), kilobytes(lines[4].str()), lines[5].str()};
}

bool TipTicks::Poll() {
    const auto now = ProgramTip();
    if (now == last_) return false;
    last_ = now;
    ++seen_;
    return true;
}

bool TipTicks::WaitFor(int count, std::chrono::milliseconds limit) {
    const int until = seen_ + count;
    return WaitUntil([&] { return Poll(), seen_ >= until; }, limit);
}

namespace {

// The version-2 entry of row `position` (1-based) of the interface table, where `matches` takes the row.
InterfaceCounters FindInterface(const std::function<bool(int position, const MIB_IFROW&)>& matches) {
    ULONG size = 0;
    ::GetIfTable(nullptr, &size, TRUE);
    std::vector<unsigned char> buffer(size);
    auto* table = reinterpret_cast<MIB_IFTABLE*>(buffer.data());
    if (::GetIfTable(table, &size, TRUE) != NO_ERROR) return {};
    for (DWORD i = 0; i < table->dwNumEntries; ++i) {
        if (!matches(static_cast<int>(i + 1), table->table[i])) continue;
        MIB_IF_ROW2 row{};
        row.InterfaceIndex = table->table[i].dwIndex;
        if (::GetIfEntry2(&row) != NO_ERROR) return {};
        return {static_cast<int>(i + 1), row.OutOctets, row.InOctets, row.TransmitLinkSpeed, row.ReceiveLinkSpeed};
    }
    return {};
}

}  // namespace

InterfaceCounters InterfaceNamed(const std::string& description) {
    return FindInterface([&](int, const MIB_IFROW& row) { return reinterpret_cast<const char*>(row.bDescr) == description; });
}

InterfaceCounters InterfaceAt(int position) {
    return FindInterface([&](int at, const MIB_IFROW&) { return at == position; });
}

bool TipShowsTotalsOf(int position) {
    const InterfaceCounters before = InterfaceAt(position);
    const auto tip = ProgramTip();
    const InterfaceCounters after = InterfaceAt(position);
    const auto status = tip ? ReadStatusTip(*tip) : std::nullopt;
    return before.position && after.position && status && status->sentKilobytes >= RoundedKilobytes(before.sent) &&
           status->sentKilobytes <= RoundedKilobytes(after.sent) &&
           status->receivedKilobytes >= RoundedKilobytes(before.received) &&
           status->receivedKilobytes <= RoundedKilobytes(after.received);
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

HWND OpenDialog(VantorProcess& vantor, MenuCommand command, const wchar_t* caption) {
    std::optional<POINT> at;
    if (::IsWindowVisible(vantor.Form())) at = CentreOf(vantor.Form());
    else if (const auto picture = FindTrayPicture()) at = picture->centre;
    if (!at || !Click(*at, 3) || !PickMenuCommand(vantor, command)) return nullptr;
    return vantor.WaitForWindow(L"TModalForm", caption);
}

HWND OpenDialogWithKeyboard(VantorProcess& vantor, MenuCommand command, const wchar_t* caption) {
    const HWND dialog = OpenDialog(vantor, command, caption);
    return dialog && WaitUntil([&] { return HasKeyboard(dialog); }) ? dialog : nullptr;
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
            if (_wcsicmp(testing::ClassOf(child).c_str(), f.className) == 0 && (!f.text || TextOf(child) == f.text))
                f.found.push_back(child);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&find));
    return find.found;
}

Placement PlacementIn(HWND window, HWND reference) {
    const RECT r = testing::RectIn(window, reference);
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

void ExpectMenuAsTheSystemDrawsIt(const VantorProcess& vantor, const std::vector<std::wstring>& captions, int checked) {
    const HWND menu = vantor.WaitForMenu();
    ASSERT_NE(menu, nullptr) << "the menu opens";
    const auto seen = SettledPicture(menu);
    ASSERT_TRUE(seen);
    const RECT at = seen->Area();
    ASSERT_TRUE(ClickAwayFromMenus());
    ASSERT_TRUE(WaitUntil([&] { return vantor.VisibleWindows(L"#32768").empty(); }));
    const auto expected = ReferenceMenu(captions, checked, {at.left, at.top});
    ASSERT_TRUE(expected);
    EXPECT_TRUE(seen->SamePictureAs(expected->picture))
        << "the program's menu (" << ::testing::PrintToString(SavedForLooking(*seen, L"vantor-menu-seen.bmp"))
        << ") differs from the expected one ("
        << ::testing::PrintToString(SavedForLooking(expected->picture, L"vantor-menu-expected.bmp")) << ")";
}


}  // namespace vantor::e2e
