// The example scripts of the ring, spiral and scatter tools played by
// `easel play` (its C++ entry), with the places each must give on the
// scripts' shapes (examples/rings-shapes.json): 20 x 10 bars 1 to 5,
// squares 6 to 10.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>
#include <vector>

#include "Commands.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

struct Piece {
    long long id;
    float left, bottom, right, top;
    json art;
    float H() const { return (left + right) / 2; }
    float V() const { return (bottom + top) / 2; }
    float W() const { return right - left; }
    float Ht() const { return top - bottom; }
};

class PlayRings : public ::testing::Test {
protected:
    std::vector<Piece> pieces;

    // Plays examples/<name>.json and keeps the art of the written document.
    void Play(const std::string& name) {
        easel::cli::PlayOptions options;
        options.script = fs::path(EXAMPLES_DIR) / (name + ".json");
        options.output = fs::path(::testing::TempDir()) / (name + ".out.json");
        options.strict = true;
        options.pluginDirs = {EASEL_PLUGIN_DIR};
        std::ostringstream out, err;
        ASSERT_EQ(easel::cli::play(options, out, err), 0) << err.str();
        std::ifstream in(options.output);
        const json doc = json::parse(in, nullptr, false);
        ASSERT_FALSE(doc.is_discarded());
        for (const auto& layer : doc["layers"])
            for (const auto& art : layer["art"]) {
                Piece p{art["id"].get<long long>(), 1e9f, 1e9f, -1e9f, -1e9f, art};
                for (const auto& s : art["segments"]) {
                    p.left = std::min(p.left, s[0].get<float>());
                    p.right = std::max(p.right, s[0].get<float>());
                    p.bottom = std::min(p.bottom, s[1].get<float>());
                    p.top = std::max(p.top, s[1].get<float>());
                }
                pieces.push_back(p);
            }
    }
    const Piece* At(float h, float v, float tolerance = 2e-3f) const {
        for (const Piece& p : pieces)
            if (std::fabs(p.H() - h) < tolerance && std::fabs(p.V() - v) < tolerance) return &p;
        return nullptr;
    }
    void ExpectPiece(float h, float v, float w, float ht) const {
        const Piece* p = At(h, v);
        ASSERT_NE(p, nullptr) << "no piece centred at " << h << ", " << v;
        EXPECT_NEAR(p->W(), w, 2e-3f);
        EXPECT_NEAR(p->Ht(), ht, 2e-3f);
        EXPECT_FALSE(p->art.contains("tags") && p->art["tags"].contains("brivane"));
    }
    bool Has(long long id) const {
        return std::any_of(pieces.begin(), pieces.end(), [&](const Piece& p) { return p.id == id; });
    }
    // Pieces with an id above the shapes of the document.
    std::vector<Piece> Made() const {
        std::vector<Piece> out;
        for (const Piece& p : pieces)
            if (p.id > 10) out.push_back(p);
        return out;
    }
};

TEST_F(PlayRings, WindmillSails) {
    Play("windmill-sails");
    // Bar 1 (centre 90, 305): four sails over half the circle at radius 50,
    // the even ones 20 further out, each turned by its angle.
    const float d = 50 * std::sqrt(0.5f), diagonal = 30 * std::sqrt(0.5f);
    ExpectPiece(160, 305, 20, 10);
    ExpectPiece(90 + d, 305 + d, diagonal, diagonal);
    ExpectPiece(90, 375, 10, 20);
    ExpectPiece(90 - d, 305 + d, diagonal, diagonal);
    // Bar 2 (centre 410, 65): a 5 cm drag, scale -100: copy 0 mirrored
    // through the centre, copy 1 turned half round as well, which undoes it.
    ExpectPiece(410 + 141.735f, 65, 20, 10);
    ExpectPiece(410 - 141.735f, 65, 20, 10);
    const Piece* mirrored = At(410 + 141.735f, 65);
    ASSERT_NE(mirrored, nullptr);
    EXPECT_NEAR(mirrored->art["segments"][0][0].get<float>(), 420 + 141.735f, 2e-3f);
    EXPECT_NEAR(mirrored->art["segments"][0][1].get<float>(), 70, 2e-3f);
    EXPECT_FLOAT_EQ(mirrored->art["stroke"]["width"].get<float>(), 1.0f);
    // Bars 1 and 2 were deleted; bar 3's drag was shorter than the initial radius.
    EXPECT_FALSE(Has(1));
    EXPECT_FALSE(Has(2));
    EXPECT_TRUE(Has(3));
    EXPECT_EQ(Made().size(), 6u);
}

