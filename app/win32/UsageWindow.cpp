#include "app/win32/UsageWindow.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "app/core/ByteAmount.h"
#include "app/core/MainChart.h"
#include "app/core/Texts.h"
#include "app/win32/SaveFileDialog.h"
#include "app/win32/UserLocale.h"
#include "framework/win32/Application.h"
#include "framework/win32/Convert.h"
#include "framework/win32/Dpi.h"
#include "framework/win32/Files.h"
#include "framework/win32/Handles.h"
#include "framework/win32/Text.h"

namespace vantor {
namespace {

constexpr wchar_t kBarChartClass[] = L"TUsageBarChart";
// While the window shows, the plan's lines follow the owner's checks at this timer.
constexpr UINT_PTR kPlanLinesTimer = 1;

enum ControlId : int {
    idConnection = 2001,
    idDays,
    idPeriods,
    idTable,
    idExport,
    idStartDay,
    idAllowance,
    idUnit,
    idReceiveOnly,
    idPlanConnection,
};

// Every length below is a design unit, a pixel at 96 dpi.
constexpr TRect kChartPlace{8, 76, 668, 274};
// The plot within the chart: room on the left for the amounts, above for the legend, below for the dates.
constexpr TRect kPlot{58, 24, 652, 176};
constexpr int kComboHeight = 200;  // with its open list
constexpr int kEditHeight = 21;

int Selection(HWND comboBox) { return static_cast<int>(::SendMessageW(comboBox, CB_GETCURSEL, 0, 0)); }

bool Checked(HWND button) { return ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void SetChecked(HWND button, bool checked) { ::SendMessageW(button, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0); }

// The chart's colours: its own where the system's contrast is normal, the system's in high contrast.
struct ChartColors {
    COLORREF Background, Text, Grid, Sent, Received, Allowance;
};

ChartColors CurrentChartColors() {
    HIGHCONTRASTW contrast{sizeof(contrast), 0, nullptr};
    const bool high = ::SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(contrast), &contrast, 0) &&
                      (contrast.dwFlags & HCF_HIGHCONTRASTON);
    const COLORREF background = ::GetSysColor(COLOR_WINDOW), text = ::GetSysColor(COLOR_WINDOWTEXT);
    if (high) return {background, text, ::GetSysColor(COLOR_GRAYTEXT), ::GetSysColor(COLOR_HIGHLIGHT), text, ::GetSysColor(COLOR_HOTLIGHT)};
    return {background, text, win32::ToColorRef(kChartGridColor), win32::ToColorRef(kSendTraceColor), win32::ToColorRef(clRed),
            RGB(0x00, 0x80, 0x00)};
}

void FillRectWith(HDC dc, const RECT& rect, COLORREF color) {
    const win32::GdiObject brush(::CreateSolidBrush(color));
    ::FillRect(dc, &rect, reinterpret_cast<HBRUSH>(brush.Get()));
}

void HorizontalLine(HDC dc, int left, int right, int y, COLORREF color, int style = PS_SOLID) {
    const win32::GdiObject pen(::CreatePen(style, 1, color));
    const win32::SelectGuard selected(dc, pen.Get());
    ::MoveToEx(dc, left, y, nullptr);
    ::LineTo(dc, right, y);
}

}  // namespace

// The bars of the view, drawn into a bitmap and copied to the screen in one piece.
class TUsageWindow::TBarChartWindow final : public win32::Window {
public:
    TBarChartWindow(HWND parent, const LocaleFormats& locale) : locale_(locale) {
        RegisterClass(kBarChartClass, 0, nullptr);
        CreateHandle({.className = kBarChartClass, .style = WS_CHILD | WS_VISIBLE, .exStyle = WS_EX_CLIENTEDGE, .parent = parent});
    }

