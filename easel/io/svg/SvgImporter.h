// The SVG importer: walks the element tree, resolves properties and
// paint, and builds art in a new document. Shared by the units that read
// the document as a whole (SvgImport.cpp) and its drawn elements
// (SvgElements.cpp).
#pragma once

#include <libxml/tree.h>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "model/Document.h"
#include "io/json/DocumentJson.h"
#include "core/Input.h"
#include "SvgCss.h"
#include "SvgGeometry.h"
#include "SvgImport.h"
#include "SvgPaint.h"
#include "SvgStream.h"

namespace easel::svg {

constexpr const char* kXlinkNs = "http://www.w3.org/1999/xlink";
constexpr const char* kXmlNs = "http://www.w3.org/XML/1998/namespace";
constexpr const char* kInkscapeNs = "http://www.inkscape.org/namespaces/inkscape";
constexpr double kPxToPt = 0.75;

// A limit reached or the document refusing art: the import stops.
struct Failure {
    std::string message;
};

// JSON that easel writes into attributes (data-easel-extra, -parts, ...):
// discarded, as any malformed value, when it nests deeper than what art may
// keep, before anything walks it.
inline nlohmann::ordered_json parseAttributeJson(const std::string& text) {
    if (jsonTextDepth(text, kMaxKeptDepth) > kMaxKeptDepth) return nlohmann::ordered_json::value_t::discarded;
    return nlohmann::ordered_json::parse(text, nullptr, false);
}

// The art ids a file gives. Files this system writes give them in rising
// order: those are kept in a sorted list, with no node to allocate each;
// the first one out of order moves them to a hash set.
class IdsSeen {
public:
    // Whether `id` is new (and now seen).
    bool insert(int64_t id) {
        if (ascending_) {
            if (sorted_.empty() || id > sorted_.back()) {
                sorted_.push_back(id);
                return true;
            }
            ascending_ = false;
            hashed_.insert(sorted_.begin(), sorted_.end());
            std::vector<int64_t>().swap(sorted_);
        }
        return hashed_.insert(id).second;
    }
    bool contains(int64_t id) const {
        return ascending_ ? std::binary_search(sorted_.begin(), sorted_.end(), id) : hashed_.count(id) != 0;
    }

private:
    bool ascending_ = true;
    std::vector<int64_t> sorted_;
    std::unordered_set<int64_t> hashed_;
};

class Importer : public ElementReader {
public:
    Importer(xmlDocPtr xdoc, const SvgLimits& limits, SvgReport& report) : x_(xdoc), lim_(limits), report_(report) {}
    bool run(std::unique_ptr<Document>& out, std::string& error);
    // The same for a file read as it streams in (the caller finishes the
    // stream); throws StreamDeclined when it needs the whole tree.
    bool runStreamed(ElementStream& stream, std::unique_ptr<Document>& out, std::string& error);

private:
    struct Ctx {
        Mat ctm;  // user space to model
        const Props* inherited = nullptr;
        Layer* layer = nullptr;
        Art* parent = nullptr;
        int depth = 0;
        double vpw = 100, vph = 100;  // viewport, for percentages
    };

    // Reading the XML tree.
    std::string nodeText(xmlNodePtr first);
    // Entities standing for elements replaced by the elements, within the budget.
    void expandMarkupEntities(xmlNodePtr parent);
    std::string name(xmlNodePtr n) const { return reinterpret_cast<const char*>(n->name); }
    bool isSvg(xmlNodePtr n) const {
        return n->type == XML_ELEMENT_NODE && inSvgNamespace(n);
    }
    void indexIds(xmlNodePtr root);
    void readStyleSheets(xmlNodePtr root);

    // ElementReader
    AttrMap attributes(xmlNodePtr n) override;
    Props declared(xmlNodePtr n, const AttrMap& at) override { return ownProps(n, at); }
    Declarations declarations(xmlNodePtr n, const AttrMap& at) override {
        Declarations d;
        auto style = at.find("style");
        sheet_.cascade(n, style == at.end() ? std::string_view() : std::string_view(style->second),
                       [&](const std::string& k, const std::string& v) { d.emplace_back(k, v); });
        return d;
    }
    xmlNodePtr byReference(const std::string& ref) override;

