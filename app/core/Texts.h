#pragma once
// Every text a user reads, one table per language, and which language the program speaks: Japanese for a
// Japanese Windows, English for any other, unless the settings file's "Window"/"Language" names one.

#include <cstdint>
#include <initializer_list>
#include <optional>
#include <string>
#include <string_view>

namespace vantor {

enum class Language { Japanese, English };

// The language for a Windows language identifier (a LANGID): Japanese when its primary language is.
Language LanguageOfLanguageId(std::uint16_t languageId);

// "ja" or "en", in any case, forces that language; anything else (or no key) leaves it to the system.
std::optional<Language> ForcedLanguage(std::string_view setting);
Language ChooseLanguage(const std::optional<std::string>& setting, std::uint16_t uiLanguageId);

// The texts are UTF-8. Error messages hold "%s" where the file's path goes.
struct UiTexts {
    // The popup menu, top to bottom.
    std::string_view MenuAbout, MenuSettings, MenuResetPeaks, MenuMinimize, MenuStayOnTop, MenuExit;

    // The mini window's hints: the chart, then each figure.
    std::string_view ChartHint;
    std::string_view CurrentSendHint, CurrentReceiveHint, AverageSendHint, AverageReceiveHint;
    std::string_view PeakSendHint, PeakReceiveHint, SendRateHint, ReceiveRateHint;
    // The tray tip's three field names, each with what stands between it and its figure.
    std::string_view TipSpeed, TipSent, TipReceived;
    // What the tip's first line and the dialog's list name besides an interface.
    std::string_view WatchRoute, WatchAll, NoConnection;

    // The settings dialog.
    std::string_view SettingsCaption, Ok, Cancel;
    std::string_view InterfacePage, InterfaceLabel, InterfaceHint, WatchNote, NotConnected, ShowAtStart, StartWithWindows;
    std::string_view ChartPage, FixedGauge, FixedGaugeHint, GaugeSend, GaugeReceive, GraphAverage, BitUnits;
    std::string_view LogPage, LogEnabled, LogPath, LogInterval, LogUnitNote, AllFilesFilter;

    // The about box: its caption, the product line before the version, and its button.
    std::string_view AboutCaption, AboutProduct, AboutClose;

    // The error box's messages.
    std::string_view CannotWriteSettings, CannotOpenLog, CannotCreateLog, CannotChangeStartup;
    std::string_view CannotMakePicture, CannotMakeHints;
    // After OK: the chosen interface is not in the table now; "%s" is its name.
    std::string_view ChosenInterfaceAway;

    // The usage history's balloons: the damaged file's new name, the file that cannot be written.
    std::string_view UsageDamaged, UsageUnwritable;
    // The tip's line of today's usage: "%1" sent, "%2" received.
    std::string_view TipToday;
    // What `vantor.exe --usage-csv FILE` says on failure: no file named, the history, the CSV file.
    std::string_view UsageCsvNoFile, UsageCsvCannotRead, UsageCsvCannotWrite;

    // The usage window: the menu item after the settings item, its caption, its two views, the table's
    // first column in each view and the figures' columns, the connection choice (its first entry is
    // WatchAll), a period's first and last day, and the export with its file type.
    std::string_view MenuUsage, UsageCaption, UsageDaysView, UsagePeriodsView;
    std::string_view UsageDayColumn, UsagePeriodColumn, UsageSentColumn, UsageReceivedColumn, UsageTotalColumn;
    std::string_view UsageConnection, UsagePeriodDates, UsageExport, CsvFilter;
    // The plan's fields in the window; the allowance is typed in one of the two units.
    std::string_view PlanGroup, PlanStartDay, PlanAllowance, PlanNoAllowance, UnitMegabytes, UnitGigabytes;
    std::string_view PlanReceiveOnly, PlanConnection;
    // The plan in figures ("%1" used of "%2" allowed, "%3" the share, "%4" the days left): the window's line,
    // the tip's line while an allowance is set, when a share ("%1" percent) was passed ("%2"), the days left.
    std::string_view PlanSummary, PlanTip, PlanPassed, PlanDayLeft, PlanDaysLeft;
    // The balloons at 80 % and at 100 %, and their text: "%1" used of "%2", "%3" the days left.
    std::string_view PlanWarningTitle, PlanUsedUpTitle, PlanBalloon;
};

const UiTexts& TextsFor(Language language);

// `message` with its "%s" replaced by `path`.
std::string WithPath(std::string_view message, std::string_view path);

// `pattern` with each "%1".."%9" replaced by that value (a value's own "%2" stays as it is).
std::string WithValues(std::string_view pattern, std::initializer_list<std::string_view> values);

}  // namespace vantor
