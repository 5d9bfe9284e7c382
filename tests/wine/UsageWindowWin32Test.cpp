// The usage window over a history written here with a fixed clock: one window however often it is opened,
// the two views and their table, a connection chosen, the plan's fields as typed and as kept, the period's
// lines once the plan check has run, and the export.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "app/win32/UsageSystem.h"
#include "app/win32/UsageWindow.h"
#include "framework/win32/Application.h"
#include "framework/win32/Text.h"
#include "framework/win32/Window.h"
#include "tests/support/Files.h"

namespace vantor {
namespace {

namespace fs = std::filesystem;

// 2025-04-10 10:00 UTC, 19:00 in Tokyo; one tick a day after it.
class DailyClock final : public UsageClock {
public:
    static constexpr std::int64_t kStart = 20'188 * 86400 + 10 * 3600;
    std::int64_t utc = kStart;
    std::int64_t UtcSeconds() override { return utc; }
    std::uint64_t UptimeMilliseconds() override { return static_cast<std::uint64_t>(3600 + utc - kStart) * 1000; }
    int OffsetMinutesAt(std::int64_t) override { return 540; }
};

std::string CellText(HWND table, int row, int column) {
    wchar_t text[128] = L"";
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = text;
    item.cchTextMax = 128;
    ::SendMessageW(table, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
    return win32::Narrow(text);
}

std::string Text(HWND control) { return win32::Narrow(win32::WindowText(control)); }

void Choose(HWND comboBox, int index) {
    ::SendMessageW(comboBox, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    ::SendMessageW(::GetParent(comboBox), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(comboBox), CBN_SELCHANGE),
                   reinterpret_cast<LPARAM>(comboBox));
}

class UsageWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        history_.emplace(win32::Narrow(folder_.wstring()) + "\\", clock_, files_);
        // Each day from 2025-04-11 to 2025-05-20, Wi-Fi sends 1 MB and receives 2 MB, the other 500 and 250 bytes.
        for (std::uint64_t day = 0; day <= 40; ++day) {
            clock_.utc = DailyClock::kStart + static_cast<std::int64_t>(day) * 86400;
            history_->Tick({{"{A}", "Wi-Fi", "", 2'000'000 * day, 1'000'000 * day}, {"{B}", "イーサネット", "", 250 * day, 500 * day}});
        }
        history_->Flush();
        planCheck_.emplace(*history_, UsagePlan{15, 10, false, ""});
        window_.emplace(*history_, *planCheck_, locale_, [this](const UsagePlan& plan) { changes_.push_back(plan); });
        window_->Open();
    }

    const testing::TempFolder temp_{L"usage-window-テスト-"};
    const fs::path& folder_ = temp_.Path();
    win32::Application application_{::GetModuleHandleW(nullptr)};
    DailyClock clock_;
    win32::SystemUsageFiles files_;
    LocaleFormats locale_{.TextLanguage = Language::English};
    std::optional<UsageHistory> history_;
    std::optional<PlanCheck> planCheck_;
    std::vector<UsagePlan> changes_;
    std::optional<TUsageWindow> window_;
};

TEST_F(UsageWindowTest, OneWindowBroughtForwardAtEachOpening) {
    const HWND other = ::CreateWindowExW(0, L"STATIC", L"other", WS_POPUP | WS_CAPTION | WS_VISIBLE, 0, 0, 100, 50, nullptr,
                                         nullptr, nullptr, nullptr);
    ::SetForegroundWindow(other);
    window_->Open();
    EXPECT_EQ(::GetForegroundWindow(), window_->Handle());
    int shown = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND window, LPARAM count) {
        if (::IsWindowVisible(window) && win32::WindowText(window) == L"Usage") ++*reinterpret_cast<int*>(count);
        return TRUE;
    }, reinterpret_cast<LPARAM>(&shown));
    EXPECT_EQ(shown, 1);
    ::DestroyWindow(other);
    // Esc hides it; the next opening shows the same window again.
    ::SendMessageW(window_->Handle(), WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(::IsWindowVisible(window_->Handle()));
    window_->Open();
    EXPECT_TRUE(::IsWindowVisible(window_->Handle()));
}