    // Properties.
    Props ownProps(xmlNodePtr n, const AttrMap& at) {
        return declaredProperties(n, at, sheet_, [this](const std::string& w) { note(w); });
    }
    static Props inherit(const Props& parent, const Props& own) { return inheritProperties(parent, own); }
    double fontSize(const Props& p) const;
    double lengthProp(const Props& p, const std::string& key, double dflt, double percentOf) const;
    bool paint(const Props& p, const std::string& key, const AttrMap& at, bool& on, AIColor& color, float& alpha);
    // Gradient paint: on the art's place (place_), else the stops' average.
    // False when the gradient, placed where it is drawn, flattens to a line:
    // the paint's fallback is drawn instead.
    bool gradientPaint(xmlNodePtr target, const GradientSpec& g, bool& on, AIColor& color, float& alpha);
    // A colour value (`lv`: lower case, trimmed), "none" or currentColor.
    void colorPaint(const Props& p, const std::string& key, const std::string& v, const std::string& lv, bool& on,
                    AIColor& color, float& alpha);
    // The exact colour this system wrote (data-easel-fill, -stroke), while
    // it still shows as the colour read.
    void exactPaint(const std::string& key, const AttrMap& at, float alpha, bool& on, AIColor& color);
    AIPathStyle styleFor(const Props& p, const AttrMap& at, const Mat& ctm, const Ctx& ctx, float& fillAlpha,
                         float& strokeAlpha);
    AIPathStyle computeStyle(const Props& p, const AttrMap& at, double k, double diag, float& fillAlpha,
                             float& strokeAlpha);
    // The style read last, with what it was read from: siblings of one
    // kind (the copies of a pattern) mostly share it. Only plain paint is
    // kept (a paint server is placed on each element's own bounds).
    struct StyleMemo {
        bool valid = false;
        Props props;
        std::array<std::string, 4> exact;  // the data-easel-* attributes styleFor reads
        std::array<bool, 4> hasExact{};
        double k = 0, diag = 0;
        AIPathStyle style{};
        float fillAlpha = 1, strokeAlpha = 1;
        std::vector<std::string> notes;  // given again each time the style is taken
    };
    StyleMemo styleMemo_;
    std::vector<std::string>* noteLog_ = nullptr;  // while set, notes are also written here
    // The dash pattern of stroke-dasharray `dash` (lengths scaled by `k`).
    void strokeDashes(const Props& p, const std::string& dash, double diag, double k, AIPathStyle& s);

