#pragma once
// Screen-edge snapping of the mini window while it is dragged (and, should a sizing request arrive, while
// it is sized): an edge that comes within SnapDistance of an edge of the work area or of another visible
// window of the program jumps onto it. The references are plain data, gathered by the caller for every
// message.

#include <cstdint>
#include <optional>
#include <vector>

#include "framework/Geometry.h"

namespace vantor::snap {

// At 96 dpi; a window snaps within the distance this has at its own density.
inline constexpr std::int32_t SnapDistance = 6;

struct ReferenceWindow {
    TRect Bounds;          // outer window rectangle
    bool Visible = false;  // the window's visible mark
};

struct SnapReferences {
    std::optional<TRect> WorkArea;         // none when the system could not tell it
    std::vector<ReferenceWindow> Windows;  // the program's other windows in list order, the moving one left out
    std::int32_t Distance = SnapDistance;  // in device pixels
};

// Shifts `window` horizontally onto an edge of `reference` when they lie side by side within `distance`
// vertically and an edge pair is within `distance`. True when it shifted.
bool SnapHorz(const TRect& reference, TRect& window, std::int32_t distance = SnapDistance);
// The same with the axes exchanged.
bool SnapVert(const TRect& reference, TRect& window, std::int32_t distance = SnapDistance);

// Shifts a moving window once horizontally and once vertically: the work area first, else the first
// visible window that snaps.
void SnapMovingRect(TRect& window, const SnapReferences& references);

// Moves each edge of `window` separately onto a near edge of `reference` (the size may change).
void SnapEdges(const TRect& reference, TRect& window, std::int32_t distance = SnapDistance);

// The edge being dragged, with the values of the WMSZ_ codes.
enum class SizingEdge : int { Left = 1, Right, Top, TopLeft, TopRight, Bottom, BottomLeft, BottomRight };

// Snaps a proposed sizing rectangle against every reference in turn and copies back only the edges
// that `edge` drags; an unknown code changes nothing.
void SnapSizingRect(TRect& proposed, int edge, const SnapReferences& references);

// The sticky move: an unsnapped tracking position follows the mouse exactly, the window is placed at
// the snapped one, so it stays on an edge until the mouse has gone more than the snap distance past it.
struct MoveTracking {
    TPoint Unsnapped;
    TPoint Snapped;

    // At the start of a move or size loop, from the window's current rectangle.
    void EnterSizeMove(const TRect& window);
    // The rectangle to hand back for a proposed one (the last handed-back one plus the mouse's motion).
    TRect Moving(const TRect& proposed, const SnapReferences& references);
};

}  // namespace vantor::snap
