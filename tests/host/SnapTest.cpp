// Edge snapping with the references given as data. Rectangles are (left, top, right, bottom); the work
// area is the virtual desktop's 1024 x 748.

#include "app/core/Snap.h"

#include <gtest/gtest.h>

namespace vantor {

void PrintTo(const TRect& r, std::ostream* os) { *os << "(" << r.Left << ", " << r.Top << ", " << r.Right << ", " << r.Bottom << ")"; }

namespace snap {
namespace {

constexpr TRect kWorkArea{0, 0, 1024, 748};

TRect Offset(TRect r, std::int32_t dx, std::int32_t dy) { return {r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }

TEST(Snap, DragToTheLeftStaysOnTheEdgeUntilTheMouseIsMoreThanSixPast) {
    const SnapReferences references{kWorkArea, {}};
    MoveTracking tracking;
    TRect window{20, 100, 240, 180};
    tracking.EnterSizeMove(window);
    // Each proposed rectangle is the one last handed back plus the mouse's step.
    struct Step {
        std::int32_t mouse, unsnapped, left;
    } steps[] = {
        {-10, 10, 10}, {-5, 5, 0}, {-6, -1, 0}, {-6, -7, -7},  // to the left
        {1, -6, 0},    {12, 6, 0}, {1, 7, 7},                  // and back
    };
    for (const Step& step : steps) {
        window = tracking.Moving(Offset(window, step.mouse, 0), references);
        EXPECT_EQ(tracking.Unsnapped.X, step.unsnapped);
        EXPECT_EQ(window, (TRect{step.left, 100, step.left + 220, 180})) << "unsnapped left " << step.unsnapped;
        EXPECT_EQ(tracking.Snapped.X, step.left);
    }
    tracking.EnterSizeMove({300, 400, 520, 480});
    EXPECT_EQ(tracking.Moving({299, 399, 519, 479}, references), (TRect{299, 399, 519, 479}))
        << "a new move starts from the window's own position";
}

TEST(Snap, MovingRectCases) {
    struct Case {
        const char* what;
        std::optional<TRect> workArea;
        std::vector<ReferenceWindow> others;
        TRect window, expected;
        std::int32_t distance = SnapDistance;
    } cases[] = {
        // The right edges are 4 apart, and the left edge is 4 from the other window's right: the work area wins.
        {"work area first", kWorkArea, {{{500, 100, 800, 300}, true}}, {804, 150, 1020, 230}, {808, 150, 1024, 230}},
        // The left edge 4 short of the work area's right edge: placed entirely beyond it.
        {"beyond the right edge", kWorkArea, {}, {1020, 150, 1240, 230}, {1024, 150, 1244, 230}},
        {"corner", kWorkArea, {}, {3, 670, 220, 745}, {0, 673, 217, 748}},
        {"no work area: the other window", std::nullopt, {{{500, 100, 800, 300}, true}}, {804, 150, 1020, 230},
         {800, 150, 1016, 230}},
        {"hidden windows do not count", std::nullopt, {{{500, 100, 800, 300}, false}}, {804, 150, 1020, 230},
         {804, 150, 1020, 230}},
        {"the first window in list order", std::nullopt,
         {{{500, 100, 800, 300}, true}, {{500, 100, 806, 300}, true}}, {804, 150, 1020, 230}, {800, 150, 1016, 230}},
        // Horizontal from the other window, vertical from the work area's bottom.
        {"axes from different references", kWorkArea, {{{500, 600, 800, 748}, true}}, {804, 665, 1000, 744},
         {800, 669, 996, 748}},
        // At 144 dpi the window snaps within 9 pixels, the distance its density gives.
        {"nine at 144 dpi", kWorkArea, {}, {9, 150, 335, 267}, {0, 150, 326, 267}, 9},
        {"ten do not", kWorkArea, {}, {10, 150, 336, 267}, {10, 150, 336, 267}, 9},
    };
    for (const Case& c : cases) {
        TRect window = c.window;
        SnapMovingRect(window, {c.workArea, c.others, c.distance});
        EXPECT_EQ(window, c.expected) << c.what;
    }
}

TEST(Snap, SidesSnapOnlyWithOverlapWithinSix) {
    const TRect other{400, 100, 600, 300};
    struct Case {
        TRect window;
        bool snaps;
        TRect expected;
    } horizontal[] = {
        {{603, 306, 803, 386}, true, {600, 306, 800, 386}},   // top 6 below the other's bottom
        {{603, 307, 803, 387}, false, {603, 307, 803, 387}},  // 7 below
        {{603, 14, 803, 94}, true, {600, 14, 800, 94}},       // bottom 6 above the other's top
        {{603, 13, 803, 93}, false, {603, 13, 803, 93}},
        {{394, 150, 494, 200}, true, {400, 150, 500, 200}},   // left edges aligned
        {{193, 150, 395, 200}, true, {198, 150, 400, 200}},   // against the other's left side
    };
    for (const Case& c : horizontal) {
        TRect window = c.window;
        EXPECT_EQ(SnapHorz(other, window), c.snaps);
        EXPECT_EQ(window, c.expected);
    }
    const Case vertical[] = {
        {{606, 303, 686, 503}, true, {606, 300, 686, 500}},  // left 6 right of the other's right
        {{607, 303, 687, 503}, false, {607, 303, 687, 503}},
        {{450, 296, 550, 350}, true, {450, 300, 550, 354}},  // against the other's bottom
        {{450, 40, 550, 95}, true, {450, 45, 550, 100}},     // against the other's top
    };
    for (const Case& c : vertical) {
        TRect window = c.window;
        EXPECT_EQ(SnapVert(other, window), c.snaps);
        EXPECT_EQ(window, c.expected);
    }
}

TEST(Snap, SizingCopiesBackOnlyTheDraggedEdges) {
    const SnapReferences references{kWorkArea, {}};
    const TRect proposed{3, 4, 1020, 745};  // every edge within reach of the work area's
    struct Case {
        int edge;
        TRect expected;
    } cases[] = {
        {1, {0, 4, 1020, 745}}, {2, {3, 4, 1024, 745}}, {3, {3, 0, 1020, 745}}, {4, {0, 0, 1020, 745}},
        {5, {3, 0, 1024, 745}}, {6, {3, 4, 1020, 748}}, {7, {0, 4, 1020, 748}}, {8, {3, 4, 1024, 748}},
        {0, proposed},          {9, proposed},
    };
    for (const Case& c : cases) {
        TRect r = proposed;
        SnapSizingRect(r, c.edge, references);
        EXPECT_EQ(r, c.expected) << "edge code " << c.edge;
    }
}

TEST(Snap, SizingAppliesEveryReferenceInTurn) {
    // The work area takes the left edge to 0; the later window's right edge at 2 takes it on to 2.
    TRect r{3, 100, 200, 180};
    SnapSizingRect(r, 1, {kWorkArea, {{{-300, 90, 2, 190}, true}, {{-300, 90, 5, 190}, false}}});
    EXPECT_EQ(r, (TRect{2, 100, 200, 180}));

    TRect edges{95, 195, 305, 405};
    SnapEdges({100, 200, 300, 400}, edges);
    EXPECT_EQ(edges, (TRect{100, 200, 300, 400})) << "each edge moves on its own, so the size changes";
}

}  // namespace
}  // namespace snap
}  // namespace vantor
