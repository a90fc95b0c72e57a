#pragma once

#include <QRect>

// The window's stored layout, in twips (1/1440 inch; 15 twips make one pixel at 96 dpi).
namespace zandor::window::layout {

inline constexpr int twips_per_pixel = 15;

struct TwipRect {
    int left;
    int top;
    int width;
    int height;
};

// The client area: its position on the screen and its size.
inline constexpr TwipRect client_area{4920, 3510, 2010, 1875};

// The controls, relative to the client area.
inline constexpr TwipRect Text1{218, 480, 1575, 285};
inline constexpr TwipRect Command1{458, 1320, 1215, 375};
inline constexpr TwipRect Label3{578, 240, 765, 195};
inline constexpr TwipRect Label2{1373, 240, 420, 195};
inline constexpr TwipRect Label1{458, 960, 45, 195};

// A font size (device-independent pixels) at which the captions fit the stored widths.
inline constexpr int font_pixel_size = 10;

// Device-independent pixels; Qt's high-DPI scaling takes care of denser screens. Edges are
// rounded rather than sizes, so that edges that meet in twips meet in pixels.
constexpr int to_pixels(int twips) {
    return (twips + twips_per_pixel / 2) / twips_per_pixel;
}

constexpr QRect to_pixels(TwipRect r) {
    const int left = to_pixels(r.left);
    const int top = to_pixels(r.top);
    return QRect(left, top, to_pixels(r.left + r.width) - left, to_pixels(r.top + r.height) - top);
}

} // namespace zandor::window::layout