TEST_F(PlayRings, SpiraledArms) {
    Play("spiraled-arms");
    // Bar 4 (centre 110, 155): one arm of two at radius 50 and 45.
    ExpectPiece(160, 155, 20, 10);
    ExpectPiece(65, 155, 19.8f, 9.9f);
    // Bar 5 (centre 310, 255), Match and Reverse: from straight up, counter-clockwise.
    ExpectPiece(310, 305, 20, 10);
    ExpectPiece(265, 255, 9.9f, 19.8f);
    ExpectPiece(310, 214.5f, 19.602f, 9.801f);
    ExpectPiece(346.45f, 255, 9.70299f, 19.40598f);
    EXPECT_FALSE(Has(4));
    EXPECT_FALSE(Has(5));
    EXPECT_EQ(Made().size(), 6u);
}

TEST_F(PlayRings, RimRandomClutter) {
    Play("rimrandom-clutter");
    // Square 6 (centre 46, 46) scattered in the box of half (160, 80),
    // locked between 60 and 120 %; copy 0 is the square itself.
    int fromSix = 0;
    for (const Piece& p : pieces) {
        if (p.id != 6 && !(p.id > 10 && p.H() < 150)) continue;
        ++fromSix;
        EXPECT_GE(p.H(), 46 - 1e-3f);
        EXPECT_LE(p.H(), 126 + 1e-3f);
        EXPECT_GE(p.V(), 46 - 1e-3f);
        EXPECT_LE(p.V(), 86 + 1e-3f);
        EXPECT_NEAR(p.W(), p.Ht(), 1e-3f) << "locked keeps the square";
        EXPECT_GE(p.W(), 12 * 0.6f - 1e-3f);
        EXPECT_LE(p.W(), 12 * 1.2f + 1e-3f);
    }
    EXPECT_EQ(fromSix, 12);
    // Squares 7 and 8 (centres 205, 45 and 225, 60) as five blocks: in each
    // block square 8 sits (20 a, 15 b) from square 7 and both are 10 a x 10 b.
    std::vector<Piece> seven, eight;
    for (const Piece& p : pieces) {
        if (p.H() < 150) continue;
        if (p.id == 7 || p.id == 8 || p.id > 10) (p.art["fill"]["color"]["values"][0] == 0.5 ? seven : eight).push_back(p);
    }
    ASSERT_EQ(seven.size(), 5u);
    ASSERT_EQ(eight.size(), 5u);
    for (const Piece& s : seven) {
        const float a = s.W() / 10, b = s.Ht() / 10;
        const bool partner = std::any_of(eight.begin(), eight.end(), [&](const Piece& e) {
            return std::fabs(e.H() - s.H() - 20 * a) < 1e-3f && std::fabs(e.V() - s.V() - 15 * b) < 1e-3f &&
                   std::fabs(e.W() - s.W()) < 1e-3f && std::fabs(e.Ht() - s.Ht()) < 1e-3f;
        });
        EXPECT_TRUE(partner) << "block with square 7 at " << s.H() << ", " << s.V();
    }
}

TEST_F(PlayRings, BackgroundFrame) {
    Play("background-frame");
    // Square 9 (centre 424, 184) over a 160 x 200 rectangle with "Frame (%)"
    // 20: every copy lies in a band 32 deep at the sides or 40 at top and bottom.
    int copies = 0;
    for (const Piece& p : Made()) {
        ++copies;
        const float ox = p.H() - 424, oy = p.V() - 184;
        EXPECT_GE(ox, -1e-3f);
        EXPECT_LE(ox, 160 + 1e-3f);
        EXPECT_GE(oy, -1e-3f);
        EXPECT_LE(oy, 200 + 1e-3f);
        const bool side = ox <= 32 + 1e-3f || ox >= 128 - 1e-3f;
        const bool topOrBottom = oy <= 40 + 1e-3f || oy >= 160 - 1e-3f;
        EXPECT_TRUE(side || topOrBottom) << ox << ", " << oy;
    }
    EXPECT_EQ(copies, 60);
    EXPECT_FALSE(Has(9));
    // Square 10, dragged nowhere: no copies, but deleted.
    EXPECT_FALSE(Has(10));
}

} // namespace
