#include <cmath>
#include <cstring>
#include <string>

#include "SuiteTestSupport.h"

namespace easel::test {
namespace {

// ---- path style, blend style, art style ----

class Styles : public DocumentSuiteTest {
protected:
    static AIPathStyle sample() {
        AIPathStyle s{};
        s.fillPaint = 1;
        s.fill.color.kind = kFourColor;
        s.fill.color.c[0] = 0.5f;
        s.fill.color.c[1] = 0.2f;
        s.fill.color.c[2] = 0.8f;
        s.fill.color.c[3] = 1.4f;  // kept as given, unclamped
        s.strokePaint = 1;
        s.stroke.color.kind = kThreeColor;
        s.stroke.color.c[0] = 1;
        s.stroke.color.c[1] = 0.25f;
        s.stroke.width = 2.5f;
        s.stroke.cap = kRoundCap;
        s.stroke.join = kBevelJoin;
        s.stroke.miterLimit = 4;
        s.stroke.dashCount = 2;
        s.stroke.dash[0] = 3;
        s.stroke.dash[1] = 1.5f;
        s.stroke.dashOffset = 0.5f;
        s.evenOdd = 1;
        return s;
    }
};

TEST_F(Styles, PathStyleRoundTrips) {
    AIArtHandle p = square(0, 0, 10);
    const AIPathStyle in = sample();
    ASSERT_EQ(style->SetPathStyle(p, &in), kNoErr);
    AIPathStyle out{};
    ASSERT_EQ(style->GetPathStyle(p, &out), kNoErr);
    EXPECT_EQ(out.fillPaint, 1);
    EXPECT_EQ(out.fill.color.kind, kFourColor);
    EXPECT_EQ(out.fill.color.c[2], 0.8f);
    EXPECT_EQ(out.fill.color.c[3], 1.4f);
    EXPECT_EQ(out.stroke.color.kind, kThreeColor);
    EXPECT_EQ(out.stroke.color.c[1], 0.25f);
    EXPECT_EQ(out.stroke.width, 2.5f);
    EXPECT_EQ(out.stroke.cap, kRoundCap);
    EXPECT_EQ(out.stroke.join, kBevelJoin);
    EXPECT_EQ(out.stroke.dashCount, 2);
    EXPECT_EQ(out.stroke.dash[1], 1.5f);
    EXPECT_EQ(out.stroke.dashOffset, 0.5f);
    EXPECT_EQ(out.evenOdd, 1);
    // A duplicate carries the style.
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(p, kPlaceAboveAll, p, &copy), kNoErr);
    ASSERT_EQ(style->GetPathStyle(copy, &out), kNoErr);
    EXPECT_EQ(out.stroke.width, 2.5f);
}

TEST_F(Styles, BadStylesAreRefusedAndLeaveTheOldOne) {
    AIArtHandle p = square(0, 0, 10);
    const AIPathStyle good = sample();
    ASSERT_EQ(style->SetPathStyle(p, &good), kNoErr);
    AIPathStyle bad = good;
    bad.stroke.width = std::nanf("");
    EXPECT_EQ(style->SetPathStyle(p, &bad), kBadParameterErr);
    bad = good;
    bad.fill.color.c[0] = INFINITY;
    EXPECT_EQ(style->SetPathStyle(p, &bad), kBadParameterErr);
    bad = good;
    bad.stroke.dashCount = 7;
    EXPECT_EQ(style->SetPathStyle(p, &bad), kBadParameterErr);
    bad = good;
    bad.fill.color.kind = 9;
    EXPECT_EQ(style->SetPathStyle(p, &bad), kBadParameterErr);
    EXPECT_EQ(style->SetPathStyle(p, nullptr), kBadParameterErr);
    AIPathStyle out{};
    ASSERT_EQ(style->GetPathStyle(p, &out), kNoErr);
    EXPECT_EQ(out.stroke.width, 2.5f);
    EXPECT_EQ(out.fill.color.c[0], 0.5f);

    AIArtHandle group = nullptr;
    ASSERT_EQ(art->NewArt(kGroupArt, kPlaceAboveAll, nullptr, &group), kNoErr);
    EXPECT_EQ(style->GetPathStyle(group, &out), kBadParameterErr);
}

TEST_F(Styles, OpacityAndBlendingMode) {
    AIArtHandle p = square(0, 0, 10);
    AIReal o = 0;
    ASSERT_EQ(blend->GetOpacity(p, &o), kNoErr);
    EXPECT_EQ(o, 1.0f);
    ASBoolean has = 1;
    ASSERT_EQ(artStyle->HasArtStyle(p, &has), kNoErr);
    EXPECT_EQ(has, 0);
    ASSERT_EQ(blend->SetOpacity(p, 0.25f), kNoErr);
    ASSERT_EQ(blend->GetOpacity(p, &o), kNoErr);
    EXPECT_EQ(o, 0.25f);
    EXPECT_EQ(blend->SetOpacity(p, std::nanf("")), kBadParameterErr);
    EXPECT_EQ(blend->SetOpacity(p, 1.5f), kBadParameterErr);
    ASSERT_EQ(blend->GetOpacity(p, &o), kNoErr);
    EXPECT_EQ(o, 0.25f);
    ASSERT_EQ(artStyle->HasArtStyle(p, &has), kNoErr);
    EXPECT_EQ(has, 1);

    ASSERT_EQ(blend->SetBlendingMode(p, kAILuminosityBlendingMode), kNoErr);
    ASInt32 mode = 0;
    ASSERT_EQ(blend->GetBlendingMode(p, &mode), kNoErr);
    EXPECT_EQ(mode, 15);
    EXPECT_EQ(blend->SetBlendingMode(p, 16), kBadParameterErr);
    EXPECT_EQ(blend->SetBlendingMode(p, -1), kBadParameterErr);
    ASSERT_EQ(blend->GetBlendingMode(p, &mode), kNoErr);
    EXPECT_EQ(mode, 15);
}

// ---- tags ----

TEST_F(DocumentSuiteTest, TagsHoldStringsAndReals) {
    AIArtHandle p = square(0, 0, 10);
    ASSERT_EQ(tag->SetTag(p, "brivane", "string", "brivane"), kNoErr);
    const AIReal weight = 2.75f;
    ASSERT_EQ(tag->SetTag(p, "weight", "real", &weight), kNoErr);
    char text[16] = {};
    ASSERT_EQ(tag->GetTag(p, "brivane", "string", text, sizeof text), kNoErr);
    EXPECT_STREQ(text, "brivane");
    char shortText[4] = {};
    ASSERT_EQ(tag->GetTag(p, "brivane", "string", shortText, sizeof shortText), kNoErr);
    EXPECT_STREQ(shortText, "bri");
    AIReal r = 0;
    ASSERT_EQ(tag->GetTag(p, "weight", "real", &r, 0), kNoErr);
    EXPECT_EQ(r, 2.75f);
    EXPECT_EQ(tag->GetTag(p, "weight", "string", text, sizeof text), kBadParameterErr);
    EXPECT_EQ(tag->GetTag(p, "missing", "string", text, sizeof text), kBadParameterErr);
    const AIReal nan = std::nanf("");
    EXPECT_EQ(tag->SetTag(p, "weight", "real", &nan), kBadParameterErr);
    EXPECT_EQ(tag->SetTag(p, "weight", "colour", "x"), kBadParameterErr);

    // Duplicates keep tags.
    AIArtHandle copy = nullptr;
    ASSERT_EQ(art->DuplicateArt(p, kPlaceAboveAll, p, &copy), kNoErr);
    ASBoolean has = 0;
    ASSERT_EQ(tag->HasTag(copy, "brivane", &has), kNoErr);
    EXPECT_EQ(has, 1);
    ASSERT_EQ(tag->DeleteTag(p, "brivane"), kNoErr);
    ASSERT_EQ(tag->HasTag(p, "brivane", &has), kNoErr);
    EXPECT_EQ(has, 0);
    EXPECT_EQ(tag->DeleteTag(p, "brivane"), kBadParameterErr);
    ASSERT_EQ(tag->HasTag(copy, "brivane", &has), kNoErr);
    EXPECT_EQ(has, 1);
}

// ---- swatches ----

TEST_F(DocumentSuiteTest, SwatchesAreCountedFromZeroAndNullPastTheEnd) {
    ASInt32 count = 0;
    ASSERT_EQ(swatches->CountSwatches(nullptr, &count), kNoErr);
    ASSERT_GE(count, 24);
    AISwatchRef s = nullptr;
    char name[32] = {};
    ASSERT_EQ(swatches->GetNthSwatch(nullptr, 0, &s), kNoErr);
    ASSERT_EQ(swatches->GetSwatchName(s, name, sizeof name), kNoErr);
    EXPECT_STREQ(name, "[None]");
    ASSERT_EQ(swatches->GetNthSwatch(nullptr, 1, &s), kNoErr);
    ASSERT_EQ(swatches->GetSwatchName(s, name, sizeof name), kNoErr);
    EXPECT_STREQ(name, "[Registration]");
    ASSERT_EQ(swatches->GetNthSwatch(nullptr, 3, &s), kNoErr);
    AIColor black{};
    ASSERT_EQ(swatches->GetAIColor(s, &black), kNoErr);
    AIColor white{};
    ASSERT_EQ(swatches->GetNthSwatch(nullptr, 2, &s), kNoErr);
    ASSERT_EQ(swatches->GetAIColor(s, &white), kNoErr);
    EXPECT_NE(std::memcmp(&black, &white, sizeof black), 0);

    ASSERT_EQ(swatches->GetNthSwatch(nullptr, count, &s), kNoErr);
    EXPECT_EQ(s, nullptr);
    ASSERT_EQ(swatches->GetNthSwatch(nullptr, -1, &s), kNoErr);
    EXPECT_EQ(s, nullptr);
    AIColor c{};
    EXPECT_EQ(swatches->GetAIColor(nullptr, &c), kBadParameterErr);
    int local = 0;
    EXPECT_EQ(swatches->GetAIColor(reinterpret_cast<AISwatchRef>(&local), &c), kBadParameterErr);
    EXPECT_EQ(swatches->CountSwatches(reinterpret_cast<AISwatchListRef>(&local), &count), kBadParameterErr);
}

// ---- document setup ----

TEST_F(DocumentSuiteTest, DocumentSetupGivesThePageSize) {
    AIDocumentSetup setup{};
    ASSERT_EQ(document->GetDocumentSetup(&setup), kNoErr);
    EXPECT_EQ(setup.width, 612.0f);
    EXPECT_EQ(setup.height, 792.0f);
    // The first two reals, read as a plain array, are width and height.
    const auto* reals = reinterpret_cast<const AIReal*>(&setup);
    EXPECT_EQ(reals[0], 612.0f);
    EXPECT_EQ(reals[1], 792.0f);
    AIDocumentSetup wide{800, 600, 1};
    ASSERT_EQ(document->SetDocumentSetup(&wide), kNoErr);
    ASSERT_EQ(document->GetDocumentSetup(&setup), kNoErr);
    EXPECT_EQ(setup.width, 800.0f);
    AIDocumentSetup bad{std::nanf(""), 600, 1};
    EXPECT_EQ(document->SetDocumentSetup(&bad), kBadParameterErr);
    bad = AIDocumentSetup{-5, 600, 1};
    EXPECT_EQ(document->SetDocumentSetup(&bad), kBadParameterErr);
    ASSERT_EQ(document->GetDocumentSetup(&setup), kNoErr);
    EXPECT_EQ(setup.width, 800.0f);
}

// ---- layers ----

TEST_F(DocumentSuiteTest, NewLayersGoOnTopOrBelowAllWithTheNextFreeName) {
    ASInt32 n = 0;
    ASSERT_EQ(layers->CountLayers(&n), kNoErr);
    ASSERT_EQ(n, 1);
    AILayerHandle top = nullptr, bottom = nullptr;
    ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceAboveAll, &top), kNoErr);
    ASSERT_EQ(layers->InsertLayer(nullptr, kPlaceBelowAll, &bottom), kNoErr);
    ASSERT_EQ(layers->CountLayers(&n), kNoErr);
    ASSERT_EQ(n, 3);
    EXPECT_EQ(nthLayer(0), top);
    EXPECT_EQ(nthLayer(2), bottom);
    char title[32] = {};
    ASSERT_EQ(layers->GetLayerTitle(nthLayer(1), title, sizeof title), kNoErr);
    EXPECT_STREQ(title, "Layer 1");
    ASSERT_EQ(layers->GetLayerTitle(top, title, sizeof title), kNoErr);
    EXPECT_STREQ(title, "Layer 2");
    ASSERT_EQ(layers->GetLayerTitle(bottom, title, sizeof title), kNoErr);
    EXPECT_STREQ(title, "Layer 3");
    ASSERT_EQ(layers->SetLayerTitle(bottom, "Back"), kNoErr);
    ASSERT_EQ(layers->GetLayerTitle(bottom, title, sizeof title), kNoErr);
    EXPECT_STREQ(title, "Back");

    // New art with order 5 lands on the current layer: the layer made last.
    AIArtHandle p = square(0, 0, 10);
    AILayerHandle of = nullptr;
    ASSERT_EQ(art->GetLayerOfArt(p, &of), kNoErr);
    EXPECT_EQ(of, bottom);

    AILayerHandle middle = nullptr;
    ASSERT_EQ(layers->InsertLayer(top, kPlaceBelow, &middle), kNoErr);
    EXPECT_EQ(nthLayer(1), middle);
    EXPECT_EQ(layers->InsertLayer(nullptr, kPlaceAbove, &middle), kBadParameterErr);
    EXPECT_EQ(layers->InsertLayer(nullptr, kPlaceInsideOnTop, &middle), kBadParameterErr);
    EXPECT_EQ(layers->GetNthLayer(4, &middle), kBadParameterErr);
    EXPECT_EQ(layers->GetNthLayer(-1, &middle), kBadParameterErr);
    AILayerHandle current = nullptr;
    ASSERT_EQ(layers->GetCurrentLayer(&current), kNoErr);
    EXPECT_NE(current, nullptr);
    ASBoolean visible = 0;
    ASSERT_EQ(layers->GetLayerVisible(top, &visible), kNoErr);
    EXPECT_EQ(visible, 1);
    int local = 0;
    EXPECT_EQ(layers->GetLayerVisible(reinterpret_cast<AILayerHandle>(&local), &visible), kBadParameterErr);
}

