// The tool icons and the cursor, drawn on a 32 x 32 grid of palette indexes.
#include "ResourceWriter.h"

#include <cmath>
#include <cstdlib>
#include <utility>

namespace resources {

namespace {

class Canvas {
public:
    void Set(int x, int y, Colour c) {
        if (x < 0 || y < 0 || x > 31 || y > 31) return;
        image_.pixel[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)] = c;
    }
    void Fill(int x0, int y0, int x1, int y1, Colour c) {
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) Set(x, y, c);
    }
    void Frame(int x0, int y0, int x1, int y1, Colour c) {
        for (int x = x0; x <= x1; ++x) {
            Set(x, y0, c);
            Set(x, y1, c);
        }
        for (int y = y0; y <= y1; ++y) {
            Set(x0, y, c);
            Set(x1, y, c);
        }
    }
    void Line(int x0, int y0, int x1, int y1, Colour c) {
        const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
        const int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
        int err = dx + dy;
        for (;;) {
            Set(x0, y0, c);
            if (x0 == x1 && y0 == y1) break;
            const int e2 = 2 * err;
            if (e2 >= dy) {
                err += dy;
                x0 += sx;
            }
            if (e2 <= dx) {
                err += dx;
                y0 += sy;
            }
        }
    }
    void Disc(double cx, double cy, double r, Colour c) {
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x)
                if ((x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r) Set(x, y, c);
    }
    void Ring(double cx, double cy, double r, Colour c) {
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const double d = std::sqrt((x - cx) * (x - cx) + (y - cy) * (y - cy));
                if (std::fabs(d - r) < 0.6) Set(x, y, c);
            }
    }
    // A filled triangle, pixel centres inside all three edges.
    void Triangle(double ax, double ay, double bx, double by, double cx, double cy, Colour c) {
        auto edge = [](double px, double py, double qx, double qy, double x, double y) {
            return (qx - px) * (y - py) - (qy - py) * (x - px);
        };
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                const double e0 = edge(ax, ay, bx, by, x, y), e1 = edge(bx, by, cx, cy, x, y),
                             e2 = edge(cx, cy, ax, ay, x, y);
                if ((e0 >= 0 && e1 >= 0 && e2 >= 0) || (e0 <= 0 && e1 <= 0 && e2 <= 0)) Set(x, y, c);
            }
    }
    const Image& image() const { return image_; }

private:
    Image image_;
};

// A small fixed generator, so every build draws the same scatter.
class Scatter {
public:
    explicit Scatter(unsigned seed) : state_(seed) {}
    int Next(int below) {
        state_ = state_ * 1103515245u + 12345u;
        return static_cast<int>((state_ >> 16) % static_cast<unsigned>(below));
    }

private:
    unsigned state_;
};

constexpr double kPi = 3.14159265358979323846;

Image RowsColumns() {
    Canvas c;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const int x = 2 + col * 7, y = 2 + row * 7;
            c.Fill(x, y, x + 5, y + 5, row == 0 && col == 0 ? kRed : kBlue);
            c.Frame(x, y, x + 5, y + 5, kNavy);
        }
    return c.image();
}

Image Drag() {
    Canvas c;
    c.Line(3, 27, 28, 4, kGrey);
    for (int k = 0; k < 5; ++k) {
        const double x = 4 + k * 6, y = 27 - k * 5.5;
        c.Disc(x, y, 3.2, k == 0 ? kRed : kMaroon);
    }
    return c.image();
}

Image SoftCenter() {
    Canvas c;
    const int focusX = 29, focusY = 16;
    for (int row = 0; row < 5; ++row) {
        const int startY = 2 + row * 7;
        c.Line(2, startY, focusX, focusY, kSilver);
        for (int k = 0; k < 4; ++k) {
            const double t = k / 4.0;
            const double x = 2 + (focusX - 2) * t, y = startY + (focusY - startY) * t;
            c.Disc(x, y, 2.2 - 0.4 * k, kTeal);
        }
    }
    c.Disc(focusX, focusY, 1.5, kRed);
    return c.image();
}

