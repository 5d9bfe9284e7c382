#pragma once
// Points and rectangles in pixels, screen or client, as the portable code passes them around. The
// Win32 layer converts them at its edge (framework/win32/Convert.h).

#include <cstdint>

namespace vantor {

struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

// Right and bottom are exclusive: {0, 0, 10, 5} covers x 0..9 and y 0..4.
struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

}  // namespace vantor
