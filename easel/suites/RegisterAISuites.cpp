#include "suites/RegisterAISuites.h"

#include "SuiteTables.h"

namespace easel {

void registerAISuites(SuiteRegistry& registry) {
    using namespace suites;
    registry.add(kAIMdMemorySuite, kAIMdMemorySuiteVersion, mdMemorySuite());
    registry.add(kAIRealMathSuite, kAIRealMathSuiteVersion, realMathSuite());
    registry.add(kAIArtSuite, kAIArtSuiteVersion, artSuite());
    registry.add(kAIUserSuite, kAIUserSuiteVersion, userSuite());
    registry.add(kAIPathSuite, kAIPathSuiteVersion, pathSuite());
    registry.add(kAIPathfinderSuite, kAIPathfinderSuiteVersion, pathfinderSuite());
    registry.add(kAIPathStyleSuite, kAIPathStyleSuiteVersion, pathStyleSuite());
    registry.add(kAIUndoSuite, kAIUndoSuiteVersion, undoSuite());
    registry.add(kAIMatchingArtSuite, kAIMatchingArtSuiteVersion, matchingArtSuite());
    registry.add(kAITransformArtSuite, kAITransformArtSuiteVersion, transformArtSuite());
    registry.add(kAITagSuite, kAITagSuiteVersion, tagSuite());
    registry.add(kAIRandomSuite, kAIRandomSuiteVersion, randomSuite());
    registry.add(kAIBlendStyleSuite, kAIBlendStyleSuiteVersion, blendStyleSuite());
    registry.add(kAIArtStyleSuite, kAIArtStyleSuiteVersion, artStyleSuite());
    registry.add(kAISwatchListSuite, kAISwatchListSuiteVersion, swatchListSuite());
    registry.add(kAIShapeConstructionSuite, kAIShapeConstructionSuiteVersion, shapeConstructionSuite());
    registry.add(kAIPreferenceSuite, kAIPreferenceSuiteVersion, preferenceSuite());
    registry.add(kAIDocumentSuite, kAIDocumentSuiteVersion, documentSuite());
    registry.add(kAIEnvelopeSuite, kAIEnvelopeSuiteVersion, envelopeSuite());
    registry.add(kAILayerSuite, kAILayerSuiteVersion, layerSuite());
    registry.add(kAIToolSuite, kAIToolSuiteVersion, toolSuite());
}

}  // namespace easel