    void SetView(const UsageView* view, HFONT font, UINT dpi) {
        view_ = view;
        font_ = font;
        dpi_ = dpi;
        const RECT place = win32::ScaleRect(kChartPlace.Left, kChartPlace.Top, kChartPlace.Right - kChartPlace.Left,
                                            kChartPlace.Bottom - kChartPlace.Top, dpi);
        ::SetWindowPos(Handle(), nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        ::InvalidateRect(Handle(), nullptr, FALSE);
    }

private:
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
        switch (message) {
        case WM_PAINT: {
            PAINTSTRUCT paint;
            const HDC dc = ::BeginPaint(Handle(), &paint);
            Paint(dc);
            ::EndPaint(Handle(), &paint);
            return 0;
        }
        case WM_PRINTCLIENT:
            Paint(reinterpret_cast<HDC>(wParam));
            return 0;
        case WM_ERASEBKGND:
            return 1;
        default:
            return DefaultHandler(message, wParam, lParam);
        }
    }

    void Paint(HDC target) const {
        RECT client;
        ::GetClientRect(Handle(), &client);
        const win32::MemoryBitmap buffer(target, client.right, client.bottom);
        if (!buffer) return;
        const HDC dc = buffer.Dc();
        const ChartColors colors = CurrentChartColors();
        FillRectWith(dc, client, colors.Background);
        if (view_) Draw(dc, colors);
        ::BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
    }

    int Scaled(int design) const { return ScaleToDpi(design, static_cast<int>(dpi_)); }

    void Draw(HDC dc, const ChartColors& colors) const {
        const UiTexts& texts = TextsFor(locale_.TextLanguage);
        const win32::SelectGuard font(dc, font_);
        ::SetBkMode(dc, TRANSPARENT);
        ::SetTextColor(dc, colors.Text);
        const BarChart chart = LayoutBars(*view_, kPlot, static_cast<int>(dpi_), locale_);
        const TRect plot = ScaleToDpi(kPlot, static_cast<int>(dpi_));
        TEXTMETRICW metrics{};
        ::GetTextMetricsW(dc, &metrics);

        for (const Gridline& line : chart.Gridlines) {
            HorizontalLine(dc, plot.Left, plot.Right, line.Y, colors.Grid);
            RECT label{0, line.Y - metrics.tmHeight / 2, plot.Left - Scaled(6), line.Y + metrics.tmHeight};
            const std::wstring text = win32::Widen(line.Label);
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_RIGHT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }
        for (const BarRects& bar : chart.Bars) {
            FillRectWith(dc, win32::ToWin32Rect(bar.Received), colors.Received);
            FillRectWith(dc, win32::ToWin32Rect(bar.Sent), colors.Sent);
        }
        HorizontalLine(dc, plot.Left, plot.Right, plot.Bottom, colors.Text);
        if (chart.AllowanceY) HorizontalLine(dc, plot.Left, plot.Right, *chart.AllowanceY, colors.Allowance, PS_DASH);

        // The dates under the bars: as many as fit side by side, evenly spaced.
        LONG widest = 0;
        for (const UsageViewRow& row : view_->Rows) widest = std::max(widest, win32::TextExtent(font_, win32::Widen(row.AxisLabel)).cx);
        const int slotWidth = std::max(1, (plot.Right - plot.Left) / std::max(view_->Slots, 1));
        const int every = static_cast<int>((widest + Scaled(4) + slotWidth - 1) / slotWidth);
        for (std::size_t i = 0; i < chart.Bars.size(); ++i) {
            if (static_cast<int>(i) % every != 0) continue;
            const TRect& bar = chart.Bars[i].Received;
            const int middle = (bar.Left + bar.Right) / 2;
            RECT label{middle - slotWidth * every, plot.Bottom + Scaled(3), middle + slotWidth * every, plot.Bottom + Scaled(3) + metrics.tmHeight};
            const std::wstring text = win32::Widen(view_->Rows[i].AxisLabel);
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
        }

        // The legend, from the right: what each colour and the dashed line stand for.
        struct Key {
            std::string_view text;
            COLORREF color;
            bool line;
        };
        std::vector<Key> keys{{texts.UsageSentColumn, colors.Sent, false}, {texts.UsageReceivedColumn, colors.Received, false}};
        if (chart.AllowanceY) keys.push_back({texts.PlanAllowance, colors.Allowance, true});
        int right = plot.Right;
        const int top = Scaled(4), box = Scaled(10);
        for (auto key = keys.rbegin(); key != keys.rend(); ++key) {
            const std::wstring text = win32::Widen(key->text);
            const int width = win32::TextExtent(font_, text).cx;
            RECT label{right - width, top, right, top + metrics.tmHeight};
            ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
            const int boxRight = label.left - Scaled(4), boxTop = top + (metrics.tmHeight - box) / 2;
            if (key->line)
                HorizontalLine(dc, boxRight - 2 * box, boxRight, boxTop + box / 2, key->color, PS_DASH);
            else
                FillRectWith(dc, {boxRight - box, boxTop, boxRight, boxTop + box}, key->color);
            right = boxRight - (key->line ? 2 * box : box) - Scaled(14);
        }
    }