    // Building art.
    void note(const std::string& what) {
        ++notes_[what];
        if (noteLog_) noteLog_->push_back(what);
    }
    // Where gradient paint goes: set while the style of path art is read
    // (the element's user space to the page, its bounds in user space, the
    // viewport). Without it gradients are drawn as one colour.
    struct PaintPlace {
        Mat ctm;
        bool hasBox = false;
        double box[4] = {};
        double vpw = 100, vph = 100;
        // Text, whose bounds are its glyphs': a gradient in bounding-box
        // units is drawn as one colour there.
        bool text = false;
    };
    std::optional<PaintPlace> place_;
    // A paint matrix replaced by the exact one a placed gradient copy carries.
    static void exactPaintMatrix(xmlNodePtr gradient, AIRealMatrix& r);
    // The document's gradient paint for a gradient element at place_; -1
    // when it paints nothing (bounding-box units on art without area),
    // kFlattenedGradient when the space it is drawn in flattens it to a line.
    static constexpr int32_t kFlattenedGradient = -2;
    int32_t gradientRef(xmlNodePtr element, const GradientSpec& gradient);
    Art* newArt(int16_t type, const Ctx& ctx);
    // Adds SVG attributes (a JSON object of strings; null: none) to those
    // the art keeps to be written back.
    void keepAttributes(Art* a, const nlohmann::ordered_json& attrs);
    // Reports what of a kept filter the art written back draws otherwise.
    void filterNotes(xmlNodePtr filter, const Props& own);
    // What finish reads from attributes this system writes: the art's id,
    // tags, kept extra members and selected segments.
    void readArtId(Art* a, const std::string& id);
    void readTags(Art* a, const std::string& tags);
    std::pair<std::string, nlohmann::ordered_json> lastTags_;  // the tags text read last, parsed
    void readExtra(Art* a, const std::string& extra);
    void readSegmentSelection(Art* a, const std::string& parts);
    // The clip path, mask, filter, markers, pattern paint and unknown
    // attributes of the art's element, kept with it; `ctm` its user space.
    void keepWithArt(Art* a, const AttrMap& at, const Props& own, const Props& props, const Mat& ctm);
    static bool hiddenBy(const Art* a, const Props& own, const Props& props);
    // Marks path art stroked under a non-uniform scale (`ctm`, its user
    // space) to draw its stroke transformed in that space.
    void keepStrokeSpace(Art* a, const Mat& ctm);
    // Whether the art's stroke is drawn transformed with it under `ctm` (a
    // scale that differs by direction).
    static bool strokeTransformed(const Art* a, const Mat& ctm);
    // Whether `ctm` scales alike in every direction (up to rounding).
    static bool uniformScale(const Mat& ctm);
    // How much lengths (stroke widths, dashes) scale under `ctm`: the square
    // root of its determinant. A stroke drawn transformed keeps its space as
    // floats, and its lengths scale by that space as kept, so that the file
    // written from it reads back to the same widths.
    static double lengthScale(const Mat& ctm);
    // A paint-order other than fill, stroke, markers kept with the art.
    void keepPaintOrder(Art* a, const Props& props);
    // `ctm`: the element's user space, where its clip path, mask and filter act.
    void finish(Art* a, const AttrMap& at, const Props& own, const Props& props, float alpha,
                const Mat* ctm = nullptr);
    // Keeps the element's clip path, mask and filter (and, given the
    // properties of path art, its markers, drawn in `pathSpace` when it is
    // not `space`) with the art: the definitions (and what they refer to) as
    // SVG text, acting in `space`.
    // `markersAsTheyAre`: the path is written in the file's space, its
    // markers need no variant.
    void keepEffects(Art* a, const Props& own, const Mat& space, const Props* markers = nullptr,
                     const Mat* pathSpace = nullptr, bool markersAsTheyAre = false);
    // The effects group this system writes around art (data-easel-type
    // "effects"): its child, its clip path, mask and filter and its space.
    struct EffectsGroup {
        xmlNodePtr child;
        Props own;
        Mat space;
    };
    std::optional<EffectsGroup> effectsGroup_;
    // The SVG text of an element.
    std::string dump(xmlNodePtr n);
    // The SVG text of an element taken out of the file: the namespaces it
    // uses declared on it, the style sheet's rules written on it and on what
    // it holds, and the properties it inherits from its ancestors written on
    // it (`bake`), so that it draws alone as it did in place.
    // A marker (`markerSpace`: the space its path is drawn in) is written as
    // its variant for the page's space (see markerVariant).
    std::string standalone(xmlNodePtr n, bool bake, const Mat* markerSpace = nullptr);
    // A filter's or mask's region in user space, on its copy, in user units:
    // its percentages taken of the viewport of the element being read.
    void placeUserSpaceRegion(xmlNodePtr n, xmlNodePtr copy);
    double viewportW_ = 100, viewportH_ = 100;  // of the element being read
    // The style sheet's rules on the copy of `n` and what it holds, in their style attributes.
    void writeSheetRules(xmlNodePtr n, xmlNodePtr copy);
    // The properties `n` inherits where it stands, written on its copy.
    void bakeInherited(xmlNodePtr n, xmlNodePtr copy);
    // Why an element cannot be kept as text ("" when it can), by the rule the
    // writer applies too (SvgAllow.h): it, or one inside it, could run a
    // script or load a document, or uses entities a file would not define.
    std::string unkeepable(xmlNodePtr n) const;
    // The definitions and everything they refer to as SVG text, each once;
    // the first `baked` written with what they inherit. false (noted) when
    // they cannot be kept.
    bool collectDefinitions(std::vector<xmlNodePtr> defs, size_t baked, std::string& text,
                            const std::map<xmlNodePtr, Mat>& markerSpaces = {});
    // A marker drawn on a path whose user space is `space` (to the page),
    // written where the path is drawn in the page's own space, needs a
    // variant: mirrored when the space mirrors, its fixed angle turned by the
    // space's, sized by its scale when in user units. The suffix names the
    // variant, "" when the marker needs none.
    struct MarkerVariant {
        bool mirrored = false;
        std::optional<double> angle;
        double scale = 1;
        std::string suffix;
    };
    static MarkerVariant markerVariant(xmlNodePtr marker, const Mat& space);
    // Makes the copy of a marker its variant.
    static void applyMarkerVariant(xmlNodePtr marker, xmlNodePtr copy, const MarkerVariant& v);
    static void renameInnerIds(xmlNodePtr copy, const std::string& suffix);
    static std::string idOf(xmlNodePtr n);
    // Keeps, with the art, the attributes of its element this reader does
    // not interpret (editors' attributes, ids, data-*, other namespaces).
    // A link (<a>) keeps its target and is marked to be written as <a>.
    void keepUnknownAttributes(Art* a, xmlNodePtr n, const AttrMap& at);
    // Those attributes, with the namespaces they use, as a JSON object.
    nlohmann::ordered_json unknownAttributes(xmlNodePtr n, const AttrMap& at);
    // The top-level group read as a layer, which keeps its attributes
    // itself when a group inside the layer carries what a layer cannot.
    xmlNodePtr layerGroup_ = nullptr;
    // Whether attributes of the namespace can be kept: the writer declares
    // only namespaces whose name the parser takes (noted once when not).
    bool writableNamespace(const std::string& prefix, xmlNsPtr ns);
    // Whether an attribute's name is one the writer writes (noted when not).
    bool writableName(const std::string& name);
    std::map<std::string, bool> writableNamespaces_;
    // Keeps with the layer the attributes of its group this reader does not
    // interpret, other than those that name it (`nameKey`: the one read).
    void keepLayerAttributes(Layer* layer, xmlNodePtr g, const AttrMap& at, const std::string& nameKey);
    // An element easel does not draw (metadata, editor settings, elements of
    // other namespaces, foreignObject): kept as text where it stands.
    void keepElement(xmlNodePtr n);
    // Sets the art's kept elements under `key` ("before", "after", "inside")
    // to text, and empties it.
    void attachKept(Art* a, const char* key, std::string& text);
    // Keeps with the document what the root holds that easel does not draw:
    // its other attributes, the elements kept at the top, unused definitions.
    void keepRoot(xmlNodePtr root, const AttrMap& at);
    // The unused definitions of the file, in one <defs>.
    std::string unusedDefinitions(xmlNodePtr root);
    // Pattern paint found while the style of the element is read, by "fill"
    // or "stroke": kept with the art by keepPatterns.
    struct PatternUse {
        xmlNodePtr pattern;
        std::string id;
    };
    std::map<std::string, PatternUse> patterns_;
    void keepPatterns(Art* a, const Mat& space);
    // The pattern's tile in the user space of the element being read (as
    // userSpaceOnUse attributes) and its patternTransform, into `record`;
    // false when it is in bounding-box units and the element's bounds are
    // not known.
    bool patternTile(xmlNodePtr pattern, nlohmann::ordered_json& record);
    // Text spans, kept as the text's inner markup while its string is unchanged.
    // Percentages of the viewport (`ctx`) are resolved once, in the kept
    // attributes and spans.
    bool keepSpans(Art* a, xmlNodePtr n, const AttrMap& at, const std::string& content, double x, double y,
                   const Ctx& ctx);
    void resolveSpanPercents(xmlNodePtr n, double vpw, double vph, int depth);
    std::set<xmlNodePtr> written_;   // elements written by another part (definitions, gradients, copies)
    xmlNodePtr node_ = nullptr;         // the element being read
    std::string* keptHere_ = nullptr;  // elements kept at the level being read, waiting for their art
    std::string rootKept_;             // elements kept with the document
    AttrMap rootAttributes_;           // the root's attributes kept with the document
    // Whether the element or one inside it has an id the file repeats.
    bool usesRepeatedId(xmlNodePtr root) const;
    // The element's opacity (times alpha) and blend mode.
    void opacityAndBlend(Art* a, const Props& own, float alpha);
    // The page: its size in points and the viewBox; makes the document.
    struct Page {
        double w = 0, h = 0;
        double vb[4] = {0, 0, 0, 0};
        bool vbOk = false;
    };
    bool readPage(AttrMap& at, Page& page, std::string& error);
    void readSeedAndSwatches(AttrMap& at);
    // The root's children: top-level groups as layers, other art in layers
    // of its own, one per run.
    void readTopLevel(xmlNodePtr root, const Ctx& ctx);
    void readLayerGroup(xmlNodePtr g, const Ctx& ctx, int number);
    // Hiding, locking and layer flags set once all art is read; the notes reported.
    void settle();
    void walkChildren(xmlNodePtr n, const Ctx& ctx);
    // The element children of `n` in order: from the tree, or from the
    // stream when it stands on `n`.
    void forEachChildElement(xmlNodePtr n, const std::function<void(xmlNodePtr)>& each);
    bool readRoot(xmlNodePtr root, std::unique_ptr<Document>& out, std::string& error);
    ElementStream* stream_ = nullptr;  // set while the file is read as a stream
    void element(xmlNodePtr n, const Ctx& ctx, const AttrMap* useAttrs = nullptr);
    // Whether the element is one nothing is drawn for here (a definition, a
    // script, metadata, another namespace's): kept or noted as it is.
    bool notDrawnHere(xmlNodePtr n, const std::string& tag);
    // The element's user space: the parent's through its transform.
    Mat elementSpace(const AttrMap& at, const Ctx& ctx);
    // An element being read: its node and tag, its attributes, its own and
    // inherited properties, where it is read and its user space.
    struct Elem {
        xmlNodePtr n;
        const std::string& tag;
        const AttrMap& at;
        const Props& own;
        const Props& props;
        const Ctx& ctx;
        const Mat& ctm;
        // The attribute `k`, null when absent.
        const std::string* attr(const char* k) const {
            const auto it = at.find(k);
            return it == at.end() ? nullptr : &it->second;
        }
        bool typed(const char* type) const {
            const std::string* t = attr("data-easel-type");
            return t && *t == type;
        }
    };
    // What each drawn element kind is read by, by tag.
    using ElementHandler = void (Importer::*)(const Elem& e);
    static const std::map<std::string, ElementHandler, std::less<>>& elementHandlers();
    // <g>: a group, or what this system writes as one (effects, a warped image).
    void groupElement(const Elem& e);
    void effectsGroup(const Elem& e);
    void plainGroup(const Elem& e) { group(e, false); }
    void switchElement(const Elem& e) { group(e, true); }
    void nestedSvg(const Elem& e);
    // Whether a nested <svg> clips its contents (overflow neither visible nor auto).
    static bool clipsToViewport(const AttrMap& at);
    // A new <clipPath> of the rectangle given, added to the file; its id.
    std::string viewportClip(double x, double y, double w, double h);
    void group(const Elem& e, bool firstOnly);
    // A switch's children (ctx.parent: its group): the first whose
    // conditions hold read, the others kept around it.
    void switchChildren(xmlNodePtr n, const Ctx& ctx);
    // The envelope warp a group written by this system carries.
    void readEnvelopeWarp(Art* g, const AttrMap& at);
    // Shapes (SvgShapes.cpp): the outline of each kind, then one path art,
    // or a compound path of its subpaths.
    void shape(const Elem& e);
    using ShapeOutline = bool (Importer::*)(const Elem& e, PathBuilder& pb);
    static const std::map<std::string, ShapeOutline, std::less<>>& shapeOutlines();
    bool pathOutline(const Elem& e, PathBuilder& pb);
    bool rectOutline(const Elem& e, PathBuilder& pb);
    bool circleOutline(const Elem& e, PathBuilder& pb);
    bool ellipseOutline(const Elem& e, PathBuilder& pb);
    bool lineOutline(const Elem& e, PathBuilder& pb);
    bool pointsOutline(const Elem& e, PathBuilder& pb);
    void rectElement(const Elem& e);
    // A length attribute of a shape, 0 when absent or not understood (noted).
    double shapeLength(const Elem& e, const char* k, double percentOf);
    // The style a shape is drawn with and the opacity it takes from its
    // fill or stroke; fill and stroke opacities that differ are kept.
    struct ShapeStyle {
        AIPathStyle style{};
        float alpha = 1;
        nlohmann::ordered_json ownOpacities;
    };
    ShapeStyle shapeStyle(const Elem& e);
    // The exact points a path written in its stroke's space carries (false: none).
    bool exactPath(const Elem& e, PathBuilder& exact);
    // Segments read from such a path replaced by the exact ones of `exactSub`
    // when they are where the path is drawn.
    void exactSegments(const Elem& e, const Subpath& exactSub, const std::string& corners, const std::string& ends,
                       std::vector<AIPathSegment>& segs);
    bool shapeSegments(const Elem& e, const PathBuilder& pb, std::vector<std::vector<AIPathSegment>>& segs);
    void singleShape(const Elem& e, const PathBuilder& pb, const std::vector<std::vector<AIPathSegment>>& segs,
                     const ShapeStyle& s);
    void compoundShape(const Elem& e, const PathBuilder& pb, std::vector<std::vector<AIPathSegment>>& segs,
                       const ShapeStyle& s);
    // The compound's own style, kept in data-easel-own when it differs from
    // the one it is drawn with.
    void compoundOwnStyle(const Elem& e, AIPathStyle& style, Props& own, float& alpha);
    // The members' own attributes (data-easel-parts), one per subpath.
    std::vector<AttrMap> compoundParts(const Elem& e, size_t count);
    void compoundMember(const Elem& e, const Ctx& inner, const Subpath& sp, const Subpath* exact,
                        std::vector<AIPathSegment>& segs, const AttrMap& part, const AIPathStyle& style);
    // Text (SvgText.cpp): its characters on one line, set on a path or at a point.
    void text(const Elem& e);
    // The characters of the text and its spans, the path it is set on (null:
    // none) and what easel draws otherwise (`merged`, noted unless the spans
    // are kept).
    struct TextContent {
        std::string chars;
        xmlNodePtr pathRef = nullptr;
        std::vector<std::string> merged;
    };
    void collectText(xmlNodePtr e, int depth, TextContent& tc);
    void collectTextChild(xmlNodePtr c, int depth, TextContent& tc);
    std::string textChars(const Elem& e, TextContent& tc);
    Art* textOnPath(const Elem& e, xmlNodePtr pathRef, ObjectData& o);
    Art* textAtPoint(const Elem& e, TextContent& tc, double& x0, double& y0);
    void image(const Elem& e);
    // An image drawn in warped pieces: the unwarped image is its definition.
    void warpedImage(const Elem& e);
    void use(const Elem& e);
    // A <use> of a symbol: a symbol instance with the definition kept.
    void useSymbol(const Elem& e, xmlNodePtr target, const std::string& href, double x, double y);
    // A <use> of another element: a copy of it, as a group placed by x and y.
    void useCopy(const Elem& e, xmlNodePtr target, double x, double y);
    // Whether new art goes inside an envelope, where the unwarped geometry
    // kept in data-easel-d and data-easel-transform is read instead of the
    // warped one drawn.
    static bool underEnvelope(const Ctx& ctx) {
        for (const Art* p = ctx.parent; p; p = p->parent()) {
            if (p->type() == kEnvelopeArt) return true;
        }
        return false;
    }
    // corners: "0110..." corner flags; ends: the open path's first in and
    // last out direction points, in model coordinates (both as written by
    // this system, may be empty).
    bool toSegments(const Subpath& sp, const Mat& m, std::vector<AIPathSegment>& out, const std::string& corners,
                    const std::string& ends);
    void setSegments(Art* a, const std::vector<AIPathSegment>& segs, bool closed, const AttrMap& at);
    std::optional<Mat> objectMatrix(const Mat& ctm, double x, double yTop) const;
    Mat viewBoxTransform(const AttrMap& at, double w, double h, bool& hasViewBox) const;
    Layer* newLayer(const std::string& name);

