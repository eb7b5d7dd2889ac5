// Internal: the static table of every AI suite, one accessor per unit.
#pragma once

#include "host/Host.h"

namespace easel::suites {

const AIMdMemorySuite* mdMemorySuite();
const AIRealMathSuite* realMathSuite();
const AIArtSuite* artSuite();
const AIUserSuite* userSuite();
const AIPathSuite* pathSuite();
const AIPathfinderSuite* pathfinderSuite();
const AIPathStyleSuite* pathStyleSuite();
const AIUndoSuite* undoSuite();
const AIMatchingArtSuite* matchingArtSuite();
const AITransformArtSuite* transformArtSuite();
const AITagSuite* tagSuite();
const AIRandomSuite* randomSuite();
const AIBlendStyleSuite* blendStyleSuite();
const AIArtStyleSuite* artStyleSuite();
const AISwatchListSuite* swatchListSuite();
const AIShapeConstructionSuite* shapeConstructionSuite();
const AIPreferenceSuite* preferenceSuite();
const AIDocumentSuite* documentSuite();
const AIEnvelopeSuite* envelopeSuite();
const AILayerSuite* layerSuite();
const AIToolSuite* toolSuite();

}  // namespace easel::suites
