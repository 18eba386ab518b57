#include "render/gradient.h"

#include <algorithm>
#include <cmath>

namespace kalvo {

namespace {

struct TRgb {
    float R, G, B;
};

TRgb Components(TColor color) {
    return {float(color & 0xFF), float((color >> 8) & 0xFF), float((color >> 16) & 0xFF)};
}

// Rounds to the nearest integer, ties to even (the default rounding mode), into a byte.
std::uint8_t Nearest(double value) {
    return std::uint8_t(std::clamp(std::nearbyint(value), 0.0, 255.0));
}

void PutPixel(std::uint8_t* row, int x, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
    row[3 * x] = b;
    row[3 * x + 1] = g;
    row[3 * x + 2] = r;
}

// The running colour of a step: 32-bit floats that take their increments, formed in extended
// precision, N times from Color1 on.
class TRamp {
public:
    TRamp(const GradientStep& step, int count) : value_(Components(step.Color1)) {
        const TRgb end = Components(step.Color2);
        dr_ = (double(end.R) - value_.R) / count;
        dg_ = (double(end.G) - value_.G) / count;
        db_ = (double(end.B) - value_.B) / count;
    }
    std::uint8_t B() const { return Nearest(value_.B); }
    std::uint8_t G() const { return Nearest(value_.G); }
    std::uint8_t R() const { return Nearest(value_.R); }
    void Next() {
        value_.R = float((long double)value_.R + dr_);
        value_.G = float((long double)value_.G + dg_);
        value_.B = float((long double)value_.B + db_);
    }

private:
    TRgb value_;
    double dr_ = 0, dg_ = 0, db_ = 0;
};

void PaintVertical(TBitmap& bitmap, const TRect& r, const TsGradArray& steps) {
    const int height = r.Bottom - r.Top;
    const int last_row = std::min(r.Bottom, bitmap.Height()) - 1;
    const int right = std::min(r.Right, bitmap.Width());
    int end = r.Top;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const int start = end;
        end = start + height * steps[i].Percent / 100;
        end = i + 1 == steps.size() ? last_row : std::min(end, last_row);
        if (end - start <= 0)
            continue;
        TRamp ramp(steps[i], end - start);
        for (int y = start; y <= end; ++y, ramp.Next()) {
            std::uint8_t* row = bitmap.ScanLine(y);
            for (int x = r.Left; x < right; ++x)
                PutPixel(row, x, ramp.B(), ramp.G(), ramp.R());
        }
    }
}

void PaintHorizontal(TBitmap& bitmap, const TRect& r, const TsGradArray& steps) {
    const double k = double(r.Right - r.Left) / 100;
    const int last_column = std::min(r.Right, bitmap.Width()) - 1;
    for (int y = r.Top; y < r.Bottom; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        int end = r.Left;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const int start = end;
            end = int(std::nearbyint(steps[i].Percent * k + start));
            end = i + 1 == steps.size() ? last_column : std::min(end, last_column);
            if (end - start <= 0)
                continue;
            TRamp ramp(steps[i], end - start);
            for (int x = start; x <= end; ++x, ramp.Next())
                PutPixel(row, x, ramp.B(), ramp.G(), ramp.R());
        }
    }
}

struct TVertex {
    double X, Y;
    TRgb Color;
};