Image Framed() {
    Canvas c;
    for (int k = 0; k < 5; ++k) {
        const int p = 1 + k * 6;
        c.Fill(p, 1, p + 4, 5, kGreen);
        c.Fill(p, 26, p + 4, 30, kGreen);
        c.Fill(1, p, 5, p + 4, kGreen);
        c.Fill(26, p, 30, p + 4, kGreen);
    }
    c.Frame(8, 8, 23, 23, kOlive);
    return c.image();
}

Image RimRandom() {
    Canvas c;
    Scatter random(7);
    for (int k = 0; k < 26; ++k) {
        const double angle = random.Next(360) * kPi / 180.0;
        const double radius = 6 + random.Next(9);
        const double x = 16 + radius * std::cos(angle), y = 16 + radius * std::sin(angle);
        const Colour colours[] = {kPurple, kFuchsia, kBlue, kTeal};
        c.Disc(x, y, 1.0 + random.Next(2), colours[random.Next(4)]);
    }
    return c.image();
}

Image Windmill() {
    Canvas c;
    for (int k = 0; k < 6; ++k) {
        const double a = k * kPi / 3.0, b = a + kPi / 7.0;
        c.Triangle(16, 16, 16 + 15 * std::cos(a), 16 + 15 * std::sin(a), 16 + 12 * std::cos(b),
                   16 + 12 * std::sin(b), k % 2 == 0 ? kBlue : kAqua);
    }
    c.Disc(16, 16, 2, kRed);
    return c.image();
}

Image Scaledown() {
    Canvas c;
    int x = 1, y = 17, size = 14;
    const Colour colours[] = {kNavy, kBlue, kTeal, kAqua, kSilver};
    for (int k = 0; k < 5 && size > 1; ++k) {
        c.Fill(x, y, x + size - 1, y + size - 1, colours[k]);
        x += size;
        size = size * 2 / 3;
        y -= size + 1;
    }
    return c.image();
}

Image Bouncealong() {
    Canvas c;
    const double radii[] = {4.5, 3.2, 2.2, 3.2, 4.5};
    const double xs[] = {5, 12, 17.5, 23, 28};
    for (int k = 0; k < 5; ++k) {
        const double lift = std::sin((k % 5) * kPi / 4.0) * 12.0;
        c.Disc(xs[k], 26 - radii[k] - lift, radii[k], k % 2 == 0 ? kRed : kYellow);
        c.Ring(xs[k], 26 - radii[k] - lift, radii[k], kMaroon);
    }
    c.Line(0, 30, 31, 30, kGrey);
    return c.image();
}

Image Spiraled() {
    Canvas c;
    for (double t = 0.0; t < 4.2 * kPi; t += 0.05) {
        const double r = 1.0 + 1.05 * t;
        c.Set(static_cast<int>(std::lround(16 + r * std::cos(t))), static_cast<int>(std::lround(16 + r * std::sin(t))),
              kGreen);
    }
    for (int k = 0; k < 7; ++k) {
        const double t = 1.5 + k * 1.8;
        const double r = 1.0 + 1.05 * t;
        c.Disc(16 + r * std::cos(t), 16 + r * std::sin(t), 1.0 + k * 0.25, kLime);
    }
    return c.image();
}

Image Checkerboard() {
    Canvas c;
    for (int row = 0; row < 4; ++row)
        for (int col = 0; col < 4; ++col) {
            const int x = col * 8, y = row * 8;
            c.Fill(x, y, x + 7, y + 7, (row + col) % 2 == 0 ? kNavy : kWhite);
        }
    c.Frame(0, 0, 31, 31, kGrey);
    return c.image();
}

