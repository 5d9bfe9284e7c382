#include "app/win32/UserLocale.h"

#include <windows.h>

#include <string>

#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {

void ReadInto(std::string& target, const wchar_t* localeName, LCTYPE type) {
    // Windows keeps separators to three characters; a failed call leaves the default in place.
    wchar_t buffer[16] = {};
    const int length = ::GetLocaleInfoEx(localeName, type, buffer, static_cast<int>(std::size(buffer)));
    if (length > 0) target = Narrow(std::wstring_view(buffer, static_cast<std::size_t>(length - 1)));
}

}  // namespace

LocaleFormats LocaleFormatsOf(const wchar_t* localeName) {
    LocaleFormats formats;
    ReadInto(formats.DecimalSeparator, localeName, LOCALE_SDECIMAL);
    ReadInto(formats.ThousandSeparator, localeName, LOCALE_STHOUSAND);
    ReadInto(formats.DateSeparator, localeName, LOCALE_SDATE);
    ReadInto(formats.TimeSeparator, localeName, LOCALE_STIME);
    return formats;
}

LocaleFormats UserLocaleFormats() { return LocaleFormatsOf(LOCALE_NAME_USER_DEFAULT); }

Language UserLanguage(const std::optional<std::string>& setting) {
    return ChooseLanguage(setting, ::GetUserDefaultUILanguage());
}

FontOptions TextFont(Language language, const FontOptions& japanese) {
    if (language == Language::Japanese) return japanese;
    static const std::wstring face = [] {
        NONCLIENTMETRICSW metrics{};
        metrics.cbSize = sizeof(metrics);
        if (::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0) &&
            metrics.lfMessageFont.lfFaceName[0])
            return std::wstring(metrics.lfMessageFont.lfFaceName);
        return std::wstring(L"MS Shell Dlg 2");
    }();
    return {face.c_str(), japanese.height, DEFAULT_CHARSET};
}

}  // namespace vantor::win32