// The four triangles between the corners and the centre, filled one after the other with
// colours interpolated linearly over each; a pixel takes the colour at its centre, from the
// last triangle that holds it.
void PaintTriangles(TBitmap& bitmap, const TRect& r, const TsGradArray& steps) {
    const int w = r.Right - r.Left, h = r.Bottom - r.Top;
    const double corners[5][2] = {{double(r.Left), double(r.Top)},
                                  {double(r.Left + w / 2), double(r.Top + h / 2)},
                                  {double(r.Right), double(r.Top)},
                                  {double(r.Right), double(r.Bottom)},
                                  {double(r.Left), double(r.Bottom)}};
    TVertex v[5];
    for (std::size_t i = 0; i < 5; ++i) {
        const TRgb color = i < steps.size() ? Components(steps[i].Color1) : v[i - 1].Color;
        v[i] = {corners[i][0], corners[i][1], color};
    }
    const int triangles[4][3] = {{0, 1, 2}, {1, 2, 3}, {0, 1, 4}, {4, 1, 3}};
    for (const auto& t : triangles) {
        const TVertex &a = v[t[0]], &b = v[t[1]], &c = v[t[2]];
        const double area = (b.X - a.X) * (c.Y - a.Y) - (c.X - a.X) * (b.Y - a.Y);
        if (area == 0)
            continue;
        const int x0 = std::max(r.Left, int(std::floor(std::min({a.X, b.X, c.X}))));
        const int x1 = std::min(r.Right, int(std::ceil(std::max({a.X, b.X, c.X}))));
        const int y0 = std::max(r.Top, int(std::floor(std::min({a.Y, b.Y, c.Y}))));
        const int y1 = std::min(r.Bottom, int(std::ceil(std::max({a.Y, b.Y, c.Y}))));
        for (int y = y0; y < y1; ++y) {
            std::uint8_t* row = bitmap.ScanLine(y);
            const double py = y + 0.5;
            for (int x = x0; x < x1; ++x) {
                const double px = x + 0.5;
                const double wa = ((b.X - px) * (c.Y - py) - (c.X - px) * (b.Y - py)) / area;
                const double wb = ((c.X - px) * (a.Y - py) - (a.X - px) * (c.Y - py)) / area;
                const double wc = 1 - wa - wb;
                constexpr double Edge = -1e-9;
                if (wa < Edge || wb < Edge || wc < Edge)
                    continue;
                PutPixel(row, x, Nearest(wa * a.Color.B + wb * b.Color.B + wc * c.Color.B),
                         Nearest(wa * a.Color.G + wb * b.Color.G + wc * c.Color.G),
                         Nearest(wa * a.Color.R + wb * b.Color.R + wc * c.Color.R));
            }
        }
    }
}

} // namespace

void PaintGradient(TBitmap& bitmap, const TRect& rect, const TsGradArray& steps) {
    if (bitmap.PixelFormat() != pf24bit || steps.empty())
        return;
    const TRect r{std::max(rect.Left, 0), std::max(rect.Top, 0),
                  std::min(rect.Right, bitmap.Width()), std::min(rect.Bottom, bitmap.Height())};
    if (r.Right <= r.Left || r.Bottom <= r.Top)
        return;
    switch (steps.front().Mode) {
    case 0:
        PaintVertical(bitmap, r, steps);
        break;
    case 1:
        PaintHorizontal(bitmap, r, steps);
        break;
    case 2:
        PaintTriangles(bitmap, r, steps);
        break;
    default:
        break;
    }
}

void BlendColorRect(TBitmap& bitmap, const TRect& rect, std::uint8_t keep_percent, TColor color) {
    if (bitmap.PixelFormat() != pf24bit)
        return;
    const double keep = keep_percent / 100.0;
    const double mix = 1 - keep;
    const TRgb c = Components(ColorToRGB(color));
    const int right = std::min(rect.Right, bitmap.Width() - 1);
    const int bottom = std::min(rect.Bottom, bitmap.Height() - 1);
    for (int y = std::max(rect.Top, 0); y <= bottom; ++y) {
        std::uint8_t* row = bitmap.ScanLine(y);
        for (int x = std::max(rect.Left, 0); x <= right; ++x) {
            std::uint8_t* pixel = row + 3 * x;
            pixel[0] = Nearest(keep * pixel[0] + mix * c.B);
            pixel[1] = Nearest(keep * pixel[1] + mix * c.G);
            pixel[2] = Nearest(keep * pixel[2] + mix * c.R);
        }
    }
}

} // namespace kalvo
