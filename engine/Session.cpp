// The drag session: one drag event in its fixed order, the modifier keys and
// moving the selected art along with the cursor.
#include "Engine.h"

#include "frame/Suites.h"

namespace brivane::engine {

using namespace frame;

namespace {

// Snapshots larger than this draw nothing.
constexpr ASInt32 kMaxSelectedObjects = 1000;
constexpr AIReal kPressureScale = 0.003921569f; // 1 / 255

ASInt32 TrackerModifiers() {
    ASInt32 modifiers = 0;
    if (AdmTracker()->GetModifiers(nullptr, &modifiers) != kNoErr) return 0;
    return modifiers;
}

bool TrailOn(const BrivaneGlobals& g, const ToolSpec& tool) {
    return tool.trail != nullptr && g.*tool.trail != 0;
}

void Step(BrivaneGlobals& g, const FieldStep& s) {
    if (s.integer != nullptr) {
        ASInt32& value = g.*s.integer;
        value += static_cast<ASInt32>(s.delta);
        const bool past = s.delta > 0 ? static_cast<AIReal>(value) > s.limit : static_cast<AIReal>(value) < s.limit;
        if (past) value = static_cast<ASInt32>(s.wrapTo);
    } else if (s.real != nullptr) {
        AIReal& value = g.*s.real;
        value += s.delta;
        const bool past = s.delta > 0 ? value > s.limit : value < s.limit;
        if (past) value = s.wrapTo;
    }
}

} // namespace

AIArtHandle SnapshotEntry(const BrivaneGlobals& g, ASInt32 i) {
    if (g.selectedArt == nullptr || i < 0 || i >= g.selectedCount) return nullptr;
    return (*g.selectedArt)[i];
}

ModifierOutcome StepModifiers(BrivaneGlobals& g, const ToolSpec& tool, ASInt32 (*readModifiers)()) {
    for (std::size_t r = 0; r < tool.rowCount; ++r) {
        const ModifierRow& row = tool.rows[r];
        if ((readModifiers() & row.keys) != row.keys) continue;
        switch (row.action) {
        case ModifierAction::kStep:
            for (int s = 0; s < row.stepCount; ++s) Step(g, row.steps[s]);
            return {true, kNoErr};
        case ModifierAction::kTrailPause:
            return {!TrailOn(g, tool), kNoErr};
        case ModifierAction::kMoveSources:
            if (TrailOn(g, tool)) return {true, MoveSources(g)};
            return {true, kNoErr};
        case ModifierAction::kCustom:
            if (row.custom != nullptr) row.custom(g);
            return {true, kNoErr};
        }
    }
    return {true, kNoErr};
}

ASErr MoveSources(BrivaneGlobals& g) {
    for (ASInt32 i = g.selectedCount - 1; i >= 0; --i) {
        AIArtHandle art = SnapshotEntry(g, i);
        if (art == nullptr) continue;
        MatrixBuilder m(g.dragCurrent.h - g.dragStart.h, g.dragCurrent.v - g.dragStart.v);
        if (m.Error() != kNoErr) return m.Error();
        const ASErr error = TagAndTransform(art, m.Matrix(), 1.0f, kCopyTransformFlags);
        if (error != kNoErr) return error;
    }
    g.dragStart = g.dragCurrent;
    return kNoErr;
}

ASErr RunDragEvent(AIToolMessage* message, ToolTable tools) {
    BrivaneGlobals& g = *Globals();
    const int toolIndex = ToolIndexOf(g, message->tool);
    if (toolIndex < 0) return kNoErr;
    const ToolSpec& tool = *tools[toolIndex];

    // 1. Trail keeps what earlier events drew (and turns Delete off);
    // otherwise the previous event is taken back.
    if (TrailOn(g, tool)) {
        if (tool.remove != nullptr) g.*tool.remove = 0;
    } else {
        const ASErr error = Undo()->UndoChanges();
        if (error != kNoErr) return error;
    }

    DragEvent event{toolIndex, 1.0f, {0.0f, 0.0f}, 0};

    // 2. Pressure.
    ASBoolean hasPressure = 0;
    ASErr error = Tool()->SystemHasPressure(&hasPressure);
    if (error != kNoErr) return error;
    if (hasPressure != 0) event.pressureFactor = static_cast<AIReal>(message->pressure) * kPressureScale;

    // 3. Document centre.
    AIDocumentSetup setup{};
    error = Document()->GetDocumentSetup(&setup);
    if (error != kNoErr) return error;
    event.documentCentre = {setup.width * 0.5f, setup.height * 0.5f};

    // 4, 5. The cursor; too large a selection draws nothing.
    g.dragCurrent = message->cursor;
    if (g.selectedCount > kMaxSelectedObjects) return kNoErr;

    // 6. Swatch count.
    error = SwatchList()->CountSwatches(nullptr, &event.swatchCount);
    if (error != kNoErr) return error;

    // 7. Layer: every event draws into a new top layer, always above.
    if (g.layerPerEvent != 0) {
        g.placement = 0;
        AILayerHandle layer = nullptr;
        error = Layer()->InsertLayer(nullptr, kPlaceAboveAll, &layer);
        if (error != kNoErr) return error;
    }

    // 8. Slowdown: hold back all but one event in `slowdown`.
    if (g.slowdownCounter < g.slowdown) {
        ++g.slowdownCounter;
        return kNoErr;
    }
    g.slowdownCounter = 0;

    // 9. Modifier keys.
    const ModifierOutcome keys = StepModifiers(g, tool, TrackerModifiers);
    if (keys.error != kNoErr) return keys.error;
    if (keys.draw) {
        if (tool.everyEvent != nullptr) tool.everyEvent(g);
        // 10. The tool's arrangement.
        if (tool.layout != nullptr) {
            error = tool.layout(g, event);
            if (error != kNoErr) return error;
        }
    }

    // 11.
    ++g.slowdownCounter;
    return kNoErr;
}

} // namespace brivane::engine
