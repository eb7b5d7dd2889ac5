// Brivane's start-up defaults: every option of every tool, as one table.
#include "frame/brivane/BrivaneGlobals.h"

namespace brivane {

namespace {

// One option field and its default; exactly one of the two fields is set.
struct Default {
    ASInt32 BrivaneGlobals::* integer;
    AIReal BrivaneGlobals::* real;
    ASInt32 integerValue;
    AIReal realValue;
};

constexpr Default Int(ASInt32 BrivaneGlobals::* field, ASInt32 value) { return {field, nullptr, value, 0.0f}; }
constexpr Default Real(AIReal BrivaneGlobals::* field, AIReal value) { return {nullptr, field, 0, value}; }

// Drag state (the running scales and opacity, the last painted point, the
// windmill's running scale), the dialog bounds, scaledownReserved and the
// Tile grid fields are not options and are left as they are.
constexpr Default kDefaults[] = {
    // Shared options.
    Int(&BrivaneGlobals::layerPerEvent, 0),
    Int(&BrivaneGlobals::usePressure, 0),
    Int(&BrivaneGlobals::randomOpacity, 0),
    Int(&BrivaneGlobals::randomBlend, 0),
    Int(&BrivaneGlobals::randomWidth, 0),
    Int(&BrivaneGlobals::placement, 0),
    Int(&BrivaneGlobals::lineWidthMode, 0),
    Int(&BrivaneGlobals::fillPeriod, 0),
    Int(&BrivaneGlobals::strokePeriod, 0),
    Int(&BrivaneGlobals::patternCentre, 0),
    Int(&BrivaneGlobals::slowdown, 0),
    Int(&BrivaneGlobals::fillMode, 0),
    Int(&BrivaneGlobals::strokeMode, 0),
    Int(&BrivaneGlobals::fillSwatch, 2),
    Int(&BrivaneGlobals::strokeSwatch, 2),

    // Rows Columns.
    Int(&BrivaneGlobals::rcColumns, 10),
    Int(&BrivaneGlobals::rcRows, 10),
    Int(&BrivaneGlobals::rcCheckerboard, 0),
    Int(&BrivaneGlobals::rcHApply, 0),
    Int(&BrivaneGlobals::rcVApply, 0),
    Int(&BrivaneGlobals::rcTurn, 0),
    Real(&BrivaneGlobals::rcRotation, 0.0f),
    Real(&BrivaneGlobals::rcJitter, 0.0f),
    Int(&BrivaneGlobals::rcGoldenH, 0),
    Int(&BrivaneGlobals::rcGoldenV, 0),
    Int(&BrivaneGlobals::rcBox, 0),
    Int(&BrivaneGlobals::rcSelected, 1),
    Int(&BrivaneGlobals::rcLocked, 0),
    Int(&BrivaneGlobals::rcTrail, 0),
    Int(&BrivaneGlobals::rcTouch, 0),
    Int(&BrivaneGlobals::rcWarp, 0),
    Int(&BrivaneGlobals::rcCreate, 0),
    Int(&BrivaneGlobals::rcRotationR, 0),

    // Drag.
    Real(&BrivaneGlobals::dragRotation, 0.0f),
    Real(&BrivaneGlobals::dragJitterH, 0.0f),
    Real(&BrivaneGlobals::dragJitterV, 0.0f),
    Int(&BrivaneGlobals::dragCopies, 10),
    Int(&BrivaneGlobals::dragSelected, 1),
    Int(&BrivaneGlobals::dragLocked, 0),
    Int(&BrivaneGlobals::dragTrail, 0),
    Int(&BrivaneGlobals::dragWarp, 0),
    Int(&BrivaneGlobals::dragCreate, 0),

    // Soft center.
    Int(&BrivaneGlobals::softCopies, 10),
    Int(&BrivaneGlobals::softGapUnit, 0),
    Real(&BrivaneGlobals::softJitter, 0.0f),
    Real(&BrivaneGlobals::softGap, 0.0f),
    Int(&BrivaneGlobals::softLocked, 0),
    Int(&BrivaneGlobals::softTrail, 0),
    Int(&BrivaneGlobals::softWarp, 0),
    Int(&BrivaneGlobals::softCreate, 0),

    // Framed.
    Int(&BrivaneGlobals::frameCopiesWide, 10),
    Int(&BrivaneGlobals::frameCopiesHigh, 10),
    Int(&BrivaneGlobals::frameEdge, 0),
    Real(&BrivaneGlobals::frameJitter, 0.0f),
    Real(&BrivaneGlobals::frameRotation, 0.0f),
    Real(&BrivaneGlobals::frameScale, 100.0f),
    Int(&BrivaneGlobals::frameSelected, 1),
    Int(&BrivaneGlobals::frameWarp, 0),
    Int(&BrivaneGlobals::frameCreate, 0),
    Int(&BrivaneGlobals::frameDelete, 1),
    Int(&BrivaneGlobals::frameLocked, 0),
    Int(&BrivaneGlobals::frameTrail, 0),

    // Rim random.
    Int(&BrivaneGlobals::rimCopies, 10),
    Real(&BrivaneGlobals::rimScaleMin, 97.0f),
    Real(&BrivaneGlobals::rimScaleMax, 103.0f),
    Real(&BrivaneGlobals::rimJitter, 0.0f),
    Int(&BrivaneGlobals::rimLocked, 0),
    Int(&BrivaneGlobals::rimSelected, 1),
    Int(&BrivaneGlobals::rimApply, 1),
    Int(&BrivaneGlobals::rimTrail, 0),
    Int(&BrivaneGlobals::rimWarp, 0),
    Int(&BrivaneGlobals::rimRotate, 1),

    // Windmill (windmillScaleState is drag state, set at mouse down).
    Int(&BrivaneGlobals::windmillCopies, 10),
    Int(&BrivaneGlobals::windmillUnits, 0),
    Int(&BrivaneGlobals::windmillApply, 0),
    Int(&BrivaneGlobals::windmillObjectCopies, 0),
    Int(&BrivaneGlobals::windmillSelected, 1),
    Int(&BrivaneGlobals::windmillAlign, 1),
    Int(&BrivaneGlobals::windmillDelete, 1),
    Int(&BrivaneGlobals::windmillMatch, 0),
    Int(&BrivaneGlobals::windmillTrail, 0),
    Int(&BrivaneGlobals::windmillWarp, 0),
    Int(&BrivaneGlobals::windmillCreate, 0),
    Real(&BrivaneGlobals::windmillScale, 100.0f),
    Real(&BrivaneGlobals::windmillInitial, 0.0f),
    Real(&BrivaneGlobals::windmillInitialScale, 100.0f),
    Real(&BrivaneGlobals::windmillAltShift, 0.0f),
    Real(&BrivaneGlobals::windmillRotation, 0.0f),
    Real(&BrivaneGlobals::windmillJitter, 0.0f),
    Real(&BrivaneGlobals::windmillRotateFactor, 100.0f),

    // Scaledown (scaledownReserved is left as it is).
    Real(&BrivaneGlobals::scaledownScaleH, 90.0f),
    Real(&BrivaneGlobals::scaledownScaleV, 90.0f),
    Real(&BrivaneGlobals::scaledownOpacityFade, 100.0f),
    Real(&BrivaneGlobals::scaledownJitter, 0.0f),
    Real(&BrivaneGlobals::scaledownTurn, 0.0f),
    Int(&BrivaneGlobals::scaledownCopies, 10),
    Int(&BrivaneGlobals::scaledownTwists, 0),
    Int(&BrivaneGlobals::scaledownApply, 0),
    Int(&BrivaneGlobals::scaledownSelected, 1),
    Int(&BrivaneGlobals::scaledownLocked, 0),
    Int(&BrivaneGlobals::scaledownTrail, 0),
    Int(&BrivaneGlobals::scaledownWarp, 0),
    Int(&BrivaneGlobals::scaledownCreate, 0),
    Int(&BrivaneGlobals::scaledownObjectCopies, 0),

    // Bouncealong.
    Int(&BrivaneGlobals::bounceCopies, 10),
    Int(&BrivaneGlobals::bounceBounces, 4),
    Real(&BrivaneGlobals::bounceScale, 90.0f),
    Real(&BrivaneGlobals::bounceJitter, 0.0f),
    Int(&BrivaneGlobals::bounceCrunch, 0),
    Int(&BrivaneGlobals::bounceLocked, 0),
    Int(&BrivaneGlobals::bounceTrail, 0),
    Int(&BrivaneGlobals::bounceWarp, 0),
    Int(&BrivaneGlobals::bounceCreate, 0),
    Int(&BrivaneGlobals::bounceSelected, 1),

    // Spiraled.
    Int(&BrivaneGlobals::spiralSelected, 1),
    Int(&BrivaneGlobals::spiralAlign, 1),
    Int(&BrivaneGlobals::spiralDelete, 1),
    Int(&BrivaneGlobals::spiralMatch, 0),
    Int(&BrivaneGlobals::spiralReverse, 0),
    Int(&BrivaneGlobals::spiralTrail, 0),
    Int(&BrivaneGlobals::spiralWarp, 0),
    Int(&BrivaneGlobals::spiralCreate, 0),
    Real(&BrivaneGlobals::spiralRotation, 0.0f),
    Real(&BrivaneGlobals::spiralJitter, 0.0f),
    Real(&BrivaneGlobals::spiralScale, 99.0f),
    Real(&BrivaneGlobals::spiralDecay, 90.0f),
    Int(&BrivaneGlobals::spiralCopies, 10),
    Int(&BrivaneGlobals::spiralArms, 3),

    // Checkerboard.
    Int(&BrivaneGlobals::checkerColumns, 10),
    Int(&BrivaneGlobals::checkerRows, 10),
    Int(&BrivaneGlobals::checkerSelected, 1),
    Int(&BrivaneGlobals::checkerLocked, 0),
    Int(&BrivaneGlobals::checkerTouch, 0),
    Int(&BrivaneGlobals::checkerWarp, 0),
    Int(&BrivaneGlobals::checkerCreate, 0),
    Real(&BrivaneGlobals::checkerRotation, 0.0f),
    Real(&BrivaneGlobals::checkerJitter, 0.0f),

    // Paint (the running scales, opacity and last point are set at mouse down).
    Int(&BrivaneGlobals::paintTrail, 1),
    Real(&BrivaneGlobals::paintScaleH, 100.0f),
    Real(&BrivaneGlobals::paintScaleV, 100.0f),
    Int(&BrivaneGlobals::paintFollow, 1),
    Int(&BrivaneGlobals::paintWarp, 0),
    Int(&BrivaneGlobals::paintRotationR, 0),
    Real(&BrivaneGlobals::paintOpacityFade, 100.0f),
    Real(&BrivaneGlobals::paintJitter, 0.0f),
    Real(&BrivaneGlobals::paintIntensity, 0.0f),
    Int(&BrivaneGlobals::paintEventCount, 0),
    Int(&BrivaneGlobals::paintCreate, 0),

    // Tile (the grid fields are written by the layout).
    Real(&BrivaneGlobals::tileJitter, 0.0f),
    Int(&BrivaneGlobals::tileLocked, 0),

    // Background.
    Int(&BrivaneGlobals::backCopies, 70),
    Real(&BrivaneGlobals::backFrame, 50.0f),
    Real(&BrivaneGlobals::backScaleMin, 97.0f),
    Real(&BrivaneGlobals::backScaleMax, 103.0f),
    Int(&BrivaneGlobals::backDelete, 1),
    Int(&BrivaneGlobals::backLocked, 0),
    Int(&BrivaneGlobals::backSelected, 1),
    Int(&BrivaneGlobals::backApply, 1),
    Int(&BrivaneGlobals::backTrail, 0),
    Int(&BrivaneGlobals::backWarp, 0),
    Int(&BrivaneGlobals::backRotate, 1),
};

} // namespace

void SetDefaults(BrivaneGlobals& g) {
    for (const Default& d : kDefaults) {
        if (d.integer != nullptr)
            g.*d.integer = d.integerValue;
        else
            g.*d.real = d.realValue;
    }
}

} // namespace brivane
