// The grid tools as a user drives them: scripts played by `easel play` (its
// C++ entry), options set in the tools' real dialogs, and the positions and
// sizes of the written document checked against the values worked out by
// hand from the tools' rules.
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

struct Piece {
    int64_t id;
    double left, bottom, right, top;
    json first; // the first segment
    double h() const { return (left + right) / 2; }
    double v() const { return (bottom + top) / 2; }
    double width() const { return right - left; }
    double height() const { return top - bottom; }
};

json Segment(double h, double v) { return json::array({h, v, h, v, h, v, 1}); }

json PathArt(int id, const std::vector<std::pair<double, double>>& points) {
    json segs = json::array();
    for (auto [h, v] : points) segs.push_back(Segment(h, v));
    return {{"id", id}, {"type", "path"}, {"selected", true}, {"closed", true}, {"segments", segs},
            {"fill", {{"paint", true}, {"color", {{"kind", "gray"}, {"values", {0.5}}}}}},
            {"stroke", {{"paint", true}, {"color", {{"kind", "gray"}, {"values", {1}}}}, {"width", 1}}},
            {"opacity", 1}, {"blend", "normal"}};
}

json SquareArt(int id, double left, double bottom, double size) {
    return PathArt(id, {{left, bottom}, {left + size, bottom}, {left + size, bottom + size}, {left, bottom + size}});
}

class GridPlay : public ::testing::Test {
protected:
    // Plays a script over a document holding `art`, with the option steps
    // given and then one drag of `tool` from (0, 0) to `to` in four events.
    std::vector<Piece> Play(const json& art, const std::string& tool, const json& options, double toH, double toV) {
        json steps = json::array();
        if (!options.is_null())
            steps.push_back({{"options", {{"tool", tool}, {"set", options}, {"press", "OK"}}}});
        steps.push_back({{"drag", {{"tool", tool}, {"from", {0, 0}}, {"to", {toH, toV}}, {"steps", 4}}}});
        const json script = {
            {"document",
             {{"format", "easel-document"}, {"version", 1}, {"seed", 1},
              {"page", {{"width", 400}, {"height", 300}}},
              {"layers", json::array({{{"name", "Layer 1"}, {"visible", true}, {"locked", false}, {"art", art}}})}}},
            {"plugins", {"Brivane"}},
            {"seed", 1},
            {"steps", steps}};
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        const fs::path file = fs::path(::testing::TempDir()) / ("grid-" + name + ".json");
        std::ofstream(file) << script.dump(1);
        return PlayFile(file, name);
    }
    std::vector<Piece> PlayFile(const fs::path& file, const std::string& name) {
        easel::cli::PlayOptions options;
        options.script = file;
        options.output = fs::path(::testing::TempDir()) / ("grid-" + name + ".out.json");
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
                Piece p{a["id"].get<int64_t>(), 1e30, 1e30, -1e30, -1e30, a["segments"][0]};
                for (const auto& s : a["segments"]) {
                    p.left = std::min(p.left, s[0].get<double>());
                    p.right = std::max(p.right, s[0].get<double>());
                    p.bottom = std::min(p.bottom, s[1].get<double>());
                    p.top = std::max(p.top, s[1].get<double>());
                }
                pieces.push_back(p);
            }
        return pieces;
    }
    // The one piece centred at (h, v), or null.
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

// ---- Rows Columns ----

TEST_F(GridPlay, RowsColumnsDefaultsLayATenByTenGridOverTheDrag) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Rows Columns", nullptr, 100, -50);
    ASSERT_EQ(pieces.size(), 100u);
    for (int i = 0; i < 10; ++i)
        for (int j = 0; j < 10; ++j) ExpectPiece(pieces, 5 + j * 100.0 / 9, 5 - i * 50.0 / 9, 10, 10);
    const Piece* object = At(pieces, 5, 5);
    ASSERT_NE(object, nullptr);
    EXPECT_EQ(object->id, 1) << "cell (0, 0) is the object in place";
    ExpectPiece(pieces, 105, -45, 10, 10);
}

TEST_F(GridPlay, RowsColumnsLockedMakesTheVerticalStepTheHorizontalOne) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Rows Columns", {{"25", true}}, 100, -50);
    ASSERT_EQ(pieces.size(), 100u);
    ExpectPiece(pieces, 5 + 100.0 / 9, 5 + 100.0 / 9, 10, 10);
    ExpectPiece(pieces, 105, 105, 10, 10);
}

TEST_F(GridPlay, RowsColumnsLockedGoldenHorizontalTakesTheShortGoldenSide) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Rows Columns", {{"36", true}}, 100, -50);
    ASSERT_EQ(pieces.size(), 100u);
    ExpectPiece(pieces, 5, 5 + 61.8034 / 9, 10, 10);
    ExpectPiece(pieces, 105, 5 + 61.8034, 10, 10);
}

TEST_F(GridPlay, RowsColumnsCheckOneLeavesOutOddCells) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Rows Columns", {{"32", " Check 1"}}, 100, -50);
    EXPECT_EQ(pieces.size(), 50u);
    EXPECT_NE(At(pieces, 5, 5), nullptr);
    EXPECT_EQ(At(pieces, 5 + 100.0 / 9, 5), nullptr);
    EXPECT_NE(At(pieces, 5 + 100.0 / 9, 5 - 50.0 / 9), nullptr);
}

