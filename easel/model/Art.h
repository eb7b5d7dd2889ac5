// The nodes of a document: layers, art (groups, paths, compound paths, text,
// images, symbols, meshes, envelopes) and the shared data copies hold in
// common. Everything here is read through const accessors; every change goes
// through Document so that it is checked and recorded for undo.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/AISuites.h"
#include "host/ASTypes.h"
#include "Geometry.h"

namespace easel {

class Document;
class Layer;

// Segments of a path in their own (untransformed) coordinates. Immutable once
// it is shared: copies of a path hold the same PathGeometry until one of them
// changes its points (copy on write).
struct PathGeometry {
    std::vector<AIPathSegment> segments;

    // Bounds of the untransformed segments, kept for the closed flag asked
    // last (copies of a path share its flag): the reference holds until
    // the next call.
    const AIRealRect& bounds(bool closed) const;
    // Largest absolute coordinate of any point (anchor or direction point).
    float maxAbsCoordinate() const;
    // Call after changing `segments` of a geometry that is not shared.
    void invalidate() const;

private:
    mutable AIRealRect bounds_ = kEmptyRect;
    mutable int8_t boundsFor_ = -1;  // the closed flag of bounds_ (0 or 1), -1: none
    mutable float maxAbs_ = -1;      // < 0: not computed
};

// What non-path art carries besides its matrix: text, image, symbol, mesh and
// raster data. Shared between copies; replaced, never edited in place.
struct ObjectData {
    std::string text;      // text, text on a path
    float fontSize = 12;   // text, text on a path
    std::string href;      // placed image, raster: file name or data URL
    std::string symbol;    // symbol instance: the symbol's name
    float width = 0;       // image, raster, symbol, mesh: size in local units
    float height = 0;
    // The local box the object matrix maps onto the page (text: an estimate
    // from the font size and the number of characters).
    AIRealRect localBox() const;
    bool isText = false;
};

struct Tag {
    std::string name;
    bool isReal = false;  // "real" tags hold `real`, "string" tags `text`
    std::string text;
    float real = 0;
};
using TagList = std::vector<Tag>;

// An envelope's warp: style 0 (none) or 1..15, bend and distortions -1..1.
struct EnvelopeWarp {
    int32_t style = 0;
    float bend = 0;
    float horizontal = 0;
    float vertical = 0;
    bool rotate90 = false;
};

// What text, images, symbols, meshes and envelopes add to art, and what a
// file gave that the model does not interpret. Most art has none of it, so
// art holds it as one block shared by its copies (null when there is none),
// replaced by a changed copy when any of it changes.
struct ArtExtras {
    std::shared_ptr<const ObjectData> object;
    AIRealMatrix objMatrix = kIdentityMatrix;
    EnvelopeWarp warp;
    std::shared_ptr<const std::string> extra;
    std::shared_ptr<const AIRealMatrix> space;
    // Of a path whose segments are selected in part: each one's bits
    // (kSegmentPointSelected and the others); null otherwise.
    std::shared_ptr<const std::vector<uint8_t>> segSel;
};

struct Swatch {
    std::string name;
    AIColor color{};
    AISwatchRef handle() { return reinterpret_cast<AISwatchRef>(this); }
    static Swatch* fromHandle(AISwatchRef h) { return reinterpret_cast<Swatch*>(h); }
};

// Bottom-first doubly linked list of sibling art.
struct ArtList {
    class Art* first = nullptr;  // bottom-most
    class Art* last = nullptr;   // top-most
};

// A path style shared by the art that paints alike (copies, imported art):
// replaced as a whole, never edited in place.
using SharedStyle = std::shared_ptr<const AIPathStyle>;
// All zero: the style of a node not in use.
const SharedStyle& zeroStyle();

class Art {
public:
    Art() = default;
    Art(const Art&) = delete;
    Art& operator=(const Art&) = delete;

    int64_t id() const { return id_; }
    int16_t type() const { return type_; }  // kGroupArt, kPathArt, ...
    bool isContainer() const {
        return type_ == kGroupArt || type_ == kCompoundPathArt || type_ == kEnvelopeArt;
    }
    bool hasPath() const { return type_ == kPathArt || type_ == kTextPathArt; }
    bool hasObjectMatrix() const {
        return type_ == kTextArt || type_ == kTextPathArt || type_ == kPlacedArt ||
               type_ == kRasterArt || type_ == kMeshArt || type_ == kSymbolArt;
    }

