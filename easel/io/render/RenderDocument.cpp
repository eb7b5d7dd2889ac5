// Pictures of easel documents drawn with cairo straight from the model: each
// distinct path geometry is built once as a cairo path and drawn through the
// art's pending matrix, so copies sharing a geometry cost a transform each.
// Large documents are drawn in horizontal bands, one thread each, on the
// rows of one picture: a band is the picture moved by whole pixels, which
// cairo draws to the same pixels.
// Art, or the fill of a path, that opaque paint drawn later covers entirely
// in a band is not drawn there (RenderCover.h).
// Documents with art this drawing does not cover (text, images, symbols,
// meshes, warps, attributes kept from an imported SVG, gradients, clip paths,
// masks and filters) are drawn from their
// SVG by librsvg instead.
#include <cairo.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <system_error>
#include <thread>
#include <unordered_map>
#include <vector>

#include "Render.h"
#include "RenderCairo.h"
#include "RenderCover.h"
#include "io/svg/SvgColor.h"
#include "io/svg/SvgExport.h"

namespace easel {

namespace {

constexpr double kPixelsPerPoint = 96.0 / 72.0;  // the SVG's size is in points

bool samePoint(const AIRealPoint& a, const AIRealPoint& b) { return a.h == b.h && a.v == b.v; }

// Whether every visible art of the document is one this drawing covers.
bool drawable(const Art& a) {
    if (a.hidden()) return true;
    // Attributes, elements, patterns and spans kept from an SVG file.
    if (a.extra().find("\"svg") != std::string::npos) return false;
    // Gradient paint and kept clip paths, masks and filters are drawn from the SVG.
    const AIPathStyle& s = a.style();
    if (a.effectSpace() || (s.fillPaint && s.fill.color.kind == kGradientColor) ||
        (s.strokePaint && s.stroke.color.kind == kGradientColor))
        return false;
    switch (a.type()) {
        case kPathArt: return true;
        case kGroupArt:
        case kCompoundPathArt:
            for (const Art* c = a.firstChild(); c; c = c->next()) {
                if (!drawable(*c)) return false;
            }
            return true;
        default: return false;
    }
}

class Painter {
public:
    Painter(const Document& doc, cairo_t* cr) : doc_(doc), cr_(cr) {}
    ~Painter() {
        for (auto& [key, path] : paths_) cairo_path_destroy(path);
        if (scratch_) cairo_destroy(scratch_);
    }
    Painter(const Painter&) = delete;
    Painter& operator=(const Painter&) = delete;

    // `skipFill`: the art is a path whose fill does not show.
    void art(const Art& a, bool skipFill = false);

private:
    struct Key {
        const PathGeometry* geometry;
        bool closed;
        bool operator==(const Key&) const = default;
    };
    struct KeyHash {
        size_t operator()(const Key& k) const { return std::hash<const void*>()(k.geometry) * 2 + k.closed; }
    };

    // The path of an art's geometry in its own coordinates.
    cairo_path_t* buildPath(const Art& a);
    // Adds the art's path, through its pending matrix, to the current path.
    void appendPath(const Art& a);
    void paint(const AIPathStyle& s, bool skipFill = false);
    bool setColor(const AIColor& c) {
        const auto rgb = displayColor(c, &doc_);
        if (!rgb) return false;
        cairo_set_source_rgb(cr_, rgb->r / 255.0, rgb->g / 255.0, rgb->b / 255.0);
        return true;
    }

