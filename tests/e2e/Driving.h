#pragma once
// Driving the desktop as a user does, for the end-to-end checks: the pointer and keyboard through
// xdotool (each step polled for, since xdotool runs detached), the program's tray picture found among
// the notification area's pixels, and the popup menu a user would see, drawn here for comparison.

#include <windows.h>

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "tests/e2e/VantorProcess.h"
#include "tests/support/Desktop.h"

namespace vantor::e2e {

// The middle of a rectangle, and of a window's outer rectangle on the screen.
POINT CentreOf(const RECT& r);
POINT CentreOf(HWND window);
// Moves the pointer there and waits until the system sees it there.
bool MovePointer(POINT to);
// Moves the pointer, lets it settle (a press that arrives with the pointer is sometimes half lost), and
// clicks a button (1 left, 2 middle, 3 right) once, or twice as a double click.
bool Click(POINT at, int button = 1);
bool DoubleClick(POINT at);
// Presses keys on whatever window has the keyboard, e.g. L"Down Down Return".
bool PressKeys(const std::wstring& keys);
// Presses `keys` and waits for `done`. Under Wine xdotool's keys now and then reach no window; when the
// first press shows no effect in two seconds it is made once more, and the test's output says so.
bool PressKeysUntil(const std::wstring& keys, const std::function<bool()>& done);

// Which of the sixteen tray load pictures shows in the notification area, and where (its centre).
struct TrayPicture {
    int index;
    POINT centre;
};
std::optional<TrayPicture> FindTrayPicture();

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
inline const std::vector<std::wstring> kMenuCaptions{L"バージョン情報...", L"-", L"インタフェース設定", L"-",
                                                     L"最高速度をリセット", L"-", L"最小化", L"常に手前に表示する",
                                                     L"-", L"終了"};
inline const std::vector<std::wstring> kEnglishMenuCaptions{L"Version info...", L"-", L"Interface settings", L"-",
                                                            L"Reset peaks", L"-", L"Minimize", L"Always on top", L"-",
                                                            L"Exit"};
// The captions in the language this check runs in, which the program it starts inherits.
const std::vector<std::wstring>& MenuCaptions();
enum MenuCommand : int { cmdAbout = 0, cmdSettings = 2, cmdReset = 4, cmdMinimise = 6, cmdTopmost = 7, cmdExit = 9 };
// Waits for the program's menu to open and clicks the command.
bool PickMenuCommand(const VantorProcess& vantor, MenuCommand command);

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

}  // namespace vantor::e2e