    // Tree. Siblings run bottom (prior) to top (next).
    Art* parent() const { return parent_; }
    // In a layer or a container (disposed and undone art is not).
    bool attached() const { return layer_ != nullptr || parent_ != nullptr; }
    Layer* layer() const;  // walks up to the layer; nullptr when detached
    Art* firstChild() const { return children_.first; }
    Art* lastChild() const { return children_.last; }
    Art* next() const { return next_; }   // the sibling above
    Art* prior() const { return prior_; } // the sibling below

    // Attributes.
    bool selected() const { return selected_; }
    bool locked() const { return locked_; }
    bool hidden() const { return hidden_; }
    const AIPathStyle& style() const { return *style_; }
    float opacity() const { return opacity_; }
    int32_t blendMode() const { return blend_; }
    const TagList& tags() const;
    const Tag* findTag(std::string_view name) const;
    // Groups: the group is a clip group (clippingPath() below).
    bool clipped() const { return clipped_; }

    // Paths (and the path of text on a path). Points are read with the
    // pending matrix applied.
    bool closed() const { return closed_; }
    size_t segmentCount() const { return geom_ ? geom_->segments.size() : 0; }
    AIPathSegment segment(size_t i) const;
    void copySegments(size_t first, size_t count, AIPathSegment* out) const;
    std::vector<AIPathSegment> segments() const;
    // kSegmentPointSelected | kSegmentInSelected | kSegmentOutSelected bits.
    int16_t segmentSelection(size_t i) const;
    // True when only some segments are selected (the file lists them).
    bool hasPartialSegmentSelection() const { return extras_ && extras_->segSel; }
    // The shared geometry and the matrix still to be applied to it.
    const std::shared_ptr<const PathGeometry>& sharedGeometry() const { return geom_; }
    const AIRealMatrix& pendingMatrix() const { return pending_; }

    // Text, images, symbols, meshes, rasters.
    const ObjectData& object() const;
    const AIRealMatrix& objectMatrix() const { return extras_ ? extras_->objMatrix : kIdentityMatrix; }

    // Envelopes.
    const EnvelopeWarp& warp() const;

    // Attributes read from a file that the model does not interpret, as the
    // text of a JSON object ("" when none); written back unchanged.
    const std::string& extra() const;
    // The extra's text as the art holds it (shared by its copies; a new
    // text for each change), null when there is none.
    const std::shared_ptr<const std::string>& sharedExtra() const;

    // The space in which effects kept from an imported file (clipping,
    // masks, filters) act on the art: it maps onto the page and moves with
    // the art. Null when the art keeps none.
    const AIRealMatrix* effectSpace() const { return extras_ ? extras_->space.get() : nullptr; }

    AIArtHandle handle() { return reinterpret_cast<AIArtHandle>(this); }
    static Art* fromHandle(AIArtHandle h) { return reinterpret_cast<Art*>(h); }

private:
    friend class Document;
    friend class ArtPool;
    friend struct Journal;

    // The small fields first and together, so that a node has no gaps (a
    // document holds many): identity and state of the pool slot, flags.
    int64_t id_ = 0;
    int16_t type_ = kUnknownArt;
    bool inUse_ = false;       // the slot holds art (possibly disposed but kept for undo)
    bool selected_ = false;
    bool locked_ = false;
    bool hidden_ = false;
    bool clipped_ = false;
    bool closed_ = false;
    bool hasPending_ = false;
    uint32_t journalRefs_ = 0; // undo entries that refer to this art
    // Place in the document's list of selected nodes (kNotSelected: not in it).
    static constexpr uint32_t kNotSelected = UINT32_MAX;
    uint32_t selIndex_ = kNotSelected;
    int32_t blend_ = 0;
    uint64_t bornIn_ = 0;      // the undo epoch that created it
    uint64_t recordedIn_ = 0;  // the undo epoch that last saved its state

