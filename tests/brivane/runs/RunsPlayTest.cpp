// The run tools as a user drives them: scripts played by `easel play` (its
// C++ entry), options set in the tools' real dialogs, and the positions,
// sizes, opacities and colours of the written document checked against the
// values worked out by hand from the tools' rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "Commands.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr double kInch = 71.9467;

struct Piece {
    json art;
    double left = 1e30, bottom = 1e30, right = -1e30, top = -1e30;
    double h() const { return (left + right) / 2; }
    double v() const { return (bottom + top) / 2; }
    double width() const { return right - left; }
    double height() const { return top - bottom; }
    double opacity() const { return art["opacity"].get<double>(); }
    double fill(std::size_t i) const { return art["fill"]["color"]["values"][i].get<double>(); }
    std::pair<double, double> firstAnchor() const {
        const json& s = art.contains("children") ? art["children"][0]["segments"][0] : art["segments"][0];
        return {s[0].get<double>(), s[1].get<double>()};
    }
};

void Extend(Piece& p, const json& art) {
    if (art.contains("segments"))
        for (const auto& s : art["segments"]) {
            p.left = std::min(p.left, s[0].get<double>());
            p.right = std::max(p.right, s[0].get<double>());
            p.bottom = std::min(p.bottom, s[1].get<double>());
            p.top = std::max(p.top, s[1].get<double>());
        }
    if (art.contains("children"))
        for (const auto& c : art["children"]) Extend(p, c);
}

json Segment(double h, double v) { return json::array({h, v, h, v, h, v, 1}); }

json Square(int id, double left, double bottom, double size, const json& fill = {{"kind", "gray"}, {"values", {0.5}}}) {
    json segs = json::array({Segment(left, bottom), Segment(left + size, bottom), Segment(left + size, bottom + size),
                             Segment(left, bottom + size)});
    return {{"id", id}, {"type", "path"}, {"selected", false}, {"closed", true}, {"segments", segs},
            {"fill", {{"paint", true}, {"color", fill}}},
            {"stroke", {{"paint", true}, {"color", {{"kind", "gray"}, {"values", {1}}}}, {"width", 1}}},
            {"opacity", 1}, {"blend", "normal"}};
}

json Options(const std::string& tool, const json& set) {
    return {{"options", {{"tool", tool}, {"set", set}, {"press", "OK"}}}};
}
json Drag(const std::string& tool, const json& events) { return {{"drag", {{"tool", tool}, {"events", events}}}}; }

class RunsPlay : public ::testing::Test {
protected:
    // Plays the steps over a document holding `art` (everything selected
    // first) and returns the top-level art of the written document.
    std::vector<Piece> Play(const json& art, const std::vector<json>& steps) {
        json all = json::array({{{"select", "all"}}});
        for (const auto& s : steps) all.push_back(s);
        const json script = {
            {"document",
             {{"format", "easel-document"}, {"version", 1}, {"seed", 1},
              {"page", {{"width", 400}, {"height", 300}}},
              {"layers", json::array({{{"name", "Layer 1"}, {"visible", true}, {"locked", false}, {"art", art}}})}}},
            {"plugins", {"Brivane"}},
            {"seed", 1},
            {"steps", all}};
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const fs::path file = fs::path(::testing::TempDir()) / ("runs-" + name + ".json");
        std::ofstream(file) << script.dump(1);
        easel::cli::PlayOptions options;
        options.script = file;
        options.output = fs::path(::testing::TempDir()) / ("runs-" + name + ".out.json");
        options.strict = true;
        options.pluginDirs = {EASEL_PLUGIN_DIR};
        std::ostringstream out, err;
        EXPECT_EQ(easel::cli::play(options, out, err), 0) << err.str();
        std::ifstream in(options.output);
        const json doc = json::parse(in, nullptr, false);
        EXPECT_FALSE(doc.is_discarded());
        std::vector<Piece> pieces;
        if (doc.is_discarded()) return pieces;
        for (const auto& layer : doc["layers"])
            for (const auto& a : layer["art"]) {
                Piece p{a};
                Extend(p, a);
                pieces.push_back(p);
            }
        return pieces;
    }
    static const Piece* At(const std::vector<Piece>& pieces, double h, double v) {
        const Piece* found = nullptr;
        for (const Piece& p : pieces)
            if (std::fabs(p.h() - h) < 1e-3 && std::fabs(p.v() - v) < 1e-3) {
                EXPECT_EQ(found, nullptr) << "two pieces at " << h << ", " << v;
                found = &p;
            }
        return found;
    }
    static void ExpectPiece(const std::vector<Piece>& pieces, double h, double v, double width, double height) {
        const Piece* p = At(pieces, h, v);
        ASSERT_NE(p, nullptr) << "nothing at " << h << ", " << v;
        EXPECT_NEAR(p->width(), width, 1e-3) << h << ", " << v;
        EXPECT_NEAR(p->height(), height, 1e-3) << h << ", " << v;
    }
};

