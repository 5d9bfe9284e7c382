#pragma once
// The separators of a Windows locale, as UTF-8.

#include "app/core/Locale.h"

namespace vantor::win32 {

// The user's locale as set in the control panel. A separator the system cannot supply keeps its default.
LocaleFormats UserLocaleFormats();

// A named locale ("de-DE", "ja-JP").
LocaleFormats LocaleFormatsOf(const wchar_t* localeName);

}  // namespace vantor::win32
