// Draws examples/warp-contact-sheet.png: the fifteen warp styles (rows) at
// bends -1, -0.5, 0.5 and 1 (columns), each applied to a grid of squares and
// to a line of text, every one wrapped in an envelope of an easel document.
// The pictures come from the warped geometry easel computes (WarpedGeometry);
// text is drawn from its glyph outlines, warped like any other contour.
//
//   warp_contact_sheet [OUTPUT.png]
#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "model/Document.h"
#include "model/Warp.h"

using namespace easel;

namespace {

const char* const kStyleNames[16] = {"none",        "Arc",         "Arc Lower", "Arc Upper", "Arch", "Bulge",
                                     "Shell Lower", "Shell Upper", "Flag",      "Wave",      "Fish", "Rise",
                                     "Fisheye",     "Inflate",     "Squeeze",   "Twist"};
const float kBends[4] = {-1.0f, -0.5f, 0.5f, 1.0f};

constexpr double kScale = 1.0;  // pixels per point
constexpr double kLabelWidth = 110;
constexpr double kHeaderHeight = 40;
constexpr double kCellWidth = 300;
constexpr double kCellHeight = 170;
constexpr double kPageWidth = kLabelWidth + 4 * kCellWidth;
constexpr double kPageHeight = kHeaderHeight + 15 * kCellHeight;
const char* const kText = "Warp 123";
constexpr float kFontSize = 30;

// Glyph outlines of a line of text, in the text's own coordinates (baseline
// at the origin, vertical axis up), as closed contours, scaled across so the
// line's advance fills `width` (the box the model gives the text).
std::vector<std::vector<AIPathSegment>> glyphOutlines(cairo_t* cr, const char* text, double size, double width) {
    std::vector<std::vector<AIPathSegment>> contours;
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_new_path(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_BOLD);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text, &extents);
    const double across = extents.x_advance > 0 ? width / extents.x_advance : 1;
    cairo_move_to(cr, 0, 0);
    cairo_text_path(cr, text);
    cairo_path_t* path = cairo_copy_path(cr);
    cairo_new_path(cr);
    cairo_restore(cr);
    auto pt = [across](double x, double y) {
        return AIRealPoint{static_cast<float>(x * across), static_cast<float>(-y)};
    };
    std::vector<AIPathSegment> cur;
    auto finish = [&]() {
        if (cur.size() > 1) {
            const AIPathSegment& f = cur.front();
            const AIPathSegment& l = cur.back();
            if (f.p.h == l.p.h && f.p.v == l.p.v) {
                cur.front().in = l.in;
                cur.pop_back();
            }
            contours.push_back(cur);
        }
        cur.clear();
    };
    for (int i = 0; i < path->num_data; i += path->data[i].header.length) {
        const cairo_path_data_t* d = &path->data[i];
        switch (d->header.type) {
            case CAIRO_PATH_MOVE_TO: {
                finish();
                const AIRealPoint p = pt(d[1].point.x, d[1].point.y);
                cur.push_back(AIPathSegment{p, p, p, 1});
                break;
            }
            case CAIRO_PATH_LINE_TO: {
                const AIRealPoint p = pt(d[1].point.x, d[1].point.y);
                cur.push_back(AIPathSegment{p, p, p, 1});
                break;
            }
            case CAIRO_PATH_CURVE_TO: {
                if (cur.empty()) break;
                cur.back().out = pt(d[1].point.x, d[1].point.y);
                const AIRealPoint p = pt(d[3].point.x, d[3].point.y);
                cur.push_back(AIPathSegment{p, pt(d[2].point.x, d[2].point.y), p, 0});
                break;
            }
            case CAIRO_PATH_CLOSE_PATH:
                finish();
                break;
        }
    }
    finish();
    cairo_path_destroy(path);
    return contours;
}

void tracePath(cairo_t* cr, const std::vector<AIPathSegment>& s, bool closed) {
    if (s.empty()) return;
    cairo_move_to(cr, s[0].p.h, s[0].p.v);
    const size_t n = s.size();
    const size_t curves = closed ? n : n - 1;
    for (size_t i = 0; i < curves; ++i) {
        const AIPathSegment& a = s[i];
        const AIPathSegment& b = s[(i + 1) % n];
        cairo_curve_to(cr, a.out.h, a.out.v, b.in.h, b.in.v, b.p.h, b.p.v);
    }
    if (closed) cairo_close_path(cr);
}

void label(cairo_t* cr, double x, double y, const std::string& text, double size) {
    // Labels are drawn in device space (vertical axis down).
    cairo_save(cr);
    cairo_identity_matrix(cr);
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_set_source_rgb(cr, 0.1, 0.1, 0.1);
    cairo_move_to(cr, x * kScale, y * kScale);
    cairo_show_text(cr, text.c_str());
    cairo_restore(cr);
}

struct Cell {
    Art* squares = nullptr;  // envelope of the grid of squares
    Art* text = nullptr;     // envelope of the line of text
    AIRealRect gridBox{};
    AIRealRect textBox{};
};

}  // namespace