Image Paint() {
    Canvas c;
    // The nozzle at the bottom left and a cone of spray towards the top right.
    c.Fill(1, 25, 6, 30, kGrey);
    c.Fill(5, 23, 8, 26, kSilver);
    Scatter random(3);
    for (int k = 0; k < 90; ++k) {
        const double along = 4 + random.Next(24);
        const double across = (random.Next(100) - 50) / 100.0 * along * 0.8;
        const double x = 8 + along * 0.7071 + across * 0.7071, y = 23 - along * 0.7071 + across * 0.7071;
        c.Set(static_cast<int>(x), static_cast<int>(y), random.Next(3) == 0 ? kFuchsia : kPurple);
    }
    return c.image();
}

Image Tile() {
    Canvas c;
    // One motif in the top-left quarter, mirrored into the other three.
    Canvas motif;
    motif.Triangle(1, 1, 14, 1, 1, 14, kOlive);
    motif.Disc(10, 10, 3, kRed);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) {
            const auto colour = static_cast<Colour>(motif.image().pixel[static_cast<std::size_t>(y)][static_cast<std::size_t>(x)]);
            if (colour == kClear) continue;
            c.Set(x, y, colour);
            c.Set(31 - x, y, colour);
            c.Set(x, 31 - y, colour);
            c.Set(31 - x, 31 - y, colour);
        }
    c.Line(16, 0, 16, 31, kSilver);
    c.Line(0, 16, 31, 16, kSilver);
    return c.image();
}

Image Background() {
    Canvas c;
    c.Fill(1, 1, 30, 30, kTeal);
    Scatter random(11);
    for (int k = 0; k < 14; ++k) {
        const int x = 3 + random.Next(26), y = 3 + random.Next(26);
        c.Disc(x, y, 1.0 + random.Next(2), random.Next(2) == 0 ? kYellow : kWhite);
    }
    c.Frame(0, 0, 31, 31, kNavy);
    return c.image();
}

} // namespace

Image BrivaneToolIcon(int toolIndex) {
    switch (toolIndex) {
    case 0: return RowsColumns();
    case 1: return Drag();
    case 2: return SoftCenter();
    case 3: return Framed();
    case 4: return RimRandom();
    case 5: return Windmill();
    case 6: return Scaledown();
    case 7: return Bouncealong();
    case 8: return Spiraled();
    case 9: return Checkerboard();
    case 10: return Paint();
    case 11: return Tile();
    default: return Background();
    }
}

Image KestovaToolIcon() {
    Canvas c;
    // A cubic curve from (3, 26) to (28, 22) with its two handles.
    const double p0x = 3, p0y = 26, c0x = 9, c0y = 2, c1x = 22, c1y = 4, p1x = 28, p1y = 22;
    c.Line(3, 26, 9, 2, kGrey);
    c.Line(28, 22, 22, 4, kGrey);
    for (double t = 0.0; t <= 1.0; t += 0.01) {
        const double u = 1.0 - t;
        const double x = u * u * u * p0x + 3 * u * u * t * c0x + 3 * u * t * t * c1x + t * t * t * p1x;
        const double y = u * u * u * p0y + 3 * u * u * t * c0y + 3 * u * t * t * c1y + t * t * t * p1y;
        c.Set(static_cast<int>(std::lround(x)), static_cast<int>(std::lround(y)), kNavy);
    }
    c.Fill(2, 25, 4, 27, kBlue);
    c.Fill(27, 21, 29, 23, kBlue);
    c.Disc(9, 2, 1.5, kRed);
    c.Disc(22, 4, 1.5, kRed);
    return c.image();
}

Image ToolCursor() {
    // A crosshair centred on the hot spot (16, 15): black lines with a white rim.
    Canvas c;
    c.Fill(5, 14, 27, 16, static_cast<Colour>(2));
    c.Fill(15, 4, 17, 26, static_cast<Colour>(2));
    c.Line(6, 15, 26, 15, static_cast<Colour>(1));
    c.Line(16, 5, 16, 25, static_cast<Colour>(1));
    c.Fill(15, 14, 17, 16, kClear);
    c.Set(16, 15, static_cast<Colour>(1));
    return c.image();
}

} // namespace resources
