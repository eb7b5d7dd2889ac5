// The vector document the plug-ins work on: page, seed, swatches, layers and
// art, with an undo journal.
//
// Every change goes through Document. Operations return ASErr codes from
// host/ASTypes.h and never throw: kBadParameterErr for null, dangling or
// non-finite arguments, kLockedLayerErr ('SEGM') for a locked or hidden target
// layer, kTooManyPointsErr ('NESS') past kMaxSegments, kTooDeepErr ('DEEP')
// for art that would nest past kMaxArtNesting.
//
// Undo: there is always one open context collecting inverse operations.
// beginUndoContext() and commitUndoContext() close the open context as one
// user-level step (when it changed anything) and open a fresh one;
// undoChanges() reverts the open context so far, at a cost proportional to
// what it changed. undo()/redo() act on whole steps (undo first closes the
// open context). Art handles are raw pointers to nodes that stay in place;
// disposed art stays allocated while the undo history refers to it.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "host/AISuites.h"
#include "host/ASTypes.h"
#include "Art.h"
#include "Geometry.h"
#include "Guides.h"
#include "Paint.h"

namespace easel {

struct Journal;
class ArtPool;

constexpr size_t kMaxSegments = 32000;

// Art nests at most this many containers deep (art on a layer is at 0, its
// members at 1, ...). The files easel writes hold no deeper art, and the
// readers take this much, so whatever the model holds is written and read
// back. Placing, moving or copying art past it is refused with kTooDeepErr.
constexpr int kMaxArtNesting = 64;
constexpr ASErr kTooDeepErr = AS_FOURCC('D', 'E', 'E', 'P');

// The largest font size of text art, in points: larger ones are refused
// (the readers name the limit), so no renderer is handed an absurd size.
constexpr float kMaxFontSize = 10000;

// The art budget protects the machine from a document that would grow past
// its memory: at most `document` art nodes held at once (live art and art
// kept for undo), and at most `perContext` nodes created within one undo
// context between two reverts, which is one drag event of a tool. Creating
// art past either is refused with kOutOfMemoryErr (-108) before anything is
// made, so the refused call leaves the document as it was.
struct ArtBudget {
    size_t document = 2'000'000;
    size_t perContext = 500'000;
};

struct MatchSpec {
    int16_t type = kAnyArt;  // art type or kAnyArt
    int32_t whichAttr = 0;   // kArtSelected | kArtLocked | kArtHidden bits to test
    int32_t attr = 0;        // their required values
};

class Document {
public:
    Document(float width, float height);
    ~Document();
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // ---- page, seed ----
    float width() const { return width_; }
    float height() const { return height_; }
    ASErr setPageSize(float width, float height);  // positive and finite
    int32_t seed() const { return seed_; }
    void setSeed(int32_t seed) { seed_ = seed; }
    // What an SVG file this document was read from holds that easel does not
    // draw and writes back: the root's attributes and the elements at its top
    // level, as JSON object text ({"attributes": {...}, "elements": "..."};
    // empty: none). Not part of undo; no edit changes it.
    const std::string& svgKept() const { return svgKept_; }
    void setSvgKept(std::string jsonObjectText) { svgKept_ = std::move(jsonObjectText); }

    // ---- guides and grid (part of undo) ----
    const Guides& guides() const { return guides_; }
    // kBadParameterErr for a position that is not finite, more than
    // kMaxGuides on an axis or a spacing that is not positive and finite.
    ASErr setGuides(const Guides& guides);

    // ---- swatches (not part of undo) ----
    size_t swatchCount() const { return swatches_.size(); }
    Swatch* swatch(size_t n) const { return n < swatches_.size() ? swatches_[n].get() : nullptr; }
    bool isSwatch(const Swatch* s) const;
    void clearSwatches();
    ASErr addSwatch(const std::string& name, const AIColor& color);