    const Document& doc_;
    cairo_t* cr_;
    std::unordered_map<Key, cairo_path_t*, KeyHash> paths_;  // of shared geometries
    cairo_t* scratch_ = nullptr;
};

cairo_path_t* Painter::buildPath(const Art& a) {
    if (!scratch_) {
        // Paths are built in their own coordinates, apart from the picture.
        cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 1, 1);
        scratch_ = cairo_create(s);
        cairo_surface_destroy(s);
    }
    const std::vector<AIPathSegment>& segs = a.sharedGeometry()->segments;
    cairo_t* cr = scratch_;
    cairo_new_path(cr);
    if (!segs.empty()) {
        cairo_move_to(cr, segs[0].p.h, segs[0].p.v);
        auto side = [&](const AIPathSegment& from, const AIPathSegment& to) {
            if (samePoint(from.out, from.p) && samePoint(to.in, to.p)) cairo_line_to(cr, to.p.h, to.p.v);
            else cairo_curve_to(cr, from.out.h, from.out.v, to.in.h, to.in.v, to.p.h, to.p.v);
        };
        for (size_t i = 1; i < segs.size(); ++i) side(segs[i - 1], segs[i]);
        if (a.closed()) {
            const AIPathSegment& last = segs.back();
            const AIPathSegment& first = segs.front();
            if (!(samePoint(last.out, last.p) && samePoint(first.in, first.p))) side(last, first);
            cairo_close_path(cr);
        }
    }
    return cairo_copy_path(cr);
}

void Painter::appendPath(const Art& a) {
    if (a.segmentCount() < 2 && !(a.segmentCount() == 1 && a.closed())) return;
    const AIRealMatrix& m = a.pendingMatrix();
    cairo_save(cr_);
    const cairo_matrix_t cm{m.a, m.b, m.c, m.d, m.tx, m.ty};
    cairo_transform(cr_, &cm);
    // A geometry of one art alone is built for it; a shared one once.
    if (a.sharedGeometry().use_count() < 2) {
        cairo_path_t* path = buildPath(a);
        cairo_append_path(cr_, path);
        cairo_path_destroy(path);
    } else {
        const Key key{a.sharedGeometry().get(), a.closed()};
        auto it = paths_.find(key);
        if (it == paths_.end()) it = paths_.emplace(key, buildPath(a)).first;
        cairo_append_path(cr_, it->second);
    }
    cairo_restore(cr_);  // the path stays, in device space
}

void Painter::paint(const AIPathStyle& s, bool skipFill) {
    if (!skipFill && s.fillPaint && setColor(s.fill.color)) {
        cairo_set_fill_rule(cr_, s.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_fill_preserve(cr_);
    }
    const AIStrokeStyle& k = s.stroke;
    if (s.strokePaint && k.width > 0 && setColor(k.color)) {
        cairo_set_line_width(cr_, k.width);
        cairo_set_line_cap(cr_, k.cap == kRoundCap        ? CAIRO_LINE_CAP_ROUND
                                : k.cap == kProjectingCap ? CAIRO_LINE_CAP_SQUARE
                                                          : CAIRO_LINE_CAP_BUTT);
        cairo_set_line_join(cr_, k.join == kRoundJoin   ? CAIRO_LINE_JOIN_ROUND
                                 : k.join == kBevelJoin ? CAIRO_LINE_JOIN_BEVEL
                                                        : CAIRO_LINE_JOIN_MITER);
        cairo_set_miter_limit(cr_, k.miterLimit);
        // A dash pattern that is negative or adds up to nothing draws solid.
        double dash[kMaxDashComponents];
        const int n = std::min(k.dashCount, kMaxDashComponents);
        double sum = 0;
        bool valid = n > 0;
        for (int i = 0; i < n; ++i) {
            dash[i] = k.dash[i];
            valid = valid && dash[i] >= 0;
            sum += dash[i];
        }
        cairo_set_dash(cr_, dash, valid && sum > 0 ? n : 0, k.dashOffset);
        cairo_stroke_preserve(cr_);
    }
    cairo_new_path(cr_);
}

// The blend modes in their CSS order.
cairo_operator_t blendOperator(int32_t mode) {
    static const cairo_operator_t kOps[16] = {
        CAIRO_OPERATOR_OVER,       CAIRO_OPERATOR_MULTIPLY,   CAIRO_OPERATOR_SCREEN,        CAIRO_OPERATOR_OVERLAY,
        CAIRO_OPERATOR_SOFT_LIGHT, CAIRO_OPERATOR_HARD_LIGHT, CAIRO_OPERATOR_COLOR_DODGE,   CAIRO_OPERATOR_COLOR_BURN,
        CAIRO_OPERATOR_DARKEN,     CAIRO_OPERATOR_LIGHTEN,    CAIRO_OPERATOR_DIFFERENCE,    CAIRO_OPERATOR_EXCLUSION,
        CAIRO_OPERATOR_HSL_HUE,    CAIRO_OPERATOR_HSL_SATURATION, CAIRO_OPERATOR_HSL_COLOR, CAIRO_OPERATOR_HSL_LUMINOSITY};
    return mode >= 0 && mode < 16 ? kOps[mode] : CAIRO_OPERATOR_OVER;
}

// A compound path of plain paths, drawn as one path.
bool onePath(const Art& a) {
    if (a.type() != kCompoundPathArt || !a.firstChild()) return false;
    for (const Art* c = a.firstChild(); c; c = c->next())
        if (c->type() != kPathArt || c->segmentCount() == 0) return false;
    return true;
}

void Painter::art(const Art& a, bool skipFill) {
    if (a.hidden()) return;
    const bool compound = onePath(a);
    // A compound path drawn as one path takes its drawn style (that of its
    // first member); anything else its own.
    const DrawnStyle drawn = compound ? drawnStyle(a) : DrawnStyle{a.style(), a.opacity(), a.blendMode()};
    // Opacity and blend mode act on the art drawn as a whole.
    const bool group = drawn.opacity != 1 || drawn.blend != 0;
    if (group) cairo_push_group(cr_);
    if (a.type() == kPathArt) {
        appendPath(a);
        paint(drawn.style, skipFill);
    } else if (compound) {
        for (const Art* c = a.firstChild(); c; c = c->next()) appendPath(*c);
        paint(drawn.style);
    } else if (const Art* clip = clippingPath(a)) {
        // The members below the clipping path, inside its fill region.
        cairo_save(cr_);
        cairo_new_path(cr_);
        if (clip->type() == kPathArt) appendPath(*clip);
        for (const Art* c = clip->firstChild(); c; c = c->next())
            if (c->type() == kPathArt) appendPath(*c);
        cairo_set_fill_rule(cr_, drawnStyle(*clip).style.evenOdd ? CAIRO_FILL_RULE_EVEN_ODD : CAIRO_FILL_RULE_WINDING);
        cairo_clip(cr_);
        for (const Art* c = a.firstChild(); c != clip; c = c->next()) art(*c);
        cairo_restore(cr_);
    } else {
        for (const Art* c = a.firstChild(); c; c = c->next()) art(*c);
    }
    if (group) {
        cairo_pop_group_to_source(cr_);
        cairo_set_operator(cr_, blendOperator(drawn.blend));
        cairo_paint_with_alpha(cr_, std::clamp(static_cast<double>(drawn.opacity), 0.0, 1.0));
        cairo_set_operator(cr_, CAIRO_OPERATOR_OVER);
    }
}

// Text larger than this many pixels is past what the font rasteriser draws
// (freetype fails, pango's sizes overflow): refused, never handed on.
constexpr double kMaxTextPixels = 30000;

// false with a message when visible text would be drawn past kMaxTextPixels
// at `pixelsPerPoint`; text art's size is its font size through its matrix.
bool textDrawable(const Document& doc, double pixelsPerPoint, std::string& error) {
    std::string refused;
    doc.forEachArt([&](Art* a) {
        const bool text = a->type() == kTextArt || a->type() == kTextPathArt;
        if (!refused.empty() || !text || a->hidden() || !a->layer() || !a->layer()->visible()) return;
        double scale = 1;
        if (a->type() == kTextArt) {
            const AIRealMatrix& m = a->objectMatrix();
            scale = std::max(std::hypot(double{m.a}, double{m.b}), std::hypot(double{m.c}, double{m.d}));
        }
        const double pixels = std::fabs(double{a->object().fontSize}) * scale * pixelsPerPoint;
        if (!(pixels <= kMaxTextPixels))
            refused = "text " + std::to_string(a->id()) + " would be drawn " + std::to_string(std::llround(std::min(pixels, 1e18))) +
                    " pixels high, past " + std::to_string(static_cast<int>(kMaxTextPixels)) +
                    " (the limit of text easel draws): draw the picture smaller or scale the text down";
    });
    if (refused.empty()) return true;
    error = refused;
    return false;
}

// The page fitted into a pw x ph picture (aspect kept, centred), vertical
// axis up, for the band of the picture whose first row is `top`.
struct PageFit {
    double pw, ph, pageW, pageH;
    void apply(cairo_t* cr, int top) const {
        if (top != 0) cairo_translate(cr, 0, -top);
        const double k = std::min(pw / pageW, ph / pageH);
        cairo_translate(cr, (pw - k * pageW) / 2, (ph - k * pageH) / 2);
        cairo_scale(cr, k, -k);
        cairo_translate(cr, 0, -pageH);
    }
};

// Bands to draw in: one per core (at most 4) for documents large enough that
// drawing outweighs starting threads, each at least 64 rows high.
int bandCount(size_t arts, int height) {
    constexpr size_t kArtPerBand = 4096;
    if (arts < kArtPerBand) return 1;
    const int cores = static_cast<int>(std::min(4u, std::max(1u, std::thread::hardware_concurrency())));
    return std::max(1, std::min({cores, height / 64, static_cast<int>(arts / kArtPerBand) + 1}));
}

// Draws the art that shows in the rows [top, top + height) of the picture,
// on `cr` whose first row is `top`.
void drawArt(const Document& doc, const std::vector<const Art*>& arts, const std::vector<ArtReach>& reach,
             cairo_t* cr, int width, int top, int height) {
    const BandCulls band = cullBand(reach, width, top, top + height);
    Painter painter(doc, cr);
    auto trim = band.trims.rbegin();  // listed from the top art down
    for (size_t i = 0; i < arts.size(); ++i) {
        const Cull cull = band.cull[i];
        if (cull == Cull::skip) continue;
        if (trim == band.trims.rend() || trim->art != i) {
            painter.art(*arts[i], cull == Cull::noFill);
            continue;
        }
        // Within whole pixels: the corners land on cairo's grid exactly.
        double x0 = trim->x0, y0 = trim->y0 - top, x1 = trim->x1, y1 = trim->y1 - top;
        ++trim;
        cairo_device_to_user(cr, &x0, &y0);
        cairo_device_to_user(cr, &x1, &y1);
        cairo_save(cr);
        cairo_rectangle(cr, x0, y0, x1 - x0, y1 - y0);
        cairo_clip(cr);
        painter.art(*arts[i], cull == Cull::noFill);
        cairo_restore(cr);
    }
}

// Draws the art onto `height` rows of the picture from row `top`, on a
// surface of their own over the same pixels.
cairo_status_t drawBand(const Document& doc, const std::vector<const Art*>& arts, const std::vector<ArtReach>& reach,
                        const PageFit& fit, cairo_surface_t* picture, int top, int height) {
    const int stride = cairo_image_surface_get_stride(picture);
    unsigned char* rows = cairo_image_surface_get_data(picture) + static_cast<ptrdiff_t>(top) * stride;
    cairo_surface_t* band = cairo_image_surface_create_for_data(rows, CAIRO_FORMAT_ARGB32,
                                                                cairo_image_surface_get_width(picture), height, stride);
    cairo_t* cr = cairo_create(band);
    fit.apply(cr, top);
    drawArt(doc, arts, reach, cr, cairo_image_surface_get_width(picture), top, height);
    const cairo_status_t st = cairo_status(cr);
    cairo_destroy(cr);
    cairo_surface_flush(band);
    cairo_surface_destroy(band);
    return st;
}

// Draws the art onto the picture `cr` draws on: in bands when it is large.
cairo_status_t drawBands(const Document& doc, const std::vector<const Art*>& arts, const std::vector<ArtReach>& reach,
                         const PageFit& fit, cairo_surface_t* picture, cairo_t* cr) {
    const int height = cairo_image_surface_get_height(picture);
    const int bands = bandCount(arts.size(), height);
    if (bands == 1) {
        drawArt(doc, arts, reach, cr, cairo_image_surface_get_width(picture), 0, height);
        return cairo_status(cr);
    }
    cairo_surface_flush(picture);
    std::vector<cairo_status_t> status(static_cast<size_t>(bands), CAIRO_STATUS_SUCCESS);
    auto band = [&](int b) {
        const int top = height * b / bands, bottom = height * (b + 1) / bands;
        status[static_cast<size_t>(b)] = drawBand(doc, arts, reach, fit, picture, top, bottom - top);
    };
    std::vector<std::thread> threads;
    for (int b = 1; b < bands; ++b) {
        try {
            threads.emplace_back(band, b);
        } catch (const std::system_error&) {
            band(b);  // no thread to be had: drawn here
        }
    }
    band(0);
    for (std::thread& t : threads) t.join();
    cairo_surface_mark_dirty(picture);
    for (const cairo_status_t st : status) {
        if (st != CAIRO_STATUS_SUCCESS) return st;
    }
    return cairo_status(cr);
}

}  // namespace

bool renderDocument(const Document& doc, const RenderSize& size, Image& out, std::string& error) {
    bool direct = doc.svgKept().empty();
    for (size_t i = 0; i < doc.layerCount() && direct; ++i) {
        const Layer* l = doc.layerFromBottom(i);
        if (!l->visible()) continue;
        for (const Art* a = l->firstArt(); a && direct; a = a->next()) direct = drawable(*a);
    }
    if (!direct) {
        const double pageW = double{doc.width()} * kPixelsPerPoint;
        const double scale = size.width > 0 ? size.width / pageW : size.scale > 0 ? size.scale : 1;
        if (!textDrawable(doc, scale * kPixelsPerPoint, error)) return false;
        return renderSvg(writeSvg(doc), size, out, error);
    }

    // The size the SVG of the document would be drawn at.
    const double pageW = doc.width(), pageH = doc.height();
    const double w = pageW * kPixelsPerPoint, h = pageH * kPixelsPerPoint;
    double s = 1;
    if (size.width > 0) s = size.width / w;
    else if (size.scale > 0) s = size.scale;
    const double pw = std::round(w * s), ph = std::round(h * s);
    if (!std::isfinite(s) || s <= 0 || !(pw >= 1 && ph >= 1 && pw <= kMaxRenderPixels && ph <= kMaxRenderPixels)) {
        error = "picture size " + std::to_string(pw) + " x " + std::to_string(ph) + " out of range (1 to " +
                std::to_string(kMaxRenderPixels) + " pixels a side)";
        return false;
    }
    const int iw = static_cast<int>(pw), ih = static_cast<int>(ph);
    // Drawn in the picture's own memory, which then takes its final form in
    // place: one copy of the pixels, not two, is held at any time.
    try {
        out.rgba.assign(static_cast<size_t>(iw) * static_cast<size_t>(ih) * 4, 0);
    } catch (const std::bad_alloc&) {
        out = Image{};
        error = "cannot make a picture of that size (out of memory)";
        return false;
    }
    cairo_surface_t* surface =
        cairo_image_surface_create_for_data(out.rgba.data(), CAIRO_FORMAT_ARGB32, iw, ih, iw * 4);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        out = Image{};
        error = "cannot make a picture of that size";
        return false;
    }
    const PageFit fit{pw, ph, pageW, pageH};
    cairo_t* cr = cairo_create(surface);
    fit.apply(cr, 0);
    std::vector<const Art*> arts;
    for (size_t i = 0; i < doc.layerCount(); ++i) {
        const Layer* l = doc.layerFromBottom(i);
        if (!l->visible()) continue;
        for (const Art* a = l->firstArt(); a; a = a->next()) arts.push_back(a);
    }
    cairo_matrix_t page;
    cairo_get_matrix(cr, &page);
    const std::vector<ArtReach> reach =
        artReach(arts, page, [&doc](const AIColor& c) { return displayColor(c, &doc).has_value(); });
    cairo_status_t st = drawBands(doc, arts, reach, fit, surface, cr);
    cairo_destroy(cr);
    if (st != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        out = Image{};
        error = std::string("cannot draw the document: ") + cairo_status_to_string(st);
        return false;
    }
    imageFromSurface(surface, out);
    cairo_surface_destroy(surface);
    return true;
}

}  // namespace easel
