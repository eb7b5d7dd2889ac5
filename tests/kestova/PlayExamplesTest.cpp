// The example scripts played by `easel play` (its C++ entry), with the
// positions each mode family must give on the scripts' known paths: three
// open paths of four segments at v = 60, 150, 240, anchors at h = 40, 100,
// 160, 220, handles 15 points to either side.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "Commands.h"

namespace {

namespace fs = std::filesystem;
using nlohmann::json;

class PlayExample : public ::testing::Test {
protected:
    // Plays examples/<name>.json and returns the written document.
    json Play(const std::string& name) {
        easel::cli::PlayOptions options;
        options.script = fs::path(EXAMPLES_DIR) / (name + ".json");
        options.output = fs::path(::testing::TempDir()) / (name + ".out.json");
        options.strict = true;
        options.pluginDirs = {EASEL_PLUGIN_DIR};
        std::ostringstream out, err;
        EXPECT_EQ(easel::cli::play(options, out, err), 0) << err.str();
        std::ifstream in(options.output);
        json doc = json::parse(in, nullptr, false);
        EXPECT_FALSE(doc.is_discarded());
        return doc;
    }
    // The segments of art `id` as [ph, pv, inh, inv, outh, outv, corner] rows.
    static json Segments(const json& doc, int id) {
        for (const auto& layer : doc["layers"])
            for (const auto& art : layer["art"])
                if (art["id"] == id) return art["segments"];
        ADD_FAILURE() << "no art " << id;
        return json::array();
    }
};

TEST_F(PlayExample, DirectionDrag) {
    const json doc = Play("kestova-direction-drag");
    // Mode 0 from (120, 40) to (160, 100): IN to the start, OUT to the cursor.
    EXPECT_EQ(Segments(doc, 1)[2], json::parse("[160, 60, 120, 40, 160, 100, 0]"));
    // Mode 1 to (150, 190): both handles to the cursor.
    EXPECT_EQ(Segments(doc, 2)[0], json::parse("[40, 150, 150, 190, 150, 190, 0]"));
    // Mode 10 from (100, 240) with the in-direction point switched off: OUT to the start.
    EXPECT_EQ(Segments(doc, 3)[3], json::parse("[220, 240, 205, 240, 100, 240, 0]"));
}

TEST_F(PlayExample, AnchorDrag) {
    const json doc = Play("kestova-anchor-drag");
    // Mode 2 to (200, 120) with the point interpolation at 50: half way.
    EXPECT_EQ(Segments(doc, 1)[0], json::parse("[120, 90, 25, 60, 55, 60, 0]"));
    // Mode 2 locked: both anchor components take the cursor's v (170).
    EXPECT_EQ(Segments(doc, 2)[1], json::parse("[170, 170, 85, 150, 115, 150, 0]"));
    // Mode 3 alternating, last event d = (20, 30): segments 0 and 2 only.
    const json path3 = Segments(doc, 3);
    EXPECT_EQ(path3[0], json::parse("[60, 270, 25, 240, 55, 240, 0]"));
    EXPECT_EQ(path3[1], json::parse("[100, 240, 85, 240, 115, 240, 0]"));
    EXPECT_EQ(path3[2], json::parse("[180, 270, 145, 240, 175, 240, 0]"));
}

TEST_F(PlayExample, HandlesAddAndFactor) {
    const json doc = Play("kestova-handles-add-factor");
    // Mode 4 with only OUT admitted: OUT moved by (10, 30).
    EXPECT_EQ(Segments(doc, 1)[1], json::parse("[100, 60, 85, 60, 125, 90, 0]"));
    // Mode 5 by d = (200, 100): horizontal offsets doubled.
    EXPECT_EQ(Segments(doc, 2)[0], json::parse("[40, 150, 10, 150, 70, 150, 0]"));
    // Pre-swapped, tripled and limited to 20 points.
    EXPECT_EQ(Segments(doc, 3)[0], json::parse("[40, 240, 60, 240, 20, 240, 0]"));
}

TEST_F(PlayExample, CornerAndCentre) {
    const json doc = Play("kestova-corner-centre");
    // Mode 7 to (140, 150) without the vertical component: the handles take
    // the document centre's h (200), the anchor moves 40 to the right.
    EXPECT_EQ(Segments(doc, 2)[0], json::parse("[80, 150, 200, 150, 200, 150, 0]"));
    // Mode 9 with the point interpolation at 30: 30 % of the way to (200, 150).
    EXPECT_EQ(Segments(doc, 3)[0], json::parse("[88, 213, 15, 250, 45, 250, 0]"));
}

TEST_F(PlayExample, Trail) {
    const json doc = Play("kestova-trail");
    // Art ids by layer, bottom layer and bottom art first. Path 1: three
    // drawn events (the Alt event lays nothing) leave copies 3, 4, 5 below
    // it. Path 2 with a new layer per event: copy 6 and a new layer, copy 7
    // in it and another new layer (empty). Then beneath: copies 8 and 9 go
    // to the bottom and path 2 below them.
    json layout = json::array();
    for (const auto& layer : doc["layers"]) {
        json ids = json::array();
        for (const auto& art : layer["art"]) ids.push_back(art["id"]);
        layout.push_back(ids);
    }
    EXPECT_EQ(layout, json::parse("[[2, 9, 8, 3, 4, 5, 1, 6], [7], []]"));
    // The last copy of path 1 has the path's final shape; the anchors moved by 4, 8
    // and 16 from where each event found them: 28 in all.
    EXPECT_EQ(Segments(doc, 5), Segments(doc, 1));
    EXPECT_EQ(Segments(doc, 1)[0][0], 68);
    EXPECT_EQ(Segments(doc, 1)[0][1], 88);
}

} // namespace
