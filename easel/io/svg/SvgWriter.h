// The SVG writer: shared by the units that write the document and its art
// (SvgExport.cpp), art under warps (SvgExportWarp.cpp) and what was kept
// from an imported file (SvgExportKept.cpp).
#pragma once

#include <nlohmann/json.hpp>

#include <array>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "model/Document.h"
#include "KeptSvgArt.h"
#include "SvgColor.h"
#include "model/Warp.h"

namespace easel::svgout {

using Json = nlohmann::ordered_json;
using Attrs = std::vector<std::pair<std::string, std::string>>;

inline std::string num(float v) { return formatNumber(v); }

inline std::string jsonText(const Json& j) { return j.dump(-1, ' ', false, Json::error_handler_t::replace); }

inline bool samePoint(const AIRealPoint& a, const AIRealPoint& b) { return a.h == b.h && a.v == b.v; }

// Path data for segments, in model coordinates or (flip) in page coordinates
// with the vertical axis down.
void appendPathData(const std::vector<AIPathSegment>& segs, bool closed, std::string& d, const float* flipHeight);

class Writer {
public:
    explicit Writer(const Document& doc) : doc_(doc) {}
    std::string run();

private:
    void art(const Art& a, int indent);
    void styleAttrs(const Art& a, Attrs& at, bool always) { styleAttrs(a.style(), at, always); }
    void styleAttrs(const AIPathStyle& s, Attrs& at, bool always);
    void spellStyle(const AIPathStyle& s, Attrs& at);
    struct StyleMemo {
        bool valid = false;
        AIPathStyle style{};
        Attrs attrs;
    };
    StyleMemo styleMemo_;  // the style written last and its attributes
    void commonAttrs(const Art& a, Attrs& at) { commonAttrs(a, at, a.opacity(), a.blendMode()); }
    // With the opacity and blend mode the art is drawn with.
    void commonAttrs(const Art& a, Attrs& at, float opacity, int32_t blend);
    // A compound path drawn as one SVG path with its drawn style; its own
    // style, opacity and blend mode, when they differ, go in data-easel-own.
    void compoundPaint(const Art& a, Attrs& at);
    void open(const std::string& tag, const Attrs& at, int indent, bool empty);
    // SVG attributes kept from an imported file (extra "svg") replace or join
    // ours (their namespaces declared on the root, an id written once), and
    // kept pattern paint the art still shows names its pattern.
    void passthrough(const Art& a, Attrs& at);
    // Kept SVG attributes joining or replacing `at`.
    void keptAttributes(const KeptSvgAttributes& attributes, Attrs& at);
    // Whether the prefix of an attribute name is bound: by the root, or by
    // a declaration on the element itself (`here`).
    bool declared(const std::string& name, const std::set<std::string>& here = {}) const;
    // The element a group is written as: the link (<a>) or <switch> it was
    // read from, else <g>.
    std::string groupTag(const Art& a);
    // The tag list spelled last (the document's, alive while it is written) and its text.
    const TagList* spelledTags_ = nullptr;
    std::string spelledTagsText_;
    void line(int indent, const std::string& text) {
        out_.append(static_cast<size_t>(indent), ' ');
        out_ += text;
        out_ += '\n';
    }
    // Objects draw their local box (0, 0)-(w, h), vertical axis up, through
    // the object matrix; SVG draws (0, -h)-(w, 0) with the axis down.
    static std::string objectTransform(const AIRealMatrix& m) {
        return "matrix(" + num(m.a) + " " + num(m.b) + " " + num(-m.c) + " " + num(-m.d) + " " + num(m.tx) + " " +
               num(m.ty) + ")";
    }
    std::string pageFlip() const { return "matrix(1 0 0 -1 0 " + num(doc_.height()) + ")"; }
    void collectSymbols(const Art& a);
    // Art with a clip path, mask or filter kept from an imported file:
    // written inside a group in the effects' space, the art itself taken
    // back to the page. false when it keeps none (or its space cannot be
    // inverted), and nothing is written.
    bool effectsWrapper(const Art& a, int indent);
    // The art with what was kept around it.
    void artBody(const Art& a, int indent);
    // What writes each type of art, by type.
    using ArtWriter = void (Writer::*)(const Art& a, int indent);
    static const std::map<int16_t, ArtWriter>& artWriters();
    // Groups and envelopes; a compound path as one path when its members
    // are all plain paths, else as a group.
    void groupBody(const Art& a, int indent);
    // A clip group's clipping path in a <clipPath> of the id given.
    void clipPathElement(const Art& clip, const std::string& id, int indent);
    void compoundBody(const Art& a, int indent);
    void pathBody(const Art& a, int indent);
    // Text at a point or on a path (whose path is written as a definition
    // first, its id returned).
    void textBody(const Art& a, int indent);
    std::string textPathAttrs(const Art& a, Attrs& at, int indent);
    // Placed and raster images, meshes and symbol instances (the tag returned).
    void objectBody(const Art& a, int indent);
    static std::string objectAttrs(const Art& a, Attrs& at);
    // Path art whose stroke is drawn in its effect space (SvgExportStroke.cpp):
    // that space, its inverse and mean scale.
    struct StrokeSpace {
        double inverse[6] = {};
        double scale = 1;
        std::string transform;
        // Segments on the page taken into the space.
        std::vector<AIPathSegment> map(const std::vector<AIPathSegment>& segs) const;
        // The element put in the space: its stroke lengths in it, its transform.
        void apply(Attrs& at) const;
        // Stroke lengths on the page given in the space.
        void lengths(Attrs& at) const;
    };
    // false when the art's stroke is drawn on the page (or the space has no inverse).
    bool strokeSpace(const Art& a, StrokeSpace& out) const;
    // What path data does not say: an empty path's closing, corners, the ends of an open path.
    static void segmentFlags(const std::vector<AIPathSegment>& segs, bool closed, Attrs& at);
    // Adds the definitions kept with art (SVG text of elements) to those
    // written, each id once.
    void addDefinitions(const std::string& text);
    std::vector<std::string> effectDefs_;
    std::set<std::string> effectDefsSeen_;
    std::set<std::string> definitionIds_;
    static std::string gradientId(int32_t ref) { return "easel-gradient-" + std::to_string(ref); }
    // The gradient paints the art uses, written once each as definitions.
    void collectGradients(const Art& a);
    // As `id` (default: the paint's) with `matrix` (default: the paint's).
    void writeGradient(int32_t ref, int indent, const std::string& id = {}, const AIRealMatrix* matrix = nullptr);
    // Gradient paint of text, whose user space is its own: a gradient of its
    // own placed there, written before it (`origin`: of its kept spans).
    void textGradients(const Art& a, const std::array<double, 2>* origin, Attrs& at, int indent);
    // The gradients of `s` named in `at` written as copies placed in `space`
    // (ids ending "-SUFFIX-fill" and "-stroke"), `at` naming the copies.
    void placedGradients(const AIPathStyle& s, const AIRealMatrix& space, const std::string& suffix, Attrs& at,
                         int indent);
    std::set<int32_t> gradients_;
    // The transform of object art; under a warp, the warp's local affine at
    // the object's centre is drawn and the object's own transform is kept
    // in data-easel-transform.
    void objectTransformAttrs(const Art& a, Attrs& at) {
        AIRealMatrix shown{};
        if (!warpedMatrix(a, shown)) {
            at.emplace_back("transform", objectTransform(a.objectMatrix()));
            return;
        }
        at.emplace_back("transform", objectTransform(shown));
        at.emplace_back("data-easel-transform", objectTransform(a.objectMatrix()));
    }
    // Segments of path art as drawn on the page; false (out untouched) when
    // no warp acts on it, so the stored segments are drawn.
    bool warpedSegments(const Art& a, std::vector<AIPathSegment>& out);
    // The object matrix followed by the local affine of the warps at the
    // centre of the object's box; false when no warp acts on it.
    bool warpedMatrix(const Art& a, AIRealMatrix& out);
    // Placed and raster images under a warp, drawn as triangles each mapped
    // by the affine that fits the warp at its corners; false when the warp
    // gives no usable mesh (the caller then draws it by warpedMatrix).
    bool warpedImage(const Art& a, Attrs& at, int indent);
    // The image as a definition and its pieces, each clipped to its cell.
    void writeImagePieces(Attrs& at, const std::string& imageId, const std::vector<std::string>& clips,
                          const std::vector<std::string>& pieces, int indent);