int main(int argc, char** argv) {
    const std::string output = argc > 1 ? argv[1] : "warp-contact-sheet.png";
    auto doc = newDocument(static_cast<float>(kPageWidth), static_cast<float>(kPageHeight));

    // Build the document: per cell a 6 x 2 grid of 16-point squares and a
    // line of text, each wrapped in an envelope and warped.
    std::vector<Cell> cells;
    for (int style = 1; style <= 15; ++style) {
        for (int col = 0; col < 4; ++col) {
            const double left = kLabelWidth + col * kCellWidth + 40;
            const double top = kPageHeight - kHeaderHeight - (style - 1) * kCellHeight - 35;
            Cell cell;
            std::vector<Art*> squares;
            for (int r = 0; r < 2; ++r) {
                for (int c = 0; c < 6; ++c) {
                    const auto l = static_cast<float>(left + 10 + c * 24);
                    const auto b = static_cast<float>(top - 16 - r * 24);
                    Art* sq = nullptr;
                    if (doc->newRect(b + 16, l, b, l + 16, false, &sq) != kNoErr) return 1;
                    AIPathStyle st = defaultPathStyle();
                    st.fill.color = (r + c) % 2 ? rgbColor(0.95f, 0.55f, 0.2f) : rgbColor(0.2f, 0.5f, 0.85f);
                    st.stroke.width = 0.75f;
                    doc->setStyle(sq, st);
                    squares.push_back(sq);
                }
            }
            Art* text = nullptr;
            if (doc->newArt(kTextArt, kPlaceAboveAll, nullptr, &text) != kNoErr) return 1;
            ObjectData words;
            words.isText = true;
            words.text = kText;
            words.fontSize = kFontSize;
            doc->setObjectData(text, words);
            doc->setObjectMatrix(text, AIRealMatrix{1, 0, 0, 1, static_cast<float>(left + 10),
                                                    static_cast<float>(top - 100)});
            doc->bounds(squares.front(), &cell.gridBox);
            for (Art* sq : squares) {
                AIRealRect r{};
                doc->bounds(sq, &r);
                cell.gridBox = unionRect(cell.gridBox, r);
            }
            doc->bounds(text, &cell.textBox);
            const EnvelopeWarp warp{style, kBends[col], 0, 0, false};
            if (doc->makeEnvelope(squares.data(), squares.size(), nullptr, &cell.squares) != kNoErr) return 1;
            if (doc->makeEnvelope(&text, 1, nullptr, &cell.text) != kNoErr) return 1;
            if (doc->setEnvelopeWarp(cell.squares, warp) != kNoErr) return 1;
            if (doc->setEnvelopeWarp(cell.text, warp) != kNoErr) return 1;
            cells.push_back(cell);
        }
    }

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, static_cast<int>(kPageWidth * kScale),
                                                          static_cast<int>(kPageHeight * kScale));
    cairo_t* cr = cairo_create(surface);
    cairo_set_source_rgb(cr, 1, 1, 1);
    cairo_paint(cr);
    ObjectData words;
    words.isText = true;
    words.text = kText;
    words.fontSize = kFontSize;
    const AIRealRect textBox = words.localBox();
    const auto outlines = glyphOutlines(cr, kText, kFontSize, static_cast<double>(textBox.right - textBox.left));

    // Page coordinates: vertical axis up.
    cairo_translate(cr, 0, kPageHeight * kScale);
    cairo_scale(cr, kScale, -kScale);

    for (int col = 0; col < 4; ++col) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "bend %+.1f", static_cast<double>(kBends[col]));
        label(cr, kLabelWidth + col * kCellWidth + 100, 26, buf, 16);
    }
    for (int style = 1; style <= 15; ++style) {
        const double y = kHeaderHeight + (style - 1) * kCellHeight + kCellHeight / 2;
        label(cr, 10, y, std::to_string(style) + " " + kStyleNames[style], 15);
    }

    WarpedGeometry geometry;
    for (const Cell& cell : cells) {
        // The unwarped boxes, faint, for reference.
        cairo_set_source_rgb(cr, 0.82, 0.82, 0.82);
        cairo_set_line_width(cr, 0.75);
        for (const AIRealRect& r : {cell.gridBox, cell.textBox}) {
            cairo_rectangle(cr, r.left, r.bottom, r.right - r.left, r.top - r.bottom);
            cairo_stroke(cr);
        }
        for (const Art* a = cell.squares->firstChild(); a; a = a->next()) {
            std::vector<AIPathSegment> warped;
            if (!geometry.path(*a, warped)) return 1;
            tracePath(cr, warped, a->closed());
            const AIColor& f = a->style().fill.color;
            cairo_set_source_rgb(cr, static_cast<double>(f.c[0]), static_cast<double>(f.c[1]),
                                 static_cast<double>(f.c[2]));
            cairo_fill_preserve(cr);
            cairo_set_source_rgb(cr, 0, 0, 0);
            cairo_set_line_width(cr, static_cast<double>(a->style().stroke.width));
            cairo_stroke(cr);
        }
        const Art* text = cell.text->firstChild();
        const AIRealMatrix& m = text->objectMatrix();
        for (const auto& contour : outlines) {
            std::vector<AIPathSegment> onPage;
            for (const AIPathSegment& s : contour) onPage.push_back(transformSegment(m, s));
            std::vector<AIPathSegment> warped;
            if (!geometry.contour(*text, onPage.data(), onPage.size(), true, warped)) return 1;
            tracePath(cr, warped, true);
        }
        cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
        cairo_set_source_rgb(cr, 0.1, 0.1, 0.15);
        cairo_fill(cr);
    }

    cairo_destroy(cr);
    const cairo_status_t st = cairo_surface_write_to_png(surface, output.c_str());
    cairo_surface_destroy(surface);
    cairo_debug_reset_static_data();
    FcFini();
    if (st != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "warp_contact_sheet: cannot write %s\n", output.c_str());
        return 1;
    }
    return 0;
}