    LocaleFormats locale_;
    const UsageView* view_ = nullptr;
    HFONT font_ = nullptr;
    UINT dpi_ = kDesignDpi;
};

TUsageWindow::TUsageWindow(UsageHistory& history, PlanCheck& planCheck, const LocaleFormats& locale,
                           PlanChangedEvent onPlanChanged)
    : TModalForm({.caption = win32::Widen(TextsFor(locale.TextLanguage).UsageCaption).c_str(),
                  .style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                  .exStyle = 0,
                  .clientWidth = kClientWidth,
                  .clientHeight = kClientHeight,
                  .font = win32::TextFont(locale.TextLanguage, {L"ＭＳ Ｐゴシック", -12, SHIFTJIS_CHARSET})}),
      history_(history),
      planCheck_(planCheck),
      locale_(locale),
      onPlanChanged_(std::move(onPlanChanged)) {
    const UiTexts& t = TextsFor(locale.TextLanguage);
    connectionCaption = AddLabel(t.UsageConnection, 10, 12);
    connectionList = AddControl({.className = WC_COMBOBOXW, .text = L"", .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                 .left = 84, .top = 8, .width = 200, .height = kComboHeight, .id = idConnection});
    daysButton = AddControl({.className = L"BUTTON", .text = win32::Widen(t.UsageDaysView).c_str(),
                             .style = WS_TABSTOP | WS_GROUP | BS_AUTORADIOBUTTON, .left = 300, .top = 10, .width = 150,
                             .height = 17, .id = idDays});
    periodsButton = AddControl({.className = L"BUTTON", .text = win32::Widen(t.UsagePeriodsView).c_str(),
                                .style = BS_AUTORADIOBUTTON, .left = 456, .top = 10, .width = 150, .height = 17, .id = idPeriods});
    summaryLabel = AddControl({.className = L"STATIC", .text = L"", .style = SS_LEFT | SS_NOPREFIX, .left = 10, .top = 38,
                               .width = 656, .height = 16});
    passedLabel = AddControl({.className = L"STATIC", .text = L"", .style = SS_LEFT | SS_NOPREFIX, .left = 10, .top = 56,
                              .width = 656, .height = 16});
    chart_ = std::make_unique<TBarChartWindow>(Handle(), locale_);
    table = AddControl({.className = WC_LISTVIEWW, .text = L"",
                        .style = WS_TABSTOP | LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | LVS_NOSORTHEADER,
                        .left = 8, .top = 282, .width = 460, .height = 180, .id = idTable, .exStyle = WS_EX_CLIENTEDGE});
    ::SendMessageW(table, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    for (int column = 0; column < 4; ++column) {
        LVCOLUMNW header{};
        header.mask = LVCF_FMT | LVCF_WIDTH;
        header.fmt = column == 0 ? LVCFMT_LEFT : LVCFMT_RIGHT;
        header.cx = 60;
        ::SendMessageW(table, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }

    planGroup = AddControl({.className = L"BUTTON", .text = win32::Widen(t.PlanGroup).c_str(), .style = BS_GROUPBOX,
                            .left = 476, .top = 276, .width = 192, .height = 156});
    startDayCaption = AddLabel(t.PlanStartDay, 486, 300);
    startDaySpin = std::make_unique<win32::TSpinEdit>(
        win32::TSpinEdit::Options{Handle(), idStartDay, 614, 296, 46, kEditHeight, 1, kLastStartDay, 1, Font()});
    allowanceCaption = AddLabel(t.PlanAllowance, 486, 328);
    allowanceEdit = AddControl({.className = L"EDIT", .text = L"", .style = WS_TABSTOP | ES_AUTOHSCROLL | ES_RIGHT, .left = 556,
                                .top = 324, .width = 56, .height = kEditHeight, .id = idAllowance, .exStyle = WS_EX_CLIENTEDGE});
    unitList = AddControl({.className = WC_COMBOBOXW, .text = L"", .style = WS_TABSTOP | CBS_DROPDOWNLIST, .left = 616,
                           .top = 324, .width = 46, .height = kComboHeight, .id = idUnit});
    for (const std::string_view unit : {t.UnitMegabytes, t.UnitGigabytes})
        ::SendMessageW(unitList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(unit).c_str()));
    noAllowanceNote = AddLabel(t.PlanNoAllowance, 556, 350);
    receiveOnlyBox = AddControl({.className = L"BUTTON", .text = win32::Widen(t.PlanReceiveOnly).c_str(),
                                 .style = WS_TABSTOP | BS_AUTOCHECKBOX, .left = 486, .top = 368, .width = 176, .height = 17,
                                 .id = idReceiveOnly});
    planConnectionCaption = AddLabel(t.PlanConnection, 486, 390);
    planConnectionList = AddControl({.className = WC_COMBOBOXW, .text = L"", .style = WS_TABSTOP | WS_VSCROLL | CBS_DROPDOWNLIST,
                                     .left = 486, .top = 406, .width = 176, .height = kComboHeight, .id = idPlanConnection});
    exportButton = AddControl({.className = L"BUTTON", .text = win32::Widen(t.UsageExport).c_str(),
                               .style = WS_TABSTOP | BS_PUSHBUTTON, .left = 476, .top = 438, .width = 192, .height = 24,
                               .id = idExport});
    SetChecked(daysButton, true);
    FillPlan(planCheck_.Plan());
}

TUsageWindow::~TUsageWindow() = default;

HWND TUsageWindow::AddLabel(std::string_view text, int left, int top) {
    const std::wstring caption = win32::Widen(text);
    const HWND label = AddControl({.className = L"STATIC", .text = caption.c_str(), .style = SS_LEFT | SS_NOPREFIX, .left = left, .top = top});
    FitToText(label);
    return label;
}

void TUsageWindow::Open() {
    Refresh();
    ShowModeless();
}

void TUsageWindow::Hide() {
    ApplyPlan();
    ::ShowWindow(Handle(), SW_HIDE);
    ::KillTimer(Handle(), kPlanLinesTimer);
}

void TUsageWindow::FillConnections() {
    const std::optional<std::string> viewed = ChosenConnection();
    const UsagePlan& plan = planCheck_.Plan();
    connections_ = history_.Connections();
    // A plan's connection the history does not know (yet) stays as it is, shown by its GUID.
    if (!plan.Connection.empty() &&
        std::none_of(connections_.begin(), connections_.end(), [&](const KnownConnection& c) { return c.Guid == plan.Connection; }))
        connections_.push_back({plan.Connection, plan.Connection});
    const std::wstring all = win32::Widen(TextsFor(locale_.TextLanguage).WatchAll);
    for (const HWND list : {connectionList, planConnectionList}) {
        ::SendMessageW(list, CB_RESETCONTENT, 0, 0);
        ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(all.c_str()));
        for (const KnownConnection& connection : connections_)
            ::SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(win32::Widen(connection.Alias).c_str()));
    }
    const auto indexOf = [&](const std::string& guid) {
        for (std::size_t i = 0; i < connections_.size(); ++i)
            if (connections_[i].Guid == guid) return static_cast<int>(i) + 1;
        return 0;
    };
    ::SendMessageW(connectionList, CB_SETCURSEL, viewed ? static_cast<WPARAM>(indexOf(*viewed)) : 0, 0);
    ::SendMessageW(planConnectionList, CB_SETCURSEL, static_cast<WPARAM>(plan.Connection.empty() ? 0 : indexOf(plan.Connection)), 0);
}

