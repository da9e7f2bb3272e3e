#pragma once
#include <vector>

// Plain points and rectangles for the framework's placement arithmetic, free of
// the platform so that the arithmetic builds natively and can be fuzzed.
// Rectangles are (left, top, right, bottom) in pixels, right and bottom exclusive.

namespace NT3 {

struct C_point {
    int x = 0;
    int y = 0;
};

struct C_rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
};

bool operator==(const C_rect& a, const C_rect& b);
bool operator!=(const C_rect& a, const C_rect& b);

inline int width_of(const C_rect& r) { return r.right - r.left; }
inline int height_of(const C_rect& r) { return r.bottom - r.top; }

// The centre, each half truncated toward zero.
C_point centre_of(const C_rect& r);

// The union of the rectangles, starting from the first; all zero when there are none.
C_rect bounds_of(const std::vector<C_rect>& rects);

// a × b / c through 64 bits, rounded to the nearest with halves away from zero;
// -1 when c is 0 or the result does not fit. The same answers as the platform's MulDiv.
int mul_div(int a, int b, int c);

}  // namespace NT3