    // What was kept from an imported file (SvgExportKept.cpp).
    // An art's kept SVG as the writer takes it (KeptSvgArt.h): kept SVG
    // members of the wrong type and kept material the rule refuses
    // (SvgAllow.h) are left out, of what is written and of data-easel-extra.
    // Valid while the art holds its extra.
    static const KeptSvgMembers& kept(const Art& a) { return keptSvgOf(a)->written; }
    // data-easel-extra: the extra as it is, or what was taken of it.
    static std::string extraText(const Art& a);
    // Pattern paint the art still shows: the pattern placed for where the
    // art is written, added to the definitions, named by patternIds_.
    void collectPatterns(const Art& a);
    // The pattern's patternTransform where the art is written; none when
    // it keeps none or it cannot be placed there.
    std::optional<std::string> patternTransform(const Art& a, const KeptSvgPattern& pattern) const;
    std::map<std::pair<const Art*, std::string>, std::string> patternIds_;
    // Namespace declarations kept attributes need, for the root.
    void collectNamespaces(const KeptSvgAttributes& attributes);
    std::map<std::string, std::string> namespaces_;
    std::set<std::string> ids_;  // ids written, each once
    static void noteIds(const std::string& text, std::set<std::string>& ids);
    // Whether kept SVG text can be written into the file: well-formed with
    // the namespaces the root declares.
    bool writable(const std::string& fragment) const;
    // Kept elements around the art: "before", "after", "inside" (an empty group's).
    void keptElements(const Art& a, const char* key, int indent);
    // A text's kept spans while its string is unchanged, else null.
    const KeptSvgText* keptSpans(const Art& a) const;
    // The user space art is written in, mapped to the page.
    void userSpace(const Art& a, double m[6]) const;
    // The root's attributes.
    Attrs rootAttributes();

    const Document& doc_;
    WarpedGeometry warps_;
    std::string out_;
    std::vector<std::pair<std::string, std::string>> symbols_;  // name, kept definition
    std::set<std::string> symbolNames_;
};

}  // namespace easel::svgout