std::optional<std::string> TUsageWindow::ChosenConnection() const {
    const int index = Selection(connectionList);
    if (index <= 0 || static_cast<std::size_t>(index) > connections_.size()) return std::nullopt;
    return connections_[static_cast<std::size_t>(index) - 1].Guid;
}

void TUsageWindow::FillPlan(const UsagePlan& plan) {
    startDaySpin->SetValue(plan.StartDay);
    const AllowanceEntry entry = EntryOfAllowance(plan.AllowanceMegabytes, locale_);
    ::SetWindowTextW(allowanceEdit, win32::Widen(entry.Text).c_str());
    ::SendMessageW(unitList, CB_SETCURSEL, entry.Unit == AllowanceUnit::Gigabytes ? 1 : 0, 0);
    SetChecked(receiveOnlyBox, plan.ReceiveOnly);
}

UsagePlan TUsageWindow::ReadPlan() const {
    UsagePlan plan = planCheck_.Plan();
    plan.StartDay = std::clamp(startDaySpin->Value(), 1, kLastStartDay);
    const AllowanceUnit unit = Selection(unitList) == 1 ? AllowanceUnit::Gigabytes : AllowanceUnit::Megabytes;
    // What spells no amount leaves the allowance as it was.
    if (const auto megabytes = AllowanceFromEntry(win32::Narrow(win32::WindowText(allowanceEdit)), unit, locale_))
        plan.AllowanceMegabytes = *megabytes;
    plan.ReceiveOnly = Checked(receiveOnlyBox);
    const int connection = Selection(planConnectionList);
    plan.Connection = connection > 0 && static_cast<std::size_t>(connection) <= connections_.size()
                          ? connections_[static_cast<std::size_t>(connection) - 1].Guid
                          : std::string();
    return plan;
}