// ---- Soft center ----

TEST_F(RunsPlay, SoftCenterGapOfOneInchEitherWayIsSymmetricAboutTheCursor) {
    const json art = json::array({Square(1, 0, 0, 10)});
    const json inches = {{"50", 2}, {"55", 1}, {"56", " Initial gap in inches"}};
    auto pieces = Play(art, {Options("Soft center", inches), Drag("Soft center", {{0, 0}, {105, 5}})});
    ASSERT_EQ(pieces.size(), 2u);
    ExpectPiece(pieces, 5, 5, 10, 10);
    ExpectPiece(pieces, 105 - kInch, 5, 10, 10);
    json negative = inches;
    negative["55"] = -1;
    pieces = Play(art, {Options("Soft center", negative), Drag("Soft center", {{0, 0}, {105, 5}})});
    ExpectPiece(pieces, 105 + kInch, 5, 10, 10);
}

// ---- Scaledown ----

TEST_F(RunsPlay, ScaledownTwoCopiesScaleTheDuplicateOnce) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}),
                             {Options("Scaledown", {{"140", 2}, {"143", 60}}), Drag("Scaledown", {{0, 0}, {50, 20}})});
    ASSERT_EQ(pieces.size(), 2u);
    ExpectPiece(pieces, 5, 5, 10, 10);
    ExpectPiece(pieces, 55, 25, 9, 6);
}

TEST_F(RunsPlay, ScaledownApplyTwentyTwoHalvesTheObjectItself) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}), {Options("Scaledown", {{"140", 3}, {"153", " Apply 22"}}),
                                                                  Drag("Scaledown", {{0, 0}, {40, 0}})});
    ASSERT_EQ(pieces.size(), 3u);
    ExpectPiece(pieces, 5, 5, 5, 5); // copy 0: (1, 1) halved
    // Copy 1 mirrors the halved object at 0.9; copy 2 halves it at 0.81.
    ExpectPiece(pieces, 25, 5, 4.5, 4.5);
    ExpectPiece(pieces, 45, 5, 2.025, 2.025);
    const auto corner = At(pieces, 25, 5)->firstAnchor();
    EXPECT_NEAR(corner.first, 27.25, 1e-4);
    EXPECT_NEAR(corner.second, 7.25, 1e-4);
}

TEST_F(RunsPlay, ScaledownApplyTwentyNineHalvesEvenObjectsAndMirrorsOddOnes) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10), Square(2, 100, 0, 10)}),
                             {Options("Scaledown", {{"140", 2}, {"153", " Apply 29"}, {"141", false}}),
                              Drag("Scaledown", {{0, 0}, {0, 50}})});
    ASSERT_EQ(pieces.size(), 4u);
    ExpectPiece(pieces, 5, 5, 5, 5);
    ExpectPiece(pieces, 105, 5, 10, 10);
    EXPECT_NEAR(At(pieces, 105, 5)->firstAnchor().first, 110, 1e-4) << "mirrored through its centre";
    ExpectPiece(pieces, 5, 55, 4.5, 4.5);
    ExpectPiece(pieces, 105, 55, 4.5, 4.5);
}

TEST_F(RunsPlay, ScaledownNegativeScaleAlternatesMirrors) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}),
                             {Options("Scaledown", {{"140", 4}, {"142", -50}}), Drag("Scaledown", {{0, 0}, {30, 0}})});
    ASSERT_EQ(pieces.size(), 4u);
    const double widths[] = {10, 5, 2.5, 1.25};
    const double firstCorner[] = {0, 17.5, 23.75, 35.625}; // left edge, then right, left, right
    for (int k = 0; k < 4; ++k) {
        ExpectPiece(pieces, 5 + 10 * k, 5, widths[k], std::pow(0.9, k) * 10);
        EXPECT_NEAR(At(pieces, 5 + 10 * k, 5)->firstAnchor().first, firstCorner[k], 1e-4) << k;
    }
}

TEST_F(RunsPlay, ScaledownCreateRandomKeepsTheScaleOfTheSkippedCopyForTheNextMade) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}),
                             {Options("Scaledown", {{"151", true}}), Drag("Scaledown", {{0, 0}, {90, 0}})});
    std::vector<const Piece*> made;
    for (const Piece& p : pieces)
        if (p.art.contains("tags") && p.h() > 10) made.push_back(&p);
    std::sort(made.begin(), made.end(), [](auto* a, auto* b) { return a->h() < b->h(); });
    ASSERT_FALSE(made.empty());
    ASSERT_LT(made.size(), 9u) << "seed 1 skips some copies";
    double size = 10;
    for (const Piece* p : made) {
        size *= 0.9;
        EXPECT_NEAR(p->width(), size, 1e-3) << "copy at " << p->h();
    }
}