// ---- shapes ----

TEST_F(DocumentSuiteTest, ShapesAreClosedPathsInTheirRectangle) {
    AIArtHandle rect = nullptr, oval = nullptr;
    ASSERT_EQ(shapes->NewRect(50, 10, 20, 40, 0, &rect), kNoErr);
    ASSERT_EQ(shapes->NewOval(50, 10, 20, 40, 0, &oval), kNoErr);
    for (AIArtHandle a : {rect, oval}) {
        AIRealRect r = boundsOf(a);
        EXPECT_NEAR(r.left, 10.0f, 1e-4f);
        EXPECT_NEAR(r.top, 50.0f, 1e-4f);
        EXPECT_NEAR(r.right, 40.0f, 1e-4f);
        EXPECT_NEAR(r.bottom, 20.0f, 1e-4f);
        ASBoolean closed = 0;
        ASSERT_EQ(path->GetPathClosed(a, &closed), kNoErr);
        EXPECT_EQ(closed, 1);
    }
    EXPECT_EQ(shapes->NewRect(std::nanf(""), 0, 0, 1, 0, &rect), kBadParameterErr);
}

// ---- envelopes ----

TEST_F(DocumentSuiteTest, EnvelopesWrapArtKeepTheirWarpAndRelease) {
    AIArtHandle p = square(0, 0, 10);
    AIArtHandle object = nullptr;
    ASSERT_EQ(art->DuplicateArt(p, kPlaceAboveAll, p, &object), kNoErr);
    AIEnvelopeOptions options{0, 50};
    AIArtHandle env = nullptr;
    ASSERT_EQ(envelope->MakeEnvelope(&p, 1, object, &options, &env), kNoErr);
    EXPECT_FALSE(valid(object));  // the envelope object is consumed
    ASInt16 type = 0;
    ASSERT_EQ(art->GetArtType(env, &type), kNoErr);
    EXPECT_EQ(type, kEnvelopeArt);
    AIRealRect r = boundsOf(env);  // no warp yet: the geometry is unchanged
    EXPECT_EQ(r.left, 0.0f);
    EXPECT_EQ(r.right, 10.0f);

    ASInt32 warpStyle = -1;
    AIReal bend = 9, h = 9, v = 9;
    ASBoolean turn = 9;
    ASSERT_EQ(envelope->GetEnvelopeWarp(env, &warpStyle, &bend, &h, &v, &turn), kNoErr);
    EXPECT_EQ(warpStyle, 0);
    ASSERT_EQ(envelope->SetEnvelopeWarp(env, 9, 0.5f, -0.25f, 1, 1), kNoErr);
    ASSERT_EQ(envelope->GetEnvelopeWarp(env, &warpStyle, &bend, &h, &v, &turn), kNoErr);
    EXPECT_EQ(warpStyle, 9);
    EXPECT_EQ(bend, 0.5f);
    EXPECT_EQ(h, -0.25f);
    EXPECT_EQ(v, 1.0f);
    EXPECT_EQ(turn, 1);
    EXPECT_EQ(envelope->SetEnvelopeWarp(env, 16, 0, 0, 0, 0), kBadParameterErr);
    EXPECT_EQ(envelope->SetEnvelopeWarp(env, 1, 1.5f, 0, 0, 0), kBadParameterErr);
    EXPECT_EQ(envelope->SetEnvelopeWarp(env, 1, std::nanf(""), 0, 0, 0), kBadParameterErr);
    EXPECT_EQ(envelope->SetEnvelopeWarp(p, 1, 0, 0, 0, 0), kBadParameterErr);  // not an envelope

    ASSERT_EQ(envelope->ReleaseEnvelope(env), kNoErr);
    EXPECT_FALSE(valid(env));
    EXPECT_TRUE(valid(p));
    EXPECT_EQ(boundsOf(p).right, 10.0f);
    EXPECT_EQ(envelope->MakeEnvelope(&p, 0, nullptr, &options, &env), kBadParameterErr);
    EXPECT_EQ(envelope->MakeEnvelope(&p, 1, p, &options, &env), kBadParameterErr);
}

// ---- suites held but not used by the tools ----

TEST_F(DocumentSuiteTest, PathfinderChecksItsArgumentsAndIsNotOffered) {
    AIArtHandle p = square(0, 0, 10);
    AIArtHandle result = nullptr;
    EXPECT_EQ(pathfinder->DoUniteEffect(&p, 1, &result), kNotImplementedErr);
    EXPECT_EQ(pathfinder->DoUniteEffect(&p, 0, &result), kBadParameterErr);
    ASSERT_EQ(art->DisposeArt(p), kNoErr);
    EXPECT_EQ(pathfinder->DoUniteEffect(&p, 1, &result), kBadParameterErr);
}

}  // namespace
}  // namespace easel::test
