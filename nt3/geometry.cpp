#include "nt3/geometry.h"

#include <algorithm>
#include <cstdint>

namespace NT3 {

bool operator==(const C_rect& a, const C_rect& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

bool operator!=(const C_rect& a, const C_rect& b)
{
    return !(a == b);
}

C_point centre_of(const C_rect& r)
{
    return C_point{r.left + width_of(r) / 2, r.top + height_of(r) / 2};
}

C_rect bounds_of(const std::vector<C_rect>& rects)
{
    if (rects.empty()) return C_rect{};
    C_rect bounds = rects.front();
    for (const C_rect& r : rects) {
        bounds.left = std::min(bounds.left, r.left);
        bounds.top = std::min(bounds.top, r.top);
        bounds.right = std::max(bounds.right, r.right);
        bounds.bottom = std::max(bounds.bottom, r.bottom);
    }
    return bounds;
}

int mul_div(int a, int b, int c)
{
    if (c == 0) return -1;
    std::int64_t product = static_cast<std::int64_t>(a) * b;
    std::int64_t divisor = c;
    if (divisor < 0) {
        product = -product;
        divisor = -divisor;
    }
    // Half the divisor away from zero, so that the truncating division rounds.
    const std::int64_t half = divisor / 2;
    const std::int64_t result = (product >= 0 ? product + half : product - half) / divisor;
    if (result > 2147483647 || result < -2147483647) return -1;
    return static_cast<int>(result);
}

}  // namespace NT3