    // ---- gradient paints (not part of undo) ----
    // Entries are only ever added, so a ref any style or undo step holds
    // stays valid. Moving gradient art by transformArt with
    // kTransformFillGradients adds the moved paint, sharing the gradient.
    size_t gradientPaintCount() const { return gradientPaints_.size(); }
    const GradientPaint* gradientPaint(int32_t ref) const {
        return ref >= 0 && static_cast<size_t>(ref) < gradientPaints_.size() ? &gradientPaints_[static_cast<size_t>(ref)]
                                                                              : nullptr;
    }
    // The ref of a new paint; -1 for a null gradient, a matrix that is not
    // finite or stops that are not finite colours.
    int32_t addGradientPaint(std::shared_ptr<const Gradient> gradient, const AIRealMatrix& matrix);

    // ---- layers ----
    size_t layerCount() const { return layers_.size(); }
    Layer* layerFromTop(size_t n) const;     // 0 = the top layer
    Layer* layerFromBottom(size_t n) const;  // 0 = the bottom layer
    Layer* topLayer() const { return layers_.empty() ? nullptr : layers_.back(); }
    Layer* bottomLayer() const { return layers_.empty() ? nullptr : layers_.front(); }
    // Where new art goes with no reference, and art placed above all (5) or
    // beneath all (6): its top or its bottom. New layers become current, and
    // so does the layer of art a person selects (SelectionLayer.h).
    Layer* currentLayer() const;
    void setCurrentLayer(Layer* layer);
    bool isLiveLayer(const Layer* layer) const;
    // A new layer placed by order relative to `ref` (kPlaceAbove / kPlaceBelow),
    // or above all (kPlaceAboveAll) / below all (kPlaceBelowAll) with ref null.
    // Named "Layer N" with the next free N unless `name` is given; it becomes
    // the current layer.
    ASErr insertLayer(Layer* ref, int16_t order, Layer** out, const std::string& name = "");
    ASErr setLayerName(Layer* layer, const std::string& name);
    ASErr setLayerVisible(Layer* layer, bool visible);
    ASErr setLayerLocked(Layer* layer, bool locked);
    // See Layer::svgKept (not part of undo).
    void setLayerSvgKept(Layer* layer, std::string jsonObjectText) {
        if (layer) layer->svgKept_ = std::move(jsonObjectText);
    }
    // Takes a layer (with its art) out of the document; undo puts it back.
    // The last layer cannot be removed.
    ASErr removeLayer(Layer* layer);
    // Moves a layer to `index` in the bottom-first layer list.
    ASErr moveLayer(Layer* layer, size_t index);

    // ---- art: creation, structure ----
    // Any pointer may be passed: true only for art of this document that is
    // currently in a live layer (not disposed, not undone).
    bool isLive(const Art* art) const;
    Art* findById(int64_t id);
    int64_t nextId() const { return nextId_; }
    // For readers of stored documents: gives art the id it was saved with
    // (positive); later new art gets ids above every id given so far.
    ASErr setArtId(Art* art, int64_t id);

    // New empty art (any art type) placed by order relative to prep (null for
    // 5 and 6, and for 1-4 meaning the current layer's top/bottom); 5 and 6
    // are the current layer's top and bottom.
    ASErr newArt(int16_t type, int16_t order, Art* prep, Art** out);
    // A copy of art with its children, style, tags, attributes (not selected).
    ASErr duplicateArt(Art* art, int16_t order, Art* prep, Art** out);
    ASErr reorderArt(Art* art, int16_t order, Art* prep);
    ASErr disposeArt(Art* art);
    // Closed rectangle / ellipse paths above all art with defaultPathStyle().
    // Segments run counter-clockwise from the top left unless reversed.
    ASErr newRect(float top, float left, float bottom, float right, bool reversed, Art** out);
    ASErr newOval(float top, float left, float bottom, float right, bool reversed, Art** out);

