#pragma once
// The settings dialog's values without its window: filled from the settings and the counter source when
// it opens, the enable rules of its two check boxes, and what OK applies.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "app/core/MonitorState.h"
#include "app/core/Settings.h"
#include "components/NetworkSpeed/NetworkSpeed.h"

namespace vantor {

struct SpinRange {
    std::int32_t Min;
    std::int32_t Max;
};

inline constexpr SpinRange GaugeRange{1, 100000};
inline constexpr SpinRange LogIntervalRange{1, 10800};

// What the dialog's controls hold. Spin boxes hold their text, since a typed value may be anything.
struct PropDialogValues {
    std::vector<std::string> ComboBox1Items;  // the interface table's descriptions, in table order
    int ComboBox1Index = -1;                  // -1: nothing selected
    bool CheckBox1 = false;                   // show at start
    bool CheckBox2 = false;                   // fixed chart maxima
    std::string SpinEdit1;                    // send maximum
    std::string SpinEdit2;                    // receive maximum
    bool CheckBox3 = false;                   // chart the averages
    bool CheckBox5 = false;                   // bit units
    bool CheckBox4 = false;                   // write the log
    std::string Edit1;                        // log path
    std::string SpinEdit3;                    // log interval
    bool GaugeControlsEnabled = false;        // Label2, Label3, Label4, Label5, SpinEdit1, SpinEdit2
    bool LogControlsEnabled = false;          // Label6, Label7, Edit1, Button1, SpinEdit3 (never Label8)

    bool operator==(const PropDialogValues&) const = default;
};

PropDialogValues FillPropDialog(const MonitorSettings& settings, const TNetworkSpeed& networkSpeed);

// The enable rules, run when the check box is clicked and once when the dialog is filled.
void CheckBox2Click(PropDialogValues& values);
void CheckBox4Click(PropDialogValues& values);

// OK: writes the dialog's values into the settings, restarts the peaks and schedules a log line for the
// next tick. Spin values are pulled into their ranges, so no 0 gauge or interval gets through. Returns
// the new SelectedInterface, which the caller gives to NetworkSpeed1.InterfaceNo before RefreshTable.
std::int32_t ApplyPropDialog(const PropDialogValues& values, MonitorSettings& settings, MonitorState& state);

}  // namespace vantor
