#pragma once
// Driving the desktop as a user does, for the end-to-end checks: the pointer and keyboard through
// xdotool (each step polled for, since xdotool runs detached), the program's tray picture found among
// the notification area's pixels, and the popup menu a user would see, drawn here for comparison.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/VantorProcess.h"
#include "tests/support/Desktop.h"
#include "tests/support/Xdotool.h"

namespace vantor::e2e {

// The middle of a rectangle, and of a window's outer rectangle on the screen.
POINT CentreOf(const RECT& r);
POINT CentreOf(HWND window);
using testing::ClassOf;
using testing::MovePointer;
// Moves the pointer, lets it settle (a press that arrives with the pointer is sometimes half lost), and
// clicks a button (1 left, 2 middle, 3 right) once, or twice as a double click.
bool Click(POINT at, int button = 1);
bool DoubleClick(POINT at);
// Whether keys pressed now go to `window`: its top-level window is in front, and the focus of its thread
// is on it or on one of its children.
bool HasKeyboard(HWND window);
// Presses `keys` (xdotool's names, e.g. L"Down Down Return") once `keyboard` has the keyboard, and waits
// for `done`. Under Wine xdotool's keys now and then reach no window at all: a low-level keyboard hook
// sees whether they came through to the system's input, and only when none did are they pressed again,
// which the test's output and the run's summary (the file VANTOR_KEY_RETRY_LOG names) tell with the
// reason. Keys that came through and showed no effect fail at once.
bool PressKeysUntil(HWND keyboard, const std::wstring& keys, const std::function<bool()>& done,
                    std::chrono::milliseconds limit = std::chrono::seconds(5));

// Opens the program's popup menu with a right press at `at` and closes it again. The program handles the
// press after what came before it the same way (over the window after presses on the window, over the
// icon after presses on the icon), so once the menu has shown those inputs have had their effect: a check
// that an input changed nothing looks after this.
bool OpenAndCloseMenu(const VantorProcess& vantor, POINT at);

// Which of the sixteen tray load pictures shows in the notification area, and where (its centre).
struct TrayPicture {
    int index;
    POINT centre;
};
std::optional<TrayPicture> FindTrayPicture();

// The tip of the program's icon: the start text until the first tick, then the status, which the tick
// writes afresh: what it shows (an interface's name, all connections or none), the link speed, and the
// totals sent and received in KB, and the usage history's line where there is one.
inline constexpr wchar_t kStartTip[] = L"Vantor Infomation2.00";
std::optional<std::wstring> ProgramTip();
struct StatusTip {
    std::wstring subject;
    std::wstring speed;
    std::int64_t sentKilobytes = 0, receivedKilobytes = 0;
    std::wstring usage;
};
std::optional<StatusTip> ReadStatusTip(const std::wstring& tip);

// The program's ticks as its tip shows them: a tick gives the icon a tip that changed, and while the watched
// interface moves bytes (a check keeps a stream going) each tick changes it.
class TipTicks {
public:
    TipTicks() : last_(ProgramTip()) {}
    // Reads the tip again: true when a tick changed it since the last reading.
    bool Poll();
    // Waits until `count` more ticks have shown.
    bool WaitFor(int count, std::chrono::milliseconds limit = kTickLimit);
    int Seen() const noexcept { return seen_; }

private:
    std::optional<std::wstring> last_;
    int seen_ = 0;
};

// An interface as the system counts it now: its position in the interface table (0 where there is no
// such row), its byte counters and its link speeds (bit/s) from the version-2 entry.
struct InterfaceCounters {
    int position = 0;
    std::uint64_t sent = 0, received = 0, transmitSpeed = 0, receiveSpeed = 0;
};
InterfaceCounters InterfaceNamed(const std::string& description);
InterfaceCounters InterfaceAt(int position);
// The kilobytes a tip shows for a byte count.
inline std::int64_t RoundedKilobytes(std::uint64_t bytes) { return (static_cast<std::int64_t>(bytes) + 512) / 1024; }
// Whether the tip shows the totals of the interface at `position`: at least what it had counted before the
// tip was read, at most what it has counted after.
bool TipShowsTotalsOf(int position);

// A popup menu with these captions ("-" a separator) and item `checked` (or -1) ticked, opened by this
// process with its top-left corner at `at`, as the system draws it: its picture, and where each item
// lies relative to the menu's top-left corner.
struct MenuLayout {
    testing::ScreenPixels picture;
    std::vector<RECT> items;
};
std::optional<MenuLayout> ReferenceMenu(const std::vector<std::wstring>& captions, int checked, POINT at);

// Clicks an item of an open menu window, at the item's centre (`item` relative to the menu's corner).
// The keyboard does not always reach a menu under Wine: after a shown window of the program was
// hidden, its key presses go nowhere.
bool ClickMenuItem(HWND menu, const RECT& item);
// Closes open menus by clicking an empty spot of the desktop.
bool ClickAwayFromMenus();

// The program's popup menu, top to bottom, and the commands a check picks from it.
inline const std::vector<std::wstring> kMenuCaptions{L"バージョン情報...", L"-", L"インタフェース設定", L"使用量...", L"-",
                                                     L"最高速度をリセット", L"-", L"最小化", L"常に手前に表示する",
                                                     L"-", L"終了"};
inline const std::vector<std::wstring> kEnglishMenuCaptions{L"Version info...", L"-", L"Interface settings", L"Usage...", L"-",
                                                            L"Reset peaks", L"-", L"Minimize", L"Always on top", L"-",
                                                            L"Exit"};
// The captions in the language this check runs in, which the program it starts inherits.
const std::vector<std::wstring>& MenuCaptions();
enum MenuCommand : int { cmdAbout = 0, cmdSettings = 2, cmdUsage = 3, cmdReset = 5, cmdMinimise = 7, cmdTopmost = 8, cmdExit = 10 };
// Waits for the program's menu to open and clicks the command.
bool PickMenuCommand(const VantorProcess& vantor, MenuCommand command);
// Opens a dialog with its command from the window's menu, or from the tray icon's while the window is
// hidden: the dialog with this caption once it shows, else null. With the keyboard: once it has the
// keyboard too, so that keys pressed next reach it.
HWND OpenDialog(VantorProcess& vantor, MenuCommand command, const wchar_t* caption);
HWND OpenDialogWithKeyboard(VantorProcess& vantor, MenuCommand command, const wchar_t* caption);

// The window that has the keyboard focus in the thread of `window`.
HWND FocusOfThreadOf(HWND window);
// A child window of `parent` (at any depth) with this class, and this text when one is given.
std::vector<HWND> ChildrenOfClass(HWND parent, const wchar_t* className, const wchar_t* text = nullptr);

// A window's rectangle relative to the client area of another, as left, top, width, height.
struct Placement {
    int left, top, width, height;
    bool operator==(const Placement&) const = default;
};
Placement PlacementIn(HWND window, HWND reference);
std::ostream& operator<<(std::ostream& out, const Placement& p);

// The pixels of a window as they show on the screen now.
testing::ScreenPixels PictureOf(HWND window);

// Compares the program's open menu with the same items drawn by the system in this process at the same
// place: the captions exactly as given (no accelerators), the separators, nothing greyed, and the check
// mark only at item `checked` (or none for -1). Closes the program's menu.
void ExpectMenuAsTheSystemDrawsIt(const VantorProcess& vantor, const std::vector<std::wstring>& captions, int checked);

}  // namespace vantor::e2e