TEST_F(RunsPlay, ScaledownObjectCopiesAdvanceWithAnEmptiedLastEntry) {
    json compound = {{"id", 5}, {"type", "compound"}, {"selected", true},
                     {"children", json::array({Square(6, 100, 0, 10), Square(7, 120, 0, 10)})}};
    const auto pieces = Play(json::array({Square(1, 0, 0, 10), compound}),
                             {Options("Scaledown", {{"140", 3}, {"155", true}, {"141", false}}),
                              Drag("Scaledown", {{0, 0}, {0, 40}})});
    ASSERT_EQ(pieces.size(), 6u);
    ExpectPiece(pieces, 5, 25, 9, 9);
    ExpectPiece(pieces, 5, 45, 8.1, 8.1);
    ExpectPiece(pieces, 115, 25, 27, 9);
    ExpectPiece(pieces, 115, 45, 24.3, 8.1);
}

// ---- Bouncealong ----

TEST_F(RunsPlay, BouncealongDefaultScalesRiseAndFall) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}), {Drag("Bouncealong", {{0, 0}, {195, 0}, {390, 0}})});
    ASSERT_EQ(pieces.size(), 40u);
    const double first[] = {1, 0.9, 0.81, 0.729, 0.6561, 0.729, 0.81, 0.9, 1, 1.0 / 0.9};
    const double later[] = {0.9, 0.81, 0.729, 0.6561, 0.59049, 0.6561, 0.729, 0.81, 0.9, 1};
    for (int c = 0; c < 10; ++c) ExpectPiece(pieces, 5 + 10 * c, 5, 10 * first[c], 10 * first[c]);
    for (int b = 1; b < 4; ++b)
        for (int c = 0; c < 10; ++c) ExpectPiece(pieces, 5 + 10 * (10 * b + c), 5, 10 * later[c], 10 * later[c]);
}

TEST_F(RunsPlay, BouncealongNoBounceDrawsNothing) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}),
                             {Options("Bouncealong", {{"183", 0}}), Drag("Bouncealong", {{0, 0}, {90, 0}})});
    ASSERT_EQ(pieces.size(), 1u);
    EXPECT_FALSE(pieces[0].art.contains("tags"));
}

// ---- Paint ----

TEST_F(RunsPlay, PaintRunningScaleAndFadeFollowTheDrawnEvents) {
    const auto pieces = Play(json::array({Square(1, 0, 0, 10)}),
                             {Options("Paint", {{"250", 50}, {"252", 50}, {"255", false}}),
                              Drag("Paint", {{0, 0}, {20, 0}, {40, 0}, {60, 0}})});
    ASSERT_EQ(pieces.size(), 4u);
    const double widths[] = {10, 5, 2.5};
    const double opacities[] = {1, 0.5, 0.25};
    for (int e = 0; e < 3; ++e) {
        ExpectPiece(pieces, 25 + 20 * e, 5, widths[e], 10);
        EXPECT_NEAR(At(pieces, 25 + 20 * e, 5)->opacity(), opacities[e], 1e-6);
    }
}

TEST_F(RunsPlay, PaintIntensityTenOnThreeColourAndProcessFills) {
    const auto pieces = Play(
        json::array({Square(1, 0, 0, 10, {{"kind", "rgb"}, {"values", {0.5, 0.2, 0.1}}}),
                     Square(2, 0, 100, 10, {{"kind", "cmyk"}, {"values", {0.2, 0.4, 0.6, 0.1}}})}),
        {Options("Paint", {{"254", 10}, {"255", false}}), Drag("Paint", {{0, 0}, {20, 0}, {40, 0}, {60, 0}})});
    for (int e = 1; e <= 3; ++e) {
        const double k = 1 + e / 10.0;
        const Piece* rgb = At(pieces, 5 + 20 * e, 5);
        const Piece* cmyk = At(pieces, 5 + 20 * e, 105);
        ASSERT_NE(rgb, nullptr);
        ASSERT_NE(cmyk, nullptr);
        EXPECT_NEAR(rgb->fill(0), 0.5 * k, 1e-6) << e;
        EXPECT_NEAR(rgb->fill(2), 0.1 * k, 1e-6) << e;
        EXPECT_NEAR(cmyk->fill(1), 0.4 * k, 1e-6) << e;
        EXPECT_NEAR(cmyk->fill(3), 0.1 * k, 1e-6) << e;
    }
}

TEST_F(RunsPlay, PaintFollowTurnsTheFirstCopyBackTowardsTheDragStart) {
    json rect = Square(1, 0, 0, 10);
    rect["segments"] = json::array({Segment(0, 0), Segment(20, 0), Segment(20, 10), Segment(0, 10)});
    const auto pieces = Play(json::array({rect}), {Drag("Paint", {{0, 0}, {0, 30}})});
    ASSERT_EQ(pieces.size(), 2u);
    ExpectPiece(pieces, 10, 35, 10, 20);
    const auto corner = At(pieces, 10, 35)->firstAnchor();
    EXPECT_NEAR(corner.first, 5, 1e-4);
    EXPECT_NEAR(corner.second, 45, 1e-4);
}

} // namespace