    // ---- geometry ----
    // Exact bounds (curve extrema, strokes not included); containers: the
    // union of their children; an empty container gives kEmptyRect.
    ASErr bounds(const Art* art, AIRealRect* out) const;
    // flags: kTransformObjects moves the art, kScaleLines multiplies stroke
    // widths by lineScale, kTransformFillGradients moves fill and stroke
    // gradients; pattern flags are accepted.
    ASErr transformArt(Art* art, const AIRealMatrix& m, float lineScale, int32_t flags);

    // ---- paths ----
    ASErr setSegmentCount(Art* path, size_t count);  // new segments repeat the last point
    ASErr setSegments(Art* path, size_t first, size_t count, const AIPathSegment* segs);
    ASErr setClosed(Art* path, bool closed);
    ASErr setSegmentSelection(Art* path, size_t index, int16_t bits);

    // ---- style, opacity, blend, tags, attributes ----
    ASErr setStyle(Art* art, const AIPathStyle& style);
    ASErr setOpacity(Art* art, float opacity);
    ASErr setBlendMode(Art* art, int32_t mode);  // 0..15
    ASErr setTagString(Art* art, std::string_view name, std::string_view value);
    ASErr setTagReal(Art* art, const std::string& name, float value);
    ASErr deleteTag(Art* art, const std::string& name);
    ASErr setObjectData(Art* art, const ObjectData& data);
    ASErr setObjectMatrix(Art* art, const AIRealMatrix& m);
    ASErr setExtra(Art* art, const std::string& jsonObjectText);
    // Null removes it; transformArt moves it with the art's objects.
    ASErr setEffectSpace(Art* art, const AIRealMatrix* space);
    // Selecting (or deselecting) a container does the same to its members.
    ASErr setSelected(Art* art, bool selected);
    ASErr setLocked(Art* art, bool locked);
    ASErr setHidden(Art* art, bool hidden);
    // Makes a group a clip group or a plain one (other art: kBadParameterErr).
    ASErr setClipped(Art* art, bool clipped);
    // kArtSelected | kArtLocked | kArtHidden bits of art.
    int32_t userAttributes(const Art* art) const;

    // ---- selection ----
    // Selection changes made inside `f` (of art and of path segments) are
    // not recorded for undo: the user selecting between edits is no step of
    // its own and keeps the steps Redo would restore. Tools' selection
    // changes inside an undo context are recorded as usual.
    void changeSelection(const std::function<void()>& f);
    void selectAll();
    void deselectAll();
    bool selectById(int64_t id);
    // Art matching any of the criteria, in document order (bottom layer first, each
    // container before its members, bottom to top).
    std::vector<Art*> matchingArt(const MatchSpec* specs, size_t count) const;
    std::vector<Art*> selectedArt() const;

    // Calls f for every art of every live layer in document order.
    void forEachArt(const std::function<void(Art*)>& f) const;

    // ---- envelopes ----
    // Wraps the listed art (live, in one editable layer) into a new envelope
    // art placed where the top-most of them was. envelopeObject, when given,
    // is disposed of.
    ASErr makeEnvelope(Art* const* art, size_t count, Art* envelopeObject, Art** out);
    // Sets the warp (Warp.h turns it into geometry: bounds() of a warped
    // envelope are those of its warped contents). Refused when the warped
    // contents would not be finite.
    ASErr setEnvelopeWarp(Art* envelope, const EnvelopeWarp& warp);
    // Moves the contents out to the envelope's place and disposes of it.
    ASErr releaseEnvelope(Art* envelope);

    // ---- art budget ----
    void setArtBudget(const ArtBudget& budget) { budget_ = budget; }
    const ArtBudget& artBudget() const { return budget_; }
    // Art nodes held: live art and art the undo history keeps.
    size_t artNodes() const;
    // Nodes created in the open undo context since it opened or was last reverted.
    size_t contextArtNodes() const;

