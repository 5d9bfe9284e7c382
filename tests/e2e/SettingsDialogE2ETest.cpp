// The settings dialog of vantor.exe, opened from the popup menu and driven from outside: its layout at
// 96 dpi, the enable rules, the log file's save dialog, and what OK, Cancel and Esc do to the running
// monitor and the saved settings.

#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <map>

#include "app/win32/SettingsDialogLayout.h"
#include "framework/win32/Text.h"
#include "tests/e2e/Driving.h"
#include "tests/e2e/RemoteMemory.h"
#include "tests/e2e/VantorProcess.h"
#include "tests/support/Loopback.h"

namespace vantor::e2e {
namespace {

using namespace std::chrono_literals;

constexpr wchar_t kCaption[] = L"インタフェース設定";

using testing::ChildrenOf;
using testing::LineCount;

// The dialog as a user sees it: its buttons, its page control, and each page's controls found by their
// kind and text (the edits of a page in the order they were made).
struct SettingsDialog {
    HWND window = nullptr;
    HWND pageControl = nullptr, ok = nullptr, cancel = nullptr;
    std::vector<HWND> pages;  // in the order of their tabs

    explicit SettingsDialog(HWND dialog) : window(dialog) {
        if (!dialog) return;
        pageControl = ChildrenOfClass(dialog, WC_TABCONTROLW).front();
        ok = ChildrenOfClass(dialog, L"Button", L"OK").front();
        cancel = ChildrenOfClass(dialog, L"Button", L"キャンセル").front();
        const std::wstring firstControls[] = {L"インタフェース", L"グラフの最高速度を設定する", L"ログファイルに書き出す"};
        for (const std::wstring& text : firstControls)
            for (HWND page : ChildrenOf(dialog))
                if (!ChildrenOfClass(page, L"Static", text.c_str()).empty() ||
                    !ChildrenOfClass(page, L"Button", text.c_str()).empty())
                    pages.push_back(page);
    }
    HWND Control(int page, const wchar_t* className, const wchar_t* text) const {
        const auto found = ChildrenOfClass(pages[static_cast<std::size_t>(page)], className, text);
        return found.empty() ? nullptr : found.front();
    }
    HWND Edit(int page, int index) const {
        int seen = 0;
        for (HWND child : ChildrenOf(pages[static_cast<std::size_t>(page)]))
            if (_wcsicmp(ClassOf(child).c_str(), L"Edit") == 0 && seen++ == index) return child;
        return nullptr;
    }
    // A spin box as one control: its edit and the arrows that sit at its right end.
    Placement SpinBox(int page, int index) const {
        const HWND edit = Edit(page, index);
        for (HWND child : ChildrenOf(pages[static_cast<std::size_t>(page)]))
            if (ClassOf(child) == UPDOWN_CLASSW &&
                reinterpret_cast<HWND>(::SendMessageW(child, UDM_GETBUDDY, 0, 0)) == edit) {
                const Placement text = PlacementIn(edit, pages[static_cast<std::size_t>(page)]);
                const Placement arrows = PlacementIn(child, pages[static_cast<std::size_t>(page)]);
                return {text.left, text.top, arrows.left + arrows.width - text.left, text.height};
            }
        return {};
    }
    bool SpinBoxEnabled(int page, int index) const {
        const HWND edit = Edit(page, index);
        for (HWND child : ChildrenOf(pages[static_cast<std::size_t>(page)]))
            if (ClassOf(child) == UPDOWN_CLASSW && reinterpret_cast<HWND>(::SendMessageW(child, UDM_GETBUDDY, 0, 0)) == edit)
                return ::IsWindowEnabled(edit) && ::IsWindowEnabled(child);
        return false;
    }
    bool ShowPage(int page) const {
        const auto tab = TabItemRect(pageControl, page);
        return tab && Click({(tab->left + tab->right) / 2, (tab->top + tab->bottom) / 2}) &&
               WaitUntil([&] { return ::IsWindowVisible(pages[static_cast<std::size_t>(page)]) != FALSE; });
    }
};

std::wstring ListItemText(HWND comboBox, int index) {
    std::wstring text(static_cast<std::size_t>(::SendMessageW(comboBox, CB_GETLBTEXTLEN, index, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(::SendMessageW(comboBox, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

// The interface description in a list item's text: after the friendly name, before the mark of one not
// connected.
std::string ListedDescription(std::wstring text) {
    if (const auto dash = text.find(L" — "); dash != std::wstring::npos) text.erase(0, dash + 3);
    if (const auto mark = text.find(L"（未接続）"); mark != std::wstring::npos) text.erase(mark);
    return win32::Utf8ToAnsi(win32::Narrow(text));
}

// A started program watching row 1, the loopback interface, whose peaks have risen with loopback traffic
// that has stopped again.
struct WithPeaks {
    TempFolder folder;
    std::optional<VantorProcess> vantor;
    HWND form = nullptr;
    double sendPeak = 0;

    explicit WithPeaks(const std::string& settings = "") {
        WriteFileBytes(folder.File(L"vantor20.ini"), "[Interface]\r\nSelected=1\r\n" + settings);
        vantor.emplace(folder);
        form = vantor->Form();
        if (!WaitUntil([&] { return ::IsWindowVisible(form) != FALSE; })) return;
        {
            testing::LoopbackStream traffic(4 * 1024 * 1024);
            WaitUntil([&] { return FigureValue(vantor->Figures()[Figure::SendPeak]) > 1000; }, kTickLimit);
        }
        WaitUntil([&] { return FigureValue(vantor->Figures()[Figure::SendCurrent]) < 100; }, kTickLimit);
        sendPeak = FigureValue(vantor->Figures()[Figure::SendPeak]);
    }
    bool PeaksReset() { return FigureValue(vantor->Figures()[Figure::SendPeak]) < sendPeak / 10; }
    // Whether the peaks stand once a tick has come: a trickle of loopback traffic, far below them, makes
    // each tick change the tip.
    bool PeaksKeptAtTheNextTick() {
        const testing::LoopbackStream trickle(64 * 1024);
        TipTicks ticks;
        return ticks.WaitFor(1) && FigureValue(vantor->Figures()[Figure::SendPeak]) >= sendPeak;
    }
    std::map<std::string, std::string> SavedSettings() {
        vantor->Quit();
        return SettingsValues(folder.File(L"vantor20.ini"));
    }
};

TEST(SettingsDialogE2E, LayoutAt96DpiMatchesTheTablesPageByPage) {
    TempFolder folder;
    VantorProcess vantor(folder);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(vantor.Form()) != FALSE; }));
    // Read before the dialog opens: under Wine this process's metrics read 0 for a moment while it opens.
    const SIZE screen{::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    const SettingsDialog dialog(OpenDialogWithKeyboard(vantor, cmdSettings, kCaption));
    ASSERT_NE(dialog.window, nullptr) << "インタフェース設定 opens the dialog";
    ASSERT_EQ(dialog.pages.size(), 3u);

    using namespace settings_layout;
    const WindowState state = StateOf(dialog.window);
    EXPECT_EQ(state.client.right, kClientWidth);
    EXPECT_EQ(state.client.bottom, kClientHeight);
    EXPECT_FALSE(state.style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)) << "fixed, close box only";
    EXPECT_TRUE(state.style & WS_SYSMENU);
    RECT r = state.rect;
    EXPECT_EQ(r.left, (screen.cx - (r.right - r.left)) / 2) << "centred";
    EXPECT_EQ(r.top, (screen.cy - (r.bottom - r.top)) / 2);
    const auto placement = [](const Place& p) { return Placement{p.left, p.top, p.width, p.height}; };
    EXPECT_EQ(PlacementIn(dialog.pageControl, dialog.window), placement(kPageTabs));
    EXPECT_EQ(PlacementIn(dialog.ok, dialog.window), placement(kOk));
    EXPECT_EQ(PlacementIn(dialog.cancel, dialog.window), placement(kCancel));
    EXPECT_TRUE(::IsWindowVisible(dialog.pages[0])) << "the first page shows when opened";

    // Where each control stands on its page: left and top always, the width and height where the table
    // gives them.
    struct Expected {
        int page;
        const wchar_t* className;
        const wchar_t* text;
        Place place;
    };
    const Expected labelsAndBoxes[] = {
        {0, L"Static", L"インタフェース", kInterfaceCaption},
        {0, L"ComboBox", nullptr, {kInterfaceList.left, kInterfaceList.top, kInterfaceList.width}},
        {0, L"Static",
         L"自動：既定のルートが通る接続を、変わるたびに追います。\r\n"
         L"すべての接続：ループバック、VPN、仮想アダプターを除くハードウェアの合計です。",
         kWatchNote},
        {0, L"Button", L"起動時にメイン画面を表示する", kShowAtStart},
        {1, L"Button", L"グラフの最高速度を設定する", kFixedGauge},
        {1, L"Static", L"送信速度最大", kGaugeSendCaption},
        {1, L"Static", L"受信速度最大", kGaugeReceiveCaption},
        {1, L"Button", L"平均速度をグラフ表示する", kGraphAverage},
        {1, L"Button", L"ビット単位にする（Kbps）", kBitUnits},
        {2, L"Button", L"ログファイルに書き出す", kLogEnabled},
        {2, L"Static", L"場所", kLogPathCaption},
        {2, L"Button", L"...", kBrowse},
        {2, L"Static", L"書込間隔（秒）", kLogIntervalCaption},
        {2, L"Static", L"通信ログはKB単位固定です。", kLogUnitNote},
    };
    for (const Expected& e : labelsAndBoxes) {
        const HWND control = dialog.Control(e.page, e.className, e.text);
        SCOPED_TRACE(::testing::PrintToString(std::wstring(e.text ? e.text : L"interface list")));
        ASSERT_NE(control, nullptr);
        Placement seen = PlacementIn(control, dialog.pages[static_cast<std::size_t>(e.page)]);
        const Place& p = e.place;
        EXPECT_EQ(seen, (Placement{p.left, p.top, p.width ? p.width : seen.width, p.height ? p.height : seen.height}));
    }
    // The two "KB" labels, left to right by their place on the page.
    auto kb = ChildrenOfClass(dialog.pages[1], L"Static", L"KB");
    ASSERT_EQ(kb.size(), 2u);
    std::vector<Placement> kbPlaces{PlacementIn(kb[0], dialog.pages[1]), PlacementIn(kb[1], dialog.pages[1])};
    std::sort(kbPlaces.begin(), kbPlaces.end(), [](auto& a, auto& b) { return a.top < b.top; });
    EXPECT_EQ(std::make_pair(kbPlaces[0].left, kbPlaces[0].top), std::make_pair(kGaugeSendUnit.left, kGaugeSendUnit.top));
    EXPECT_EQ(std::make_pair(kbPlaces[1].left, kbPlaces[1].top),
              std::make_pair(kGaugeReceiveUnit.left, kGaugeReceiveUnit.top));
    // Spin boxes and the path box.
    const auto widthAt = [](Placement p) { return std::make_tuple(p.left, p.top, p.width); };
    const auto designed = [](const Place& p) { return std::make_tuple(p.left, p.top, p.width); };
    EXPECT_EQ(widthAt(dialog.SpinBox(1, 0)), designed(kGaugeSend.place)) << "send gauge";
    EXPECT_EQ(widthAt(dialog.SpinBox(1, 1)), designed(kGaugeReceive.place)) << "receive gauge";
    EXPECT_EQ(widthAt(PlacementIn(dialog.Edit(2, 0), dialog.pages[2])), designed(kLogPath)) << "log path";
    EXPECT_EQ(widthAt(dialog.SpinBox(2, 1)), designed(kLogInterval.place)) << "log interval";

    EXPECT_TRUE(PressKeysUntil(dialog.window, L"Escape", [&] { return !::IsWindow(dialog.window); }));
    ASSERT_TRUE(vantor.Quit());
}

TEST(SettingsDialogE2E, EnableRulesFollowTheCheckBoxesAndCancelOrEscChangeNothing) {
    WithPeaks run;
    ASSERT_GT(run.sendPeak, 1000) << "a peak of megabytes";
    {
        const SettingsDialog dialog(OpenDialogWithKeyboard(*run.vantor, cmdSettings, kCaption));
        ASSERT_NE(dialog.window, nullptr);
        // Fixed maxima off: their labels and boxes are disabled, keeping their values.
        for (const wchar_t* label : {L"送信速度最大", L"受信速度最大"})
            EXPECT_FALSE(::IsWindowEnabled(dialog.Control(1, L"Static", label)));
        EXPECT_FALSE(dialog.SpinBoxEnabled(1, 0));
        EXPECT_FALSE(dialog.SpinBoxEnabled(1, 1));
        EXPECT_EQ(TextOf(dialog.Edit(1, 0)), L"10");

        // Logging off: the place, the interval, the path box and "..." are disabled; the note is not.
        ASSERT_TRUE(dialog.ShowPage(2));
        const HWND logControls[] = {dialog.Control(2, L"Static", L"場所"), dialog.Control(2, L"Static", L"書込間隔（秒）"),
                                    dialog.Edit(2, 0), dialog.Control(2, L"Button", L"...")};
        const HWND note = dialog.Control(2, L"Static", L"通信ログはKB単位固定です。");
        const auto logControlsEnabled = [&] {
            return std::all_of(std::begin(logControls), std::end(logControls),
                               [](HWND c) { return ::IsWindowEnabled(c) != FALSE; }) && dialog.SpinBoxEnabled(2, 1);
        };
        const auto logControlsDisabled = [&] {
            return std::none_of(std::begin(logControls), std::end(logControls),
                                [](HWND c) { return ::IsWindowEnabled(c) != FALSE; }) && !dialog.SpinBoxEnabled(2, 1);
        };
        EXPECT_TRUE(logControlsDisabled());
        EXPECT_TRUE(::IsWindowEnabled(note));

        const HWND logBox = dialog.Control(2, L"Button", L"ログファイルに書き出す");
        ASSERT_TRUE(Click(CentreOf(logBox)));
        ASSERT_TRUE(WaitUntil([&] { return ::SendMessageW(logBox, BM_GETCHECK, 0, 0) == BST_CHECKED; }));
        EXPECT_TRUE(WaitUntil(logControlsEnabled)) << "ticking it enables them";
        EXPECT_TRUE(::IsWindowEnabled(note));
        ASSERT_TRUE(Click(CentreOf(logBox)));
        EXPECT_TRUE(WaitUntil(logControlsDisabled)) << "and unticking disables them again";
        ASSERT_TRUE(Click(CentreOf(logBox)));
        ASSERT_TRUE(WaitUntil(logControlsEnabled));

        // "..." opens the save dialog (its library is loaded only now), and the name chosen there fills the path box.
        ASSERT_TRUE(Click(CentreOf(dialog.Control(2, L"Button", L"..."))));
        const HWND saveDialog = run.vantor->WaitForWindow(L"#32770");
        const std::vector<HWND> nameBox = saveDialog ? ChildrenOfClass(saveDialog, L"Edit") : std::vector<HWND>{};
        ASSERT_FALSE(nameBox.empty()) << "a save dialog with its file name box opens, not an error box";
        const std::wstring chosen = run.folder.File(L"picked.log").wstring();
        ::SendMessageW(nameBox.front(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(chosen.c_str()));
        ASSERT_TRUE(PressKeysUntil(saveDialog, L"Return", [&] { return !::IsWindow(saveDialog); }));
        EXPECT_EQ(TextOf(dialog.Edit(2, 0)), chosen);

        ASSERT_TRUE(Click(CentreOf(dialog.cancel)));
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(dialog.window); })) << "キャンセル closes it";
    }
    EXPECT_TRUE(run.PeaksKeptAtTheNextTick()) << "Cancel leaves the peaks";
    {
        const SettingsDialog dialog(OpenDialogWithKeyboard(*run.vantor, cmdSettings, kCaption));
        ASSERT_NE(dialog.window, nullptr);
        EXPECT_TRUE(::IsWindowVisible(dialog.pages[0])) << "a fresh dialog opens on its first page";
        EXPECT_FALSE(::IsWindowEnabled(dialog.Control(2, L"Static", L"場所"))) << "logging is still off";
        const HWND combo = ChildrenOfClass(dialog.pages[0], L"ComboBox").front();
        ASSERT_EQ(::SendMessageW(combo, CB_GETCURSEL, 0, 0), 2) << "loopback, after the two ways of watching";
        ASSERT_TRUE(PressKeysUntil(combo, L"Down", [&] { return ::SendMessageW(combo, CB_GETCURSEL, 0, 0) == 3; }))
            << "another interface";
        ASSERT_TRUE(PressKeysUntil(combo, L"Escape", [&] { return !::IsWindow(dialog.window); })) << "Esc closes it";
    }
    EXPECT_TRUE(run.PeaksKeptAtTheNextTick()) << "Esc leaves the peaks";
    auto saved = run.SavedSettings();
    EXPECT_EQ(saved["log/mode"], "0");
    EXPECT_EQ(saved["Interface/Selected"], "1");
}

TEST(SettingsDialogE2E, OkReadsTheTableAgainRestartsThePeaksAndWritesALogLineAtTheNextTick) {
    TempFolder logFolder;
    const auto log = logFolder.File(L"traffic.log");
    WithPeaks run("[log]\r\nmode=1\r\nwait=60\r\npass=" + AnsiPath(log) + "\r\n");
    ASSERT_GT(run.sendPeak, 1000);
    ASSERT_EQ(LineCount(log), 1u) << "the first tick wrote the first line; the next is a minute away";

    const SettingsDialog dialog(OpenDialogWithKeyboard(*run.vantor, cmdSettings, kCaption));
    ASSERT_NE(dialog.window, nullptr);
    const HWND combo = ChildrenOfClass(dialog.pages[0], L"ComboBox").front();
    ASSERT_GE(::SendMessageW(combo, CB_GETCOUNT, 0, 0), 4) << "a second interface to choose";
    ASSERT_TRUE(PressKeysUntil(combo, L"Down", [&] { return ::SendMessageW(combo, CB_GETCURSEL, 0, 0) == 3; }));
    const int chosen = InterfaceNamed(ListedDescription(ListItemText(combo, 3))).position;
    ASSERT_GT(chosen, 1) << "the item names an interface of the table";
    ASSERT_TRUE(PressKeysUntil(combo, L"Return", [&] { return !::IsWindow(dialog.window); })) << "Enter is OK";

    EXPECT_TRUE(WaitUntil([&] { return run.PeaksReset(); }, kTickLimit)) << "the peaks restart";
    EXPECT_TRUE(WaitUntil([&] { return LineCount(log) == 2; }, kTickLimit)) << "a log line at the next tick";
    // The figures now follow the second interface listed, where the loopback traffic does not go: the tip,
    // written from the same sample, shows that interface's totals.
    {
        testing::LoopbackStream traffic(4 * 1024 * 1024);
        EXPECT_TRUE(WaitUntil([&] { return TipShowsTotalsOf(chosen); }, kTickLimit))
            << "the tip reads " << ::testing::PrintToString(ProgramTip().value_or(L""));
        EXPECT_LT(FigureValue(run.vantor->Figures()[Figure::SendCurrent]), 400) << "loopback traffic no longer shows";
    }
    auto saved = run.SavedSettings();
    EXPECT_EQ(saved["Interface/Selected"], std::to_string(chosen));
    EXPECT_EQ(saved["log/mode"], "1");
}

TEST(SettingsDialogE2E, StoredValuesOutsideTheRangesShowAndApplyPulledIntoThem) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Gauge]\r\nSend=0\r\n[log]\r\nwait=20000\r\n");
    VantorProcess vantor(folder);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(vantor.Form()) != FALSE; }));
    const SettingsDialog dialog(OpenDialogWithKeyboard(vantor, cmdSettings, kCaption));
    ASSERT_NE(dialog.window, nullptr);
    EXPECT_EQ(TextOf(dialog.Edit(1, 0)), L"1") << "a gauge of 0 shows as 1";
    EXPECT_EQ(TextOf(dialog.Edit(1, 1)), L"10");
    EXPECT_EQ(TextOf(dialog.Edit(2, 1)), L"10800") << "an interval of 20000 shows as 10800";
    ASSERT_TRUE(PressKeysUntil(dialog.window, L"Return", [&] { return !::IsWindow(dialog.window); }));
    ASSERT_TRUE(vantor.Quit());
    auto saved = SettingsValues(folder.File(L"vantor20.ini"));
    EXPECT_EQ(saved["Gauge/Send"], "1") << "and OK applies them so";
    EXPECT_EQ(saved["log/wait"], "10800");
}