    xmlDocPtr x_;
    const SvgLimits& lim_;
    SvgReport& report_;
    std::unique_ptr<Document> doc_;
    std::map<std::string, int> notes_;
    std::map<std::tuple<xmlNodePtr, double, double>, std::shared_ptr<const Gradient>> gradients_;
    std::map<std::pair<const Gradient*, std::array<float, 6>>, int32_t> paints_;
    // Every definition made, so equal ones are shared: a document written back
    // gives each paint an element of its own, and reads back to the same paints.
    std::vector<std::shared_ptr<const Gradient>> madeGradients_;
    std::vector<std::string> noteOrder_;
    std::unordered_map<std::string, xmlNodePtr> ids_;  // the first element of each id, in file order
    std::unordered_set<std::string> repeatedIds_;       // ids the file gives more than one element
    StyleSheet sheet_;
    IdsSeen usedIds_;                            // the art ids read from the file
    std::vector<const Art*> idsRead_;            // the art given one of them
    std::set<xmlNodePtr> useStack_;
    size_t objects_ = 0;
    size_t points_ = 0;
    size_t entityChars_ = 0;
    struct LayerFlags {
        Layer* layer;
        bool visible;
        bool locked;
    };
    std::vector<LayerFlags> layerFlags_;
    struct Pending {
        Art* art;
        bool locked, hidden;
    };
    std::vector<Pending> pending_;
    double pageHeight_ = 0;
};


inline AIRealMatrix toReal(const Mat& m) {
    return AIRealMatrix{static_cast<float>(m.a), static_cast<float>(m.b), static_cast<float>(m.c),
                        static_cast<float>(m.d), static_cast<float>(m.e), static_cast<float>(m.f)};
}

}  // namespace easel::svg
