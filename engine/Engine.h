// The drag engine that all thirteen Brivane tools share: the drag session
// (one drag event in its fixed order), the modifier-key stepping of options,
// and the copy pipeline the tools send their copies through. A tool is a
// ToolSpec: its Trail and Delete fields, its modifier rows, and its layout.
#ifndef ENGINE_ENGINE_H
#define ENGINE_ENGINE_H

#include "frame/brivane/BrivaneGlobals.h"
#include "HostCalls.h"
#include "Placement.h"
#include "Styling.h"

#include <cstddef>

namespace brivane::engine {

// Values worked out once per drag event for the tool and the pipeline.
struct DragEvent {
    int toolIndex;
    AIReal pressureFactor;     // stylus pressure / 255, or 1 without pressure
    AIRealPoint documentCentre;
    ASInt32 swatchCount;
};

// ---- modifier keys ----

inline constexpr ASInt32 kShiftKey = 0x20;
inline constexpr ASInt32 kAltKey = 0x40;
inline constexpr ASInt32 kCtrlKey = 0x200;

// One option field a modifier row steps: value += delta; past limit (above
// it for a positive delta, below it for a negative one) it becomes wrapTo.
struct FieldStep {
    ASInt32 BrivaneGlobals::* integer; // one of the two is set
    AIReal BrivaneGlobals::* real;
    AIReal delta;
    AIReal limit;
    AIReal wrapTo;
};

enum class ModifierAction {
    kStep,        // step the fields
    kTrailPause,  // with Trail on the event ends without drawing
    kMoveSources, // with Trail on the selected art follows the cursor
    kCustom       // the row's own function
};

// A row acts when every bit of `keys` is held; rows are tested in order and
// only the first that matches acts.
struct ModifierRow {
    ASInt32 keys;
    ModifierAction action;
    FieldStep steps[2];
    int stepCount;
    void (*custom)(BrivaneGlobals& g);
};

// Rows as the tool tables write them.
constexpr FieldStep IntStep(ASInt32 BrivaneGlobals::* field, int delta, int limit, int wrapTo) {
    return {field, nullptr, static_cast<AIReal>(delta), static_cast<AIReal>(limit), static_cast<AIReal>(wrapTo)};
}
constexpr FieldStep RealStep(AIReal BrivaneGlobals::* field, AIReal delta, AIReal limit, AIReal wrapTo) {
    return {nullptr, field, delta, limit, wrapTo};
}
constexpr ModifierRow StepRow(ASInt32 keys, FieldStep a) { return {keys, ModifierAction::kStep, {a, {}}, 1, nullptr}; }
constexpr ModifierRow StepRow(ASInt32 keys, FieldStep a, FieldStep b) {
    return {keys, ModifierAction::kStep, {a, b}, 2, nullptr};
}
constexpr ModifierRow TrailPauseRow(ASInt32 keys) { return {keys, ModifierAction::kTrailPause, {}, 0, nullptr}; }
constexpr ModifierRow MoveSourcesRow(ASInt32 keys) { return {keys, ModifierAction::kMoveSources, {}, 0, nullptr}; }
constexpr ModifierRow CustomRow(ASInt32 keys, void (*custom)(BrivaneGlobals&)) {
    return {keys, ModifierAction::kCustom, {}, 0, custom};
}

// ---- tools ----

struct ToolSpec {
    const char* name;
    ASInt32 BrivaneGlobals::* trail;  // null: the tool has no Trail
    ASInt32 BrivaneGlobals::* remove; // the "Delete" flag Trail switches off, or null
    const ModifierRow* rows;
    std::size_t rowCount;
    // Runs on every event that gets past the modifier keys, before the layout.
    void (*everyEvent)(BrivaneGlobals& g);
    // The arrangement for the current drag; null while the tool has none.
    ASErr (*layout)(BrivaneGlobals& g, const DragEvent& event);
};

// The thirteen tools in tool order.
using ToolTable = const ToolSpec* const (&)[kToolCount];

// ---- the session ----

// One "AI Mouse Drag" event: trail or undo, pressure, document centre, the
// cursor, the 1000-object limit, swatch count, Layer, the slowdown gate, the
// modifier keys, the tool's layout and the slowdown counter.
ASErr RunDragEvent(AIToolMessage* message, ToolTable tools);

// Steps the options of tool by the modifier word, row by row. Returns
// whether the event goes on to the layout. Reads the modifier word through
// readModifiers anew for each row.
struct ModifierOutcome {
    bool draw;
    ASErr error;
};
ModifierOutcome StepModifiers(BrivaneGlobals& g, const ToolSpec& tool, ASInt32 (*readModifiers)());

// Moves every snapshot entry (or each child of a compound path) by the drag
// vector, then makes the cursor the new drag start.
ASErr MoveSources(BrivaneGlobals& g);

// ---- the copy pipeline ----

// Which indexes the colour rules get for a copy.
struct CopyIndex {
    ASInt32 index;        // n: the copy in its run, or the row
    ASInt32 fillPeriod;   // P for the fill rule
    ASInt32 strokePeriod; // P for the stroke rule
};

// Order of the five per-art steps: some tools style before they transform.
enum class StyleOrder { kTransformFirst, kStyleFirst };

// Whether the copy (or each child of a compound copy) gets the "brivane"
// tag: the scatter, ring and spiral tools leave their copies untagged.
enum class Tagging { kTag, kNoTag };

// Tag, transform (flags 0x13), fill rule, stroke rule and random width, on
// the copy or on each child of a compound copy.
ASErr StyleAndTransform(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy,
                        const AIRealMatrix& matrix, AIReal lineScale, const CopyIndex& index, StyleOrder order,
                        Tagging tagging = Tagging::kTag);

// Opacity, pressure opacity and blend of the copy, then the pattern tile
// about the point the pattern popup picks (originalCentre for " Use original
// path"). Without a pattern the last opacity or blend code is the result.
ASErr FinishCopy(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy, int beneath,
                 AIRealPoint originalCentre);

// The pattern tile of a finished copy about the point the pattern popup
// picks (originalCentre for " Use original path"). Without a pattern,
// `code`, the result of the copy's last opacity or blend call, stands. The
// run tools, which order a copy's opacity steps themselves, call it directly.
ASErr PatternStep(const BrivaneGlobals& g, const DragEvent& event, AIArtHandle copy, int beneath,
                  AIRealPoint originalCentre, ASErr code);

// Beneath flag of a copy by the placement popup (0 when " Place above").
int CopyBeneath(const BrivaneGlobals& g, ASInt32 a, ASInt32 b, ASInt32 objectIndex, IndexForm form);

// The selected art of the snapshot, entry i (null for empty entries).
AIArtHandle SnapshotEntry(const BrivaneGlobals& g, ASInt32 i);

// Runs body(object, i) for every snapshot entry that holds art, from the last
// entry to the first (the order every layout works in); the first error
// stops the run and is the result.
template <typename Body>
ASErr ForEachObject(const BrivaneGlobals& g, Body&& body) {
    for (ASInt32 i = g.selectedCount - 1; i >= 0; --i) {
        AIArtHandle object = SnapshotEntry(g, i);
        if (object == nullptr) continue;
        const ASErr error = body(object, i);
        if (error != kNoErr) return error;
    }
    return kNoErr;
}

} // namespace brivane::engine

#endif