TEST_F(UsageWindowTest, TheViewsAndTheirTablesForAllConnectionsOrOne) {
    struct Case {
        HWND button;
        int connection;  // in the list: 0 all, 1 Wi-Fi, 2 イーサネット
        int rows;        // with the total
        std::vector<std::string> last, total;
    };
    const Case cases[] = {
        {window_->daysButton, 0, 7, {"2025/05/20", "1.00 MB", "2.00 MB", "3.00 MB"}, {"Total", "6.00 MB", "12.00 MB", "18.00 MB"}},
        {window_->daysButton, 2, 7, {"2025/05/20", "500 B", "250 B", "750 B"}, {"Total", "3.00 KB", "1.50 KB", "4.50 KB"}},
        {window_->periodsButton, 1, 25, {"2025/05/15 – 2025/06/14", "6.00 MB", "12.00 MB", "18.00 MB"},
         {"Total", "40.00 MB", "80.00 MB", "120.00 MB"}},
    };
    for (const Case& c : cases) {
        Choose(window_->connectionList, c.connection);
        ::SendMessageW(c.button, BM_CLICK, 0, 0);
        const HWND table = window_->table;
        ASSERT_EQ(::SendMessageW(table, LVM_GETITEMCOUNT, 0, 0), c.rows);
        for (int column = 0; column < 4; ++column) {
            EXPECT_EQ(CellText(table, c.rows - 2, column), c.last[static_cast<std::size_t>(column)]) << c.rows << " rows";
            EXPECT_EQ(CellText(table, c.rows - 1, column), c.total[static_cast<std::size_t>(column)]) << c.rows << " rows";
        }
        EXPECT_EQ(window_->View().Kind, c.rows == 25 ? UsageViewKind::Periods : UsageViewKind::PeriodDays);
    }
}

TEST_F(UsageWindowTest, ThePlansFieldsAsTypedAndAsKept) {
    struct Case {
        const char* startDay;
        const char* allowance;
        int unit;  // 0 MB, 1 GB
        bool receiveOnly;
        int connection;
        UsagePlan kept;
        std::string shownAllowance, shownUnit;
    };
    const Case cases[] = {
        {"20", "1.5", 1, true, 2, {20, 1500, true, "{B}"}, "1.5", "GB"},
        {"40", "1500", 0, false, 0, {28, 1500, false, ""}, "1.5", "GB"},
        {"3", "abc", 0, false, 1, {3, 1500, false, "{A}"}, "1.5", "GB"},  // no amount: the allowance stays
        {"1", "0", 1, false, 0, {1, 0, false, ""}, "0", "MB"},
    };
    for (const Case& c : cases) {
        ::SetWindowTextW(window_->startDaySpin->Edit(), win32::Widen(c.startDay).c_str());
        ::SetWindowTextW(window_->allowanceEdit, win32::Widen(c.allowance).c_str());
        ::SendMessageW(window_->unitList, CB_SETCURSEL, static_cast<WPARAM>(c.unit), 0);
        ::SendMessageW(window_->receiveOnlyBox, BM_SETCHECK, c.receiveOnly ? BST_CHECKED : BST_UNCHECKED, 0);
        ::SendMessageW(window_->planConnectionList, CB_SETCURSEL, static_cast<WPARAM>(c.connection), 0);
        ::SendMessageW(window_->Handle(), WM_COMMAND, IDOK, 0);  // Enter
        EXPECT_EQ(planCheck_->Plan(), c.kept) << c.startDay;
        ASSERT_FALSE(changes_.empty());
        EXPECT_EQ(changes_.back(), c.kept) << c.startDay;
        EXPECT_EQ(Text(window_->startDaySpin->Edit()), std::to_string(c.kept.StartDay));
        EXPECT_EQ(Text(window_->allowanceEdit), c.shownAllowance);
        EXPECT_EQ(Text(window_->unitList), c.shownUnit);
    }
    EXPECT_EQ(changes_.size(), std::size(cases));
    // Taken again unchanged, the plan is not told again.
    ::SendMessageW(window_->Handle(), WM_COMMAND, IDOK, 0);
    EXPECT_EQ(changes_.size(), std::size(cases));
}

TEST_F(UsageWindowTest, ThePeriodAgainstTheAllowanceAndWhenItsSharesWerePassed) {
    EXPECT_EQ(Text(window_->summaryLabel), "") << "no check has run";
    const std::optional<PlanWarning> warning = planCheck_->Check();
    ASSERT_TRUE(warning);
    EXPECT_EQ(warning->Percent, 100);
    window_->Refresh();
    EXPECT_EQ(Text(window_->summaryLabel), "This period 18MB of 10MB (180%), 26 days left");
    EXPECT_EQ(Text(window_->passedLabel), "80 % passed on 2025/05/20 19:00    100 % passed on 2025/05/20 19:00");
}

TEST_F(UsageWindowTest, TheExportWritesTheViewAsTheCommandLineDoes) {
    Choose(window_->connectionList, 2);
    const fs::path file = folder_ / L"days.csv";
    ASSERT_TRUE(window_->ExportTo(file.wstring()));
    std::string expected = "\xEF\xBB\xBF" "Date,Connection,Id,Sent,Received\r\n";
    for (int day = 15; day <= 20; ++day) expected += "2025-05-" + std::to_string(day) + ",イーサネット,{B},500,250\r\n";
    EXPECT_EQ(testing::ReadFileBytes(file), expected);
    EXPECT_FALSE(window_->ExportTo((folder_ / L"no-such-folder" / L"days.csv").wstring()));
}

}  // namespace
}  // namespace vantor
