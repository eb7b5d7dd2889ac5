// The undo journal: steps of inverse operations. Internal to the model.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Art.h"
#include "Guides.h"

namespace easel {

class Document;

// Every property of an art object that undo restores (everything but its
// place in the tree, which Move entries keep).
struct ArtState {
    bool selected = false;
    bool locked = false;
    bool hidden = false;
    bool clipped = false;
    SharedStyle style;  // null until saved
    float opacity = 1;
    int32_t blend = 0;
    std::shared_ptr<const TagList> tags;
    bool closed = false;
    std::shared_ptr<const PathGeometry> geom;
    AIRealMatrix pending = kIdentityMatrix;
    bool hasPending = false;
    std::shared_ptr<const ArtExtras> extras;
};

struct LayerState {
    std::string name;
    bool visible = true;
    bool locked = false;
};

// What the entries other than Move keep, in one block of its own: a drag
// event records tens of thousands of Move entries, and each stays small.
struct EntryData {
    // LayerMove: index in the bottom-first layer list when attached, and the
    // current layer.
    size_t index = 0;
    Layer* current = nullptr;
    float width = 0, height = 0;  // Page
    ArtState state;               // State
    LayerState layerState;        // LayerAttrs
    Guides guides;                // GuideLines
    // Swatches: the whole list as it was (swapped with the document's).
    std::vector<std::unique_ptr<Swatch>> swatches;
};

// One reversible change. Applying an entry swaps the stored value with the
// current one, so the same entry serves undo and, applied again, redo.
struct Entry {
    enum Kind : uint8_t { Move, State, LayerMove, LayerAttrs, Page, GuideLines, Swatches };
    Kind kind = Move;
    // Move: the place to move art to (attached false: out of the tree).
    bool attached = false;
    Art* art = nullptr;
    Layer* layer = nullptr;  // Move: layer of a top-level place; Layer*: the layer
    Art* parent = nullptr;
    Art* after = nullptr;    // the sibling below the place (null: bottom)
    std::unique_ptr<EntryData> data;  // every kind but Move
};

struct Step {
    std::vector<Entry> entries;
    int64_t idBefore = 1;
    int64_t idAfter = 1;
    std::string undoText;
    std::string redoText;
    // Every entry places art made within the step (it was born in the open
    // context) or saves art's properties: kept for the open step only.
    bool onlyMadeArt = true;
};

struct Journal {
    explicit Journal(Document& d) : doc(d) {}
    ~Journal();

    Document& doc;
    Step open;
    std::vector<Step> done;    // user-level steps, oldest first
    std::vector<Step> undone;  // steps undo() took back, most recent last
    uint64_t epoch = 1;        // changes when a context opens or is reverted
    bool keeping = true;       // false: the record functions record nothing
    static constexpr size_t kMaxSteps = 200;

    bool fresh(const Art* a) const { return a->bornIn_ == epoch; }

    // Recording (called before the change is made).
    void recordMove(Art* art);
    void recordState(Art* art);
    void recordLayerMove(Layer* layer);
    void recordLayerAttrs(Layer* layer);
    void recordPage();
    void recordGuides();
    void recordSwatches();

    void commitOpen();
    void revertOpen();
    bool undoStep();
    bool redoStep();
    void clear();

private:
    Entry& push(Entry::Kind kind);
    void apply(Entry& e);
    void destroy(Step& s);
    void addRef(Art* a) {
        if (a) ++a->journalRefs_;
    }
    void release(Art* a);
    void flushReleases();
    std::vector<Art*> releases_;

public:
    // The journal and the swatch list of a document (for model units that
    // are not Document's own members).
    static Journal& of(Document& d);
    static std::vector<std::unique_ptr<Swatch>>& swatchesOf(Document& d);
    static void saveState(const Art& a, ArtState& s);
    static void swapState(Art& a, ArtState& s);
};


}  // namespace easel
