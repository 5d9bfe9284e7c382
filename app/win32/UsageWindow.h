#pragma once
// TUsageWindow: the usage window, open beside the program's other windows. It shows the days of the current
// billing period or the last 24 periods, of all connections or one, as bars drawn here and as a table of
// the exact figures; the billing plan's fields, the period's use against the allowance and when 80 % and
// 100 % were passed; and it exports the view as CSV. The owner keeps one and opens it again, which brings
// it to the front; closing it only hides it.

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/core/Locale.h"
#include "app/core/Settings.h"
#include "app/core/UsageHistory.h"
#include "app/core/UsagePlan.h"
#include "app/core/UsageView.h"
#include "framework/win32/ModalForm.h"
#include "framework/win32/SpinEdit.h"

namespace vantor {

class TUsageWindow final : public win32::TModalForm {
public:
    // Told of each change of the plan, after the plan check has it.
    using PlanChangedEvent = std::function<void(const UsagePlan&)>;

    TUsageWindow(UsageHistory& history, PlanCheck& planCheck, const LocaleFormats& locale, PlanChangedEvent onPlanChanged);
    ~TUsageWindow() override;

    static constexpr int kClientWidth = 676;
    static constexpr int kClientHeight = 470;

    // Reads the history again and shows the window in front, where it was left.
    void Open();
    // The view, the table and the plan's lines from the history as it is now.
    void Refresh();
    // Shows the days of the period or the periods; read from the history now if the window is open.
    void ShowView(UsageViewKind kind);
    const UsageView& View() const noexcept { return view_; }
    // Takes the plan's fields as they are typed; a change goes to the plan check and the owner.
    void ApplyPlan();
    // The view as CSV into a file the user names in a save dialog; a failure is told in the error box.
    void ExportClick();
    // The view as CSV into `path`; false when the file cannot be written.
    bool ExportTo(const std::wstring& path) const;

    HWND connectionCaption = nullptr, connectionList = nullptr, daysButton = nullptr, periodsButton = nullptr;
    HWND summaryLabel = nullptr, passedLabel = nullptr, table = nullptr, exportButton = nullptr;
    HWND planGroup = nullptr, startDayCaption = nullptr, allowanceCaption = nullptr, allowanceEdit = nullptr,
         unitList = nullptr, noAllowanceNote = nullptr, receiveOnlyBox = nullptr, planConnectionCaption = nullptr,
         planConnectionList = nullptr;
    std::unique_ptr<win32::TSpinEdit> startDaySpin;

private:
    class TBarChartWindow;

    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void DpiChanged() override;
    HWND AddLabel(std::string_view text, int left, int top);
    // Both connection lists from the history, keeping what each had chosen.
    void FillConnections();
    void FillPlan(const UsagePlan& plan);
    UsagePlan ReadPlan() const;
    void FillTable();
    void FitTableColumns();
    // The period's use against the allowance and the shares passed, as the plan check last found them.
    void ShowPlanLines();
    std::optional<std::string> ChosenConnection() const;
    void Hide();

    UsageHistory& history_;
    PlanCheck& planCheck_;
    LocaleFormats locale_;
    PlanChangedEvent onPlanChanged_;
    std::vector<KnownConnection> connections_;
    UsageViewKind kind_ = UsageViewKind::PeriodDays;
    UsageView view_;
    std::unique_ptr<TBarChartWindow> chart_;
};

}  // namespace vantor