TEST_F(GridPlay, RowsColumnsApplyOneBothWaysQuartersCellOneOne) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Rows Columns",
                             {{"33", " Apply 1"}, {"34", " Apply 1"}}, 100, -50);
    ASSERT_EQ(pieces.size(), 100u);
    ExpectPiece(pieces, 5, 5, 10, 10);
    ExpectPiece(pieces, 5 + 100.0 / 9, 5 - 50.0 / 9, 2.5, 2.5);
    ExpectPiece(pieces, 5 + 100.0 / 9, 5, 5, 5);
    ExpectPiece(pieces, 5, 5 - 50.0 / 9, 5, 5);
}

TEST_F(GridPlay, RowsColumnsApplyNineSqueezesColumnOneUnevenly) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Rows Columns", {{"33", " Apply 9"}}, 100, -50);
    ASSERT_EQ(pieces.size(), 100u);
    for (int i = 0; i < 10; ++i) ExpectPiece(pieces, 5 + 100.0 / 9, 5 - i * 50.0 / 9, 2.5, 10.0 / 6);
    // Column 4: (1/3, 1/4); column 12 would be 1 again.
    ExpectPiece(pieces, 5 + 4 * 100.0 / 9, 5, 10.0 / 3, 2.5);
}

TEST_F(GridPlay, RowsColumnsLaysOutTheLaterObjectFirst) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10), SquareArt(2, 200, 0, 10)}), "Rows Columns",
                             nullptr, 100, -50);
    ASSERT_EQ(pieces.size(), 200u);
    // Stacking order, bottom first: the two objects, then the duplicates of
    // object 2, then those of object 1.
    EXPECT_EQ(pieces[0].id, 1);
    EXPECT_EQ(pieces[1].id, 2);
    for (std::size_t k = 2; k < 101; ++k) EXPECT_GE(pieces[k].left, 200.0) << k;
    for (std::size_t k = 101; k < 200; ++k) EXPECT_LT(pieces[k].left, 200.0) << k;
    // Each object is its own first cell.
    EXPECT_EQ(At(pieces, 5, 5)->id, 1);
    EXPECT_EQ(At(pieces, 205, 5)->id, 2);
}

// ---- Checkerboard ----

TEST_F(GridPlay, CheckerboardTwoByTwoMakesABoardOfEightCells) {
    const auto pieces =
        Play(json::array({SquareArt(1, 0, 0, 10)}), "Checkerboard", {{"230", 2}, {"231", 2}}, 90, 60);
    ASSERT_EQ(pieces.size(), 8u);
    // Steps 90 / 3 and 60 / 3; even rows at columns 0 and 2, odd rows at 1 and 3.
    for (int m = 0; m < 4; ++m)
        for (int k = 0; k < 2; ++k) ExpectPiece(pieces, 5 + 30.0 * (2 * k + m % 2), 5 + 20.0 * m, 10, 10);
    EXPECT_EQ(At(pieces, 5, 5)->id, 1);
}

// ---- Tile ----

TEST_F(GridPlay, TileMirrorsTheObjectAwayFromTheDrag) {
    const auto pieces = Play(json::array({PathArt(1, {{0, 0}, {10, 0}, {0, 10}})}), "Tile", nullptr, 40, 30);
    ASSERT_EQ(pieces.size(), 4u);
    struct Expect {
        double h, v, cornerH, cornerV;
    };
    for (const Expect& e : {Expect{5, 5, 0, 0}, Expect{-35, 5, -30, 0}, Expect{5, -25, 0, -20},
                            Expect{-35, -25, -30, -20}}) {
        const Piece* p = At(pieces, e.h, e.v);
        ASSERT_NE(p, nullptr) << e.h << ", " << e.v;
        EXPECT_NEAR(p->first[0].get<double>(), e.cornerH, 1e-4);
        EXPECT_NEAR(p->first[1].get<double>(), e.cornerV, 1e-4);
    }
    EXPECT_EQ(At(pieces, 5, 5)->id, 1);
}

// ---- Framed ----

TEST_F(GridPlay, FramedTwoByTwoPutsACopyAtEachCornerAndDeletesTheObject) {
    const auto pieces = Play(json::array({SquareArt(1, 0, 0, 10)}), "Framed", {{"70", 2}, {"71", 2}}, 50, 40);
    ASSERT_EQ(pieces.size(), 4u);
    for (const Piece& p : pieces) EXPECT_NE(p.id, 1) << "Delete removes the object";
    ExpectPiece(pieces, 5, 5, 10, 10);
    ExpectPiece(pieces, 55, 5, 10, 10);
    ExpectPiece(pieces, 5, 45, 10, 10);
    ExpectPiece(pieces, 55, 45, 10, 10);
}

TEST_F(GridPlay, FramedCornersFollowTheirRowsEdgeRule) {
    // Turn 2: row 0 turned a quarter, the last row not, column 0 a quarter
    // back; with two rows every cell is a corner and follows its row.
    const auto pieces = Play(json::array({PathArt(1, {{0, 0}, {20, 0}, {20, 10}, {0, 10}})}), "Framed",
                             {{"70", 2}, {"71", 2}, {"79", " Edge - Turn 2"}}, 50, 40);
    ASSERT_EQ(pieces.size(), 4u);
    ExpectPiece(pieces, 10, 5, 10, 20);
    ExpectPiece(pieces, 60, 5, 10, 20);
    ExpectPiece(pieces, 10, 45, 20, 10);
    ExpectPiece(pieces, 60, 45, 20, 10);
}

} // namespace
