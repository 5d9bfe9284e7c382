#include "components/TrShlApi/ShellVersion.h"

#include <charconv>
#include <cstdio>

namespace vantor {

std::uint32_t ParseFileVersion(std::string_view text) {
    // Reads "major.minor" as two decimal numbers, so "6.0.2900" and "10.0.19041" come out right too.
    std::uint32_t major = 0;
    std::uint32_t minor = 0;
    const char* const end = text.data() + text.size();
    const auto [afterMajor, majorError] = std::from_chars(text.data(), end, major);
    if (majorError != std::errc{} || afterMajor == end || *afterMajor != '.') return 0;
    const auto [afterMinor, minorError] = std::from_chars(afterMajor + 1, end, minor);
    if (minorError != std::errc{} || (afterMinor != end && *afterMinor != '.')) return 0;
    if (major > 0xFFFF || minor > 0xFFFF) return 0;
    return (major << 16) | minor;
}

std::string FileVersionKey(std::uint32_t translation) {
    char hex[9];
    std::snprintf(hex, sizeof hex, "%04X%04X", static_cast<unsigned>(translation & 0xFFFF),
                  static_cast<unsigned>(translation >> 16));
    return std::string("\\\\StringFileInfo\\\\") + hex + "\\\\FileVersion";
}

std::uint32_t GetShellFileVersion(TrayShell& shell) {
    const std::string path = shell.SystemDirectory() + "\\shell32.dll";
    const auto block = shell.ReadFileVersionInfo(path);
    if (!block) return 0;
    const auto translation = shell.QueryVersionDword(*block, "\\\\VarFileInfo\\\\Translation");
    if (!translation) return 0;
    const auto text = shell.QueryVersionString(*block, FileVersionKey(*translation));
    return text ? ParseFileVersion(*text) : 0;
}

std::uint32_t GetShellVersion(TrayShell& shell) {
    const auto dll = shell.CallDllGetVersion();
    if (dll && dll->exported && dll->succeeded) return ((dll->major & 0xFFFF) << 16) | (dll->minor & 0xFFFF);
    return GetShellFileVersion(shell);
}

}  // namespace vantor
