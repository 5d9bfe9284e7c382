#pragma once
// The shell-facing side of a notification-area icon, in rooms of its own:
//   TrayShell.h     the window messages, the notification record, and TrayShell, the system calls behind them
//   ShellVersion.h  which shell is there: shell32's DllGetVersion, else its file's version
//   TaskTrayIcon.h  TTaskTrayIcon, one icon with its hidden window and record, and the routing of the
//                   hidden windows' messages to their icons
//   ToolTipStyle.h  the shell's mouse messages turned into the icon's mouse events; the tooltip's colours
//   MouseLeave.h    the hidden window's timer that tells when the cursor has left the icon
//
// A click's way to the main window: the shell sends wm::kTrayNotify, with the mouse message in lParam, to
// the icon's hidden window. Its window procedure (win32/TrayShellWin32) routes it to the icon
// (RouteTrayMessage, TTaskTrayIcon::WndProc), whose style turns it into a press, release or double
// click, and a release into a click: at once, or one double-click time later from the click timer when
// no double click came (TToolTipStyle::HandleMessage, its one switch). The style hands each event to
// OnMouseEvent, where the tray component (components/Taskbar, TTrayIcon::MouseEvent) opens a menu or
// calls the form's handler.
//
// Everything here is plain logic over TrayShell and runs on the GUI thread; win32/ binds it to the real
// calls.

#include "components/TrShlApi/MouseLeave.h"
#include "components/TrShlApi/ShellVersion.h"
#include "components/TrShlApi/TaskTrayIcon.h"
#include "components/TrShlApi/ToolTipStyle.h"
#include "components/TrShlApi/TrayShell.h"
