// The locale's separators against the system's locale data.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/win32/UserLocale.h"
#include "framework/win32/Text.h"

namespace vantor::win32 {
namespace {

void ExpectSeparators(const wchar_t* locale, const char* decimal, const char* thousand, const char* date,
                      const char* time) {
    const LocaleFormats formats = LocaleFormatsOf(locale);
    EXPECT_EQ(formats.DecimalSeparator, decimal) << Narrow(locale);
    EXPECT_EQ(formats.ThousandSeparator, thousand) << Narrow(locale);
    EXPECT_EQ(formats.DateSeparator, date) << Narrow(locale);
    EXPECT_EQ(formats.TimeSeparator, time) << Narrow(locale);
}

TEST(UserLocaleWin32, ReadsTheSeparatorsOfNamedLocales) {
    ExpectSeparators(L"en-US", ".", ",", "/", ":");
    ExpectSeparators(L"ja-JP", ".", ",", "/", ":");
    ExpectSeparators(L"de-DE", ",", ".", ".", ":");
}

TEST(UserLocaleWin32, ASeparatorOutsideAsciiComesAsUtf8) {
    const std::string thousand = LocaleFormatsOf(L"fr-FR").ThousandSeparator;
    ASSERT_FALSE(thousand.empty());
    const std::wstring wide = Widen(thousand);
    ASSERT_EQ(wide.size(), 1u) << thousand;
    EXPECT_TRUE(wide[0] == 0x00A0 || wide[0] == 0x202F) << std::hex << int(wide[0]);
    EXPECT_EQ(Narrow(wide), thousand);
}

TEST(UserLocaleWin32, TheUserLocaleSeparatorsAreThoseTheSystemFormatsWith) {
    const LocaleFormats formats = UserLocaleFormats();
    wchar_t buffer[64] = {};
    ASSERT_GT(::GetNumberFormatEx(LOCALE_NAME_USER_DEFAULT, 0, L"1234567.5", nullptr, buffer, 64), 0);
    const std::string number = Narrow(buffer);
    EXPECT_TRUE(number.ends_with(formats.DecimalSeparator + "50")) << number;
    EXPECT_NE(number.find(formats.ThousandSeparator), std::string::npos) << number;

    SYSTEMTIME when{.wYear = 2004, .wMonth = 3, .wDay = 7, .wHour = 9, .wMinute = 5, .wSecond = 3};
    ASSERT_GT(::GetDateFormatEx(LOCALE_NAME_USER_DEFAULT, DATE_SHORTDATE, &when, nullptr, buffer, 64, nullptr), 0);
    const std::string date = Narrow(buffer);
    EXPECT_NE(date.find(formats.DateSeparator), std::string::npos) << date;
    ASSERT_GT(::GetTimeFormatEx(LOCALE_NAME_USER_DEFAULT, 0, &when, nullptr, buffer, 64), 0);
    const std::string time = Narrow(buffer);
    EXPECT_NE(time.find(formats.TimeSeparator), std::string::npos) << time;
}

}  // namespace
}  // namespace vantor::win32
