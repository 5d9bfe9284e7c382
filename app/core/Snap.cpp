#include "app/core/Snap.h"

namespace vantor::snap {
namespace {

// Distances and sums in 64 bits: a tracking position far off screen must not overflow.
bool Near(std::int64_t a, std::int64_t b, std::int32_t distance) { return (a > b ? a - b : b - a) <= distance; }

bool SideBySideVertically(const TRect& reference, const TRect& window, std::int32_t distance) {
    return !(std::int64_t{window.Bottom} + distance < reference.Top || std::int64_t{window.Top} - distance > reference.Bottom);
}

bool SideBySideHorizontally(const TRect& reference, const TRect& window, std::int32_t distance) {
    return !(std::int64_t{window.Right} + distance < reference.Left || std::int64_t{window.Left} - distance > reference.Right);
}

std::int32_t Add(std::int32_t a, std::int64_t b) { return static_cast<std::int32_t>(a + b); }

// The first of the four edge pairs that is within reach gives the shift: low edges aligned, high edges
// aligned, then the window against the reference's high side, then against its low side.
std::optional<std::int64_t> Shift(std::int32_t refLow, std::int32_t refHigh, std::int32_t low, std::int32_t high,
                                  std::int32_t distance) {
    if (Near(low, refLow, distance)) return std::int64_t{refLow} - low;
    if (Near(high, refHigh, distance)) return std::int64_t{refHigh} - high;
    if (Near(low, refHigh, distance)) return std::int64_t{refHigh} - low;
    if (Near(high, refLow, distance)) return std::int64_t{refLow} - high;
    return std::nullopt;
}

void SnapEdge(std::int32_t& edge, std::int32_t first, std::int32_t second, std::int32_t distance) {
    if (Near(edge, first, distance))
        edge = first;
    else if (Near(edge, second, distance))
        edge = second;
}

template <class Snap>
void SnapAlongOneAxis(TRect& window, const SnapReferences& references, Snap snap) {
    if (references.WorkArea && snap(*references.WorkArea, window, references.Distance)) return;
    for (const ReferenceWindow& other : references.Windows)
        if (other.Visible && snap(other.Bounds, window, references.Distance)) return;
}

}  // namespace

bool SnapHorz(const TRect& reference, TRect& window, std::int32_t distance) {
    if (!SideBySideVertically(reference, window, distance)) return false;
    const auto dx = Shift(reference.Left, reference.Right, window.Left, window.Right, distance);
    if (!dx) return false;
    window.Left = Add(window.Left, *dx);
    window.Right = Add(window.Right, *dx);
    return true;
}

bool SnapVert(const TRect& reference, TRect& window, std::int32_t distance) {
    if (!SideBySideHorizontally(reference, window, distance)) return false;
    const auto dy = Shift(reference.Top, reference.Bottom, window.Top, window.Bottom, distance);
    if (!dy) return false;
    window.Top = Add(window.Top, *dy);
    window.Bottom = Add(window.Bottom, *dy);
    return true;
}

void SnapMovingRect(TRect& window, const SnapReferences& references) {
    SnapAlongOneAxis(window, references, SnapHorz);
    SnapAlongOneAxis(window, references, SnapVert);
}

void SnapEdges(const TRect& reference, TRect& window, std::int32_t distance) {
    if (SideBySideVertically(reference, window, distance)) {
        SnapEdge(window.Left, reference.Left, reference.Right, distance);
        SnapEdge(window.Right, reference.Right, reference.Left, distance);
    }
    if (SideBySideHorizontally(reference, window, distance)) {
        SnapEdge(window.Top, reference.Top, reference.Bottom, distance);
        SnapEdge(window.Bottom, reference.Bottom, reference.Top, distance);
    }
}

void SnapSizingRect(TRect& proposed, int edge, const SnapReferences& references) {
    TRect snapped = proposed;
    if (references.WorkArea) SnapEdges(*references.WorkArea, snapped, references.Distance);
    // Every reference applies in turn; a later one may move an edge again.
    for (const ReferenceWindow& other : references.Windows)
        if (other.Visible) SnapEdges(other.Bounds, snapped, references.Distance);

    switch (static_cast<SizingEdge>(edge)) {
    case SizingEdge::Left: proposed.Left = snapped.Left; break;
    case SizingEdge::Right: proposed.Right = snapped.Right; break;
    case SizingEdge::Top: proposed.Top = snapped.Top; break;
    case SizingEdge::TopLeft: proposed.Top = snapped.Top; proposed.Left = snapped.Left; break;
    case SizingEdge::TopRight: proposed.Top = snapped.Top; proposed.Right = snapped.Right; break;
    case SizingEdge::Bottom: proposed.Bottom = snapped.Bottom; break;
    case SizingEdge::BottomLeft: proposed.Bottom = snapped.Bottom; proposed.Left = snapped.Left; break;
    case SizingEdge::BottomRight: proposed.Bottom = snapped.Bottom; proposed.Right = snapped.Right; break;
    default: break;
    }
}

void MoveTracking::EnterSizeMove(const TRect& window) { Unsnapped = Snapped = {window.Left, window.Top}; }

TRect MoveTracking::Moving(const TRect& proposed, const SnapReferences& references) {
    const std::int64_t width = std::int64_t{proposed.Right} - proposed.Left;
    const std::int64_t height = std::int64_t{proposed.Bottom} - proposed.Top;
    // The proposed position less the one last handed back is the mouse's latest motion.
    Unsnapped.X = Add(Unsnapped.X, std::int64_t{proposed.Left} - Snapped.X);
    Unsnapped.Y = Add(Unsnapped.Y, std::int64_t{proposed.Top} - Snapped.Y);
    TRect window{Unsnapped.X, Unsnapped.Y, Add(Unsnapped.X, width), Add(Unsnapped.Y, height)};
    SnapMovingRect(window, references);
    Snapped = {window.Left, window.Top};
    return window;
}

}  // namespace vantor::snap
