#include "support/screen_icon.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

namespace {

using pixels = std::vector<std::uint32_t>;

// A 32-bit top-down bitmap of w x h pixels selected into a memory DC.
class C_pixel_canvas {
public:
    C_pixel_canvas(int width, int height) : width_(width), height_(height)
    {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits_, nullptr, 0);
        if (bitmap_) previous_ = SelectObject(dc_, bitmap_);
    }
    ~C_pixel_canvas()
    {
        // The bitmap must leave the DC before either is deleted.
        if (bitmap_) {
            SelectObject(dc_, previous_);
            DeleteObject(bitmap_);
        }
        DeleteDC(dc_);
    }
    C_pixel_canvas(const C_pixel_canvas&) = delete;
    C_pixel_canvas& operator=(const C_pixel_canvas&) = delete;

    bool ready() const { return dc_ && bitmap_; }
    HDC dc() const { return dc_; }
    void fill(std::uint32_t colour)
    {
        auto* p = static_cast<std::uint32_t*>(bits_);
        for (int i = 0; i < width_ * height_; ++i) p[i] = colour;
    }
    pixels read() const
    {
        GdiFlush();
        const auto* p = static_cast<const std::uint32_t*>(bits_);
        return pixels(p, p + width_ * height_);
    }

private:
    int width_;
    int height_;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ previous_ = nullptr;
    void* bits_ = nullptr;
};

// Mean difference per colour channel, 0 to 255.
double distance(const pixels& a, const pixels& b)
{
    if (a.size() != b.size() || a.empty()) return 255.0;
    double sum = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        for (int shift = 0; shift < 24; shift += 8) {
            sum += std::abs(static_cast<int>((a[i] >> shift) & 0xFF) - static_cast<int>((b[i] >> shift) & 0xFF));
        }
    }
    return sum / (static_cast<double>(a.size()) * 3);
}

pixels drawn_icon(LPCWSTR which, std::uint32_t background, int width, int height)
{
    C_pixel_canvas canvas(width, height);
    if (!canvas.ready()) return {};
    canvas.fill(background);
    DrawIconEx(canvas.dc(), 0, 0, LoadIconW(nullptr, which), width, height, 0, nullptr, DI_NORMAL);
    return canvas.read();
}

}  // namespace

const char* icon_name(box_icon icon)
{
    switch (icon) {
    case box_icon::none: return "none";
    case box_icon::information: return "information";
    case box_icon::warning: return "warning";
    case box_icon::error: return "error";
    case box_icon::question: return "question";
    case box_icon::unknown: break;
    }
    return "unknown";
}

box_icon icon_on_screen(HWND control)
{
    RECT area;
    if (!GetWindowRect(control, &area)) return box_icon::unknown;
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    if (width <= 0 || height <= 0) return box_icon::unknown;

    C_pixel_canvas shot(width, height);
    if (!shot.ready()) return box_icon::unknown;
    HDC screen = GetDC(nullptr);
    const BOOL copied = BitBlt(shot.dc(), 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
    ReleaseDC(nullptr, screen);
    if (!copied) return box_icon::unknown;
    const pixels seen = shot.read();

    // The standard icons leave their corners transparent: the corner shows the
    // background they were drawn over.
    const std::uint32_t background = seen[0];
    struct candidate {
        LPCWSTR resource;
        box_icon kind;
    };
    const candidate candidates[] = {{IDI_INFORMATION, box_icon::information},
                                    {IDI_WARNING, box_icon::warning},
                                    {IDI_ERROR, box_icon::error},
                                    {IDI_QUESTION, box_icon::question}};
    // Information and question differ by about 5 per channel on average, the
    // others by far more; the same icon matches exactly.
    const double tolerance = 1.0;
    for (const auto& c : candidates) {
        if (distance(seen, drawn_icon(c.resource, background, width, height)) < tolerance) return c.kind;
    }
    return box_icon::unknown;
}
