// Tests acquire suites the way a plug-in does: by name and version from a
// registry that registerAISuites filled.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "model/Document.h"
#include "core/HostState.h"
#include "host/Host.h"
#include "suites/RegisterAISuites.h"

namespace easel::test {

template <class Suite>
const Suite* acquire(const SuiteRegistry& registry, const char* name, int32_t version) {
    return static_cast<const Suite*>(registry.find(name, version));
}

class SuiteTest : public ::testing::Test {
protected:
    void SetUp() override {
        hostState().reset();
        registerAISuites(registry);
        memory = acquire<AIMdMemorySuite>(registry, kAIMdMemorySuite, kAIMdMemorySuiteVersion);
        math = acquire<AIRealMathSuite>(registry, kAIRealMathSuite, kAIRealMathSuiteVersion);
        user = acquire<AIUserSuite>(registry, kAIUserSuite, kAIUserSuiteVersion);
        random = acquire<AIRandomSuite>(registry, kAIRandomSuite, kAIRandomSuiteVersion);
        tool = acquire<AIToolSuite>(registry, kAIToolSuite, kAIToolSuiteVersion);
        prefs = acquire<AIPreferenceSuite>(registry, kAIPreferenceSuite, kAIPreferenceSuiteVersion);
        ASSERT_NE(memory, nullptr);
        ASSERT_NE(math, nullptr);
        ASSERT_NE(user, nullptr);
        ASSERT_NE(random, nullptr);
        ASSERT_NE(tool, nullptr);
        ASSERT_NE(prefs, nullptr);
    }
    void TearDown() override { hostState().reset(); }

    SuiteRegistry registry;
    const AIMdMemorySuite* memory = nullptr;
    const AIRealMathSuite* math = nullptr;
    const AIUserSuite* user = nullptr;
    const AIRandomSuite* random = nullptr;
    const AIToolSuite* tool = nullptr;
    const AIPreferenceSuite* prefs = nullptr;
};

// A document of its own made current, and every AI suite acquired.
class DocumentSuiteTest : public SuiteTest {
protected:
    void SetUp() override {
        SuiteTest::SetUp();
        doc = newDocument(612, 792);
        ASSERT_NE(doc, nullptr);
        hostState().document = doc.get();
        art = acquire<AIArtSuite>(registry, kAIArtSuite, kAIArtSuiteVersion);
        path = acquire<AIPathSuite>(registry, kAIPathSuite, kAIPathSuiteVersion);
        style = acquire<AIPathStyleSuite>(registry, kAIPathStyleSuite, kAIPathStyleSuiteVersion);
        undo = acquire<AIUndoSuite>(registry, kAIUndoSuite, kAIUndoSuiteVersion);
        matching = acquire<AIMatchingArtSuite>(registry, kAIMatchingArtSuite, kAIMatchingArtSuiteVersion);
        transform = acquire<AITransformArtSuite>(registry, kAITransformArtSuite, kAITransformArtSuiteVersion);
        tag = acquire<AITagSuite>(registry, kAITagSuite, kAITagSuiteVersion);
        blend = acquire<AIBlendStyleSuite>(registry, kAIBlendStyleSuite, kAIBlendStyleSuiteVersion);
        artStyle = acquire<AIArtStyleSuite>(registry, kAIArtStyleSuite, kAIArtStyleSuiteVersion);
        swatches = acquire<AISwatchListSuite>(registry, kAISwatchListSuite, kAISwatchListSuiteVersion);
        shapes = acquire<AIShapeConstructionSuite>(registry, kAIShapeConstructionSuite,
                                                   kAIShapeConstructionSuiteVersion);
        document = acquire<AIDocumentSuite>(registry, kAIDocumentSuite, kAIDocumentSuiteVersion);
        envelope = acquire<AIEnvelopeSuite>(registry, kAIEnvelopeSuite, kAIEnvelopeSuiteVersion);
        layers = acquire<AILayerSuite>(registry, kAILayerSuite, kAILayerSuiteVersion);
        pathfinder = acquire<AIPathfinderSuite>(registry, kAIPathfinderSuite, kAIPathfinderSuiteVersion);
        for (const void* s : std::initializer_list<const void*>{
                 art, path, style, undo, matching, transform, tag, blend, artStyle, swatches, shapes,
                 document, envelope, layers, pathfinder})
            ASSERT_NE(s, nullptr);
    }
    void TearDown() override {
        hostState().document = nullptr;
        doc.reset();
        SuiteTest::TearDown();
    }

