#include "app/core/Texts.h"

namespace vantor {
namespace {

constexpr std::uint16_t kPrimaryLanguageMask = 0x3FF;
constexpr std::uint16_t kLangJapanese = 0x11;

constexpr UiTexts kJapanese{
    .MenuAbout = "バージョン情報...",
    .MenuSettings = "インタフェース設定",
    .MenuResetPeaks = "最高速度をリセット",
    .MenuMinimize = "最小化",
    .MenuStayOnTop = "常に手前に表示する",
    .MenuExit = "終了",
    .ChartHint = "紫:送信 赤:受信",
    .CurrentSendHint = "現在送信速度",
    .CurrentReceiveHint = "現在受信速度",
    .AverageSendHint = "平均送信速度",
    .AverageReceiveHint = "平均受信速度",
    .PeakSendHint = "最高送信速度",
    .PeakReceiveHint = "最高受信速度",
    .SendRateHint = "送信レート",
    .ReceiveRateHint = "受信レート",
    .TipSpeed = "速度:",
    .TipSent = "送信:",
    .TipReceived = "受信:",
    .WatchRoute = "自動（使用中の接続）",
    .WatchAll = "すべての接続",
    .NoConnection = "接続なし",
    .SettingsCaption = "インタフェース設定",
    .Ok = "OK",
    .Cancel = "キャンセル",
    .InterfacePage = "通信インターフェース設定",
    .InterfaceLabel = "インタフェース",
    .InterfaceHint = "測定するインタフェースを選択",
    .WatchNote = "自動：既定のルートが通る接続を、変わるたびに追います。\r\n"
                 "すべての接続：ループバック、VPN、仮想アダプターを除くハードウェアの合計です。",
    .NotConnected = "（未接続）",
    .ShowAtStart = "起動時にメイン画面を表示する",
    .StartWithWindows = "Windows の起動時に実行する",
    .ChartPage = "グラフ表示設定",
    .FixedGauge = "グラフの最高速度を設定する",
    .FixedGaugeHint = "設定しない場合、現在の最大速度に対する速度表示になります",
    .GaugeSend = "送信速度最大",
    .GaugeReceive = "受信速度最大",
    .GraphAverage = "平均速度をグラフ表示する",
    .BitUnits = "ビット単位にする（Kbps）",
    .LogPage = "通信ログ",
    .LogEnabled = "ログファイルに書き出す",
    .LogPath = "場所",
    .LogInterval = "書込間隔（秒）",
    .LogUnitNote = "通信ログはKB単位固定です。",
    .AllFilesFilter = "全てのファイル(*.*)",
    .AboutCaption = "-About Infomation-",
    .AboutProduct = "Vantor Information Version ",
    .AboutClose = "Close",
    .CannotWriteSettings = "%s に書き込めません",
    .CannotOpenLog = "ファイル %s は開けません",
    .CannotCreateLog = "ファイル %s を作成できません",
    .CannotChangeStartup = "Windows の起動時に実行する設定を変更できません",
    .CannotMakePicture = "画像を作成できません",
    .CannotMakeHints = "ヒントを表示するウィンドウを作成できません",
    .ChosenInterfaceAway = "%s は今ありません。戻ったときから測定します。",
    .UsageDamaged = "使用量の記録が壊れていたため %s として残し、新しく記録を始めました",
    .UsageUnwritable = "使用量の記録 %s に書き込めません。書き込めるまで使用量はメモリに数えます",
    .TipToday = "今日 ↑%1 ↓%2",
    .UsageCsvNoFile = "使い方: vantor.exe --usage-csv 書き出すファイル",
    .UsageCsvCannotRead = "使用量の記録 %s を読めません",
    .UsageCsvCannotWrite = "ファイル %s に書き込めません",
    .MenuUsage = "使用量...",
    .UsageCaption = "使用量",
    .UsageDaysView = "今期の日別",
    .UsagePeriodsView = "過去 24 期間",
    .UsageDayColumn = "日付",
    .UsagePeriodColumn = "期間",
    .UsageSentColumn = "送信",
    .UsageReceivedColumn = "受信",
    .UsageTotalColumn = "合計",
    .UsageConnection = "接続",
    .UsagePeriodDates = "%1～%2",
    .UsageExport = "CSV に書き出す...",
    .CsvFilter = "CSV ファイル (*.csv)",
    .PlanGroup = "プラン",
    .PlanStartDay = "期間の開始日（毎月）",
    .PlanAllowance = "上限",
    .PlanNoAllowance = "0 で上限なし",
    .UnitMegabytes = "MB",
    .UnitGigabytes = "GB",
    .PlanReceiveOnly = "受信だけを数える",
    .PlanConnection = "数える接続",
    .PlanSummary = "今期 %1 / %2（%3）、%4",
    .PlanTip = "今期 %1 / %2",
    .PlanPassed = "%1 % に達した日時: %2",
    .PlanDayLeft = "残り 1 日",
    .PlanDaysLeft = "残り %1 日",
    .PlanWarningTitle = "使用量が上限の 80 % に達しました",
    .PlanUsedUpTitle = "使用量が上限に達しました",
    .PlanBalloon = "今期の使用量は %1 / %2 です。%3です。",
};

constexpr UiTexts kEnglish{
    .MenuAbout = "Version info...",
    .MenuSettings = "Interface settings",
    .MenuResetPeaks = "Reset peaks",
    .MenuMinimize = "Minimize",
    .MenuStayOnTop = "Always on top",
    .MenuExit = "Exit",
    .ChartHint = "Purple: send, red: receive",
    .CurrentSendHint = "Current send speed",
    .CurrentReceiveHint = "Current receive speed",
    .AverageSendHint = "Average send speed",
    .AverageReceiveHint = "Average receive speed",
    .PeakSendHint = "Peak send speed",
    .PeakReceiveHint = "Peak receive speed",
    .SendRateHint = "Send rate",
    .ReceiveRateHint = "Receive rate",
    .TipSpeed = "Speed: ",
    .TipSent = "Sent: ",
    .TipReceived = "Received: ",
    .WatchRoute = "Automatic (connection in use)",
    .WatchAll = "All connections",
    .NoConnection = "No connection",
    .SettingsCaption = "Interface settings",
    .Ok = "OK",
    .Cancel = "Cancel",
    .InterfacePage = "Network interface",
    .InterfaceLabel = "Interface",
    .InterfaceHint = "Choose the interface to measure",
    .WatchNote = "Automatic: the connection the default route uses now.\r\n"
                 "All connections: the hardware ones summed, without loopback, VPN or virtual adapters.",
    .NotConnected = " (not connected)",
    .ShowAtStart = "Show the window at start",
    .StartWithWindows = "Start with Windows",
    .ChartPage = "Chart",
    .FixedGauge = "Fixed chart maximum",
    .FixedGaugeHint = "Unticked, speeds are shown against the highest speed so far",
    .GaugeSend = "Max send",
    .GaugeReceive = "Max receive",
    .GraphAverage = "Chart the average speeds",
    .BitUnits = "Show speeds in bits (Kbps)",
    .LogPage = "Traffic log",
    .LogEnabled = "Write a log file",
    .LogPath = "File",
    .LogInterval = "Interval (s)",
    // The log holds bytes whatever the units shown, so this says so rather than "KB".
    .LogUnitNote = "The log always counts bytes.",
    .AllFilesFilter = "All files (*.*)",
    .AboutCaption = "About Vantor",
    .AboutProduct = "Vantor version ",
    .AboutClose = "Close",
    .CannotWriteSettings = "Cannot write to %s",
    .CannotOpenLog = "Cannot open file %s",
    .CannotCreateLog = "Cannot create file %s",
    .CannotChangeStartup = "Cannot change whether Vantor starts with Windows",
    .CannotMakePicture = "Cannot create a picture",
    .CannotMakeHints = "Cannot create the window that shows the hints",
    .ChosenInterfaceAway = "%s is not there now. It will be measured once it returns.",
    .UsageDamaged = "The usage history was damaged: it was kept as %s and a new one was started",
    .UsageUnwritable = "Cannot write the usage history %s: usage is counted in memory until it can be written",
    .TipToday = "Today ↑%1 ↓%2",
    .UsageCsvNoFile = "Usage: vantor.exe --usage-csv FILE",
    .UsageCsvCannotRead = "Cannot read the usage history %s",
    .UsageCsvCannotWrite = "Cannot write to %s",
    .MenuUsage = "Usage...",
    .UsageCaption = "Usage",
    .UsageDaysView = "Days of this period",
    .UsagePeriodsView = "Last 24 periods",
    .UsageDayColumn = "Date",
    .UsagePeriodColumn = "Period",
    .UsageSentColumn = "Sent",
    .UsageReceivedColumn = "Received",
    .UsageTotalColumn = "Total",
    .UsageConnection = "Connection",
    .UsagePeriodDates = "%1 – %2",
    .UsageExport = "Export CSV...",
    .CsvFilter = "CSV files (*.csv)",
    .PlanGroup = "Plan",
    .PlanStartDay = "Period starts on day",
    .PlanAllowance = "Allowance",
    .PlanNoAllowance = "0: no allowance",
    .UnitMegabytes = "MB",
    .UnitGigabytes = "GB",
    .PlanReceiveOnly = "Count received data only",
    .PlanConnection = "Connection counted",
    .PlanSummary = "This period %1 of %2 (%3), %4",
    .PlanTip = "This period %1 of %2",
    .PlanPassed = "%1 % passed on %2",
    .PlanDayLeft = "1 day left",
    .PlanDaysLeft = "%1 days left",
    .PlanWarningTitle = "80 % of your allowance used",
    .PlanUsedUpTitle = "Allowance used up",
    .PlanBalloon = "%1 of %2 used this period, %3.",
};

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameLetters(std::string_view text, std::string_view lowerCase) {
    if (text.size() != lowerCase.size()) return false;
    for (std::size_t i = 0; i < text.size(); ++i)
        if (Lower(text[i]) != lowerCase[i]) return false;
    return true;
}

}  // namespace

Language LanguageOfLanguageId(std::uint16_t languageId) {
    return (languageId & kPrimaryLanguageMask) == kLangJapanese ? Language::Japanese : Language::English;
}

std::optional<Language> ForcedLanguage(std::string_view setting) {
    if (SameLetters(setting, "ja")) return Language::Japanese;
    if (SameLetters(setting, "en")) return Language::English;
    return std::nullopt;
}

Language ChooseLanguage(const std::optional<std::string>& setting, std::uint16_t uiLanguageId) {
    if (setting)
        if (const auto forced = ForcedLanguage(*setting)) return *forced;
    return LanguageOfLanguageId(uiLanguageId);
}

const UiTexts& TextsFor(Language language) { return language == Language::Japanese ? kJapanese : kEnglish; }

std::string WithPath(std::string_view message, std::string_view path) {
    std::string text(message);
    if (const auto at = text.find("%s"); at != std::string::npos) text.replace(at, 2, path);
    return text;
}

std::string WithValues(std::string_view pattern, std::initializer_list<std::string_view> values) {
    std::string text;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
        if (pattern[i] == '%' && next >= '1' && next <= '9' && static_cast<std::size_t>(next - '1') < values.size()) {
            text += values.begin()[next - '1'];
            ++i;
        } else {
            text += pattern[i];
        }
    }
    return text;
}

}  // namespace vantor