void TUsageWindow::ApplyPlan() {
    startDaySpin->PullIntoRange();
    const UsagePlan plan = ReadPlan();
    const bool changed = plan != planCheck_.Plan();
    if (changed) {
        planCheck_.SetPlan(plan);
        if (onPlanChanged_) onPlanChanged_(plan);
    }
    // The allowance as it is kept: "1500" MB shows as "1.5" GB, and what spelled nothing as before.
    FillPlan(plan);
    if (changed) Refresh();
}

void TUsageWindow::ShowView(UsageViewKind kind) {
    kind_ = kind;
    SetChecked(daysButton, kind == UsageViewKind::PeriodDays);
    SetChecked(periodsButton, kind == UsageViewKind::Periods);
    // A hidden window reads the history when it opens.
    if (::IsWindowVisible(Handle())) Refresh();
}

void TUsageWindow::Refresh() {
    FillConnections();
    view_ = BuildUsageView(history_, kind_, ChosenConnection(), planCheck_.Plan(), history_.Today(), locale_);
    chart_->SetView(&view_, Font(), Dpi());
    FillTable();
    ShowPlanLines();
}

void TUsageWindow::FillTable() {
    const UiTexts& t = TextsFor(locale_.TextLanguage);
    const std::array<std::string_view, 4> headers{kind_ == UsageViewKind::PeriodDays ? t.UsageDayColumn : t.UsagePeriodColumn,
                                                  t.UsageSentColumn, t.UsageReceivedColumn, t.UsageTotalColumn};
    for (int column = 0; column < 4; ++column) {
        std::wstring text = win32::Widen(headers[static_cast<std::size_t>(column)]);
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = text.data();
        ::SendMessageW(table, LVM_SETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
    }
    ::SendMessageW(table, WM_SETREDRAW, FALSE, 0);
    ::SendMessageW(table, LVM_DELETEALLITEMS, 0, 0);
    std::vector<const UsageViewRow*> rows;
    for (const UsageViewRow& row : view_.Rows) rows.push_back(&row);
    rows.push_back(&view_.Sum);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::array<const std::string*, 4> cells{&rows[i]->Label, &rows[i]->Sent, &rows[i]->Received, &rows[i]->Total};
        for (int column = 0; column < 4; ++column) {
            std::wstring text = win32::Widen(*cells[static_cast<std::size_t>(column)]);
            LVITEMW item{};
            item.mask = LVIF_TEXT;
            item.iItem = static_cast<int>(i);
            item.iSubItem = column;
            item.pszText = text.data();
            ::SendMessageW(table, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, column == 0 ? 0 : i,
                           reinterpret_cast<LPARAM>(&item));
        }
    }
    FitTableColumns();
    ::SendMessageW(table, WM_SETREDRAW, TRUE, 0);
    // The latest day or period, and the total under it, are what is looked for first.
    ::SendMessageW(table, LVM_ENSUREVISIBLE, rows.size() - 1, FALSE);
    ::InvalidateRect(table, nullptr, TRUE);
}

