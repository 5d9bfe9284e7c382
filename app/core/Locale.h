#pragma once
// What the user's locale says about the figures, the tray tip, the log's time stamps and the error
// messages: the separators, and the language of the texts.

#include <string>

#include "app/core/Texts.h"

namespace vantor {

struct LocaleFormats {
    std::string DecimalSeparator = ".";
    std::string ThousandSeparator = ",";
    std::string DateSeparator = "/";
    std::string TimeSeparator = ":";
    Language TextLanguage = Language::Japanese;
};

}  // namespace vantor