    static AIPathSegment corner(AIReal h, AIReal v) { return AIPathSegment{{h, v}, {h, v}, {h, v}, 1}; }

    // A path of the given segments, placed by order relative to prep.
    AIArtHandle makePath(const std::vector<AIPathSegment>& segs, bool closed = false,
                         ASInt16 order = kPlaceAboveAll, AIArtHandle prep = nullptr) {
        AIArtHandle a = nullptr;
        EXPECT_EQ(art->NewArt(kPathArt, order, prep, &a), kNoErr);
        const auto n = static_cast<ASInt16>(segs.size());
        EXPECT_EQ(path->SetPathSegmentCount(a, n), kNoErr);
        EXPECT_EQ(path->SetPathSegments(a, 0, n, segs.data()), kNoErr);
        EXPECT_EQ(path->SetPathClosed(a, closed ? 1 : 0), kNoErr);
        return a;
    }
    AIArtHandle square(AIReal left, AIReal bottom, AIReal size, ASInt16 order = kPlaceAboveAll,
                       AIArtHandle prep = nullptr) {
        return makePath({corner(left, bottom), corner(left + size, bottom), corner(left + size, bottom + size),
                         corner(left, bottom + size)},
                        true, order, prep);
    }
    void select(AIArtHandle a) { ASSERT_EQ(art->SetArtUserAttr(a, kArtSelected, kArtSelected), kNoErr); }
    AIRealRect boundsOf(AIArtHandle a) {
        AIRealRect r{};
        EXPECT_EQ(art->GetArtBounds(a, &r), kNoErr);
        return r;
    }
    bool valid(AIArtHandle a) {
        ASBoolean v = 0;
        EXPECT_EQ(art->ValidArt(a, &v), kNoErr);
        return v != 0;
    }
    AIArtHandle above(AIArtHandle a) {
        AIArtHandle s = nullptr;
        EXPECT_EQ(art->GetArtSibling(a, &s), kNoErr);
        return s;
    }
    // The art of a layer, bottom first.
    std::vector<AIArtHandle> artOf(AILayerHandle layer) {
        std::vector<AIArtHandle> out;
        AIArtHandle a = nullptr;
        EXPECT_EQ(art->GetFirstArtOfLayer(layer, &a), kNoErr);
        for (; a != nullptr; a = above(a)) out.push_back(a);
        return out;
    }
    AILayerHandle nthLayer(ASInt32 n) {
        AILayerHandle l = nullptr;
        EXPECT_EQ(layers->GetNthLayer(n, &l), kNoErr);
        return l;
    }

    std::unique_ptr<Document> doc;
    const AIArtSuite* art = nullptr;
    const AIPathSuite* path = nullptr;
    const AIPathStyleSuite* style = nullptr;
    const AIUndoSuite* undo = nullptr;
    const AIMatchingArtSuite* matching = nullptr;
    const AITransformArtSuite* transform = nullptr;
    const AITagSuite* tag = nullptr;
    const AIBlendStyleSuite* blend = nullptr;
    const AIArtStyleSuite* artStyle = nullptr;
    const AISwatchListSuite* swatches = nullptr;
    const AIShapeConstructionSuite* shapes = nullptr;
    const AIDocumentSuite* document = nullptr;
    const AIEnvelopeSuite* envelope = nullptr;
    const AILayerSuite* layers = nullptr;
    const AIPathfinderSuite* pathfinder = nullptr;
};

}  // namespace easel::test