TEST(SettingsDialogE2E, ATypedZeroGaugeConfirmedWithEnterReachesTheTickAsOne) {
    TempFolder folder;
    WriteFileBytes(folder.File(L"vantor20.ini"), "[Interface]\r\nSelected=1\r\n");  // loopback
    VantorProcess vantor(folder);
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(vantor.Form()) != FALSE; }));
    const SettingsDialog dialog(OpenDialogWithKeyboard(vantor, cmdSettings, kCaption));
    ASSERT_NE(dialog.window, nullptr);
    ASSERT_TRUE(dialog.ShowPage(1));
    ASSERT_TRUE(Click(CentreOf(dialog.Control(1, L"Button", L"グラフの最高速度を設定する"))));
    ASSERT_TRUE(WaitUntil([&] { return dialog.SpinBoxEnabled(1, 0); })) << "fixed maxima on";
    const HWND gauge = dialog.Edit(1, 0);
    ASSERT_TRUE(Click(CentreOf(gauge)));
    ASSERT_TRUE(WaitUntil([&] { return FocusOfThreadOf(dialog.window) == gauge; }));
    ASSERT_TRUE(PressKeysUntil(gauge, L"End BackSpace BackSpace BackSpace x 0", [&] { return TextOf(gauge) == L"0"; }))
        << "digits only: the x is refused";
    // Enter without leaving the box: the range is not applied to the text on the way.
    ASSERT_TRUE(PressKeysUntil(gauge, L"Return", [&] { return !::IsWindow(dialog.window); }));

    // The tick divides by the gauge; it goes on ticking.
    const std::wstring before = vantor.Figures()[Figure::SendCurrent];
    {
        testing::LoopbackStream traffic(256 * 1024);
        EXPECT_TRUE(WaitUntil([&] { return vantor.Figures()[Figure::SendCurrent] != before; }, kTickLimit))
            << "the figures move on";
    }
    ASSERT_TRUE(vantor.Quit());
    auto saved = SettingsValues(folder.File(L"vantor20.ini"));
    EXPECT_EQ(saved["Interface/flg"], "1");
    EXPECT_EQ(saved["Gauge/Send"], "1") << "applied as the least the range allows";
}

}  // namespace
}  // namespace vantor::e2e