void TUsageWindow::FitTableColumns() {
    // Each column as wide as its widest text or its header, so no figure is cut short.
    for (int column = 0; column < 4; ++column) {
        ::SendMessageW(table, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), LVSCW_AUTOSIZE);
        const auto content = ::SendMessageW(table, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0);
        wchar_t text[64] = L"";
        LVCOLUMNW header{};
        header.mask = LVCF_TEXT;
        header.pszText = text;
        header.cchTextMax = 64;
        ::SendMessageW(table, LVM_GETCOLUMNW, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&header));
        const auto title = ::SendMessageW(table, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text)) + ScaleToDpi(14, static_cast<int>(Dpi()));
        ::SendMessageW(table, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), std::max(content, title));
    }
}

void TUsageWindow::ShowPlanLines() {
    const std::optional<PlanUse>& use = planCheck_.Use();
    ::SetWindowTextW(summaryLabel, use ? win32::Widen(PlanSummaryLine(*use, locale_)).c_str() : L"");
    std::string passed;
    for (const int percent : kWarningPercents) {
        if (const std::optional<PassedAt> at = planCheck_.WhenPassed(percent)) {
            if (!passed.empty()) passed += "    ";
            passed += PassedLine(percent, *at, locale_);
        }
    }
    ::SetWindowTextW(passedLabel, win32::Widen(passed).c_str());
}

bool TUsageWindow::ExportTo(const std::wstring& path) const { return win32::WriteNewFile(path, UsageViewCsv(view_)); }

void TUsageWindow::ExportClick() {
    const UiTexts& t = TextsFor(locale_.TextLanguage);
    const std::optional<std::wstring> path = win32::AskSavePath(Handle(), win32::Widen(t.CsvFilter), L"*.csv", L"csv");
    if (path && !ExportTo(*path))
        win32::Application::Current()->ShowMessage(win32::Widen(WithPath(t.UsageCsvCannotWrite, win32::Narrow(*path))), MB_ICONSTOP);
}

void TUsageWindow::DpiChanged() {
    startDaySpin->SetDpi(Dpi(), Font());
    chart_->SetView(&view_, Font(), Dpi());
    FitTableColumns();
}

LRESULT TUsageWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_COMMAND: {
        const int id = LOWORD(wParam), code = HIWORD(wParam);
        if (id == IDCANCEL) {
            Hide();
            return 0;
        }
        // Enter takes what is typed.
        if (id == IDOK || (code == EN_KILLFOCUS && (id == idStartDay || id == idAllowance))) {
            ApplyPlan();
            return 0;
        }
        if (code == BN_CLICKED && (id == idDays || id == idPeriods))
            ShowView(id == idDays ? UsageViewKind::PeriodDays : UsageViewKind::Periods);
        if (code == BN_CLICKED && id == idReceiveOnly) ApplyPlan();
        if (code == BN_CLICKED && id == idExport) ExportClick();
        if (code == CBN_SELCHANGE && (id == idUnit || id == idPlanConnection)) ApplyPlan();
        if (code == CBN_SELCHANGE && id == idConnection) Refresh();
        return 0;
    }
    case WM_VSCROLL:
        if (reinterpret_cast<HWND>(lParam) == startDaySpin->Arrows()) ApplyPlan();
        return 0;
    case WM_SHOWWINDOW:
        // The plan's lines follow the checks the owner makes once a second.
        if (wParam) ::SetTimer(Handle(), kPlanLinesTimer, 1000, nullptr);
        break;
    case WM_TIMER:
        if (wParam == kPlanLinesTimer) ShowPlanLines();
        return 0;
    case WM_SETTINGCHANGE:
    case WM_SYSCOLORCHANGE:
        // High contrast turned on or off: the chart takes the colours of the moment.
        ::InvalidateRect(chart_->Handle(), nullptr, FALSE);
        break;
    case WM_CLOSE:
        Hide();
        return 0;
    default:
        break;
    }
    return TModalForm::HandleMessage(message, wParam, lParam);
}

}  // namespace vantor
