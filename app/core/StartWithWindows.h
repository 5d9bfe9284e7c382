#pragma once
// Starting with Windows: the current user's "Run" entry that starts this executable, and the startup
// list's switch that can disable it. The settings dialog's check box shows and changes that entry; it
// is no setting of ours.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vantor {

// A "Run" value: its command as stored, and whether it is of the expandable type (REG_EXPAND_SZ).
struct RunValue {
    std::string Command;
    bool Expandable = false;

    bool operator==(const RunValue&) const = default;
};

// The two registry values of one entry, and the user's environment. Texts are UTF-8.
class StartupRegistry {
public:
    virtual ~StartupRegistry() = default;
    // HKCU\Software\Microsoft\Windows\CurrentVersion\Run, value `name`: its command, or nothing.
    virtual std::optional<RunValue> RunCommand(std::string_view name) = 0;
    [[nodiscard]] virtual bool SetRunCommand(std::string_view name, const RunValue& value) = 0;
    // Removing a value that is not there succeeds.
    [[nodiscard]] virtual bool RemoveRunCommand(std::string_view name) = 0;
    // HKCU\...\Explorer\StartupApproved\Run, value `name`: its bytes, or nothing.
    virtual std::optional<std::vector<std::uint8_t>> StartupApproval(std::string_view name) = 0;
    [[nodiscard]] virtual bool SetStartupApproval(std::string_view name, const std::vector<std::uint8_t>& bytes) = 0;
    // `text` with each %NAME% of the user's environment replaced by its value.
    virtual std::string ExpandEnvironment(std::string_view text) = 0;
};

inline constexpr std::string_view kRunValueName = "Vantor";

// The command the entry holds for `exePath`: the path in quotes.
std::string RunCommandFor(std::string_view exePath);

// Whether `command` starts `exePath`: its program (quoted, or the whole unquoted text or what stands
// before a space and arguments) is that path, without regard to case or to which slash separates.
bool CommandStarts(std::string_view command, std::string_view exePath);

// An approval whose first byte is 3 or 7 disables the entry; none, or any other, leaves it enabled.
bool ApprovalDisables(const std::optional<std::vector<std::uint8_t>>& approval);

// Ticked: the entry (expanded first where it is expandable) starts this executable and the startup list
// does not disable it.
bool StartsWithWindows(StartupRegistry& registry, std::string_view exePath);

// OK in the settings dialog. Newly ticked writes this executable's entry, of the type the value had (and
// enables it in the startup list where that disabled it); newly unticked removes the entry; unchanged
// writes nothing, so another copy's entry stays. Returns false when the registry refused a change.
[[nodiscard]] bool ApplyStartWithWindows(StartupRegistry& registry, std::string_view exePath, bool wasTicked,
                                         bool ticked);

}  // namespace vantor
