#pragma once
// The settings of the main window: what the settings file keeps between runs and the settings dialog
// and the menu change in memory.

#include <cstdint>
#include <optional>
#include <string>

#include "components/NetworkSpeed/InterfaceIdentity.h"
#include "components/NetworkSpeed/WatchMode.h"

namespace vantor {

inline constexpr std::int32_t kLastStartDay = 28;  // every month has it
inline constexpr std::int32_t kMaxAllowanceMegabytes = 2'147'483'647;

// The billing plan the usage window sets ("Usage" section): what counts against the allowance, and when.
struct UsagePlan {
    std::int32_t StartDay = 1;            // the day of the month each billing period starts, 1..kLastStartDay
    std::int32_t AllowanceMegabytes = 0;  // per period, in MB of 1,000,000 bytes; 0: none
    bool ReceiveOnly = false;             // counts received bytes only, else sent and received
    std::string Connection;               // the GUID of the one connection counted; empty: all connections

    bool operator==(const UsagePlan&) const = default;
};

struct MonitorSettings {
    std::int32_t GaugeSend = 10;          // send chart maximum in KB, used with FixedGauge
    std::int32_t GaugeReceive = 10;       // receive chart maximum in KB, likewise
    // The interface last chosen, or as the file held it: 1-based row of the interface table. It follows
    // the interface while that one is watched; the exit saves the route's interface in its place.
    std::int32_t SelectedInterface = 1;
    bool StayOnTop = false;               // mini window above other windows
    bool FixedGauge = false;              // chart scaled by the gauges instead of the peaks
    bool GraphAverage = false;            // chart plots averages
    std::string LogPath;                  // full path of the traffic log (UTF-8)
    bool LogEnabled = false;              // traffic log on
    std::int32_t LogInterval = 60;        // ticks between log lines
    bool BitUnits = false;                // speeds in kilobits
    bool ShowAtStart = true;              // mini window shown at start
    // "Window"/"Language" as the file held it ("ja" or "en" force a language); written back only when
    // it was there at load, so it never adds itself to a file.
    std::optional<std::string> LanguageSetting;
    // The identity of the interface at SelectedInterface, written after the other keys; nothing: the
    // file's identity keys are left as they are.
    std::optional<InterfaceIdentity> WatchedInterface;
    // "Interface"/"Watch": the connection in use, all connections, else the interface above.
    TWatchMode Watch = TWatchMode::wmInterface;
    // "Usage": nothing while the file holds none of its keys, so a file never given a plan keeps its shape.
    std::optional<UsagePlan> Plan;

    bool operator==(const MonitorSettings&) const = default;
};

}  // namespace vantor