    // Tree links.
    Layer* layer_ = nullptr;   // set on art directly in a layer
    Art* parent_ = nullptr;    // set on art inside a container
    Art* prior_ = nullptr;
    Art* next_ = nullptr;      // of a slot the pool holds free: the next free slot
    ArtList children_;

    SharedStyle style_ = zeroStyle();
    float opacity_ = 1;
    std::shared_ptr<const TagList> tags_;

    std::shared_ptr<const PathGeometry> geom_;
    AIRealMatrix pending_ = kIdentityMatrix;
    std::shared_ptr<const ArtExtras> extras_;
    // extras_ made this art's own to change (a copy of the shared block, or
    // a new one).
    ArtExtras& editExtras();
    // Sets the partial selection (null: none), making the extras its own
    // only when they change.
    void putSegmentSelection(std::shared_ptr<const std::vector<uint8_t>> sel);
};

class Layer {
public:
    const std::string& name() const { return name_; }
    bool visible() const { return visible_; }
    bool locked() const { return locked_; }
    bool editable() const { return visible_ && !locked_; }
    Art* firstArt() const { return art_.first; }  // bottom-most
    Art* lastArt() const { return art_.last; }    // top-most
    // What the layer's group in an SVG file held that easel does not
    // interpret, written back on it: JSON object text ({"attributes": {...}};
    // empty: none). Not part of undo; no edit changes it.
    const std::string& svgKept() const { return svgKept_; }

    AILayerHandle handle() { return reinterpret_cast<AILayerHandle>(this); }
    static Layer* fromHandle(AILayerHandle h) { return reinterpret_cast<Layer*>(h); }

private:
    friend class Document;
    friend struct Journal;
    std::string name_;
    bool visible_ = true;
    bool locked_ = false;
    bool live_ = false;  // in the document's layer list
    std::string svgKept_;
    ArtList art_;
};

// The host's default style for new paths: white fill, black 1-point stroke.
AIPathStyle defaultPathStyle();
// No fill, no stroke (groups and other containers).
AIPathStyle unpaintedStyle();

AIColor grayColor(float gray);
AIColor cmykColor(float c, float m, float y, float k);
AIColor rgbColor(float r, float g, float b);
AIColor noneColor();
bool sameColor(const AIColor& a, const AIColor& b);
bool sameStyle(const AIPathStyle& a, const AIPathStyle& b);
// Whether two styles hold the same bits in every field (sameStyle takes -0
// for 0 and any non-zero flag for true).
bool sameStyleBits(const AIPathStyle& a, const AIPathStyle& b);
// defaultPathStyle() and unpaintedStyle(), each one block for all art.
const SharedStyle& sharedDefaultPathStyle();
const SharedStyle& sharedUnpaintedStyle();

// How art is painted on the page: fill and stroke, opacity and blend mode.
struct DrawnStyle {
    AIPathStyle style;
    float opacity = 1;
    int32_t blend = 0;
};
// The style art is drawn with; every picture (SVG, PNG, studio) paints
// through it. Art is drawn with its own style, except a compound path: it is
// one shape painted with the style of its first (bottom-most) path member,
// which is what the tools restyle member by member. Its opacity is the
// compound's times that member's; its blend mode the compound's, or the
// member's when the compound's is normal. A compound without path members
// is drawn with its own style.
DrawnStyle drawnStyle(const Art& art);

// The clipping path of a clip group: its top-most member when the group is
// clipped and that member is a visible path or compound path, else null. The group's
// other members are drawn only inside the clipping path's fill region (by its
// fill rule); the clipping path paints nothing, and the group's bounds are
// the clipping path's.
const Art* clippingPath(const Art& group);

// Asks the processor for every cache line of a node ahead of its use, to
// read it or (kForWrite) to change it: walks over tens of thousands of nodes
// otherwise wait on each node's memory in turn.
constexpr int kForRead = 0, kForWrite = 1;
template <int Use>
inline void prefetchArt(const Art* a) {
    const char* p = reinterpret_cast<const char*>(a);
    for (size_t at = 0; at < sizeof(Art); at += 64) __builtin_prefetch(p + at, Use);
    __builtin_prefetch(p + sizeof(Art) - 1, Use);  // a node need not start on a line
}

}  // namespace easel