    // ---- undo ----
    void beginUndoContext();
    void commitUndoContext();
    ASErr undoChanges();
    bool undo();
    bool redo();
    bool canUndo() const;
    bool canRedo() const;
    void setUndoText(const std::string& undoText, const std::string& redoText);
    const std::string& undoText() const;  // of the step undo() would revert
    // Whether the open context recorded any change.
    bool contextChanged() const;
    // Forgets every step (after loading a document, for example).
    void clearHistory();
    // Whether changes are recorded for undo (they are unless a reader turns
    // it off while it builds a document, which starts with no history).
    // Unrecorded, disposed art is freed at once.
    void keepHistory(bool keep);
    size_t undoStepCount() const;

private:
    friend struct Journal;
    friend class ArtPool;

    Art* allocArt(int16_t type);
    ASErr placement(int16_t order, Art* prep, Layer** layer, Art** parent, Art** after) const;
    bool editableAt(Layer* layer, Art* parent) const;
    void link(Art* art, Layer* layer, Art* parent, Art* after);
    void unlink(Art* art);
    void moveRecorded(Art* art, Layer* layer, Art* parent, Art* after);
    Art* copyTree(const Art* src, Art* parent);
    bool fresh(const Art* art) const;
    void recordState(Art* art, int what);
    // `pending`: the art's own pending matrix after m, when worked out already.
    ASErr transformRec(Art* art, const AIRealMatrix& m, float lineScale, int32_t flags,
                       const AIRealMatrix* pending = nullptr);
    // Scales the stroke of `art` and moves its gradients, as `flags` say
    // (kScaleLines, kTransformFillGradients).
    void restyle(Art* art, const AIRealMatrix& m, float lineScale, int32_t flags);
    void boundsRec(const Art* art, AIRealRect& r) const;
    void setSelectedRec(Art* art, bool selected);
    void releaseArt(Art* art);
    void freeArt(Art* art);
    void putTag(Art* art, Tag tag);
    // Gives `art` the style `s`, in the block of the last style given out
    // when that holds the same bits: copies and imported art are mostly
    // styled alike, one after another.
    void putStyle(Art* art, const AIPathStyle& s);
    // Keeps selectedNodes_ in step with art->selected_ after it changed.
    void syncSelected(Art* art);
    void forgetSelected(Art* art);
    // The selected art of live layers in document order found from
    // selectedNodes_ without walking the document; false when placing them
    // in order would cost more than a walk.
    bool selectedInOrder(std::vector<Art*>& out) const;
    template <class F>
    void walkArt(F&& f) const;
    std::string nextLayerName() const;
    // kOutOfMemoryErr when `count` more nodes would exceed the budget; else
    // counts them against the open context.
    ASErr reserveArt(size_t count);

    float width_;
    float height_;
    int32_t seed_ = 1;
    std::string svgKept_;
    Guides guides_;
    std::vector<std::unique_ptr<Swatch>> swatches_;
    std::vector<GradientPaint> gradientPaints_;
    std::vector<Layer*> layers_;                  // bottom first
    std::vector<std::unique_ptr<Layer>> allLayers_;  // live and retired, owned
    Layer* current_ = nullptr;
    int64_t nextId_ = 1;
    SharedStyle lastStyle_;  // the block putStyle() made last
    std::unique_ptr<ArtPool> pool_;
    std::unique_ptr<Journal> journal_;
    ArtBudget budget_;
    bool quietSelection_ = false;
    uint64_t budgetEpoch_ = 0;  // the undo epoch contextNodes_ counts for
    size_t contextNodes_ = 0;
    // Every node of the pool whose selected flag is set (live or kept for
    // undo), in no order: selectedArt() starts from it.
    std::vector<Art*> selectedNodes_;
    // The last tag put into a list (putTag) and the list it made.
    struct TagMemo {
        std::shared_ptr<const TagList> from;
        Tag tag;
        std::shared_ptr<const TagList> result;
    } tagMemo_;
};

// A new document: one layer "Layer 1", the default swatch list.
std::unique_ptr<Document> newDocument(float width = 612, float height = 792);

}  // namespace easel
