#include "app/core/StartWithWindows.h"

#include "framework/Unicode.h"

namespace vantor {
namespace {

// The startup list's mark for an enabled entry: 2, then a time of zero.
const std::vector<std::uint8_t> kEnabledApproval{2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};

// One letter case and one separator for every path character: ASCII, Latin-1, Greek, Cyrillic and
// full-width Latin fold, as Windows' file names do.
char32_t Folded(char32_t c) {
    if (c == U'/') return U'\\';
    if ((c >= U'A' && c <= U'Z') || (c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
        (c >= 0x410 && c <= 0x42F))
        return c + 0x20;
    if (c >= 0x400 && c <= 0x40F) return c + 0x50;
    if (c >= 0xFF21 && c <= 0xFF3A) return c + 0x20;
    return c;
}

bool SamePath(std::string_view a, std::string_view b) {
    const std::u32string x = Utf8ToUtf32(a), y = Utf8ToUtf32(b);
    if (x.size() != y.size()) return false;
    for (std::size_t i = 0; i < x.size(); ++i)
        if (Folded(x[i]) != Folded(y[i])) return false;
    return true;
}

std::string_view Trimmed(std::string_view text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

}  // namespace

std::string RunCommandFor(std::string_view exePath) {
    std::string command(1, '"');
    command.append(exePath);
    command.push_back('"');
    return command;
}

bool CommandStarts(std::string_view command, std::string_view exePath) {
    command = Trimmed(command);
    if (command.starts_with('"')) {
        const auto closing = command.find('"', 1);
        return closing != std::string_view::npos && SamePath(command.substr(1, closing - 1), exePath);
    }
    // Unquoted, the path may hold spaces itself: the whole text, or the part before arguments.
    if (SamePath(command, exePath)) return true;
    return command.size() > exePath.size() && command[exePath.size()] == ' ' &&
           SamePath(command.substr(0, exePath.size()), exePath);
}

bool ApprovalDisables(const std::optional<std::vector<std::uint8_t>>& approval) {
    return approval && !approval->empty() && ((*approval)[0] == 3 || (*approval)[0] == 7);
}

bool StartsWithWindows(StartupRegistry& registry, std::string_view exePath) {
    const std::optional<RunValue> value = registry.RunCommand(kRunValueName);
    if (!value) return false;
    const std::string command = value->Expandable ? registry.ExpandEnvironment(value->Command) : value->Command;
    return CommandStarts(command, exePath) && !ApprovalDisables(registry.StartupApproval(kRunValueName));
}

bool ApplyStartWithWindows(StartupRegistry& registry, std::string_view exePath, bool wasTicked, bool ticked) {
    if (ticked == wasTicked) return true;
    if (!ticked) return registry.RemoveRunCommand(kRunValueName);
    const std::optional<RunValue> previous = registry.RunCommand(kRunValueName);
    const RunValue command{RunCommandFor(exePath), previous && previous->Expandable};
    if (!registry.SetRunCommand(kRunValueName, command)) return false;
    // A tick the startup list would overrule is no tick: the entry is enabled there too.
    if (ApprovalDisables(registry.StartupApproval(kRunValueName)))
        return registry.SetStartupApproval(kRunValueName, kEnabledApproval);
    return true;
}

}  // namespace vantor
