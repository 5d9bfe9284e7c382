#pragma once
// Where the settings dialog's controls stand and what its spin boxes take: the one table the dialog is
// built from, in design units (pixels at 96 dpi), each control relative to its page or, for the page
// control and the buttons, to the dialog's client area.

#include "app/core/SettingsDialogValues.h"

namespace vantor::settings_layout {

// A width or height of 0: the control sizes itself to its text (the labels).
struct Place {
    int left, top, width = 0, height = 0;
};

// A spin box: its edit and its arrows together, the arrows at the right end.
struct Spin {
    Place place;
    SpinRange range;
    int increment;
};

inline constexpr int kClientWidth = 483;
inline constexpr int kClientHeight = 185;
inline constexpr int kCheckBoxHeight = 17;
inline constexpr int kEditHeight = 21;

inline constexpr Place kPageTabs{0, 0, 381, 185};
inline constexpr Place kOk{401, 7, 69, 23};
inline constexpr Place kCancel{401, 35, 69, 23};

// The interface page. The list's height is that of its open list.
inline constexpr Place kInterfaceCaption{25, 23};
inline constexpr Place kInterfaceList{116, 19, 217, 200};
inline constexpr Place kWatchNote{25, 48, 345, 56};
inline constexpr Place kShowAtStart{19, 107, 225, kCheckBoxHeight};
inline constexpr Place kStartWithWindows{19, 133, 225, kCheckBoxHeight};

// The chart page.
inline constexpr Place kFixedGauge{18, 20, 183, kCheckBoxHeight};
inline constexpr Place kGaugeSendCaption{43, 52};
inline constexpr Spin kGaugeSend{{140, 47, 81, kEditHeight}, GaugeRange, 1};
inline constexpr Place kGaugeSendUnit{234, 51};
inline constexpr Place kGaugeReceiveCaption{44, 83};
inline constexpr Spin kGaugeReceive{{140, 78, 81, kEditHeight}, GaugeRange, 1};
inline constexpr Place kGaugeReceiveUnit{235, 82};
inline constexpr Place kGraphAverage{19, 108, 225, kCheckBoxHeight};
inline constexpr Place kBitUnits{19, 134, 214, kCheckBoxHeight};

// The log page.
inline constexpr Place kLogEnabled{18, 20, 183, kCheckBoxHeight};
inline constexpr Place kLogPathCaption{30, 53};
inline constexpr Place kLogPath{69, 49, 233, kEditHeight};
inline constexpr Place kBrowse{313, 48, 21, 21};
inline constexpr Place kLogIntervalCaption{11, 87};
inline constexpr Spin kLogInterval{{87, 82, 73, kEditHeight}, LogIntervalRange, 10};
inline constexpr Place kLogUnitNote{8, 128};

}  // namespace vantor::settings_layout
