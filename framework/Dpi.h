#pragma once
// Lengths of the layout are design units at 96 pixels per inch; these put them on a display of any
// density. Rectangles are scaled by their edges, never by their sizes, so two things that touch at 96 dpi
// still touch (and one that ends where another starts does not overlap it) at every scale.

#include <algorithm>
#include <cstdint>

#include "framework/Geometry.h"

namespace vantor {

inline constexpr int kDesignDpi = 96;

// A coordinate or length at `dpi`: the nearest device pixel, halves upwards.
constexpr std::int32_t ScaleToDpi(std::int32_t design, int dpi) {
    const std::int64_t scaled = std::int64_t{design} * dpi + kDesignDpi / 2;
    // Floor division, so that negative coordinates round the same way as positive ones.
    return static_cast<std::int32_t>(scaled >= 0 ? scaled / kDesignDpi : -((-scaled + kDesignDpi - 1) / kDesignDpi));
}

constexpr TPoint ScaleToDpi(TPoint design, int dpi) { return {ScaleToDpi(design.X, dpi), ScaleToDpi(design.Y, dpi)}; }

constexpr TRect ScaleToDpi(const TRect& design, int dpi) {
    return {ScaleToDpi(design.Left, dpi), ScaleToDpi(design.Top, dpi), ScaleToDpi(design.Right, dpi),
            ScaleToDpi(design.Bottom, dpi)};
}

// A font height as LOGFONT holds it (negative: the character height) keeps its sign; its size scales to the
// nearest pixel with halves downwards, so that a text never outgrows the lengths laid out around it.
constexpr std::int32_t ScaleFontHeight(std::int32_t design, int dpi) {
    const std::int64_t size = (design < 0 ? -std::int64_t{design} : design) * dpi;
    const auto scaled = static_cast<std::int32_t>((size + kDesignDpi / 2 - 1) / kDesignDpi);
    return design < 0 ? -scaled : scaled;
}

// How many device pixels a one-pixel stroke of pixel art takes: whole multiples only, so that every
// stroke of a picture is equally thick.
constexpr int WholePixelScale(int dpi) { return std::max(1, dpi / kDesignDpi); }

}  // namespace vantor
