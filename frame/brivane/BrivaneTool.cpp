// Brivane's mouse down and mouse up, and the selection snapshot they take and
// give back.
#include "frame/brivane/Brivane.h"

#include "frame/Selection.h"

namespace brivane {

using namespace frame;

namespace {

// Selected art of these types, in this order, makes up the snapshot.
constexpr ASInt16 kSnapshotTypes[] = {kCompoundPathArt, kPathArt, kTextPathArt, kSymbolArt,
                                      kTextArt,         kPlacedArt, kRasterArt, kMeshArt};
constexpr ASInt16 kSnapshotTypeCount = static_cast<ASInt16>(sizeof kSnapshotTypes / sizeof kSnapshotTypes[0]);

// Clears every entry equal to a member of the compound path, so members are
// handled only through the compound path that holds them.
ASErr ClearCompoundMembers(AIArtHandle compound, AIArtHandle* entries, ASInt32 count) {
    AIArtHandle child = nullptr;
    ASErr error = Art()->GetArtFirstChild(compound, &child);
    while (error == kNoErr && child != nullptr) {
        for (ASInt32 j = 0; j < count; ++j)
            if (entries[j] == child) entries[j] = nullptr;
        error = Art()->GetArtSibling(child, &child);
    }
    return error;
}

} // namespace

ASErr TakeSelectionSnapshot(BrivaneGlobals& g) {
    AIMatchingArtSpec criteria[kSnapshotTypeCount];
    for (ASInt16 i = 0; i < kSnapshotTypeCount; ++i) criteria[i] = {kSnapshotTypes[i], kArtSelected, kArtSelected};
    ASErr error = TakeSelection(criteria, kSnapshotTypeCount, {g.selectedArt, g.selectedCount});
    if (error != kNoErr || g.selectedArt == nullptr) return error;

    AIArtHandle** matches = g.selectedArt;
    const ASInt32 count = g.selectedCount;
    AIRealRect all{};
    bool first = true;
    for (ASInt32 i = 0; i < count; ++i) {
        AIArtHandle art = (*matches)[i];
        if (art == nullptr) continue;
        AIRealRect bounds{};
        error = Art()->GetArtBounds(art, &bounds);
        ASInt16 type = kUnknownArt;
        if (error == kNoErr) error = Art()->GetArtType(art, &type);
        if (error == kNoErr && type == kCompoundPathArt) error = ClearCompoundMembers(art, *matches, count);
        if (error != kNoErr) {
            DropSelectionSnapshot(g);
            return error;
        }
        if (first) {
            all = bounds;
            first = false;
        } else {
            if (bounds.left < all.left) all.left = bounds.left;
            if (bounds.top > all.top) all.top = bounds.top;
            if (bounds.right > all.right) all.right = bounds.right;
            if (bounds.bottom < all.bottom) all.bottom = bounds.bottom;
        }
    }
    g.selectionCentre.h = (all.left + all.right) / 2.0f;
    g.selectionCentre.v = (all.top + all.bottom) / 2.0f;
    return kNoErr;
}

void DropSelectionSnapshot(BrivaneGlobals& g) { DropSelection({g.selectedArt, g.selectedCount}); }

ASErr MouseDown(AIToolMessage* message) {
    BrivaneGlobals& g = *Globals();
    g.dragStart = message->cursor;
    ASErr error = TakeSelectionSnapshot(g);
    if (error != kNoErr) return error;

    // Per-drag state of the tools that keep some.
    g.windmillScaleState = 100.0f;
    g.paintRunScaleH = 1.0f;
    g.paintRunScaleV = 1.0f;
    g.paintRunOpacity = 1.0f;
    g.paintLastX = g.dragStart.h;
    g.paintLastY = g.dragStart.v;
    g.paintEventCount = 0;
    g.slowdownCounter = 0;
    return kNoErr;
}

ASErr MouseUp(AIToolMessage* /*message*/) {
    DropSelectionSnapshot(*Globals());
    // The host has closed the drag's undo step before mouse up, so this takes
    // nothing of the drag back.
    Undo()->UndoChanges();
    return kNoErr;
}

} // namespace brivane
