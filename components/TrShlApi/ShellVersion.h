#pragma once
// Which shell the icon talks to: its version picks the notification record's layout and the tip's
// limits. shell32's DllGetVersion answers, else the version resource of its file.

#include <cstdint>
#include <string>
#include <string_view>

#include "components/TrShlApi/TrayShell.h"

namespace vantor {

// A version value: major in the high 16 bits, minor in the low 16; 0 when unknown.
std::uint32_t GetShellVersion(TrayShell& shell);
std::uint32_t GetShellFileVersion(TrayShell& shell);
// "5.00.2920.0000" -> 0x00050000; 0 when the text does not start with "major.minor".
std::uint32_t ParseFileVersion(std::string_view text);
// The version-resource key of the file version for a translation entry (language, code page).
std::string FileVersionKey(std::uint32_t translation);

}  // namespace vantor
