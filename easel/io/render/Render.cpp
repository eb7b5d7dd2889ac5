#include "Render.h"
#include "RenderCairo.h"
#include "Rsvg.h"

#include <cairo.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <memory>
#include <system_error>
#include <thread>
#include <sys/stat.h>
#include <unistd.h>

namespace easel {

void imageFromSurface(cairo_surface_t* surface, Image& out) {
    const int width = cairo_image_surface_get_width(surface);
    const int height = cairo_image_surface_get_height(surface);
    cairo_surface_flush(surface);
    out.width = width;
    out.height = height;
    out.rgba.resize(static_cast<size_t>(width) * static_cast<size_t>(height) * 4);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    auto rows = [&](int from, int to) {
        for (int y = from; y < to; ++y) {
            const unsigned char* row = data + static_cast<ptrdiff_t>(y) * stride;
            uint8_t* o = &out.rgba[static_cast<size_t>(y) * static_cast<size_t>(width) * 4];
            for (int x = 0; x < width; ++x, o += 4) {
                // Read as bytes may be (the row may be the one written).
                uint32_t p;
                std::memcpy(&p, row + static_cast<ptrdiff_t>(x) * 4, sizeof p);
                const unsigned a = p >> 24;
                unsigned r = (p >> 16) & 255u, g = (p >> 8) & 255u, b = p & 255u;
                if (a != 0 && a != 255) {
                    r = (r * 255u + a / 2) / a;
                    g = (g * 255u + a / 2) / a;
                    b = (b * 255u + a / 2) / a;
                }
                o[0] = static_cast<uint8_t>(std::min(r, 255u));
                o[1] = static_cast<uint8_t>(std::min(g, 255u));
                o[2] = static_cast<uint8_t>(std::min(b, 255u));
                o[3] = static_cast<uint8_t>(a);
            }
        }
    };
    // A large picture in two halves, the second on a thread of its own.
    constexpr long kPixelsPerThread = 1L << 18;
    const int half = static_cast<long>(width) * height >= 2 * kPixelsPerThread ? height / 2 : height;
    std::thread second;
    if (half < height) {
        try {
            second = std::thread(rows, half, height);
        } catch (const std::system_error&) {
            rows(half, height);  // no thread to be had: done here
        }
    }
    rows(0, half);
    if (second.joinable()) second.join();
}

namespace {

RsvgHandle* load(const std::string& svg, std::string& error) {
    const Rsvg* lib = rsvg(error);
    if (!lib) return nullptr;
    GError* err = nullptr;
    // No base file: references to other files are not followed.
    RsvgHandle* h = lib->newFromData(reinterpret_cast<const guint8*>(svg.data()), svg.size(), &err);
    if (!h) {
        error = std::string("librsvg cannot read the SVG: ") + (err && err->message ? err->message : "unknown error");
        if (err) lib->errorFree(err);
        return nullptr;
    }
    lib->setDpi(h, 96);  // CSS units: 96 pixels an inch, 72 points
    return h;
}

// Only for handles load() gave: the library is loaded.
const Rsvg& library() {
    std::string unused;
    return *rsvg(unused);
}

bool intrinsicSize(RsvgHandle* h, double& w, double& hgt) {
    gboolean ok = library().intrinsicSize(h, &w, &hgt);
    if (!ok) {
        RsvgRectangle ink{}, logical{};
        if (!library().geometryForElement(h, nullptr, &ink, &logical, nullptr)) return false;
        w = logical.width;
        hgt = logical.height;
    }
    return w > 0 && hgt > 0 && std::isfinite(w) && std::isfinite(hgt);
}

bool draw(RsvgHandle* h, int width, int height, const RsvgRectangle& viewport, Image& out, std::string& error) {
    if (width <= 0 || height <= 0 || width > kMaxRenderPixels || height > kMaxRenderPixels) {
        error = "picture size " + std::to_string(width) + " x " + std::to_string(height) + " out of range (1 to " +
                std::to_string(kMaxRenderPixels) + " pixels a side)";
        return false;
    }
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        error = "cannot make a picture of that size";
        return false;
    }
    cairo_t* cr = cairo_create(surface);
    GError* err = nullptr;
    const gboolean ok = library().renderDocument(h, cr, &viewport, &err);
    cairo_destroy(cr);
    if (!ok) {
        error = std::string("librsvg cannot draw the SVG: ") + (err && err->message ? err->message : "unknown error");
        if (err) library().errorFree(err);
        cairo_surface_destroy(surface);
        return false;
    }
    imageFromSurface(surface, out);
    cairo_surface_destroy(surface);
    return true;
}

}  // namespace

RsvgHandle* loadSvgHandle(const std::string& svg, std::string& error) { return load(svg, error); }

bool renderSvg(const std::string& svg, const RenderSize& size, Image& out, std::string& error) {
    RsvgHandle* h = load(svg, error);
    if (!h) return false;
    std::unique_ptr<RsvgHandle, RsvgHandleDeleter> hold(h);
    double w = 0, hgt = 0;
    if (!intrinsicSize(h, w, hgt)) {
        error = "the SVG has no size to draw it at";
        return false;
    }
    double s = 1;
    if (size.width > 0) s = size.width / w;
    else if (size.scale > 0) s = size.scale;
    if (!std::isfinite(s) || s <= 0) {
        error = "scale out of range";
        return false;
    }
    const double pw = std::round(w * s), ph = std::round(hgt * s);
    if (!(pw >= 1 && ph >= 1 && pw <= kMaxRenderPixels && ph <= kMaxRenderPixels)) {
        error = "picture size " + std::to_string(pw) + " x " + std::to_string(ph) + " out of range (1 to " +
                std::to_string(kMaxRenderPixels) + " pixels a side)";
        return false;
    }
    const int iw = static_cast<int>(pw), ih = static_cast<int>(ph);
    return draw(h, iw, ih, RsvgRectangle{0, 0, static_cast<double>(iw), static_cast<double>(ih)}, out, error);
}

bool renderSvgFitted(const std::string& svg, int width, int height, Image& out, std::string& error) {
    RsvgHandle* h = load(svg, error);
    if (!h) return false;
    std::unique_ptr<RsvgHandle, RsvgHandleDeleter> hold(h);
    return draw(h, width, height, RsvgRectangle{0, 0, static_cast<double>(width), static_cast<double>(height)}, out,
                error);
}

}  // namespace easel
