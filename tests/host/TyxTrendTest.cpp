// The chart model: constructor values, setter clamping and change-only repaints, the add operations
// and the automatic scale.

#include "components/TyxTrend/TyxTrend.h"

#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <vector>

namespace vantor {
namespace {

class CountingTrend : public TTyxTrend {
public:
    CountingTrend() : TTyxTrend(nullptr) {}
    int repaints = 0;
    std::vector<bool> pictureChanges;  // what each add said

protected:
    void Invalidate() override { ++repaints; }
    void ValueAdded(bool pictureChanged) override {
        pictureChanges.push_back(pictureChanged);
        TTyxTrend::ValueAdded(pictureChanged);
    }
};

TEST(TyxTrend, StartsWithItsConstructorValuesAndEmptySeries) {
    CountingTrend chart;
    EXPECT_EQ(chart.MinVal(), 0);
    EXPECT_EQ(chart.MaxVal(), 100);
    EXPECT_EQ(chart.Divisions(), 20);
    EXPECT_EQ(chart.Options(), TTrendOptions{});
    EXPECT_EQ(chart.Style(), TTrendStyle::tsBar);
    EXPECT_EQ(chart.ColorBase(), 0xFFFF00u);
    EXPECT_EQ(chart.BackGroundColor(), 0xFFFFFFu);
    EXPECT_EQ(chart.GridStyle(), TGridStyle::gsFull);
    EXPECT_EQ(chart.GridColor(), 0xC0C0C0u);
    EXPECT_EQ(chart.GridXstep(), 10);
    EXPECT_EQ(chart.GridYstep(), 10);
    EXPECT_FALSE(chart.AutoScale());
    EXPECT_EQ(chart.GraphColor(), 0xFF0000u);
    EXPECT_EQ(chart.Color(), 0x8000000Fu);
    EXPECT_EQ(chart.DepthX(), 10);
    EXPECT_EQ(chart.DepthY(), 10);
    for (int slot = 0; slot < TTyxTrend::kCapacity; ++slot) {
        EXPECT_EQ(chart.Series1()[static_cast<std::size_t>(slot)], 0) << slot;
        EXPECT_EQ(chart.Series2()[static_cast<std::size_t>(slot)], 0) << slot;
    }
    EXPECT_EQ(chart.repaints, 0);
}

TEST(TyxTrend, StoredOrderOfEnumerationsAndOptionBits) {
    EXPECT_EQ(static_cast<int>(TTrendStyle::tsFilled), 4);
    EXPECT_EQ(static_cast<int>(TTrendStyle::ts3D), 3);
    EXPECT_EQ(static_cast<int>(TGridStyle::gsFull), 3);
    EXPECT_EQ(TTrendOptions({TTrendOption::toValues}).Bits(), 1);
    EXPECT_EQ(TTrendOptions({TTrendOption::toTwin}).Bits(), 2);
    EXPECT_EQ(TTrendOptions({TTrendOption::toTwin, TTrendOption::toValues}).Bits(), 3);
    EXPECT_EQ(TTrendOptions::FromBits(0xFE), TTrendOptions({TTrendOption::toTwin})) << "unknown bits are dropped";
    EXPECT_FALSE(TTrendOptions({TTrendOption::toTwin}).Contains(TTrendOption::toValues));
}

struct ClampCase {
    const char* what;
    std::function<void(TTyxTrend&)> set;
    std::function<int(const TTyxTrend&)> get;
    int expected;
};

TEST(TyxTrend, SettersClampOrRejectBadValues) {
    const ClampCase cases[] = {
        {"Divisions 150", [](TTyxTrend& c) { c.SetDivisions(150); }, &TTyxTrend::Divisions, 100},
        {"Divisions 1", [](TTyxTrend& c) { c.SetDivisions(1); }, &TTyxTrend::Divisions, 2},
        {"Divisions -9", [](TTyxTrend& c) { c.SetDivisions(-9); }, &TTyxTrend::Divisions, 2},
        {"MinVal at MaxVal", [](TTyxTrend& c) { c.SetMinVal(100); }, &TTyxTrend::MinVal, 99},
        {"MinVal above MaxVal", [](TTyxTrend& c) { c.SetMinVal(INT_MAX); }, &TTyxTrend::MinVal, 99},
        {"MaxVal below MinVal", [](TTyxTrend& c) { c.SetMaxVal(-5); }, &TTyxTrend::MaxVal, 1},
        {"MaxVal lowest", [](TTyxTrend& c) { c.SetMaxVal(INT_MIN); }, &TTyxTrend::MaxVal, 1},
        {"MaxVal at top of a low MinVal",
         [](TTyxTrend& c) {
             c.SetMinVal(INT_MIN);
             c.SetMaxVal(INT_MIN);
         },
         &TTyxTrend::MaxVal, INT_MIN + 1},
        {"GridXstep 0 rejected", [](TTyxTrend& c) { c.SetGridXstep(0); }, &TTyxTrend::GridXstep, 10},
        {"GridXstep -3 rejected", [](TTyxTrend& c) { c.SetGridXstep(-3); }, &TTyxTrend::GridXstep, 10},
        {"GridXstep beyond width", [](TTyxTrend& c) { c.SetGridXstep(500); }, &TTyxTrend::GridXstep, 220},
        {"GridYstep 0 rejected", [](TTyxTrend& c) { c.SetGridYstep(0); }, &TTyxTrend::GridYstep, 10},
        {"GridYstep beyond height", [](TTyxTrend& c) { c.SetGridYstep(500); }, &TTyxTrend::GridYstep, 40},
        {"GridXstep on a control of no width",
         [](TTyxTrend& c) {
             c.SetBounds(0, 0, 0, 0);
             c.SetGridXstep(10);
         },
         &TTyxTrend::GridXstep, 1},
        {"GridYstep on a control of negative height",
         [](TTyxTrend& c) {
             c.SetBounds(0, 0, 10, -4);
             c.SetGridYstep(10);
         },
         &TTyxTrend::GridYstep, 1},
    };
    for (const ClampCase& test : cases) {
        CountingTrend chart;
        chart.SetBounds(0, 0, 220, 40);
        test.set(chart);
        EXPECT_EQ(test.get(chart), test.expected) << test.what;
    }
}

struct RepaintCase {
    const char* what;
    std::function<void(TTyxTrend&)> setSame;
    std::function<void(TTyxTrend&)> setOther;
};

TEST(TyxTrend, SettersRequestARepaintOnlyWhenTheStoredValueChanges) {
    const RepaintCase cases[] = {
        {"MinVal", [](TTyxTrend& c) { c.SetMinVal(0); }, [](TTyxTrend& c) { c.SetMinVal(5); }},
        {"MaxVal", [](TTyxTrend& c) { c.SetMaxVal(100); }, [](TTyxTrend& c) { c.SetMaxVal(50); }},
        {"Divisions", [](TTyxTrend& c) { c.SetDivisions(20); }, [](TTyxTrend& c) { c.SetDivisions(100); }},
        {"Options", [](TTyxTrend& c) { c.SetOptions({}); }, [](TTyxTrend& c) { c.SetOptions({TTrendOption::toTwin}); }},
        {"Style", [](TTyxTrend& c) { c.SetStyle(TTrendStyle::tsBar); },
         [](TTyxTrend& c) { c.SetStyle(TTrendStyle::tsLine); }},
        {"ColorBase", [](TTyxTrend& c) { c.SetColorBase(0xFFFF00); }, [](TTyxTrend& c) { c.SetColorBase(clRed); }},
        {"BackGroundColor", [](TTyxTrend& c) { c.SetBackGroundColor(clWhite); },
         [](TTyxTrend& c) { c.SetBackGroundColor(clBlack); }},
        {"GridStyle", [](TTyxTrend& c) { c.SetGridStyle(TGridStyle::gsFull); },
         [](TTyxTrend& c) { c.SetGridStyle(TGridStyle::gsNone); }},
        {"GridColor", [](TTyxTrend& c) { c.SetGridColor(0xC0C0C0); }, [](TTyxTrend& c) { c.SetGridColor(0xE0E0E0); }},
        {"GridXstep", [](TTyxTrend& c) { c.SetGridXstep(10); }, [](TTyxTrend& c) { c.SetGridXstep(20); }},
        {"GridYstep", [](TTyxTrend& c) { c.SetGridYstep(10); }, [](TTyxTrend& c) { c.SetGridYstep(20); }},
        {"AutoScale", [](TTyxTrend& c) { c.SetAutoScale(false); }, [](TTyxTrend& c) { c.SetAutoScale(true); }},
        {"GraphColor", [](TTyxTrend& c) { c.SetGraphColor(0xFF0000); }, [](TTyxTrend& c) { c.SetGraphColor(0xFF0080); }},
        {"Divisions clamped to what it holds", [](TTyxTrend& c) { c.SetDivisions(1); },
         [](TTyxTrend& c) { c.SetDivisions(150); }},
        {"bounds", [](TTyxTrend& c) { c.SetBounds(0, 0, 185, 41); }, [](TTyxTrend& c) { c.SetBounds(0, 0, 220, 40); }},
    };
    for (const RepaintCase& test : cases) {
        CountingTrend chart;
        if (std::string(test.what) == "Divisions clamped to what it holds") chart.SetDivisions(2);
        chart.repaints = 0;
        test.setSame(chart);
        EXPECT_EQ(chart.repaints, 0) << test.what << ": same value";
        test.setOther(chart);
        EXPECT_EQ(chart.repaints, 1) << test.what << ": new value";
    }
}

TEST(TyxTrend, WhileLoadingSettersOnlyStoreAndLoadedRepaintsOnce) {
    CountingTrend chart;
    chart.BeginLoading();
    chart.SetBounds(0, 0, 220, 40);
    chart.SetDivisions(100);
    chart.SetStyle(TTrendStyle::tsLine);
    chart.SetGridColor(0xE0E0E0);
    EXPECT_EQ(chart.repaints, 0);
    chart.EndLoading();
    EXPECT_EQ(chart.repaints, 1);
    EXPECT_EQ(chart.Divisions(), 100);
}

TEST(TyxTrend, AddingShiftsTheSlotsInUseClampsAndAlwaysRepaints) {
    CountingTrend chart;
    chart.SetDivisions(5);
    chart.repaints = 0;
    for (int value : {10, 20, 30, 40, 50}) chart.AddValue1(value);
    EXPECT_EQ(chart.repaints, 5);
    chart.AddValue1(-7);
    chart.AddValue1(250);
    chart.AddValue1(250);
    EXPECT_EQ(chart.repaints, 8) << "a repaint even when nothing visible changed";
    const TTyxTrend::Series& s = chart.Series1();
    EXPECT_EQ((std::vector<int>(s.begin(), s.begin() + 6)), (std::vector<int>{40, 50, 0, 100, 100, 0}));
    EXPECT_EQ(chart.Series2()[4], 0) << "series 2 is untouched";

    chart.AddValue2(33);
    EXPECT_EQ(chart.Series2()[4], 33);
    EXPECT_EQ(chart.Series1()[4], 100);
}

TEST(TyxTrend, AnAddTellsWhetherTheShownSlotsChanged) {
    CountingTrend chart;
    chart.SetDivisions(3);
    chart.repaints = 0;
    // A 7 is shown until it has shifted out of slot 0; 250 is clamped to 100, so the fourth one shows nothing new.
    const struct {
        int value;
        bool changed;
    } steps[] = {{0, false}, {7, true},    {0, true},    {0, true},    {0, true},
                 {0, false}, {250, true}, {250, true}, {250, true}, {250, false}};
    for (const auto& step : steps) chart.AddValue2(step.value);
    std::vector<bool> expected;
    for (const auto& step : steps) expected.push_back(step.changed);
    EXPECT_EQ(chart.pictureChanges, expected);
    EXPECT_EQ(chart.repaints, 10) << "the bare model repaints after every add";
}

TEST(TyxTrend, SlotsBeyondDivisionsStayPutButCountForTheAutomaticScale) {
    CountingTrend chart;
    chart.SetDivisions(100);
    for (int i = 0; i < 100; ++i) chart.AddValue1(i);  // slot i holds i
    chart.SetDivisions(20);
    chart.SetAutoScale(true);
    chart.AddValue1(5);
    const TTyxTrend::Series& s = chart.Series1();
    EXPECT_EQ(s[0], 1);
    EXPECT_EQ(s[18], 19);
    EXPECT_EQ(s[19], 5);
    EXPECT_EQ(s[20], 20);
    EXPECT_EQ(s[99], 99);
    EXPECT_EQ(chart.MaxVal(), 99) << "slot 99 is not shown but still sets the scale";
}

TEST(TyxTrend, AutomaticScaleFollowsThePeakOfBothSeries) {
    CountingTrend chart;
    chart.SetDivisions(3);
    chart.SetAutoScale(true);
    for (int value : {40, 30, 20}) chart.AddValue1(value);
    EXPECT_EQ(chart.MaxVal(), 40);
    chart.AddValue1(90);
    EXPECT_EQ(chart.MaxVal(), 90);
    EXPECT_EQ(chart.Series1()[2], 90) << "not clipped in this mode";
    chart.AddValue2(60);
    chart.AddValue1(10);
    chart.AddValue1(10);
    EXPECT_EQ(chart.MaxVal(), 90) << "90 is still shown";
    chart.AddValue1(10);
    EXPECT_EQ(chart.MaxVal(), 60) << "once 90 is shifted out, series 2's 60 is the largest";
    chart.AddValue1(250);
    EXPECT_EQ(chart.MaxVal(), 250);
    EXPECT_EQ(chart.Series1()[2], 250);

    CountingTrend flat;
    flat.SetAutoScale(true);
    flat.AddValue1(0);
    EXPECT_EQ(flat.MaxVal(), 1) << "never down to MinVal";
    EXPECT_EQ(flat.Series1()[19], 0);
}

TEST(TyxTrend, AdjustColorShadesEachChannelWithClamping) {
    struct {
        TColor color;
        int amount;
        TColor expected;
    } const cases[] = {
        {0xFF0080, -60, 0xC30044}, {0xFF0080, +60, 0xFF3CBC}, {0xFF0000, -60, 0xC30000},
        {0xFF0000, +60, 0xFF3C3C}, {0x8000000F, 0, 0x00000F}, {0x123456, INT_MAX, 0xFFFFFF},
        {0x123456, INT_MIN, 0x000000},
    };
    for (const auto& test : cases)
        EXPECT_EQ(TTyxTrend::AdjustColor(test.color, test.amount), test.expected)
            << std::hex << test.color << " by " << std::dec << test.amount;
}

}  // namespace
}  // namespace vantor
