// What the page draws otherwise than `easel render` and the SVG export.
#include <string>

#include "model/Document.h"
#include "io/svg/KeptSvgArt.h"
#include "studio/Studio.h"

namespace easel::studio {

// What the page draws otherwise than `easel render` and the SVG export: the
// SVG parts a document keeps and writes back (filters, clip paths, masks,
// markers, text spans placed or styled on their own, pattern paint), one
// line per kind with the number of objects.
std::string drawnApartText(const Document& doc) {
    size_t filters = 0, clips = 0, masks = 0, markers = 0, spans = 0, patterns = 0, strokes = 0, textGradients = 0;
    doc.forEachArt([&](Art* a) {
        const auto kept = keptSvgOf(*a);
        const KeptSvgMembers& k = kept->stored;
        if (k.effects) {
            static const KeptSvgAttributes none;
            const KeptSvgAttributes& attributes = k.effects->attributes ? *k.effects->attributes : none;
            const auto has = [&](const char* name) { return findKeptSvgAttribute(attributes, name) != nullptr; };
            if (has("filter")) ++filters;
            if (has("clip-path")) ++clips;
            if (has("mask")) ++masks;
            if (has("marker-start") || has("marker-mid") || has("marker-end")) ++markers;
        }
        if (k.text && k.text->markup.value_or("").find("<tspan") != std::string::npos) ++spans;
        if (k.paint) ++patterns;
        if (k.strokeTransformed && a->effectSpace()) ++strokes;
        const AIPathStyle& st = a->style();
        if ((a->type() == kTextArt || a->type() == kTextPathArt) &&
            ((st.fillPaint && st.fill.color.kind == kGradientColor) || (st.strokePaint && st.stroke.color.kind == kGradientColor)))
            ++textGradients;
    });
    std::string out;
    auto line = [&](size_t n, const std::string& what) {
        if (n) out += std::to_string(n) + " " + what + "; easel render and the SVG export draw it as the file does\n";
    };
    line(filters, "filter effect(s) (blur, shadow...) drawn in the studio without the filter");
    line(clips, "clip path(s) drawn in the studio without clipping");
    line(masks, "mask(s) drawn in the studio without masking");
    line(markers, "marker(s) (arrowheads...) not drawn in the studio");
    line(spans, "text(s) in spans: the studio sets their lines and places in the text's own font and paint (a span's own colour, weight or size is not shown)");
    line(patterns, "pattern paint(s) drawn in the studio as mid grey");
    line(strokes, "stroke(s) under a non-uniform scale drawn in the studio with one width");
    line(textGradients, "text(s) in gradient paint drawn in the studio in its mean colour");
    return out;
}

}  // namespace easel::studio
