#pragma once
// What a Windows locale gives the program: the separators as UTF-8, the language of its texts, and the
// face those texts are shown in.

#include <optional>
#include <string>

#include "app/core/Locale.h"
#include "framework/win32/ModalForm.h"

namespace vantor::win32 {

// The user's locale as set in the control panel. A separator the system cannot supply keeps its default.
LocaleFormats UserLocaleFormats();

// A named locale ("de-DE", "ja-JP").
LocaleFormats LocaleFormatsOf(const wchar_t* localeName);

// The language of the texts: the settings' "Language" where it forces one, else the user's UI language.
Language UserLanguage(const std::optional<std::string>& setting);

// The font for texts in `language`: the Japanese face as given, or for English the system's message face
// (no Japanese face with a Japanese character set) at the same height.
FontOptions TextFont(Language language, const FontOptions& japanese);

}  // namespace vantor::win32
