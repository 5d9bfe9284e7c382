#pragma once
// The separators of the user's locale that the figures, the tray tip and the log's time stamps use.

#include <string>

namespace vantor {

struct LocaleFormats {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
};

}  // namespace vantor
